// The command transaction: empty the receive buffer, write one command, pause
// a fixed time, take everything that arrived as the reply. No framing, no
// end-of-reply detection, no retry; callers judge the reply by keyword.
//
// Holds the exchange state both windows share (the bytes and text of the
// latest take) and offers the inline steps and the bare send that the
// longer sequences use.
#pragma once

#include "protocol/Pacer.h"
#include "serial/SerialPort.h"

#include <cstdint>
#include <string>

namespace nw {

class CCommandExchange {
public:
    static constexpr int kRxBufSize = 4096;

    CCommandExchange(CSerialPort& port, IPacer& pacer) : m_port(port), m_pacer(&pacer) {}

    // Drain, write, pause dwDelayMs, take; returns the reply text (equal to
    // m_strResponse afterwards). Empty when nothing arrived in time.
    std::string SendCommand(const char* pszCommand, std::uint32_t dwDelayMs);

    // Takes every byte waiting into m_szRxBuf and m_strResponse (discarded
    // before a command is written).
    void Drain() { Take(); }
    // Takes every byte that arrived since the last take: the reply.
    void Collect() { Take(); }
    // Writes a command as it stands, without reading.
    void Write(const char* pszCommand);
    // Writes a command and pauses; the reply stays in the receive buffer
    // until the next drain.
    void BareSend(const char* pszCommand, std::uint32_t dwPauseMs);
    // A fixed pause through the pacer.
    void Pause(std::uint32_t ms) { m_pacer->Pause(ms); }

    void SetPacer(IPacer& pacer) { m_pacer = &pacer; }
    IPacer& Pacer() { return *m_pacer; }
    CSerialPort& Port() { return m_port; }

    int m_nRxCount = 0;             // bytes of the latest take (0..4095)
    char m_szRxBuf[kRxBufSize] = {}; // those bytes, NUL at m_nRxCount
    std::string m_strResponse;      // their text, up to the first NUL

private:
    void Take();

    CSerialPort& m_port;
    IPacer* m_pacer;
};

} // namespace nw
