// What the serial link costs, measured over pseudo-terminals on this machine:
//   reader latency    the device writes a reply, the reply stands in the ring
//   transaction cost  wall time of a command transaction minus its pause
//   idle CPU          an open port on a quiet line, NW_IDLE_SECONDS (10)
//   throughput        the reader with a consumer that drains continuously,
//                     and with one that drains every 10 ms
// Prints one line per figure: name, median, p99 (where it applies), unit.
#include "protocol/CommandExchange.h"
#include "protocol/Dialect.h"
#include "protocol/Script.h"
#include "serial/LineSettings.h"
#include "serial/SerialPort.h"
#include "sim/SimBench.h"
#include "support/PtyPair.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

bool Open(nw::CSerialPort& port, const std::string& path) {
    if (port.Open(path, 921600, nw::stopbits::kOne, nw::parity::kNone))
        return true;
    std::fprintf(stderr, "cannot open %s: %s\n", path.c_str(),
                 port.LastFailure().Describe().c_str());
    return false;
}

void ReaderLatency() {
    nw::test::PtyPair pty;
    nw::CSerialPort port;
    if (!Open(port, pty.Path()))
        return;
    std::vector<double> us;
    char out[64];
    for (int i = 0; i < 2000; ++i) {
        const auto t0 = Clock::now();
        pty.Send("\r\nOK\r\n");
        while (port.Waiting() < 6) {
        }
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        port.Take(out, port.Waiting());
        std::this_thread::sleep_for(200us); // let the reader go back to sleep
    }
    std::printf("reader latency            median %8.1f  p99 %8.1f  us\n", Percentile(us, 0.5),
                Percentile(us, 0.99));
}

void TransactionOverhead() {
    nw::sim::CSimBench bench;
    if (!bench.Start() || !bench.Attach("master"))
        return;
    nw::CSerialPort port;
    if (!Open(port, bench.Path()))
        return;
    nw::CRealPacer pacer;
    nw::CCommandExchange ex(port, pacer);
    constexpr std::uint32_t kPauseMs = 3;
    const nw::script::Step probe[] = {{.command = nw::cmd::kAt, .pauseMs = kPauseMs}};
    std::vector<double> ms;
    for (int i = 0; i < 500; ++i) {
        const auto t0 = Clock::now();
        const std::string reply = nw::script::Run(ex, probe).ReplyOf(0);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count() -
                     kPauseMs);
        if (reply != "\r\nOK\r\n") {
            std::fprintf(stderr, "unexpected reply at %d: %zu bytes\n", i, reply.size());
            return;
        }
    }
    std::printf("transaction overhead      median %8.3f  p99 %8.3f  ms\n", Percentile(ms, 0.5),
                Percentile(ms, 0.99));
}

void IdleCpu() {
    const char* env = std::getenv("NW_IDLE_SECONDS");
    const int seconds = env != nullptr ? std::atoi(env) : 10;
    nw::test::PtyPair pty;
    nw::CSerialPort port;
    if (!Open(port, pty.Path()))
        return;
    const double before = nw::test::ProcessCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    std::printf("idle CPU, open port       %8.3f ms in %d s\n", nw::test::ProcessCpuMs() - before,
                seconds);
}

// Sends `total` bytes at `bytesPerSecond` (0: as fast as the line takes
// them) while a consumer drains the ring every `drainEvery` (0: at once).
void Throughput(const char* name, std::size_t total, double bytesPerSecond,
                std::chrono::microseconds drainEvery) {
    nw::test::PtyPair pty;
    nw::CSerialPort port;
    if (!Open(port, pty.Path()))
        return;
    std::atomic<bool> done{false};
    std::atomic<std::size_t> taken{0};
    std::thread consumer([&] {
        std::vector<char> buf(4096);
        while (!done.load()) {
            const int n = port.Waiting();
            if (n > 0)
                taken += static_cast<std::size_t>(port.Take(buf.data(), n));
            if (drainEvery.count() > 0)
                std::this_thread::sleep_for(drainEvery);
        }
    });
    const std::string block(bytesPerSecond > 0 ? 256 : 4096, 'x');
    const auto t0 = Clock::now();
    std::size_t sent = 0;
    while (sent < total) {
        pty.Send(block);
        sent += block.size();
        if (bytesPerSecond > 0) {
            const auto due = t0 + std::chrono::duration_cast<Clock::duration>(
                                      std::chrono::duration<double>(sent / bytesPerSecond));
            std::this_thread::sleep_until(due);
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    std::this_thread::sleep_for(100ms);
    done = true;
    consumer.join();
    const double mbit = static_cast<double>(sent) * 8 / seconds / 1e6;
    std::printf("%-25s %8.1f Mbit/s sent (%5.1fx 921600 bit/s), %5.1f %% received\n", name, mbit,
                mbit * 1e6 / 921600.0,
                100.0 * static_cast<double>(taken.load()) / static_cast<double>(sent));
}

} // namespace

int main() {
    ReaderLatency();
    TransactionOverhead();
    Throughput("throughput, drain at once", 64u << 20, 0, 0us);
    Throughput("throughput, drain 10 ms", 16u << 20, 100 * 921600.0 / 8, 10000us);
    Throughput("lossless at 10 ms drains", 1u << 20, 4095 * 100 * 0.9, 10000us);
    IdleCpu();
    return 0;
}
