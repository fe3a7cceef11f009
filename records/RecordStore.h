// The records database: a SQLite file holding one row per adapter per step.
// Its schema carries its version in "PRAGMA user_version"; a file of a newer
// version is refused and left untouched. The file is kept in WAL mode with a
// busy time-out, so several processes, and several threads each with a store
// of its own or sharing one, can append at once without losing a row.
#pragma once

#include "records/Record.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct sqlite3;

namespace nw::records {

// Which rows a query returns: all of them, or those of one adapter address
// (any case) and/or from a time on (UtcText form, as NormalizeSince gives).
struct RecordFilter {
    std::string address;
    std::string since;
};

class CRecordStore {
  public:
    static constexpr int kSchemaVersion = 1;

    enum class Access { Write, Read };

    // Opens the database at `path`; for Write, creates it (and its
    // directories) when missing. Null, with `error` saying why, when it
    // cannot be opened or is of a schema newer than this program knows.
    static std::unique_ptr<CRecordStore> Open(const std::string& path, Access access,
                                              std::string& error);
    ~CRecordStore();
    CRecordStore(const CRecordStore&) = delete;
    CRecordStore& operator=(const CRecordStore&) = delete;

    // Appends `r` (its id is ignored) in a transaction of its own; waits for
    // other writers up to the busy time-out. False, with `error`, when the
    // row could not be written.
    bool Append(const Record& r, std::string& error);

    // The rows the filter lets through, oldest first. False, with `error`,
    // when they could not be read.
    bool Query(const RecordFilter& filter, std::vector<Record>& rows, std::string& error);

    const std::string& Path() const { return m_path; }

  private:
    CRecordStore(sqlite3* db, std::string path) : m_db(db), m_path(std::move(path)) {}

    sqlite3* m_db;
    std::string m_path;
    std::mutex m_mutex;     // one statement at a time on the shared connection
    bool m_hasTable = true; // false: opened for reading before anything was recorded
};

// The rows of the database at `path` that the filter lets through, for
// showing: none, and no error, when nothing was ever recorded there (no
// file). False, with `error`, when the file cannot be read.
bool ReadRecords(const std::string& path, const RecordFilter& filter, std::vector<Record>& rows,
                 std::string& error);

// Where records go when no file is named: $XDG_DATA_HOME/nodewright/
// records.sqlite, or $HOME/.local/share/nodewright/records.sqlite when
// XDG_DATA_HOME is unset or not absolute. Empty when neither is set.
std::string DefaultDatabasePath(const char* xdgDataHome, const char* home);
// On Windows: %LOCALAPPDATA%\Nodewright\records.sqlite (the user's own,
// not roaming); empty when `localAppData` is unset or not absolute.
std::string WindowsDefaultDatabasePath(const char* localAppData);
// The one of these that fits the system, from the process's environment.
std::string DefaultDatabasePath();
// Why DefaultDatabasePath() is empty, in the user's words.
const char* NoDefaultDatabaseText();

} // namespace nw::records
