// The command line once parsed and checked: which command, the line settings
// and the command's own options.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

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
};

} // namespace nw::cli
