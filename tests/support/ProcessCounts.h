// What the test process holds: open descriptors, threads and resident memory.
#pragma once

#include <cstddef>

namespace nw::test {

std::size_t OpenDescriptors();
std::size_t Threads();
std::size_t ResidentKiB();

// Whether resident memory says anything about leaks in this build: under
// AddressSanitizer freed memory is held in quarantine (and leaks are that
// sanitizer's own business).
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kResidentMemoryIsMeaningful = false;
#else
inline constexpr bool kResidentMemoryIsMeaningful = true;
#endif

} // namespace nw::test
