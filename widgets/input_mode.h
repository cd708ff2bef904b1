#pragma once
// How a text field meets the desktop's input method (IME).
// - Japanese: composition on; the input method is told the field wants
//   Japanese (names, addresses, goods).
// - Digits, Code, Telephone: the input method is off. The field takes no
//   composition, so a key goes in as typed whatever state the input method
//   is in, and the hints ask for digits (a virtual keyboard shows a number
//   pad). Text an input method commits anyway (one that ignores the state)
//   still goes in, as typed text would; a pre-edit is never shown.
//
// - Latin: the input method is off for ASCII text (a connection string).
//   Full-width digits that an input method commits into a field with the
//   input method off go in as the digits typed.
// - A mouse press during a composition in a Japanese field commits the
//   pre-edit first (composition_guard.h), so the click neither loses nor
//   repeats it.
//
// Works on any QWidget editor: a form field, a table cell's editor, a
// window's search or number box, a date picker. Setting the mode again
// replaces it.
//
// Why a helper and not Qt::WA_InputMethodEnabled alone: QLineEdit answers
// the input method's "enabled?" query itself, whatever the attribute says,
// and turns the attribute back on when it leaves read-only; the input
// method would go on composing in a field that has the attribute off.
class QWidget;

enum class InputMode {
    Japanese,   // hiragana input
    Digits,     // the digits 0-9 only: dates, counts
    Code,       // digits and hyphens: postal codes, tracking numbers
    Telephone,  // telephone numbers
    Latin,      // ASCII text: connection strings
};

void setInputMode(QWidget* field, InputMode mode);
