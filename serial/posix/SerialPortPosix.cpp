// POSIX backend of CSerialPort: termios, flock + TIOCEXCL for exclusive use,
// a reader thread that sleeps in poll() on the device and on a wake-up pipe.
#include "serial/SerialPort.h"

#include "serial/LineSettings.h"
#include "serial/posix/OpenPorts.h"
#include "serial/posix/TermiosSettings.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace nw {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr std::size_t kChunk = 256; // bytes per read, as the reader hands them on
// A write's time-out: this, plus per byte 1 ms or the byte's time on the line
// when that is longer (at 9600 bit/s and slower).
constexpr milliseconds kWriteFixed{1000};
constexpr milliseconds kWritePerByte{1};
// Shortest and, while the output queue does not move at all, longest sleep
// between looks at it.
constexpr milliseconds kDrainMinWait{1};
constexpr milliseconds kDrainStallWait{64};

PortError ErrorFromOpen(int err) {
    switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
    case ENOTDIR:
        return PortError::NotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return PortError::PermissionDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return PortError::Busy;
    default:
        return PortError::System;
    }
}

int CloseQuietly(int fd) {
    if (fd >= 0) {
        while (::close(fd) < 0 && errno == EINTR) {
        }
    }
    return -1;
}

// Start bit, 8 data bits, parity bit and stop bits at `baud`.
nanoseconds ByteTime(std::uint32_t baud, std::uint8_t byStopBits, std::uint8_t byParity) {
    const int bits =
        1 + 8 + (byParity != parity::kNone ? 1 : 0) + (byStopBits == stopbits::kTwo ? 2 : 1);
    return nanoseconds(std::int64_t{1'000'000'000} * bits / std::max<std::uint32_t>(baud, 1));
}

// Waits until the driver has sent its output queue or `deadline` passes;
// returns the bytes still queued then (0: all sent, or the driver cannot
// tell). tcdrain would wait without end on an adapter that stopped taking
// bytes, so this sleeps for the time the queued bytes need on the line and
// looks again; while the queue does not move it backs off.
int WaitForOutputSent(int fd, Clock::time_point deadline, nanoseconds byteTime) {
    nanoseconds wait{};
    for (int last = -1;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) < 0 || queued <= 0)
            return 0;
        const Clock::time_point now = Clock::now();
        if (now >= deadline)
            return queued;
        wait = last < 0 || queued < last ? std::max<nanoseconds>(byteTime * queued, kDrainMinWait)
                                         : std::min<nanoseconds>(wait * 2, kDrainStallWait);
        last = queued;
        std::this_thread::sleep_for(std::min<nanoseconds>(wait, deadline - now));
    }
}

} // namespace

struct CSerialPort::Native {
    int fd = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    nanoseconds byteTime{}; // one byte's time on the line, set by Open

    // What Open has set on the terminal so far, for a failed Open to undo.
    bool exclusive = false;
    bool termiosSet = false;
    termios saved{}; // the settings found at open
    int raisedLines = 0;

    // Puts back what a failed Open set: the modem lines, the settings, the
    // exclusive flag (which would otherwise outlive the descriptor). Then closes.
    void UndoOpen() {
        if (fd >= 0 && raisedLines != 0)
            (void)::ioctl(fd, TIOCMBIC, &raisedLines);
        if (fd >= 0 && termiosSet)
            (void)::tcsetattr(fd, TCSANOW, &saved);
        if (fd >= 0 && exclusive)
            (void)::ioctl(fd, TIOCNXCL);
        CloseAll();
    }

    void CloseAll() {
        if (fd >= 0)
            posix::UnregisterOpenPort(fd);
        fd = CloseQuietly(fd);
        wakeRead = CloseQuietly(wakeRead);
        wakeWrite = CloseQuietly(wakeWrite);
        exclusive = termiosSet = false;
        raisedLines = 0;
    }
};

CSerialPort::CSerialPort() : m_native(std::make_unique<Native>()) {}

CSerialPort::~CSerialPort() {
    Close();
}

std::string CSerialPort::SystemText(int osError) {
    return std::strerror(osError);
}

bool CSerialPort::PortsAreNumbered() {
    return false;
}

std::string CSerialPort::PortNameForNumber(int nPort) {
    return "/dev/ttyS" + std::to_string(nPort - 1); // COM1 is ttyS0
}

