// "winctl menu" and "winctl menu-choose": the items of the popup menu that is open now, and
// choosing one of them as a person at the keyboard would.
#pragma once

#include "arguments.h"

namespace winctl {

int RunMenu(const Arguments& arguments);
int RunMenuChoose(const Arguments& arguments);

}  // namespace winctl
