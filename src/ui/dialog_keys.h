#pragma once
// The keys that move about a form and act in it, as in a dialog box, for the client's own controls
// as for the system's.

#include <windows.h>

// Tab and Shift+Tab: the focus goes to the next or previous control of the form that is a tab
// stop, visible and enabled, in the order the controls were made, round the end. True when the
// form has such a control.
bool MoveFocusByTab(HWND form, bool backwards);

// Enter on the focused control of the form: a push button is pressed, and so is a picture button
// or a link. True when it pressed something.
bool PressFocusedControl(HWND form);
