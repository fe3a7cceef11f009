#include "app/cli/JsonObject.h"

#include <cstdio>

namespace nw::cli {

namespace {

// Length of the well-formed UTF-8 sequence starting at text[i], 0 if none.
std::size_t Utf8Length(const std::string& text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t n = 0;
    if (lead >= 0xc2 && lead <= 0xdf)
        n = 2;
    else if (lead >= 0xe0 && lead <= 0xef)
        n = 3;
    else if (lead >= 0xf0 && lead <= 0xf4)
        n = 4;
    if (n == 0 || i + n > text.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xc0) != 0x80)
            return 0;
    }
    return n;
}

} // namespace

std::string CJsonObject::Quote(const std::string& text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned>(c));
            out += esc;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t n = Utf8Length(text, i); n != 0) {
            out += text.substr(i, n);
            i += n - 1;
        } else {
            out += "\\ufffd";
        }
    }
    return out + "\"";
}

CJsonObject& CJsonObject::Member(const std::string& key, const std::string& json) {
    if (!m_members.empty())
        m_members += ',';
    m_members += Quote(key) + ":" + json;
    return *this;
}

CJsonObject& CJsonObject::Add(const std::string& key, const std::string& value) {
    return Member(key, Quote(value));
}

CJsonObject& CJsonObject::Add(const std::string& key, bool value) {
    return Member(key, value ? "true" : "false");
}

CJsonObject& CJsonObject::AddNull(const std::string& key) {
    return Member(key, "null");
}

CJsonObject& CJsonObject::Add(const std::string& key, const std::vector<std::string>& values) {
    std::string json = "[";
    for (const std::string& v : values)
        json += (json.size() > 1 ? "," : "") + Quote(v);
    return Member(key, json + "]");
}

CJsonObject& CJsonObject::Add(const std::string& key, const std::vector<bool>& values) {
    std::string json = "[";
    for (const bool v : values)
        json += std::string(json.size() > 1 ? "," : "") + (v ? "true" : "false");
    return Member(key, json + "]");
}

} // namespace nw::cli
