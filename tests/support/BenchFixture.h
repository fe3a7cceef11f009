// The main window's logic on a recording host, with its real port opened on
// the simulated bench's pseudo-terminal. Pauses run at `scale` of their
// length and then until the line is quiet: everything the port wrote has
// reached the adapter, every reply due by now has been written, and every
// byte written has passed the port's reader. So a busy machine slows the
// tests down but cannot make a reply miss its pause; replies the bench holds
// back on purpose (latency, split) still arrive late.
#pragma once

#include "protocol/Dialect.h"
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/PtyPair.h"
#include "support/QuietLine.h"
#include "support/RecordingHost.h"
#include "ui/SetupDlg.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace nw::test {

inline constexpr double kScale = 0.05; // 400 ms -> 20 ms

// A scaled pause in milliseconds, for faults timed against the pauses.
inline constexpr std::uint32_t Scaled(std::uint32_t ms) {
    return static_cast<std::uint32_t>(ms * kScale);
}

// The main window's logic and a bench (of `timing`, if given); Open() starts
// the bench and opens the window's port on it.
class BenchRig {
  public:
    explicit BenchRig(double scale = kScale, const std::optional<sim::SimTiming>& timing = {})
        : host(scale), dlg(host) {
        if (timing)
            bench.SetTiming(*timing);
    }
    // The port closes (its reader stops counting) before `line` goes.
    virtual ~BenchRig() { dlg.m_port.Close(); }

    void Open() {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        // Template state of the main window's controls.
        for (int id :
             {id::main::kButtonPortClose, id::main::kButtonCheck, id::main::kButtonFactoryReset,
              id::main::kButtonStart, id::main::kButtonRestart, id::main::kButtonManual,
              id::main::kRadioMultiDrop, id::main::kRadioNodeSwitching, id::main::kRadio1To2,
              id::main::kRadio1To3, id::main::kRadio1To4})
            host.initialEnabled[id] = false;
        host.settle = [this] { WaitForQuiet(); };
        CSerialEnum none("/nonexistent-sys", "/nonexistent-dev");
        dlg.OnInitDialog(none);
        host.Type(id::main::kComboPort, bench.Path());
        dlg.OnButtonPortOpen();
        ASSERT_EQ(dlg.m_bPortOpen, 1)
            << (host.BoxDetails().empty() ? "" : host.BoxDetails().back());
        host.ClearRecords();
        bench.ClearTranscript();
    }

    // Waits until nothing is in flight on the line (see the comment above),
    // two seconds at most (a vanished line never gets quiet).
    void WaitForQuiet() {
        line.Wait([] { std::this_thread::sleep_for(std::chrono::microseconds(200)); });
    }
    // Everything the attached adapters received since the last call.
    std::string Sent() {
        WaitForQuiet(); // an operation's last bare send may still be on its way
        std::string s = bench.Received();
        bench.ClearTranscript();
        return s;
    }

    sim::AdapterState State(const std::string& who) {
        WaitForQuiet();
        return bench.StateOf(who);
    }
    void With(const std::string& who, const std::function<void(sim::CSimAdapter&)>& f) {
        ASSERT_TRUE(bench.With(who, f));
    }

    sim::CSimBench bench;
    RecordingHost host;
    CSetupDlg dlg;
    // Counts the port's traffic (through the port's trace sink).
    QuietLine line{bench, dlg.m_port};
};

class BenchTest : public ::testing::Test, public BenchRig {
  protected:
    explicit BenchTest(double scale = kScale) : BenchRig(scale) {}
    void SetUp() override { Open(); }
};

} // namespace nw::test
