#include "ui/form_table.h"

#include <algorithm>

namespace {

// Filled while the program loads, before main: a function's static is made on first use, whatever
// the order in which the files' statics are.
std::vector<FormRow>& Rows() {
    static std::vector<FormRow> rows;
    return rows;
}

FormSet* liveForms = nullptr;

}  // namespace

FormRegistration::FormRegistration(const FormRow& row) {
    std::vector<FormRow>& rows = Rows();
    rows.insert(
        std::upper_bound(rows.begin(), rows.end(), row,
                         [](const FormRow& a, const FormRow& b) { return a.order < b.order; }),
        row);
}

FormSet::FormSet() {
    liveForms = this;
}

FormSet::~FormSet() {
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

bool FormSet::Create(HWND owner) {
    for (const FormRow& row : Rows()) {
        created_.push_back({row.role, nullptr, row.clearGlobal});
        if (!row.create(owner, created_.back().form)) {
            return false;
        }
    }
    return true;
}

Window* MainForm() {
    if (!liveForms || liveForms->created_.empty()) {
        return nullptr;
    }
    return liveForms->created_.front().form.get();
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
