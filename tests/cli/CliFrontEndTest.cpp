// What the front end adds around the operations: the command line, the port
// list, the line options, the trace, an output nobody can write.
#include "CliFixture.h"

#include <fstream>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace nw::cli::test {
namespace {

TEST_F(CliBench, CliCommandLine) {
    ASSERT_TRUE(bench.Attach("master"));
    struct Case {
        const char* args; // split at each space; P: the bench's port
        int code;
        std::string out;
        const char* errHas; // usage errors: their reason after the usage line
    };
    const Case cases[] = {
        {"check", 2, "", "--port is required"},
        {"", 2, "", "A subcommand is required"},
        {"-p P frobnicate", 2, "", "unknown command: frobnicate"},
        {"-p P check --frob", 2, "", "--frob"},
        {"-p P -b 9601 check", 2, "", "--baud"},
        {"-p P -b  check", 2, "", "--baud"},
        {"-p P --parity mark check", 2, "", "--parity"},
        {"-p P --stop-bits 3 check", 2, "", "--stop-bits"},
        {"-p P wizard --n 5", 2, "", "--n"},
        {"-p P master --mode ring", 2, "", "--mode"},
        {"-p P slave", 2, "", "--master is required"},
        {"-p P master --slave1 0001950A0B01 --slave2 0001950A0B0\x01", 2, "",
         "--slave2: control character"},
        {"-p P slave --master 0001950A\r0B00", 2, "", "--master: control character"},
        {"-p P --pacing fast detect", 2, "", "--pacing"},
        {"-p P --profile /nonexistent/p.json detect", 2, "",
         "timing profile /nonexistent/p.json: cannot be read"},
        {"check -p /nonexistent/olma", 2, "ERROR: Serial Port Open\n", "/nonexistent/olma"},
        {"--version", 0, "nodewright-cli 1.0.0.1\n", ""},
        // Global options may follow the command; the line options reach the port.
        {"detect --json --port P -b 19200 --parity odd --stop-bits 2", 0,
         "{\"ok\":true,\"detected\":true,\"multiConnection\":true}\n", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = Split(c.args, ' ');
        for (std::string& a : args)
            a = a == "P" ? bench.Path() : a;
        const CliRun r = RunArgs(args);
        EXPECT_EQ(r.code, c.code) << c.errHas;
        EXPECT_EQ(r.out, c.out) << c.errHas;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        if (c.code == 2) {
            EXPECT_EQ(r.sent, "") << c.errHas;
            if (c.out.empty()) {
                EXPECT_TRUE(r.err.starts_with("Usage: nodewright-cli [OPTIONS] COMMAND")) << r.err;
            }
        }
    }

    // The terminal keeps the settings the last open gave it. (A pseudo-terminal
    // keeps PARODD but drops PARENB.)
    const int fd = ::open(bench.Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), PARODD | CSTOPB);

    for (const auto& [args, word] :
         {std::pair{"--help", "autofill"}, {"master --help", "--slave4"}}) {
        const CliRun r = RunArgs(Words(args));
        EXPECT_EQ(r.code + r.err.size(), 0u) << r.err;
        EXPECT_TRUE(r.out.find("Usage: nodewright-cli") != r.out.npos &&
                    r.out.find(word) != r.out.npos);
    }

    std::ostream bad(nullptr); // a result that cannot be written is a failure
    std::ostringstream err;
    std::istringstream in;
    const std::string path = bench.Path();
    const char* argv[] = {"nodewright-cli", "-p", path.c_str(), "check"};
    EXPECT_EQ(RunCli(4, argv, in, bad, err, env), 1);
    EXPECT_NE(err.str().find("standard output could not be written"), std::string::npos);
}

// The port list piped (names), on a terminal (a table) and as JSON; then --watch,
// fed by a monitor that reports a port plugged in and one pulled out.
TEST_F(CliBench, CliPortsListsAndWatches) {
    const TempDir tmp;
    const std::string dir = tmp.path.string();
    tmp.Add("sys/class/tty/rfcomm0=/;dev/rfcomm0=;dev/serial/by-path/bt-port0=@../../rfcomm0");
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

    struct Monitor : IPortMonitor { // an event a wait, then an empty wait: the end
        std::vector<PortEvent> events;
        std::vector<PortEvent> Wait() override { return std::exchange(events, {}); }
        std::vector<PortEvent> Take() override { return {}; }
        int Fd() const override { return -1; }
    };
    env.openPortMonitor = [&](std::string*) {
        auto m = std::make_unique<Monitor>();
        m->events = {{PortEvent::Kind::Added, node}, {PortEvent::Kind::Removed, "/dev/ttyUSB7"}};
        return m;
    };
    const CliRun watched = RunArgs({"ports", "--watch"});
    EXPECT_EQ(watched.out + std::to_string(watched.code),
              "added " + node + "\nremoved /dev/ttyUSB7\n0");
    EXPECT_EQ(RunArgs({"ports", "--watch", "--json"}).out,
              "{\"event\":\"added\"," + port +
                  "\n{\"event\":\"removed\",\"path\":\"/dev/ttyUSB7\"}\n");
    env.openPortMonitor = [](std::string* error) {
        *error = "no udev here";
        return std::unique_ptr<IPortMonitor>();
    };
    const CliRun none = RunArgs({"ports", "--watch"});
    EXPECT_EQ(none.err + std::to_string(none.code),
              "nodewright-cli: ports --watch: no udev here\n1");
}

// --trace: every chunk and, under reply pacing, each wait against its pause; --log
// appends the same and every text, time-stamped, never truncating earlier runs.
TEST_F(CliBench, CliTraceAndLog) {
    ASSERT_TRUE(bench.Attach("master"));
    env.elapsedMs = [] { return 412.3; };
    const TempDir dir;
    const std::string log = dir.File("log");
    std::string traced; // all but the chunks read, which may come cut anywhere
    for (int run = 0; run < 2; ++run) {
        const CliRun r = Run({"--log", log, "--pacing", "reply", "--trace", "detect"});
        EXPECT_EQ(r.out, "OLMA detected.\n");
        EXPECT_EQ(r.sent, "at\r\nat+btinfo?\r\nats53?\r\n");
        std::string shown, read; // a wait without the time it took
        for (const std::string& line : Split(r.err, '\n')) {
            ASSERT_TRUE(line.starts_with("    412.3 ms ")) << line;
            const std::string text = line.substr(13);
            if (text.starts_with("RX ")) {
                read += text.substr(3);
                continue;
            }
            traced += line + "|";
            shown += text.starts_with("WAIT ")
                         ? text.substr(0, text.find(' ', 5)) + text.substr(text.find(" of ")) + "|"
                         : text + "|";
        }
        traced += "OLMA detected.|";
        EXPECT_EQ(shown, "TX at<CR><LF>|WAIT at<CR><LF> of 400 ms, reply|TX at+btinfo?<CR><LF>|"
                         "WAIT at+btinfo?<CR><LF> of 1500 ms, reply|TX ats53?<CR><LF>|"
                         "WAIT ats53?<CR><LF> of 400 ms, reply|");
        EXPECT_EQ(read,
                  "<CR><LF>OK<CR><LF>"
                  "<CR><LF>0001950A0B00,OLMA-M,MODE0,STANDBY,NoFC,0,0<CR><LF><CR><LF>OK<CR><LF>"
                  "<CR><LF>0<CR><LF><CR><LF>OK<CR><LF>");
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
    EXPECT_EQ(logged, traced);
    EXPECT_EQ(Run({"--log", "/nonexistent/dir/log", "detect"}).code, 2);
}

} // namespace
} // namespace nw::cli::test
