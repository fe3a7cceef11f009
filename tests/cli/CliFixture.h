// nodewright-cli run in-process: RunCli with string streams; CliBench adds the
// simulated bench behind the port and a scaled pacer.
#pragma once

#include "app/cli/RunCli.h"
#include "sim/SimBench.h"
#include "support/FakeTree.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace nw::cli::test {

using nw::test::TempDir;
using nw::test::WaitUntil;
using namespace std::chrono_literals;

inline std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

// The report an adapter of the bench prints: OLMA-M (0) or OLMA-S<who>.
inline std::string Report(int who, const char* mode = "MODE0", const char* status = "STANDBY",
                          const char* response = "ON") {
    const std::string name = who == 0 ? "OLMA-M" : "OLMA-S" + std::to_string(who);
    return "Friendly Name: " + name + "\nBluetooth Address: 0001950A0B0" + std::to_string(who) +
           "\nMode: " + mode + "\nFlowControl: OFF\nStatus: " + status +
           "\nAuthentication: OFF\nEncryption: OFF\nCommand Response: " + response + "\n";
}

struct CliRun {
    int code = -1;
    std::string out, err, sent; // sent: what the adapters received
};

inline CliRun CallCli(CliEnv& env, const std::vector<std::string>& args,
                      std::istream* in = nullptr) {
    std::vector<const char*> argv{"nodewright-cli"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::istringstream none;
    std::ostringstream out, err;
    const int code =
        RunCli(static_cast<int>(argv.size()), argv.data(), in ? *in : none, out, err, env);
    return {code, out.str(), err.str(), ""};
}

// Pauses run at 5% of their length, then until the line is quiet: a busy machine slows
// the tests but cannot make a reply miss its pause. onPause may change the bench mid-run.
class CliBench : public ::testing::Test, public IPacer, public std::streambuf {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        env.pacer = this;
        env.sysRoot = "/nonexistent-sys";
        env.devRoot = "/nonexistent-dev";
        env.lineObserver = [this](bool written, std::size_t n) {
            (written ? tx : rx) += n;
            // Each write reaches the bench first: a close discards what it has not taken.
            if (written)
                WaitUntil([this] { return bench.RxTotal() - rxBase >= tx; }, 2s);
        };
    }
    double PauseScale() const override { return 0.05; }
    void Pause(std::uint32_t ms) override {
        SleepAtLeast(ms * 0.05);
        WaitQuiet(true);
        if (onPause)
            onPause(ms);
    }

    CliRun RunArgs(const std::vector<std::string>& args, std::istream* in = nullptr) {
        tx = rx = 0;
        rxBase = bench.RxTotal();
        txBase = bench.TxTotal();
        CliRun r = CallCli(env, args, in);
        WaitQuiet(false); // the last write may still be on its way
        r.sent = bench.Received();
        bench.ClearTranscript();
        return r;
    }
    CliRun Run(std::vector<std::string> args, std::istream* in = nullptr) {
        args.insert(args.begin(), {"-p", bench.Path()});
        return RunArgs(args, in);
    }
    // The wizard fed "who:line|...": `who` attached before the line is read ("" none, "-" kept).
    CliRun Wizard(const std::string& args, const std::string& lines) {
        script.str(lines);
        std::istream in(this);
        return Run(Words("wizard " + args), &in);
    }
    // The wizard's standard input: a line is read once the previous press ended.
    int_type underflow() override {
        std::string line;
        if (!std::getline(script, line, '|'))
            return traits_type::eof();
        ++linesRead;
        lastPress = script.eof();
        WaitQuiet(true);
        const std::string who = line.substr(0, line.find(':'));
        EXPECT_TRUE(who.empty() ? (bench.Detach(), true) : who == "-" || bench.Attach(who)) << who;
        current = line.substr(who.size() + 1) + "\n";
        setg(current.data(), current.data(), current.data() + current.size());
        return traits_type::to_int_type(current[0]);
    }

    // The bench took all the port wrote and wrote every reply due, and (port open) the port
    // read them all. Two seconds at most: bytes a closing port discarded never arrive.
    void WaitQuiet(bool portOpen) {
        WaitUntil(
            [&] {
                return !bench.Running() || (bench.RxTotal() - rxBase == tx && !bench.OutputDue() &&
                                            (!portOpen || bench.TxTotal() - txBase == rx));
            },
            2s);
    }

    // Declared first: the port's reader counts into them until the run ends.
    std::atomic<std::uint64_t> tx{0}, rx{0};
    std::uint64_t rxBase = 0, txBase = 0; // the bench's totals when the run began
    sim::CSimBench bench;
    std::function<void(std::uint32_t)> onPause;
    std::istringstream script;
    std::string current;
    std::size_t linesRead = 0; // by Wizard, the last one read
    bool lastPress = false;
    CliEnv env;
};

} // namespace nw::cli::test
