#pragma once
// The batch window (F9 一括印刷): orders from a CSV or tab-separated file in
// a table, one row per waybill, each checked before a form is spent on it;
// the checked rows print as one job.
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_file.h"
#include "batch/order_check.h"

class BatchSharedValues;
class HistoryBook;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTableWidget;
class QTableWidgetItem;
class QTimer;

namespace postal {
class LazyTable;
class Table;
}
namespace wbprn {
class WaybillFit;
}

// What the batch window works with, handed in by the window that opens it.
struct BatchContext {
    QString baseFolder;                         // saved mappings and the window memory
    std::shared_ptr<postal::LazyTable> postal;  // none: codes are checked for their form only
    HistoryBook* history = nullptr;             // printed waybills are recorded here
    // The entry form's waybill: its sender, dates, goods, time band and
    // special handling go onto the rows that have none of their own.
    std::function<print::WaybillFields()> formFields;
    std::function<QString()> feedMode;  // caption of the feed mode, kept with each printed waybill
    // Asks before printing in continuous feed on a page that is not one
    // form long; false: the user said no.
    std::function<bool(QWidget*)> confirmFeed;
    // Says something the user must not miss after the window is closed
    // (the history could not be written).
    std::function<void(const QString&)> report;
    // Blank forms the feed mode's last job fed after its last waybill (none
    // when unset), and the count of waybills of a job just sent, from which
    // the opener counts the blank forms that job fed.
    std::function<int()> formsAfterLast;
    std::function<void(std::size_t waybills)> jobSent;
};

class TBatchWindow : public QWidget {
    Q_OBJECT
public:
    explicit TBatchWindow(BatchContext context, QWidget* parent = nullptr);
    ~TBatchWindow() override;

    QLabel* Label_File = nullptr;
    QPushButton* Button_Open = nullptr;        // also Ctrl+O
    QCheckBox* CheckBox_FileSender = nullptr;
    QComboBox* ComboBox_Mapping = nullptr;     // "(自動)" then the saved mappings
    QComboBox* ComboBox_Encoding = nullptr;    // 自動 / UTF-8 / Shift-JIS: how the file is read
    BatchSharedValues* Panel_Shared = nullptr;  // the entry form's values for rows without their own
    QTableWidget* Table_Mapping = nullptr;     // one row per file column: header, example, field
    QLineEdit* Edit_MappingName = nullptr;
    QPushButton* Button_SaveMapping = nullptr;
    QTableWidget* Table_Orders = nullptr;      // one row per order, check box in column 0
    QPushButton* Button_Repair = nullptr;      // take the offered repairs of the selected rows
    QPushButton* Button_RepairAll = nullptr;
    // 伝票番号 of the first form in the printer (typed or scanned; empty:
    // not recorded), proposed from the last print's forms.
    QLineEdit* Edit_FirstNumber = nullptr;
    QPushButton* Button_Print = nullptr;
    QProgressBar* ProgressBar_Print = nullptr;
    QPushButton* Button_Cancel = nullptr;
    QPushButton* Button_Close = nullptr;       // also Esc
    QLabel* Label_Status = nullptr;

    // Asks for a file (the button, Ctrl+O) and opens it.
    void chooseFile();
    // Reads the file and fills the table; a file that cannot be read is
    // shown in the error box and the table stays as it was. Rows the user
    // edited and did not print are only dropped after a question.
    void openFile(const QString& path);
    // Checks every order again against the entry form's values, the values
    // bar and the printer.
    void recheckAll();
    // The same, only when something the checks depend on has changed.
    void recheckIfChanged();
    // recheckIfChanged() once the changes under way are all in (the main
    // form calls it as its values, margins, feed mode or printer change).
    void scheduleRecheck();
    void repairSelected();
    void repairAll();
    void printChecked();
    void saveMapping();

    // Seams for tests: where the open and save dialogs would ask. The open
    // dialog starts in `folder`.
    std::function<QString(QWidget*, const QString& folder)> askOpenPath;
    std::function<QString(QWidget*, const QString& suggested)> askSavePath;

