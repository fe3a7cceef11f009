// Reply pacing against adapters that take time: a check, a reset and a wizard
// write the same bytes and end the same way as with the fixed pauses; wizards paced by
// the replies form their networks; without a guard the adapters' busy time
// after a setting loses commands, which the network shows.
#include "protocol/Script.h"
#include "support/BenchFixture.h"

#include <cstdlib>
#include <random>
#include <thread>

namespace nw::test {
namespace {

// Pauses and the adapters' own times alike at a fifth: the guard (10 ms)
// still outlasts the longest busy time (7 ms).
constexpr double kFifth = 0.2;

// A fresh bench with realistic timing, the main window's port open on it
// and the master attached.
sim::SimTiming Realistic(std::uint32_t seed) {
    sim::SimTiming timing = sim::SimTiming::Realistic(seed);
    timing.scale = kFifth;
    return timing;
}
struct Rig : BenchRig {
    Rig(PacingMode mode, std::uint32_t seed, std::uint32_t guardMs = PacingPolicy::kDefaultGuardMs)
        : BenchRig(kFifth, Realistic(seed)) {
        Open();
        dlg.m_exchange.SetPacing(PacingPolicy{.mode = mode, .guardMs = guardMs, .commands = {}});
        bench.Attach("master");
    }
    // A 1:4 wizard pressed through; the bench's verdict on the network.
    std::string Wizard() {
        if (dlg.OnRadio1To4().kind == OutcomeKind::Failed)
            return "";
        for (const char* who :
             {"master", "master", "slave1", "slave2", "slave3", "slave4", "master"}) {
            bench.Attach(who);
            dlg.OnButtonStart();
        }
        WaitForQuiet();
        return bench.NetworkVerdict();
    }
};

Outcome Formed(const std::string& verdict) {
    return {verdict.rfind("network: OK", 0) == 0 ? OutcomeKind::Succeeded : OutcomeKind::Failed,
            verdict};
}

struct PacedOperation {
    const char* name;
    bool linked; // the master in a link
    std::function<Outcome(Rig&)> run;
};
void PrintTo(const PacedOperation& op, std::ostream* os) {
    *os << op.name;
}

const PacedOperation kOperations[] = {
    // clang-format off
    {"CheckLinked", true, [](Rig& r) { return r.dlg.OnButtonCheck(); }},
    {"Reset", true, [](Rig& r) { return r.dlg.OnButtonFactoryReset(); }},
    // The check comes while the adapter restarts unless the whole pause
    // after "at&f" is kept.
    {"ResetThenCheck", false, [](Rig& r) { r.dlg.OnButtonFactoryReset(); return r.dlg.OnButtonCheck(); }},
    {"Wizard1To4", false, [](Rig& r) { return Formed(r.Wizard()); }},
    // clang-format on
};

class SameBytes : public ::testing::TestWithParam<PacedOperation> {};

TEST_P(SameBytes, UnderBothPacings) {
    const PacedOperation& op = GetParam();
    std::string sent[2];
    OutcomeKind ended[2]{};
    for (const PacingMode mode : {PacingMode::Fixed, PacingMode::Reply}) {
        Rig rig(mode, 7);
        if (op.linked)
            rig.bench.With("master", [](sim::CSimAdapter& a) { a.SetLinked(); });
        const auto i = static_cast<std::size_t>(mode);
        ended[i] = op.run(rig).kind;
        sent[i] = rig.Sent();
    }
    EXPECT_FALSE(sent[0].empty());
    EXPECT_EQ(sent[1], sent[0]);
    EXPECT_EQ(ended[0], OutcomeKind::Succeeded);
    EXPECT_EQ(ended[1], ended[0]);
}

INSTANTIATE_TEST_SUITE_P(Realistic, SameBytes, ::testing::ValuesIn(kOperations),
                         [](const auto& info) { return std::string(info.param.name); });

// A query answered at once, then the escape: the adapter hears the escape
// only after the whole silence before it.
TEST(ReplyPacing, TheEscapeKeepsItsSilenceAfterAnAnsweredQuery) {
    Rig rig(PacingMode::Reply, 3);
    const script::Step steps[] = {
        {.command = "ats10?\r\n", .pauseMs = 400, .keyword = "0", .onMiss = script::kNext},
        {.command = "+++", .pauseMs = 400, .keyword = "OK"},
    };
    rig.dlg.m_exchange.BeginOperation();
    const script::Result run = script::Run(rig.dlg.m_exchange, steps);
    ASSERT_EQ(run.transcript.size(), 2u);
    EXPECT_NE(run.transcript[0].reply.find("OK"), std::string::npos); // answered: "1", "OK"
    EXPECT_TRUE(run.Succeeded()) << run.transcript[1].reply;
}

// NW_PACING_SOAK=200 runs the long soak.
TEST(ReplyPacingSoak, WizardsFormTheirNetworks) {
    const char* asked = std::getenv("NW_PACING_SOAK");
    const int runs = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 10;
    const std::uint32_t first = std::random_device{}();
    for (int i = 0; i < runs; ++i) {
        const std::uint32_t seed = first + static_cast<std::uint32_t>(i);
        Rig rig(PacingMode::Reply, seed);
        const std::string verdict = rig.Wizard();
        ASSERT_TRUE(Formed(verdict).Succeeded()) << "seed " << seed << ": " << verdict;
        EXPECT_EQ(rig.bench.LostCommands(), 0u) << "seed " << seed;
    }
    std::printf("%d wizards from seed %u formed their networks\n", runs, first);
}

// A lost command may be one the network does without (a cancel): a few runs
// until one leaves the network wrong.
TEST(ReplyPacingSoak, WithoutAGuardTheBusyTimeLosesSettings) {
    const std::uint32_t first = std::random_device{}();
    bool wrong = false;
    for (std::uint32_t seed = first; seed != first + 5 && !wrong; ++seed) {
        Rig rig(PacingMode::Reply, seed, 0);
        wrong = !Formed(rig.Wizard()).Succeeded();
        EXPECT_GT(rig.bench.LostCommands(), 0u) << "seed " << seed;
    }
    EXPECT_TRUE(wrong) << "five networks from seed " << first << " formed without a guard";
}

} // namespace
} // namespace nw::test
