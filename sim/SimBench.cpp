#include "sim/SimBench.h"

#include "sim/NetworkVerdict.h"
#include "sim/OutputQueue.h"
#include "sim/PtyLine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <utility>

#include <poll.h>
#include <unistd.h>

namespace nw::sim {

namespace {

struct BenchAdapter {
    const char* name;
    const char* address;
    const char* friendlyName;
};

constexpr std::array<BenchAdapter, 5> kAdapters{{
    {"master", "0001950A0B00", "OLMA-M"},
    {"slave1", "0001950A0B01", "OLMA-S1"},
    {"slave2", "0001950A0B02", "OLMA-S2"},
    {"slave3", "0001950A0B03", "OLMA-S3"},
    {"slave4", "0001950A0B04", "OLMA-S4"},
}};

} // namespace

struct CSimBench::Impl {
    mutable std::mutex lifecycle; // serialises Start and Stop
    mutable std::mutex mutex;     // everything below
    mutable std::condition_variable rxArrived;

    std::vector<CSimAdapter> adapters;
    int attached = -1;

    CPtyLine line;
    std::thread thread;
    bool running = false;
    bool stopping = false;

    CTranscript transcript;
    COutputQueue out;

    // Realistic timing: per adapter, when it hears the line again.
    using Clock = std::chrono::steady_clock;
    struct Clocks {
        Clock::time_point busyUntil{}; // a command arriving before is lost
        Clock::time_point deafUntil{}; // restarting: every byte is ignored
        Clock::time_point lastRx{};    // the last byte received
        std::string line;              // the command line gathered so far
        bool losing = false;           // the rest of a lost line is lost too
    };
    SimTiming timing;
    std::mt19937 rng{1};
    std::array<Clocks, kAdapters.size()> clocks{};
    std::uint64_t lost = 0;

    Clock::duration Ms(double ms) const {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double, std::milli>(ms * timing.scale));
    }
    Clock::duration Jitter(std::uint32_t lo, std::uint32_t hi) {
        std::uniform_int_distribution<std::uint32_t> d(lo, std::max(lo, hi));
        return Ms(d(rng));
    }

    // One chunk received by the attached adapter, byte by byte against its
    // clocks: lost while busy, ignored while restarting, each answer
    // scheduled after its latency.
    void FeedTimed(int index, const std::string& who, const std::string& bytes) {
        CSimAdapter& adapter = adapters[index];
        Clocks& c = clocks[static_cast<std::size_t>(index)];
        const Clock::time_point now = Clock::now();
        const bool quietBefore = now - c.lastRx >= Ms(timing.escapeGuardMs);
        c.lastRx = now;
        for (const char ch : bytes) {
            if (now < c.deafUntil) {
                adapter.DiscardInput();
                c.line.clear();
                continue;
            }
            const bool data = adapter.State().dataMode;
            if (data) {
                // A "+++" without the silence before it is link data.
                if (ch == '+' && !quietBefore)
                    continue;
                const std::string reply = adapter.Feed(std::string_view(&ch, 1));
                const bool escaped = !adapter.State().dataMode;
                out.ScheduleAt(adapter.Fault(), who, reply,
                               escaped ? now + Ms(timing.escapeGuardMs) +
                                             Jitter(timing.replyMinMs, timing.replyMaxMs)
                                       : now);
                continue;
            }
            if (now < c.busyUntil || c.losing) {
                if (ch == '\n' && !c.losing)
                    continue; // the end of the line that made it busy
                adapter.DiscardInput();
                c.line.clear();
                c.losing = ch != '\r';
                if (ch == '\r')
                    ++lost;
                continue;
            }
            if (ch == '+' && c.line == "++" && !quietBefore) {
                // An escape without the silence before it is no escape.
                adapter.DiscardInput();
                c.line.clear();
                continue;
            }
            const std::string reply = adapter.Feed(std::string_view(&ch, 1));
            if (ch != '\r' && ch != '\n')
                c.line.push_back(ch);
            const bool escape = c.line == "+++";
            if (ch != '\r' && !escape) {
                out.ScheduleAt(adapter.Fault(), who, reply, now); // an echo
                continue;
            }
            std::string command = std::exchange(c.line, {});
            for (char& k : command)
                k = static_cast<char>(std::tolower(static_cast<unsigned char>(k)));
            const Clock::time_point due =
                now + Ms(adapter.Fault().latencyMs) + Jitter(timing.replyMinMs, timing.replyMaxMs);
            out.ScheduleAt(adapter.Fault(), who, reply, due);
            if (command == "atz" || command == "at&f")
                c.deafUntil = due + Ms(timing.restartMs);
            else if ((command.starts_with("ats") && command.find('=') != std::string::npos) ||
                     command.starts_with("at+btmode,"))
                c.busyUntil = due + Jitter(timing.busyMinMs, timing.busyMaxMs);
        }
    }

