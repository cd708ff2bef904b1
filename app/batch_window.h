#pragma once
// The batch window (F9 一括印刷): orders from a CSV or tab-separated file in
// a table, one row per waybill, each checked before a form is spent on it;
// the checked rows print as one job.
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "batch/batch_file.h"
#include "batch/order_check.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class TForm_Main;

namespace postal {
class Table;
}
namespace wbprn {
class WaybillFit;
}

class TBatchWindow : public QWidget {
    Q_OBJECT
public:
    explicit TBatchWindow(TForm_Main* form, QWidget* parent = nullptr);
    ~TBatchWindow() override;

    QLabel* Label_File = nullptr;
    QPushButton* Button_Open = nullptr;
    QCheckBox* CheckBox_FileSender = nullptr;
    QComboBox* ComboBox_Mapping = nullptr;     // "(自動)" then the saved mappings
    QComboBox* ComboBox_Encoding = nullptr;    // 自動 / UTF-8 / Shift-JIS: how the file is read
    QTableWidget* Table_Mapping = nullptr;     // one row per file column: header, example, field
    QLineEdit* Edit_MappingName = nullptr;
    QPushButton* Button_SaveMapping = nullptr;
    QTableWidget* Table_Orders = nullptr;      // one row per order, check box in column 0
    QPushButton* Button_Repair = nullptr;      // take the offered repairs of the selected rows
    QPushButton* Button_RepairAll = nullptr;
    QPushButton* Button_Print = nullptr;
    QProgressBar* ProgressBar_Print = nullptr;
    QPushButton* Button_Cancel = nullptr;
    QLabel* Label_Status = nullptr;

    // Reads the file and fills the table; a file that cannot be read is
    // shown in the error box and the table stays as it was.
    void openFile(const QString& path);
    // Checks every order again (after the main form's defaults changed).
    void recheckAll();
    void repairSelected();
    void repairAll();
    void printChecked();
    void saveMapping();

    // Seams for tests: where the open and save dialogs would ask.
    std::function<QString(QWidget*)> askOpenPath;
    std::function<QString(QWidget*, const QString& suggested)> askSavePath;

    // Columns of Table_Orders after the check box and the line number.
    static constexpr int kFirstFieldColumn = 2;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build();
    void applyMapping(const batch::Mapping& mapping);
    void fillMappingTable(const batch::Mapping& mapping);
    batch::Mapping mappingFromTable() const;
    void mappingChosen();
    void fillRow(int row);
    void checkRow(int row);
    void cellEdited(QTableWidgetItem* item);
    void updateStatus();
    void reloadMappingNames();
    // The main form's fields as the batch's defaults, with the current
    // printer's effective resolution; renews the fit check for it.
    void refreshDefaults();
    // The main form's postal table, or none when it cannot be read.
    const postal::Table* postalTable() const;
    QString baseFolder() const;
    void endPrinting();
    void recordHistory(const std::vector<std::size_t>& rows, int job);
    void offerToSaveUnprinted();

    QPointer<TForm_Main> form_;
    std::unique_ptr<wbprn::WaybillFit> fit_;
    print::WaybillFields defaults_;
    batch::OrderFile file_;
    QString filePath_;  // the file shown, read again when the encoding is chosen
    std::vector<batch::Order> orders_;
    std::vector<batch::CheckedOrder> checked_;
    std::vector<bool> printed_;
    bool filling_ = false;
    bool cancel_ = false;
    bool printing_ = false;
};
