// The Manual Setting window's commands (master, slave, reset --manual,
// autofill): the opening report, the button's output and exit status, and
// the bytes the adapter received.
#include "CliFixture.h"

#include "app/cli/PictureArt.h"

namespace nw::cli::test {
namespace {

using sim::CSimAdapter;

constexpr char kOpening[] = "at\r\nat+btinfo?\r\n"; // the report the window opens with
constexpr char kDetect[] = "at\r\nat+btinfo?\r\n";
constexpr char kNotFound[] = "Can not found OLMA...\n";

std::string Report(int who, const char* mode = "MODE0", const char* status = "STANDBY",
                   const char* response = "ON") {
    const std::string name = who == 0 ? "OLMA-M" : "OLMA-S" + std::to_string(who);
    return "Friendly Name: " + name + "\nBluetooth Address: 0001950A0B0" + std::to_string(who) +
           "\nMode: " + mode + "\nFlowControl: OFF\nStatus: " + status +
           "\nAuthentication: OFF\nEncryption: OFF\nCommand Response: " + response + "\n";
}

TEST_F(CliBench, CliMasterWritesTheTypedSlavesAndPrintsBothReports) {
    ASSERT_TRUE(bench.Attach("master"));
    CliRun r = Run({"master", "--slave1", "0001950A0B01", "--slave2", "0001950A0B02"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Report(0) + Report(0, "MODE1", "PENDING") + "Master setting success.\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.sent, std::string(kOpening) + kDetect + "ats53?\r\n" +
                          "ATS46=0001950A0B01\r\nATS54=0001950A0B02\r\n"
                          "ats55=000000000000\r\nats56=000000000000\r\n"
                          "at+btmode,1\r\nats53=1\r\nats10=1\r\n");

    // Mode click, response box, four slaves; the main window's 1:4 overview
    // is drawn on a terminal.
    env.stdoutIsTerminal = true;
    r = Run({"master", "--slave4", "0001950A0B04", "--slave3", "0001950A0B03", "--slave2",
             "0001950A0B02", "--slave1", "0001950A0B01", "--mode", "node-switching",
             "--disable-response"});
    EXPECT_EQ(r.code, 0);
    // The window shows the overview, then its refreshed report, then the box.
    const std::string overview = "1:4 network\n";
    ASSERT_NE(r.out.find(overview), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(r.out.find(overview)),
              overview + DrawPicturePage(129).substr(overview.size()) + "\n" +
                  Report(0, "MODE1", "PENDING", "OFF") + "Master setting success.\n");
    const sim::AdapterState s = State("master");
    EXPECT_EQ(s.s56, "0001950A0B04");
    EXPECT_EQ(s.s53, 2);
    EXPECT_EQ(s.s10, 0);
}

TEST_F(CliBench, CliMasterFailuresEndInTheWindowsBoxWithExitOne) {
    ASSERT_TRUE(bench.Attach("master"));
    struct Case {
        std::vector<std::string> args;
        const char* box;
    };
    const Case validation[] = {
        {{"--slave1", "0001950A0B01"}, "ERROR: Check more use button."},
        {{"--slave1", "0001950A0B0", "--slave2", "0001950A0B02"}, "ERROR: Slave1 BD address"},
        {{"--slave1", "0001950A0B01", "--slave2", "0001950A0B020"}, "ERROR: Slave2 BD address"},
    };
    for (const Case& c : validation) {
        std::vector<std::string> args{"master"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliRun r = Run(args);
        EXPECT_EQ(r.code, 1) << c.box;
        EXPECT_EQ(r.out, Report(0) + c.box + "\n");
        EXPECT_EQ(r.sent, kOpening) << c.box; // nothing beyond the opening report
    }

    const std::vector<std::string> two{"master", "--slave1", "0001950A0B01", "--slave2",
                                       "0001950A0B02"};
    With("master", [](CSimAdapter& a) { a.State().multiSupport = false; });
    CliRun r = Run(two);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, Report(0) + "This OLMA is not support multiple connection mode.\n");

    bench.Detach();
    r = Run(two);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kNotFound) + "ERROR: Factory reset and check OLMA.\n");
}

TEST_F(CliBench, CliSlaveWritesTheMasterAddressOrFails) {
    ASSERT_TRUE(bench.Attach("slave1"));
    CliRun r = Run({"slave", "--master", "0001950A0B00"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Report(1) + Report(1, "MODE2", "PENDING") + "Slave setting success.\n");
    EXPECT_EQ(r.sent, std::string(kOpening) + kDetect +
                          "ATS46=0001950A0B00\r\nats53?\r\nat+btmode,2\r\nats10=1\r\natz\r\n");
    EXPECT_EQ(State("slave1").s46, "0001950A0B00");

    for (const char* wrong : {"0001950A0B0", "0001950A0B000"}) {
        r = Run({"slave", "--master", wrong});
        EXPECT_EQ(r.code, 1) << wrong;
        EXPECT_EQ(r.out.substr(r.out.size() - 25), "ERROR: Master BD address\n");
        EXPECT_EQ(r.sent, kOpening);
    }

    bench.Detach();
    r = Run({"slave", "--master", "0001950A0B00", "--disable-response"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kNotFound) + "ERROR: Check OLMA.\n");
}

TEST_F(CliBench, CliManualResetPrintsTheRefreshedReportOrFails) {
    ASSERT_TRUE(bench.Attach("slave4"));
    With("slave4", [](CSimAdapter& a) { a.State().mode = 2; });
    CliRun r = Run({"reset", "--manual"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Report(4, "MODE2") + Report(4));
    EXPECT_EQ(r.sent, std::string(kOpening) + "at\r\nat&f\r\n" + kOpening);

    // The adapter is gone by the time the window reads it again.
    int longPauses = 0;
    pacer.onPause = [&](std::uint32_t ms) {
        if (ms == 2000 && ++longPauses == 2)
            bench.Detach();
    };
    r = Run({"reset", "--manual"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, Report(4) + kNotFound);

    r = Run({"reset", "--manual"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kNotFound) + "ERROR: Factory reset\n");
}

TEST_F(CliBench, CliAutoFillPrintsWhatItReadInTextAndJson) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) {
        a.State().s46 = "0001950A0B01";
        a.State().s55 = "0001950A0B03";
        a.State().s53 = 2;
    });
    CliRun r = Run({"autofill"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, Report(0) +
                         "Slave1: 0001950A0B01\nSlave2: 000000000000\nSlave3: 0001950A0B03\n"
                         "Slave4: 000000000000\n"
                         "Disable (OK, ERROR, CONNET, DISCONNET Message): off\n"
                         "Mode: Node Switching Mode\n");
    EXPECT_EQ(r.sent, std::string(kOpening) +
                          "at\r\nats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n");

    With("master", [](CSimAdapter& a) {
        a.State().s53 = 1;
        a.State().s10 = 0;
    });
    r = Run({"autofill", "--json"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"ok\":true,\"slaves\":[\"0001950A0B01\",\"000000000000\",\"0001950A0B03\","
                     "\"000000000000\"],\"use\":[true,false,true,false],"
                     "\"disableResponse\":true,\"mode\":\"multi-drop\",\"unread\":[]}\n");
    EXPECT_NE(r.err.find("Command Response: OFF"), std::string::npos) << r.err;

    bench.Detach();
    r = Run({"autofill"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, std::string(kNotFound) + "ERROR: Factory reset and check OLMA.\n");
}

} // namespace
} // namespace nw::cli::test
