#include "station/StationLine.h"

#include "protocol/Conversations.h"
#include "station/StationTexts.h"

namespace nw::station {

namespace {

// Beyond the bits' own time: for the device to take them.
constexpr double kLineSlackMs = 100;

std::string AfterLabel(const std::string& line) {
    const std::size_t colon = line.find(": ");
    return colon == std::string::npos ? std::string() : line.substr(colon + 2);
}

} // namespace

CStationLine::CStationLine(std::string role, std::string port, IPacer& pacer,
                           const StationOptions& options)
    : m_role(std::move(role)), m_portName(std::move(port)), m_options(options),
      m_exchange(m_port, pacer) {
    m_exchange.SetPacing(options.pacing);
    // The failed write shows in the step's own line; nothing pops up here.
    m_port.SetMessageSink([](const std::string&) {});
    m_port.SetTraceSink([this](CSerialPort::TraceDir dir, const char* data, std::size_t n) {
        OnChunk(dir, data, n);
    });
}

void CStationLine::OnChunk(CSerialPort::TraceDir dir, const char* data, std::size_t n) {
    const bool written = dir == CSerialPort::TraceDir::Tx;
    if (written) {
        // Start bit, 8 data bits, parity bit, stop bits.
        const int bits = 9 + (m_options.parity == 0 ? 0 : 1) + (m_options.stopBits == 2 ? 2 : 1);
        const double ms = 1000.0 * bits * static_cast<double>(n) / m_options.baud + kLineSlackMs;
        const auto done = std::chrono::steady_clock::now() +
                          std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                              std::chrono::duration<double, std::milli>(ms));
        m_writesDone.store(done.time_since_epoch().count());
    }
    if (m_options.lineTrace)
        m_options.lineTrace(m_role, written, std::string_view(data, n));
}

bool CStationLine::Open() {
    return m_port.Open(m_portName, m_options.baud, m_options.stopBits, m_options.parity);
}

void CStationLine::Close() {
    const std::chrono::steady_clock::time_point done{
        std::chrono::steady_clock::duration(m_writesDone.load())};
    SleepAtLeast(
        std::chrono::duration<double, std::milli>(done - std::chrono::steady_clock::now()).count());
    m_port.Close();
}

CCommandExchange& CStationLine::Begin() {
    m_exchange.BeginOperation();
    return m_exchange;
}

StepOutcome CStationLine::Judge(OutcomeKind kind) const {
    if (kind == OutcomeKind::LineGone || m_exchange.LineGone() || m_port.IsDisconnected())
        return StepOutcome::LineGone;
    return kind == OutcomeKind::Succeeded ? StepOutcome::Succeeded : StepOutcome::Failed;
}

const char* CStationLine::FailureText(StepOutcome outcome) {
    return outcome == StepOutcome::LineGone ? text::kLineGone : text::kNotFound;
}

CStationLine::StepEnd CStationLine::Identify() {
    if (const StepOutcome found = Judge(DetectDevice(m_exchange)); found != StepOutcome::Succeeded)
        return {found, FailureText(found)};
    return ReadReport();
}

CStationLine::StepEnd CStationLine::ReadReport() {
    InfoLines lines;
    const DeviceInfoResult report = ReadDeviceInfo(m_exchange, lines, ResumeRule::AfterAnyOk);
    if (const StepOutcome read = Judge(report.kind); read != StepOutcome::Succeeded)
        return {read, FailureText(read)};
    m_address = report.address;
    m_name = AfterLabel(lines.m_strInfoName);
    // Something answered, but nothing identified it as an adapter.
    if (m_address.empty())
        return {StepOutcome::Failed, text::kNoAddress};
    return {};
}

StationEvent CStationLine::Event(std::string operation, std::string text,
                                 StepOutcome outcome) const {
    StationEvent e;
    e.role = m_role;
    e.port = m_portName;
    e.operation = std::move(operation);
    e.text = std::move(text);
    e.address = m_address;
    e.name = m_name;
    e.outcome = outcome;
    return e;
}

} // namespace nw::station