bool CSerialPort::Open(const std::string& device, std::uint32_t dwBaud, std::uint8_t byStopBits,
                       std::uint8_t byParity) {
    if (IsOpen()) {
        m_failure = PortFailure{PortError::AlreadyOpen, 0, device, {}};
        return false;
    }
    // A reader that ended by itself (device gone) has not been joined yet.
    if (m_pReader.joinable())
        m_pReader.join();
    m_native->CloseAll();
    m_device = device;
    m_failure = PortFailure{};
    m_bDisconnected.store(false, std::memory_order_release);

    Native& n = *m_native;
    auto fail = [&](PortError code, int err, const char* why = nullptr) {
        Fail(code, err);
        if (why != nullptr)
            m_failure.osText = why;
        n.UndoOpen();
        return false;
    };

    n.fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (n.fd < 0) {
        const int err = errno;
        return fail(ErrorFromOpen(err), err);
    }
    struct stat st {};
    if (::fstat(n.fd, &st) < 0)
        return fail(PortError::System, errno);
    if (!S_ISCHR(st.st_mode))
        return fail(PortError::NotSerial, 0);
    termios tio{};
    if (::tcgetattr(n.fd, &tio) < 0) // the test that this is a serial line
        return fail(PortError::NotSerial, errno);
    n.saved = tio;
    // Exclusive: flock keeps out other opens (ours and other programs' that
    // lock), TIOCEXCL keeps out plain opens by unprivileged programs. From
    // here on a stop signal releases the line too.
    if (::flock(n.fd, LOCK_EX | LOCK_NB) < 0) {
        const int err = errno;
        return fail(err == EWOULDBLOCK ? PortError::Busy : PortError::System, err);
    }
    n.exclusive = ::ioctl(n.fd, TIOCEXCL) == 0;
    (void)posix::RegisterOpenPort(n.fd);

    std::string why;
    if (!posix::MakeTermios(tio, dwBaud, byStopBits, byParity, &why))
        return fail(PortError::BadSettings, 0, why.c_str());
    ::tcflush(n.fd, TCIOFLUSH); // discard whatever the device queued before
    n.termiosSet = true;        // even a refused tcsetattr may have taken some
    if (::tcsetattr(n.fd, TCSANOW, &tio) < 0)
        return fail(PortError::BadSettings, errno);
    termios check{};
    speed_t want{};
    posix::BaudToSpeed(dwBaud, want);
    if (::tcgetattr(n.fd, &check) == 0 && cfgetospeed(&check) != want)
        return fail(PortError::BadSettings, 0, "baud rate not supported by this device");
    n.byteTime = ByteTime(dwBaud, byStopBits, byParity);
    // Raise DTR and RTS. A pseudo-terminal has no modem lines and refuses;
    // that is no reason to refuse the line.
    int before = 0;
    const bool known = ::ioctl(n.fd, TIOCMGET, &before) == 0;
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(n.fd, TIOCMBIS, &lines) == 0)
        n.raisedLines = known ? lines & ~before : lines;

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) < 0)
        return fail(PortError::System, errno);
    n.wakeRead = pipeFds[0];
    n.wakeWrite = pipeFds[1];

    m_bOpen.store(true, std::memory_order_release);
    m_bReaderRunning.store(true, std::memory_order_release);
    try {
        m_pReader = std::thread(&CSerialPort::ReaderThreadProc, this);
    } catch (const std::system_error& e) {
        m_bOpen.store(false, std::memory_order_release);
        m_bReaderRunning.store(false, std::memory_order_release);
        return fail(PortError::System, e.code().value());
    }
    return true;
}

void CSerialPort::ReaderThreadProc() {
    const int fd = m_native->fd;
    const int wake = m_native->wakeRead;
    char chunk[kChunk];

    // Reads one chunk: everything the driver holds, up to kChunk bytes. A
    // read ends as soon as the line has nothing more (the driver's own
    // buffering stands in for the Windows read-interval time-out), so a reply
    // reaches the ring buffer within microseconds of its last byte.
    // Returns false when the device has gone.
    auto readChunk = [&](std::size_t& got, bool hangup) -> bool {
        for (;;) {
            const ssize_t r = ::read(fd, chunk + got, kChunk - got);
            if (r > 0) {
                got += static_cast<std::size_t>(r);
                if (got == kChunk)
                    return true;
                hangup = false;
                continue;
            }
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0 && errno == EAGAIN)
                return got > 0 || !hangup; // hung up with nothing left: gone
            return false;                  // EIO, or 0 bytes from a readable line: gone
        }
    };

    while (m_bOpen.load(std::memory_order_acquire)) {
        pollfd p[2] = {{wake, POLLIN, 0}, {fd, POLLIN, 0}};
        const int pr = ::poll(p, 2, -1);
        if (pr < 0) {
            if (errno == EINTR)
                continue;
            m_bDisconnected.store(true, std::memory_order_release);
            break;
        }
        if ((p[0].revents & POLLIN) != 0)
            break; // Close wants us gone
        const short ev = p[1].revents;
        if ((ev & POLLNVAL) != 0) {
            m_bDisconnected.store(true, std::memory_order_release);
            break;
        }
        if ((ev & (POLLIN | POLLHUP | POLLERR)) == 0)
            continue;
        std::size_t got = 0;
        const bool alive = readChunk(got, (ev & (POLLHUP | POLLERR)) != 0);
        if (got > 0) {
            (void)m_rxBuffer.Put(chunk, static_cast<int>(got)); // dropped whole if it does not fit
            if (m_trace) {
                std::lock_guard traceLock(m_csTrace);
                m_trace(TraceDir::Rx, chunk, got);
            }
        }
        if (!alive) {
            // The device went away (unplugged, other end closed). Stop
            // instead of spinning on a line that stays "readable" forever.
            m_bDisconnected.store(true, std::memory_order_release);
            break;
        }
    }
    m_bReaderRunning.store(false, std::memory_order_release);
    m_rxBuffer.Wake(); // a wait for a reply ends: nothing more comes
}

