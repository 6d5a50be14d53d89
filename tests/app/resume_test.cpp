// The computer wakes from sleep: the client runs the cycle's check at once instead of waiting for
// the ticks that did not run during sleep.

#include <windows.h>
#include <gtest/gtest.h>

#include "app/resource_window.h"
#include "settings/settings_record.h"
#include "signin/sign_in.h"
#include "support/wine_test_fixture.h"

namespace {

constexpr const char* kWallpaperPath = "/actions/wallpaperserve.php";

class ResumeTest : public ClientTest {
  protected:
    static void PowerNotice(WPARAM event) {
        EXPECT_EQ(::SendMessageA(frmResources->hwnd(), WM_POWERBROADCAST, event, 0), TRUE);
    }
    static void CycleTick() { ::SendMessageA(frmResources->hwnd(), WM_TIMER, 1, 0); }
};

TEST_F(ResumeTest, AWakeAsksForTheWallpaperOnceAndRestartsTheHour) {
    frmResources->CycleTicks = 5;
    PowerNotice(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(Requests(kWallpaperPath), 1);
    EXPECT_EQ(frmResources->CycleTicks, 1) << "the next hourly check is an hour away";
    EXPECT_TRUE(frmResources->CycleRunning());

    PowerNotice(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(Requests(kWallpaperPath), 1) << "the user's notice of the same wake";

    PowerNotice(PBT_APMSUSPEND);
    PowerNotice(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(Requests(kWallpaperPath), 2) << "the next wake";
    EXPECT_TRUE(SignedIn);
}

TEST_F(ResumeTest, SignedOutAWakeSignsInAgainWhenAutomatic) {
    SignedIn = false;
    recSETTINGS.autologin = true;
    PowerNotice(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(Requests(kWallpaperPath), 0);
    EXPECT_TRUE(SignInBusy) << "the cycle's retry of the automatic sign-in";
    EXPECT_TRUE(PumpUntil([] { return SignedIn; }));
}

// A stopped cycle means a sign-in or the hourly check is under way; a check of its own inside it
// would start the cycle again in the middle of a sign-in.
TEST_F(ResumeTest, WhileTheCycleIsStoppedAWakeIsLeftToTheWorkUnderWay) {
    frmResources->StopCycle();
    PowerNotice(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(Requests(kWallpaperPath), 0);
    EXPECT_FALSE(frmResources->CycleRunning());
}

TEST_F(ResumeTest, AWakeDuringASignInsExchangeWaitsForItsEnd) {
    SignedIn = false;
    recSETTINGS.autologin = true;
    service().SetFault(R"({"kind": "delay", "count": 1, "path": "/actions/wallpaperserve.php"})");
    {
        bool woken = false;
        const EveryTick wakeWhileAsking(50, [&] {
            if (!woken && Requests(kWallpaperPath) == 1) {
                woken = true;
                PowerNotice(PBT_APMRESUMEAUTOMATIC);
            }
        });
        StartSignIn(stTrayMenu);
        ASSERT_TRUE(PumpUntil([] { return SignedIn && !SignInBusy; }));
        ASSERT_TRUE(woken);
    }
    EXPECT_EQ(Requests(kWallpaperPath), 1) << "no second request inside the first";
    EXPECT_TRUE(messages.empty());
    CycleTick();
    EXPECT_EQ(Requests(kWallpaperPath), 2) << "the wake's check runs at the next tick";
}

TEST_F(ResumeTest, OnlyARealTickMakesTheNextNoticeANewWake) {
    PowerNotice(PBT_APMRESUMEAUTOMATIC);
    CycleTick();
    PowerNotice(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(Requests(kWallpaperPath), 2);
}

}  // namespace
