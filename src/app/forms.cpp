#include "app/forms.h"

#include <type_traits>

#include "app/main_window.h"
#include "app/resource_window.h"
#include "signin/connection_failure_window.h"
#include "signin/sign_in_window.h"
#include "windows/keep_window.h"
#include "windows/picker_window.h"
#include "windows/settings_window.h"

TfrmResources* frmResources = nullptr;
TfrmMain* frmMain = nullptr;
TfrmRegisterLogin* frmRegisterLogin = nullptr;
TfrmWPPicker* frmWPPicker = nullptr;
TfrmWPSetTime* frmWPSetTime = nullptr;
TfrmSettings* frmSettings = nullptr;
TfrmPopop* frmPopop = nullptr;

namespace {

ApplicationForms* liveForms = nullptr;

struct FormSlot {
    FormRole role;
    // Makes the form, sets its global reference and runs its creation; false when the process
    // must end at once.
    bool (*create)(HWND owner, std::unique_ptr<Window>& holder);
    void (*clearGlobal)();
};

template <typename Form, Form*& global>
constexpr FormSlot Slot(bool closedBySignOut, bool hiddenByHideAll) {
    return {{closedBySignOut, hiddenByHideAll},
            [](HWND owner, std::unique_ptr<Window>& holder) {
                auto form = std::make_unique<Form>();
                global = form.get();
                Form& made = *form;
                holder = std::move(form);
                if constexpr (std::is_same_v<decltype(made.Create(owner)), bool>) {
                    return made.Create(owner);
                } else {
                    made.Create(owner);
                    return true;
                }
            },
            [] { global = nullptr; }};
}

// In creation order: the resource window first, so that it is the application's main form.
constexpr FormSlot kForms[] = {
    Slot<TfrmResources, frmResources>(false, false),
    Slot<TfrmMain, frmMain>(false, true),
    Slot<TfrmRegisterLogin, frmRegisterLogin>(false, true),
    Slot<TfrmWPPicker, frmWPPicker>(true, true),
    Slot<TfrmWPSetTime, frmWPSetTime>(true, true),
    Slot<TfrmSettings, frmSettings>(true, true),
    Slot<TfrmPopop, frmPopop>(false, true),
};

}  // namespace

ApplicationForms::ApplicationForms() {
    liveForms = this;
}

ApplicationForms::~ApplicationForms() {
    // Each window is destroyed while its object is whole, the last first.
    while (!created_.empty()) {
        Created& last = created_.back();
        last.form->Destroy();
        last.clearGlobal();
        created_.pop_back();
    }
    if (liveForms == this) {
        liveForms = nullptr;
    }
}

bool ApplicationForms::Create(HWND applicationWindow) {
    for (const FormSlot& slot : kForms) {
        created_.push_back({slot.role, nullptr, slot.clearGlobal});
        if (!slot.create(applicationWindow, created_.back().form)) {
            return false;
        }
    }
    return true;
}

void ForEachForm(const std::function<void(Window&, const FormRole&)>& visit) {
    if (!liveForms) {
        return;
    }
    // A visit may pump messages; the forms are only created or destroyed by their owner, never
    // in between, so indexes stay valid.
    for (size_t i = 0; i < liveForms->created_.size(); ++i) {
        if (Window* form = liveForms->created_[i].form.get()) {
            visit(*form, liveForms->created_[i].role);
        }
    }
}
