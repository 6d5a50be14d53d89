#pragma once
// The windows that live from the program's start to its end. Each window's own file declares its
// global reference and enters its row in this table, so a new window needs its own two files and
// nothing else; the application creates what the table holds, in the rows' order.

#include <windows.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "ui/window.h"

// What the ways out of a state do with a form.
struct FormRole {
    bool closedBySignOut;  // the windows that need a signed-in user
    bool hiddenByHideAll;  // every window the user can see
};

struct FormRow {
    // Forms are created by rising order and destroyed the other way round. The first is the
    // application's main form, whose closing ends the program.
    int order;
    FormRole role;
    // Makes the form, sets its global reference and runs its creation; false when the process
    // must end at once.
    bool (*create)(HWND owner, std::unique_ptr<Window>& holder);
    void (*clearGlobal)();
};

// Enters a row while the program loads: one static object in the form's own file.
class FormRegistration {
  public:
    explicit FormRegistration(const FormRow& row);
};

// The row of a form whose global reference is global. The reference is set before the form's own
// creation code runs, so that code may already be reached through it.
template <typename Form, Form*& global>
FormRow MakeFormRow(int order, FormRole role) {
    return {order, role,
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

// Owns the forms of the table: creates them in order and destroys them in reverse order,
// clearing the global references. One set lives at a time.
class FormSet {
  public:
    FormSet();
    FormSet(const FormSet&) = delete;
    FormSet& operator=(const FormSet&) = delete;
    ~FormSet();

    // Returns false when the process must end at once (another instance runs); the forms after
    // the one that said so are then not created.
    bool Create(HWND owner);

  private:
    friend Window* MainForm();
    friend void ForEachForm(const std::function<void(Window&, const FormRole&)>& visit);
    struct Created {
        FormRole role;
        std::unique_ptr<Window> form;
        void (*clearGlobal)();
    };
    std::vector<Created> created_;
};

// The first form of the live set, the application's main form; null before it is made and after
// it is gone.
Window* MainForm();

// Visits the forms created so far, in creation order; during start-up the later ones do not exist
// yet and are not visited.
void ForEachForm(const std::function<void(Window&, const FormRole&)>& visit);
