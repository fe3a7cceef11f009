#include "serial/posix/TermiosSettings.h"
#include "serial/LineSettings.h"

#include <gtest/gtest.h>

#include <iterator>

namespace nw::posix {
namespace {

termios Make(std::uint32_t baud, std::uint8_t stop, std::uint8_t par) {
    termios t{};
    t.c_iflag = IXON | IXOFF | ICRNL | ISTRIP;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ECHO | ICANON | ISIG;
    t.c_cflag = CS7 | CRTSCTS | PARENB | CSTOPB;
    std::string why;
    EXPECT_TRUE(MakeTermios(t, baud, stop, par, &why)) << why;
    return t;
}

TEST(TermiosSettings, EveryOfferedRateMaps) {
    const speed_t speeds[] = {B1200,  B2400,   B4800,   B9600,   B19200, B38400,
                              B57600, B115200, B230400, B460800, B921600};
    ASSERT_EQ(std::size(speeds), kBaudRates.size());
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        const termios t = Make(kBaudRates[i], stopbits::kOne, parity::kNone);
        EXPECT_EQ(cfgetospeed(&t), speeds[i]) << kBaudRates[i];
        EXPECT_EQ(cfgetispeed(&t), speeds[i]) << kBaudRates[i];
    }
    termios t{};
    std::string why;
    EXPECT_FALSE(MakeTermios(t, 12345, stopbits::kOne, parity::kNone, &why));
    EXPECT_EQ(why, "unsupported baud rate");
}

TEST(TermiosSettings, RawEightBitsNoFlowControl) {
    const termios t = Make(9600, stopbits::kOne, parity::kNone);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | PARODD | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(t.c_cflag & CREAD, 0u);
    EXPECT_NE(t.c_cflag & CLOCAL, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_lflag & (ECHO | ICANON | ISIG), 0u);
}

TEST(TermiosSettings, WindowsParityAndStopCodesMapOntoFlags) {
    const termios even = Make(9600, stopbits::kOne, parity::kEven);
    EXPECT_NE(even.c_cflag & PARENB, 0u);
    EXPECT_EQ(even.c_cflag & PARODD, 0u);
    const termios odd = Make(9600, stopbits::kOne, parity::kOdd);
    EXPECT_NE(odd.c_cflag & PARENB, 0u);
    EXPECT_NE(odd.c_cflag & PARODD, 0u);
    const termios two = Make(9600, stopbits::kTwo, parity::kNone);
    EXPECT_NE(two.c_cflag & CSTOPB, 0u);
    // Parity is generated but not checked on input, as the original line set-up.
    EXPECT_EQ(even.c_iflag & INPCK, 0u);

    termios t{};
    EXPECT_FALSE(MakeTermios(t, 9600, 1, parity::kNone));  // 1.5 stop bits: not offered
    EXPECT_FALSE(MakeTermios(t, 9600, stopbits::kOne, 3)); // mark parity: not offered
}

} // namespace
} // namespace nw::posix
