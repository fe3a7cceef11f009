// Each window command end to end, one row each: the adapter as it is, the command
// line, then stdout, the exit status, the bytes the adapter received and stderr.
#include "CliFixture.h"

#include "app/cli/PictureArt.h"

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
    int unplugAfterPause = 0; // the line vanishes after this pause
    bool terminal = false;    // stdout is a terminal
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
    {"Reset", "slave2", [](CSimAdapter& a) { a.State().mode = 2; }, "reset", 0,
     "SUCCESS: Factory reset\n", std::string("at\r\nat&f\r\n") + kReportTx},
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
};

class CliCommand : public CliBench, public ::testing::WithParamInterface<Case> {};

TEST_P(CliCommand, PrintsAndExits) {
    const Case& c = GetParam();
    if (*c.who != '\0') {
        ASSERT_TRUE(bench.Attach(c.who));
        if (c.setup) {
            ASSERT_TRUE(bench.With(c.who, c.setup));
        }
    }
    env.stdoutIsTerminal = c.terminal;
    int pauses = 0;
    onPause = [&](std::uint32_t) {
        if (++pauses == c.unplugAfterPause)
            bench.Stop();
    };
    const CliRun r = Run(Words(c.args));
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.code, c.code);
    if (c.sent != kAny) {
        EXPECT_EQ(r.sent, c.sent);
    }
    if (c.err != kAny) {
        EXPECT_EQ(r.err, c.err);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CliCommand, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace nw::cli::test
