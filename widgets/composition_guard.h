#pragma once
// Ends a composition before a mouse press moves the caret or the focus.
//
// Qt ends it on its own as the press moves the caret or the focus leaves
// the field: it puts the pre-edit into the field and resets the input
// method. An input method that commits its pre-edit on a reset (ibus with
// Mozc does) then sends the same text once more, into the same field or
// into the one just clicked, and the text shows twice. Without an input
// method behind it, the pre-edit is dropped instead.
//
// Here the press first commits the pre-edit into the field that shows it
// and resets the input method; the one repeat of that text which may
// follow is dropped, wherever it arrives. Any other input-method activity,
// or a second, ends the wait for it.
class QInputMethodEvent;
class QWidget;

namespace composition {

// Called with each input-method event a composing field is about to take.
void noteInputMethodEvent(QWidget* field, const QInputMethodEvent& event);

}  // namespace composition
