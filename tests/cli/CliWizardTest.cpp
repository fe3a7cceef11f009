// The wizard driven line by line, adapters switched between presses as a user would:
// what each press prints, which words press which (enabled) buttons, the exit status.
#include "CliFixture.h"

#include <cstring>

namespace nw::cli::test {
namespace {

constexpr char kMasterNext[] = "Connect master to the serial port and push next button.\n";
constexpr char kMasterStart[] = "Connect master to the serial port and push start button.\n";
constexpr char kSetting[] = "Setting now. Wait please.\n";
constexpr char kSlave1[] = "Connect slave1 to a serial device and push next button.\n";
constexpr char kSlave2[] = "Connect slave2 to a serial device and push start button.\n";
constexpr char kMasterLast[] = "Connect master to a serial device and push start button.\n";
constexpr char kComplete[] = "SUCCESS: Multi setting complete.\n";
constexpr char kRetry[] = "Can not found OLMA. Check and push retry button.\n";
constexpr char kReset[] = "SUCCESS: Factory reset\n";
constexpr char kTree[] = "1:3 network\n         [M]\n          |\n  +-------+-------+\n"
                         "  |       |       |\n [S1]    [S2]    [S3]\n";
constexpr char kTreeMaster[] = "1:3 network\n         [M]  <== attach the master\n          |\n"
                               "  +-------+-------+\n  |       |       |\n [S1]    [S2]    [S3]\n";
const std::string kToTheMasterStep = std::string(kMasterNext) + kSetting + kSlave1 + kSetting +
                                     kSlave2 + kSetting + kMasterLast + kSetting;

struct Case {
    const char* name;
    std::string args;
    // "who:line|who:line..": the adapter attached before the line is read
    // ("" none, "-" as it was) and the line.
    std::string lines;
    int code;
    std::string out;
    std::string err;
    std::size_t linesRead;
    int masterS53 = -1; // and S10, checked with the network once it is set
    int masterS10 = -1;
    bool terminal = false;
    int unplugInLastPress = 0; // the line vanishes after this pause of the last press
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Case kCases[] = {
    {"OneToTwo", "", "master:|master:next|slave1:|slave2:next|master:", 0,
     kToTheMasterStep + kComplete, "", 5, 1, 1},
    // A retry, a restart, a word that is none, a reset mid-run, a check,
    // and nothing read after "quit".
    {"RetriesRestartsResets", "--mode node-switching --disable-response",
     ":|master:next|-:restart|-:bogus|-:  next \r|-:|-:reset|-:check|-:|slave1:|slave2:|master:|-:"
     "quit|-:next",
     0,
     std::string(kRetry) + kMasterNext + kMasterStart + kMasterNext + kSetting + kSlave1 + kReset +
         Report(0) + kReset + kToTheMasterStep.substr(std::strlen(kMasterNext)) + kComplete,
     "unknown wizard command: bogus (next, restart, reset, check, quit)\n", 13, 2, 0},
    {"EndsBeforeCompletion", "--n 3", "master:|master:", 1,
     std::string(kMasterNext) + kSetting + kSlave1, "", 2},
    // Restart is disabled until Start was pressed; a failure pressed again
    // prints its (unchanged) message again.
    {"OnlyEnabledButtons", "", "master:restart|:|-:", 1, std::string(kRetry) + kRetry,
     "restart: the button is not available now\n", 3},
    {"PicturesOnATerminal", "--n 3", "master:", 1, std::string(kTree) + kTreeMaster + kMasterNext,
     "", 1, -1, -1, true},
    // Each adapter read back after its step; a Check on slave2 mid-run gave
    // the slaves slave2's address, which the master step finds out.
    {"VerifyCatchesACheckMidRun", "--verify", "master:|master:|slave1:|slave2:check|-:|master:", 1,
     std::string(kMasterNext) + kSetting + kSlave1 + kSetting + kSlave2 + Report(2) + kSlave2 +
         kSetting + kMasterLast + kSetting +
         "NOT VERIFIED: this is not the master the slaves were given (0001950A0B02). Check and "
         "push retry button.\n",
     "", 6},
    // The master step: detection 2, report 3, then S46.
    {"LineVanishesInTheMasterStep", "", "master:|master:|slave1:|slave2:|master:", 1,
     kToTheMasterStep + "reterror\n" + kRetry, "", 5, -1, -1, false, 6},
};

class CliWizard : public CliBench, public ::testing::WithParamInterface<Case> {};

TEST_P(CliWizard, PressesAndPrints) {
    const Case& c = GetParam();
    int pauses = 0;
    onPause = [&](std::uint32_t) {
        if (lastPress && ++pauses == c.unplugInLastPress)
            bench.Stop();
    };
    env.stdoutIsTerminal = c.terminal;
    const CliRun r = Wizard(c.args, c.lines);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(linesRead, c.linesRead);
    if (c.masterS53 >= 0) {
        EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
        EXPECT_EQ(bench.StateOf("master").s53, c.masterS53);
        EXPECT_EQ(bench.StateOf("master").s10, c.masterS10);
    }
}

INSTANTIATE_TEST_SUITE_P(Runs, CliWizard, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace nw::cli::test
