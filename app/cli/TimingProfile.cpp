#include "app/cli/TimingProfile.h"

#include <nlohmann/json.hpp>
#include <toml++/toml.h>

#include <fstream>
#include <sstream>

namespace nw::cli {

namespace {

using nlohmann::json;

// Longer than any pause an adapter could want: a typo, not a setting.
constexpr std::uint32_t kMaxMs = 600000;

struct Bad {
    std::string what;
};

std::uint32_t Milliseconds(const json& value, const std::string& where) {
    if (!value.is_number_integer() || value.get<long long>() < 0 || value.get<long long>() > kMaxMs)
        throw Bad{where + " must be a whole number of milliseconds from 0 to " +
                  std::to_string(kMaxMs)};
    return static_cast<std::uint32_t>(value.get<long long>());
}

CommandTiming Timing(const json& entry, const std::string& command) {
    const std::string where = "commands.\"" + command + "\"";
    if (!entry.is_object())
        throw Bad{where + " must be an object with pauseMs and/or guardMs"};
    CommandTiming t;
    for (const auto& [key, value] : entry.items()) {
        if (key == "pauseMs")
            t.pauseMs = Milliseconds(value, where + ".pauseMs");
        else if (key == "guardMs")
            t.guardMs = Milliseconds(value, where + ".guardMs");
        else
            throw Bad{where + ": unknown setting \"" + key + "\" (pauseMs, guardMs)"};
    }
    return t;
}

// A TOML document as the JSON one it stands for: tables become objects,
// whole numbers numbers; anything else keeps a shape the checks refuse.
json FromToml(const toml::node& node) {
    if (const toml::table* table = node.as_table()) {
        json object = json::object();
        for (const auto& [key, value] : *table)
            object[std::string(key.str())] = FromToml(value);
        return object;
    }
    if (const auto* whole = node.as_integer())
        return whole->get();
    if (const auto* text = node.as_string())
        return text->get();
    return json::array(); // a fraction, a date, an array...
}

// JSON when the text starts with "{", TOML otherwise.
bool IsJson(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    return first != std::string::npos && text[first] == '{';
}

} // namespace

ProfileLoad ParseTimingProfile(const std::string& text, const std::string& name,
                               PacingPolicy& policy) {
    json doc;
    if (IsJson(text)) {
        doc = json::parse(text, nullptr, false);
        if (doc.is_discarded())
            return {false, "timing profile " + name + ": not valid JSON"};
    } else {
        try {
            doc = FromToml(toml::parse(text));
        } catch (const toml::parse_error& error) {
            return {false, "timing profile " + name + ": not valid TOML (line " +
                               std::to_string(error.source().begin.line) + ": " +
                               std::string(error.description()) + ")"};
        }
    }
    PacingPolicy read = policy;
    try {
        for (const auto& [key, value] : doc.items()) {
            if (key == "guardMs") {
                read.guardMs = Milliseconds(value, "guardMs");
            } else if (key == "commands") {
                if (!value.is_object())
                    throw Bad{"commands must be an object keyed by command"};
                for (const auto& [command, entry] : value.items()) {
                    const std::string commandKey = CommandKey(command);
                    if (commandKey.empty())
                        throw Bad{"commands: an empty command name"};
                    read.commands[commandKey] = Timing(entry, command);
                }
            } else {
                throw Bad{"unknown setting \"" + key + "\" (guardMs, commands)"};
            }
        }
    } catch (const Bad& bad) {
        return {false, "timing profile " + name + ": " + bad.what};
    }
    policy = std::move(read);
    return {true, {}};
}

ProfileLoad LoadTimingProfile(const std::string& path, PacingPolicy& policy) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {false, "timing profile " + path + ": cannot be read"};
    std::ostringstream text;
    text << in.rdbuf();
    return ParseTimingProfile(text.str(), path, policy);
}

} // namespace nw::cli
