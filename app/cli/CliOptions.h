// The command line once parsed and checked: which command, the line settings
// and the command's own options.
#pragma once

#include "protocol/Pacing.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nw::cli {

enum class CliCommand {
    Ports,
    Check,
    Detect,
    Master,
    Slave,
    Reset,
    AutoFill,
    Wizard,
    Verify,
    Network,
    Records,
    Doctor
};

enum class ModeChoice { Unchanged, MultiDrop, NodeSwitching };

struct CliOptions {
    CliCommand command = CliCommand::Ports;

    // Global options.
    std::string port;
    std::uint32_t baud = 9600;
    std::string parity = "none"; // none, even, odd
    int stopBits = 1;            // 1 or 2
    bool trace = false;
    bool json = false;
    std::string logFile; // --log: the trace and every text, appended, time-stamped

    // ports: follow ports being added and removed.
    bool watch = false;
    // Append a row per adapter step to the records database (`db`, or the
    // default file when empty).
    bool record = false;
    std::string db;
    // --pacing and --profile: how long each wait after a command lasts.
    PacingPolicy pacing;

    // master: the slave addresses given (a given one ticks its Use box).
    std::array<std::optional<std::string>, 4> slaves;
    // slave: the master's address.
    std::string masterAddress;
    // master, wizard.
    ModeChoice mode = ModeChoice::Unchanged;
    bool disableResponse = false;
    // reset: the manual window's button instead of the main window's.
    bool manual = false;
    // wizard: number of slaves, 2..4; each adapter read back after its step.
    int slaveCount = 2;
    bool verify = false;
    // verify: a master (its slaves and mode) or a slave (its master).
    bool verifyMaster = true;
    // network: the master's port and the slaves' ports (2..4, in order);
    // no read-back at the end.
    std::string masterPort;
    std::vector<std::string> slavePorts;
    bool noVerify = false;
    // records: the filters (since: as typed) and the output format.
    std::string recordsAddress;
    std::string recordsSince;
    std::string recordsFormat = "table"; // table, csv, json
};

} // namespace nw::cli
