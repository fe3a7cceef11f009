// The line vanishes (the far end closes, as a USB adapter pulled out) in the
// middle of each kind of operation. The first write that fails ends the
// operation in its failure (the failure shown once, nothing more written),
// nothing hangs or spins, Port Close works, and Port Open on a new line works
// again.
#include "support/BenchFixture.h"
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
    // Presses Start with each of `who` attached in turn, then attaches `next`.
    void WizardSteps(std::initializer_list<const char*> who, const char* next) {
        for (const char* w : who) {
            ASSERT_TRUE(bench.Attach(w));
            dlg.OnButtonStart();
        }
        ASSERT_TRUE(bench.Attach(next));
    }
    // Closes the line after the n-th pause (1-based) of what runs next.
    void UnplugAfterPause(int n) {
        host.onPause = [this, n, pauses = 0](std::uint32_t) mutable {
            if (++pauses == n)
                bench.Stop();
        };
    }

    // The failure was shown once, the port is left closable, its reader
    // stopped, and a new line opens.
    void TearDown() override {
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
};

TEST_F(Unplug, DuringDetection) {
    WizardSteps({}, "master");
    With("master", [](CSimAdapter& a) { a.SetPending(); });
    UnplugAfterPause(2); // after the status query: the cancel cannot be written
    dlg.OnButtonStart();
    EXPECT_EQ(host.Text(kStaticMessage), msg::kCanNotFoundRetry);
    EXPECT_EQ(dlg.m_nStep, 0);
}

TEST_F(Unplug, DuringTheManualMasterSetting) {
    WizardSteps({}, "master");
    host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
        for (std::size_t k = 0; k < 2; ++k) {
            h.SetCheck(id::manual::kUseChecks[k], true);
            h.Type(id::manual::kSlaveEdits[k], "0001950A0B0" + std::to_string(k + 1));
        }
        UnplugAfterPause(4); // detection (2), support query, first register
        m.OnButtonMasterSet();
        EXPECT_EQ(h.Boxes(), std::vector<std::string>{msg::kFactoryResetAndCheck});
    };
    dlg.OnButtonManual();
    EXPECT_EQ(State("master").s46, "0001950A0B01"); // written before the line went
}

TEST_F(Unplug, DuringTheWizardSlaveStep) {
    WizardSteps({"master", "master"}, "slave1");
    UnplugAfterPause(7); // detection 2, report 3, then two blind writes
    EXPECT_EQ(dlg.OnButtonStart().kind, OutcomeKind::LineGone);
    // The step fails where it stopped, ready to be retried.
    EXPECT_EQ(dlg.m_nStep, 2);
    EXPECT_EQ(host.Text(kButtonStart), msg::kRetry);
    EXPECT_EQ(host.Text(kStaticMessage), msg::kCanNotFoundRetry);
}

} // namespace
} // namespace nw::test
