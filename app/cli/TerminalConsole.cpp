#include "app/cli/TerminalConsole.h"

#include "app/cli/LineTrace.h"

namespace nw::cli {

CTerminalConsole::CTerminalConsole(std::ostream& out, std::ostream& err, bool outIsTerminal,
                                   bool errIsTerminal)
    : m_out(out), m_err(err), m_outIsTerminal(outIsTerminal), m_errIsTerminal(errIsTerminal) {}

void CTerminalConsole::KeepStdoutForResult(bool keep) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_showOnStderr = keep;
}

void CTerminalConsole::Show(const std::string& text) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLines(ShowStream(), text);
}

void CTerminalConsole::Drawing(const std::string& art) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_outIsTerminal && !m_showOnStderr && !art.empty())
        WriteLines(m_out, art);
}

void CTerminalConsole::Result(const std::string& line) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLines(m_out, line);
}

void CTerminalConsole::Note(const std::string& line) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLines(m_err, line);
}

void CTerminalConsole::WriteLines(std::ostream& stream, const std::string& text) {
    const bool toTerminal = &stream == &m_err ? m_errIsTerminal : m_outIsTerminal;
    // Only a line bound for the terminal that holds the progress line disturbs it.
    const bool sameTerminal = &stream == &m_err || m_outIsTerminal;
    const bool redraw = m_progressShown && sameTerminal;
    if (redraw)
        ClearProgress();
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        const std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        // A pipe gets the text verbatim; a terminal never gets a control byte.
        stream << (toTerminal ? SpellForTerminal(line) : line) << '\n';
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    stream.flush();
    if (redraw)
        DrawProgress();
}

void CTerminalConsole::ClearProgress() {
    m_err << '\r' << std::string(sizeof kProgress - 1, ' ') << '\r' << std::flush;
    m_progressShown = false;
}

void CTerminalConsole::DrawProgress() {
    m_err << kProgress << std::flush;
    m_progressShown = true;
}

void CTerminalConsole::BeginWait() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_waitDepth++ == 0 && m_errIsTerminal)
        DrawProgress();
}

void CTerminalConsole::EndWait() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_waitDepth > 0 && --m_waitDepth == 0 && m_progressShown)
        ClearProgress();
}

} // namespace nw::cli
