#pragma once
// Which entry the keep-this window's list shows when it opens.

// The stored count's own entry; nothing for a count above the last entry (a value changed
// outside the program); the entry chosen last when no count is stored.
int KeepDaysSelection(int keepdayscount, int currentSelection, int entries);
