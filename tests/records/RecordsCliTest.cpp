// nodewright-cli --record against the simulated bench: the rows master,
// slave, verify and a whole wizard run leave, read back with the records
// command; and a database that cannot be opened leaves the adapter alone.
#include "RecordsTestSupport.h"
#include "cli/CliFixture.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace nw::cli::test {
namespace {

using records::test::TempDir;

constexpr char kMaster[] = "0001950A0B00";
constexpr char kSlave1[] = "0001950A0B01";
constexpr char kSlave2[] = "0001950A0B02";

class RecordsCli : public CliBench {
  protected:
    // The wizard with `who` attached before each press, one press per entry.
    CliRun Wizard(const std::vector<std::string>& args, std::vector<std::string> who) {
        std::size_t next = 0;
        ScriptedInput input([&]() -> std::optional<std::string> {
            if (next == who.size())
                return std::nullopt;
            WaitQuiet(true);
            EXPECT_TRUE(bench.Attach(who[next++]));
            return std::string("next");
        });
        std::istream in(&input);
        return Run(args, &in);
    }

    TempDir dir;
    const std::string db = dir.File("records.sqlite");
};

TEST_F(RecordsCli, MasterSlaveVerifyAndWizardLeaveTheirRows) {
    ASSERT_TRUE(bench.Attach("master"));
    const std::vector<std::string> record = {"--record", "--db", db};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), record.begin(), record.end());
        return args;
    };
    EXPECT_EQ(Run(with({"master", "--slave1", kSlave1, "--slave2", kSlave2})).code, 0);
    ASSERT_TRUE(bench.Attach("slave1"));
    bench.With("slave1", [](sim::CSimAdapter& a) { a.State().s53 = 2; }); // a former master
    EXPECT_EQ(Run(with({"slave", "--master", kMaster, "--disable-response"})).code, 0);
    EXPECT_EQ(Run(with({"verify", "slave", "--master", kMaster})).code, 3);
    EXPECT_EQ(Wizard(with({"wizard"}), {"master", "master", "slave1", "slave2", "master"}).code, 0);

    const CliRun listed = RunArgs({"--db", db, "records", "--format", "json"});
    ASSERT_EQ(listed.code, 0) << listed.err;
    const auto rows = nlohmann::json::parse(listed.out);
    const std::string s1 = std::string("S46=") + kSlave1 + ";S54=" + kSlave2;
    const struct {
        const char* role;
        std::string address;
        const char* operation;
        std::string settings;
        const char* verification;
        const char* outcome;
    } expected[] = {
        {"master", kMaster, "master", s1 + ";S55=000000000000;S56=000000000000;MODE=1;S53=1;S10=1",
         "", "succeeded"},
        {"slave", kSlave1, "slave", std::string("S46=") + kMaster + ";S53=0;MODE=2;S10=0", "",
         "succeeded"},
        {"slave", kSlave1, "verify", "", "1 field(s) differ: S10",
         "failed: 1 field(s) differ: S10"},
        {"master", "", "wizard-detect", "", "", "succeeded"},
        {"master", kMaster, "wizard-read", "", "", "succeeded"},
        {"slave1", kSlave1, "wizard-slave", std::string("S46=") + kMaster + ";MODE=2;S10=1", "",
         "succeeded"},
        {"slave2", kSlave2, "wizard-slave", std::string("S46=") + kMaster + ";MODE=2;S10=1", "",
         "succeeded"},
        {"master", kMaster, "wizard-master",
         s1 + ";S55=000000000000;S56=000000000000;MODE=1;S53=1;S10=1", "", "succeeded"},
    };
    ASSERT_EQ(rows.size(), std::size(expected)) << listed.out;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto& row = rows[k];
        const auto& e = expected[k];
        SCOPED_TRACE(row.dump());
        EXPECT_EQ(row["role"], e.role);
        EXPECT_EQ(row["address"], e.address);
        EXPECT_EQ(row["operation"], e.operation);
        EXPECT_EQ(row["settings"], e.settings);
        EXPECT_EQ(row["verification"], e.verification);
        EXPECT_EQ(row["outcome"], e.outcome);
        EXPECT_EQ(row["port"], bench.Path());
        // OLMA-M, OLMA-S1, OLMA-S2 by the address's last digit.
        const std::string digit = e.address.empty() ? "" : e.address.substr(11);
        EXPECT_EQ(row["name"], digit.empty() ? "" : digit == "0" ? "OLMA-M" : "OLMA-S" + digit);
    }
    // One run id per operation; the wizard's steps share theirs.
    for (std::size_t k = 1; k < rows.size(); ++k)
        EXPECT_EQ(rows[k]["run_id"] == rows[k - 1]["run_id"], k > 3) << k;
}

TEST_F(RecordsCli, ADatabaseThatCannotBeOpenedLeavesTheAdapterAlone) {
    std::ofstream(dir.File("plain")) << "not a directory";
    ASSERT_TRUE(bench.Attach("master"));
    const CliRun r = Run({"--record", "--db", dir.File("plain/records.sqlite"), "check"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.sent, "");
    EXPECT_NE(r.err.find("--record: records database"), std::string::npos) << r.err;
}

} // namespace
} // namespace nw::cli::test
