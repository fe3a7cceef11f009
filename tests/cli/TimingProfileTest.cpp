// Timing profiles in JSON and TOML: what a good one sets, and the message a
// bad one gets.
#include "app/cli/TimingProfile.h"

#include <gtest/gtest.h>

namespace nw::cli {
namespace {

TEST(TimingProfile, SetsTheGuardAndEachCommandsTimingOrIsRefusedWithItsReason) {
    for (const char* text :
         {R"({"guardMs": 70, "commands": {"AT+BTINFO?": {"pauseMs": 2500, "guardMs": 80},
                                          "ats46=": {"guardMs": 120}}})",
          "# slow adapters\nguardMs = 70\n[commands.\"AT+BTINFO?\"]\npauseMs = 2500\n"
          "guardMs = 80\n\n[commands.\"ats46=\"]\nguardMs = 120\n"}) {
        PacingPolicy p;
        p.mode = PacingMode::Reply;
        const ProfileLoad load = ParseTimingProfile(text, "p", p);
        ASSERT_TRUE(load.ok) << load.error;
        EXPECT_EQ(std::tuple(p.mode, p.guardMs, p.PauseFor("at+btinfo?\r\n", 2000),
                             p.GuardFor("at+btinfo?\r\n"), p.GuardFor("ATS46=0001950A0B01\r\n")),
                  std::tuple(PacingMode::Reply, 70u, 2500u, 80u, 120u));
    }
    const std::pair<const char*, const char*> bad[] = {
        {"{", "not valid JSON"},
        {"guardMs = ", "not valid TOML (line 1"},
        {"guardMs = 2.5", "guardMs must be a whole number"},
        {"[commands]\nat = \"5\"", "commands.\"at\" must be an object"},
        {R"({"guard": 5})", "unknown setting \"guard\""},
        {R"({"guardMs": -1})", "guardMs must be a whole number"},
        {R"({"commands": {"at": 5}})", "commands.\"at\" must be an object"},
        {R"({"commands": {"at": {"pause": 5}}})", "unknown setting \"pause\""},
        {R"({"commands": {"at": {"pauseMs": 9999999}}})", "commands.\"at\".pauseMs"},
    };
    for (const auto& [text, reason] : bad) {
        PacingPolicy p;
        const ProfileLoad load = ParseTimingProfile(text, "p.json", p);
        EXPECT_FALSE(load.ok) << text;
        EXPECT_NE(load.error.find("timing profile p.json: "), std::string::npos) << load.error;
        EXPECT_NE(load.error.find(reason), std::string::npos) << load.error;
        EXPECT_EQ(p.guardMs, PacingPolicy::kDefaultGuardMs); // left as it was
    }
}

} // namespace
} // namespace nw::cli
