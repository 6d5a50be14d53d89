// The Windows tests run in a process set up like the client's: COM and GDI+ started on the
// user-interface thread.

#include <gtest/gtest.h>

#include "ui/win_handles.h"

int main(int argc, char** argv) {
    const OleInitialization ole;
    const GdiplusInitialization gdiplus;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
