// A whole 1:4 wizard against adapters with realistic timing, once with the
// fixed pauses and once paced by the replies: the time spent waiting after
// commands in each, and, paced by the replies, the time from a reply's last
// byte reaching the port to the next command being written (the guard taken
// off). `bench_pacing [runs]` repeats the reply-paced wizard for the medians.
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"
#include "sim/SimBench.h"
#include "support/RecordingHost.h"
#include "ui/SetupDlg.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Figures {
    double waitedMs = 0;                // every wait after a command, summed
    double wallMs = 0;                  // the seven presses
    std::vector<double> replyToWriteMs; // after waits the reply ended, guard off
    std::string verdict;
};

Figures RunWizard(nw::PacingMode mode, std::uint32_t seed) {
    nw::sim::CSimBench bench;
    bench.SetTiming(nw::sim::SimTiming::Realistic(seed));
    Figures f;
    if (!bench.Start())
        return f;
    nw::test::RecordingHost host(1.0);
    nw::CSetupDlg dlg(host);
    nw::CSerialEnum none("/nonexistent", "/nonexistent");
    dlg.OnInitDialog(none);

    // The last reply byte's arrival, and whether the wait before the next
    // write ended on a reply.
    std::mutex m;
    Clock::time_point lastRx{};
    bool replied = false;
    const std::uint32_t guard = nw::PacingPolicy::kDefaultGuardMs;
    dlg.m_port.SetTraceSink([&](nw::CSerialPort::TraceDir dir, const char*, std::size_t) {
        const auto now = Clock::now();
        std::lock_guard lock(m);
        if (dir == nw::CSerialPort::TraceDir::Rx) {
            lastRx = now;
        } else if (replied) {
            f.replyToWriteMs.push_back(
                std::chrono::duration<double, std::milli>(now - lastRx).count() - guard);
            replied = false;
        }
    });
    host.Type(nw::id::main::kComboPort, bench.Path());
    dlg.OnButtonPortOpen();
    nw::PacingPolicy pacing;
    pacing.mode = mode;
    dlg.m_exchange.SetPacing(pacing);
    dlg.m_exchange.onWait = [&](const nw::CCommandExchange::WaitReport& w) {
        f.waitedMs += w.waitedMs;
        std::lock_guard lock(m);
        replied = w.replied && !w.command.empty();
    };
    dlg.OnRadio1To4();

    const auto t0 = Clock::now();
    for (const char* who : {"master", "master", "slave1", "slave2", "slave3", "slave4", "master"}) {
        bench.Attach(who);
        dlg.OnButtonStart();
    }
    f.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    f.verdict = bench.NetworkVerdict();
    dlg.m_port.Close();
    return f;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const Figures fixed = RunWizard(nw::PacingMode::Fixed, 1);
    std::printf("1:4 wizard, realistic adapters\n");
    std::printf("  fixed pauses   waiting %9.1f ms  wall %9.1f ms  %s\n", fixed.waitedMs,
                fixed.wallMs, fixed.verdict.c_str());
    std::vector<double> waited;
    std::vector<double> gaps;
    for (int i = 0; i < runs; ++i) {
        const Figures reply = RunWizard(nw::PacingMode::Reply, static_cast<std::uint32_t>(i + 1));
        std::printf("  reply pacing   waiting %9.1f ms  wall %9.1f ms  %s\n", reply.waitedMs,
                    reply.wallMs, reply.verdict.c_str());
        waited.push_back(reply.waitedMs);
        gaps.insert(gaps.end(), reply.replyToWriteMs.begin(), reply.replyToWriteMs.end());
    }
    const double median = Percentile(waited, 0.5);
    std::printf("  waiting: median %.1f ms paced by replies, %.1f ms fixed: %.1fx shorter\n",
                median, fixed.waitedMs, median > 0 ? fixed.waitedMs / median : 0.0);
    std::printf("  reply's last byte to next command, guard off: median %.3f ms, p99 %.3f ms "
                "(%zu commands)\n",
                Percentile(gaps, 0.5), Percentile(gaps, 0.99), gaps.size());
    return 0;
}
