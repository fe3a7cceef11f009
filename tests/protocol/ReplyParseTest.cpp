// How replies are read: the information report's fields and tokens, and the
// readback's address rule.
#include "protocol/DeviceInfo.h"
#include "protocol/Readback.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

// The fields of a parse as one line: address|name|mode|status|flow|security.
std::string Fields(const std::string& reply) {
    InfoLines l;
    const std::string address = ParseDeviceInfo(reply, l);
    EXPECT_EQ(l.m_strInfoAddress, "Bluetooth Address: " + address);
    return address + "|" + l.m_strInfoName.substr(15) + "|" + l.m_strInfoMode.substr(6) + "|" +
           l.m_strInfoStatus.substr(8) + "|" + l.m_strInfoFlow.substr(13) + "|" +
           l.m_strInfoSecurity;
}

TEST(InfoParse, FieldsByCommaAndTokensByTheOrderOfTheSearch) {
    const std::pair<const char*, const char*> cases[] = {
        {"\r\n0001950A0B01,OLMA-S1,MODE2,STANDBY,NoFC,1,0\r\n\r\nOK\r\n",
         "0001950A0B01|OLMA-S1|MODE2|STANDBY|OFF|Authentication: ON\nEncryption: OFF"},
        // No comma: no address, no name; one comma: no name yet.
        {"\r\n0001950A0B01 OLMA\r\n", "||?|?|?|Authentication: ?"},
        {"\r\n0001950A0B01,OLMA-M\r\n", "0001950A0B01||?|?|?|Authentication: ?"},
        // At most 12 characters from the third; a short field as it is.
        {"\r\n0001950A0B01FFFF,N,", "0001950A0B01|N|?|?|?|Authentication: ?"},
        {"\r\nAB,N,", "AB|N|?|?|?|Authentication: ?"},
        {",N,", "|N|?|?|?|Authentication: ?"},
        // A control byte in the address would split a command: no address.
        {"\r\nOK\r\n\r\n0001950A0B01,OLMA,", "|OLMA|?|?|?|Authentication: ?"},
        {"\r\n0001950A\x1b"
         "0B01,X,",
         "|X|?|?|?|Authentication: ?"},
        {"\r\n0001950A0B01\r,X,", "0001950A0B01|X|?|?|?|Authentication: ?"},
        // Tokens anywhere, name included; the search order decides.
        {"\r\nA,xMODE2x,MODE3,STANDBY,HWFC,0,0\r\n",
         "A|xMODE2x|MODE2|STANDBY|ON|Authentication: OFF\nEncryption: OFF"},
        {"\r\nA,NoFC-box,MODE0,CONNECT PENDING,HWFC,0,1\r\n",
         "A|NoFC-box|MODE0|PENDING|OFF|Authentication: OFF\nEncryption: ON"},
        {"x,1,1", "|1|?|?|?|Authentication: ON\nEncryption: ON"},
    };
    for (const auto& [reply, fields] : cases)
        EXPECT_EQ(Fields(reply), fields) << reply;
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
