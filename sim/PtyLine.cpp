#include "sim/PtyLine.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace nw::sim {

namespace {

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool SetFlags(int fd, int statusFlags) {
    const int fl = ::fcntl(fd, F_GETFL);
    const int fdfl = ::fcntl(fd, F_GETFD);
    return fl >= 0 && fdfl >= 0 && ::fcntl(fd, F_SETFL, fl | statusFlags) == 0 &&
           ::fcntl(fd, F_SETFD, fdfl | FD_CLOEXEC) == 0;
}

std::string SysError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

bool CPtyLine::Open(std::string* error) {
    auto fail = [&](const std::string& why, std::initializer_list<int*> fds) {
        for (int* fd : fds)
            CloseFd(*fd);
        if (error != nullptr)
            *error = why;
        return false;
    };

    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0 && errno == EINVAL) {
        // Not every system takes these flags here; set them afterwards.
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && !SetFlags(master, O_NONBLOCK))
            return fail(SysError("fcntl on pseudo-terminal"), {&master});
    }
    if (master < 0)
        return fail(SysError("posix_openpt"), {});
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return fail(SysError("grantpt/unlockpt"), {&master});
    std::string path;
#if defined(__linux__)
    std::array<char, 128> name{};
    if (::ptsname_r(master, name.data(), name.size()) != 0)
        return fail(SysError("ptsname"), {&master});
    path = name.data();
#else
    const char* name = ::ptsname(master);
    if (name == nullptr)
        return fail(SysError("ptsname"), {&master});
    path = name;
#endif
    int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return fail(SysError("open pseudo-terminal"), {&master});
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    std::array<int, 2> wake{-1, -1};
    if (::pipe(wake.data()) != 0)
        return fail(SysError("pipe"), {&master, &slave});
    if (!SetFlags(wake[0], O_NONBLOCK) || !SetFlags(wake[1], O_NONBLOCK))
        return fail(SysError("fcntl on pipe"), {&master, &slave, &wake[0], &wake[1]});

    m_controller = master;
    m_terminal = slave;
    m_wake = wake;
    m_path = path;
    return true;
}

void CPtyLine::Close() {
    CloseFd(m_controller);
    CloseFd(m_terminal);
    CloseFd(m_wake[0]);
    CloseFd(m_wake[1]);
}

void CPtyLine::Wake() const {
    if (m_wake[1] >= 0) {
        const char b = 0;
        [[maybe_unused]] const auto n = ::write(m_wake[1], &b, 1);
    }
}

void CPtyLine::TakeWakeCalls() const {
    std::array<char, 64> drain{};
    while (::read(m_wake[0], drain.data(), drain.size()) > 0) {
    }
}

} // namespace nw::sim
