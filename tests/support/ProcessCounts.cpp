#include "support/ProcessCounts.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace nw::test {

namespace {
std::size_t Entries(const char* dir) {
    std::size_t n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(dir, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec))
        ++n;
    return n;
}
} // namespace

std::size_t OpenDescriptors() {
    return Entries("/proc/self/fd");
}
std::size_t Threads() {
    return Entries("/proc/self/task");
}

std::size_t ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stoul(line.substr(6));
    }
    return 0;
}

} // namespace nw::test
