// One run of a window command: the console, the main window's logic on a
// terminal host and the port opened as the main window opens it (port text
// typed into the port box, line settings picked from their lists, Port Open
// pressed).
#pragma once

#include "app/cli/CliEnv.h"
#include "app/cli/CliOptions.h"
#include "app/cli/TerminalConsole.h"
#include "app/cli/TerminalHost.h"
#include "ui/SetupDlg.h"

#include <chrono>
#include <functional>

namespace nw::cli {

class CCliSession {
  public:
    CCliSession(const CliOptions& options, const CliEnv& env, CTerminalConsole& console);
    // Lets the last bytes written leave the line before the port closes: the
    // close discards output the device has not sent yet, and an operation may
    // end on a write it does not wait after (a restart, a setting).
    ~CCliSession();
    CCliSession(const CCliSession&) = delete;
    CCliSession& operator=(const CCliSession&) = delete;

    // Initialises the main window, installs the trace when asked and presses
    // Port Open. True when the port is open; from then on the window prints.
    bool OpenPort();

    // Opens the Manual Setting window (which shows its report), runs `action`
    // in it, and closes it. Returns the action's outcome, or the report's when
    // the line went during it (the action is then not run).
    Outcome RunManualWindow(const std::function<Outcome(CManualDlg&, CTerminalHost&)>& action);

    const CliOptions& Options() const { return m_options; }
    CTerminalConsole& Console() { return m_console; }
    CTerminalHost& Host() { return m_host; }
    CSetupDlg& Dlg() { return m_dlg; }

  private:
    void OnLineChunk(CSerialPort::TraceDir dir, const char* data, std::size_t n);

    const CliOptions& m_options;
    const CliEnv& m_env;
    CTerminalConsole& m_console;
    CTerminalHost m_host;
    CSetupDlg m_dlg;
    // When the last byte written will have left the line, at the line's rate.
    std::chrono::steady_clock::time_point m_writesDone;
};

} // namespace nw::cli
