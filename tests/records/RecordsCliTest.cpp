// nodewright-cli --record against the bench: the rows master, slave, verify and a
// wizard run leave, read back by the records command; then an unopenable database.
#include "cli/CliFixture.h"

#include <nlohmann/json.hpp>

namespace nw::cli::test {
namespace {

class RecordsCli : public CliBench {};

TEST_F(RecordsCli, MasterSlaveVerifyAndWizardLeaveTheirRows) {
    const TempDir dir;
    const std::string db = dir.File("records.sqlite"), record = "--record --db " + db + " ";
    ASSERT_TRUE(bench.Attach("master"));
    EXPECT_EQ(Run(Words(record + "master --slave1 0001950A0B01 --slave2 0001950A0B02")).code, 0);
    ASSERT_TRUE(bench.Attach("slave1"));
    bench.With("slave1", [](sim::CSimAdapter& a) { a.State().s53 = 2; }); // a former master
    EXPECT_EQ(Run(Words(record + "slave --master 0001950A0B00 --disable-response")).code, 0);
    EXPECT_EQ(Run(Words(record + "verify slave --master 0001950A0B00")).code, 3);
    const CliRun w = Wizard(record, "master:next|master:next|slave1:next|slave2:next|master:next");
    EXPECT_EQ(w.code, 0);

    const CliRun listed = RunArgs({"--db", db, "records", "--format", "json"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    const auto rows = nlohmann::json::parse(listed.out);
    const std::string masterSet = "S46=0001950A0B01;S54=0001950A0B02;S55=000000000000;"
                                  "S56=000000000000;MODE=1;S53=1;S10=1||succeeded";
    const std::string slaveSet = "S46=0001950A0B00;MODE=2;S10=1||succeeded";
    const std::vector<std::string> expected = {
        // role|address|name|operation|settings|verification|outcome
        "master|0001950A0B00|OLMA-M|master|" + masterSet,
        "slave|0001950A0B01|OLMA-S1|slave|S46=0001950A0B00;S53=0;MODE=2;S10=0||succeeded",
        "slave|0001950A0B01|OLMA-S1|verify||1 field(s) differ: S10|failed: 1 field(s) differ: S10",
        "master|||wizard-detect|||succeeded",
        "master|0001950A0B00|OLMA-M|wizard-read|||succeeded",
        "slave1|0001950A0B01|OLMA-S1|wizard-slave|" + slaveSet,
        "slave2|0001950A0B02|OLMA-S2|wizard-slave|" + slaveSet,
        "master|0001950A0B00|OLMA-M|wizard-master|" + masterSet,
    };
    std::vector<std::string> got;
    for (const auto& row : rows) {
        EXPECT_EQ(row["port"], bench.Path());
        std::string cells;
        for (const char* key :
             {"role", "address", "name", "operation", "settings", "verification", "outcome"})
            cells += (cells.empty() ? "" : "|") + row[key].get<std::string>();
        got.push_back(cells);
    }
    EXPECT_EQ(got, expected) << listed.out;
    // One run id per operation; the wizard's steps share theirs.
    for (std::size_t k = 1; k < rows.size(); ++k)
        EXPECT_EQ(rows[k]["run_id"] == rows[k - 1]["run_id"], k > 3) << k;

    dir.Add("plain=not a directory"); // a database that cannot be opened: nothing sent
    const CliRun r = Run({"--record", "--db", dir.File("plain/records.sqlite"), "check"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.sent, "");
    EXPECT_NE(r.err.find("--record: records database"), std::string::npos) << r.err;
}

} // namespace
} // namespace nw::cli::test
