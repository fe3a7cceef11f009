#include "serial/posix/TermiosSettings.h"

#include "serial/LineSettings.h"

namespace nw::posix {

bool BaudToSpeed(std::uint32_t baud, speed_t& speed) {
    switch (baud) {
    case 1200:
        speed = B1200;
        return true;
    case 2400:
        speed = B2400;
        return true;
    case 4800:
        speed = B4800;
        return true;
    case 9600:
        speed = B9600;
        return true;
    case 19200:
        speed = B19200;
        return true;
    case 38400:
        speed = B38400;
        return true;
    case 57600:
        speed = B57600;
        return true;
    case 115200:
        speed = B115200;
        return true;
    case 230400:
        speed = B230400;
        return true;
#ifdef B460800
    case 460800:
        speed = B460800;
        return true;
#endif
#ifdef B921600
    case 921600:
        speed = B921600;
        return true;
#endif
    default:
        return false;
    }
}

bool MakeTermios(termios& t, std::uint32_t baud, std::uint8_t byStopBits, std::uint8_t byParity,
                 std::string* why) {
    auto refuse = [why](const char* reason) {
        if (why != nullptr)
            *why = reason;
        return false;
    };
    speed_t speed{};
    if (!BaudToSpeed(baud, speed))
        return refuse("unsupported baud rate");
    if (byStopBits != stopbits::kOne && byStopBits != stopbits::kTwo)
        return refuse("unsupported stop bits");
    if (byParity != parity::kNone && byParity != parity::kOdd && byParity != parity::kEven)
        return refuse("unsupported parity");

    cfmakeraw(&t);
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= CS8 | CREAD | CLOCAL;
    if (byParity != parity::kNone) {
        t.c_cflag |= PARENB;
        if (byParity == parity::kOdd)
            t.c_cflag |= PARODD;
    }
    if (byStopBits == stopbits::kTwo)
        t.c_cflag |= CSTOPB;
    // A read returns what is there; the reader waits in poll, never in read.
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    return true;
}

} // namespace nw::posix
