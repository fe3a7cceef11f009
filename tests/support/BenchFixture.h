// The main window's logic on a recording host, with its real port opened on
// the simulated bench's pseudo-terminal. Pauses run at `scale` of their
// length; the simulator answers within microseconds, so the reader thread and
// the ring buffer still do real work.
#pragma once

#include "protocol/Dialect.h"
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/RecordingHost.h"
#include "ui/SetupDlg.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <string>

namespace nw::test {

inline constexpr double kScale = 0.1; // 400 ms -> 40 ms

// A scaled pause in milliseconds, for faults timed against the pauses.
inline constexpr std::uint32_t Scaled(std::uint32_t ms) {
    return static_cast<std::uint32_t>(ms * kScale);
}

class BenchTest : public ::testing::Test {
protected:
    explicit BenchTest(double scale = kScale) : host(scale), dlg(host) {}

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        // Template state of the main window's controls.
        for (int id : {id::main::kButtonPortClose, id::main::kButtonCheck,
                       id::main::kButtonFactoryReset, id::main::kButtonStart,
                       id::main::kButtonRestart, id::main::kButtonManual,
                       id::main::kRadioMultiDrop, id::main::kRadioNodeSwitching,
                       id::main::kRadio1To2, id::main::kRadio1To3, id::main::kRadio1To4})
            host.initialEnabled[id] = false;
        CSerialEnum none("/nonexistent-sys", "/nonexistent-dev");
        dlg.OnInitDialog(none);
        host.Type(id::main::kComboPort, bench.Path());
        dlg.OnButtonPortOpen();
        ASSERT_EQ(dlg.m_bPortOpen, 1) << (host.BoxDetails().empty() ? "" : host.BoxDetails().back());
        host.ClearRecords();
        bench.ClearTranscript();
    }

    // Waits until the line has been quiet for a moment: a bare send with no
    // pause after it may still be on its way to the adapter.
    void Settle() {
        std::size_t before = bench.Received().size();
        for (;;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
            const std::size_t now = bench.Received().size();
            if (now == before && bench.PendingTx() == 0)
                return;
            before = now;
        }
    }

    // Everything the attached adapters received since the last call.
    std::string Sent() {
        Settle();
        std::string s = bench.Received();
        bench.ClearTranscript();
        return s;
    }

    sim::AdapterState State(const std::string& who) {
        Settle();
        return bench.StateOf(who);
    }
    void With(const std::string& who, const std::function<void(sim::CSimAdapter&)>& f) {
        ASSERT_TRUE(bench.With(who, f));
    }

    sim::CSimBench bench;
    RecordingHost host;
    CSetupDlg dlg;
};

} // namespace nw::test
