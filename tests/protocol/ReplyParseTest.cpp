// How replies are read: the information report's fields and tokens, the
// readback's address rule, and the report's composition.
#include "protocol/DeviceInfo.h"
#include "protocol/Readback.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nw {
namespace {

struct Parsed {
    std::string address;
    InfoLines lines;
};

Parsed Parse(const std::string& reply) {
    Parsed p;
    p.address = ParseDeviceInfo(reply, p.lines);
    return p;
}

TEST(InfoParse, WellFormedReplyGivesEveryField) {
    const Parsed p = Parse("\r\n0001950A0B01,OLMA-S1,MODE2,STANDBY,NoFC,1,0\r\n\r\nOK\r\n");
    EXPECT_EQ(p.address, "0001950A0B01");
    EXPECT_EQ(p.lines.m_strInfoAddress, "Bluetooth Address: 0001950A0B01");
    EXPECT_EQ(p.lines.m_strInfoName, "Friendly Name: OLMA-S1");
    EXPECT_EQ(p.lines.m_strInfoMode, "Mode: MODE2");
    EXPECT_EQ(p.lines.m_strInfoStatus, "Status: STANDBY");
    EXPECT_EQ(p.lines.m_strInfoFlow, "FlowControl: OFF");
    EXPECT_EQ(p.lines.m_strInfoSecurity, "Authentication: ON\nEncryption: OFF");
}

TEST(InfoParse, FieldsByCommaPosition) {
    // No comma: no address, no name.
    Parsed p = Parse("\r\n0001950A0B01 OLMA\r\n");
    EXPECT_EQ(p.address, "");
    EXPECT_EQ(p.lines.m_strInfoName, "Friendly Name: ");
    // One comma: the address, but the name needs a second comma.
    p = Parse("\r\n0001950A0B01,OLMA-M\r\n");
    EXPECT_EQ(p.address, "0001950A0B01");
    EXPECT_EQ(p.lines.m_strInfoName, "Friendly Name: ");
    // A long first field gives at most 12 characters; a short one what is there.
    EXPECT_EQ(Parse("\r\n0001950A0B01FFFF,N,").address, "0001950A0B01");
    EXPECT_EQ(Parse("\r\nAB,N,").address, "AB");
    EXPECT_EQ(Parse("\r\n,N,").address, "");
    EXPECT_EQ(Parse(",N,").address, "");
    EXPECT_EQ(Parse(",N,").lines.m_strInfoName, "Friendly Name: N");
    EXPECT_EQ(Parse("").address, "");
}

TEST(InfoParse, AnAddressHoldingControlBytesIsNoAddress) {
    // A stray line end before the description would otherwise put "\r\n" into
    // the address, and from there into another adapter's command line.
    EXPECT_EQ(Parse("\r\nOK\r\n\r\n0001950A0B01,OLMA,").address, "");
    EXPECT_EQ(Parse("\r\nOK\r\n\r\n0001950A0B01,OLMA,").lines.m_strInfoAddress,
              "Bluetooth Address: ");
    EXPECT_EQ(Parse("\r\n0001950A\x1b"
                    "0B01,OLMA,")
                  .address,
              "");
    EXPECT_EQ(Parse("\r\n0001950A\x7f"
                    "0B01,OLMA,")
                  .address,
              "");
    // Bytes past the twelfth character do not matter.
    EXPECT_EQ(Parse("\r\n0001950A0B01\r,OLMA,").address, "0001950A0B01");
}

TEST(InfoParse, TokensAreSearchedInOrderOverTheWholeReply) {
    // A name holding a token decides when no earlier token is present.
    Parsed p = Parse("\r\nA,xMODE2x,MODE3,STANDBY,HWFC,0,0\r\n");
    EXPECT_EQ(p.lines.m_strInfoMode, "Mode: MODE2");
    p = Parse("\r\nA,NoFC-box,MODE0,STANDBY,HWFC,0,0\r\n");
    EXPECT_EQ(p.lines.m_strInfoFlow, "FlowControl: OFF");
    // Search order, not position, decides.
    EXPECT_EQ(Parse("MODE3 MODE1").lines.m_strInfoMode, "Mode: MODE1");
    EXPECT_EQ(Parse("CONNECT PENDING").lines.m_strInfoStatus, "Status: PENDING");
    EXPECT_EQ(Parse("x,1,1,0,0").lines.m_strInfoSecurity, "Authentication: OFF\nEncryption: OFF");
    EXPECT_EQ(Parse("x,0,1").lines.m_strInfoSecurity, "Authentication: OFF\nEncryption: ON");
    EXPECT_EQ(Parse("x,1,1").lines.m_strInfoSecurity, "Authentication: ON\nEncryption: ON");
}

TEST(InfoParse, NothingRecognisedGivesQuestionLinesAndASevenLineReport) {
    Parsed p = Parse("\r\ngarbage\r\n");
    EXPECT_EQ(p.lines.m_strInfoMode, "Mode: ?");
    EXPECT_EQ(p.lines.m_strInfoStatus, "Status: ?");
    EXPECT_EQ(p.lines.m_strInfoFlow, "FlowControl: ?");
    EXPECT_EQ(p.lines.m_strInfoSecurity, "Authentication: ?");
    p.lines.m_strInfoResponse = "Command Response: ON";
    const std::string report = ComposeReport(p.lines);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 6);
    EXPECT_EQ(report, "Friendly Name: \nBluetooth Address: \nMode: ?\nFlowControl: ?\n"
                      "Status: ?\nAuthentication: ?\nCommand Response: ON");

    p = Parse("\r\n0001950A0B01,OLMA-S1,MODE2,STANDBY,NoFC,0,0\r\n");
    p.lines.m_strInfoResponse = "Command Response: OFF";
    const std::string full = ComposeReport(p.lines);
    EXPECT_EQ(std::count(full.begin(), full.end(), '\n'), 7);
    EXPECT_NE(full.back(), '\n');
}

TEST(ReadbackAddress, OnlyTwelveHexDigitsAreAnAddress) {
    const auto read = [](const std::string& reply) {
        const ReadbackAddress r = AddressFromReadback(reply);
        return (r.read ? "read " : "unread ") + r.address;
    };
    EXPECT_EQ(read("ERROR"), "read 000000000000"); // the whole reply, exactly
    EXPECT_EQ(read("\r\n0001950A0B01\r\n\r\nOK\r\n"), "read 0001950A0B01");
    EXPECT_EQ(read("\r\n0001950a0b01\r\n"), "read 0001950a0b01");
    for (const char* reply :
         {"", "\r\nERROR\r\n", "\r\n7", "\r\n0001950A0B0G\r\n", "s46?\r\n\r\nERROR\r\n"})
        EXPECT_EQ(read(reply), "unread 000000000000") << reply;
}

} // namespace
} // namespace nw
