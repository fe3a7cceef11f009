// The two output streams of the terminal front end, shared by both windows'
// hosts and the port's trace. Every write is one or more whole lines, flushed
// at once (scripts wait for them), under one lock (the trace's received bytes
// arrive on the port's reader thread). While an operation runs and stderr is
// a terminal, a progress line stands on stderr; it is cleared before any
// other line reaches the terminal and drawn again after it. Lines bound for
// a terminal have their control bytes spelled out (adapter text is data);
// a pipe gets them verbatim.
#pragma once

#include <mutex>
#include <ostream>
#include <string>

namespace nw::cli {

class CTerminalConsole {
  public:
    CTerminalConsole(std::ostream& out, std::ostream& err, bool outIsTerminal, bool errIsTerminal);
    CTerminalConsole(const CTerminalConsole&) = delete;
    CTerminalConsole& operator=(const CTerminalConsole&) = delete;

    // With --json, stdout holds only the result: what the windows show goes
    // to stderr instead.
    void KeepStdoutForResult(bool keep);

    // A text the windows show (message box, message area, report): each of
    // its lines on a line of its own.
    void Show(const std::string& text);
    // A picture page's drawing; only reaches a terminal.
    void Drawing(const std::string& art);
    // One of the command's own result lines, always on stdout.
    void Result(const std::string& line);
    // A line on stderr: details, notes, trace.
    void Note(const std::string& line);

    // --log: every line of Show, Result and Note also goes to `log` (null:
    // none), after the UTC time it was written at.
    void LogTo(std::ostream* log);
    // A line for the log alone (the trace when --trace is not given).
    void LogOnly(const std::string& line);
    bool Logging() const { return m_log != nullptr; }

    // Progress line: shown while the count is above 0 (stderr terminals only).
    void BeginWait();
    void EndWait();

    bool ErrIsTerminal() const { return m_errIsTerminal; }

    static constexpr char kProgress[] = "working...";

  private:
    std::ostream& ShowStream() { return m_showOnStderr ? m_err : m_out; }
    void WriteLines(std::ostream& stream, const std::string& text);
    void WriteLog(const std::string& text);
    void ClearProgress();
    void DrawProgress();

    std::mutex m_lock;
    std::ostream& m_out;
    std::ostream& m_err;
    bool m_outIsTerminal;
    bool m_errIsTerminal;
    bool m_showOnStderr = false;
    int m_waitDepth = 0;
    bool m_progressShown = false;
    std::ostream* m_log = nullptr;
};

} // namespace nw::cli
