#pragma once
// The application's windows and what the layers below them report to it, for as long as they
// live.

#include <windows.h>

#include "app/application_service_owner.h"
#include "app/application_sign_in_owner.h"
#include "ui/form_table.h"

// Creates the forms of the program's table in its order and destroys them in reverse order; while
// they live, the exchanges and the sign-in report to the application.
class ApplicationForms {
  public:
    ApplicationForms() = default;
    ApplicationForms(const ApplicationForms&) = delete;
    ApplicationForms& operator=(const ApplicationForms&) = delete;

    // Returns false when another instance runs and this process must end at once; the windows
    // after the main window are then not created.
    bool Create(HWND applicationWindow);

  private:
    ApplicationServiceOwner serviceOwner_;
    ServiceOwnerScope serviceOwnerScope_{serviceOwner_};
    ApplicationSignInOwner signInOwner_;
    SignInOwnerScope signInOwnerScope_{signInOwner_};
    // Destroyed first: a window's last messages may still report.
    FormSet forms_;
};
