// One row of the records database: an adapter step as the window logic or a
// front end handed it over, with the run it belongs to, when it ended and the
// program that did it.
#pragma once

#include "ui/StepRecorder.h"

#include <array>
#include <cstdint>
#include <string>

namespace nw::records {

struct Record {
    std::int64_t id = 0;   // given by the database
    std::string runId{};   // shared by the rows of one run
    std::string time{};    // UTC, "2026-12-07T11:05:00+00:00"
    std::string version{}; // the program's version
    StepRecord step{};     // port, role, address, ... outcome
};

// The columns, in table order; every export names them so.
inline constexpr std::array<const char*, 12> kColumns = {
    "id",      "run_id", "time",      "version",  "port",         "role",
    "address", "name",   "operation", "settings", "verification", "outcome"};

// The text of column `k` (an index into kColumns) of `r`.
std::string ColumnText(const Record& r, std::size_t k);

} // namespace nw::records
