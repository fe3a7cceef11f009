#include "serial/StopSignals.h"

namespace nw {

// A Windows process that ends, by Ctrl+C or otherwise, has its handles closed
// by the system, and a COM port keeps no flag beyond its handle.
void ReleasePortsOnStopSignals() {}

} // namespace nw
