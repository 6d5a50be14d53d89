#pragma once
// Every window-message number and timer id of the client's own, in one place, so that none is
// taken twice and each message says who sends it and what it carries.
//
// A private message can reach the client's windows from any program on the desktop, with any
// parameters. So none of them carries a pointer, and each handler acts only on what the client
// itself knows: a message that the client did not send changes nothing.

#include <windows.h>

// --- Messages ---------------------------------------------------------------------------------

// From the shell, for a mouse action over the tray icon: wParam is the icon's id, lParam the
// mouse message (WM_MOUSEMOVE, WM_RBUTTONDOWN, ...), which the tray icon only compares with the
// mouse messages it knows. The platform's first user message number plus 1024, that is 2048.
inline constexpr UINT TrayCallbackMessage = WM_USER + 1024;

// From a second start of the client to the running one (number 1125): wParam is a global atom
// whose text is the new start's arguments, lParam 0. An atom is a number: its text is read with
// a bounded GlobalGetAtomNameA, and a number that names no atom reads as no text.
inline constexpr UINT kHandOverMessage = WM_USER + 101;

// Posted by the sign-in worker to the resource window once its outcome is ready. It carries
// nothing: the outcome waits in the hand-over of the running sign-in, which only the worker of
// that sign-in fills. So the message is only a wake-up, and one from elsewhere finds nothing to
// take.
inline constexpr UINT kLoginOutcomeMessage = WM_APP + 1;

// Posted by the picker to itself when a thumbnail was clicked, so that the pick runs after the
// browser control's event has returned. It carries nothing: the id waits in the picker, and a
// message from elsewhere finds none to take.
inline constexpr UINT kPickWallpaperMessage = WM_APP + 2;

// --- Timers -----------------------------------------------------------------------------------
// Each belongs to one window; the ids differ all the same, so that a trace names the timer.

// The resource window's ten-second cycle.
inline constexpr UINT_PTR tmrCycleTimer = 1;
// The main window's one-second delay before the program ends after an update link.
inline constexpr UINT_PTR tmrShutdownDelay = 2;
// The download window's 200 ms delay before a shown download starts.
inline constexpr UINT_PTR tmrDLDelay = 3;
// The tray icon window's animation of the icon.
inline constexpr UINT_PTR kTrayCycleTimer = 4;
// An image control's next frame of an animated picture.
inline constexpr UINT_PTR kPictureFrameTimer = 5;
// A notification popup's wait at full size (TimeOut seconds), then its 25 ms slide steps in and
// out.
inline constexpr UINT_PTR tmrExit = 6;
inline constexpr UINT_PTR tmrScroll = 7;
inline constexpr UINT_PTR tmrScrollDown = 8;
// The sign-in's poll timer (TLoginTimer) is a thread timer: the system chooses its id.
