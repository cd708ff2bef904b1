#include "services/message_boxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

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
    std::optional<QString> printQuestion(QWidget* parent, const QString& text, const QString& number) override {
        QDialog box(parent);
        box.setWindowTitle(appTitle());
        auto* layout = new QVBoxLayout(&box);
        layout->addWidget(new QLabel(text, &box));
        auto* form = new QFormLayout;
        auto* field = new QLineEdit(number, &box);
        field->setObjectName(QStringLiteral("Edit_FirstNumber"));
        field->setPlaceholderText(QStringLiteral("空欄: 記録しない"));
        form->addRow(QStringLiteral("1枚目の伝票番号"), field);
        layout->addLayout(form);
        auto* buttons = new QDialogButtonBox(&box);
        QPushButton* yes = buttons->addButton(QStringLiteral("はい(&Y)"), QDialogButtonBox::YesRole);
        QPushButton* no = buttons->addButton(QStringLiteral("いいえ(&N)"), QDialogButtonBox::NoRole);
        QObject::connect(yes, &QPushButton::clicked, &box, &QDialog::accept);
        QObject::connect(no, &QPushButton::clicked, &box, &QDialog::reject);
        yes->setDefault(true);
        layout->addWidget(buttons);
        // The number is what gets typed or scanned over: it starts selected.
        field->selectAll();
        field->setFocus();
        if (box.exec() != QDialog::Accepted) return std::nullopt;
        return field->text();
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
