// Windows backend of CSerialPort: the port opened exclusively and overlapped
// in the device namespace, the line set through a DCB, a reader thread that
// keeps one 256-byte overlapped read outstanding and sleeps on {stop event,
// read completion}, overlapped writes that block until complete.
#include "serial/SerialPort.h"

#include "serial/win32/Win32Detail.h"

#include <windows.h>

#include <process.h>

#include <array>
#include <cstring>

namespace nw {

namespace win32 {

std::string DevicePath(const std::string& name) {
    if (name.rfind("\\\\.\\", 0) == 0)
        return name;
    return "\\\\.\\" + name;
}

PortError ErrorFromOpen(std::uint32_t error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_UNIT:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED:
        return PortError::NotFound;
    case ERROR_ACCESS_DENIED: // exclusive: another handle holds the port
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return PortError::Busy;
    default:
        return PortError::System;
    }
}

bool DeviceGone(std::uint32_t error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:     // USB serial adapters after an unplug
    case ERROR_OPERATION_ABORTED: // the driver cancels everything on removal
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_INVALID_HANDLE:
    case ERROR_GEN_FAILURE:
    case ERROR_NOT_READY:
    case ERROR_HANDLE_EOF:
    case ERROR_BROKEN_PIPE:
        return true;
    default:
        return false;
    }
}

std::string SystemText(std::uint32_t error) {
    char* buffer = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text = n > 0 && buffer != nullptr ? std::string(buffer, n) : std::string();
    if (buffer != nullptr)
        ::LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    if (text.empty())
        text = "error " + std::to_string(error);
    return text;
}

} // namespace win32

namespace {

constexpr DWORD kChunk = 256;    // bytes per read
constexpr DWORD kInQueue = 2048; // driver queues (SetupComm)
constexpr DWORD kOutQueue = 1024;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kJoinMs = 10000; // how long Close waits for the reader
// Reads that fail, or complete empty, without ever waiting: a line in that
// state is gone, whatever the error says. Without this bound the reader
// would call ReadFile again and again at full speed on a dead device.
constexpr int kMaxFruitlessReads = 16;

// 8 data bits, the given rate, parity and stop bits; binary, RTS raised by
// the driver, DTR under manual control (raised by Open), no flow control of
// any kind: of the flag bits only fBinary (bit 0) and fRtsControl =
// RTS_CONTROL_ENABLE (bits 12-13 = 01) are set, 0x1001 as one word.
DCB MakeDcb(DWORD baud, BYTE stopBits, BYTE parity) {
    DCB dcb;
    std::memset(&dcb, 0, sizeof dcb);
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = baud;
    dcb.fBinary = TRUE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.ByteSize = 8;
    dcb.Parity = parity;
    dcb.StopBits = stopBits;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.EvtChar = 0; // the event mask has no EV_RXFLAG
    return dcb;
}

// A read that has its first byte completes once the line is quiet for more
// than 1 ms (or 256 bytes came); before that it waits without limit. A write
// may take 1 ms per byte + 1000 ms.
COMMTIMEOUTS MakeTimeouts() {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = 1;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 0;
    t.WriteTotalTimeoutMultiplier = 1;
    t.WriteTotalTimeoutConstant = 1000;
    return t;
}

void ClearDeviceError(HANDLE h) {
    DWORD errors = 0;
    (void)::ClearCommError(h, &errors, nullptr);
}

void CloseEvent(HANDLE& h) {
    if (h != nullptr) {
        ::CloseHandle(h);
        h = nullptr;
    }
}

} // namespace

struct CSerialPort::Native {
    HANDLE hComm = INVALID_HANDLE_VALUE;
    HANDLE hStop = nullptr;   // manual-reset; Close signals it
    HANDLE hThread = nullptr; // the reader
    // The reader's read: its event is the read-completion event. The
    // OVERLAPPED and the chunk live here, not on the reader's stack, because
    // a read the reader leaves pending when it stops may still complete
    // until Close has cancelled it and seen it end.
    OVERLAPPED ovRead{};
    std::array<char, kChunk> chunk{};
    std::atomic<bool> readPending{false};

    // What the reader waits on, in this order: [0] stop, [1] read completion.
    std::array<HANDLE, 2> WaitHandles() const { return {hStop, ovRead.hEvent}; }

    static unsigned __stdcall ReaderEntry(void* self) {
        static_cast<CSerialPort*>(self)->ReaderThreadProc();
        return 0;
    }

    // Cancels a read the reader left outstanding and waits until the system
    // is done with ovRead and the chunk.
    void FinishPendingRead() {
        if (!readPending.load(std::memory_order_acquire))
            return;
        (void)::CancelIoEx(hComm, &ovRead);
        DWORD got = 0;
        if (::WaitForSingleObject(ovRead.hEvent, kJoinMs) == WAIT_OBJECT_0)
            (void)::GetOverlappedResult(hComm, &ovRead, &got, FALSE);
        readPending.store(false, std::memory_order_release);
    }

