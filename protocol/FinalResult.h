// When an adapter has given its final result for a command, judged from the
// bytes that arrived since the command was written: a line "OK" or "ERROR";
// for a query its value line and then "OK", or the value line alone from an
// adapter with result messages off. An echo of the command is no answer.
#pragma once

#include <string_view>

namespace nw {

bool HoldsFinalResult(std::string_view received, std::string_view command, bool resultsOff);

// Whether the adapter's result messages are off after `command` was written
// and answered with `received`; `before` when neither says.
bool ResultsOffAfter(std::string_view received, std::string_view command, bool before);

// The escape out of a link ("+++"): the adapter wants silence around it.
bool IsEscape(std::string_view command);
// "atz", "at&f": the adapter restarts and hears nothing for a while.
bool RestartsAdapter(std::string_view command);

} // namespace nw
