#pragma once
// Hidden window that owns the waybill drawing routine SLIP97_Prn. It is
// never shown; it reads the main form's controls by name when it prints.
#include <QPointer>
#include <QWidget>

#include "print/core/waybill_fields.h"

class TWb_d97_Dot : public QWidget {
    Q_OBJECT
public:
    explicit TWb_d97_Dot(QWidget* parent = nullptr);

    // The form whose fields are printed. Without one, the top-level widget
    // named "Form_Main" is used.
    void setMainForm(QWidget* form) { mainForm_ = form; }

    // Draws the waybill held by the main form on the current page of the
    // open document (WbPrinter().Canvas()). Errors propagate unchanged; a
    // bad caption or an unmappable position is raised before any drawing.
    void SLIP97_Prn();

private:
    QWidget& mainForm() const;

    QPointer<QWidget> mainForm_;
};

// The waybill fields of a form, gathered from its controls by objectName
// (line edits and labels by text, check boxes by state, the date picker as
// "yyyy/mm/dd"), converted to Shift-JIS, on the form the main form names
// (print_form::waybillForm). A missing control raises
// std::logic_error naming it: a waybill is never printed with a field
// silently left out.
print::WaybillFields gatherWaybillFields(const QWidget& form);
