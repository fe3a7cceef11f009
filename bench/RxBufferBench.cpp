// Throughput of the receive ring buffer: reader-sized stores and exchange-sized
// takes, including the wrap at the end of the storage.
#include "serial/RxBuffer.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_PutGetChunks(benchmark::State& state) {
    nw::CRxBuffer rb;
    const int chunk = static_cast<int>(state.range(0));
    std::vector<char> in(static_cast<size_t>(chunk), 'x');
    std::vector<char> out(4096);
    for (auto _ : state) {
        benchmark::DoNotOptimize(rb.Put(in.data(), chunk));
        const int n = rb.GetCount();
        benchmark::DoNotOptimize(rb.Get(out.data(), n));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * chunk);
}
BENCHMARK(BM_PutGetChunks)->Arg(6)->Arg(64)->Arg(256);

void BM_FillAndDrain(benchmark::State& state) {
    nw::CRxBuffer rb;
    std::vector<char> in(256, 'y');
    std::vector<char> out(4096);
    for (auto _ : state) {
        while (rb.Put(in.data(), 256) == 256) {
        }
        benchmark::DoNotOptimize(rb.Get(out.data(), rb.GetCount()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 3840);
}
BENCHMARK(BM_FillAndDrain);

} // namespace
