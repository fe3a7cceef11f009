#include "protocol/Pacing.h"

#include <cctype>

namespace nw {

std::string CommandKey(std::string_view command) {
    while (!command.empty() && (command.back() == '\r' || command.back() == '\n'))
        command.remove_suffix(1);
    std::string key(command);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::string WriteKey(std::string_view command) {
    std::string key = CommandKey(command);
    const std::size_t eq = key.find('=');
    return eq == std::string::npos ? std::string() : key.substr(0, eq + 1);
}

const CommandTiming* PacingPolicy::Find(std::string_view command) const {
    if (commands.empty())
        return nullptr;
    if (const auto it = commands.find(CommandKey(command)); it != commands.end())
        return &it->second;
    if (const std::string key = WriteKey(command); !key.empty()) {
        if (const auto it = commands.find(key); it != commands.end())
            return &it->second;
    }
    return nullptr;
}

std::uint32_t PacingPolicy::PauseFor(std::string_view command, std::uint32_t stepMs) const {
    const CommandTiming* t = Find(command);
    return t != nullptr && t->pauseMs ? *t->pauseMs : stepMs;
}

std::uint32_t PacingPolicy::GuardFor(std::string_view command) const {
    const CommandTiming* t = Find(command);
    return t != nullptr && t->guardMs ? *t->guardMs : guardMs;
}

} // namespace nw
