#include "services/message_boxes.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include "services/app_title.h"

namespace {

// What a window manager's title bar holds beside the caption: the window's
// icon, its buttons (close, minimise, maximise) and their spacing.
constexpr int kTitleBarAllowance = 200;

// The width a box needs for its caption to read whole in the title bar,
// whose font is often larger and bold; narrower, the window manager cuts
// it to "◇va… an".
int captionRoom(const QWidget& box) {
    QFont font = box.font();
    font.setBold(true);
    if (font.pixelSize() > 0) font.setPixelSize(font.pixelSize() * 5 / 4);
    else font.setPointSizeF(font.pointSizeF() * 1.25);
    return QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarAllowance;
}

// A message box lays itself out from its text and buttons: a row of the
// caption's width is added below them.
void keepCaptionWhole(QMessageBox& box) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(captionRoom(box), 0, QSizePolicy::Fixed, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, grid->columnCount());
}

class QtMessageBoxes final : public MessageBoxes {
public:
    bool question(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::NoButton, parent);
        QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        keepCaptionWhole(box);
        box.exec();
        return box.clickedButton() == yes;
    }
    void notice(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::NoIcon, appTitle(), text, QMessageBox::NoButton, parent);
        box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        keepCaptionWhole(box);
        box.exec();
    }
    std::optional<QString> printQuestion(QWidget* parent, const QString& text, const QString& number) override {
        QDialog box(parent);
        box.setWindowTitle(appTitle());
        box.setMinimumWidth(captionRoom(box));
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
        keepCaptionWhole(box);
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
