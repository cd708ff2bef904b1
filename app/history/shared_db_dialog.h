#pragma once
// The "共有データベース" dialog, opened from the history window: the
// connection string (or pg_service.conf service name) of the PostgreSQL
// server that several stations share, a connection test that says plainly
// what is wrong, and OK, which keeps the string in the settings file.
// Passwords are never kept by the program: they belong in ~/.pgpass.
#include <QDialog>

class HistoryBook;
class QLabel;
class QLineEdit;
class QPushButton;

class SharedDbDialog : public QDialog {
    Q_OBJECT
public:
    SharedDbDialog(HistoryBook& book, QWidget* parent);

    QLineEdit* Edit_Conninfo = nullptr;
    QLabel* Label_Help = nullptr;
    QLabel* Label_TestResult = nullptr;
    QPushButton* BitBtn_Test = nullptr;
    QPushButton* BitBtn_Ok = nullptr;
    QPushButton* BitBtn_Cancel = nullptr;

    // Connects as a station would, on a thread of its own (the button is
    // off and the dialog says so meanwhile), then shows the outcome and
    // emits tested().
    void BitBtn_TestClick();
    // Keeps the string (empty: this station keeps its history alone).
    void BitBtn_OkClick();

signals:
    void tested(bool usable);

private:
    HistoryBook& book_;
};
