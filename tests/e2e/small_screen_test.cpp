// On a screen smaller than the window, the window takes the whole screen from its corner.
// Run by small_screen.sh on an 800 x 600 display of its own.
#include <gtest/gtest.h>

#include "support/running_carrier.h"

namespace {

TEST(SmallScreen, WindowIsAsLargeAsTheScreenAtItsCorner) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    RunningCarrier carrier;
    ASSERT_NE(carrier.main, nullptr);
    RECT rect = carrier.Rect();
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 800);
    EXPECT_EQ(rect.bottom, 600);
    // The strip takes the window's outer width; the glyph at 776 is clipped by the client edge.
    RECT strip;
    GetWindowRect(carrier.Control(kTitleBar), &strip);
    EXPECT_EQ(strip.right - strip.left, 800);
    PostMessageA(carrier.Control(kQuitButton), BM_CLICK, 0, 0);
    EXPECT_EQ(carrier.program.WaitForExit(kCarrierTimeoutMs), 0u);
}

} // namespace
