#include "sim/SimBench.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace nw::sim {

namespace {

using Clock = std::chrono::steady_clock;

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

bool SameAddress(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

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

// One piece of output on its way to the port. A piece goes out no earlier
// than `due` and, when gapMs is set, no earlier than gapMs after the piece
// before it has been written completely.
struct Chunk {
    Clock::time_point due;
    std::uint32_t gapMs = 0;
    std::string adapter;
    std::string bytes;
    std::size_t sent = 0;
};

struct CSimBench::Impl {
    mutable std::mutex lifecycle; // serialises Start and Stop
    mutable std::mutex mutex;     // everything below
    mutable std::condition_variable rxArrived;

    std::vector<CSimAdapter> adapters;
    int attached = -1;

    int masterFd = -1;
    int slaveFd = -1; // held open so the master never sees a hang-up
    std::array<int, 2> wake{-1, -1};
    std::string path;
    std::thread thread;
    bool running = false;
    bool stopping = false;

    Clock::time_point epoch = Clock::now();
    std::vector<TranscriptEntry> transcript;
    std::string received;
    double lastTxMs = -1;
    std::uint64_t rxTotal = 0;
    std::uint64_t txTotal = 0;
    std::deque<Chunk> out;
    std::mt19937 rng{std::random_device{}()};
    std::function<void(const TranscriptEntry&)> sink;
    std::vector<TranscriptEntry> untraced; // recorded, not yet given to the sink

    int Find(const std::string& who) const {
        for (std::size_t i = 0; i < kAdapters.size(); ++i)
            if (who == kAdapters[i].name)
                return static_cast<int>(i);
        return -1;
    }
    std::string AttachedName() const { return attached < 0 ? "" : kAdapters[attached].name; }

    double Ms(Clock::time_point t) const {
        return std::chrono::duration<double, std::milli>(t - epoch).count();
    }

    void Record(Direction dir, const std::string& who, std::string bytes) {
        TranscriptEntry entry{Ms(Clock::now()), dir, who, std::move(bytes)};
        if (sink)
            untraced.push_back(entry);
        transcript.push_back(std::move(entry));
    }

    void Wake() const {
        if (wake[1] >= 0) {
            const char b = 0;
            [[maybe_unused]] const auto n = ::write(wake[1], &b, 1);
        }
    }

    std::string Random(std::size_t n, bool printable) {
        std::uniform_int_distribution<int> dist(printable ? 0x21 : 0x00, printable ? 0x7e : 0xff);
        std::string bytes(n, '\0');
        for (char& c : bytes)
            c = static_cast<char>(dist(rng));
        return bytes;
    }

    // Queues what the adapter answered, with its faults applied.
    void Schedule(CSimAdapter& adapter, const std::string& who, const std::string& reply) {
        if (reply.empty())
            return;
        Faults& f = adapter.Fault();
        const std::string text = Random(f.garbageBytes, true) + reply;
        const Clock::time_point due = Clock::now() + std::chrono::milliseconds(f.latencyMs);
        if (f.splitAt > 0 && f.splitAt < text.size()) {
            out.push_back({due, 0, who, text.substr(0, f.splitAt)});
            out.push_back({due, f.splitPauseMs, who, text.substr(f.splitAt)});
        } else {
            out.push_back({due, 0, who, text});
        }
        if (f.floodBytes > 0) {
            out.push_back({due, 0, who, Random(f.floodBytes, false)});
            f.floodBytes = 0;
        }
    }

    void ReadPort() {
        std::array<char, 4096> buf{};
        const ssize_t n = ::read(masterFd, buf.data(), buf.size());
        if (n <= 0)
            return;
        const std::string bytes(buf.data(), static_cast<std::size_t>(n));
        const std::string who = AttachedName();
        Record(Direction::Rx, who, bytes);
        received += bytes;
        rxTotal += bytes.size();
        rxArrived.notify_all();
        if (attached >= 0) {
            CSimAdapter& adapter = adapters[attached];
            Schedule(adapter, who, adapter.Feed(bytes));
        }
    }

    // Writes what is due as far as the line takes it without blocking.
    void WriteDue() {
        while (!out.empty()) {
            Chunk& c = out.front();
            const Clock::time_point now = Clock::now();
            if (c.due > now)
                return;
            const ssize_t n = ::write(masterFd, c.bytes.data() + c.sent, c.bytes.size() - c.sent);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            if (n <= 0) {
                out.clear(); // the line is gone: nothing more can be delivered
                return;
            }
            Record(Direction::Tx, c.adapter, c.bytes.substr(c.sent, static_cast<std::size_t>(n)));
            lastTxMs = Ms(Clock::now());
            txTotal += static_cast<std::uint64_t>(n);
            c.sent += static_cast<std::size_t>(n);
            if (c.sent < c.bytes.size())
                continue;
            out.pop_front();
            if (!out.empty() && out.front().gapMs > 0)
                out.front().due = std::max(
                    out.front().due, Clock::now() + std::chrono::milliseconds(out.front().gapMs));
        }
    }

    void Serve() {
        std::unique_lock lock(mutex);
        while (!stopping) {
            std::array<pollfd, 2> fds{{{wake[0], POLLIN, 0}, {masterFd, POLLIN, 0}}};
            int timeout = -1;
            if (!out.empty()) {
                const auto wait =
                    std::chrono::ceil<std::chrono::milliseconds>(out.front().due - Clock::now());
                if (wait.count() <= 0)
                    fds[1].events |= POLLOUT;
                else
                    timeout = static_cast<int>(std::min<long long>(wait.count(), 1 << 30));
            }
            lock.unlock();
            const int rc = ::poll(fds.data(), fds.size(), timeout);
            const int err = errno;
            lock.lock();
            if (rc < 0 && err != EINTR) {
                running = false; // the line is no longer served; Stop or Start reaps the thread
                break;
            }
            if (fds[0].revents & POLLIN) {
                std::array<char, 64> drain{};
                while (::read(wake[0], drain.data(), drain.size()) > 0) {
                }
            }
            if (fds[1].revents & POLLIN)
                ReadPort();
            WriteDue();
            if (!untraced.empty()) {
                const auto entries = std::exchange(untraced, {});
                const auto deliver = sink;
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
            Wake();
        }
        thread.join();
        std::lock_guard lock(mutex);
        CloseFd(masterFd);
        CloseFd(slaveFd);
        CloseFd(wake[0]);
        CloseFd(wake[1]);
        out.clear();
        running = false;
    }

    std::string Verdict() const;
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

    std::lock_guard lock(d.mutex);
    d.masterFd = master;
    d.slaveFd = slave;
    d.wake = wake;
    d.path = path;
    d.epoch = Clock::now();
    d.transcript.clear();
    d.received.clear();
    d.lastTxMs = -1;
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
    return m_impl->path;
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
    return m_impl->received;
}

std::vector<TranscriptEntry> CSimBench::Transcript() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->transcript;
}

void CSimBench::ClearTranscript() {
    std::lock_guard lock(m_impl->mutex);
    m_impl->transcript.clear();
    m_impl->received.clear();
}

bool CSimBench::WaitForReceived(std::size_t n, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_impl->mutex);
    return m_impl->rxArrived.wait_for(lock, timeout,
                                      [this, n] { return m_impl->received.size() >= n; });
}

double CSimBench::LastTxMs() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->lastTxMs;
}

