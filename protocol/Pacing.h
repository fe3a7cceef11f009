// How long the interpreter waits after each command. `Fixed` waits every
// pause to its end, as the adapter's makers timed them. `Reply` ends a wait
// once the adapter's final result for the command has arrived, plus a guard
// for an adapter that needs a moment after answering; it still waits the
// whole pause when no result comes, around the escape and after a restart.
// A timing profile may set any command's pause and guard.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace nw {

enum class PacingMode : std::uint8_t { Fixed, Reply };

struct CommandTiming {
    std::optional<std::uint32_t> pauseMs; // instead of the step's own pause
    std::optional<std::uint32_t> guardMs; // instead of the policy's guard
};

struct PacingPolicy {
    static constexpr std::uint32_t kDefaultGuardMs = 50;

    PacingMode mode = PacingMode::Fixed;
    std::uint32_t guardMs = kDefaultGuardMs;
    // By command key (see CommandKey): "at+btinfo?", "ats46=", "+++".
    std::map<std::string, CommandTiming> commands;

    // The pause after `command`, `stepMs` unless the profile sets it.
    std::uint32_t PauseFor(std::string_view command, std::uint32_t stepMs) const;
    // The guard after `command`'s reply.
    std::uint32_t GuardFor(std::string_view command) const;

  private:
    const CommandTiming* Find(std::string_view command) const;
};

// A command as a profile names it: lower case, without its line end.
std::string CommandKey(std::string_view command);
// The shorter key that names every value of a register write: "ats46=".
std::string WriteKey(std::string_view command);

} // namespace nw
