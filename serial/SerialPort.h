// The one connection to an adapter: opens a serial device with the chosen line
// settings, runs a reader thread that moves every received byte into its
// receive ring (taken with Waiting and Take), writes byte strings (blocking until they are handed
// to the device) and closes. It never parses, retries or times a reply; the command exchange above
// it does that by pausing and then taking what arrived.
//
// One implementation file per platform (serial/posix/, serial/win32/).
#pragma once

#include "serial/RxBuffer.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace nw {

// Why the last Open failed. `osError` is the system's error number (errno or
// GetLastError), 0 when the failure is not the system's.
enum class PortError {
    None,
    AlreadyOpen,      // this object is already open
    NotFound,         // no such device
    PermissionDenied, // the user may not open it
    Busy,             // held by another program (or another open of ours)
    NotSerial,        // exists but is not a serial line
    BadSettings,      // the device refused the line settings
    System,           // anything else the system reported
};

struct PortFailure {
    PortError code = PortError::None;
    int osError = 0;
    std::string device;
    std::string osText; // the system's own text for osError

    // One sentence a person can act on, naming the device and the reason.
    std::string Describe() const;
};

class CSerialPort {
  public:
    // Receives the port's own failure texts ("reterror", "overlap"); the front
    // end shows them as a message box. Called on the writing thread once the
    // write ended and its locks are released: a box that stays up holds up
    // neither a Close nor another write.
    using MessageSink = std::function<void(const std::string&)>;

    CSerialPort();
    virtual ~CSerialPort();
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens `device` (a path on POSIX systems, "COMn" on Windows) exclusively
    // with 8 data bits, `dwBaud`, the stop-bit code (0 one, 2 two) and the
    // parity code (0 none, 1 odd, 2 even), no flow control, DTR and RTS
    // raised, and starts the reader. Returns false, with the reason in
    // LastFailure(), when already open or when any step fails; a failed Open
    // leaves the object closed and ready for another Open.
    bool Open(const std::string& device, std::uint32_t dwBaud, std::uint8_t byStopBits,
              std::uint8_t byParity);
    // Opens COM port number `nPort`: the device PortNameForNumber(nPort).
    bool Open(int nPort, std::uint32_t dwBaud, std::uint8_t byStopBits, std::uint8_t byParity);

    // True where the system names its serial ports by number (Windows: COM1,
    // COM2, ...), so a port text "COMn" means port n; false where ports are
    // device paths.
    static bool PortsAreNumbered();
    // The device name of port number `nPort` ("COM12" on Windows; on POSIX
    // systems the conventional device of that COM number, /dev/ttyS<n-1>).
    static std::string PortNameForNumber(int nPort);

    // Writes nLength bytes and blocks until the device has sent them, for at
    // most 1000 ms + per byte 1 ms or the byte's time on the line when that is
    // longer. Returns the count sent: 0 and nothing sent while closed; fewer
    // than nLength when the device stopped taking bytes (what it still held
    // is discarded). A failure shows "reterror" (nothing could be written) or
    // "overlap" (failed while completing) through the sink.
    std::uint32_t Write(const char* pData, std::uint32_t nLength);

    // Stops the reader (wakes it at once and joins it), discards the device's
    // queues and closes the device. Received bytes stay to be taken. Safe to call
    // when closed, and twice.
    void Close();

    bool IsOpen() const { return m_bOpen.load(std::memory_order_acquire); }
    // True once the reader saw the device go away (unplugged, hung up); the
    // port stays open until Close, and nothing more is received.
    bool IsDisconnected() const { return m_bDisconnected.load(std::memory_order_acquire); }
    // True while the reader thread runs.
    bool ReaderRunning() const { return m_bReaderRunning.load(std::memory_order_acquire); }

    const PortFailure& LastFailure() const { return m_failure; }
    const std::string& DeviceName() const { return m_device; }

    void SetMessageSink(MessageSink sink);

    // Sees every byte on the line, in the order it crossed: what Write handed
    // to the device (Tx, on the writing thread) and every chunk the reader read (Rx, on the reader
    // thread, once the chunk went into the ring buffer or was dropped). Set it
    // while the port is closed.
    enum class TraceDir { Tx, Rx };
    using TraceSink = std::function<void(TraceDir, const char*, std::size_t)>;
    void SetTraceSink(TraceSink sink) { m_trace = std::move(sink); }

    // Received bytes not yet taken. The count only grows until the next Take,
    // so a take of that many always succeeds.
    int Waiting() const { return m_rxBuffer.GetCount(); }
    // Takes exactly `count` received bytes, oldest first, into `out` (no NUL
    // added); returns count, or 0 when fewer are waiting.
    int Take(char* out, int count) { return m_rxBuffer.Get(out, count); }
    // Copies up to `count` of the oldest received bytes without taking them.
    int Peek(char* out, int count) const { return m_rxBuffer.Peek(out, count); }
    // Blocks until more than `count` bytes wait, the reader stops or
    // `deadline` passes; woken by the reader as bytes arrive. True when more
    // than `count` wait.
    bool WaitForMore(int count, std::chrono::steady_clock::time_point deadline) const {
        return m_rxBuffer.WaitForMore(count, deadline);
    }

  private:
    // Receives every byte the reader reads.
    CRxBuffer m_rxBuffer;

    struct Native; // platform handles
    void ReaderThreadProc();
    void Fail(PortError code, int osError);
    static std::string SystemText(int osError); // the system's own words, per platform
    void ShowMessage(const char* text);

    std::unique_ptr<Native> m_native;
    std::atomic<bool> m_bOpen{false};
    std::atomic<bool> m_bDisconnected{false};
    std::atomic<bool> m_bReaderRunning{false};
    std::thread m_pReader;
    std::mutex m_csWrite;
    std::mutex m_csTrace; // orders Tx and Rx trace calls
    MessageSink m_sink;
    TraceSink m_trace;
    PortFailure m_failure;
    std::string m_device;
};

} // namespace nw
