#include "app/cli/CliRecords.h"

#include "app/cli/CliParser.h"
#include "records/RecordFormat.h"
#include "records/RecordStore.h"
#include "records/RecordTime.h"
#include "records/StoreRecorder.h"

#include <filesystem>
#include <sstream>

#ifndef NW_VERSION
#define NW_VERSION "unknown"
#endif

namespace nw::cli {

namespace {

using records::CRecordStore;

std::string DatabasePath(const CliOptions& options) {
    return options.db.empty() ? records::DefaultDatabasePath() : options.db;
}

// The store and the recorder writing to it, owned together.
class CCliRecorder final : public IStepRecorder {
  public:
    explicit CCliRecorder(std::unique_ptr<CRecordStore> store)
        : m_store(std::move(store)), m_recorder(*m_store, NW_VERSION) {}
    void StepEnded(const StepRecord& step) override { m_recorder.StepEnded(step); }
    records::CStoreRecorder& Recorder() { return m_recorder; }

  private:
    std::unique_ptr<CRecordStore> m_store;
    records::CStoreRecorder m_recorder;
};

} // namespace

std::unique_ptr<IStepRecorder> OpenRecorder(const CliOptions& options,
                                            std::function<void(const std::string&)> onLost,
                                            std::string& error) {
    const std::string path = DatabasePath(options);
    if (path.empty()) {
        error = "no records database: give --db FILE (neither XDG_DATA_HOME nor HOME is set)";
        return nullptr;
    }
    auto store = CRecordStore::Open(path, CRecordStore::Access::Write, error);
    if (!store)
        return nullptr;
    auto recorder = std::make_unique<CCliRecorder>(std::move(store));
    recorder->Recorder().onLost = std::move(onLost);
    return recorder;
}

int RunRecords(const CliOptions& options, CTerminalConsole& console, std::ostream& out) {
    records::RecordFilter filter{.address = options.recordsAddress, .since = {}};
    if (!options.recordsSince.empty()) {
        const auto since = records::NormalizeSince(options.recordsSince);
        if (!since) {
            console.Note("nodewright-cli: error: --since: not a date: " + options.recordsSince +
                         " (2026-12-07, 2026-12-07T11:05, optionally with Z or +01:00)");
            return kExitUsage;
        }
        filter.since = *since;
    }
    const records::RecordFormat format = options.recordsFormat == "csv" ? records::RecordFormat::Csv
                                         : options.recordsFormat == "json"
                                             ? records::RecordFormat::Json
                                             : records::RecordFormat::Table;
    const std::string path = DatabasePath(options);
    std::vector<records::Record> rows;
    std::error_code ec;
    if (path.empty() || !std::filesystem::exists(path, ec)) {
        // Nothing recorded yet: an empty result, and a word on where it looked.
        console.Note("nodewright-cli: no records database at " +
                     (path.empty() ? std::string("(no path: give --db FILE)") : path));
    } else {
        std::string error;
        auto store = CRecordStore::Open(path, CRecordStore::Access::Read, error);
        if (!store || !store->Query(filter, rows, error)) {
            console.Note("nodewright-cli: " + error);
            return kExitFailure;
        }
    }
    const std::string text = records::FormatRecords(rows, format);
    if (format != records::RecordFormat::Table) {
        out << text << std::flush; // machine formats verbatim
        return kExitSuccess;
    }
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        console.Result(line);
    return kExitSuccess;
}

} // namespace nw::cli
