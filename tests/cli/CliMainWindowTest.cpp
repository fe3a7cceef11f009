// The main window's commands (check, detect, reset, ports) and the port
// options, run in-process against the simulated bench.
#include "CliFixture.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <termios.h>
#include <unistd.h>

namespace nw::cli::test {
namespace {

using sim::CSimAdapter;

constexpr char kNoAdapterQuery[] = "at\r\nats10?\r\n+++ats10?\r\n";

TEST_F(CliBench, CliCheckPrintsTheReportTheLinkWarningOrNotDetected) {
    ASSERT_TRUE(bench.Attach("master"));
    CliRun r = Run({"check"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, kMasterReport);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.sent, "at\r\nat+btinfo?\r\nato\r\n");

    // An adapter in a link: the message area speaks first.
    With("master", [](CSimAdapter& a) { a.SetLinked(); });
    r = Run({"check"});
    EXPECT_EQ(r.code, 0);
    std::string report = kMasterReport;
    report.replace(report.find("STANDBY"), 7, "CONNECT");
    EXPECT_EQ(r.out,
              "OLMA is connected other device. Try disconnect and factory reset.\n" + report);

    bench.Detach();
    r = Run({"check"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "OLMA Not detected.\n");
    EXPECT_EQ(r.sent, kNoAdapterQuery);
}

TEST_F(CliBench, CliCheckJsonCarriesTheReportValues) {
    ASSERT_TRUE(bench.Attach("master"));
    CliRun r = Run({"--json", "check"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "{\"ok\":true,\"detected\":true,\"name\":\"OLMA-M\",\"address\":\"0001950A0B00\","
              "\"mode\":\"MODE0\",\"flowControl\":\"OFF\",\"status\":\"STANDBY\","
              "\"authentication\":\"OFF\",\"encryption\":\"OFF\","
              "\"commandResponse\":\"ON\",\"report\":\"Friendly Name: OLMA-M\\n"
              "Bluetooth Address: 0001950A0B00\\nMode: MODE0\\nFlowControl: OFF\\n"
              "Status: STANDBY\\nAuthentication: OFF\\nEncryption: OFF\\n"
              "Command Response: ON\"}\n");
    EXPECT_EQ(r.err, kMasterReport); // what the window shows moves off stdout

    // A description the report cannot read: "?" values, no encryption line, and
    // a name that needs escaping.
    With("master", [](CSimAdapter& a) {
        a.Fault().scripted["at+btinfo?"] = "\r\n0001950A0B00,Q\"\\\x01,X\r\n";
    });
    r = Run({"--json", "check"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "{\"ok\":true,\"detected\":true,\"name\":\"Q\\\"\\\\\\u0001\",\"address\":"
                     "\"0001950A0B00\",\"mode\":\"?\",\"flowControl\":\"?\",\"status\":\"?\","
                     "\"authentication\":\"?\",\"encryption\":null,\"commandResponse\":\"ON\","
                     "\"report\":\"Friendly Name: Q\\\"\\\\\\u0001\\nBluetooth Address: "
                     "0001950A0B00\\nMode: ?\\nFlowControl: ?\\nStatus: ?\\nAuthentication: ?\\n"
                     "Command Response: ON\"}\n");

    bench.Detach();
    r = Run({"check", "--json"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "{\"ok\":false,\"detected\":false}\n");
    EXPECT_EQ(r.err, "OLMA Not detected.\n");
}

TEST_F(CliBench, CliDetectReportsEachOutcomeInTextAndJson) {
    struct Case {
        const char* who;
        bool multi;
        int code;
        const char* text;
        const char* json;
        const char* sent;
    };
    const Case cases[] = {
        {"master", true, 0, "OLMA detected.\n",
         "{\"ok\":true,\"detected\":true,\"multiConnection\":true}\n",
         "at\r\nat+btinfo?\r\nats53?\r\n"},
        {"slave1", false, 1, "This OLMA is not support multiple connection mode.\n",
         "{\"ok\":false,\"detected\":true,\"multiConnection\":false}\n",
         "at\r\nat+btinfo?\r\nats53?\r\n"},
        {"", true, 1, "OLMA Not detected.\n",
         "{\"ok\":false,\"detected\":false,\"multiConnection\":null}\n",
         "at\r\nats10?\r\n+++ats10=1\r\n"},
    };
    for (const Case& c : cases) {
        if (*c.who == '\0')
            bench.Detach();
        else
            ASSERT_TRUE(bench.Attach(c.who));
        if (!c.multi)
            With(c.who, [](CSimAdapter& a) { a.State().multiSupport = false; });
        const CliRun text = Run({"detect"});
        EXPECT_EQ(text.code, c.code) << c.who;
        EXPECT_EQ(text.out, c.text) << c.who;
        EXPECT_EQ(text.sent, c.sent) << c.who;
        const CliRun json = Run({"detect", "--json"});
        EXPECT_EQ(json.code, c.code) << c.who;
        EXPECT_EQ(json.out, c.json) << c.who;
    }
}

TEST_F(CliBench, CliResetEndsInTheMessageAreaOrTheBox) {
    ASSERT_TRUE(bench.Attach("slave2"));
    With("slave2", [](CSimAdapter& a) { a.State().mode = 2; });
    CliRun r = Run({"reset"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "SUCCESS: Factory reset\n");
    EXPECT_EQ(r.sent, "at\r\nat&f\r\nat\r\nat+btinfo?\r\nato\r\n");
    EXPECT_EQ(State("slave2").mode, 0);

    With("slave2", [](CSimAdapter& a) { a.Fault().scripted["at&f"] = "\r\nERROR\r\n"; });
    r = Run({"reset"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "ERROR: Factory reset\n");
    EXPECT_EQ(r.sent, "at\r\nat&f\r\n");

    bench.Detach();
    r = Run({"reset"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "ERROR: Factory reset\n");
    EXPECT_EQ(r.sent, "at\r\nats10?\r\n+++ats10=1\r\n");
}

TEST_F(CliBench, CliPortThatCannotOpenIsExitTwoWithTheReasonOnStderr) {
    const CliRun r = RunArgs({"check", "-p", "/nonexistent/olma"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "ERROR: Serial Port Open\n");
    EXPECT_NE(r.err.find("/nonexistent/olma"), std::string::npos) << r.err;
    EXPECT_EQ(r.sent, "");
}

TEST_F(CliBench, CliLineOptionsReachThePort) {
    ASSERT_TRUE(bench.Attach("master"));
    const CliRun r = Run({"-b", "19200", "--parity", "odd", "--stop-bits", "2", "detect"});
    EXPECT_EQ(r.code, 0);
    // The terminal keeps the settings the port gave it.
    const int fd = ::open(bench.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&t), B19200);
    // (A pseudo-terminal keeps PARODD but drops PARENB.)
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), PARODD | CSTOPB);
}

TEST_F(CliBench, CliTraceSpellsEveryChunkWithItsTime) {
    ASSERT_TRUE(bench.Attach("master"));
    env.elapsedMs = [] { return 412.3; };
    const CliRun r = Run({"--trace", "detect"});
    EXPECT_EQ(r.out, "OLMA detected.\n");
    std::istringstream lines(r.err);
    std::vector<std::string> written;
    std::string read; // the reader may cut replies anywhere: compare them joined
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.substr(0, 13), "    412.3 ms ") << line;
        if (line.substr(13, 3) == "TX ")
            written.push_back(line.substr(16));
        else if (line.substr(13, 3) == "RX ")
            read += line.substr(16);
        else
            ADD_FAILURE() << line;
    }
    EXPECT_EQ(written,
              (std::vector<std::string>{"at<CR><LF>", "at+btinfo?<CR><LF>", "ats53?<CR><LF>"}));
    EXPECT_EQ(read, "<CR><LF>OK<CR><LF>"
                    "<CR><LF>0001950A0B00,OLMA-M,MODE0,STANDBY,NoFC,0,0<CR><LF><CR><LF>OK<CR><LF>"
                    "<CR><LF>0<CR><LF><CR><LF>OK<CR><LF>");
}

TEST_F(CliBench, CliPortsListsTheFriendlyNames) {
    namespace fs = std::filesystem;
    std::string dir = (fs::temp_directory_path() / "nw_cli_ports_XXXXXX").string();
    ASSERT_NE(::mkdtemp(dir.data()), nullptr);
    for (const char* name : {"rfcomm1", "rfcomm0"}) {
        fs::create_directories(fs::path(dir) / "sys/class/tty" / name);
        fs::create_directories(fs::path(dir) / "dev");
        std::ofstream(fs::path(dir) / "dev" / name) << "";
    }
    env.sysRoot = dir + "/sys";
    env.devRoot = dir + "/dev";
    CliRun r = RunArgs({"ports"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, dir + "/dev/rfcomm0\n" + dir + "/dev/rfcomm1\n");
    fs::remove_all(dir);
    r = RunArgs({"ports"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
}

} // namespace
} // namespace nw::cli::test
