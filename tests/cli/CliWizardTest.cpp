// The wizard driven line by line, with the bench's adapters switched between
// presses as a user would attach them.
#include "CliFixture.h"

#include <cstring>

namespace nw::cli::test {
namespace {

constexpr char kConnectMasterNext[] = "Connect master to the serial port and push next button.\n";
constexpr char kSettingNow[] = "Setting now. Wait please.\n";
constexpr char kConnectSlave1[] = "Connect slave1 to a serial device and push next button.\n";
constexpr char kConnectSlave2[] = "Connect slave2 to a serial device and push start button.\n";
constexpr char kConnectMasterLast[] = "Connect master to a serial device and push start button.\n";
constexpr char kComplete[] = "SUCCESS: Multi setting complete.\n";
constexpr char kCanNotFoundRetry[] = "Can not found OLMA. Check and push retry button.\n";

class CliWizard : public CliBench {
  protected:
    // A line typed once `who` is attached ("" none, "-" leave the line as it is).
    ScriptedInput::Line Line(const std::string& who, const std::string& text) {
        return {[this, who] {
                    pressBytes.push_back(Sent(true));
                    if (who.empty()) {
                        bench.Detach();
                    } else if (who != "-") {
                        EXPECT_TRUE(bench.Attach(who)) << who;
                    }
                },
                text};
    }
    CliRun RunWizard(std::vector<std::string> args, std::vector<ScriptedInput::Line> lines) {
        ScriptedInput script(std::move(lines));
        std::istream in(&script);
        args.insert(args.begin(), "wizard");
        return Run(args, &in);
    }

    std::vector<std::string> pressBytes; // what the adapters received before each line
};

TEST_F(CliWizard, CliWizardOneToTwoFormsTheNetwork) {
    const CliRun r = RunWizard({}, {Line("master", ""), Line("master", "next"), Line("slave1", ""),
                                    Line("slave2", "next"), Line("master", "")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, std::string(kConnectMasterNext) + kSettingNow + kConnectSlave1 + kSettingNow +
                         kConnectSlave2 + kSettingNow + kConnectMasterLast + kSettingNow +
                         kComplete);
    EXPECT_EQ(r.err, "");
    pressBytes.push_back(r.sent);
    const std::string detect = "at\r\nat+btinfo?\r\n";
    const std::string report = "at\r\nat+btinfo?\r\nato\r\n";
    const std::string slave =
        "ATS46=0001950A0B00\r\nat+btcancel\r\nat+btmode,2\r\nats10=1\r\natz\r\n";
    EXPECT_EQ(pressBytes,
              (std::vector<std::string>{
                  "", detect + "ats53?\r\n", detect + report, detect + report + slave,
                  detect + report + slave,
                  detect + report +
                      "ATS46=0001950A0B01\r\nATS54=0001950A0B02\r\nats55=000000000000\r\n"
                      "ats56=000000000000\r\nat+btcancel\r\nat+btmode,1\r\nats10=1\r\n"
                      "ats53=1\r\n"}));
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
}

TEST_F(CliWizard, CliWizardRetriesRestartsAndResetsMidRun) {
    const CliRun r =
        RunWizard({"--mode", "node-switching", "--disable-response"},
                  {Line("", ""), Line("master", "next"), Line("-", "restart"), Line("-", "bogus"),
                   Line("-", "  next \r"), Line("-", ""), Line("-", "reset"), Line("-", "check"),
                   Line("-", ""), Line("slave1", ""), Line("slave2", ""), Line("master", ""),
                   Line("-", "quit"), Line("-", "next")});
    EXPECT_EQ(r.code, 0);
    std::string report = kMasterReport;
    EXPECT_EQ(r.out, std::string("Can not found OLMA. Check and push retry button.\n") +
                         kConnectMasterNext +
                         "Connect master to the serial port and push start button.\n" +
                         kConnectMasterNext + kSettingNow + kConnectSlave1 +
                         "SUCCESS: Factory reset\n" + report + "SUCCESS: Factory reset\n" +
                         kSettingNow + kConnectSlave1 + kSettingNow + kConnectSlave2 + kSettingNow +
                         kConnectMasterLast + kSettingNow + kComplete);
    EXPECT_EQ(r.err, "unknown wizard command: bogus (next, restart, reset, check, quit)\n");
    EXPECT_EQ(pressBytes.size(), 13u); // nothing was read after "quit"
    EXPECT_EQ(bench.NetworkVerdict().rfind("network: OK", 0), 0u) << bench.NetworkVerdict();
    const sim::AdapterState m = State("master");
    EXPECT_EQ(m.s53, 2);
    EXPECT_EQ(m.s10, 0);
    EXPECT_EQ(State("slave2").s10, 0);
}

TEST_F(CliWizard, CliWizardEndingBeforeCompletionIsExitOne) {
    const CliRun r = RunWizard({"--n", "3"}, {Line("master", ""), Line("master", "")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kConnectMasterNext) + kSettingNow + kConnectSlave1);
}

TEST_F(CliWizard, CliWizardPressesOnlyWhatIsEnabledAndEachPrintsItsMessage) {
    // Restart is disabled until Start was pressed; a failure pressed again
    // prints its (unchanged) message again.
    const CliRun r = RunWizard({}, {Line("master", "restart"), Line("", ""), Line("-", "")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kCanNotFoundRetry) + kCanNotFoundRetry);
    EXPECT_EQ(r.err, "restart: the button is not available now\n");
    EXPECT_EQ(pressBytes[1], ""); // the restart sent nothing
}

TEST_F(CliWizard, CliWizardWhoseLineVanishesInTheMasterStepFailsIt) {
    int pauses = 0;
    auto unplugInMasterStep = [&] {
        EXPECT_TRUE(bench.Attach("master"));
        pacer.onPause = [&](std::uint32_t) {
            if (++pauses == 6) // detection 2, report 3, then S46
                bench.Stop();
        };
    };
    const CliRun r = RunWizard({}, {Line("master", ""),
                                    Line("master", ""),
                                    Line("slave1", ""),
                                    Line("slave2", ""),
                                    {unplugInMasterStep, ""}});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Count(r.out, "reterror"), 1u);
    EXPECT_EQ(Count(r.out, kComplete), 0u);
    EXPECT_EQ(r.out.substr(r.out.size() - std::strlen(kCanNotFoundRetry)), kCanNotFoundRetry);
}

TEST_F(CliWizard, CliWizardDrawsThePicturesOnATerminal) {
    env.stdoutIsTerminal = true;
    const CliRun r = RunWizard({"--n", "3"}, {Line("master", "")});
    EXPECT_EQ(r.out, "1:3 network\n"
                     "         [M]\n"
                     "          |\n"
                     "  +-------+-------+\n"
                     "  |       |       |\n"
                     " [S1]    [S2]    [S3]\n"
                     "1:3 network\n"
                     "         [M]  <== attach the master\n"
                     "          |\n"
                     "  +-------+-------+\n"
                     "  |       |       |\n"
                     " [S1]    [S2]    [S3]\n" +
                         std::string(kConnectMasterNext));
}

} // namespace
} // namespace nw::cli::test
