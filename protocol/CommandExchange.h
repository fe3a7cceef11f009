// The command exchange over the port: empty the receive buffer, write a
// command, pause, take everything that arrived as the reply. No framing, no
// end-of-reply detection, no retry; the scripts judge replies by keyword. A
// device that echoes commands has the echo of the command just written
// dropped from the front of the reply before anyone judges it.
//
// A write that fails means the line is gone: from then until the next
// operation begins nothing more is written, no pause is waited and every
// reply is empty, so a sequence falls through to its failure at once and the
// write-failure message shows only once.
//
// Holds the exchange state both windows share (the bytes and text of the
// latest take) and offers the steps the script interpreter is made of.
#pragma once

#include "protocol/Outcome.h"
#include "protocol/Pacer.h"
#include "protocol/Pacing.h"
#include "serial/SerialPort.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace nw {

class CCommandExchange {
  public:
    static constexpr int kRxBufSize = 4096;

    CCommandExchange(CSerialPort& port, IPacer& pacer) : m_port(port), m_pacer(pacer) {}

    // Takes every byte waiting into m_szRxBuf and m_strResponse (discarded
    // before a command is written).
    void Drain() { Take(); }
    // Takes every byte that arrived since the last take: the reply (without
    // the echo of the command last written; empty once the line is gone).
    void Collect();
    // Writes a command as it stands, without reading. False when the line is
    // gone (this write failed, or an earlier one of this operation did).
    bool Write(const char* pszCommand);
    // A fixed pause through the pacer; none once the line is gone.
    void Pause(std::uint32_t ms) {
        if (!m_bLineGone)
            m_pacer.Pause(ms);
    }

    // Waits until the adapter's final result for the command last written
    // has arrived, at most `ms` (through the pacer). Returns the part of `ms`
    // used when it arrived, nothing when the whole pause passed (or the line
    // is gone). The reply stays waiting for the next take.
    std::optional<double> AwaitReply(std::uint32_t ms);

    void SetPacing(PacingPolicy policy) { m_pacing = std::move(policy); }
    const PacingPolicy& Pacing() const { return m_pacing; }

    // One wait after a command, as it went: for a trace of the pacing.
    struct WaitReport {
        std::string command; // as written; empty for a pause alone
        std::uint32_t pauseMs = 0;
        double waitedMs = 0;  // real time
        bool replied = false; // ended by the reply (and its guard)
    };
    std::function<void(const WaitReport&)> onWait;

    // Every operation begins here: the line counts as there again.
    void BeginOperation() {
        m_bLineGone = false;
        m_resultsOff = false;
    }
    // True once a write of the current operation failed.
    bool LineGone() const { return m_bLineGone; }
    // The failure an operation that showed `text` ended in: the line gone,
    // or the adapter's.
    Outcome Failed(std::string text) const {
        return m_bLineGone ? Outcome::Gone(std::move(text)) : Outcome::Failure(std::move(text));
    }

    int m_nRxCount = 0;              // bytes of the latest take (0..4095)
    char m_szRxBuf[kRxBufSize] = {}; // those bytes, NUL at m_nRxCount
    std::string m_strResponse;       // their text, up to the first NUL

  private:
    void Take();

    CSerialPort& m_port;
    IPacer& m_pacer;
    bool m_bLineGone = false;
    std::string m_lastWritten; // what an echo of the reply would start with
    int m_replyFrom = 0;       // bytes waiting before the last write
    bool m_resultsOff = false; // as far as the replies so far tell
    PacingPolicy m_pacing;
};

// `reply` without a leading echo of `command`: the command's text, then as
// much of its line end as the device sent back. A reply that does not start
// with the command comes back as it is.
std::string DropEcho(const std::string& reply, std::string_view command);

} // namespace nw
