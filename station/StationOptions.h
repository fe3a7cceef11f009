// What a station run sets up: the master's port and its slaves' ports (in
// the order their addresses go to the master), the line settings every port
// opens with, and the wizard's choices.
#pragma once

#include "protocol/Network.h"
#include "protocol/Pacing.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nw::station {

struct StationOptions {
    std::string masterPort;
    std::vector<std::string> slavePorts; // 2..4
    std::uint32_t baud = 9600;
    std::uint8_t stopBits = 0; // CSerialPort's codes: 0 one, 2 two
    std::uint8_t parity = 0;   // 0 none, 1 odd, 2 even
    ConnectionMode mode = ConnectionMode::MultiDrop;
    bool disableResponse = false;
    bool verify = true; // read every adapter back at the end
    // How long each wait after a command lasts, on every port.
    PacingPolicy pacing;
    // Sees every chunk each port writes (written) or reads, with its role;
    // called on the writing thread and on the port's reader thread.
    std::function<void(const std::string& role, bool written, std::string_view bytes)> lineTrace;
};

} // namespace nw::station
