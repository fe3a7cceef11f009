#include "sim/SimAdapter.h"

#include <gtest/gtest.h>

namespace nw::sim {
namespace {

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string Val(const std::string& v) {
    return "\r\n" + v + "\r\n" + kOk;
}

class SimAdapter : public ::testing::Test {
  protected:
    CSimAdapter a{"0001950A0B01", "OLMA-S1"};
};

TEST_F(SimAdapter, AnswersPlainCommandsAndQueries) {
    EXPECT_EQ(a.Feed("at\r"), kOk);
    EXPECT_EQ(a.Feed("at\r\n"), kOk) << "LF is ignored";
    EXPECT_EQ(a.Feed("\r"), "") << "an empty line gets no answer";
    EXPECT_EQ(a.Feed("a"), "");
    EXPECT_EQ(a.Feed("t\r"), kOk) << "a command may arrive in pieces";
    EXPECT_EQ(a.Feed("ats10?\r"), Val("1"));
    EXPECT_EQ(a.Feed("ats46?\r"), Val("000000000000"));
    EXPECT_EQ(a.Feed("ats53?\r"), Val("0"));
    EXPECT_EQ(a.Feed("at+btinfo?\r"), Val("0001950A0B01,OLMA-S1,MODE0,STANDBY,NoFC,0,0"));
    a.State().hwFlow = a.State().auth = true;
    a.SetPending();
    EXPECT_EQ(a.Feed("AT+BTINFO?\r"), Val("0001950A0B01,OLMA-S1,MODE0,PENDING,HWFC,1,0"));
    EXPECT_EQ(a.Feed("at+btcancel\r"), kOk);
    EXPECT_EQ(a.State().link, LinkState::Standby);
    for (const char* bad : {"atx\r", "at+bt\r", "ats\r", "ats99?\r", "ats10?1\r", "a t\r"})
        EXPECT_EQ(a.Feed(bad), kError) << bad;
}

TEST_F(SimAdapter, WritesRegistersCaseInsensitivelyAndRejectsMalformedValues) {
    EXPECT_EQ(a.Feed("ATS46=0001950a0b00\r"), kOk);
    EXPECT_EQ(a.Feed("ats46?\r"), Val("0001950a0b00")) << "kept as written";
    EXPECT_EQ(a.Feed("ats54=0001950A0B02\rAtS55=0001950A0B03\rats56=0001950A0B04\r"),
              kOk + kOk + kOk);
    EXPECT_EQ(a.State().s54, "0001950A0B02");
    EXPECT_EQ(a.State().s55, "0001950A0B03");
    EXPECT_EQ(a.State().s56, "0001950A0B04");
    for (const char* bad : {"ats46=0001950A0B0\r", "ats46=0001950A0B000\r", "ats46=0001950A0B0G\r",
                            "ats46=\r", "ats46= 001950A0B00\r"})
        EXPECT_EQ(a.Feed(bad), kError) << bad;
    EXPECT_EQ(a.State().s46, "0001950a0b00");

    EXPECT_EQ(a.Feed("at+btmode,2\r"), kOk);
    EXPECT_EQ(a.State().mode, 2);
    EXPECT_EQ(a.Feed("ats53=2\r"), kOk);
    EXPECT_EQ(a.State().s53, 2);
    for (const char* bad :
         {"at+btmode,4\r", "at+btmode,\r", "at+btmode,11\r", "ats53=3\r", "ats10=2\r", "ats10=\r"})
        EXPECT_EQ(a.Feed(bad), kError) << bad;
    EXPECT_EQ(a.State().mode, 2);
    EXPECT_EQ(a.State().s53, 2);
    EXPECT_EQ(a.State().s10, 1);
}

TEST_F(SimAdapter, ResultMessagesOffSuppressesOkErrorAndConnectButNotValues) {
    EXPECT_EQ(a.Feed("ats10=0\r"), "");
    EXPECT_EQ(a.Feed("at\r"), "");
    EXPECT_EQ(a.Feed("atx\r"), "");
    EXPECT_EQ(a.Feed("ats10?\r"), "\r\n0\r\n");
    EXPECT_EQ(a.Feed("ats46?\r"), "\r\n000000000000\r\n");
    a.SetLinked();
    EXPECT_EQ(a.Feed("+++"), "");
    EXPECT_EQ(a.Feed("ato\r"), "");
    EXPECT_TRUE(a.State().dataMode);
    a.State().dataMode = false;
    EXPECT_EQ(a.Feed("ATS10=1\r"), kOk);
}

TEST_F(SimAdapter, WithoutMultiConnectionSupportS53IsAnError) {
    a.State().multiSupport = false;
    EXPECT_EQ(a.Feed("ats53?\r"), kError);
    EXPECT_EQ(a.Feed("ats53=1\r"), kError);
    EXPECT_EQ(a.State().s53, 0);
}

TEST_F(SimAdapter, DataModeIgnoresEverythingButTheEscapeSplitAcrossFeeds) {
    a.SetLinked();
    EXPECT_EQ(a.Feed("at\rats10=0\r"), "");
    EXPECT_EQ(a.Feed("++x+"), "") << "an interrupted escape does not count";
    EXPECT_EQ(a.State().s10, 1);
    EXPECT_EQ(a.Feed("data+"), "");
    EXPECT_EQ(a.Feed("+"), "");
    EXPECT_EQ(a.Feed("+at\r"), kOk + kOk) << "escape, then a command in command mode";
    EXPECT_FALSE(a.State().dataMode);
    EXPECT_EQ(a.State().link, LinkState::Connect);
}

TEST_F(SimAdapter, EscapeThenResumeOrHangUp) {
    a.SetLinked();
    EXPECT_EQ(a.Feed("+++"), kOk);
    EXPECT_EQ(a.Feed("ato\r"), "\r\nCONNECT\r\n");
    EXPECT_TRUE(a.State().dataMode);
    EXPECT_EQ(a.Feed("+++"), kOk);
    EXPECT_EQ(a.Feed("ath\r"), kOk);
    EXPECT_EQ(a.State().link, LinkState::Standby);
    EXPECT_FALSE(a.State().dataMode);
    EXPECT_EQ(a.Feed("ato\r"), kError) << "nothing to resume";
}

TEST_F(SimAdapter, EscapeInCommandModeIsAnsweredOnlyAsAWholeLine) {
    EXPECT_EQ(a.Feed("++"), "");
    EXPECT_EQ(a.Feed("+"), kOk);
    EXPECT_EQ(a.Feed("at\r"), kOk) << "the escape left nothing behind";
    EXPECT_EQ(a.Feed("a+++"), "");
    EXPECT_EQ(a.Feed("\r"), kError);
}

TEST_F(SimAdapter, FactoryResetRestoresDefaults) {
    AdapterState& s = a.State();
    s.s10 = 0;
    s.s46 = s.s54 = s.s55 = s.s56 = "0001950A0B00";
    s.s53 = 2;
    s.mode = 1;
    s.name = "renamed";
    a.SetLinked();
    s.dataMode = false;
    EXPECT_EQ(a.Feed("at&f\r"), kOk) << "the reset turns result messages back on";
    EXPECT_EQ(s.s10, 1);
    for (const std::string* r : {&s.s46, &s.s54, &s.s55, &s.s56})
        EXPECT_EQ(*r, "000000000000");
    EXPECT_EQ(s.s53, 0);
    EXPECT_EQ(s.mode, 0);
    EXPECT_EQ(s.link, LinkState::Standby);
    EXPECT_EQ(s.name, "OLMA-S1");
    EXPECT_EQ(s.factoryResets, 1);
}

TEST_F(SimAdapter, RestartSeeksPartnersOnlyWhenConfigured) {
    EXPECT_EQ(a.Feed("atz\r"), kOk);
    EXPECT_EQ(a.State().link, LinkState::Standby);
    EXPECT_EQ(a.Feed("at+btmode,2\rats46=0001950A0B00\ratz\r"), kOk + kOk + kOk);
    EXPECT_EQ(a.State().link, LinkState::Pending) << "a slave with its master set";
    EXPECT_EQ(a.State().restarts, 2);

    CSimAdapter m("0001950A0B00", "OLMA-M");
    m.State().mode = 1;
    m.State().s55 = "0001950A0B01";
    m.Restart();
    EXPECT_EQ(m.State().link, LinkState::Standby) << "no multiple connection mode";
    m.State().s53 = 1;
    m.SetLinked();
    EXPECT_EQ(m.Feed("+++atz\r"), kOk + kOk);
    EXPECT_EQ(m.State().link, LinkState::Pending);
    EXPECT_FALSE(m.State().dataMode);
}

TEST_F(SimAdapter, EchoAndSilenceFaults) {
    a.Fault().echo = true;
    EXPECT_EQ(a.Feed("at\r\n"), "at\r" + kOk + "\n");
    a.SetLinked();
    EXPECT_EQ(a.Feed("xy"), "") << "no echo of link data";

    CSimAdapter dead("0001950A0B02", "OLMA-S2");
    dead.Fault().silent = true;
    EXPECT_EQ(dead.Feed("at+btmode,2\r"), "");
    EXPECT_EQ(dead.State().mode, 0);
}

TEST_F(SimAdapter, DiscardInputForgetsAHalfLine) {
    EXPECT_EQ(a.Feed("at+btin"), "");
    a.DiscardInput();
    EXPECT_EQ(a.Feed("fo?\r"), kError);
}

TEST_F(SimAdapter, ScriptedRepliesAndLoopbackLinks) {
    a.Fault().scripted["ats55?"] = "ERROR";
    a.Fault().scripted["ats46=0001950a0b00"] = "\r\nfine, OK\r\n";
    EXPECT_EQ(a.Feed("ATS55?\r"), "ERROR");
    EXPECT_EQ(a.Feed("ATS46=0001950A0B00\r"), "\r\nfine, OK\r\n");
    EXPECT_EQ(a.State().s46, "000000000000") << "a scripted command changes nothing";
    EXPECT_EQ(a.Feed("ats54?\r"), Val("000000000000"));

    a.Fault().loopback = true;
    a.SetLinked();
    EXPECT_EQ(a.Feed("ats10?\r\n"), "ats10?\r\n") << "the far end sends the data back";
    EXPECT_EQ(a.Feed("+++"), "+++" + kOk);
    EXPECT_FALSE(a.State().dataMode);
    EXPECT_EQ(a.Feed("at\r"), kOk) << "no loopback in command mode";
}

} // namespace
} // namespace nw::sim
