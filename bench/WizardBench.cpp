// A whole 1:4 wizard run on the simulated bench at real pauses: how far the
// wall time is from the sum of the pauses the adapters are given.
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/RecordingHost.h"
#include "ui/SetupDlg.h"

#include <chrono>
#include <cstdio>
#include <numeric>

int main() {
    nw::sim::CSimBench bench;
    if (!bench.Start())
        return 1;
    nw::test::RecordingHost host(1.0);
    nw::CSetupDlg dlg(host);
    nw::CSerialEnum none("/nonexistent", "/nonexistent");
    dlg.OnInitDialog(none);
    host.Type(nw::id::main::kComboPort, bench.Path());
    dlg.OnButtonPortOpen();
    dlg.OnRadio1To4();
    host.ClearRecords();

    const auto t0 = std::chrono::steady_clock::now();
    for (const char* who : {"master", "master", "slave1", "slave2", "slave3", "slave4", "master"}) {
        bench.Attach(who);
        dlg.OnButtonStart();
    }
    const double wall =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    const double paused = std::accumulate(host.Pauses().begin(), host.Pauses().end(), 0.0);
    std::printf("1:4 wizard, real pauses   %s\n", host.Text(nw::id::main::kStaticMessage).c_str());
    std::printf("  sum of pauses           %10.1f ms\n", paused);
    std::printf("  wall time               %10.1f ms\n", wall);
    std::printf("  over the pauses         %10.1f ms (%.3f %%)\n", wall - paused,
                100.0 * (wall - paused) / paused);
    std::printf("  %s\n", bench.NetworkVerdict().c_str());
    return 0;
}
