// One adapter of a station: its role, its own port and the command exchange
// on it, and what its report said about it (address and name). Knows when
// the last byte it wrote will have left the line, so the port is not closed
// under it.
#pragma once

#include "protocol/CommandExchange.h"
#include "protocol/DeviceInfo.h"
#include "protocol/Pacer.h"
#include "serial/SerialPort.h"
#include "station/StationEvent.h"
#include "station/StationOptions.h"

#include <atomic>
#include <chrono>
#include <string>

namespace nw::station {

class CStationLine {
  public:
    CStationLine(std::string role, std::string port, IPacer& pacer, const StationOptions& options);
    CStationLine(const CStationLine&) = delete;
    CStationLine& operator=(const CStationLine&) = delete;

    // Opens the port with the station's line settings; false with the reason
    // in OpenFailure().
    bool Open();
    const PortFailure& OpenFailure() const { return m_port.LastFailure(); }
    // Waits until the last byte written has left the line, then closes.
    void Close();

    // A new operation (as a press of a wizard button begins one).
    CCommandExchange& Begin();
    CCommandExchange& Exchange() { return m_exchange; }

    // Detection, then the information report as the wizard reads it into an
    // address slot; keeps the address and name it gave. Failed when either
    // failed or the report held no address; `failure` then says which.
    struct StepEnd {
        StepOutcome outcome = StepOutcome::Succeeded;
        std::string failure; // the line to show when it did not succeed
    };
    StepEnd Identify();
    // The report alone, as Identify reads it after its detection.
    StepEnd ReadReport();
    // The line to show for an operation that ended in `outcome`.
    static const char* FailureText(StepOutcome outcome);

    // How an operation on this line ended: LineGone when a write failed or
    // the line hung up, whatever the operation itself concluded.
    StepOutcome Judge(OutcomeKind kind) const;
    // An event of this line, its role, port, address and name filled in.
    StationEvent Event(std::string operation, std::string text, StepOutcome outcome) const;

    const std::string& Role() const { return m_role; }
    const std::string& Port() const { return m_portName; }
    const std::string& Address() const { return m_address; }

  private:
    void OnChunk(CSerialPort::TraceDir dir, const char* data, std::size_t n);

    std::string m_role;
    std::string m_portName;
    const StationOptions& m_options;
    CSerialPort m_port;
    CCommandExchange m_exchange;
    std::string m_address;
    std::string m_name;
    // Steady-clock ticks at which the last byte written will have left the line.
    std::atomic<std::chrono::steady_clock::rep> m_writesDone{0};
};

} // namespace nw::station
