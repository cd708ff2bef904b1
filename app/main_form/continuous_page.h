#pragma once
// Continuous waybill forms (連続(４インチ)): the page of every waybill must
// be exactly one form long, or the waybills after the first run across
// the perforations.
class QWidget;
class TForm_Main;

// The feed mode on the form is the 4-inch continuous form.
bool continuousFeed(const TForm_Main& form);

// In continuous feed on a page that is not one form long, asks whether to
// print anyway, naming how many forms each waybill will pull through.
// True: go on (always, in manual feed or on a one-form page). Raises what
// the printer layer raises when there is no printer.
bool confirmFormFeed(QWidget* parent, const TForm_Main& form);
