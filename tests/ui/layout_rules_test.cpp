#include "ui/layout_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(LayoutRules, CaptionsAreCentredWithTheirOwnRounding) {
    // A button gives the odd spare pixel to the space before its caption.
    EXPECT_EQ(CenteredCaption(75, 19, 20, 13).x, 28);
    EXPECT_EQ(CenteredCaption(75, 19, 20, 13).y, 3);
    EXPECT_EQ(CenteredCaption(74, 18, 20, 13).x, 27);
    // A tab halves each extent on its own: 11 / 2 - 4 / 2 = 3, not (11 - 4) / 2 = 3.5.
    EXPECT_EQ(CenteredTabCaption(10, 11, 4), 13);
    EXPECT_EQ(CenteredTabCaption(0, 10, 5), 3);
    EXPECT_EQ(CenteredTabCaption(0, 3, 5), -1);
    EXPECT_TRUE(ButtonShowsActive(true, true, false));
    EXPECT_TRUE(ButtonShowsActive(false, false, true));
    EXPECT_FALSE(ButtonShowsActive(false, true, true));
    EXPECT_FALSE(ButtonShowsActive(false, false, false));
    EXPECT_TRUE(AcceptsMargin(-1));
    EXPECT_FALSE(AcceptsMargin(-2));
}

}  // namespace
