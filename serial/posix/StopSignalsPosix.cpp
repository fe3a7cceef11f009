#include "serial/StopSignals.h"

#include "serial/posix/OpenPorts.h"

#include <array>
#include <csignal>

#include <unistd.h>

namespace nw {

namespace {

constexpr std::array<int, 3> kStopSignals{SIGINT, SIGTERM, SIGHUP};

// Only async-signal-safe calls: the ports' own flush, ioctl and close, then
// _exit (no destructors, no stdio, which may be half-way through a call).
extern "C" void OnStopSignal(int signal) {
    posix::ReleaseOpenPorts();
    ::_exit(128 + signal);
}

} // namespace

void ReleasePortsOnStopSignals() {
    struct sigaction sa {};
    sa.sa_handler = OnStopSignal;
    sigemptyset(&sa.sa_mask);
    for (const int s : kStopSignals)
        sigaddset(&sa.sa_mask, s); // one release at a time
    for (const int s : kStopSignals) {
        struct sigaction old {};
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        ::sigaction(s, &sa, nullptr);
    }
}

} // namespace nw