    int Find(const std::string& who) const {
        for (std::size_t i = 0; i < kAdapters.size(); ++i)
            if (who == kAdapters[i].name)
                return static_cast<int>(i);
        return -1;
    }
    std::string AttachedName() const { return attached < 0 ? "" : kAdapters[attached].name; }

    void ReadPort() {
        std::array<char, 4096> buf{};
        const ssize_t n = ::read(line.Fd(), buf.data(), buf.size());
        if (n <= 0)
            return;
        const std::string bytes(buf.data(), static_cast<std::size_t>(n));
        const std::string who = AttachedName();
        transcript.Rx(who, bytes);
        rxArrived.notify_all();
        if (attached >= 0 && timing.realistic) {
            FeedTimed(attached, who, bytes);
        } else if (attached >= 0) {
            CSimAdapter& adapter = adapters[attached];
            out.Schedule(adapter.Fault(), who, adapter.Feed(bytes));
        }
    }

    void Serve() {
        std::unique_lock lock(mutex);
        while (!stopping) {
            std::array<pollfd, 2> fds{{{line.WakeFd(), POLLIN, 0}, {line.Fd(), POLLIN, 0}}};
            const int wait = out.WaitMs();
            if (wait == 0)
                fds[1].events |= POLLOUT;
            lock.unlock();
            const int rc = ::poll(fds.data(), fds.size(), wait == 0 ? -1 : wait);
            const int err = errno;
            lock.lock();
            if (rc < 0 && err != EINTR) {
                running = false; // the line is no longer served; Stop or Start reaps the thread
                break;
            }
            if (fds[0].revents & POLLIN)
                line.TakeWakeCalls();
            if (fds[1].revents & POLLIN)
                ReadPort();
            out.WriteDue(line.Fd(), [this](const std::string& who, std::string bytes) {
                transcript.Tx(who, std::move(bytes));
            });
            if (std::vector<TranscriptEntry> entries = transcript.TakeUntraced();
                !entries.empty()) {
                const auto deliver = transcript.GetSink();
                lock.unlock();
                for (const TranscriptEntry& e : entries)
                    if (deliver)
                        deliver(e);
                lock.lock();
            }
        }
    }

    // Ends the service thread, also one that ended by itself, and closes the
    // line. The caller holds `lifecycle`, which alone starts the thread.
    void Shutdown() {
        {
            std::lock_guard lock(mutex);
            if (!thread.joinable())
                return;
            stopping = true;
            line.Wake();
        }
        thread.join();
        std::lock_guard lock(mutex);
        line.Close();
        out.Clear();
        running = false;
    }

    std::string Describe(std::size_t index) const;
};

const std::vector<std::string>& CSimBench::AdapterNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const BenchAdapter& a : kAdapters)
            v.emplace_back(a.name);
        return v;
    }();
    return names;
}

CSimBench::CSimBench() : m_impl(std::make_unique<Impl>()) {
    for (const BenchAdapter& a : kAdapters)
        m_impl->adapters.emplace_back(a.address, a.friendlyName);
}

CSimBench::~CSimBench() {
    Stop();
}

bool CSimBench::Start(std::string* error) {
    std::lock_guard life(m_impl->lifecycle);
    Impl& d = *m_impl;
    if (Running())
        return true;
    d.Shutdown(); // a service loop that failed left its thread and line behind
    std::lock_guard lock(d.mutex);
    if (!d.line.Open(error))
        return false;
    d.transcript.Restart();
    d.stopping = false;
    d.running = true;
    d.thread = std::thread([&d] { d.Serve(); });
    return true;
}

void CSimBench::Stop() {
    std::lock_guard life(m_impl->lifecycle);
    m_impl->Shutdown();
}

bool CSimBench::Running() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->running;
}

std::string CSimBench::Path() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->line.Path();
}

bool CSimBench::Attach(const std::string& who) {
    std::lock_guard lock(m_impl->mutex);
    Impl& d = *m_impl;
    const int index = d.Find(who);
    if (index < 0)
        return false;
    if (index != d.attached) {
        if (d.attached >= 0)
            d.adapters[d.attached].DiscardInput();
        d.adapters[index].DiscardInput();
        d.attached = index;
    }
    return true;
}

void CSimBench::Detach() {
    std::lock_guard lock(m_impl->mutex);
    Impl& d = *m_impl;
    if (d.attached >= 0)
        d.adapters[d.attached].DiscardInput();
    d.attached = -1;
}

std::string CSimBench::Attached() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->AttachedName();
}

