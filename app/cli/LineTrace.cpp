#include "app/cli/LineTrace.h"

#include <cstdio>

namespace nw::cli {

std::string SpellBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\r') {
            out += "<CR>";
        } else if (c == '\n') {
            out += "<LF>";
        } else if (c == 0) {
            out += "<NUL>";
        } else if (c >= 0x20 && c < 0x7f) {
            out.push_back(ch);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02x>", static_cast<unsigned>(c));
            out += hex;
        }
    }
    return out;
}

std::string TraceLine(double ms, bool written, std::string_view bytes) {
    char head[48];
    std::snprintf(head, sizeof head, "%9.1f ms %s ", ms, written ? "TX" : "RX");
    return head + SpellBytes(bytes);
}

} // namespace nw::cli
