#pragma once
// The main window: the entry form whose controls hold one waybill's data.
// Every control carries its objectName so that the other windows, the
// layout routine and the tests find it by name. Handlers are plain public
// methods named after the control and the event; the Qt connections that
// call them all go through guarded() so no exception crosses the event loop.
#include <QStringList>
#include <QWidget>
#include <array>
#include <map>
#include <memory>
#include <vector>
#include <optional>
#include <string>

#include "history/waybill_record.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class MemoEdit;
class QPushButton;
class QStatusBar;
class QTabBar;
class SjisLineEdit;
class TNumEdit;
class HistoryBook;
class HistoryWindow;
class TBatchWindow;
namespace postal {
class LazyTable;
}
namespace print {
struct Form;
class FormLibrary;
}
namespace print_form {
class WaybillFormSlot;
}
namespace store {
struct Carriers;
}

class TForm_Main : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Main(QWidget* parent = nullptr);
    ~TForm_Main() override;

    // ---- Regions (top to bottom) -------------------------------------
    QFrame* Panel3 = nullptr;          // text transfer memo and its buttons
    QFrame* Panel1 = nullptr;          // consignee
    QFrame* Panel_Sender = nullptr;    // sender tabs and fields
    QFrame* Panel4 = nullptr;          // shipment and printer box
    QLabel* Panel_HelpMess = nullptr;  // prompt line
    QFrame* Panel_Fnc = nullptr;       // function key bar
    QStatusBar* StatusBar1 = nullptr;

    // ---- Consignee (Panel1) --------------------------------------------
    SjisLineEdit* Edit_Zip = nullptr;
    SjisLineEdit* Edit_Add1 = nullptr;
    SjisLineEdit* Edit_Add2 = nullptr;
    SjisLineEdit* Edit_Add3 = nullptr;
    SjisLineEdit* Edit_Custo1 = nullptr;
    SjisLineEdit* Edit_tel = nullptr;
    QLabel* Label_Warning = nullptr;
    QPushButton* BitBtn_CLS = nullptr;
    QComboBox* ComboBox_FontSize = nullptr;  // hidden print size list
    QPushButton* BitBtn_WebHelp = nullptr;

    // ---- Sender (Panel_Sender) -----------------------------------------
    QCheckBox* CheckBox_My = nullptr;
    QTabBar* PageControl_My = nullptr;
    SjisLineEdit* Edit_MyZip = nullptr;
    SjisLineEdit* Edit_MyADD1 = nullptr;
    SjisLineEdit* Edit_MyADD2 = nullptr;
    SjisLineEdit* Edit_My = nullptr;
    SjisLineEdit* Edit_MyTEL = nullptr;
    QPushButton* BitBtn_My = nullptr;
    QPushButton* BitBtn_SendMail = nullptr;

    // ---- Shipment (Panel4) ---------------------------------------------
    QCheckBox* CheckBox_Date_1 = nullptr;
    QDateEdit* DateTimePicker_1 = nullptr;
    SjisLineEdit* Edit_de_date1 = nullptr;
    SjisLineEdit* Edit_de_date2 = nullptr;
    SjisLineEdit* Edit_de_date3 = nullptr;
    SjisLineEdit* Edit_G1 = nullptr;
    SjisLineEdit* Edit_G2 = nullptr;
    SjisLineEdit* Edit_G3 = nullptr;
    TNumEdit* NumEdit_KOSUU = nullptr;
    QGroupBox* GroupBox_Pelican_1 = nullptr;  // requested time band
    QCheckBox* CheckBox_Pelican_1 = nullptr;
    QCheckBox* CheckBox_Pelican_2 = nullptr;
    QCheckBox* CheckBox_Pelican_3 = nullptr;
    QCheckBox* CheckBox_Pelican_4 = nullptr;
    QCheckBox* CheckBox_Pelican_5 = nullptr;
    QCheckBox* CheckBox_Pelican_6 = nullptr;
    QGroupBox* GroupBox_Pelican_2 = nullptr;  // special handling
    QCheckBox* CheckBox_Pelican_21 = nullptr;
    QCheckBox* CheckBox_Pelican_22 = nullptr;
    QCheckBox* CheckBox_Pelican_23 = nullptr;
    QCheckBox* CheckBox_Pelican_24 = nullptr;
    QCheckBox* CheckBox_Pelican_25 = nullptr;

    // ---- Printer box (GroupBox1 in Panel4) -------------------------------
    // This class creates GroupBox1, ComboBox_SEL and the two margin labels;
    // buildPrinterBox() adds the rest.
    QGroupBox* GroupBox1 = nullptr;
    QComboBox* ComboBox_SEL = nullptr;
    QLabel* Label_Prn_Top = nullptr;
    QLabel* Label_Prn_Left = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QComboBox* ComboBox3 = nullptr;
    QLabel* Label_4 = nullptr;
    QPushButton* BitBtn_PrnSet = nullptr;
    QPushButton* BitBtn_PrnSet2 = nullptr;

    // ---- Text transfer (Panel3, created by buildTransferPanel()) -------
    QLabel* Label1 = nullptr;
    MemoEdit* Memo1 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* BitBtn_1 = nullptr;
    QPushButton* BitBtn_MemoCLS = nullptr;
    QLabel* Label12 = nullptr;
    QStringList Memo2;  // working lines of the transfer
    // The prompt that names the lines the last transfer placed in no field;
    // it holds while the memo marks them (until the memo changes).
    QString unplacedLinesNote;

    // ---- Function key bar ------------------------------------------------
    std::array<QPushButton*, 12> SpeedButton_F{};  // [0] is F1
    QPushButton* SpeedButton_F1 = nullptr;
    QPushButton* SpeedButton_F2 = nullptr;
    QPushButton* SpeedButton_F3 = nullptr;
    QPushButton* SpeedButton_F4 = nullptr;
    QPushButton* SpeedButton_F5 = nullptr;
    QPushButton* SpeedButton_F6 = nullptr;
    QPushButton* SpeedButton_F7 = nullptr;
    QPushButton* SpeedButton_F8 = nullptr;
    QPushButton* SpeedButton_F9 = nullptr;
    QPushButton* SpeedButton_F10 = nullptr;
    QPushButton* SpeedButton_F11 = nullptr;
    QPushButton* SpeedButton_F12 = nullptr;

    // ---- Carriers: hidden labels that pass values between the parts ----
    QLabel* Label_CurrentDir = nullptr;
    QLabel* Label_PrinterIndex = nullptr;
    QLabel* Label_dpix = nullptr;
    QLabel* Label_dpiy = nullptr;
    QLabel* Label_CutCut = nullptr;
    QLabel* Label_0X = nullptr;
    QLabel* Label_org = nullptr;

    // ---- Lifecycle (form_main_lifecycle.cpp) -----------------------------
    void FormShow();
    void FormDestroy();
    // Runs FormDestroy (guarded) the first time it is called, never again.
    // Every orderly end of the program comes through here.
    void runFormDestroyOnce();
    void SpeedButton_F2Click();
    void SpeedButton_F6Click();
    void SpeedButton_F7Click();

    // ---- Entry form behaviour (form_main_entry.cpp) ----------------------
    void Edit_Cls();
    void Edit_Cls_My();
    void Edit_Warning();
    void BitBtn_CLSClick();
    void Edit_ZipEnter();
    void Edit_Add1Enter();
    void Edit_Add2Enter();  // also for Edit_Add3
    void Edit_Custo1Enter();
    void Edit_telEnter();
    void Edit_G1Enter();  // for Edit_G1, Edit_G2, Edit_G3
    void Edit_MyZipEnter();
    void Edit_MyADD1Enter();
    void Edit_MyADD2Enter();
    void Edit_MyEnter();
    void Edit_MyTELEnter();
    void Edit_ZipChange();
    void Edit_telChange();
    void SpeedButton_ZIP2Click();
    void SpeedButton_TEL2Click();
    void CheckBox_MyClick();
    void CheckBox_Pelican_1Click();
    void CheckBox_Pelican_2Click();
    void CheckBox_Pelican_3Click();
    void CheckBox_Pelican_4Click();
    void CheckBox_Pelican_5Click();
    void CheckBox_Pelican_6Click();
    void CheckBox_Pelican_21Click();
    void CheckBox_Pelican_22Click();  // for boxes 22 to 25
    void BitBtn_WebHelpClick();
    void BitBtn_SendMailClick();

    // ---- Settings (form_main_settings.cpp) -------------------------------
    void LoadSettings();
    void SaveSettings();

    // ---- Forms (form_main_forms.cpp) -------------------------------------
    // The station's forms, read at start (the bundled forms, the built-in
    // one's file among them, and the base folder's forms folder). Before
    // the start: only the compiled built-in form.
    const print::FormLibrary& formLibrary() const;
    // Reads them again (FormShow, after the base folder is known); a
    // bundled form that cannot be used is told in a notice.
    void loadForms();

    // ---- Sender records (form_main_senders.cpp) --------------------------
    void SpeedButton_readMyClick();
    void PageControl_MyChange();  // user's tab change only, never from code
    void BitBtn_MyClick();

    // ---- Text transfer (form_main_transfer.cpp) --------------------------
    void buildTransferPanel();
    void BitBtn_1Click();
    void Memo1Change();
    void Memo1Enter();
    void BitBtn_MemoCLSClick();

    // ---- Postal codes (form_main_postal.cpp); F6 is declared above --------
    QLabel* Label_ZipWarning = nullptr;  // the code is unknown or does not fit the address
    void SpeedButton_F5Click();
    // The code or an address line was left: check the two against each other.
    void consigneeFieldExit(Qt::FocusReason reason);
    void checkZipAddress(bool announce);  // announce: also in the prompt line
    void updatePostalKeys();

    // ---- Print command (form_main_print.cpp) -----------------------------
    void SpeedButton_F11Click();
    // Names in the prompt line what is wrong with the waybill about to be
    // printed: a code that does not fit the address, texts that do not fit.
    // Returns the standing warnings for the print question, one per entry:
    // the code's mismatch in full, the texts that do not fit, and the pasted
    // lines the last transfer placed in no field.
    QStringList showPrintPrompt();

    // ---- Batch printing (form_main_batch.cpp) ----------------------------
    void setUpBatchKey();  // F9 caption, enabling and key
    void SpeedButton_F9Click();
    // Has the batch window check its rows again whenever what they are
    // checked against changes on this form.
    void followForm(TBatchWindow& window);

    // ---- Preview (form_main_preview.cpp) ----------------------------------
    void SpeedButton_F10Click();
    // The texts that will not fit, as the prompt line names them; empty when
    // all fit or the page cannot be worked out.
    QString overflowPrompt();

    // ---- Printer registration (form_main_printer_box.cpp) ----------------
    // Hidden carriers of the feed mode's record beside Label_PrinterIndex:
    // the registered printer's name, paper size and bin.
    QLabel* Label_PrinterName = nullptr;
    QLabel* Label_PrinterPaper = nullptr;
    QLabel* Label_PrinterBin = nullptr;
    void buildPrinterBox();
    void ComboBox_SELChange();  // user's choice only, never from code
    void SpeedButton_PrnIdGetClick();
    void SpeedButton_PRNSETClick();
    // At start the printer's papers and bins are asked for only once the
    // window is drawn; this fills the box now if that is still to come (a
    // command that prints calls it first).
    void completePrinterBox();
    // The installed printers changed (or may have): the feed mode's
    // registered printer is taken again, or printing is withheld while it
    // is gone.
    void followPrinterChange();
    void BitBtn_PrnSetClick();
    void BitBtn_PrnSet2Click();

    // ---- The feed mode's form (form_main_forms.cpp) ----------------------
    // The form the feed mode prints on: the one its record names, the
    // built-in one when it names none. While the named form is gone or
    // failed its check, formTrouble() says so, printing is withheld and
    // this is the built-in form only for what is shown, never printed.
    const print::Form& feedModeForm() const;
    const QString& formTrouble() const { return formTrouble_; }
    // The carriers of the shipping exports by form id; the built-in form's
    // as the settings file's [Shipping] section sets it.
    store::Carriers shippingCarriers();

    // ---- History and address book (form_main_history.cpp) -----------------
    QPushButton* BitBtn_AddrBook = nullptr;  // お届け先登録
    void SpeedButton_F8Click();
    void BitBtn_AddrBookClick();
    // Records the waybill on the form as printing, before its job is
    // handed over; returns its record id, or "" when the history cannot be
    // written (the print goes on; the reason shows once it is done).
    std::string recordPrinting(const std::string& tracking) noexcept;
    // The job of the row recorded as printing went out as `job`, or was
    // refused (nullopt: the row goes). A failure only shows in the prompt line.
    void recordPrinted(const std::string& uid, std::optional<int> job) noexcept;
    // The first form's number to propose for the next print: the form after
    // the last one recorded in the current feed mode and the blank forms its
    // job fed after it; empty when that print's forms are not known.
    QString proposedFirstNumber();
    // Blank forms fed after the last waybill of the feed mode's last job:
    // counted from the pages that job sent, or, before any job of this run,
    // what the feed mode's record asks for.
    int formsAfterLastWaybill();
    // The job just ended held `waybills` waybills: the rest of its pages fed
    // blank forms.
    void noteFormsSent(std::size_t waybills);
    // The row of the history that holds this tracking number already, if any.
    std::optional<store::WaybillRecord> trackingHolder(const std::string& tracking);
    void fillConsignee(const store::Consignee& consignee);
    HistoryBook* historyBook() const { return historyBook_; }

    // The cyclic focus order of the entry form (Tab, Enter, Up).
    QList<QWidget*> focusOrder() const;
    // Moves the focus along focusOrder(), skipping hidden/disabled controls.
    void focusNext(QWidget* from, bool forward);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // Why the print being made could not be recorded ("" when it was).
    QString printRecordError_;
    // Construction, one region each (form_main.cpp).
    void buildFrame();
    void buildConsignee();
    void buildSender();
    void buildShipment();
    void buildFunctionBar();
    void buildCarriers();
    void connectHandlers();
    void layOutEntryForm();  // FormShow step 8
    void setUpFunctionBar();  // FormShow step 12
    void centreOnDesktop();
    void buildHistory();
    void setUpHistoryKey();
    void showMissingPrinter(const QString& name);
    void applyStoredPaperAndBin();
    void completePrinterBoxAfterFirstPaint();
    // The feed mode's record names this form (its id; empty: the built-in).
    void takeFeedModeForm(const QString& id);
    // Withholds printing while the feed mode's form cannot be printed on.
    void withholdForForm();

    // Key map of the entry fields (form_main_entry.cpp).
    bool handleFieldKey(QWidget* field, QKeyEvent* event);
    void showPrompt(SjisLineEdit* field, const QString& prompt);
    void excludeTimeBands(QCheckBox* clicked);
    void convertToHalfWidth(SjisLineEdit* field);
    static QString halfWidth(const QString& text);
    void buildPostal();
    postal::LazyTable* postalTable();
    bool postalPick(int& chosen, const QStringList& items, const QString& title);
    // What the consignee's code says about the address: a short warning for
    // the label beside the code and a fuller text for the prompt line, both
    // empty when the two fit (or nothing can be said yet).
    struct ZipVerdict {
        QString warning;
        QString detail;
    };
    ZipVerdict zipVerdict(bool announce);

    std::shared_ptr<postal::LazyTable> postalTable_;  // made on first use, read then
    std::shared_ptr<const print::FormLibrary> forms_;  // read at start, again after the designer
    // Libraries read before: waybills gathered earlier (a batch window's
    // rows) may still point at their forms, so they live for the run.
    std::vector<std::shared_ptr<const print::FormLibrary>> retiredForms_;
    bool postalSender_ = false;  // F5/F6 work on the sender's fields

    HistoryBook* historyBook_ = nullptr;
    HistoryWindow* historyWindow_ = nullptr;
    bool formShown_ = false;
    bool startingPrinterBox_ = false;  // FormShow's steps 9 and 10 are running
    bool printerBoxPending_ = false;   // the box waits for the first paint
    bool formDestroyed_ = false;
    bool feedAfterJob_ = false;        // the feed mode's record: a blank form after each job
    bool registeringPrinter_ = false;  // the printer set-up dialog is open
    std::map<QString, int> formsAfterLast_;  // per feed mode, from the jobs of this run
    QString formId_;                             // the feed mode's record: PrnForm
    QString formTrouble_;                        // why that form cannot be printed on
    print_form::WaybillFormSlot* formSlot_ = nullptr;
};
