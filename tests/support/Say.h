// One command through the script interpreter, sent as every operation sends
// its commands: drain, write, pause, take.
#pragma once

#include "protocol/Script.h"

#include <string>

namespace nw::test {

inline std::string Say(CCommandExchange& ex, const char* command, std::uint32_t ms) {
    const script::Step step[] = {{.command = command, .pauseMs = ms}};
    return script::Run(ex, step).ReplyOf(0);
}

} // namespace nw::test
