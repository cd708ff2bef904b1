#pragma once
// A stand-in main form for the printing tests: a top-level widget named
// "Form_Main" holding every control the layout reads, under the names the
// real form uses, plus helpers to fill it from a field value.
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "print/core/waybill_fields.h"
#include "tests/print/sample_waybill.h"
#include "text/sjis_qt.h"

namespace layout_test {

inline const char* const kTextControls[] = {
    "Label_dpix", "Label_dpiy", "Label_Prn_Top", "Label_Prn_Left", "Edit_Zip", "Edit_de_date1",
    "Edit_de_date2", "Edit_de_date3", "Edit_Add1", "Edit_Add2", "Edit_G1", "Edit_G2", "Edit_G3",
    "Edit_Custo1", "Edit_tel", "Edit_MyZip", "Edit_MyADD1", "Edit_MyADD2", "Edit_My", "Edit_MyTEL"};
inline const char* const kCheckBoxes[] = {
    "CheckBox_Date_1", "CheckBox_My", "CheckBox_Pelican_1", "CheckBox_Pelican_2", "CheckBox_Pelican_3",
    "CheckBox_Pelican_4", "CheckBox_Pelican_5", "CheckBox_Pelican_6", "CheckBox_Pelican_21",
    "CheckBox_Pelican_22", "CheckBox_Pelican_23", "CheckBox_Pelican_24", "CheckBox_Pelican_25"};

// Builds the controls (labels as QLabel, the rest as on the real form).
inline QWidget* makeForm(QWidget* form = nullptr) {
    if (!form) form = new QWidget;
    form->setObjectName(QStringLiteral("Form_Main"));
    for (const char* name : kTextControls) {
        QWidget* w = QLatin1String(name).startsWith(QLatin1String("Label_")) ? static_cast<QWidget*>(new QLabel(form))
                                                                            : new QLineEdit(form);
        w->setObjectName(QLatin1String(name));
    }
    for (const char* name : kCheckBoxes) (new QCheckBox(form))->setObjectName(QLatin1String(name));
    (new QDateEdit(form))->setObjectName(QStringLiteral("DateTimePicker_1"));
    return form;
}

inline void setText(QWidget* form, const char* name, const std::string& sjis) {
    QWidget* w = form->findChild<QWidget*>(QLatin1String(name));
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->setText(sjis::toQString(sjis));
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(sjis::toQString(sjis));
}

inline void setChecked(QWidget* form, const char* name, bool on) {
    form->findChild<QCheckBox*>(QLatin1String(name))->setChecked(on);
}

// Puts a field value into the form's controls; `date` must be yyyy/mm/dd.
inline void fill(QWidget* form, const print::WaybillFields& f) {
    setText(form, "Label_dpix", f.dpix);
    setText(form, "Label_dpiy", f.dpiy);
    setText(form, "Label_Prn_Top", f.prnTop);
    setText(form, "Label_Prn_Left", f.prnLeft);
    setText(form, "Edit_Zip", f.zip);
    setText(form, "Edit_de_date1", f.deDate1);
    setText(form, "Edit_de_date2", f.deDate2);
    setText(form, "Edit_de_date3", f.deDate3);
    setText(form, "Edit_Add1", f.add1);
    setText(form, "Edit_Add2", f.add2);
    setText(form, "Edit_G1", f.g1);
    setText(form, "Edit_G2", f.g2);
    setText(form, "Edit_G3", f.g3);
    setText(form, "Edit_Custo1", f.custo1);
    setText(form, "Edit_tel", f.tel);
    setText(form, "Edit_MyZip", f.myZip);
    setText(form, "Edit_MyADD1", f.myAdd1);
    setText(form, "Edit_MyADD2", f.myAdd2);
    setText(form, "Edit_My", f.my);
    setText(form, "Edit_MyTEL", f.myTel);
    setChecked(form, "CheckBox_Date_1", f.printDate);
    setChecked(form, "CheckBox_My", f.printSender);
    for (int i = 0; i < 6; ++i) setChecked(form, kCheckBoxes[2 + i], f.timeBand[i]);
    for (int i = 0; i < 5; ++i) setChecked(form, kCheckBoxes[8 + i], f.special[i]);
    form->findChild<QDateEdit*>(QStringLiteral("DateTimePicker_1"))
        ->setDate(QDate::fromString(QString::fromStdString(f.date), QStringLiteral("yyyy/MM/dd")));
}
}  // namespace layout_test
