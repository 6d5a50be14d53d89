// The running client's side of the single-instance hand-over: "-uninstall" ends it as "Exit" does,
// whichever of its windows the hand-over reaches; other texts change nothing.

#include "app/main_instance.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "app/main_window.h"
#include "app/resource_window.h"
#include "app/window_messages.h"
#include "signin/sign_in.h"
#include "support/program_state.h"
#include "support/wine_test_fixture.h"
#include "ui/message_pump.h"
#include "ui/prompt.h"
#include "ui/win_handles.h"

namespace {

class HandOverTest : public ClientTest {
  protected:
    // Sends the hand-over as a second start does: the text in a global atom that lives as long as
    // the call.
    static void HandOver(HWND target, const std::string& text) {
        const UniqueGlobalAtom atom(::GlobalAddAtomA(text.c_str()));
        ASSERT_TRUE(atom);
        ::SendMessageA(target, kHandOverMessage, atom.get(), 0);
    }
    static bool Ended() { return QuitRequested(); }
};

TEST_F(HandOverTest, UninstallEndsTheClientAsExitDoesWhicheverWindowReceivesIt) {
    const auto targets = {+[] { return TestApplication().hwnd(); }, +[] { return frmMain->hwnd(); },
                          +[] { return frmResources->hwnd(); }};
    for (auto target : targets) {
        StartClient();
        SignedIn = true;
        SignedOutByUser = false;
        HandOver(target(), "-uninstall ");
        EXPECT_TRUE(Ended());
        EXPECT_FALSE(SignedIn);
        EXPECT_TRUE(SignedOutByUser);
    }
}

TEST_F(HandOverTest, OtherTextsChangeNothing) {
    for (const char* text : {"-boot ", "-UNINSTALL ", "uninstall ", "a b "}) {
        HandOver(frmMain->hwnd(), text);
        EXPECT_FALSE(Ended()) << text;
    }
    // No atom at all, and a number that is no string atom.
    ::SendMessageA(TestApplication().hwnd(), kHandOverMessage, 0, 0);
    ::SendMessageA(TestApplication().hwnd(), kHandOverMessage, 5, 0);
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(SignedIn);
}

TEST_F(HandOverTest, AControlGettingTheSameNumberForItsOwnMessageIsNoHandOver) {
    const HWND control = ::GetWindow(frmMain->hwnd(), GW_CHILD);
    ASSERT_NE(control, nullptr);
    HandOver(control, "-uninstall ");
    EXPECT_FALSE(Ended());
    EXPECT_TRUE(SignedIn);
}

constexpr const char* kBoxText = "Waiting for the hand-over";
int boxTicks = 0;

HWND FindTheBox() {
    HWND box = nullptr;
    while ((box = ::FindWindowExA(nullptr, box, "#32770", kApplicationTitle))) {
        if (::FindWindowExA(box, nullptr, "Static", kBoxText)) {
            return box;
        }
    }
    return nullptr;
}

// Hands "-uninstall" to the box; should the box still be up a tick later, closes it so that the
// test fails instead of waiting for a person.
void CALLBACK HandOverToTheBox(HWND, UINT, UINT_PTR, DWORD) {
    const HWND box = FindTheBox();
    if (!box) {
        return;
    }
    if (++boxTicks == 1) {
        const UniqueGlobalAtom atom(::GlobalAddAtomA("-uninstall "));
        ::SendMessageA(box, kHandOverMessage, atom.get(), 0);
    } else {
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
}

// The box a client shows is the system's window, with a procedure that is not the client's.
TEST_F(HandOverTest, UninstallEndsTheClientWhileAMessageBoxIsUp) {
    boxTicks = 0;
    const PromptAnswerScope shownToAPerson({});
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, &HandOverToTheBox);
    ShowMessage(kBoxText);
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(boxTicks, 1) << "the box ended as the client ends";
    EXPECT_TRUE(Ended());
    EXPECT_FALSE(SignedIn);
}

}  // namespace
