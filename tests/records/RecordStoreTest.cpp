// The records database: its schema and version, refusing a newer one, rows
// from several threads and processes at once, the filters and the exports.
#include "records/RecordStore.h"
#include "records/RecordFormat.h"
#include "records/RecordKeeper.h"
#include "records/RecordTime.h"
#include "support/FakeTree.h"
#include "support/PtyPair.h"
#include "support/RecordingHost.h"
#include "ui/SetupDlg.h"

#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <csignal>
#include <set>
#include <sstream>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace nw::records::test {
namespace {

using Access = CRecordStore::Access;
using nw::test::TempDir;

std::unique_ptr<CRecordStore> OpenOrFail(const std::string& path, Access access = Access::Write) {
    std::string error;
    auto store = CRecordStore::Open(path, access, error);
    EXPECT_TRUE(store) << error;
    return store;
}

Record Row(const std::string& address, const std::string& time, const std::string& runId = "r") {
    Record r{.runId = runId, .time = time, .version = "1.0"};
    r.step = {"/dev/ttyUSB0", "slave1",       address,
              "OLMA-S1",      "wizard-slave", "S46=0001950A0B00;MODE=2;S10=1",
              "verified",     "succeeded"};
    return r;
}

// The first value of a statement run on the file directly (creating it if need be).
std::string Sql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    std::string value;
    sqlite3_exec(
        db, sql,
        [](void* v, int, char** cells, char**) {
            *static_cast<std::string*>(v) = cells[0] ? cells[0] : "";
            return 0;
        },
        &value, nullptr);
    sqlite3_close(db);
    return value;
}

std::vector<Record> All(const std::string& path) {
    std::vector<Record> rows;
    std::string error;
    const auto store = OpenOrFail(path, Access::Read);
    EXPECT_TRUE(store && store->Query({}, rows, error)) << error;
    return rows;
}

constexpr char kTime[] = "2026-01-01T00:00:00+00:00";

// Its own schema in new directories in WAL mode, kept when opened again; a
// newer one refused and its file left alone.
TEST(RecordStore, CreatesItsSchemaAndRefusesANewerOne) {
    TempDir dir;
    std::string path = dir.File("a/b/records.sqlite");
    OpenOrFail(path);
    EXPECT_EQ(Sql(path, "PRAGMA user_version") + Sql(path, "PRAGMA journal_mode"), "1wal");
    std::string error;
    ASSERT_TRUE(OpenOrFail(path)->Append(Row("A", kTime), error)) << error;
    OpenOrFail(path);
    EXPECT_EQ(All(path).size(), 1u);

    path = dir.File("newer.sqlite");
    Sql(path, "CREATE TABLE t (x); PRAGMA user_version = 2"); // as a newer program made it
    const auto before = std::filesystem::last_write_time(path);
    for (Access access : {Access::Write, Access::Read}) {
        std::string error;
        EXPECT_FALSE(CRecordStore::Open(path, access, error));
        EXPECT_NE(error.find("schema version 2, newer than this program knows (1)"),
                  std::string::npos)
            << error;
    }
    EXPECT_EQ(std::filesystem::last_write_time(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
}

// Four processes append 1,000 rows each while three threads, each with a
// connection of its own, and two sharing one append 40 each.
TEST(RecordStore, NoRowLostFromThreadsAndProcessesAtOnceNorFromAKilledOne) {
    TempDir dir;
    const std::string path = dir.File("busy.sqlite");
    auto append = [&](const std::string& who, CRecordStore* store, int rows) {
        std::string error;
        for (int k = 0; k < rows; ++k)
            ASSERT_TRUE(store->Append(Row(who, kTime, who), error)) << error;
    };
    std::vector<pid_t> children;
    for (int p = 0; p < 4; ++p) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            append("process" + std::to_string(p), OpenOrFail(path).get(), 1000);
            ::_exit(::testing::Test::HasFailure() ? 1 : 0);
        }
        children.push_back(child);
    }
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back(
            [&, t] { append("thread" + std::to_string(t), OpenOrFail(path).get(), 40); });
    auto shared = OpenOrFail(path);
    for (int t = 0; t < 2; ++t)
        threads.emplace_back(append, "shared", shared.get(), 40);
    for (std::thread& t : threads)
        t.join();
    for (const pid_t child : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_EQ(status, 0); // exited with 0
    }
    std::set<std::int64_t> ids;
    for (const Record& r : All(path))
        ids.insert(r.id);
    EXPECT_EQ(ids.size(), 5u * 40 + 4 * 1000);

    // A writer killed outright between two rows: the file whole, with every row it wrote.
    const pid_t killed = ::fork();
    ASSERT_GE(killed, 0);
    if (killed == 0)
        for (auto store = OpenOrFail(path);;) // a run that never ends by itself
            append("run", store.get(), 1);
    EXPECT_TRUE(nw::test::WaitUntil([&] { return All(path).size() >= ids.size() + 50; },
                                    std::chrono::seconds(10)));
    ::kill(killed, SIGKILL);
    ASSERT_EQ(::waitpid(killed, nullptr, 0), killed);
    EXPECT_EQ(Sql(path, "PRAGMA integrity_check"), "ok");
    std::size_t run = 0;
    for (const Record& r : All(path)) {
        EXPECT_EQ(r.step.outcome + r.step.address, "succeeded" + r.runId);
        run += r.runId == "run";
    }
    EXPECT_GE(run, 50u);
}