bool CSimBench::With(const std::string& who, const std::function<void(CSimAdapter&)>& f) {
    std::lock_guard lock(m_impl->mutex);
    const int index = m_impl->Find(who);
    if (index < 0)
        return false;
    f(m_impl->adapters[index]);
    return true;
}

AdapterState CSimBench::StateOf(const std::string& who) const {
    std::lock_guard lock(m_impl->mutex);
    const int index = m_impl->Find(who);
    return index < 0 ? AdapterState{} : m_impl->adapters[index].State();
}

std::string CSimBench::Received() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->transcript.Received();
}

std::vector<TranscriptEntry> CSimBench::Transcript() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->transcript.Entries();
}

void CSimBench::ClearTranscript() {
    std::lock_guard lock(m_impl->mutex);
    m_impl->transcript.Clear();
}

bool CSimBench::WaitForReceived(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_impl->mutex);
    return m_impl->rxArrived.wait_for(
        lock, timeout, [this, n] { return m_impl->transcript.Received().size() >= n; });
}

std::size_t CSimBench::PendingTx() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->out.Pending();
}

std::uint64_t CSimBench::RxTotal() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->transcript.RxTotal();
}

std::uint64_t CSimBench::TxTotal() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->transcript.TxTotal();
}

bool CSimBench::OutputDue() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->out.Due();
}

void CSimBench::Inject(const std::string& bytes) {
    std::lock_guard lock(m_impl->mutex);
    Impl& d = *m_impl;
    if (bytes.empty() || !d.running)
        return;
    d.out.Push(d.AttachedName(), bytes);
    d.line.Wake();
}

void CSimBench::SetTiming(const SimTiming& timing) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->timing = timing;
    m_impl->rng.seed(timing.seed);
    m_impl->clocks = {};
}

SimTiming CSimBench::Timing() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->timing;
}

std::uint64_t CSimBench::LostCommands() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->lost;
}

void CSimBench::SetTraceSink(std::function<void(const TranscriptEntry&)> sink) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->transcript.SetSink(std::move(sink));
}

std::string CSimBench::Impl::Describe(std::size_t index) const {
    const AdapterState& s = adapters[index].State();
    const Faults& f = adapters[index].Fault();
    std::ostringstream os;
    os << (static_cast<int>(index) == attached ? "* " : "  ") << kAdapters[index].name << "  "
       << s.address << "  \"" << s.name << "\"  MODE" << s.mode << " " << LinkStateName(s.link)
       << (s.dataMode ? " (data)" : " (command)") << "\n";
    os << "      s10=" << s.s10 << " s53=" << s.s53 << " s46=" << s.s46 << " s54=" << s.s54
       << " s55=" << s.s55 << " s56=" << s.s56 << "\n";
    os << "      " << (s.hwFlow ? "HWFC" : "NoFC") << " auth=" << s.auth << " encrypt=" << s.encrypt
       << (s.multiSupport ? "" : " no-multi") << " restarts=" << s.restarts
       << " factory-resets=" << s.factoryResets << "\n";
    std::ostringstream faults;
    if (f.silent)
        faults << " silent";
    if (f.echo)
        faults << " echo";
    if (f.latencyMs > 0)
        faults << " latency=" << f.latencyMs << "ms";
    if (f.splitAt > 0)
        faults << " split-at=" << f.splitAt << " split-pause=" << f.splitPauseMs << "ms";
    if (f.garbageBytes > 0)
        faults << " garbage=" << f.garbageBytes;
    if (f.floodBytes > 0)
        faults << " flood=" << f.floodBytes;
    const std::string list = faults.str();
    os << "      faults:" << (list.empty() ? " none" : list) << "\n";
    return os.str();
}

std::string CSimBench::Show() const {
    std::lock_guard lock(m_impl->mutex);
    const Impl& d = *m_impl;
    std::ostringstream os;
    os << "line: " << (d.running ? d.line.Path() : "(not running)")
       << ", attached: " << (d.attached < 0 ? "none" : d.AttachedName());
    if (!d.out.Empty())
        os << ", " << d.out.Pending() << " bytes waiting to go out";
    os << "\n";
    for (std::size_t i = 0; i < d.adapters.size(); ++i)
        os << d.Describe(i);
    os << sim::NetworkVerdict(d.adapters, AdapterNames()) << "\n";
    return os.str();
}

std::string CSimBench::Describe(const std::string& who) const {
    std::lock_guard lock(m_impl->mutex);
    const int index = m_impl->Find(who);
    return index < 0 ? std::string() : m_impl->Describe(static_cast<std::size_t>(index));
}

std::string CSimBench::NetworkVerdict() const {
    std::lock_guard lock(m_impl->mutex);
    return sim::NetworkVerdict(m_impl->adapters, AdapterNames());
}

} // namespace nw::sim
