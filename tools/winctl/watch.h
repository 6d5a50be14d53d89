// "winctl watch": report messages of one number that reach the thread of a chosen window.
#pragma once

#include "arguments.h"

namespace winctl {

int RunWatch(const Arguments& arguments);

}  // namespace winctl
