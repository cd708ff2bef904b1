#include "services/message_boxes.h"

#include <QMessageBox>
#include <QPushButton>

#include "services/app_title.h"

namespace {

class QtMessageBoxes final : public MessageBoxes {
public:
    bool question(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::NoButton, parent);
        QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes;
    }
    void notice(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::NoButton, parent);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
    }
    void error(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Critical, appTitle(), errorBoxText(text), QMessageBox::NoButton, parent);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box.exec();
    }
};

QtMessageBoxes realBoxes;
MessageBoxes* current = &realBoxes;

}  // namespace

MessageBoxes& messageBoxes() { return *current; }
void setMessageBoxes(MessageBoxes* boxes) { current = boxes ? boxes : &realBoxes; }

QString errorBoxText(const QString& message) {
    return message.endsWith(QLatin1Char('.')) ? message : message + QLatin1Char('.');
}
