// What an open port costs over a pseudo-terminal:
//  - BM_ReplyArrival: from the device writing its last reply byte to the reply
//    standing in the receive buffer (includes the 1 ms quiet interval that
//    ends a chunk);
//  - IdleCpu (printed after the benchmarks): CPU the process uses while the
//    port is open and the line is quiet, over NW_IDLE_SECONDS (default 10).
#include "serial/LineSettings.h"
#include "serial/SerialPort.h"
#include "support/PtyPair.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

void BM_ReplyArrival(benchmark::State& state) {
    nw::test::PtyPair pty;
    nw::CSerialPort port;
    if (!port.Open(pty.Path(), 115200, nw::stopbits::kOne, nw::parity::kNone)) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    const std::string reply = "\r\nOK\r\n";
    char out[64];
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        pty.Send(reply);
        while (port.m_rxBuffer.GetCount() < static_cast<int>(reply.size())) {
        }
        const auto t1 = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
        port.m_rxBuffer.Get(out, port.m_rxBuffer.GetCount());
    }
}
BENCHMARK(BM_ReplyArrival)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(200);

void IdleCpu() {
    const char* env = std::getenv("NW_IDLE_SECONDS");
    const int seconds = env != nullptr ? std::atoi(env) : 10;
    nw::test::PtyPair pty;
    nw::CSerialPort port;
    if (!port.Open(pty.Path(), 9600, nw::stopbits::kOne, nw::parity::kNone))
        return;
    const double before = nw::test::ProcessCpuMs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double used = nw::test::ProcessCpuMs() - before;
    std::printf("IdleCpu: open port, quiet line, %d s: %.3f ms CPU\n", seconds, used);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    IdleCpu();
    return 0;
}
