#include "serial/SerialPort.h"

namespace nw {

std::string PortFailure::Describe() const {
    const std::string dev = device.empty() ? std::string("the port") : device;
    const std::string os = osText.empty() ? std::string() : " (" + osText + ")";
    switch (code) {
    case PortError::None:
        return {};
    case PortError::AlreadyOpen:
        return dev + ": the port is already open";
    case PortError::NotFound:
        return dev + ": no such device; check the cable and the port name" + os;
    case PortError::PermissionDenied:
        return dev +
               ": permission denied; add your user to the 'dialout' group "
               "(sudo usermod -aG dialout $USER), then log out and in again" +
               os;
    case PortError::Busy:
        return dev + ": the port is in use by another program" + os;
    case PortError::NotSerial:
        return dev + ": not a serial port" + os;
    case PortError::BadSettings:
        return dev + ": the device refused the line settings" + os;
    case PortError::System:
        break;
    }
    return dev + ": cannot open" + os;
}

} // namespace nw
