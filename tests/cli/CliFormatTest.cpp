// The pieces of the terminal output that stand alone: byte spelling, JSON
// strings, picture drawings and the progress line.
#include "app/cli/JsonText.h"
#include "app/cli/LineTrace.h"
#include "app/cli/PictureArt.h"
#include "app/cli/TerminalConsole.h"

#include <gtest/gtest.h>

#include <sstream>

namespace nw::cli::test {
namespace {

TEST(CliFormat, SpellingNamesLineEndsAndHexForOtherBytes) {
    EXPECT_EQ(SpellBytes(std::string("+++at\r\n\0\x1b\x7f\xff~ ", 13)),
              "+++at<CR><LF><NUL><1b><7f><ff>~ ");
}

TEST(CliFormat, JsonIsValidUtf8WhateverTheAdapterSent) {
    const auto text = [](const std::string& s) { return JsonText(Json(s)); };
    const std::string fffd = "\xef\xbf\xbd";
    EXPECT_EQ(text("a\"b\\c\n\t\x02"), "\"a\\\"b\\\\c\\n\\t\\u0002\"");
    EXPECT_EQ(text("\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"),
              "\"\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\"");
    // Stray bytes, a cut sequence, an overlong form, an encoded surrogate and
    // a code point above U+10FFFF: each ill-formed piece becomes U+FFFD.
    EXPECT_EQ(text("\xff(\xe2\x82"), "\"" + fffd + "(" + fffd + "\"");
    EXPECT_EQ(text("\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80"), "\"" + fffd + fffd + "|" + fffd +
                                                                  fffd + fffd + "|" + fffd + fffd +
                                                                  fffd + fffd + "\"");
}

TEST(CliFormat, PicturePagesDrawTheTreeAndTheArrow) {
    EXPECT_EQ(DrawPicturePage(150), "1:2 network\n"
                                    "     [M]\n"
                                    "      |\n"
                                    "  +---+---+\n"
                                    "  |       |\n"
                                    " [S1]    [S2]\n"
                                    "  ^ attach slave1");
    EXPECT_EQ(DrawPicturePage(100), ""); // the about box is no picture page
}

TEST(CliFormat, ProgressLineStepsAsideForOtherLines) {
    std::ostringstream out;
    std::ostringstream err;
    CTerminalConsole console(out, err, true, true);
    console.BeginWait();
    console.BeginWait();
    console.Show("Port Open");
    console.EndWait();
    console.Note("detail");
    console.EndWait();
    console.Show("done");
    const std::string clear = "\r          \r";
    EXPECT_EQ(err.str(),
              "working..." + clear + "working..." + clear + "detail\nworking..." + clear);
    EXPECT_EQ(out.str(), "Port Open\ndone\n");

    // Not a terminal: no progress line at all.
    std::ostringstream plainErr;
    CTerminalConsole plain(out, plainErr, false, false);
    plain.BeginWait();
    plain.Note("x");
    plain.EndWait();
    EXPECT_EQ(plainErr.str(), "x\n");
}

} // namespace
} // namespace nw::cli::test
