// The --json results: one JSON object on one line, members in the order they
// were set. Adapter text may hold any bytes: each ill-formed UTF-8 sequence
// becomes U+FFFD, so the output is always valid UTF-8.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace nw::cli {

using Json = nlohmann::ordered_json;

inline std::string JsonText(const Json& json) {
    return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace nw::cli
