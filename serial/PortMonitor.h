// Serial ports coming and going while the program runs. On Linux the kernel's
// device events reach the program through a udev netlink monitor (no polling):
// udevd's events where it runs, the kernel's own otherwise.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace nw {

struct PortEvent {
    enum class Kind { Added, Removed };
    Kind kind = Kind::Added;
    std::string path; // the device node, e.g. "/dev/ttyUSB0"
};

class IPortMonitor {
  public:
    virtual ~IPortMonitor() = default;
    // Blocks until ports came or went; empty once the monitor can deliver no
    // more (it was closed or failed).
    virtual std::vector<PortEvent> Wait() = 0;
    // What is waiting now, without blocking.
    virtual std::vector<PortEvent> Take() = 0;
    // A descriptor that turns readable when events wait, for event loops
    // (QSocketNotifier); -1 where there is none.
    virtual int Fd() const = 0;
};

// The system's monitor of serial ports; null (with the reason in `error`)
// where the system gives none.
std::unique_ptr<IPortMonitor> OpenPortMonitor(std::string* error);

} // namespace nw
