// When a reply counts as the adapter's final result.
#include "protocol/FinalResult.h"

#include <gtest/gtest.h>

namespace nw {
namespace {

struct Case {
    const char* received;
    const char* command;
    bool resultsOff;
    bool final;
};

TEST(FinalResult, ByCommandAndReply) {
    const Case cases[] = {
        {"\r\nOK\r\n", "at\r\n", false, true},
        {"\r\nOK", "at\r\n", false, false}, // the line is not complete yet
        {"\r\nERROR\r\n", "ats53?\r\n", false, true},
        {"\r\n1\r\n", "ats53?\r\n", false, false}, // its OK still to come
        {"\r\n1\r\n\r\nOK\r\n", "ats53?\r\n", false, true},
        {"\r\nOK\r\n", "ats53?\r\n", false, false}, // no value: not this query's answer
        {"\r\n1\r\n", "ats53?\r\n", true, true},
        {"\r\n0\r\n", "ats10?\r\n", false, true}, // says itself that no OK follows
        {"ats46?\r\r\n0001950A0B00\r\n", "ats46?\r\n", true, true},
        {"ats46?\r\r\n", "ats46?\r\n", true, false}, // the echo alone
        {"ATS46=0001950A0B01\r", "ATS46=0001950A0B01\r\n", false, false},
        {"\r\nCONNECT\r\n", "ato\r\n", false, false},
        {"", "ats10=0\r\n", true, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HoldsFinalResult(c.received, c.command, c.resultsOff), c.final)
            << c.command << " <- " << c.received;
}

} // namespace
} // namespace nw
