// nodewright-cli run in-process: RunCli with string streams; CliBench adds the
// simulated bench behind the port and a scaled pacer.
#pragma once

#include "app/cli/RunCli.h"
#include "sim/SimBench.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace nw::cli::test {

using nw::test::WaitUntil;
using namespace std::chrono_literals;

// "a b c" as {"a", "b", "c"}.
inline std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    return {std::istream_iterator<std::string>(in), {}};
}

// A fresh directory, removed with the object.
struct TempDir {
    TempDir() {
        std::string dir = (std::filesystem::temp_directory_path() / "nw_test_XXXXXX").string();
        EXPECT_NE(::mkdtemp(dir.data()), nullptr);
        path = dir;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

// Standard input that asks `next` for each line as it is read: the wizard
// reads a line only once the previous press has ended.
class ScriptedInput : public std::streambuf {
  public:
    explicit ScriptedInput(std::function<std::optional<std::string>()> next)
        : m_next(std::move(next)) {}

  protected:
    int_type underflow() override {
        const std::optional<std::string> line = m_next();
        if (!line)
            return traits_type::eof();
        m_current = *line + "\n";
        setg(m_current.data(), m_current.data(), m_current.data() + m_current.size());
        return traits_type::to_int_type(m_current[0]);
    }

  private:
    std::function<std::optional<std::string>()> m_next;
    std::string m_current;
};

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
    std::string out, err;
    std::string sent; // what the adapters received
};

// nodewright-cli with `args` (no program name) and standard input `in`.
inline CliRun CallCli(CliEnv& env, const std::vector<std::string>& args,
                      std::istream* in = nullptr) {
    std::vector<const char*> argv{"nodewright-cli"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::istringstream none;
    std::ostringstream out, err;
    CliRun r;
    r.code = RunCli(static_cast<int>(argv.size()), argv.data(), in ? *in : none, out, err, env);
    r.out = out.str();
    r.err = err.str();
    return r;
}

// Pauses run at 5% of their length (400 ms -> 20 ms) and then until the line
// is quiet, so a busy machine slows the tests down but cannot make a reply
// miss its pause. `onPause` then sees the unscaled length, so a test can
// change the bench in the middle of an operation.
class CliBench : public ::testing::Test, public IPacer {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        env.pacer = this;
        env.sysRoot = "/nonexistent-sys";
        env.devRoot = "/nonexistent-dev";
        env.lineObserver = [this](bool written, std::size_t n) {
            (written ? tx : rx) += n;
            // Each write reaches the bench before the command goes on: the
            // port's close discards output the bench has not taken yet.
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
    // The same with the bench's port given first.
    CliRun Run(std::vector<std::string> args, std::istream* in = nullptr) {
        args.insert(args.begin(), {"-p", bench.Path()});
        return RunArgs(args, in);
    }

    // Nothing in flight: the bench took all the port wrote and wrote every
    // reply due, and (while the port is open) the port read them all. Two
    // seconds at most: bytes a closing port discarded never arrive.
    void WaitQuiet(bool portOpen) {
        WaitUntil(
            [&] {
                return !bench.Running() || (bench.RxTotal() - rxBase == tx && !bench.OutputDue() &&
                                            (!portOpen || bench.TxTotal() - txBase == rx));
            },
            2s);
    }

    // Declared first: the port's reader counts into them until the run ends.
    std::atomic<std::uint64_t> tx{0};
    std::atomic<std::uint64_t> rx{0};
    std::uint64_t rxBase = 0; // the bench's totals when the run began
    std::uint64_t txBase = 0;
    sim::CSimBench bench;
    std::function<void(std::uint32_t)> onPause;
    CliEnv env;
};

} // namespace nw::cli::test
