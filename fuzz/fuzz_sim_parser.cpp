// The simulated adapter's command parser on any bytes, fed in pieces as a
// line delivers them: never crashes, keeps its registers well formed, and
// answers in bounded size.
#include "sim/SimAdapter.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nw::sim::CSimAdapter adapter("0001950A0B00", "OLMA-M");
    if (size > 0 && (data[0] & 1))
        adapter.SetLinked();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (std::size_t at = 0, piece = 1; at < bytes.size(); at += piece, piece = piece % 7 + 1)
        if (adapter.Feed(bytes.substr(at, piece)).size() > 512 + piece * 64)
            std::abort();
    const auto& s = adapter.State();
    for (const std::string* reg : {&s.s46, &s.s54, &s.s55, &s.s56})
        if (reg->size() != 12)
            std::abort();
    if (s.s10 < 0 || s.s10 > 1 || s.s53 < 0 || s.s53 > 2 || s.mode < 0 || s.mode > 3)
        std::abort();
    return 0;
}