    // Columns of Table_Orders: the check box, the order number, the count
    // of its items, the line number, then the order's fields.
    static constexpr int kOrderColumn = 1;
    static constexpr int kItemsColumn = 2;
    static constexpr int kLineColumn = 3;
    static constexpr int kFirstFieldColumn = 4;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void connectControls();
    // Tab goes through the controls from top to bottom, the mapping's
    // column choices included.
    void orderTabs();
    // The mapping panel as wide as its columns, so every choice reads whole.
    void fitMappingPanel();
    // The saved mapping the new file starts from: the one picked when its
    // columns are the file's, else one saved for these columns, else none
    // (the automatic recognition).
    void pickMappingFor(const std::vector<std::string>& header);
    bool editedUnprinted() const;
    // Whether the table may be made again from another mapping: edits of
    // rows not yet printed would be lost, so the user is asked first; on No
    // the mapping's controls go back to the mapping in use.
    bool mayRemap();
    // A platform's order file with its item file, or the item file with its
    // order file: the one beside it offered, else an item file asked for.
    batch::OrderFile withCompanionFile(const QString& path, batch::OrderFile file, batch::EncodingChoice choice);
    void applyMapping(const batch::Mapping& mapping);
    // The file's name, encoding and layout with its rows and orders.
    void showFileLabel();
    void fillMappingTable(const batch::Mapping& mapping);
    batch::Mapping mappingFromTable() const;
    void mappingChosen();
    void fillRow(int row);
    void checkRow(int row);
    void cellEdited(QTableWidgetItem* item);
    void updateStatus();
    void reloadMappingNames();
    // The entry form's fields, less those the user left off above the
    // table, as the batch's defaults, with the current printer's effective
    // resolution and printable area; renews the fit check for them. False
    // when all of it is as the rows were last checked against.
    bool refreshDefaults();
    // 注文番号 as wide as the longest order number.
    void fitOrderColumn();
    // The print question: the count, then the printer, the feed mode and
    // the forms' numbers on lines of their own.
    QString printQuestion(std::size_t count, const std::vector<std::string>& numbers);
    // The postal table, or none when it cannot be read.
    const postal::Table* postalTable() const;
    QString baseFolder() const;
    void endPrinting();
    // Records the rows' waybills as printing, before their job is handed
    // over; returns their record ids (none when the history cannot be
    // written: the print goes on, and the reason shows once it is done).
    std::vector<std::string> recordPrinting(const std::vector<std::size_t>& rows,
                                            const std::vector<std::string>& tracking);
    // The job went out as `job`, or was refused (nullopt: the rows go).
    void recordPrinted(const std::vector<std::string>& uids, std::optional<int> job);
    // Puts the number of the form after the last print's into
    // Edit_FirstNumber (batch_window_tracking.cpp).
    void proposeFirstNumber();
    // The form the entry form's waybills print on (the feed mode's), whose
    // rule the tracking numbers follow.
    const print::Form& printForm() const;
    // None of the numbers is in the history already, or the user takes them
    // anyway; else the focus goes back to Edit_FirstNumber.
    bool numbersFree(const std::vector<std::string>& numbers);
    // The tracking number of each of `pages` forms from Edit_FirstNumber
    // (all empty when it is empty); nullopt, after saying why, when the
    // number fails its check or the count runs out of numbers.
    std::optional<std::vector<std::string>> trackingNumbers(std::size_t pages);
    void offerToSaveUnprinted();

    BatchContext context_;
    QWidget* mappingBox_ = nullptr;
    QSplitter* split_ = nullptr;  // the mapping panel beside the orders
    std::unique_ptr<wbprn::WaybillFit> fit_;
    print::WaybillFields defaults_;
    std::optional<QSizeF> printable_;  // the printer's area the rows were checked against
    batch::OrderFile file_;
    QString filePath_;  // the file shown, read again when the encoding is chosen
    // The file's line: its name, its encoding (and form), the layout found.
    struct FileLabel {
        QString name, encoding, layout;
    } fileLabel_;
    std::vector<batch::Order> orders_;
    std::vector<batch::CheckedOrder> checked_;
    std::vector<bool> printed_;
    std::vector<bool> edited_;  // the user changed the row (typed or took a repair)
    std::vector<bool> unticked_;  // the user took the row's tick off
    // The mapping the table was made with, and the controls that chose it.
    struct AppliedMapping {
        batch::Mapping mapping;
        int savedIndex = 0;
        bool fileSender = false;
    } applied_;
    bool filling_ = false;
    bool cancel_ = false;
    bool printing_ = false;
    QTimer* recheckTimer_ = nullptr;  // made by the first scheduleRecheck()
    bool stale_ = false;  // something changed while a job was built
    QString recordError_;  // why the print being made could not be recorded
};
