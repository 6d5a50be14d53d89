#pragma once
// The application's own window-message numbers and timer ids; each component keeps its own with
// it. Each message says who sends it and what it carries.
//
// A private message can reach the client's windows from any program on the desktop, with any
// parameters. So none of them carries a pointer, and each handler acts only on what the client
// itself knows: a message that the client did not send changes nothing.

#include <windows.h>

// --- Messages ---------------------------------------------------------------------------------

// From a second start of the client to the running one (number 1125): wParam is a global atom
// whose text is the new start's arguments, lParam 0. An atom is a number: its text is read with
// a bounded GlobalGetAtomNameA, and a number that names no atom reads as no text.
inline constexpr UINT kHandOverMessage = WM_USER + 101;

// From the main window to itself (SetTrayImageSoon): the tray image it chose goes to the shell
// now. It carries nothing; without an image waiting it changes nothing.
inline constexpr UINT kTrayImageMessage = WM_USER + 102;

// --- Timers -----------------------------------------------------------------------------------
// Each belongs to one window; the ids differ all the same, so that a trace names the timer.

// The resource window's ten-second cycle.
inline constexpr UINT_PTR tmrCycleTimer = 1;
// The main window's one-second delay before the program ends after an update link.
inline constexpr UINT_PTR tmrShutdownDelay = 2;
// The sign-in's poll timer (TLoginTimer) is a thread timer: the system chooses its id.
