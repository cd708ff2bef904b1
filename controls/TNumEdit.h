#pragma once
// Self-drawn numeric edit control (placeholder until the control lands;
// the names below are the contract the forms use).
#include <QWidget>

class TNumEdit : public QWidget {
    Q_OBJECT
public:
    explicit TNumEdit(QWidget* parent = nullptr);
    QString text() const;
    void setText(const QString& text);
    void setIntegerLength(int n);
    void setDecimalLength(int n);
    void setErrorBeep(bool on);
signals:
    void changed();

private:
    QString value_;
};
