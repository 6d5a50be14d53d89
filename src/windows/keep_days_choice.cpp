#include "windows/keep_days_choice.h"

int KeepDaysSelection(int keepdayscount, int currentSelection, int entries) {
    if (keepdayscount <= 0) {
        return currentSelection;
    }
    return keepdayscount <= entries ? keepdayscount - 1 : -1;
}
