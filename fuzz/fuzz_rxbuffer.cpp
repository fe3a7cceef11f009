// The ring buffer under any sequence of stores and takes, against a plain
// queue as the model.
#include "serial/RxBuffer.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nw::CRxBuffer rb;
    std::deque<char> model;
    std::vector<char> chunk(8192);
    std::vector<char> out(8192);
    std::uint8_t fill = 0;
    for (std::size_t i = 0; i + 2 < size; i += 3) {
        const int length = (data[i + 1] << 8 | data[i + 2]) % 4200;
        if (data[i] & 1) {
            for (int k = 0; k < length; ++k)
                chunk[static_cast<std::size_t>(k)] = static_cast<char>(fill++);
            const int r = rb.Put(chunk.data(), length);
            const bool fits = length > 0 && length <= 4095 - static_cast<int>(model.size());
            if (r != (fits ? length : -1))
                std::abort();
            if (fits)
                model.insert(model.end(), chunk.begin(), chunk.begin() + length);
        } else {
            const int r = rb.Get(out.data(), length);
            const bool enough = length > 0 && length <= static_cast<int>(model.size());
            if (r != (enough ? length : 0))
                std::abort();
            for (int k = 0; k < r; ++k) {
                if (out[static_cast<std::size_t>(k)] != model.front())
                    std::abort();
                model.pop_front();
            }
        }
        if (rb.GetCount() != static_cast<int>(model.size()) ||
            rb.GetFree() != 4095 - rb.GetCount() ||
            (rb.WritePos() - rb.ReadPos() + 4096) % 4096 != rb.GetCount())
            std::abort();
    }
    return 0;
}
