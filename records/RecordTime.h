// Times and run ids of the records: UTC as ISO 8601 text with its offset,
// which sorts as the times do.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace nw::records {

// "2026-12-07T11:05:00+00:00".
std::string UtcText(std::chrono::system_clock::time_point when);

// A date as a user types it for --since: "2026-12-07", "2026-12-07T11:05",
// "2026-12-07 11:05:30", each optionally with "Z" or an offset "+01:00";
// without an offset it is UTC. Returned in UtcText's form; none when it is
// not such a date.
std::optional<std::string> NormalizeSince(const std::string& text);

// A new run id: the UTC time and random hex, "20261207T110500Z-3f9a1c2e".
std::string NewRunId();

} // namespace nw::records
