// Station mode: a master and its slaves, each adapter on its own port, set
// up as the one-port wizard sets them up, without swapping adapters. Every
// port opens before anything is written to any of them. Then the master's
// address is read (the wizard's first two master steps), every slave is set
// side by side (each gets exactly the wizard's slave step), the master is
// set with the slaves' addresses in the order given (the wizard's last
// master step, its re-read included), and every adapter is read back as
// `verify` reads it. A step that fails ends the run there: a slave that
// failed leaves the master unwritten.
#pragma once

#include "protocol/Pacer.h"
#include "station/StationEvent.h"
#include "station/StationOptions.h"

#include <functional>
#include <string>

namespace nw::station {

enum class StationVerdict {
    Complete,   // every adapter set and (when asked) verified
    StepFailed, // an adapter was not found, refused or lost its line
    Differs,    // all set, but an adapter reads back differently
    NotStarted, // a port could not be opened, or not 2..4 slave ports were given;
                // nothing was written anywhere
};

struct StationResult {
    StationVerdict verdict = StationVerdict::StepFailed;
    // "SUCCESS: Multi setting complete." or "FAILED: ROLE PORT: TEXT".
    std::string summary;
};

// Receives each event as its step ends, one at a time (never two calls at
// once), on whichever thread ran the step.
using EventSink = std::function<void(const StationEvent&)>;

// Runs the station for 2..4 slave ports. `pacer` takes every fixed pause,
// from several threads at once (one per port).
StationResult RunStation(const StationOptions& options, IPacer& pacer, const EventSink& sink);

} // namespace nw::station