    void CloseComm() {
        if (hComm != INVALID_HANDLE_VALUE) {
            ::CloseHandle(hComm);
            hComm = INVALID_HANDLE_VALUE;
        }
    }
};

CSerialPort::CSerialPort() : m_native(std::make_unique<Native>()) {}

CSerialPort::~CSerialPort() {
    Close();
}

std::string CSerialPort::SystemText(int osError) {
    return win32::SystemText(static_cast<std::uint32_t>(osError));
}

bool CSerialPort::PortsAreNumbered() {
    return true;
}

std::string CSerialPort::PortNameForNumber(int nPort) {
    return "COM" + std::to_string(nPort);
}

bool CSerialPort::Open(const std::string& device, std::uint32_t dwBaud, std::uint8_t byStopBits,
                       std::uint8_t byParity) {
    if (IsOpen()) {
        m_failure = PortFailure{PortError::AlreadyOpen, 0, device, {}};
        return false;
    }
    Native& n = *m_native;
    m_device = device;
    m_failure = PortFailure{};
    m_bDisconnected.store(false, std::memory_order_release);

    auto fail = [&](PortError code, DWORD err) {
        Fail(code, static_cast<int>(err));
        n.CloseComm(); // only the device: a later Open reuses the events; Close frees them
        return false;
    };

    if (n.hStop != nullptr)
        ::ResetEvent(n.hStop);
    n.ovRead.Internal = 0;
    n.ovRead.InternalHigh = 0;
    n.ovRead.Offset = 0;
    n.ovRead.OffsetHigh = 0;
    if (n.ovRead.hEvent == nullptr) {
        n.ovRead.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (n.ovRead.hEvent == nullptr)
            return fail(PortError::System, ::GetLastError());
    }
    if (n.hStop == nullptr) {
        n.hStop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (n.hStop == nullptr)
            return fail(PortError::System, ::GetLastError());
    }

    const std::string path = win32::DevicePath(device);
    n.hComm = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (n.hComm == INVALID_HANDLE_VALUE) {
        const DWORD err = ::GetLastError();
        return fail(win32::ErrorFromOpen(err), err);
    }
    // The test that this is a serial port; the values are not used.
    COMMTIMEOUTS current{};
    if (!::GetCommTimeouts(n.hComm, &current))
        return fail(PortError::NotSerial, ::GetLastError());

    DCB dcb = MakeDcb(dwBaud, byStopBits, byParity);
    COMMTIMEOUTS timeouts = MakeTimeouts();
    if (!::PurgeComm(n.hComm, kPurgeAll))
        return fail(PortError::System, ::GetLastError());
    if (!::SetCommState(n.hComm, &dcb))
        return fail(PortError::BadSettings, ::GetLastError());
    if (!::SetCommTimeouts(n.hComm, &timeouts))
        return fail(PortError::System, ::GetLastError());
    if (!::SetCommMask(n.hComm, EV_RXCHAR))
        return fail(PortError::System, ::GetLastError());
    (void)::SetupComm(n.hComm, kInQueue, kOutQueue); // a driver may keep its own sizes
    // Raise DTR. A line without modem lines (a virtual port, a
    // pseudo-terminal under Wine) refuses; that is no reason to refuse the
    // line.
    (void)::EscapeCommFunction(n.hComm, SETDTR);

    n.readPending.store(false, std::memory_order_release);
    const std::uintptr_t thread =
        ::_beginthreadex(nullptr, 0, &Native::ReaderEntry, this, CREATE_SUSPENDED, nullptr);
    if (thread == 0)
        return fail(PortError::System, ::GetLastError());
    n.hThread = reinterpret_cast<HANDLE>(thread);
    // Open before the reader first runs, so its loop test passes.
    m_bOpen.store(true, std::memory_order_release);
    m_bReaderRunning.store(true, std::memory_order_release);
    ::ResumeThread(n.hThread);
    return true;
}

