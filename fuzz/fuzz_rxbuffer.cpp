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
    std::vector<char> bytes(8192);
    char next = 0;
    for (std::size_t i = 0; i + 2 < size; i += 3) {
        const int length = (data[i + 1] << 8 | data[i + 2]) % 4200;
        const int stored = static_cast<int>(model.size());
        if (data[i] & 1) { // a store of the next `length` bytes of a counting sequence
            for (int k = 0; k < length; ++k)
                bytes[static_cast<std::size_t>(k)] = static_cast<char>(next + k);
            const bool fits = length > 0 && stored + length <= 4095;
            if (rb.Put(bytes.data(), length) != (fits ? length : -1))
                std::abort();
            for (int k = 0; fits && k < length; ++k)
                model.push_back(next++);
        } else {
            const bool enough = length > 0 && length <= stored;
            if (rb.Get(bytes.data(), length) != (enough ? length : 0))
                std::abort();
            for (int k = 0; enough && k < length; ++k, model.pop_front())
                if (bytes[static_cast<std::size_t>(k)] != model.front())
                    std::abort();
        }
        if (rb.GetCount() != static_cast<int>(model.size()) || rb.GetFree() != 4095 - rb.GetCount())
            std::abort();
    }
    return 0;
}
