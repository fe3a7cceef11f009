#include "app/cli/TerminalConsole.h"

#include "app/cli/LineTrace.h"

#include <chrono>
#include <cstdio>

namespace nw::cli {

namespace {

// "2026-12-07T11:50:01.123Z": the log's time stamps, UTC to the millisecond.
std::string UtcNow() {
    using namespace std::chrono;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss time(now - day);
    char text[32];
    std::snprintf(
        text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
        static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
        static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
        static_cast<int>(time.seconds().count()), static_cast<int>(time.subseconds().count()));
    return text;
}

} // namespace

CTerminalConsole::CTerminalConsole(std::ostream& out, std::ostream& err, bool outIsTerminal,
                                   bool errIsTerminal)
    : m_out(out), m_err(err), m_outIsTerminal(outIsTerminal), m_errIsTerminal(errIsTerminal) {}

void CTerminalConsole::KeepStdoutForResult(bool keep) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_showOnStderr = keep;
}

void CTerminalConsole::LogTo(std::ostream* log) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_log = log;
}

void CTerminalConsole::LogOnly(const std::string& line) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLog(line);
}

void CTerminalConsole::Show(const std::string& text) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLines(ShowStream(), text);
    WriteLog(text);
}

void CTerminalConsole::Drawing(const std::string& art) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_outIsTerminal && !m_showOnStderr && !art.empty())
        WriteLines(m_out, art);
}

void CTerminalConsole::Result(const std::string& line) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLines(m_out, line);
    WriteLog(line);
}

void CTerminalConsole::Note(const std::string& line) {
    std::lock_guard<std::mutex> guard(m_lock);
    WriteLines(m_err, line);
    WriteLog(line);
}

// The log is a file: adapter text goes in verbatim, as to a pipe, each line
// after its time stamp.
void CTerminalConsole::WriteLog(const std::string& text) {
    if (m_log == nullptr)
        return;
    const std::string stamp = UtcNow();
    std::string::size_type start = 0;
    for (;;) {
        const auto end = text.find('\n', start);
        *m_log << stamp << ' ' << text.substr(start, end == std::string::npos ? end : end - start)
               << '\n';
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    m_log->flush();
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
