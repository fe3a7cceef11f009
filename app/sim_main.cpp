// nodewright-sim: serves the simulated adapter bench on a pseudo-terminal.
// The first line of standard output is the terminal's path; after it, lines
// from standard input are bench console commands. The end of standard input
// leaves the bench serving (so it can run in the background); "quit",
// SIGINT or SIGTERM stop it.
#include "sim/BenchConsole.h"
#include "sim/SimBench.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef NW_VERSION
#define NW_VERSION "unknown"
#endif

namespace {

int g_signalPipe = -1; // write end; the handler only writes to it

extern "C" void OnSignal(int signal) {
    const int saved = errno;
    const auto b = static_cast<unsigned char>(signal);
    [[maybe_unused]] const auto n = ::write(g_signalPipe, &b, 1);
    errno = saved;
}

// Makes SIGINT and SIGTERM readable on the returned descriptor.
int CatchStopSignals() {
    std::array<int, 2> fds{-1, -1};
    if (::pipe(fds.data()) != 0)
        return -1;
    for (const int fd : fds) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    g_signalPipe = fds[1];
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN); // a closed stdout must not kill the bench
    return fds[0];
}

// The --link symbolic link: made at start, removed at exit if still ours.
class CLinkGuard {
  public:
    CLinkGuard(std::string link, std::string target)
        : m_link(std::move(link)), m_target(std::move(target)) {}
    ~CLinkGuard() {
        if (m_made && Points())
            ::unlink(m_link.c_str());
    }
    CLinkGuard(const CLinkGuard&) = delete;
    CLinkGuard& operator=(const CLinkGuard&) = delete;

    // Replaces an old symbolic link there, but nothing else.
    bool Make(std::string& error) {
        struct stat st {};
        if (::lstat(m_link.c_str(), &st) == 0) {
            if (!S_ISLNK(st.st_mode)) {
                error = m_link + " exists and is not a symbolic link";
                return false;
            }
            ::unlink(m_link.c_str());
        }
        if (::symlink(m_target.c_str(), m_link.c_str()) != 0) {
            error = m_link + ": " + std::strerror(errno);
            return false;
        }
        m_made = true;
        return true;
    }

  private:
    bool Points() const {
        std::array<char, 4096> buf{};
        const ssize_t n = ::readlink(m_link.c_str(), buf.data(), buf.size() - 1);
        return n > 0 && m_target == std::string(buf.data(), static_cast<std::size_t>(n));
    }

    std::string m_link;
    std::string m_target;
    bool m_made = false;
};

// Writes text to standard output, waiting for a slow reader but never past a
// stop signal: output that nobody reads must not keep the bench from
// stopping. Returns false when a stop signal came; the rest of the text is
// dropped then, and whenever standard output fails (a reader that went away).
bool Print(const std::string& text, int signalFd) {
    std::size_t done = 0;
    while (done < text.size()) {
        std::array<pollfd, 2> fds{{{signalFd, POLLIN, 0}, {STDOUT_FILENO, POLLOUT, 0}}};
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
        const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, part);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return true;
    }
    return true;
}

// Serves stdin commands until "quit" or a stop signal. After the end of
// standard input only the signal is waited for.
void Serve(nw::sim::CBenchConsole& console, int signalFd) {
    std::string pending;
    bool inputOpen = true;
    while (!console.Quit()) {
        std::array<pollfd, 2> fds{{{signalFd, POLLIN, 0}, {inputOpen ? 0 : -1, POLLIN, 0}}};
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
        const ssize_t n = ::read(0, buf.data(), buf.size());
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0) {
            inputOpen = false;
            if (!pending.empty() && !Print(console.Execute(pending), signalFd))
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
            if (!Print(console.Execute(line), signalFd))
                return;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Simulated OLMA adapter bench on a pseudo-terminal. Prints the terminal's path, "
                 "then takes bench commands on standard input (\"help\" lists them).",
                 "nodewright-sim"};
    std::string attach = "master";
    std::string link;
    bool trace = false;
    std::vector<std::string> choices = nw::sim::CSimBench::AdapterNames();
    choices.emplace_back("none");
    app.add_option("--attach", attach, "Adapter on the line at start (none: silence)")
        ->check(CLI::IsMember(choices))
        ->capture_default_str();
    app.add_option("--link", link, "Also make a symbolic link at this path to the terminal");
    app.add_flag("--trace", trace, "Print every byte on the line to stderr as it passes");
    app.set_version_flag("--version", "nodewright-sim " NW_VERSION);
    CLI11_PARSE(app, argc, argv);

    const int signalFd = CatchStopSignals();
    if (signalFd < 0) {
        std::perror("nodewright-sim: pipe");
        return 1;
    }

    nw::sim::CSimBench bench;
    if (trace)
        bench.SetTraceSink([](const nw::sim::TranscriptEntry& e) {
            const std::string line = nw::sim::CBenchConsole::FormatEntry(e) + "\n";
            std::fwrite(line.data(), 1, line.size(), stderr);
        });
    if (attach == "none")
        bench.Detach();
    else
        bench.Attach(attach);

    std::string error;
    if (!bench.Start(&error)) {
        std::fprintf(stderr, "nodewright-sim: %s\n", error.c_str());
        return 1;
    }
    CLinkGuard linkGuard(link, bench.Path());
    if (!link.empty() && !linkGuard.Make(error)) {
        std::fprintf(stderr, "nodewright-sim: %s\n", error.c_str());
        return 1;
    }

    nw::sim::CBenchConsole console(bench);
    if (Print(bench.Path() + "\n", signalFd))
        Serve(console, signalFd);
    bench.Stop();
    return 0;
}
