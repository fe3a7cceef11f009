#include "sim/BenchProgram.h"

#include "sim/BenchConsole.h"
#include "sim/ConsoleLoop.h"
#include "sim/SimBench.h"
#include "sim/StationBench.h"
#include "sim/StationConsole.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nw::sim {

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

// Every adapter on a line of its own until "quit" or a stop.
int RunStationBench(const BenchOptions& options, int signalFd) {
    CStationBench station(options.station);
    if (options.trace) {
        for (const std::string& role : station.Roles())
            station.Line(role).SetTraceSink([](const TranscriptEntry& e) {
                const std::string line = CBenchConsole::FormatEntry(e) + "\n";
                std::fwrite(line.data(), 1, line.size(), stderr);
            });
    }
    if (options.timing == "realistic") { // each adapter with a jitter of its own
        SimTiming timing = options.figures;
        timing.realistic = true;
        for (const std::string& role : station.Roles()) {
            timing.seed = options.seed + static_cast<std::uint32_t>(&role - &station.Roles()[0]);
            station.Line(role).SetTiming(timing);
        }
    }
    std::string error;
    if (!station.Start(&error)) {
        std::fprintf(stderr, "nodewright-sim: %s\n", error.c_str());
        return 1;
    }
    CStationConsole console(station);
    if (WriteUnlessStopped(STDOUT_FILENO, station.Paths(), signalFd))
        ServeConsole(console, STDIN_FILENO, STDOUT_FILENO, signalFd);
    station.Stop();
    return 0;
}

} // namespace

std::optional<int> ParseBenchOptions(int argc, char** argv, const std::string& version,
                                     BenchOptions& options) {
    CLI::App app{"Simulated OLMA adapter bench on a pseudo-terminal. Prints the terminal's path, "
                 "then takes bench commands on standard input (\"help\" lists them).",
                 "nodewright-sim"};
    std::vector<std::string> choices = CSimBench::AdapterNames();
    choices.emplace_back("none");
    app.add_option("--attach", options.attach, "Adapter on the line at start (none: silence)")
        ->check(CLI::IsMember(choices))
        ->capture_default_str();
    CLI::Option* link = app.add_option("--link", options.link,
                                       "Also make a symbolic link at this path to the terminal");
    app.add_flag("--trace", options.trace, "Print every byte on the line to stderr as it passes");
    std::vector<int> station;
    CLI::Option* stationOption =
        app.add_option("--station", station,
                       "Every adapter on a line of its own: a master and N slaves (2 to 4, "
                       "default 4); prints \"ROLE PATH\" per adapter first")
            ->expected(0, 1)
            ->check(CLI::Range(CStationBench::kMinSlaves, CStationBench::kMaxSlaves))
            ->excludes(link);
    app.add_option("--timing", options.timing,
                   "instant: replies at once; realistic: reply latency, busy time after a "
                   "setting, restart time, escape guard")
        ->check(CLI::IsMember({"instant", "realistic"}))
        ->capture_default_str();
    app.add_option("--seed", options.seed, "Seed of the realistic timing's jitter")
        ->capture_default_str();
    SimTiming& t = options.figures;
    app.add_option("--reply-ms", t.replyMinMs, "Realistic: shortest reply latency")
        ->capture_default_str();
    app.add_option("--reply-max-ms", t.replyMaxMs, "Realistic: longest reply latency")
        ->capture_default_str();
    app.add_option("--busy-ms", t.busyMinMs, "Realistic: shortest busy time after a setting")
        ->capture_default_str();
    app.add_option("--busy-max-ms", t.busyMaxMs, "Realistic: longest busy time after a setting")
        ->capture_default_str();
    app.add_option("--restart-ms", t.restartMs, "Realistic: time deaf after atz / at&f")
        ->capture_default_str();
    app.add_option("--escape-guard-ms", t.escapeGuardMs,
                   "Realistic: silence wanted before \"+++\" and before its OK")
        ->capture_default_str();
    app.set_version_flag("--version", version);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e);
    }
    // "--station" alone leaves an empty result, read as 0.
    if (stationOption->count() > 0)
        options.station =
            station.empty() || station.front() == 0 ? CStationBench::kMaxSlaves : station.front();
    return std::nullopt;
}

int RunBench(const BenchOptions& options) {
    const int signalFd = CatchStopSignals();
    if (signalFd < 0) {
        std::perror("nodewright-sim: pipe");
        return 1;
    }
    if (options.station > 0)
        return RunStationBench(options, signalFd);

    CSimBench bench;
    if (options.trace)
        bench.SetTraceSink([](const TranscriptEntry& e) {
            const std::string line = CBenchConsole::FormatEntry(e) + "\n";
            std::fwrite(line.data(), 1, line.size(), stderr);
        });
    if (options.timing == "realistic") {
        SimTiming timing = options.figures;
        timing.realistic = true;
        timing.seed = options.seed;
        bench.SetTiming(timing);
    }
    if (options.attach == "none")
        bench.Detach();
    else
        bench.Attach(options.attach);

    std::string error;
    if (!bench.Start(&error)) {
        std::fprintf(stderr, "nodewright-sim: %s\n", error.c_str());
        return 1;
    }
    CLinkGuard linkGuard(options.link, bench.Path());
    if (!options.link.empty() && !linkGuard.Make(error)) {
        std::fprintf(stderr, "nodewright-sim: %s\n", error.c_str());
        return 1;
    }

    CBenchConsole console(bench);
    if (WriteUnlessStopped(STDOUT_FILENO, bench.Path() + "\n", signalFd))
        ServeConsole(console, STDIN_FILENO, STDOUT_FILENO, signalFd);
    bench.Stop();
    return 0;
}

} // namespace nw::sim
