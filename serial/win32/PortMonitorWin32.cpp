// Device notifications on Windows come as window messages to a window the
// program does not have here; the monitor is not offered.
#include "serial/PortMonitor.h"

namespace nw {

std::unique_ptr<IPortMonitor> OpenPortMonitor(std::string* error) {
    if (error != nullptr)
        *error = "watching ports is not available on Windows";
    return nullptr;
}

} // namespace nw
