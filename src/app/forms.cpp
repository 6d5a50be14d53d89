#include "app/forms.h"

#include "app/main_window.h"
#include "app/resource_window.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in_window.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

namespace {

// Makes one form in the set with its role and runs its creation, the application's window its
// owner; false when the process must end at once.
using MakeForm = bool (*)(FormSet& forms, FormRole role, HWND owner);

struct FormRow {
    FormRole role;
    MakeForm make;
};

// A form whose creation needs nothing but its owner.
template <typename Form, Form*& global>
bool Make(FormSet& forms, FormRole role, HWND owner) {
    forms.Add<Form, global>(role).Create(owner);
    return true;
}

// A form with a picture button, whose pictures the resource window holds.
template <typename Form, Form*& global, Picture TfrmResources::*normal,
          Picture TfrmResources::*hover>
bool MakeWithButton(FormSet& forms, FormRole role, HWND owner) {
    Form& form = forms.Add<Form, global>(role);
    form.Create(owner);
    form.SetButtonPictures(frmResources->*normal, frmResources->*hover);
    return true;
}

constexpr FormRole kNeverShown = {false, false};
constexpr FormRole kShown = {false, true};
constexpr FormRole kShownWhenSignedIn = {true, true};

// The program's forms in their creation order; they are destroyed the other way round. The first
// is the application's main form, whose closing ends the program; it holds the pictures the later
// ones show.
constexpr FormRow kForms[] = {
    {kNeverShown, Make<TfrmResources, frmResources>},
    // Says false when another instance runs.
    {kShown,
     [](FormSet& forms, FormRole role, HWND owner) {
         const TfrmResources& resources = *frmResources;
         return forms.Add<TfrmMain, frmMain>(role).Create(
             owner, {&resources.imgBackgroundSmall, &resources.imgSignIn, &resources.imgSignIn_Over,
                     &resources.imgLogo_active, &resources.imgLogo_inactive,
                     &resources.imgCloseWindow, &resources.imgLogoSmall});
     }},
    {kShown, MakeWithButton<TfrmRegisterLogin, frmRegisterLogin, &TfrmResources::imgGo,
                            &TfrmResources::imgGo_over>},
    {kShownWhenSignedIn, Make<TfrmWPPicker, frmWPPicker>},
    {kShownWhenSignedIn, MakeWithButton<TfrmWPSetTime, frmWPSetTime, &TfrmResources::imgSet,
                                        &TfrmResources::imgSet_over>},
    {kShownWhenSignedIn, Make<TfrmSettings, frmSettings>},
    {kShown, Make<TfrmPopop, frmPopop>},
};

}  // namespace

bool ApplicationForms::Create(HWND applicationWindow) {
    for (const FormRow& row : kForms) {
        if (!row.make(forms_, row.role, applicationWindow)) {
            return false;
        }
    }
    return true;
}
