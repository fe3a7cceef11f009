// The pause of the desktop program: never shorter than asked, and user input
// waits until it is over (deferred, not dropped). That it keeps painting is
// checked on the main window.
#include "GuiFixture.h"

#include "app/qt/PaintingPause.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>

namespace nw::test {
namespace {

using Clock = std::chrono::steady_clock;

double ElapsedMs(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

TEST(GuiPause, LastsAtLeastTheRequestedTime) {
    // Lengths a coarse timer would end early (it may fire up to 5 % before
    // its time), and odd fractions of a millisecond.
    for (int round = 0; round < 2; ++round) {
        for (double ms : {1.0, 2.5, 7.0, 21.0, 33.3, 47.0, 61.0, 77.0}) {
            const auto start = Clock::now();
            qt::PauseKeepingPainted(ms);
            const double took = ElapsedMs(start);
            EXPECT_GE(took, ms);
            EXPECT_LT(took, ms + 500.0); // generous: a loaded machine is slow to wake
        }
    }
    const auto start = Clock::now();
    qt::PauseKeepingPainted(0);
    EXPECT_LT(ElapsedMs(start), 50.0);
}

#ifdef NW_HAVE_QPA
TEST(GuiPause, UserInputWaitsUntilThePauseIsOver) {
    QWidget top;
    top.resize(200, 100);
    auto* button = new QPushButton(QStringLiteral("Press"), &top);
    button->setGeometry(10, 10, 100, 30);
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));

    PostClick(button);
    qt::PauseKeepingPainted(30);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks > 0; }, 1000));
    EXPECT_EQ(clicks, 1);
}
#endif

} // namespace
} // namespace nw::test
