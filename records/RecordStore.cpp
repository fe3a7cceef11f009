#include "records/RecordStore.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace nw::records {

namespace {

// How long a write waits for other writers before it gives up.
constexpr int kBusyTimeoutMs = 15000;

constexpr char kCreateSchema[] = R"(
CREATE TABLE records (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  run_id TEXT NOT NULL,
  time TEXT NOT NULL,
  version TEXT NOT NULL,
  port TEXT NOT NULL,
  role TEXT NOT NULL,
  address TEXT NOT NULL,
  name TEXT NOT NULL,
  operation TEXT NOT NULL,
  settings TEXT NOT NULL,
  verification TEXT NOT NULL,
  outcome TEXT NOT NULL
);
CREATE INDEX records_address ON records (address COLLATE NOCASE);
CREATE INDEX records_time ON records (time);
PRAGMA user_version = 1;
)";

// Finalizes a statement when it goes out of scope.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

// Paths travel as UTF-8 (what SQLite takes); the file system is told so,
// whatever the system's own narrow encoding is.
std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string Failure(sqlite3* db, const std::string& path, const char* what) {
    return "records database " + path + ": " + what + ": " + sqlite3_errmsg(db);
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Switching a new file to WAL needs it to itself for a moment. When another
// program is opening the same new file, SQLite answers "locked" at once,
// without waiting in the busy handler, so the switch is tried again until
// the busy time-out.
bool SwitchToWal(sqlite3* db) {
    for (int waited = 0;; waited += 5) {
        const int rc = sqlite3_exec(db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK || (rc & 0xFF) != SQLITE_BUSY || waited >= kBusyTimeoutMs)
            return rc == SQLITE_OK;
        sqlite3_sleep(5);
    }
}

bool UserVersion(sqlite3* db, int& version) {
    Statement s;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &s.stmt, nullptr) != SQLITE_OK ||
        sqlite3_step(s.stmt) != SQLITE_ROW)
        return false;
    version = sqlite3_column_int(s.stmt, 0);
    return true;
}

std::string Text(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text == nullptr
               ? std::string()
               : std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
}

bool Bind(sqlite3_stmt* stmt, int index, const std::string& text) {
    return sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()),
                             SQLITE_TRANSIENT) == SQLITE_OK;
}

} // namespace

std::unique_ptr<CRecordStore> CRecordStore::Open(const std::string& path, Access access,
                                                 std::string& error) {
    if (access == Access::Write) {
        const std::filesystem::path parent = PathOf(path).parent_path();
        std::error_code ec;
        if (!parent.empty())
            std::filesystem::create_directories(parent, ec);
        if (ec) {
            error = "records database " + path + ": cannot create " + Utf8(parent) + ": " +
                    ec.message();
            return nullptr;
        }
    }
    const int flags =
        access == Access::Write ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    std::unique_ptr<CRecordStore> store(new CRecordStore(db, path));
    if (opened != SQLITE_OK) {
        error = Failure(db, path, "cannot open");
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);

    // Nothing is written before the version is known.
    int version = 0;
    if (!UserVersion(db, version)) {
        error = Failure(db, path, "cannot read");
        return nullptr;
    }
    if (version > kSchemaVersion) {
        error = "records database " + path + " has schema version " + std::to_string(version) +
                ", newer than this program knows (" + std::to_string(kSchemaVersion) +
                "); it is left untouched: use a newer Nodewright or another file";
        return nullptr;
    }
    if (access == Access::Read) {
        store->m_hasTable = version == kSchemaVersion;
        return store;
    }
    if (!SwitchToWal(db)) {
        error = Failure(db, path, "cannot switch to WAL");
        return nullptr;
    }
    // Two programs may create the file at the same time: one creates the
    // table, the other then finds it.
    if (!Exec(db, "BEGIN IMMEDIATE")) {
        error = Failure(db, path, "cannot lock");
        return nullptr;
    }
    if (!UserVersion(db, version) || (version == 0 && !Exec(db, kCreateSchema)) ||
        !Exec(db, "COMMIT")) {
        error = Failure(db, path, "cannot create the schema");
        Exec(db, "ROLLBACK");
        return nullptr;
    }
    return store;
}

CRecordStore::~CRecordStore() {
    sqlite3_close(m_db);
}

