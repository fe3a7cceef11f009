#include "sim/SimBench.h"

#include "sim/NetworkVerdict.h"
#include "sim/OutputQueue.h"
#include "sim/PtyLine.h"

#include <array>
#include <cerrno>
#include <condition_variable>
#include <mutex>
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
        if (attached >= 0) {
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