std::uint32_t CSerialPort::Write(const char* pData, std::uint32_t nLength) {
    if (!IsOpen() || pData == nullptr || nLength == 0)
        return 0;
    const char* failure = nullptr;
    const std::uint32_t sent = [&]() -> std::uint32_t {
        std::lock_guard lock(m_csWrite);
        const int fd = m_native->fd;
        const Clock::time_point deadline =
            Clock::now() + kWriteFixed +
            std::max<nanoseconds>(kWritePerByte, m_native->byteTime) * nLength;
        std::uint32_t done = 0;
        bool waited = false;
        while (done < nLength) {
            ssize_t r = 0;
            if (m_trace) {
                // The trace lock keeps the reader from tracing the reply before
                // this thread has traced what provoked it.
                std::lock_guard traceLock(m_csTrace);
                r = ::write(fd, pData + done, nLength - done);
                if (r > 0)
                    m_trace(TraceDir::Tx, pData + done, static_cast<std::size_t>(r));
            } else {
                r = ::write(fd, pData + done, nLength - done);
            }
            if (r > 0) {
                done += static_cast<std::uint32_t>(r);
                continue;
            }
            if (r < 0 && errno == EINTR)
                continue;
            if (r < 0 && errno == EAGAIN) {
                const auto left =
                    std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
                pollfd p{fd, POLLOUT, 0};
                const int pr = left > 0 ? ::poll(&p, 1, static_cast<int>(left)) : 0;
                if (pr < 0 && errno == EINTR)
                    continue;
                waited = true;
                if (pr > 0 && (p.revents & POLLOUT) != 0)
                    continue;
                break; // timed out or the line failed while we waited
            }
            if (!waited && done == 0) {
                failure = "reterror";
                return 0;
            }
            break;
        }
        if (done < nLength) {
            failure = "overlap";
            return done;
        }
        // Complete means transmitted, as a Windows write completes: wait until
        // the driver has sent the bytes, so a Close right after a command (which
        // discards what is still queued) cannot swallow it. An adapter that stops
        // taking bytes fails the write at the deadline; what it never took was not
        // sent, and goes.
        const auto unsent =
            static_cast<std::uint32_t>(WaitForOutputSent(fd, deadline, m_native->byteTime));
        if (unsent > 0) {
            ::tcflush(fd, TCOFLUSH);
            failure = "overlap";
            return done - std::min(unsent, done);
        }
        return done;
    }();
    // The box is modal: it waits for the user with the line unlocked, so a
    // Close meanwhile is not held up.
    if (failure != nullptr)
        ShowMessage(failure);
    return sent;
}

void CSerialPort::Close() {
    if (m_bOpen.exchange(false, std::memory_order_acq_rel)) {
        const char stop = 1;
        (void)!::write(m_native->wakeWrite, &stop, 1);
        // The reader blocks only in poll(), which the wake-up pipe ends, so
        // the join returns promptly.
        if (m_pReader.joinable())
            m_pReader.join();
        ::tcflush(m_native->fd, TCIOFLUSH);
        // Drop the exclusive flag: it belongs to the terminal, not to this
        // descriptor, and would keep later unprivileged opens out.
        (void)::ioctl(m_native->fd, TIOCNXCL);
        std::lock_guard lock(m_csWrite);
        m_native->CloseAll(); // also releases the flock and the stop-signal entry
    } else if (m_pReader.joinable()) {
        m_pReader.join();
        m_native->CloseAll();
    }
}

} // namespace nw