bool CRecordStore::Append(const Record& r, std::string& error) {
    static constexpr char kInsert[] =
        "INSERT INTO records (run_id, time, version, port, role, address, name, operation, "
        "settings, verification, outcome) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    const std::lock_guard lock(m_mutex);
    Statement s;
    bool ok = sqlite3_prepare_v2(m_db, kInsert, -1, &s.stmt, nullptr) == SQLITE_OK;
    const StepRecord& step = r.step;
    const std::string* values[] = {&r.runId,           &r.time,         &r.version,
                                   &step.port,         &step.role,      &step.address,
                                   &step.name,         &step.operation, &step.settings,
                                   &step.verification, &step.outcome};
    for (int k = 0; ok && k < 11; ++k)
        ok = Bind(s.stmt, k + 1, *values[k]);
    if (!ok || sqlite3_step(s.stmt) != SQLITE_DONE) {
        error = Failure(m_db, m_path, "the record was not written");
        return false;
    }
    return true;
}

bool CRecordStore::Query(const RecordFilter& filter, std::vector<Record>& rows,
                         std::string& error) {
    rows.clear();
    if (!m_hasTable)
        return true; // a file nothing was recorded in yet
    static constexpr char kSelect[] =
        "SELECT id, run_id, time, version, port, role, address, name, operation, settings, "
        "verification, outcome FROM records WHERE (?1 = '' OR address = ?1 COLLATE NOCASE) "
        "AND (?2 = '' OR time >= ?2) ORDER BY id";
    const std::lock_guard lock(m_mutex);
    Statement s;
    if (sqlite3_prepare_v2(m_db, kSelect, -1, &s.stmt, nullptr) != SQLITE_OK ||
        !Bind(s.stmt, 1, filter.address) || !Bind(s.stmt, 2, filter.since)) {
        error = Failure(m_db, m_path, "cannot read the records");
        return false;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        Record r;
        r.id = sqlite3_column_int64(s.stmt, 0);
        r.runId = Text(s.stmt, 1);
        r.time = Text(s.stmt, 2);
        r.version = Text(s.stmt, 3);
        StepRecord& step = r.step;
        std::string* fields[] = {&step.port,         &step.role,      &step.address,
                                 &step.name,         &step.operation, &step.settings,
                                 &step.verification, &step.outcome};
        for (int k = 0; k < 8; ++k)
            *fields[k] = Text(s.stmt, k + 4);
        rows.push_back(std::move(r));
    }
    if (rc != SQLITE_DONE) {
        error = Failure(m_db, m_path, "cannot read the records");
        return false;
    }
    return true;
}

bool ReadRecords(const std::string& path, const RecordFilter& filter, std::vector<Record>& rows,
                 std::string& error) {
    rows.clear();
    std::error_code ec;
    if (!std::filesystem::exists(PathOf(path), ec) && !ec)
        return true;
    const auto store = CRecordStore::Open(path, CRecordStore::Access::Read, error);
    return store != nullptr && store->Query(filter, rows, error);
}

std::string DefaultDatabasePath(const char* xdgDataHome, const char* home) {
    std::filesystem::path base;
    if (xdgDataHome != nullptr && std::filesystem::path(xdgDataHome).is_absolute())
        base = xdgDataHome;
    else if (home != nullptr && *home != '\0')
        base = std::filesystem::path(home) / ".local" / "share";
    else
        return {};
    return (base / "nodewright" / "records.sqlite").string();
}

std::string WindowsDefaultDatabasePath(const char* localAppData) {
    if (localAppData == nullptr || *localAppData == '\0')
        return {};
    const std::string base = localAppData;
    // A drive's path or a share's, read as text: the rules of the system
    // this runs on may not be Windows's.
    const bool absolute = (base.size() >= 3 && std::isalpha(static_cast<unsigned char>(base[0])) &&
                           base[1] == ':' && (base[2] == '\\' || base[2] == '/')) ||
                          base.starts_with("\\\\");
    if (!absolute)
        return {};
    const bool separated = base.back() == '\\' || base.back() == '/';
    return base + (separated ? "" : "\\") + "Nodewright\\records.sqlite";
}

#ifdef _WIN32
std::string DefaultDatabasePath() {
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); // the wide one: any user name
    return WindowsDefaultDatabasePath(
        local == nullptr ? nullptr : Utf8(std::filesystem::path(local)).c_str());
}

const char* NoDefaultDatabaseText() {
    return "no file for the records: LOCALAPPDATA is not set";
}
#else
std::string DefaultDatabasePath() {
    return DefaultDatabasePath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

const char* NoDefaultDatabaseText() {
    return "no file for the records: neither XDG_DATA_HOME nor HOME is set";
}
#endif

} // namespace nw::records
