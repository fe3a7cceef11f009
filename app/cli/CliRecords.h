// The terminal front end's side of the records: the recorder `--record`
// hands the window logic, and the `records` command. Where the program is
// built without SQLite both say so instead.
#pragma once

#include "app/cli/CliOptions.h"
#include "app/cli/TerminalConsole.h"
#include "ui/StepRecorder.h"

#include <functional>
#include <memory>
#include <string>

namespace nw::cli {

// Opens the database `--db` names (or the default file) for appending.
// Null, with `error`, when it cannot be opened; `onLost` hears of each row
// that could not be written afterwards.
std::unique_ptr<IStepRecorder> OpenRecorder(const CliOptions& options,
                                            std::function<void(const std::string&)> onLost,
                                            std::string& error);

// records: prints the rows the filters let through. 0 printed, 1 the
// database could not be read, 2 a --since that is no date.
int RunRecords(const CliOptions& options, CTerminalConsole& console, std::ostream& out);

} // namespace nw::cli
