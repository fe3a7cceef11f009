#include "sim/SimAdapter.h"

#include <gtest/gtest.h>

namespace nw::sim {
namespace {

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string Times(const std::string& s, int n) {
    std::string out;
    while (n-- > 0)
        out += s;
    return out;
}
std::string Val(const std::string& v) {
    return "\r\n" + v + "\r\n" + kOk;
}
std::string Info(const std::string& modeAndLink, const std::string& rest = ",NoFC,0,0") {
    return Val("0001950A0B01,OLMA-S1," + modeAndLink + rest);
}

class SimAdapter : public ::testing::Test {
  protected:
    CSimAdapter a{"0001950A0B01", "OLMA-S1"};
};

TEST_F(SimAdapter, AnswersCommandsAndQueriesAndRejectsMalformedOnes) {
    EXPECT_EQ(a.Feed("at\rat\r\n\ra"), kOk + kOk); // LF ignored, an empty line unanswered
    EXPECT_EQ(a.Feed("t\rats10?\rats46?\rats53?\rat+btinfo?\r"),
              kOk + Val("1") + Val("000000000000") + Val("0") + Info("MODE0,STANDBY"));
    EXPECT_EQ(a.Feed("atx\rat+bt\rats\rats99?\rats10?1\ra t\rat+btmode,4\rat+btmode,11\r"),
              Times(kError, 8));
    EXPECT_EQ(a.Feed("ATS46=0001950a0b00\rAtS55=0001950A0B03\rat+btmode,2\rats53=2\r"),
              Times(kOk, 4));
    EXPECT_EQ(a.Feed("ats46=0001950A0B0\rats46=0001950A0B0G\rats46=\rats53=3\rats10=2\r"),
              Times(kError, 5));
    EXPECT_EQ(a.Feed("ats46?\rats55?\rats53?\rats10?\r"),
              Val("0001950a0b00") + Val("0001950A0B03") + Val("2") + Val("1")); // as written
    a.State().hwFlow = a.State().auth = true;
    a.SetPending();
    EXPECT_EQ(a.Feed("AT+BTINFO?\rat+btcancel\rat+btinfo?\r"),
              Info("MODE2,PENDING", ",HWFC,1,0") + kOk + Info("MODE2,STANDBY", ",HWFC,1,0"));
    a.State().multiSupport = false;
    EXPECT_EQ(a.Feed("ats53?\rats53=1\r"), kError + kError);
    EXPECT_EQ(a.Feed("ats10=0\rat\ratx\rats10?\rats46?\r"), "\r\n0\r\n\r\n0001950a0b00\r\n");
}

TEST_F(SimAdapter, InALinkOnlyTheEscapeCountsAndResumeAndHangUpFollow) {
    a.SetLinked();
    EXPECT_EQ(a.Feed("at\rats10=0\r++x+data+"), "");
    EXPECT_EQ(a.Feed("+"), "");
    EXPECT_EQ(a.Feed("+ats10?\r"), kOk + Val("1")) << "the escape split across feeds";
    EXPECT_EQ(a.Feed("ato\rat\r+++at+btinfo?\r"), "\r\nCONNECT\r\n" + kOk + Info("MODE0,CONNECT"));
    EXPECT_EQ(a.Feed("ath\rato\rat+btinfo?\r"), kOk + kError + Info("MODE0,STANDBY"));
    EXPECT_EQ(a.Feed("++"), "");
    EXPECT_EQ(a.Feed("+at\ra+++\r"), kOk + kOk + kError) << "in command mode only as a whole line";
    a.Fault().echo = true;
    EXPECT_EQ(a.Feed("at\r\n"), "at\r" + kOk + "\n");
    a.SetLinked();
    EXPECT_EQ(a.Feed("xy"), "") << "no echo of link data";
}

TEST_F(SimAdapter, FactoryResetAndRestart) {
    AdapterState& s = a.State();
    s.s46 = s.s54 = s.s55 = s.s56 = "0001950A0B00";
    s.s10 = 0;
    s.s53 = 2;
    s.mode = 1;
    s.name = "renamed";
    a.SetLinked();
    EXPECT_EQ(a.Feed("+++at&f\rats10?\rats53?\r"), kOk + Val("1") + Val("0"));
    EXPECT_EQ(a.Feed("ats46?\rats54?\rats55?\rats56?\rat+btinfo?\r"),
              Times(Val("000000000000"), 4) + Info("MODE0,STANDBY"));
    // After a restart a configured device seeks its partners.
    EXPECT_EQ(a.Feed("at+btmode,1\rats55=0001950A0B02\ratz\rat+btinfo?\r"),
              Times(kOk, 3) + Info("MODE1,STANDBY"))
        << "a master without multiple connection";
    EXPECT_EQ(a.Feed("ats53=1\ratz\rat+btinfo?\r"), kOk + kOk + Info("MODE1,PENDING"));
    a.FactoryReset();
    EXPECT_EQ(a.Feed("at+btmode,2\ratz\rat+btinfo?\r"), kOk + kOk + Info("MODE2,STANDBY"));
    EXPECT_EQ(a.Feed("ats46=0001950A0B00\ratz\rat+btinfo?\r"), kOk + kOk + Info("MODE2,PENDING"));
}

} // namespace
} // namespace nw::sim
