// nodewright-cli run in-process against the simulated bench: RunCli with
// string streams and a scaled pacer, the port opening the bench's
// pseudo-terminal.
#pragma once

#include "app/cli/RunCli.h"
#include "sim/SimBench.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <sstream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

namespace nw::cli::test {

inline constexpr char kMasterReport[] = "Friendly Name: OLMA-M\n"
                                        "Bluetooth Address: 0001950A0B00\n"
                                        "Mode: MODE0\n"
                                        "FlowControl: OFF\n"
                                        "Status: STANDBY\n"
                                        "Authentication: OFF\n"
                                        "Encryption: OFF\n"
                                        "Command Response: ON\n";

// Pauses run at this share of their length (400 ms -> 20 ms) and then until
// the line is quiet, so a busy machine slows the tests down but cannot make a
// reply miss its pause.
inline constexpr double kScale = 0.05;

// How often `word` occurs in `text`.
inline std::size_t Count(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        ++n;
    return n;
}

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
    std::string sent; // what the adapters received
};

// Standard input that hands out one scripted line per read, running the
// line's action (attach an adapter, ...) just before: the wizard asks for a
// line only once the previous press has ended.
class ScriptedInput : public std::streambuf {
  public:
    struct Line {
        std::function<void()> before;
        std::string text;
    };
    explicit ScriptedInput(std::vector<Line> lines) : m_lines(std::move(lines)) {}

  protected:
    int_type underflow() override {
        if (m_next == m_lines.size())
            return traits_type::eof();
        Line& line = m_lines[m_next++];
        if (line.before)
            line.before();
        m_current = line.text + "\n";
        setg(m_current.data(), m_current.data(), m_current.data() + m_current.size());
        return traits_type::to_int_type(m_current[0]);
    }

  private:
    std::vector<Line> m_lines;
    std::size_t m_next = 0;
    std::string m_current;
};

// Scaled pauses that end once the line is quiet; `onPause` then runs with the
// unscaled length, so a test can change the bench in the middle of an operation.
class QuietPacer : public IPacer {
  public:
    void Pause(std::uint32_t ms) override {
        SleepAtLeast(ms * kScale);
        if (waitForQuiet)
            waitForQuiet();
        if (onPause)
            onPause(ms);
    }
    std::function<void()> waitForQuiet;
    std::function<void(std::uint32_t)> onPause;
};

class CliBench : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(bench.Start(&error)) << error;
        pacer.waitForQuiet = [this] { WaitForQuiet(true); };
        env.pacer = &pacer;
        env.sysRoot = "/nonexistent-sys";
        env.devRoot = "/nonexistent-dev";
        env.lineObserver = [this](bool written, std::size_t n) {
            (written ? portTx : portRx) += static_cast<std::int64_t>(n);
            // Each write reaches the bench before the command goes on: the
            // port's close discards output not yet taken, and a busy machine
            // could otherwise lose a command's last bare write.
            if (written)
                WaitUntil([this] { return BenchRx() + lostTx >= portTx; });
        };
    }

    // Runs nodewright-cli with `args` (no program name), standard input `in`
    // (empty when none).
    CliRun RunArgs(const std::vector<std::string>& args, std::istream* in = nullptr) {
        std::vector<const char*> argv{"nodewright-cli"};
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::istringstream none;
        std::ostringstream out;
        std::ostringstream err;
        CliRun r;
        r.code = RunCli(static_cast<int>(argv.size()), argv.data(), in ? *in : none, out, err, env);
        r.out = out.str();
        r.err = err.str();
        r.sent = Sent();
        return r;
    }
    // The same with the bench's port given first.
    CliRun Run(std::vector<std::string> args, std::istream* in = nullptr) {
        args.insert(args.begin(), {"-p", bench.Path()});
        return RunArgs(args, in);
    }

    // Nothing in flight: the adapter received all the port wrote, the bench
    // wrote every reply due, and (while the port is open) the port read them.
    bool Quiet(bool portOpen) {
        const auto tx = static_cast<std::int64_t>(bench.TxTotal());
        return BenchRx() + lostTx == portTx && !bench.OutputDue() &&
               (!portOpen || tx == portRx + unreadRx);
    }
    // Polls `done` for at most two seconds (bytes a closing port discarded
    // never arrive).
    template <class Done> static void WaitUntil(Done done) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    void WaitForQuiet(bool portOpen) {
        WaitUntil([&] { return Quiet(portOpen); });
    }
    std::int64_t BenchRx() const { return static_cast<std::int64_t>(bench.RxTotal()); }
    // After a run: its last bare write may still be on its way. What the
    // closed port never read (or never sent) is not waited for again.
    void Settle() {
        WaitForQuiet(false);
        lostTx = portTx - BenchRx();
        unreadRx = static_cast<std::int64_t>(bench.TxTotal()) - portRx;
    }
    // What the adapters received since the last call; `portOpen` while a
    // command still runs.
    std::string Sent(bool portOpen = false) {
        if (portOpen)
            WaitForQuiet(true);
        else
            Settle();
        std::string s = bench.Received();
        bench.ClearTranscript();
        return s;
    }
    void With(const std::string& who, const std::function<void(sim::CSimAdapter&)>& f) {
        ASSERT_TRUE(bench.With(who, f));
    }
    sim::AdapterState State(const std::string& who) {
        Settle();
        return bench.StateOf(who);
    }

    // Declared first: the port's reader counts into them until the run ends.
    std::atomic<std::int64_t> portTx{0};
    std::atomic<std::int64_t> portRx{0};
    std::int64_t lostTx = 0;
    std::int64_t unreadRx = 0;
    sim::CSimBench bench;
    QuietPacer pacer;
    CliEnv env;
};

} // namespace nw::cli::test
