#pragma once
// The seven windows that live from start to end, each reachable through one global reference
// that is set before the window's own creation code runs.

class TfrmResources;
class TfrmMain;
class TfrmRegisterLogin;
class TfrmWPPicker;
class TfrmWPSetTime;
class TfrmSettings;
class TfrmPopop;

extern TfrmResources* frmResources;
extern TfrmMain* frmMain;
extern TfrmRegisterLogin* frmRegisterLogin;
extern TfrmWPPicker* frmWPPicker;
extern TfrmWPSetTime* frmWPSetTime;
extern TfrmSettings* frmSettings;
extern TfrmPopop* frmPopop;
