#include "sim/ConsoleLoop.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>

#include <poll.h>
#include <unistd.h>

namespace nw::sim {

bool WriteUnlessStopped(int out, const std::string& text, int stopFd) {
    std::size_t done = 0;
    while (done < text.size()) {
        std::array<pollfd, 2> fds{{{stopFd, POLLIN, 0}, {out, POLLOUT, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return true;
        }
        if (fds[0].revents != 0)
            return false;
        if ((fds[1].revents & POLLOUT) == 0)
            return true; // POLLERR, POLLHUP: no one to write to
        // A pipe with room takes PIPE_BUF bytes whole, so this write does not
        // block there; elsewhere a stop signal ends a blocked write.
        const std::size_t part = std::min<std::size_t>(text.size() - done, PIPE_BUF);
        const ssize_t n = ::write(out, text.data() + done, part);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return true;
    }
    return true;
}

void ServeConsole(IConsole& console, int in, int out, int stopFd) {
    std::string pending;
    bool inputOpen = true;
    while (!console.Quit()) {
        std::array<pollfd, 2> fds{{{stopFd, POLLIN, 0}, {inputOpen ? in : -1, POLLIN, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[0].revents != 0)
            return;
        if (fds[1].revents == 0)
            continue;
        std::array<char, 4096> buf{};
        const ssize_t n = ::read(in, buf.data(), buf.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            inputOpen = false;
            if (!pending.empty() && !WriteUnlessStopped(out, console.Execute(pending), stopFd))
                return;
            pending.clear();
            continue;
        }
        pending.append(buf.data(), static_cast<std::size_t>(n));
        for (std::size_t eol; !console.Quit() && (eol = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            if (!WriteUnlessStopped(out, console.Execute(line), stopFd))
                return;
        }
    }
}

} // namespace nw::sim
