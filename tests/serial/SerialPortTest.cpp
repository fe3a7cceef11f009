// The real port over a pseudo-terminal: the test plays the adapter.
#include "serial/SerialPort.h"
#include "serial/LineSettings.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdarg>
#include <future>

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

// A pseudo-terminal hands every byte on at once. To stand for an adapter that
// stopped taking bytes, TIOCOUTQ on the terminal device named here reports
// three bytes that never leave.
static std::atomic<dev_t> g_stalledDevice{0};

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    struct stat st {};
    if (request == TIOCOUTQ && g_stalledDevice != 0 && fstat(fd, &st) == 0 &&
        st.st_rdev == g_stalledDevice)
        return (*static_cast<int*>(arg) = 3, 0);
    return static_cast<int>(syscall(SYS_ioctl, fd, request, arg));
}

namespace nw {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::WaitUntil;

bool Open(CSerialPort& port, const std::string& path, std::uint32_t baud = 9600) {
    return port.Open(path, baud, stopbits::kOne, parity::kNone);
}

TEST(SerialPort, HoldsTheLineAloneAtItsSettingsAndReleasesItOnCloseAndOnFailure) {
    PtyPair pty;
    CSerialPort port, other; // the other as another program would
    char notTty[] = "/tmp/nw-notatty-XXXXXX";
    close(mkstemp(notTty));
    for (const auto& [path, baud, error] :
         {std::tuple{"/dev/nodewright-none", 9600, PortError::NotFound},
          {notTty, 9600, PortError::NotSerial},
          {"/dev/null", 9600, PortError::NotSerial},
          {pty.Path().c_str(), 12345, PortError::BadSettings}}) {
        EXPECT_FALSE(Open(port, path, baud));
        EXPECT_EQ(port.LastFailure().code, error) << path;
        EXPECT_TRUE(port.LastFailure().Describe().starts_with(std::string(path) + ": "));
        EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    }
    unlink(notTty);
    int exclusive = -1; // the terminal's flag, which outlives the port's descriptor
    EXPECT_EQ(ioctl(pty.HeldTerminal(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "a failed open left the line locked";

    ASSERT_TRUE(port.Open(pty.Path(), 115200, stopbits::kTwo, parity::kOdd));
    termios t{};
    ASSERT_EQ(tcgetattr(pty.HeldTerminal(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
    // (A Linux pseudo-terminal drops PARENB and forces CS8 by itself.)
    EXPECT_EQ(t.c_cflag & (CSTOPB | PARODD | CRTSCTS), static_cast<tcflag_t>(CSTOPB | PARODD));
    EXPECT_FALSE(Open(port, pty.Path()));
    EXPECT_EQ(port.LastFailure().code, PortError::AlreadyOpen);
    EXPECT_FALSE(Open(other, pty.Path()));
    EXPECT_EQ(other.LastFailure().code, PortError::Busy);
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
    EXPECT_EQ(pty.Read(4, 1s), "at\r\n");
    std::string burst("\r\nOK\0\r\n", 7);
    for (int i = 0; i < 900; ++i)
        burst.push_back(static_cast<char>(i));
    pty.Send(burst);
    ASSERT_TRUE(WaitUntil([&] { return port.Waiting() == 907; }, 2s));
    const double cpu = test::ProcessCpuMs();
    std::this_thread::sleep_for(300ms); // the reader is asleep in the kernel
    EXPECT_LT(test::ProcessCpuMs() - cpu, 25.0);
    const auto t0 = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 200ms) << "Close waits for the reader";
    EXPECT_EQ(ioctl(pty.HeldTerminal(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "Close left the line locked";

    // Every offered rate, and even parity with one stop bit, reach the line.
    const speed_t speeds[] = {B1200,  B2400,   B4800,   B9600,   B19200, B38400,
                              B57600, B115200, B230400, B460800, B921600};
    for (std::size_t i = 0; i < kBaudRates.size(); ++i) {
        t.c_iflag |= IXON | ICRNL; // as a cooked terminal
        t.c_oflag |= OPOST;
        t.c_lflag |= ICANON | ECHO;
        ASSERT_EQ(tcsetattr(pty.HeldTerminal(), TCSANOW, &t), 0);
        ASSERT_TRUE(other.Open(pty.Path(), kBaudRates[i], stopbits::kOne, parity::kEven));
        ASSERT_EQ(tcgetattr(pty.HeldTerminal(), &t), 0);
        EXPECT_EQ(cfgetospeed(&t), speeds[i]) << kBaudRates[i];
        EXPECT_EQ(t.c_cflag & (CSTOPB | PARODD | CRTSCTS), 0u);
        EXPECT_EQ(
            (t.c_iflag & (IXON | ICRNL)) | (t.c_oflag & OPOST) | (t.c_lflag & (ICANON | ECHO)), 0u);
        other.Close();
    }
    std::string got(907, '\0');
    EXPECT_EQ(port.Take(got.data(), 907), 907);
    EXPECT_EQ(got, burst) << "received bytes outlive a close";
}

// A write the adapter stops taking fails at its bound (after an unplugged line).
TEST(SerialPort, AnUnpluggedLineStopsTheReaderAndFailsWritesWithoutHoldingOthersUp) {
    auto pty = std::make_unique<PtyPair>();
    CSerialPort port;
    std::vector<std::string> shown;
    std::future<std::uint32_t> other;
    bool otherStarted = false, otherFinished = false;
    port.SetMessageSink([&](const std::string& m) {
        shown.push_back(m);
        if (!std::exchange(otherStarted, true)) { // the box is up with the line unlocked
            other = std::async(std::launch::async, [&] { return port.Write("at\r\n", 4); });
            otherFinished = other.wait_for(1s) == std::future_status::ready;
        }
    });
    ASSERT_TRUE(Open(port, pty->Path()));
    pty->Vanish();
    ASSERT_TRUE(WaitUntil([&] { return !port.ReaderRunning(); }, 2s));
    EXPECT_TRUE(port.IsDisconnected());
    const double cpu = test::ProcessCpuMs();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(test::ProcessCpuMs() - cpu, 25.0);
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    EXPECT_TRUE(otherFinished);
    EXPECT_TRUE(port.IsOpen()); // closed only by Close

    // Open again, elsewhere; then an adapter that stops taking bytes.
    PtyPair fresh;
    port.Close();
    ASSERT_TRUE(Open(port, fresh.Path(), 921600));
    EXPECT_FALSE(port.IsDisconnected());
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
    EXPECT_EQ(fresh.Read(4, 1s), "at\r\n");
    struct stat st {};
    ASSERT_EQ(fstat(fresh.HeldTerminal(), &st), 0);
    g_stalledDevice = st.st_rdev;
    const double cpuStalled = test::ProcessCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Write("at+btinfo?\r\n", 12), 9u) << "what the adapter never took was not sent";
    const auto took = std::chrono::steady_clock::now() - t0;
    g_stalledDevice = 0;
    EXPECT_EQ(shown, (std::vector<std::string>{"reterror", "reterror", "overlap"}));
    EXPECT_TRUE(took >= 1012ms && took < 3s);           // 1000 ms + 1 ms per byte
    EXPECT_LT(test::ProcessCpuMs() - cpuStalled, 25.0); // it sleeps meanwhile
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
}

} // namespace
} // namespace nw
