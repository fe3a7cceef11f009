// The pause of the desktop program is never shorter than asked. That input
// waits until it is over and that it keeps painting is checked on the main
// window.
#include "app/qt/PaintingPause.h"

#include <gtest/gtest.h>

#include <chrono>

namespace nw::test {
namespace {

double MsTaken(double ms) {
    const auto start = std::chrono::steady_clock::now();
    qt::PauseKeepingPainted(ms);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

TEST(GuiPause, LastsAtLeastTheRequestedTime) {
    // Lengths a coarse timer ends early (up to 5 % before its time), and
    // fractions of a millisecond; a loaded machine is slow to wake.
    for (double ms : {1.0, 2.5, 7.0, 21.0, 33.3, 47.0, 61.0, 77.0, 1.0, 2.5, 7.0, 21.0}) {
        const double took = MsTaken(ms);
        EXPECT_GE(took, ms);
        EXPECT_LT(took, ms + 500.0);
    }
    EXPECT_LT(MsTaken(0), 50.0);
}

} // namespace
} // namespace nw::test
