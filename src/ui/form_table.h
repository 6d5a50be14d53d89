#pragma once
// The live set of the windows that live from the program's start to its end, as the layers below
// the application see them: the application makes them in its own order (app/forms.cpp) and
// enters each here, with what the ways out of a state do with it.

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "ui/window.h"

// What the ways out of a state do with a form.
struct FormRole {
    bool closedBySignOut;  // the windows that need a signed-in user
    bool hiddenByHideAll;  // every window the user can see
};

// Owns the forms entered into it and destroys them in reverse order, clearing their global
// references. The first is the application's main form, whose closing ends the program. One set
// lives at a time.
class FormSet {
  public:
    FormSet();
    FormSet(const FormSet&) = delete;
    FormSet& operator=(const FormSet&) = delete;
    ~FormSet();

    // Makes a form, enters it and sets its global reference, before the form's own creation code
    // runs, so that this code may already be reached through it.
    template <typename Form, Form*& global>
    Form& Add(FormRole role) {
        auto form = std::make_unique<Form>();
        Form& made = *form;
        global = form.get();
        created_.push_back({role, std::move(form), [] { global = nullptr; }});
        return made;
    }

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
