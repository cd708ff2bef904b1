#include "print/Wb_d97_Dot.h"

#include <QAbstractButton>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <stdexcept>
#include <string>

#include "print/Wbprn/waybill_job.h"
#include "print/main_form.h"
#include "text/sjis_qt.h"

TWb_d97_Dot::TWb_d97_Dot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Wb_d97_Dot"));
    // Stays hidden: it exists to own the layout routine.
    setAttribute(Qt::WA_DontShowOnScreen);
}

QWidget& TWb_d97_Dot::mainForm() const { return print_form::mainForm(mainForm_); }

void TWb_d97_Dot::SLIP97_Prn() {
    wbprn::printWaybillPage(gatherWaybillFields(mainForm()));
}

namespace {

QWidget& control(const QWidget& form, const char* name) { return print_form::control<QWidget>(form, name); }

std::string text(const QWidget& form, const char* name) {
    QWidget& w = control(form, name);
    QString t;
    if (auto* edit = qobject_cast<QLineEdit*>(&w)) t = edit->text();
    else if (auto* label = qobject_cast<QLabel*>(&w)) t = label->text();
    else if (QVariant v = w.property("text"); v.isValid()) t = v.toString();
    else throw std::logic_error(std::string("Form_Main control ") + name + " holds no text");
    return sjis::fromQString(t);
}

bool checked(const QWidget& form, const char* name) {
    auto* box = qobject_cast<QAbstractButton*>(&control(form, name));
    if (!box) throw std::logic_error(std::string("Form_Main control ") + name + " is no check box");
    return box->isChecked();
}

std::string date(const QWidget& form, const char* name) {
    auto* picker = qobject_cast<QDateTimeEdit*>(&control(form, name));
    if (!picker) throw std::logic_error(std::string("Form_Main control ") + name + " is no date picker");
    // The layout takes the year, month and day at fixed byte positions.
    return picker->date().toString(QStringLiteral("yyyy/MM/dd")).toStdString();
}

}  // namespace

print::WaybillFields gatherWaybillFields(const QWidget& form) {
    print::WaybillFields f;
    f.form = print_form::waybillForm(form);
    f.dpix = text(form, "Label_dpix");
    f.dpiy = text(form, "Label_dpiy");
    f.prnTop = text(form, "Label_Prn_Top");
    f.prnLeft = text(form, "Label_Prn_Left");
    f.zip = text(form, "Edit_Zip");
    f.date = date(form, "DateTimePicker_1");
    f.printDate = checked(form, "CheckBox_Date_1");
    f.deDate1 = text(form, "Edit_de_date1");
    f.deDate2 = text(form, "Edit_de_date2");
    f.deDate3 = text(form, "Edit_de_date3");
    f.add1 = text(form, "Edit_Add1");
    f.add2 = text(form, "Edit_Add2");
    f.g1 = text(form, "Edit_G1");
    f.g2 = text(form, "Edit_G2");
    f.g3 = text(form, "Edit_G3");
    f.custo1 = text(form, "Edit_Custo1");
    f.tel = text(form, "Edit_tel");
    f.printSender = checked(form, "CheckBox_My");
    f.myZip = text(form, "Edit_MyZip");
    f.myAdd1 = text(form, "Edit_MyADD1");
    f.myAdd2 = text(form, "Edit_MyADD2");
    f.my = text(form, "Edit_My");
    f.myTel = text(form, "Edit_MyTEL");
    static const char* const kBands[6] = {"CheckBox_Pelican_1", "CheckBox_Pelican_2", "CheckBox_Pelican_3",
                                          "CheckBox_Pelican_4", "CheckBox_Pelican_5", "CheckBox_Pelican_6"};
    static const char* const kSpecial[5] = {"CheckBox_Pelican_21", "CheckBox_Pelican_22", "CheckBox_Pelican_23",
                                            "CheckBox_Pelican_24", "CheckBox_Pelican_25"};
    for (int i = 0; i < 6; ++i) f.timeBand[i] = checked(form, kBands[i]);
    for (int i = 0; i < 5; ++i) f.special[i] = checked(form, kSpecial[i]);
    return f;
}
