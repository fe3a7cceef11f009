// Bytes from the line as a person reads them, one spelling for every trace
// and transcript: <CR>, <LF>, <NUL>; other bytes below 0x20 and from 0x7f up
// as <xx> in lower-case hexadecimal; printable ASCII as it is.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace nw {

inline std::string SpellBytes(std::string_view bytes) {
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

} // namespace nw
