#include "ui/form_table.h"

#include "ui/ui_context.h"

FormSet::FormSet() {
    TheUi().liveForms = this;
}

FormSet::~FormSet() {
    // Each window is destroyed while its object is whole, the last first.
    while (!created_.empty()) {
        Created& last = created_.back();
        last.form->Destroy();
        last.clearGlobal();
        created_.pop_back();
    }
    if (TheUi().liveForms == this) {
        TheUi().liveForms = nullptr;
    }
}

Window* MainForm() {
    const FormSet* liveForms = TheUi().liveForms;
    if (!liveForms || liveForms->created_.empty()) {
        return nullptr;
    }
    return liveForms->created_.front().form.get();
}

void ForEachForm(const std::function<void(Window&, const FormRole&)>& visit) {
    const FormSet* liveForms = TheUi().liveForms;
    if (!liveForms) {
        return;
    }
    // A visit may pump messages; the forms are only created or destroyed by their owner, never
    // in between, so indexes stay valid.
    for (size_t i = 0; i < liveForms->created_.size(); ++i) {
        visit(*liveForms->created_[i].form, liveForms->created_[i].role);
    }
}
