// Each window command end to end, one row each: the adapter as it is, the command
// line, then stdout, the exit status, the bytes the adapter received and stderr. The
// wizard driven line by line, adapters switched between presses as a user would.
#include "CliFixture.h"

#include "app/cli/PictureArt.h"

#include <cstring>

namespace nw::cli::test {
namespace {

using sim::CSimAdapter;

constexpr char kReportTx[] = "at\r\nat+btinfo?\r\nato\r\n";
constexpr char kOpening[] = "at\r\nat+btinfo?\r\n"; // the Manual Setting window's report
constexpr char kNotFound[] = "Can not found OLMA...\n";
constexpr char kAny[] = "\x01"; // not checked
constexpr char kSlaves12[] = "--slave1 0001950A0B01 --slave2 0001950A0B02";
// A name meant to retitle and clear the terminal, then a Greek letter.
constexpr char kWildName[] = "\x1b]0;owned\x07\x1b[2J\xc2\x9b\x7f\xce\xbb";
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

void Slaves(CSimAdapter& a) {
    a.State().s46 = "0001950A0B01";
    a.State().s55 = "0001950A0B03";
    a.State().s53 = 1;
}

struct Case {
    const char* name;
    const char* who; // the adapter attached, "" none
    void (*setup)(CSimAdapter&);
    std::string args; // after "-p PORT", split at spaces
    int code;
    std::string out;
    std::string sent = kAny;
    std::string err = kAny;
    int unplug = 0;         // the line vanishes after this pause (the wizard's: of its last press)
    bool terminal = false;  // stdout is a terminal
    std::string lines = ""; // the wizard's input, as CliBench::Wizard takes it
    std::size_t linesRead = 0;
    int masterS53S10 = -1; // the wizard's network formed, the master's S53 * 10 + S10
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Case kCases[] = {
    {"CheckReport", "master", nullptr, "check", 0, Report(0), kReportTx, ""},
    {"CheckNoAdapter", "", nullptr, "check", 1, "OLMA Not detected.\n",
     "at\r\nats10?\r\n+++ats10?\r\n"},
    {"CheckJson", "master", nullptr, "--json check", 0,
     "{\"ok\":true,\"detected\":true,\"name\":\"OLMA-M\",\"address\":\"0001950A0B00\","
     "\"mode\":\"MODE0\",\"flowControl\":\"OFF\",\"status\":\"STANDBY\","
     "\"authentication\":\"OFF\",\"encryption\":\"OFF\",\"commandResponse\":\"ON\","
     "\"report\":\"Friendly Name: OLMA-M\\nBluetooth Address: 0001950A0B00\\nMode: "
     "MODE0\\nFlowControl: OFF\\nStatus: STANDBY\\nAuthentication: OFF\\nEncryption: "
     "OFF\\nCommand Response: ON\"}\n",
     kReportTx, Report(0)},
    // "?" values, no encryption line, a name that needs escaping; stray bytes
    // and a cut sequence become U+FFFD.
    {"CheckJsonOfAnOddReport", "master",
     [](CSimAdapter& a) {
         a.Fault().scripted["at+btinfo?"] = "\r\n0001950A0B00,Q\"\\\x01\xff(\xe2\x82,X\r\n";
     },
     "--json check", 0,
     "{\"ok\":true,\"detected\":true,\"name\":\"Q\\\"\\\\\\u0001\xef\xbf\xbd(\xef\xbf\xbd\","
     "\"address\":\"0001950A0B00\",\"mode\":\"?\",\"flowControl\":\"?\",\"status\":\"?\","
     "\"authentication\":\"?\",\"encryption\":null,\"commandResponse\":\"ON\","
     "\"report\":\"Friendly Name: Q\\\"\\\\\\u0001\xef\xbf\xbd(\xef\xbf\xbd\\nBluetooth Address: "
     "0001950A0B00\\nMode: ?\\nFlowControl: ?\\nStatus: ?\\nAuthentication: ?\\nCommand "
     "Response: ON\"}\n"},
    // Answers "at" like any AT device, and ERROR to the information query.
    {"CheckDeviceWithoutAddress", "master",
     [](CSimAdapter& a) { a.Fault().scripted["at+btinfo?"] = "\r\nERROR\r\n"; }, "--json check", 1,
     "{\"ok\":false,\"detected\":false,\"report\":\"Friendly Name: \\nBluetooth Address: "
     "\\nMode: ?\\nFlowControl: ?\\nStatus: ?\\nAuthentication: ?\\nCommand Response: ON\"}\n"},
    // After "at", before the information query.
    {"CheckLineVanishes", "master", nullptr, "--json check", 1,
     "{\"ok\":false,\"detected\":false}\n", "at\r\n", "reterror\nOLMA Not detected.\n", 1},
    {"CheckNameToAPipe", "master", [](CSimAdapter& a) { a.State().name = kWildName; }, "check", 0,
     Report(0).replace(15, 6, kWildName)},
    {"CheckNameToATerminal", "master", [](CSimAdapter& a) { a.State().name = kWildName; }, "check",
     0, Report(0).replace(15, 6, "<1b>]0;owned<07><1b>[2J<c2><9b><7f>\xce\xbb"), kAny, kAny, 0,
     true},
    {"Detect", "master", nullptr, "detect", 0, "OLMA detected.\n",
     "at\r\nat+btinfo?\r\nats53?\r\n"},
    {"DetectNoMulti", "slave1", [](CSimAdapter& a) { a.State().multiSupport = false; }, "detect", 1,
     "This OLMA is not support multiple connection mode.\n"},
    {"DetectJsonNoMulti", "slave1", [](CSimAdapter& a) { a.State().multiSupport = false; },
     "--json detect", 1, "{\"ok\":false,\"detected\":true,\"multiConnection\":false}\n"},
    {"DetectNoAdapter", "", nullptr, "detect", 1, "OLMA Not detected.\n",
     "at\r\nats10?\r\n+++ats10=1\r\n"},
    {"DetectJsonNoAdapter", "", nullptr, "--json detect", 1,
     "{\"ok\":false,\"detected\":false,\"multiConnection\":null}\n"},
    {"Reset", "slave2", [](CSimAdapter& a) { a.State().mode = 2; }, "reset", 0, kReset,
     std::string("at\r\nat&f\r\n") + kReportTx},
    // The Manual Setting window's commands print its report first.
    {"Master", "master", nullptr, std::string("master ") + kSlaves12, 0,
     Report(0) + Report(0, "MODE1", "PENDING") + "Master setting success.\n",
     std::string(kOpening) + kOpening +
         "ats53?\r\nATS46=0001950A0B01\r\nATS54=0001950A0B02\r\nats55=000000000000\r\n"
         "ats56=000000000000\r\nat+btmode,1\r\nats53=1\r\nats10=1\r\n",
     ""},
    // The main window's 1:4 overview is drawn on a terminal.
    {"MasterOfFourOnATerminal", "master", nullptr,
     "master --slave4 0001950A0B04 --slave3 0001950A0B03 --slave2 0001950A0B02 --slave1 "
     "0001950A0B01 --mode node-switching --disable-response",
     0,
     Report(0) + DrawPicturePage(129) + "\n" + Report(0, "MODE1", "PENDING", "OFF") +
         "Master setting success.\n",
     std::string(kOpening) + kOpening +
         "ats53?\r\nATS46=0001950A0B01\r\nATS54=0001950A0B02\r\nATS55=0001950A0B03\r\n"
         "ATS56=0001950A0B04\r\nat+btmode,1\r\nats53=2\r\nats10=0\r\n",
     kAny, 0, true},
    {"MasterOfOne", "master", nullptr, "master --slave1 0001950A0B01", 1,
     Report(0) + "ERROR: Check more use button.\n", kOpening},
    {"MasterNoAdapter", "", nullptr, std::string("master ") + kSlaves12, 1,
     std::string(kNotFound) + "ERROR: Factory reset and check OLMA.\n"},
    {"Slave", "slave1", nullptr, "slave --master 0001950A0B00", 0,
     Report(1) + Report(1, "MODE2", "PENDING") + "Slave setting success.\n",
     std::string(kOpening) + kOpening +
         "ATS46=0001950A0B00\r\nats53?\r\nat+btmode,2\r\nats10=1\r\natz\r\n"},
    {"ManualReset", "slave4", [](CSimAdapter& a) { a.State().mode = 2; }, "reset --manual", 0,
     Report(4, "MODE2") + Report(4), std::string(kOpening) + "at\r\nat&f\r\n" + kOpening},
    {"AutoFill", "master", Slaves, "autofill", 0,
     Report(0) + "Slave1: 0001950A0B01\nSlave2: 000000000000\nSlave3: 0001950A0B03\nSlave4: "
                 "000000000000\nDisable (OK, ERROR, CONNET, DISCONNET Message): off\n"
                 "Mode: Multi-Drop Mode\n",
     std::string(kOpening) + "at\r\nats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n"},
    {"AutoFillJson", "master",
     [](CSimAdapter& a) {
         Slaves(a);
         a.State().s53 = 2;
         a.State().s10 = 0;
     },
     "autofill --json", 0,
     "{\"ok\":true,\"slaves\":[\"0001950A0B01\",\"000000000000\",\"0001950A0B03\","
     "\"000000000000\"],\"use\":[true,false,true,false],\"disableResponse\":true,"
     "\"mode\":\"node-switching\",\"unread\":[]}\n",
     kAny, Report(0, "MODE0", "STANDBY", "OFF")},
    // The report (3 pauses), the wake-up, S46.
    {"AutoFillLineVanishes", "master", Slaves, "--json autofill", 1, "{\"ok\":false}\n", kAny, kAny,
     5},
    // verify: reads only; 0 verified, 3 a field differs, 1 not found.
    {"VerifyMaster", "master", Slaves, "verify master --slave1 0001950a0b01 --slave3 0001950A0B03",
     3,
     "Mode: MODE0 expected MODE1\nS53: 1 ok\nS46: 0001950A0B01 ok\nS54: 000000000000 ok\n"
     "S55: 0001950A0B03 ok\nS56: 000000000000 ok\nS10: 1 ok\nNOT VERIFIED: 1 field(s) differ\n",
     std::string(kOpening) + "ats10?\r\nats53?\r\nats46?\r\nats54?\r\nats55?\r\nats56?\r\n"},
    {"VerifySlaveJson", "slave1",
     [](CSimAdapter& a) {
         a.State().mode = 2;
         a.State().s46 = "0001950A0B00";
     },
     "--json verify slave --master 0001950A0B00", 0,
     "{\"ok\":true,\"role\":\"slave\",\"fields\":[{\"name\":\"Mode\",\"value\":\"MODE2\","
     "\"expected\":\"MODE2\",\"ok\":true},{\"name\":\"S53\",\"value\":\"0\",\"expected\":\"0\","
     "\"ok\":true},{\"name\":\"S46\",\"value\":\"0001950A0B00\",\"expected\":\"0001950A0B00\","
     "\"ok\":true},{\"name\":\"S10\",\"value\":\"1\",\"expected\":\"1\",\"ok\":true}]}\n"},
    {"VerifyNoAdapter", "", nullptr, "verify slave --master 0001950A0B00", 1,
     "OLMA Not detected.\n"},
    {"WizardOneToTwo", "", nullptr, "", 0, kToTheMasterStep + kComplete, kAny, "", 0, false,
     "master:|master:next|slave1:|slave2:next|master:", 5, 11},
    // A retry, a restart, a word that is none, a reset mid-run, a check,
    // and nothing read after "quit".
    {"WizardRetriesRestartsResets", "", nullptr, "--mode node-switching --disable-response", 0,
     std::string(kRetry) + kMasterNext + kMasterStart + kMasterNext + kSetting + kSlave1 + kReset +
         Report(0) + kReset + kToTheMasterStep.substr(std::strlen(kMasterNext)) + kComplete,
     kAny, "unknown wizard command: bogus (next, restart, reset, check, quit)\n", 0, false,
     ":|master:next|-:restart|-:bogus|-:  next \r|-:|-:reset|-:check|-:|slave1:|slave2:|master:|-:"
     "quit|-:next",
     13, 20},
    {"WizardEndsBeforeCompletion", "", nullptr, "--n 3", 1,
     std::string(kMasterNext) + kSetting + kSlave1, kAny, "", 0, false, "master:|master:", 2},
    // Restart is disabled until Start was pressed; a failure pressed again
    // prints its (unchanged) message again.
    {"WizardOnlyEnabledButtons", "", nullptr, "", 1, std::string(kRetry) + kRetry, kAny,
     "restart: the button is not available now\n", 0, false, "master:restart|:|-:", 3},
    {"WizardPicturesOnATerminal", "", nullptr, "--n 3", 1,
     std::string(kTree) + kTreeMaster + kMasterNext, kAny, "", 0, true, "master:", 1},
    // Each adapter read back after its step; a Check on slave2 mid-run gave
    // the slaves slave2's address, which the master step finds out.
    {"WizardVerifyCatchesACheckMidRun", "", nullptr, "--verify", 1,
     std::string(kMasterNext) + kSetting + kSlave1 + kSetting + kSlave2 + Report(2) + kSlave2 +
         kSetting + kMasterLast + kSetting +
         "NOT VERIFIED: this is not the master the slaves were given (0001950A0B02). Check and "
         "push retry button.\n",
     kAny, "", 0, false, "master:|master:|slave1:|slave2:check|-:|master:", 6},
    // The master step: detection 2, report 3, then S46.
    {"WizardLineVanishesInTheMasterStep", "", nullptr, "", 1,
     kToTheMasterStep + "reterror\n" + kRetry, kAny, "", 6, false,
     "master:|master:|slave1:|slave2:|master:", 5},
};

class CliCommand : public CliBench, public ::testing::WithParamInterface<Case> {};

TEST_P(CliCommand, PrintsAndExits) {
    const Case& c = GetParam();
    if (*c.who != '\0') {
        ASSERT_TRUE(bench.Attach(c.who) && (!c.setup || bench.With(c.who, c.setup)));
    }
    env.stdoutIsTerminal = c.terminal;
    int pauses = 0;
    onPause = [&](std::uint32_t) {
        if ((c.lines.empty() || lastPress) && ++pauses == c.unplug)
            bench.Stop();
    };
    const CliRun r = c.lines.empty() ? Run(Words(c.args)) : Wizard(c.args, c.lines);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.code, c.code);
    EXPECT_EQ(r.sent, c.sent == kAny ? r.sent : c.sent);
    EXPECT_EQ(r.err, c.err == kAny ? r.err : c.err);
    EXPECT_EQ(linesRead, c.linesRead);
    if (c.masterS53S10 >= 0) {
        EXPECT_TRUE(bench.NetworkVerdict().starts_with("network: OK")) << bench.NetworkVerdict();
        EXPECT_EQ(bench.StateOf("master").s53 * 10 + bench.StateOf("master").s10, c.masterS53S10);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CliCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace nw::cli::test
