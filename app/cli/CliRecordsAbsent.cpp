// The records where the program is built without SQLite: both say so.
#include "app/cli/CliParser.h"
#include "app/cli/CliRecords.h"

namespace nw::cli {

namespace {
constexpr char kAbsent[] = "this nodewright-cli was built without records (no SQLite)";
}

std::unique_ptr<IStepRecorder>
OpenRecorder(const CliOptions&, std::function<void(const std::string&)>, std::string& error) {
    error = kAbsent;
    return nullptr;
}

int RunRecords(const CliOptions&, CTerminalConsole& console, std::ostream&) {
    console.Note(std::string("nodewright-cli: ") + kAbsent);
    return kExitFailure;
}

} // namespace nw::cli
