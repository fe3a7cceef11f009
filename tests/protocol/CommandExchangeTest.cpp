#include "protocol/CommandExchange.h"
#include "protocol/Dialect.h"
#include "serial/LineSettings.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace nw {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::WaitUntil;

TEST(Dialect, AddressWritesAreFormattedIntoTheCommandBuffer) {
    EXPECT_EQ(cmd::FormatAddressWrite(cmd::kAts46Write, "0001950A0B01"),
              "ATS46=0001950A0B01\r\n");
    EXPECT_EQ(cmd::FormatAddressWrite(cmd::kAts56Write, ""), "ATS56=\r\n");
    // The 64-byte buffer cuts an over-long text (63 characters kept).
    EXPECT_EQ(cmd::FormatAddressWrite(cmd::kAts54Write, std::string(100, 'A')).size(), 63u);
}

} // namespace
} // namespace nw
