#include "app/cli/LineTrace.h"

#include <cstdio>

namespace nw::cli {

namespace {

// Length of the well-formed UTF-8 sequence of a printable character at
// text[i] (not a C1 control), 0 if there is none.
std::size_t PrintableUtf8Length(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned lead = byte(0);
    std::size_t n = 0;
    unsigned lo = 0x80;
    unsigned hi = 0xbf; // range of the second byte
    if (lead >= 0xc2 && lead <= 0xdf) {
        n = 2;
        if (lead == 0xc2)
            lo = 0xa0; // U+0080..U+009F are the C1 controls
    } else if (lead >= 0xe0 && lead <= 0xef) {
        n = 3;
        if (lead == 0xe0)
            lo = 0xa0; // no overlong forms
        else if (lead == 0xed)
            hi = 0x9f; // no surrogates
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        n = 4;
        if (lead == 0xf0)
            lo = 0x90;
        else if (lead == 0xf4)
            hi = 0x8f; // nothing above U+10FFFF
    }
    if (n == 0 || i + n > text.size() || byte(1) < lo || byte(1) > hi)
        return 0;
    for (std::size_t k = 2; k < n; ++k) {
        if ((byte(k) & 0xc0) != 0x80)
            return 0;
    }
    return n;
}

} // namespace

std::string SpellForTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7f) {
            out.push_back(text[i++]);
        } else if (const std::size_t n = c >= 0x80 ? PrintableUtf8Length(text, i) : 0; n != 0) {
            out.append(text.substr(i, n));
            i += n;
        } else {
            out += SpellBytes(text.substr(i, 1));
            ++i;
        }
    }
    return out;
}

std::string TraceLine(double ms, bool written, std::string_view bytes) {
    char head[48];
    std::snprintf(head, sizeof head, "%9.1f ms %s ", ms, written ? "TX" : "RX");
    return head + SpellBytes(bytes);
}

std::string WaitLine(double ms, std::string_view command, double waitedMs, std::uint32_t pauseMs,
                     bool replied) {
    char head[32];
    std::snprintf(head, sizeof head, "%9.1f ms WAIT ", ms);
    char tail[64];
    std::snprintf(tail, sizeof tail, " %.1f of %u ms, %s", waitedMs, pauseMs,
                  replied ? "reply" : "full");
    return head + (command.empty() ? std::string("(pause)") : SpellBytes(command)) + tail;
}

} // namespace nw::cli
