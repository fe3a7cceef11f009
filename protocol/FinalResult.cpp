#include "protocol/FinalResult.h"

#include "protocol/Dialect.h"
#include "protocol/Pacing.h"

#include <string>
#include <vector>

namespace nw {

namespace {

// The complete lines (ended by CR or LF) that are not empty and not the
// command's echo.
std::vector<std::string_view> AnswerLines(std::string_view received, const std::string& key) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < received.size(); ++i) {
        if (received[i] != '\r' && received[i] != '\n')
            continue;
        const std::string_view line = received.substr(begin, i - begin);
        begin = i + 1;
        if (!line.empty() && CommandKey(line) != key)
            lines.push_back(line);
    }
    return lines;
}

bool IsQuery(const std::string& key) {
    return !key.empty() && key.back() == '?';
}

constexpr char kResultsQuery[] = "ats10?";

} // namespace

bool HoldsFinalResult(std::string_view received, std::string_view command, bool resultsOff) {
    const std::string key = CommandKey(command);
    const bool query = IsQuery(key);
    bool value = false;
    for (const std::string_view line : AnswerLines(received, key)) {
        if (line == reply::kError)
            return true;
        if (line == reply::kOk) {
            if (!query || value)
                return true;
            continue;
        }
        if (!query)
            continue;
        value = true;
        // "ats10?" answered "0" says itself that no "OK" follows.
        if (resultsOff || (key == kResultsQuery && line == "0"))
            return true;
    }
    return false;
}

bool ResultsOffAfter(std::string_view received, std::string_view command, bool before) {
    const std::string key = CommandKey(command);
    if (key == "ats10=0")
        return true;
    if (key == "ats10=1" || key == "at&f")
        return false;
    for (const std::string_view line : AnswerLines(received, key)) {
        if (line == reply::kOk || line == reply::kError)
            return false;
        if (key == kResultsQuery && line == "0")
            return true;
    }
    return before;
}

bool IsEscape(std::string_view command) {
    return command == cmd::kEscape;
}

bool RestartsAdapter(std::string_view command) {
    const std::string key = CommandKey(command);
    return key == "atz" || key == "at&f";
}

} // namespace nw
