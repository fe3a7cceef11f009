// POSIX systems without udev: no device events to watch.
#include "serial/PortMonitor.h"

namespace nw {

std::unique_ptr<IPortMonitor> OpenPortMonitor(std::string* error) {
    if (error != nullptr)
        *error = "watching ports needs udev (Linux)";
    return nullptr;
}

} // namespace nw
