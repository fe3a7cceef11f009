// What a station run reports for each step on each adapter: who, on which
// port, what was done and how it ended. Self-contained (plain values only),
// so a front end can print it and a store can keep it as one row.
#pragma once

#include <chrono>
#include <string>

namespace nw::station {

enum class StepOutcome {
    Succeeded,
    Failed,   // the adapter was not found, refused, or could not be read
    LineGone, // a write failed or the line hung up
    Differs,  // read back, but a field is not what was written
};

// "succeeded", "failed", "line-gone", "differs".
const char* OutcomeName(StepOutcome outcome);

struct StationEvent {
    std::string role;         // "master", "slave1" .. "slave4"
    std::string port;         // the device the role's adapter is on
    std::string operation;    // "open", "read-address", "set-slave", "set-master", "verify"
    std::string text;         // the line shown for it ("Slave setting success.")
    std::string address;      // the adapter's own address as read; empty when unknown
    std::string name;         // its friendly name as read; empty when unknown
    std::string settings;     // what was written ("S46=..., MODE2, S10=1"); empty for reads
    std::string verification; // "verified", "S46 S10 differ", why it could not be read; or empty
    StepOutcome outcome = StepOutcome::Succeeded;
    std::chrono::system_clock::time_point ended; // when the step ended (set as it is handed on)
};

} // namespace nw::station
