#include "app/cli/CliSession.h"

#include "app/cli/LineTrace.h"
#include "protocol/Pacer.h"
#include "res/ControlIds.h"
#include "serial/SerialEnum.h"

namespace nw::cli {

namespace {

// Beyond the bits' own time: for the device to take them (a USB adapter's
// frames, a pseudo-terminal's reader).
constexpr double kLineSlackMs = 100;

// The texts of the line-setting lists for the options.
const char* ParityText(const std::string& parity) {
    if (parity == "even")
        return "Even";
    if (parity == "odd")
        return "Odd";
    return "None";
}

} // namespace

CCliSession::CCliSession(const CliOptions& options, const CliEnv& env, CTerminalConsole& console)
    : m_options(options), m_env(env), m_console(console),
      m_host(CTerminalHost::Role::Main, console, *env.pacer), m_dlg(m_host) {}

CCliSession::~CCliSession() {
    const auto left =
        std::chrono::duration<double, std::milli>(m_writesDone - std::chrono::steady_clock::now());
    SleepAtLeast(left.count());
}

void CCliSession::OnLineChunk(CSerialPort::TraceDir dir, const char* data, std::size_t n) {
    if (dir == CSerialPort::TraceDir::Tx) {
        // Start bit, 8 data bits, parity bit, stop bits.
        const int bits = 9 + (m_options.parity == "none" ? 0 : 1) + m_options.stopBits;
        const double ms = 1000.0 * bits * static_cast<double>(n) / m_options.baud;
        m_writesDone = std::chrono::steady_clock::now() +
                       std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                           std::chrono::duration<double, std::milli>(ms + kLineSlackMs));
    }
    if (m_env.lineObserver)
        m_env.lineObserver(dir == CSerialPort::TraceDir::Tx, n);
    if (m_options.trace || m_console.Logging()) {
        const std::string line = TraceLine(m_env.elapsedMs(), dir == CSerialPort::TraceDir::Tx,
                                           std::string_view(data, n));
        if (m_options.trace)
            m_console.Note(line);
        else
            m_console.LogOnly(line);
    }
}

bool CCliSession::OpenPort() {
    using namespace id::main;
    CSerialEnum ports(m_env.sysRoot, m_env.devRoot);
    m_dlg.OnInitDialog(ports);
    m_host.Type(kComboPort, m_options.port);
    m_host.ComboPick(kComboBaud, std::to_string(m_options.baud));
    m_host.ComboPick(kComboParity, ParityText(m_options.parity));
    m_host.ComboPick(kComboStopBits, std::to_string(m_options.stopBits));

    m_dlg.m_port.SetTraceSink([this](CSerialPort::TraceDir dir, const char* data, std::size_t n) {
        OnLineChunk(dir, data, n);
    });

    m_dlg.m_exchange.SetPacing(m_options.pacing);
    if (m_options.trace && m_options.pacing.mode == PacingMode::Reply) {
        m_dlg.m_exchange.onWait = [this](const CCommandExchange::WaitReport& w) {
            m_console.Note(
                WaitLine(m_env.elapsedMs(), w.command, w.waitedMs, w.pauseMs, w.replied));
        };
    }

    m_dlg.OnButtonPortOpen();
    if (m_dlg.m_bPortOpen == 0)
        return false;
    m_host.Echo(true);
    return true;
}

Outcome
CCliSession::RunManualWindow(const std::function<Outcome(CManualDlg&, CTerminalHost&)>& action) {
    Outcome result = Outcome::Failure({});
    m_host.onManualWindow = [&](CManualDlg& dlg, CTerminalHost& host, const Outcome& opened) {
        result = opened.kind == OutcomeKind::LineGone ? opened : action(dlg, host);
    };
    m_dlg.OnButtonManual();
    m_host.onManualWindow = nullptr;
    return result;
}

} // namespace nw::cli