std::size_t CSimBench::PendingTx() const {
    std::lock_guard lock(m_impl->mutex);
    std::size_t n = 0;
    for (const Chunk& c : m_impl->out)
        n += c.bytes.size() - c.sent;
    return n;
}

std::uint64_t CSimBench::RxTotal() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->rxTotal;
}

std::uint64_t CSimBench::TxTotal() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->txTotal;
}

bool CSimBench::OutputDue() const {
    std::lock_guard lock(m_impl->mutex);
    return !m_impl->out.empty() && m_impl->out.front().due <= Clock::now();
}

void CSimBench::Inject(const std::string& bytes) {
    std::lock_guard lock(m_impl->mutex);
    Impl& d = *m_impl;
    if (bytes.empty() || !d.running)
        return;
    d.out.push_back({Clock::now(), 0, d.AttachedName(), bytes});
    d.Wake();
}

void CSimBench::SetTraceSink(std::function<void(const TranscriptEntry&)> sink) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->sink = std::move(sink);
    if (!m_impl->sink)
        m_impl->untraced.clear();
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
    os << "line: " << (d.running ? d.path : "(not running)")
       << ", attached: " << (d.attached < 0 ? "none" : d.AttachedName());
    if (!d.out.empty()) {
        std::size_t n = 0;
        for (const Chunk& c : d.out)
            n += c.bytes.size() - c.sent;
        os << ", " << n << " bytes waiting to go out";
    }
    os << "\n";
    for (std::size_t i = 0; i < d.adapters.size(); ++i)
        os << d.Describe(i);
    os << d.Verdict() << "\n";
    return os.str();
}

std::string CSimBench::NetworkVerdict() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->Verdict();
}

std::string CSimBench::Impl::Verdict() const {
    auto fail = [](const std::string& reason) { return "network: not formed: " + reason; };
    const AdapterState& master = adapters[0].State();
    if (master.mode != 1)
        return fail("master is not in mode 1");
    if (master.s53 != 1 && master.s53 != 2)
        return fail("no multiple connection mode set");

    const std::array<std::pair<const char*, const std::string*>, 4> registers{{
        {"s46", &master.s46},
        {"s54", &master.s54},
        {"s55", &master.s55},
        {"s56", &master.s56},
    }};
    std::vector<std::size_t> named;
    for (const auto& [reg, value] : registers) {
        if (*value == kNoAddress)
            continue;
        std::size_t slave = 0;
        for (std::size_t i = 1; i < adapters.size() && slave == 0; ++i)
            if (SameAddress(adapters[i].State().address, *value))
                slave = i;
        if (slave == 0)
            return fail(std::string("master ") + reg + " names " + *value +
                        ", which is no slave on the bench");
        if (std::find(named.begin(), named.end(), slave) != named.end())
            return fail(std::string(kAdapters[slave].name) + " is named twice by the master");
        named.push_back(slave);
    }
    if (named.empty())
        return fail("master names no slave");

    for (const std::size_t i : named) {
        const AdapterState& s = adapters[i].State();
        if (s.mode != 2)
            return fail(std::string(kAdapters[i].name) + " is not in mode 2");
        if (!SameAddress(s.s46, master.address))
            return fail(std::string(kAdapters[i].name) + " does not point at the master");
    }
    // A slave that seeks the master without being expected by it is a
    // misconfiguration too: it would page the master in vain.
    for (std::size_t i = 1; i < adapters.size(); ++i) {
        const AdapterState& s = adapters[i].State();
        if (std::find(named.begin(), named.end(), i) == named.end() && s.mode == 2 &&
            SameAddress(s.s46, master.address))
            return fail(std::string(kAdapters[i].name) +
                        " points at the master but the master does not name it");
    }

    std::string text = "network: OK, master " + master.address +
                       (master.s53 == 1 ? " Multi-Drop" : " Node Switching") + " with ";
    for (std::size_t k = 0; k < named.size(); ++k)
        text += (k > 0 ? ", " : "") + std::string(kAdapters[named[k]].name);
    return text;
}

} // namespace nw::sim
