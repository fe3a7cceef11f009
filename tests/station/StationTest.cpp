// nodewright-cli network in-process against a station bench (every adapter
// on a pseudo-terminal of its own), pauses scaled down.
#include "app/cli/JsonText.h"
#include "cli/CliFixture.h"
#include "sim/BenchProgram.h"
#include "sim/StationBench.h"
#include "sim/StationConsole.h"

#include <memory>
#include <random>

namespace nw::cli::test {
namespace {

constexpr char kReport[] = "at\r\nat+btinfo?\r\nato\r\n"; // the wizard's report, after "at"
constexpr char kDetect[] = "at\r\nat+btinfo?\r\n";

// Pauses at 5% of their length, then until no line has a byte in flight. With a seed,
// adapters that take their time (each its own jitter), all at kRealisticScale instead.
class Station : public ::testing::Test, public IPacer {
  protected:
    void Start(int slaves, std::optional<std::uint32_t> realistic = std::nullopt) {
        station = std::make_unique<sim::CStationBench>(slaves);
        if (realistic) {
            sim::SimTiming timing = sim::SimTiming::Realistic();
            timing.scale = kRealisticScale;
            timing.seed = *realistic;
            for (const std::string& role : station->Roles()) {
                station->Line(role).SetTiming(timing);
                ++timing.seed;
            }
        }
        std::string error;
        ASSERT_TRUE(station->Start(&error)) << error;
        env.pacer = realistic ? static_cast<IPacer*>(&scaled) : this;
        env.lineObserver = [this](bool written, std::size_t n) { (written ? tx : rx) += n; };
    }
    void Pause(std::uint32_t ms) override {
        SleepAtLeast(ms * 0.05);
        WaitUntil([this] { return Quiet(); }, 2s);
        if (onPause)
            onPause(ms);
    }
    bool Quiet() const {
        std::uint64_t in = 0, out = 0;
        for (const std::string& role : station->Roles()) {
            const sim::CSimBench& line = station->Line(role);
            if (line.OutputDue())
                return false;
            in += line.RxTotal();
            out += line.TxTotal();
        }
        return in == tx && out == rx;
    }
    std::string Path(const std::string& role) const { return station->Path(role); }

    // network with the master and every slave (slave2 on `slave2` if given), then `extra`.
    CliRun RunNetwork(std::vector<std::string> extra, const std::string& slave2 = "") {
        std::vector<std::string> args{"network", "--master", Path("master")};
        for (const std::string& role : station->Roles())
            if (role != "master")
                args.insert(args.end(),
                            {"--slave", role == "slave2" && !slave2.empty() ? slave2 : Path(role)});
        args.insert(args.end(), extra.begin(), extra.end());
        return CallCli(env, args);
    }
    std::string Received(const std::string& role) const { return station->Line(role).Received(); }
    std::string Address(const std::string& role) const { return station->StateOf(role).address; }