TEST(RecordStore, FiltersByAddressAndSince) {
    TempDir dir;
    const std::string path = dir.File("filter.sqlite");
    auto store = OpenOrFail(path);
    std::string error;
    for (const auto& [address, time] : {std::pair{"0001950A0B01", "2026-12-06T23:59:59+00:00"},
                                        {"0001950A0B01", "2026-12-07T10:00:00+00:00"},
                                        {"0001950A0B02", "2026-12-07T11:30:00+00:00"}})
        ASSERT_TRUE(store->Append(Row(address, time), error)) << error;
    // Each filter, the ids of the rows it lets through.
    for (const auto& [address, since, ids] : {
             std::tuple{"", "", "123"},
             {"0001950a0b01", "", "12"}, // any case
             {"0001950A0B0", "", ""},    // no prefix match
             {"", "2026-12-07", "23"},
             {"", "2026-12-07T11:30+01:00", "3"}, // 10:30 UTC
             {"", "2026-12-07T11:30:01Z", ""},
             {"0001950A0B01", "2026-12-07T00:00", "2"},
         }) {
        std::vector<Record> rows;
        ASSERT_TRUE(store->Query({address, *since ? *NormalizeSince(since) : ""}, rows, error))
            << error;
        std::string got;
        for (const Record& r : rows)
            got += std::to_string(r.id);
        EXPECT_EQ(got, ids) << address << " " << since;
    }
}

TEST(RecordTime, SinceAcceptsDatesAndOffsetsOnly) {
    for (const auto& [text, utc] : {std::pair{"2026-12-07", "2026-12-07T00:00:00+00:00"},
                                    {"2026-12-07 11:05", "2026-12-07T11:05:00+00:00"},
                                    {"2026-12-07T00:30:15-01:00", "2026-12-07T01:30:15+00:00"},
                                    {"2026-01-01T00:30+01:00", "2025-12-31T23:30:00+00:00"}})
        EXPECT_EQ(NormalizeSince(text).value_or("refused"), utc);
    for (const char* bad : {"2026-02-30", "2026-12-07T25:00", "07.12.2026", "2026-12-07junk"})
        EXPECT_FALSE(NormalizeSince(bad)) << bad;
}

// XDG, then home; on Windows the local application data, written as Windows does.
TEST(RecordStore, DefaultFileFollowsXdgThenHome) {
    const std::string home = "/home/u/.local/share/nodewright/records.sqlite";
    EXPECT_EQ(DefaultDatabasePath("/x/data", "/home/u"), "/x/data/nodewright/records.sqlite");
    EXPECT_EQ(DefaultDatabasePath("relative", "/home/u") + DefaultDatabasePath(nullptr, "/home/u") +
                  DefaultDatabasePath(nullptr, nullptr),
              home + home);
    EXPECT_EQ(WindowsDefaultDatabasePath("C:\\Users\\u\\AppData\\Local"),
              "C:\\Users\\u\\AppData\\Local\\Nodewright\\records.sqlite");
    EXPECT_EQ(WindowsDefaultDatabasePath("\\\\srv\\home\\") + WindowsDefaultDatabasePath("Local") +
                  WindowsDefaultDatabasePath(nullptr),
              "\\\\srv\\home\\Nodewright\\records.sqlite");
}

// "Keep records": the window logic holds a recorder only while records are kept.
TEST(RecordKeeper, HandsTheLogicARecorderOnlyWhileKeeping) {
    const TempDir dir;
    nw::test::RecordingHost host;
    CSetupDlg dlg(host);
    CRecordKeeper keeper(dlg, dir.File("new/records.sqlite"), "9.9");
    std::string error;
    ASSERT_TRUE(keeper.Keep(true, error)) << error;
    EXPECT_NE(dlg.m_recorder, nullptr);
    EXPECT_TRUE(keeper.Keep(false, error));
    EXPECT_EQ(dlg.m_recorder, nullptr);
}

TEST(RecordFormat, CsvJsonAndTableShapes) {
    Record odd = Row("0001950A0B01", "2026-12-07T11:05:00+00:00");
    odd.id = 7;
    odd.step.name = "say \"hi\", then\r\nbye \xff";
    odd.step.verification = "two\nlines";
    const std::vector<Record> rows = {odd, Row("0001950A0B02", "2026-12-07T11:06:00+00:00")};

    EXPECT_EQ(
        FormatRecords(rows, RecordFormat::Csv),
        "id,run_id,time,version,port,role,address,name,operation,settings,verification,"
        "outcome\r\n7,r,2026-12-07T11:05:00+00:00,1.0,/dev/ttyUSB0,slave1,0001950A0B01,"
        "\"say \"\"hi\"\", then\r\nbye \xff\",wizard-slave,S46=0001950A0B00;MODE=2;S10=1,"
        "\"two\nlines\",succeeded\r\n0,r,2026-12-07T11:06:00+00:00,1.0,/dev/ttyUSB0,slave1,"
        "0001950A0B02,OLMA-S1,wizard-slave,S46=0001950A0B00;MODE=2;S10=1,verified,succeeded\r\n");

    const auto json = nlohmann::json::parse(FormatRecords(rows, RecordFormat::Json));
    ASSERT_EQ(json.size(), 2u);
    EXPECT_EQ(json[0]["id"], 7);
    EXPECT_EQ(json[0]["name"], "say \"hi\", then\r\nbye \xEF\xBF\xBD"); // U+FFFD
    EXPECT_EQ(json[1].size(), kColumns.size());

    // Every column starts where its heading does.
    Record wide = rows[1];
    wide.step.name = "ÅÄÖ";
    std::istringstream table(FormatRecords({wide, Row("B", "T")}, RecordFormat::Table));
    std::string head, first, second;
    std::getline(std::getline(std::getline(table, head), first), second);
    EXPECT_EQ(second.find("wizard-slave"), head.find("operation"));
    EXPECT_EQ(first.find("wizard-slave"), head.find("operation") + 3); // 3 two-byte letters
}

} // namespace
} // namespace nw::records::test
