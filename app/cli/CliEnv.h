// What the terminal front end takes from its surroundings: the pacer every
// fixed pause goes through, whether its output streams are terminals, where
// the port list and doctor's checks read from and the clock of the trace time
// stamps. The binary fills it from the process; tests fill it with a scaled
// pacer, string streams and fake trees.
#pragma once

#include "protocol/Pacer.h"
#include "serial/PortDoctor.h"
#include "serial/PortMonitor.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace nw::cli {

struct CliEnv {
    // Every fixed pause of every operation; none given: the real pauses.
    IPacer* pacer = nullptr;
    // Terminals get the picture drawings (stdout) and the progress line (stderr).
    bool stdoutIsTerminal = false;
    bool stderrIsTerminal = false;
    // Roots the port list reads (see CSerialEnum).
    std::string sysRoot = "/sys";
    std::string devRoot = "/dev";
    // The monitor `ports --watch` listens to; empty: the system's.
    std::function<std::unique_ptr<IPortMonitor>(std::string* error)> openPortMonitor;
    // What doctor reads besides (see CPortDoctor): the processes, the group
    // file and local udev rules, packaged udev rules and units, programs; and
    // who asks (empty: this process).
    std::string procRoot = "/proc";
    std::string etcRoot = "/etc";
    std::string libRoot = "/lib";
    std::string usrRoot = "/usr";
    std::optional<ProcessIdentity> identity;
    // Milliseconds since the program started, for the trace lines; empty:
    // measured from the start of RunCli.
    std::function<double()> elapsedMs;
    // Sees the size of every chunk the port writes (true) or reads (false, on
    // the port's reader thread); tests use it to tell when the line is quiet.
    std::function<void(bool written, std::size_t bytes)> lineObserver;
};

} // namespace nw::cli
