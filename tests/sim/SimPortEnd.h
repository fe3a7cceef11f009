// The port's end of the bench's pseudo-terminal for tests: a raw descriptor
// opened on the bench's path, with reads that give up after a time-out.
#pragma once

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace nw::sim::test {

class CSimPortEnd {
  public:
    using Ms = std::chrono::milliseconds;

    explicit CSimPortEnd(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY)) {
        termios tio{};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &tio) == 0) {
            ::cfmakeraw(&tio);
            ::tcsetattr(m_fd, TCSANOW, &tio);
        }
    }
    ~CSimPortEnd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    CSimPortEnd(const CSimPortEnd&) = delete;
    CSimPortEnd& operator=(const CSimPortEnd&) = delete;

    int Fd() const { return m_fd; }
    bool Write(const std::string& bytes) const {
        return ::write(m_fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    // Reads until n bytes have come or the time-out has passed.
    std::string Read(std::size_t n, Ms timeout) const {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::string got;
        while (got.size() < n) {
            const auto left =
                std::chrono::duration_cast<Ms>(end - std::chrono::steady_clock::now());
            pollfd p{m_fd, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
                break;
            char buf[65536];
            const ssize_t r = ::read(m_fd, buf, std::min(sizeof buf, n - got.size()));
            if (r <= 0)
                break;
            got.append(buf, static_cast<std::size_t>(r));
        }
        return got;
    }

    // Everything that arrives within the time.
    std::string ReadFor(Ms time) const { return Read(static_cast<std::size_t>(-1), time); }

  private:
    int m_fd;
};

} // namespace nw::sim::test
