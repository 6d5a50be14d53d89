#include "app/forms.h"

#include "app/resource_window.h"
#include "signin/sign_in_window.h"
#include "windows/keep_window.h"

bool ApplicationForms::Create(HWND applicationWindow) {
    if (!forms_.Create(applicationWindow)) {
        return false;
    }
    // The resource window holds the pictures that the other windows' buttons swap in and out.
    frmWPSetTime->SetButtonPictures(frmResources->imgSet, frmResources->imgSet_over);
    frmRegisterLogin->SetButtonPictures(frmResources->imgGo, frmResources->imgGo_over);
    return true;
}
