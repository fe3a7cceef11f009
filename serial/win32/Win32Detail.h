// Small pieces of the Windows serial backend that need no open device: the
// device path of a port name, the meaning of a system error for an open or a
// read, and the system's own text for an error. Kept apart so tests reach
// them without a line.
#pragma once

#include "serial/SerialPort.h"

#include <cstdint>
#include <string>

namespace nw::win32 {

// "COM12" -> "\\.\COM12": the device namespace, which also reaches ports
// above COM9. A name already in that namespace is used as it is.
std::string DevicePath(const std::string& name);

// Why CreateFileA refused a port. A COM port is opened without sharing, so a
// port that another handle holds answers ERROR_ACCESS_DENIED: that is Busy.
PortError ErrorFromOpen(std::uint32_t error);

// True when a read failed because the device is no longer there (unplugged
// USB adapter, a driver that went away, a handle that was closed under us).
bool DeviceGone(std::uint32_t error);

// The system's message for `error` (FormatMessageA), without the trailing
// full stop and line end; "error N" when the system has none.
std::string SystemText(std::uint32_t error);

} // namespace nw::win32
