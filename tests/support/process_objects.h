#pragma once
// What the process holds of the system's objects, to show that something gives back everything
// it took.
//
// Under Wine GetGuiResources and GetProcessHandleCount answer 0, so the counts come from what
// Wine does keep: the system's table of handles, the GDI handle table that Wine 8 shares into the
// process (24-byte entries, the object type at byte 14, the layout Wine uses for 32-bit processes
// too), and the windows of the thread as the user objects that matter here. On Windows the
// system's own GDI and USER counts are used.

#include <iosfwd>

struct ProcessObjects {
    int handles = 0;
    int gdiObjects = 0;
    int userObjects = 0;
};

ProcessObjects CountProcessObjects();

bool operator==(const ProcessObjects& a, const ProcessObjects& b);
std::ostream& operator<<(std::ostream& out, const ProcessObjects& objects);
