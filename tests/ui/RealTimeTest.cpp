// A few operations at real speed: the pauses the adapter is given are the
// real ones, and nothing else adds noticeable time.
#include "support/BenchFixture.h"

#include <chrono>

namespace nw::test {
namespace {

using namespace std::chrono_literals;

class RealTime : public BenchTest {
  protected:
    RealTime() : BenchTest(1.0) {}
    template <class F> std::chrono::milliseconds Time(F f) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - t0);
    }
};

TEST_F(RealTime, DetectionOfAnIdleAdapterTakesItsTwoPauses) {
    ASSERT_TRUE(bench.Attach("master"));
    const auto took = Time([&] { EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded); });
    EXPECT_GE(took, 1900ms);
    EXPECT_LT(took, 2150ms);
}

TEST_F(RealTime, ReportTakesWakeUpCollectAndSettle) {
    ASSERT_TRUE(bench.Attach("slave1"));
    const auto took = Time([&] { EXPECT_EQ(dlg.ReadDeviceInfo(1), OutcomeKind::Succeeded); });
    EXPECT_GE(took, 2800ms);
    EXPECT_LT(took, 3050ms);
    EXPECT_EQ(dlg.m_strBdAddr[1], "0001950A0B01");
}

} // namespace
} // namespace nw::test
