#include "support/PtyPair.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

namespace nw::test {

PtyPair::PtyPair() {
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        throw std::runtime_error("no pseudo-terminal");
    const char* name = ptsname(m_master);
    if (name == nullptr)
        throw std::runtime_error("no pseudo-terminal name");
    m_path = name;
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0)
        throw std::runtime_error("cannot open the terminal side");
    termios t{};
    tcgetattr(m_slave, &t);
    cfmakeraw(&t);
    tcsetattr(m_slave, TCSANOW, &t);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair() {
    Vanish();
}

void PtyPair::Vanish() {
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

void PtyPair::Send(const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t r = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (r < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("write to pseudo-terminal failed");
        if (r > 0) {
            done += static_cast<std::size_t>(r);
        } else { // the terminal's queue is full: wait until the port reads
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
}

std::string PtyPair::Read(std::size_t n, std::chrono::milliseconds timeout) {
    std::string out;
    char buf[4096];
    WaitUntil(
        [&] {
            const ssize_t r = ::read(m_master, buf, sizeof buf);
            out.append(buf, static_cast<std::size_t>(std::max<ssize_t>(r, 0)));
            return out.size() >= n;
        },
        timeout);
    return out;
}

double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace nw::test
