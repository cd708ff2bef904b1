#pragma once
// The history window (F8, "履歴"): the printed waybills, newest first,
// narrowed as the user types a search text and by an optional range of
// print dates. Enter or a double click hands the row to the main window;
// selected rows can be deleted (after a question) and the rows shown can
// be exported as CSV. A row's tracking number (伝票番号) is typed or scanned
// in, and the shipped orders are written as a platform's shipping
// confirmation (history_window_shipping.cpp).
#include <QDialog>
#include <functional>
#include <vector>

#include "widgets/history_book.h"
#include "batch/tracking_number.h"
#include "history/history_store.h"
#include "history/shipped_export.h"
#include "history/waybill_record.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class HistoryTableModel;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    // At most this many rows are shown; the search narrows further.
    static constexpr int kShownRows = 1000;

    HistoryWindow(HistoryBook& book, QWidget* parent);

    QLineEdit* Edit_Search = nullptr;
    QCheckBox* CheckBox_Range = nullptr;  // the date range applies
    QDateEdit* DateEdit_From = nullptr;
    QDateEdit* DateEdit_To = nullptr;
    QTableView* Grid_History = nullptr;  // shows model()'s rows
    QLabel* Label_Count = nullptr;
    QLabel* Label_Shared = nullptr;  // the shared database's state, when one is set
    QPushButton* BitBtn_SharedDb = nullptr;
    QPushButton* BitBtn_Delete = nullptr;
    QPushButton* BitBtn_Csv = nullptr;
    QPushButton* BitBtn_Close = nullptr;
    QLineEdit* Edit_Tracking = nullptr;     // 伝票番号 for the current row
    QPushButton* BitBtn_Tracking = nullptr;
    QComboBox* ComboBox_Shipped = nullptr;  // the confirmation file's layout
    QPushButton* BitBtn_Shipped = nullptr;

    // Reads the rows for the current search and range; `then` runs once
    // they show. With a shared database the rows come a moment later and
    // the window goes on meanwhile; a newer reload() replaces an older,
    // and runs its `then` too once its own rows show.
    void reload(std::function<void()> then = {});
    const std::vector<store::WaybillRecord>& rows() const;
    HistoryTableModel* model() const { return model_; }
    // Hands the current row to chosen() and closes.
    void takeCurrent();
    void deleteSelected();
    void exportCsv();
    // Sets or corrects the current row's tracking number from
    // Edit_Tracking; a number failing its check is refused, never stored.
    void setTracking();
    // Stores the number on the row; `anyway`: also when another row holds it.
    void storeTracking(std::int64_t id, const std::string& uid, const std::string& digits, bool anyway);
    // The rows of the current search and range that have an order and a
    // tracking number, as the chosen confirmation file.
    void exportShipped();
    // Opens the "共有データベース" dialog; the rows are read again after it.
    void openSharedDb();

    // Asks where to save the CSV file ("" cancels); tests replace it.
    std::function<QString(QWidget* parent, const QString& suggested)> askCsvPath;
    std::function<QString(QWidget* parent, const QString& suggested)> askShippedPath;
    // The carrier of each form the rows were printed on, for the shipping
    // files; handed in by the opener, who knows the forms. Unset: every row
    // is the built-in form's, its carrier from the settings file.
    std::function<store::Carriers()> carriers;
    // The rule of the numbers of the form a row was printed on (its id),
    // for a number typed or scanned into the row; handed in by the opener.
    // Unset: the built-in form's rule.
    std::function<batch::TrackingScheme(const std::string& formId)> trackingScheme;

signals:
    void chosen(const store::WaybillRecord& row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    store::HistoryQuery currentQuery() const;
    void showRows(HistoryBook::Found& found);
    // "n 件", or that the newest kShownRows are shown.
    QString countText() const;
    // Writes the shipped rows (newest first) as the confirmation file of
    // ComboBox_Shipped's entry `choice`.
    void writeShipped(std::vector<store::WaybillRecord> shipped, int choice);
    void buildShipping(QHBoxLayout* row);

    // The row of Grid_History's current cell, or -1.
    int currentRow() const;
    void setCurrentRow(int row);

    HistoryBook& book_;
    HistoryTableModel* model_ = nullptr;
    std::vector<std::function<void()>> thens_;  // of the reloads not yet shown
};
