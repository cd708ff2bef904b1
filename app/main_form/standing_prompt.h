#pragma once
// A message in the prompt line that must be read: it stays when the first
// field takes the focus (as it does when the window is activated, often
// after the message was shown) and gives way once the user moves on to
// another control.
class QString;
class TForm_Main;

// Shows the text; it replaces a standing message shown before.
void showStandingPrompt(TForm_Main& form, const QString& text);
// The message no longer holds: it stops coming back, and leaves the prompt
// line if it still shows there.
void withdrawStandingPrompt(TForm_Main& form, const QString& text);
