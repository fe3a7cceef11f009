// The parts of CSerialPort every platform shares.
#include "serial/SerialPort.h"

#include <utility>

namespace nw {

bool CSerialPort::Open(int nPort, std::uint32_t dwBaud, std::uint8_t byStopBits,
                       std::uint8_t byParity) {
    return Open(PortNameForNumber(nPort), dwBaud, byStopBits, byParity);
}

void CSerialPort::SetMessageSink(MessageSink sink) {
    std::lock_guard lock(m_csWrite);
    m_sink = std::move(sink);
}

void CSerialPort::ShowMessage(const char* text) {
    if (m_sink)
        m_sink(text);
}

void CSerialPort::Fail(PortError code, int osError) {
    m_failure.code = code;
    m_failure.osError = osError;
    m_failure.device = m_device;
    m_failure.osText = osError != 0 ? SystemText(osError) : std::string();
}

} // namespace nw
