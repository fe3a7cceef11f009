// The parts of CSerialPort every platform shares.
#include "serial/SerialPort.h"

#include <utility>

namespace nw {

void CSerialPort::SetMessageSink(MessageSink sink) {
    std::lock_guard lock(m_csWrite);
    m_sink = std::move(sink);
}

void CSerialPort::ShowMessage(const char* text) {
    if (m_sink)
        m_sink(text);
}

} // namespace nw
