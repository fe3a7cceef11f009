#include "serial/posix/OpenPorts.h"

#include <array>
#include <atomic>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace nw::posix {

namespace {

// A slot holds fd + 1, so the zero-initialised table is empty.
constexpr std::size_t kSlots = 64;
std::array<std::atomic<int>, kSlots> g_ports{};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

} // namespace

bool RegisterOpenPort(int fd) noexcept {
    for (std::atomic<int>& slot : g_ports) {
        int empty = 0;
        if (slot.compare_exchange_strong(empty, fd + 1))
            return true;
    }
    return false;
}

void UnregisterOpenPort(int fd) noexcept {
    for (std::atomic<int>& slot : g_ports) {
        int mine = fd + 1;
        if (slot.compare_exchange_strong(mine, 0))
            return;
    }
}

void ReleaseOpenPorts() noexcept {
    for (std::atomic<int>& slot : g_ports) {
        const int fd = slot.exchange(0) - 1;
        if (fd < 0)
            continue;
        ::tcflush(fd, TCIOFLUSH);
        (void)::ioctl(fd, TIOCNXCL);
        ::close(fd);
    }
}

} // namespace nw::posix
