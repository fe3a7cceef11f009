// What the front end adds around the operations: the command line, the port
// list, the line options, the trace, an output nobody can write.
#include "CliFixture.h"

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace nw::cli::test {
namespace {

TEST_F(CliBench, CliCommandLine) {
    ASSERT_TRUE(bench.Attach("master"));
    const std::string p = bench.Path();
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;
        const char* errHas; // usage errors: their reason after the usage line
    };
    const Case cases[] = {
        {{"check"}, 2, "", "--port is required"},
        {{}, 2, "", "A subcommand is required"},
        {{"-p", p, "frobnicate"}, 2, "", "unknown command: frobnicate"},
        {{"-p", p, "check", "--frob"}, 2, "", "--frob"},
        {{"-p", p, "-b", "9601", "check"}, 2, "", "--baud"},
        {{"-p", p, "-b", "", "check"}, 2, "", "--baud"},
        {{"-p", p, "--parity", "mark", "check"}, 2, "", "--parity"},
        {{"-p", p, "--stop-bits", "3", "check"}, 2, "", "--stop-bits"},
        {{"-p", p, "wizard", "--n", "5"}, 2, "", "--n"},
        {{"-p", p, "master", "--mode", "ring"}, 2, "", "--mode"},
        {{"-p", p, "slave"}, 2, "", "--master is required"},
        {{"-p", p, "master", "--slave1", "0001950A0B01", "--slave2", "0001950A0B0\x01"},
         2,
         "",
         "--slave2: control character"},
        {{"-p", p, "slave", "--master", "0001950A\r0B00"}, 2, "", "--master: control character"},
        {{"-p", p, "--pacing", "fast", "detect"}, 2, "", "--pacing"},
        {{"-p", p, "--profile", "/nonexistent/p.json", "detect"},
         2,
         "",
         "timing profile /nonexistent/p.json: cannot be read"},
        {{"check", "-p", "/nonexistent/olma"}, 2, "ERROR: Serial Port Open\n", "/nonexistent/olma"},
        {{"--version"}, 0, "nodewright-cli 1.0.0.1\n", ""},
        // Global options may follow the command.
        {{"detect", "--json", "--port", p, "-b", "9600"},
         0,
         "{\"ok\":true,\"detected\":true,\"multiConnection\":true}\n",
         ""},
    };
    for (const Case& c : cases) {
        const CliRun r = RunArgs(c.args);
        EXPECT_EQ(r.code, c.code) << c.errHas;
        EXPECT_EQ(r.out, c.out) << c.errHas;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        if (c.code == 2) {
            EXPECT_EQ(r.sent, "") << c.errHas;
            if (c.out.empty()) {
                EXPECT_EQ(r.err.rfind("Usage: nodewright-cli [OPTIONS] COMMAND", 0), 0u) << r.err;
            }
        }
    }

    using Args = std::vector<std::string>;
    for (const auto& [args, word] :
         {std::pair{Args{"--help"}, "autofill"}, std::pair{Args{"master", "--help"}, "--slave4"}}) {
        const CliRun r = RunArgs(args);
        EXPECT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("Usage: nodewright-cli"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(word), std::string::npos) << r.out;
        EXPECT_EQ(r.err, "");
    }
}

// The port list piped (names, as the port box shows them), on a terminal (a
// table) and as JSON; then --watch, fed by a monitor that reports a port
// plugged in and one pulled out.
TEST_F(CliBench, CliPortsListsAndWatches) {
    namespace fs = std::filesystem;
    const TempDir tmp;
    const std::string dir = tmp.path.string();
    fs::create_directories(fs::path(dir) / "sys/class/tty/rfcomm0");
    fs::create_directories(fs::path(dir) / "dev/serial/by-path");
    std::ofstream(fs::path(dir) / "dev/rfcomm0") << "";
    fs::create_symlink("../../rfcomm0", fs::path(dir) / "dev/serial/by-path/bt-port0");
    env.sysRoot = dir + "/sys";
    env.devRoot = dir + "/dev";
    const std::string node = dir + "/dev/rfcomm0";
    const std::string port = "\"path\":\"" + node + "\",\"name\":\"" + node +
                             "\",\"byId\":null,\"byPath\":\"" + dir +
                             "/dev/serial/by-path/bt-port0\",\"usb\":null,\"serial\":null,"
                             "\"driver\":null}";
    EXPECT_EQ(RunArgs({"ports"}).out, node + "\n");
    EXPECT_EQ(RunArgs({"ports", "--json"}).out, "{\"ok\":true,\"ports\":[{" + port + "]}\n");
    env.stdoutIsTerminal = true;
    const CliRun table = RunArgs({"ports"});
    env.stdoutIsTerminal = false;
    EXPECT_EQ(Words(table.out),
              (std::vector<std::string>{"PORT", "USB", "SERIAL", "DRIVER", "BY-ID", "BY-PATH", node,
                                        "-", "-", "-", "-", dir + "/dev/serial/by-path/bt-port0"}));

    struct Monitor : IPortMonitor {
        std::vector<std::vector<PortEvent>> batches;
        std::vector<PortEvent> Wait() override {
            std::vector<PortEvent> next;
            if (!batches.empty()) {
                next = batches.front();
                batches.erase(batches.begin());
            }
            return next;
        }
        std::vector<PortEvent> Take() override { return {}; }
        int Fd() const override { return -1; }
    };
    env.openPortMonitor = [&](std::string*) {
        auto m = std::make_unique<Monitor>();
        m->batches = {{{PortEvent::Kind::Added, node}},
                      {{PortEvent::Kind::Removed, "/dev/ttyUSB7"}}};
        return m;
    };
    const CliRun watched = RunArgs({"ports", "--watch"});
    EXPECT_EQ(watched.out, "added " + node + "\nremoved /dev/ttyUSB7\n");
    EXPECT_EQ(watched.code, 0);
    const CliRun json = RunArgs({"ports", "--watch", "--json"});
    EXPECT_EQ(json.out, "{\"event\":\"added\"," + port +
                            "\n{\"event\":\"removed\",\"path\":\"/dev/ttyUSB7\"}\n");
    env.openPortMonitor = [](std::string* error) {
        *error = "no udev here";
        return std::unique_ptr<IPortMonitor>();
    };
    const CliRun none = RunArgs({"ports", "--watch"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err, "nodewright-cli: ports --watch: no udev here\n");
}

TEST_F(CliBench, CliLineOptionsReachThePortAndTheLineIsLeftUnlocked) {
    ASSERT_TRUE(bench.Attach("master"));
    EXPECT_EQ(Run({"-b", "19200", "--parity", "odd", "--stop-bits", "2", "detect"}).code, 0);
    // The terminal keeps the settings the port gave it.
    const int fd = ::open(bench.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    int exclusive = -1; // the closed port unlocked the line
    EXPECT_EQ(::ioctl(fd, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&t), B19200);
    // (A pseudo-terminal keeps PARODD but drops PARENB.)
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), PARODD | CSTOPB);
}

// --trace spells every chunk written and read with its time, and under reply
// pacing each wait against its pause; --log appends the same and every text to
// the file, each line time-stamped, and never truncates what an earlier run wrote.
TEST_F(CliBench, CliTraceAndLog) {
    ASSERT_TRUE(bench.Attach("master"));
    env.elapsedMs = [] { return 412.3; };
    const std::string log = ::testing::TempDir() + "nw_cli_log_" + std::to_string(::getpid());
    std::remove(log.c_str());
    std::string traced; // all but the chunks read, which may come cut anywhere
    for (int run = 0; run < 2; ++run) {
        const CliRun r = Run({"--log", log, "--pacing", "reply", "--trace", "detect"});
        EXPECT_EQ(r.out, "OLMA detected.\n");
        EXPECT_EQ(r.sent, "at\r\nat+btinfo?\r\nats53?\r\n");
        std::istringstream lines(r.err);
        std::string written, waits, read;
        for (std::string line; std::getline(lines, line);) {
            ASSERT_EQ(line.substr(0, 13), "    412.3 ms ") << line;
            const std::string kind = line.substr(13, 5), text = line.substr(18);
            if (kind == "WAIT ")
                waits += text.substr(0, text.find(' ')) + " of " +
                         text.substr(text.find(" of ") + 4) + "|";
            else if (kind.starts_with("TX "))
                written += line.substr(16) + "|";
            else if (kind.starts_with("RX "))
                read += line.substr(16);
            else
                ADD_FAILURE() << line;
            if (!kind.starts_with("RX "))
                traced += line + "|";
        }
        traced += "OLMA detected.|";
        EXPECT_EQ(written, "at<CR><LF>|at+btinfo?<CR><LF>|ats53?<CR><LF>|");
        EXPECT_EQ(read,
                  "<CR><LF>OK<CR><LF>"
                  "<CR><LF>0001950A0B00,OLMA-M,MODE0,STANDBY,NoFC,0,0<CR><LF><CR><LF>OK<CR><LF>"
                  "<CR><LF>0<CR><LF><CR><LF>OK<CR><LF>");
        EXPECT_EQ(waits, "at<CR><LF> of 400 ms, reply|at+btinfo?<CR><LF> of 1500 ms, reply|"
                         "ats53?<CR><LF> of 400 ms, reply|");
    }
    std::ifstream in(log);
    std::string logged;
    for (std::string line; std::getline(in, line);) {
        // "2026-12-07T11:50:01.123Z " then the text
        ASSERT_GT(line.size(), 25u);
        EXPECT_EQ(line.substr(10, 1) + line.substr(23, 2), "TZ ") << line;
        if (line.find(" ms RX ") == std::string::npos)
            logged += line.substr(25) + "|";
    }
    std::remove(log.c_str());
    EXPECT_EQ(logged, traced);
    EXPECT_EQ(Run({"--log", "/nonexistent/dir/log", "detect"}).code, 2);
}

TEST_F(CliBench, CliAResultThatCannotBeWrittenIsAFailure) {
    struct Full : std::streambuf {
        int_type overflow(int_type) override { return traits_type::eof(); }
    } full;
    std::ostream out(&full);
    std::ostringstream err;
    std::istringstream in;
    ASSERT_TRUE(bench.Attach("master"));
    const std::string path = bench.Path();
    const char* argv[] = {"nodewright-cli", "-p", path.c_str(), "check"};
    EXPECT_EQ(RunCli(4, argv, in, out, err, env), 1);
    EXPECT_NE(err.str().find("standard output could not be written"), std::string::npos);
}

} // namespace
} // namespace nw::cli::test
