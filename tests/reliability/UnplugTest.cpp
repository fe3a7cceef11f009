// The line vanishes (the far end closes, as a USB adapter pulled out) in the
// middle of a wizard step. The first write that fails ends the step in its
// failure (shown once, nothing more written), nothing hangs or spins, Port
// Close works, and Port Open on a new line works again.
#include "support/BenchFixture.h"
#include "ui/Messages.h"

#include <algorithm>

namespace nw::test {
namespace {

using namespace id::main;
using namespace std::chrono_literals;

TEST_F(BenchTest, UnpluggedDuringTheWizardSlaveStep) {
    for (const char* who : {"master", "master"}) {
        ASSERT_TRUE(bench.Attach(who));
        dlg.OnButtonStart();
    }
    ASSERT_TRUE(bench.Attach("slave1"));
    host.onPause = [this, pauses = 0](std::uint32_t) mutable {
        if (++pauses == 7) // detection 2, report 3, then two blind writes
            bench.Stop();
    };
    EXPECT_EQ(dlg.OnButtonStart().kind, OutcomeKind::LineGone);
    // The step fails where it stopped, ready to be retried.
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_EQ(host.Text(kButtonStart), msg::kRetry);
    EXPECT_EQ(host.Text(kStaticMessage), msg::kCanNotFoundRetry);
    EXPECT_EQ(std::count(host.Boxes().begin(), host.Boxes().end(), "reterror"), 1);
    host.onPause = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return dlg.m_port.IsDisconnected(); }, 2s));
    EXPECT_FALSE(dlg.m_port.ReaderRunning());
    const double cpu = ProcessCpuMs();
    std::this_thread::sleep_for(200ms);
    EXPECT_LT(ProcessCpuMs() - cpu, 20.0) << "something spins after the unplug";
    const auto t0 = std::chrono::steady_clock::now();
    dlg.OnButtonPortClose();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 500ms);
    EXPECT_EQ(host.Text(kStaticMessage), msg::kPortClose);

    sim::CSimBench fresh;
    ASSERT_TRUE(fresh.Start());
    ASSERT_TRUE(fresh.Attach("master"));
    QuietLine freshLine(fresh, dlg.m_port); // quiet now means quiet on the new line
    host.settle = [&] { freshLine.Wait([] { std::this_thread::sleep_for(1ms); }); };
    host.Type(kComboPort, fresh.Path());
    dlg.OnButtonPortOpen();
    ASSERT_EQ(dlg.m_bPortOpen, 1);
    EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded);
    dlg.OnButtonPortClose();
    host.settle = nullptr;
}

} // namespace
} // namespace nw::test