// The reader. A read that fails at once is not simply retried: on a device
// that has gone (a USB adapter pulled out) ReadFile fails at once forever,
// and retrying without a pause would spin a core until Close. Such a line is
// marked disconnected and the reader ends, as on POSIX systems; the port
// stays open until Close, and the next exchange finds no adapter.
void CSerialPort::ReaderThreadProc() {
    Native& n = *m_native;
    const HANDLE h = n.hComm;
    const std::array<HANDLE, 2> waits = n.WaitHandles();
    ClearDeviceError(h);
    int fruitless = 0; // reads in a row that gave nothing without waiting

    auto gone = [&] { m_bDisconnected.store(true, std::memory_order_release); };

    while (m_bOpen.load(std::memory_order_acquire)) {
        DWORD got = 0;
        if (!::ReadFile(h, n.chunk.data(), kChunk, &got, &n.ovRead)) {
            const DWORD err = ::GetLastError();
            if (err != ERROR_IO_PENDING) {
                // Failed at once. A device that is gone fails the same way
                // forever: stop instead of asking again at full speed.
                if (win32::DeviceGone(err) || ++fruitless >= kMaxFruitlessReads) {
                    gone();
                    break;
                }
                ClearDeviceError(h);
                continue;
            }
            n.readPending.store(true, std::memory_order_release);
            const DWORD w = ::WaitForMultipleObjects(2, waits.data(), FALSE, INFINITE);
            if (w == WAIT_OBJECT_0)
                break; // Close: it cancels the read still pending
            if (w != WAIT_OBJECT_0 + 1) {
                gone(); // the handles themselves failed
                break;
            }
            const BOOL ok = ::GetOverlappedResult(h, &n.ovRead, &got, TRUE);
            n.readPending.store(false, std::memory_order_release);
            if (!ok) {
                const DWORD rerr = ::GetLastError();
                if (win32::DeviceGone(rerr)) {
                    gone();
                    break;
                }
                ClearDeviceError(h);
                got = 0;
            }
        }
        if (got == 0) {
            // A read that waits for its first byte never ends empty on a
            // working line; one that does, again and again, is a dead line.
            if (++fruitless >= kMaxFruitlessReads) {
                gone();
                break;
            }
            continue;
        }
        fruitless = 0;
        (void)m_rxBuffer.Put(n.chunk.data(),
                             static_cast<int>(got)); // dropped whole if it does not fit
        if (m_trace) {
            // Waits for a write still being traced: its reply comes after it.
            std::lock_guard traceLock(m_csTrace);
            m_trace(TraceDir::Rx, n.chunk.data(), got);
        }
    }
    m_bReaderRunning.store(false, std::memory_order_release);
}

std::uint32_t CSerialPort::Write(const char* pData, std::uint32_t nLength) {
    if (!IsOpen() || pData == nullptr || nLength == 0)
        return 0;
    OVERLAPPED ov{};
    ov.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (ov.hEvent == nullptr)
        return 0;
    DWORD done = 0;
    const char* failure = nullptr; // shown once the locks are released
    MessageSink sink;
    {
        std::lock_guard lock(m_csWrite);
        const HANDLE h = m_native->hComm;
        if (!IsOpen()) { // closed while we waited for the lock
            ::CloseHandle(ov.hEvent);
            return 0;
        }
        // Held from the write to its trace, so the reader cannot trace a
        // reply before this thread has traced what provoked it.
        std::unique_lock<std::mutex> traceLock(m_csTrace, std::defer_lock);
        if (m_trace)
            traceLock.lock();
        if (::WriteFile(h, pData, nLength, &done, &ov)) {
            // completed at once
        } else if (::GetLastError() == ERROR_IO_PENDING) {
            if (!::GetOverlappedResult(h, &ov, &done, TRUE)) {
                ClearDeviceError(h);
                failure = "overlap";
            }
        } else {
            done = 0;
            ClearDeviceError(h);
            failure = "reterror";
        }
        if (done > 0 && m_trace)
            m_trace(TraceDir::Tx, pData, done);
        if (failure != nullptr)
            sink = m_sink;
    }
    ::CloseHandle(ov.hEvent);
    // The message may be a modal box that stays up until the user answers:
    // a Close or another write meanwhile must not wait for it.
    if (failure != nullptr && sink)
        sink(failure);
    return done;
}

void CSerialPort::Close() {
    Native& n = *m_native;
    if (m_bOpen.exchange(false, std::memory_order_acq_rel)) {
        ::SetEvent(n.hStop);
        // CancelIo would only cancel this thread's own requests; the read
        // belongs to the reader, so cancel every request on the handle.
        (void)::CancelIoEx(n.hComm, nullptr);
        if (n.hThread != nullptr) {
            if (::WaitForSingleObject(n.hThread, kJoinMs) != WAIT_OBJECT_0) {
                // A reader stuck for 10 s is beyond saving.
                ::TerminateThread(n.hThread, 0xFFFFFFFF);
            }
            ::CloseHandle(n.hThread);
            n.hThread = nullptr;
        }
        m_bReaderRunning.store(false, std::memory_order_release);
        n.FinishPendingRead();
        (void)::SetCommMask(n.hComm, 0);
        (void)::PurgeComm(n.hComm, kPurgeAll);
        std::lock_guard lock(m_csWrite);
        n.CloseComm();
    }
    CloseEvent(n.ovRead.hEvent);
    CloseEvent(n.hStop);
}

} // namespace nw
