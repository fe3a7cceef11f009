// Adapter conversations as data. A script is a list of steps, each a command
// (or a template filled with one of the run's arguments), the pause the
// adapter gets to answer it, how its reply is taken, what the reply must hold
// and where the script goes on a hit or a miss. One interpreter runs every
// script over the command exchange: it alone decides how long to wait (the
// fixed pause, or until the reply by the exchange's pacing policy), writes
// nothing once the line is gone and keeps the transcript of what was said.
#pragma once

#include "protocol/CommandExchange.h"
#include "protocol/Outcome.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace nw::script {

// How a step talks to the adapter.
enum class Send : std::uint8_t {
    Exchange, // empty the receive buffer, write, wait, take the reply
    Gather,   // write, wait, take: bytes that were already waiting count too
    Bare,     // write and wait; the reply stays for the next drain
    Wait,     // no command, the pause alone
};

// Where a reply must hold the step's keyword to be a hit.
enum class Where : std::uint8_t {
    Anywhere, // a plain search from the first character
    Exact,    // the whole reply is the keyword
};

// Where the script goes after a step: one of these, or a step's index.
inline constexpr int kNext = -1;
inline constexpr int kDone = -2;
inline constexpr int kFail = -3;

struct Step {
    const char* command = nullptr; // "%s" in it takes argument `arg` of the run
    std::uint32_t pauseMs = 0;     // 0: write and go on at once
    Send send = Send::Exchange;
    const char* keyword = nullptr;   // none: the reply is not judged, a hit
    const char* orKeyword = nullptr; // a second keyword that makes a hit too
    Where where = Where::Anywhere;
    int onHit = kNext;
    int onMiss = kFail;
    int failure = 0; // the operation's reason when a miss here fails the run
    int arg = -1;
};

// One step as it went.
struct Exchanged {
    int step = 0;
    std::string command; // as written; empty for a pause alone
    std::uint32_t pauseMs = 0;
    std::string reply; // what was taken; empty where nothing is taken
    bool hit = false;
};

struct Result {
    OutcomeKind kind = OutcomeKind::Failed;
    int failure = 0;  // the failing step's reason (0 on success)
    int endedAt = -1; // index of the step the run ended on
    std::vector<Exchanged> transcript;

    bool Succeeded() const { return kind == OutcomeKind::Succeeded; }
    // The reply step `step` took (the latest, when it ran more than once).
    std::string ReplyOf(int step) const;
};

// Runs `steps` from the first. A run that falls off the end, or reaches
// kDone, succeeds, unless the line went on the way; kFail ends it with the
// failing step's reason.
Result Run(CCommandExchange& ex, std::span<const Step> steps,
           std::span<const std::string> args = {});

} // namespace nw::script
