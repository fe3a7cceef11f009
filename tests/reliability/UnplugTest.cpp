// The line vanishes (the far end closes, as a USB adapter pulled out) in the
// middle of each kind of operation. The first write that fails ends the
// operation in its failure (the failure shown once, nothing more written),
// nothing hangs or spins, Port Close works, and Port Open on a new line works
// again.
#include "support/BenchFixture.h"
#include "support/ProcessCounts.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

#include <algorithm>

namespace nw::test {
namespace {

using namespace id::main;
using sim::CSimAdapter;
using namespace std::chrono_literals;

class Unplug : public BenchTest {
  protected:
    // Closes the line after the n-th pause (1-based) of what runs next.
    void UnplugAfterPause(int n) {
        pauses = 0;
        host.onPause = [this, n](std::uint32_t) {
            if (++pauses == n)
                bench.Stop();
        };
    }

    // The port is left closable, its reader stopped, and a new line opens.
    void ExpectRecovery() {
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
        // Quiet now means quiet on the new line (the port is closed here).
        QuietLine freshLine(fresh, dlg.m_port);
        host.settle = [&] { freshLine.Wait([] { std::this_thread::sleep_for(1ms); }); };
        host.Type(kComboPort, fresh.Path());
        dlg.OnButtonPortOpen();
        ASSERT_EQ(dlg.m_bPortOpen, 1);
        EXPECT_EQ(dlg.DetectDevice(), OutcomeKind::Succeeded);
        dlg.OnButtonPortClose();
        host.settle = nullptr;
    }

    std::size_t Count(const std::string& box) {
        return static_cast<std::size_t>(std::count(host.Boxes().begin(), host.Boxes().end(), box));
    }

    int pauses = 0;
};

TEST_F(Unplug, DuringDetection) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.SetPending(); });
    UnplugAfterPause(2); // after the status query, before the cancel
    dlg.OnButtonStart();
    EXPECT_EQ(host.Text(kStaticMessage), msg::kCanNotFoundRetry);
    EXPECT_EQ(dlg.m_nStep, 0);
    EXPECT_EQ(Count("reterror"), 1u); // the cancel could not be written
    ExpectRecovery();
}

TEST_F(Unplug, DuringTheInformationReport) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.Fault().latencyMs = 1000; }); // answers too late
    UnplugAfterPause(1);
    dlg.OnButtonCheck();
    EXPECT_EQ(host.Boxes().back(), msg::kNotDetected);
    EXPECT_EQ(Count("reterror"), 1u);
    EXPECT_EQ(dlg.m_strBdAddr[0], "000000000000");
    ExpectRecovery();
}

TEST_F(Unplug, DuringTheManualMasterSetting) {
    ASSERT_TRUE(bench.Attach("master"));
    host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
        for (int k = 0; k < 2; ++k) {
            h.SetCheck(id::manual::kUseChecks[static_cast<std::size_t>(k)], true);
            h.Type(id::manual::kSlaveEdits[static_cast<std::size_t>(k)],
                   "0001950A0B0" + std::to_string(k + 1));
        }
        UnplugAfterPause(4); // detection (2), support query, first register
        m.OnButtonMasterSet();
        EXPECT_EQ(h.Boxes(), std::vector<std::string>{msg::kFactoryResetAndCheck});
    };
    dlg.OnButtonManual();
    EXPECT_EQ(Count("reterror"), 1u);
    EXPECT_EQ(State("master").s46, "0001950A0B01"); // written before the line went
    ExpectRecovery();
}

TEST_F(Unplug, DuringTheWizardSlaveStep) {
    for (const char* who : {"master", "master"}) {
        ASSERT_TRUE(bench.Attach(who));
        dlg.OnButtonStart();
    }
    ASSERT_TRUE(bench.Attach("slave1"));
    UnplugAfterPause(7); // detection 2, report 3, then two blind writes
    EXPECT_EQ(dlg.OnButtonStart().kind, OutcomeKind::LineGone);
    // The step fails where it stopped, ready to be retried.
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_EQ(host.Text(kButtonStart), msg::kRetry);
    EXPECT_EQ(host.Text(kStaticMessage), msg::kCanNotFoundRetry);
    EXPECT_EQ(Count("reterror"), 1u);
    ExpectRecovery();
}

TEST_F(Unplug, DuringTheWizardMasterStep) {
    for (const char* who : {"master", "master", "slave1", "slave2"}) {
        ASSERT_TRUE(bench.Attach(who));
        dlg.OnButtonStart();
    }
    ASSERT_TRUE(bench.Attach("master"));
    UnplugAfterPause(6); // detection 2, report 3, S46
    EXPECT_EQ(dlg.OnButtonStart().kind, OutcomeKind::LineGone);
    EXPECT_EQ(host.Text(kStaticMessage), msg::kCanNotFoundRetry);
    EXPECT_EQ(dlg.m_nStep, 4);
    EXPECT_EQ(Count("reterror"), 1u);
    ExpectRecovery();
}

TEST_F(Unplug, DuringTheFactoryReset) {
    ASSERT_TRUE(bench.Attach("slave2"));
    UnplugAfterPause(1); // after the wake-up
    dlg.OnButtonFactoryReset();
    EXPECT_EQ(host.Text(kStaticMessage), msg::kResetError);
    EXPECT_EQ(Count("reterror"), 1u);
    EXPECT_EQ(State("slave2").factoryResets, 0);
    ExpectRecovery();
}

TEST_F(Unplug, DuringAutoFill) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) { a.State().s46 = "0001950A0B01"; });
    host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
        UnplugAfterPause(2); // wake-up, S46
        m.OnButtonAutoFill();
        EXPECT_EQ(h.Text(id::manual::kEditSlave1), "0001950A0B01");
        EXPECT_EQ(h.Text(id::manual::kEditSlave2), "000000000000");
        EXPECT_TRUE(h.Checked(id::manual::kCheckDisableResponse)); // nothing said "1"
    };
    dlg.OnButtonManual();
    EXPECT_EQ(Count("reterror"), 1u);
    ExpectRecovery();
}

} // namespace
} // namespace nw::test