    // The guard (5 ms) still outlasts the longest busy time (3.5 ms).
    static constexpr double kRealisticScale = 0.1;
    CScaledPacer scaled{kRealisticScale};
    std::atomic<std::uint64_t> tx{0}, rx{0};
    std::unique_ptr<sim::CStationBench> station;
    std::function<void(std::uint32_t)> onPause;
    CliEnv env;
};

// The one-port wizard's master steps: detection, support query, detection, report.
const std::string kMasterRead = std::string(kDetect) + "ats53?\r\n" + kDetect + kReport;

// The slaves, node switching or not.
class Networks : public Station, public ::testing::WithParamInterface<std::tuple<int, bool>> {};

// Under fixed pauses, then against adapters that take their time under reply
// pacing: the same bytes.
TEST_P(Networks, EachAdapterGetsTheWizardsBytesThenOnlyTheReadBack) {
    const auto [slaves, nodeSwitching] = GetParam();
    for (const char* pacing : {"spec", "reply"}) {
        SCOPED_TRACE(pacing);
        if (station)
            station->Stop();
        Start(slaves, *pacing == 'r' ? std::optional<std::uint32_t>(11) : std::nullopt);
        const CliRun r = RunNetwork(Words(std::string("--trace --pacing ") + pacing +
                                          (nodeSwitching ? " --mode node-switching" : "")));
        EXPECT_EQ(r.code, 0) << r.out << r.err;
        EXPECT_TRUE(r.out.ends_with("SUCCESS: Multi setting complete.\n")) << r.out;
        const std::string verdict = station->NetworkVerdict();
        EXPECT_TRUE(verdict.starts_with("network: OK")) << verdict;
        EXPECT_NE(verdict.find(nodeSwitching ? "Node Switching" : "Multi-Drop"), std::string::npos);

        const std::string readBack = "at\r\nat+btinfo?\r\nats10?\r\nats53?\r\nats46?\r\n";
        std::string slots;
        const char* regs[] = {"46", "54", "55", "56"};
        for (int k = 0; k < 4; ++k)
            slots += k < slaves ? std::string("ATS") + regs[k] + "=" +
                                      Address("slave" + std::to_string(k + 1)) + "\r\n"
                                : std::string("ats") + regs[k] + "=000000000000\r\n";
        EXPECT_EQ(Received("master"), kMasterRead + kDetect + (slaves < 4 ? kReport : "") + slots +
                                          "at+btcancel\r\nat+btmode,1\r\nats10=1\r\n" +
                                          (nodeSwitching ? "ats53=2\r\n" : "ats53=1\r\n") +
                                          readBack + "ats54?\r\nats55?\r\nats56?\r\n");
        for (int k = 1; k <= slaves; ++k) {
            const std::string role = "slave" + std::to_string(k);
            EXPECT_EQ(Received(role),
                      std::string(kDetect) + kReport + "ATS46=" + Address("master") +
                          "\r\nat+btcancel\r\nat+btmode,2\r\nats10=1\r\natz\r\n" + readBack)
                << role;
            EXPECT_NE(r.out.find(role + " " + Path(role) + ": Slave setting success."),
                      std::string::npos);
            EXPECT_NE(r.out.find(role + " " + Path(role) + ": VERIFIED"), std::string::npos);
            EXPECT_NE(r.err.find(role + "    "), std::string::npos) << "trace lines name the role";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Station, Networks,
                         ::testing::Combine(::testing::Values(2, 3, 4), ::testing::Bool()));

// A port that cannot be opened stops the run before any byte; slave2 unplugged (by the
// simulator's console) once the master's address is read fails the run by its name, the
// master unwritten.
TEST_F(Station, AnUnopenablePortWritesNothingAVanishedSlaveLeavesTheMasterUnwritten) {
    Start(3);
    CliRun r = RunNetwork({}, "/nonexistent/ttyUSB9");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.out.find("slave2 /nonexistent/ttyUSB9: ERROR: Serial Port Open"), std::string::npos)
        << r.out;
    for (const std::string& role : station->Roles())
        EXPECT_EQ(Received(role), "") << role;
    // Two to four slaves, and --master, or it is a usage error.
    for (const auto& args : {std::vector<std::string>{"network", "--master", Path("master")},
                             {"network", "--slave", Path("slave1"), "--slave", Path("slave2")}})
        EXPECT_EQ(CallCli(env, args).code, 2);

    sim::CStationConsole console(*station);
    EXPECT_EQ(console.Execute("paths"), station->Paths());
    const std::string shown = console.Execute("show");
    for (const std::string& role : station->Roles())
        EXPECT_NE(shown.find("line: " + Path(role) + "\n* " + role + " "), std::string::npos);
    EXPECT_NE(shown.find("network: not formed"), std::string::npos) << shown;
    EXPECT_TRUE(console.Execute("set slave4 silent on").starts_with("error: no adapter"));
    onPause = [&](std::uint32_t) {
        if (Received("master") == kMasterRead)
            console.Execute("unplug slave2");
    };
    r = RunNetwork({"--json"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(Received("master"), kMasterRead);
    EXPECT_NE(r.err.find("slave2 " + Path("slave2") + ": Can not found OLMA..."), std::string::npos)
        << r.err;
    const Json json = Json::parse(r.out);
    EXPECT_EQ(json["ok"], false);
    EXPECT_TRUE(json["summary"].get<std::string>().starts_with("FAILED: slave2 "));
    for (const Json& e : json["events"])
        EXPECT_TRUE(e["role"] != "slave2" || e["outcome"] == "line-gone") << e.dump();
    EXPECT_FALSE(station->NetworkVerdict().starts_with("network: OK"));
}

// --record: a row per adapter per step under one run id. slave1, a former master,
// reads back differently: the slave step leaves S53 as it is.
TEST_F(Station, ARecordedNetworkKeepsARowPerStepUnderOneRun) {
    Start(2);
    station->Line("slave1").With("slave1", [](sim::CSimAdapter& a) { a.State().s53 = 1; });
    const TempDir tmp;
    const std::string db = tmp.File("records.sqlite");
    const CliRun r = RunNetwork({"--record", "--db", db});
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.out.find("slave1 " + Path("slave1") + ": NOT VERIFIED: S53 differ"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\nFAILED: slave1 "), std::string::npos);
    EXPECT_EQ(RunNetwork({"--no-verify"}).code, 0) << "nothing read back, nothing differs";
    const auto lines = Split(CallCli(env, {"--db", db, "records", "--format", "csv"}).out, '\n');
    std::vector<std::string> steps; // role, operation, settings, verification, outcome
    for (std::size_t k = 1; k < lines.size(); ++k) { // after the header
        const std::vector<std::string> cells = Split(lines[k].substr(0, lines[k].find('\r')), ',');
        ASSERT_EQ(cells.size(), 12u) << lines[k];
        EXPECT_EQ(cells[1], Split(lines[1], ',')[1]) << "one run id";
        steps.push_back(cells[5] + " " + cells[8] + " " + cells[9] + " " + cells[10] + " " +
                        cells[11]);
    }
    std::sort(steps.begin(), steps.end()); // the slaves are set at once
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "master network-read-address   succeeded",
                         "master network-set-master S46=0001950A0B01;S54=0001950A0B02;S55="
                         "000000000000;S56=000000000000;MODE=1;S53=1;S10=1  succeeded",
                         "master network-verify  verified succeeded",
                         "slave1 network-set-slave S46=0001950A0B00;MODE=2;S10=1  succeeded",
                         "slave1 network-verify  S53 differ differs: NOT VERIFIED: S53 differ",
                         "slave2 network-set-slave S46=0001950A0B00;MODE=2;S10=1  succeeded",
                         "slave2 network-verify  verified succeeded"}));
}

// NW_PACING_SOAK=200 runs the long soak.
TEST_F(Station, ReplyPacedNetworksFormWhateverTheAdaptersTiming) {
    const char* asked = std::getenv("NW_PACING_SOAK");
    const int runs = asked != nullptr ? std::max(1, std::atoi(asked)) : 5;
    const std::uint32_t first = std::random_device{}();
    for (int i = 0; i < runs; ++i) {
        const std::uint32_t seed = first + static_cast<std::uint32_t>(i) * 8;
        Start(4, seed);
        const CliRun r = RunNetwork({"--pacing", "reply"});
        ASSERT_EQ(r.code, 0) << "seed " << seed << "\n" << r.out << r.err;
        const std::string verdict = station->NetworkVerdict();
        ASSERT_TRUE(verdict.starts_with("network: OK")) << "seed " << seed << ": " << verdict;
        for (const std::string& role : station->Roles())
            EXPECT_EQ(station->Line(role).LostCommands(), 0u) << "seed " << seed << " " << role;
        station->Stop();
    }
    std::printf("%d station networks from seed %u formed\n", runs, first);
}

TEST(StationSimulator, StationTakesTwoToFourSlavesFourWhenNotSaid) {
    for (const auto& [line, slaves] : {std::pair{"", 0},
                                       {"--station", 4},
                                       {"--station 2 --trace", 2},
                                       {"--trace --station", 4}}) {
        sim::BenchOptions options;
        std::vector<std::string> args = Words(std::string("nodewright-sim ") + line);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        EXPECT_EQ(sim::ParseBenchOptions(static_cast<int>(argv.size()), argv.data(), "", options),
                  std::nullopt);
        EXPECT_EQ(options.station, slaves) << line;
    }
}

} // namespace
} // namespace nw::cli::test
