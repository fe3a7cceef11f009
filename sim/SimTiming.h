// How long the simulated adapters take, when the bench is set to realistic
// timing: every reply comes after a jittered latency; after accepting a
// register write or a mode change the adapter is busy for a while and a
// command that arrives meanwhile is lost (nothing changes, nothing is
// answered); after "atz" and "at&f" it restarts and ignores the line; and
// the escape "+++" counts only after a silence and is answered after
// another. The default bench answers at once, as it always did.
#pragma once

#include <cstdint>

namespace nw::sim {

struct SimTiming {
    bool realistic = false;
    std::uint32_t replyMinMs = 3; // latency of each reply, uniform in [min, max]
    std::uint32_t replyMaxMs = 25;
    std::uint32_t busyMinMs = 10; // after a register write or mode change was accepted
    std::uint32_t busyMaxMs = 35;
    std::uint32_t restartMs = 250;     // "atz", "at&f": input ignored after the answer
    std::uint32_t escapeGuardMs = 100; // silence before "+++" and before its "OK"
    double scale = 1.0;                // every figure times this (tests run faster)
    std::uint32_t seed = 1;            // the jitter's random sequence

    static SimTiming Realistic(std::uint32_t seed = 1) {
        SimTiming t;
        t.realistic = true;
        t.seed = seed;
        return t;
    }
};

} // namespace nw::sim
