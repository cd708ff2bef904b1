#pragma once
// Orderly ends that do not come from the window itself: SIGTERM, SIGINT and
// SIGHUP sent to the process, and the desktop session ending.
class TForm_Main;

// - A stop signal closes the main window through the event loop, exactly as
//   its close box does (which saves the settings), and ends every event
//   loop, so an open modal box cannot keep the program alive. The signal
//   handler itself only writes one byte into a pipe.
// - The session manager's commit-data request saves the settings at once,
//   in case the session then ends the process without closing windows.
// Call once, after the main window exists and before the event loop runs.
void installOrderlyEnd(TForm_Main* form);
