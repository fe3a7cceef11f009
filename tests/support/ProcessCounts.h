// What the test process holds: open descriptors, threads and resident memory.
#pragma once

#include <cstddef>

namespace nw::test {

std::size_t OpenDescriptors();
std::size_t Threads();
std::size_t ResidentKiB();

} // namespace nw::test
