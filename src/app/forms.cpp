#include "app/forms.h"

TfrmResources* frmResources = nullptr;
TfrmMain* frmMain = nullptr;
TfrmRegisterLogin* frmRegisterLogin = nullptr;
TfrmWPPicker* frmWPPicker = nullptr;
TfrmWPSetTime* frmWPSetTime = nullptr;
TfrmSettings* frmSettings = nullptr;
TfrmPopop* frmPopop = nullptr;
