#pragma once
// The form designer ("用紙デザイン"): a picture of another carrier's empty
// form (or a new revision of one) under the boxes of the waybill's items,
// each moved, resized and given a font size until its sample text sits
// where the form wants it; then saved as a form file in the user's form
// folder and tried out with the calibration page on plain paper.
#include <QDialog>
#include <QString>
#include <optional>
#include <vector>

#include "app/form_designer/form_design.h"
#include "app/form_designer/item_samples.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace form_design {
class FormCanvas;
}

class TForm_FormDesigner final : public QDialog {
    Q_OBJECT
public:
    // `baseFolder`: the program's folder; the forms are saved in its forms
    // folder and the window's place is remembered there.
    explicit TForm_FormDesigner(QString baseFolder, QWidget* parent = nullptr);
    ~TForm_FormDesigner() override;

    // The margins the calibration page is printed with (the feed mode's).
    void setMargins(const QString& top, const QString& left);

    QComboBox* ComboBox_Base = nullptr;        // 元にする用紙: the built-in form and the saved ones
    QPushButton* Button_OpenScan = nullptr;    // 用紙の画像を開く…
    QLabel* Label_Scan = nullptr;              // the picture's size and resolution
    QDoubleSpinBox* Spin_WidthMm = nullptr;    // 用紙の幅 (mm)
    QDoubleSpinBox* Spin_HeightMm = nullptr;   // 用紙の高さ (mm)
    QListWidget* List_Items = nullptr;         // the form's items; the selected one is the canvas's
    QLabel* Label_Place = nullptr;             // the selected box in mm and form units
    QSpinBox* Spin_FontSize = nullptr;         // 文字の大きさ (pt)
    QListWidget* List_Problems = nullptr;      // spilling samples and the form's problems
    QLineEdit* Edit_Name = nullptr;            // 用紙の名前
    QLineEdit* Edit_Id = nullptr;              // ID: the file's name
    // The carrier the shipping exports name for a parcel on this form.
    QLineEdit* Edit_Carrier = nullptr;         // 運送会社
    QLineEdit* Edit_Method = nullptr;          // サービス
    QLineEdit* Edit_AmazonCode = nullptr;      // Amazon の運送会社コード
    QLineEdit* Edit_RakutenCode = nullptr;     // 楽天の配送会社コード
    QComboBox* ComboBox_Tracking = nullptr;    // 伝票番号の規則: なし / 末尾が7で割った余り / 桁数だけ
    QSpinBox* Spin_TrackingDigits = nullptr;   // 伝票番号の桁数
    QPushButton* Button_Save = nullptr;        // 保存
    QPushButton* Button_Calibration = nullptr; // 校正ページを印刷
    QPushButton* Button_Close = nullptr;       // 閉じる
    QLabel* Label_Status = nullptr;
    form_design::FormCanvas* Canvas = nullptr;

    // Loads the picture; a file that cannot be read says so and keeps
    // the picture there was.
    bool openScan(const QString& path);
    // Saves the design as `<forms folder>/<ID>.form`; false when refused
    // (no name, a bad ID, the built-in form's ID, the user declined).
    bool save();
    // The calibration page of the design on the current printer.
    void printCalibration();

    const form_design::FormDesign& design() const { return design_; }
    // Where the form was last saved; empty before.
    const QString& savedPath() const { return savedPath_; }

private:
    void buildControls();
    void loadBases();
    void startFrom(int baseIndex);
    void pageSizeEdited();
    void selectionChanged();
    void boxChanged();
    void fontSizeEdited(int points);
    void refreshCheck();
    // The form's own problems (checkForm), one line each.
    QStringList problems() const;
    QString formFolder() const;
    void chooseScan();
    void showIdentity(const print::Form& base);
    void takeIdentity(const QString& id, const QString& name);

    QString baseFolder_;
    QString top_ = QStringLiteral("0"), left_ = QStringLiteral("0");
    form_design::FormDesign design_;
    form_design::SpillCheck spills_;
    std::vector<print::Form> bases_;
    QString savedPath_;
    bool updating_ = false;  // the controls are being filled, not edited
};

// Runs the designer modally over `parent` (the printer set-up dialog).
void runFormDesigner(QWidget* parent, const QString& baseFolder, const QString& top, const QString& left);
