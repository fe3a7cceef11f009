#include "serial/SerialPort.h"
#include "serial/LineSettings.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <mutex>

#include <atomic>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <future>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace nw {
namespace {

using namespace std::chrono_literals;
using test::PtyPair;
using test::WaitUntil;

// A pseudo-terminal hands every byte on at once, so its output queue is
// always empty. To stand for an adapter that stopped taking bytes, TIOCOUTQ
// on the terminal device named here reports bytes that never leave.
std::atomic<dev_t> g_stalledDevice{0};
constexpr int kStalledBytes = 3;

} // namespace
} // namespace nw

// Every other request goes to the system unchanged.
extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    struct stat st {};
    if (request == TIOCOUTQ && nw::g_stalledDevice != 0 && fstat(fd, &st) == 0 &&
        st.st_rdev == nw::g_stalledDevice) {
        *static_cast<int*>(arg) = nw::kStalledBytes;
        return 0;
    }
    return static_cast<int>(syscall(SYS_ioctl, fd, request, arg));
}

namespace nw {
namespace {

bool OpenDefault(CSerialPort& port, const std::string& path) {
    return port.Open(path, 9600, stopbits::kOne, parity::kNone);
}

TEST(SerialPort, OpenCloseOpenAndSecondOpenRefused) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(OpenDefault(port, pty.Path())) << port.LastFailure().Describe();
    EXPECT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.ReaderRunning());

    // Open while open: refused, the running port untouched.
    EXPECT_FALSE(OpenDefault(port, pty.Path()));
    EXPECT_EQ(port.LastFailure().code, PortError::AlreadyOpen);
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
    EXPECT_EQ(pty.Read(4, 1s), "at\r\n");

    // A second object (as another program would) is kept out while held.
    CSerialPort other;
    EXPECT_FALSE(OpenDefault(other, pty.Path()));
    EXPECT_EQ(other.LastFailure().code, PortError::Busy);
    EXPECT_FALSE(other.IsOpen());

    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(port.ReaderRunning());
    int exclusive = -1; // the terminal's flag, which outlives a descriptor
    ASSERT_EQ(ioctl(pty.HeldTerminal(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "Close left the line locked";
    port.Close(); // twice is harmless

    // Released: both objects may now open it in turn.
    ASSERT_TRUE(OpenDefault(other, pty.Path())) << other.LastFailure().Describe();
    other.Close();
    ASSERT_TRUE(OpenDefault(port, pty.Path())) << port.LastFailure().Describe();
    EXPECT_EQ(port.Write("ats10?\r\n", 8), 8u);
    EXPECT_EQ(pty.Read(8, 1s), "ats10?\r\n");
}

TEST(SerialPort, FailedOpensSayWhyAndLeaveThePortReusable) {
    CSerialPort port;
    EXPECT_FALSE(OpenDefault(port, "/dev/nodewright-no-such-tty"));
    EXPECT_EQ(port.LastFailure().code, PortError::NotFound);
    EXPECT_NE(port.LastFailure().Describe().find("no such device"), std::string::npos);
    EXPECT_FALSE(port.IsOpen());

    char tmpl[] = "/tmp/nw-notatty-XXXXXX";
    const int fd = mkstemp(tmpl);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_FALSE(OpenDefault(port, tmpl));
    EXPECT_EQ(port.LastFailure().code, PortError::NotSerial);
    unlink(tmpl);

    EXPECT_FALSE(OpenDefault(port, "/dev/null")); // a character device, not a line
    EXPECT_EQ(port.LastFailure().code, PortError::NotSerial);

    PtyPair pty;
    EXPECT_FALSE(port.Open(pty.Path(), 12345, stopbits::kOne, parity::kNone));
    EXPECT_EQ(port.LastFailure().code, PortError::BadSettings);
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    int exclusive = -1; // the terminal's flag, which outlives a descriptor
    ASSERT_EQ(ioctl(pty.HeldTerminal(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0) << "a failed open left the line locked";

    ASSERT_TRUE(OpenDefault(port, pty.Path())) << port.LastFailure().Describe();
    EXPECT_EQ(port.LastFailure().code, PortError::None);
}

TEST(SerialPort, WriteWhileClosedSendsNothingAndShowsNothing) {
    PtyPair pty;
    CSerialPort port;
    std::vector<std::string> shown;
    port.SetMessageSink([&](const std::string& m) { shown.push_back(m); });
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    port.Close();
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(pty.ReadFor(50ms), "");
}

TEST(SerialPort, LineSettingsReachTheTerminal) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(port.Open(pty.Path(), 115200, stopbits::kTwo, parity::kOdd));
    termios t{};
    ASSERT_EQ(tcgetattr(pty.HeldTerminal(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
    EXPECT_NE(t.c_cflag & CSTOPB, 0u);
    EXPECT_NE(t.c_cflag & PARODD, 0u);
    EXPECT_EQ(t.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    // (A Linux pseudo-terminal drops PARENB and forces CS8 by itself; the
    // mapping is checked as a function in TermiosSettings.)
    port.Close();

    ASSERT_TRUE(port.Open(pty.Path(), 921600, stopbits::kOne, parity::kEven));
    ASSERT_EQ(tcgetattr(pty.HeldTerminal(), &t), 0);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B921600));
    EXPECT_EQ(t.c_cflag & (CSTOPB | PARODD), 0u);
}

TEST(SerialPort, ReaderStoresBurstsInOrder) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    std::string sent;
    for (int i = 0; i < 900; ++i)
        sent.push_back(static_cast<char>('!' + i % 90));
    pty.Send(sent);
    ASSERT_TRUE(WaitUntil([&] { return port.m_rxBuffer.GetCount() == 900; }, 2s));
    std::string got(900, '\0');
    ASSERT_EQ(port.m_rxBuffer.Get(got.data(), 900), 900);
    EXPECT_EQ(got, sent);
}

TEST(SerialPort, ChunkThatDoesNotFitIsDroppedWhole) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    const std::string filler(4000, 'f');
    ASSERT_EQ(port.m_rxBuffer.Put(filler.data(), 4000), 4000); // 95 free
    pty.Send(std::string(200, 'x'));
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(port.m_rxBuffer.GetCount(), 4000);
    pty.Send(std::string(90, 'y'));
    ASSERT_TRUE(WaitUntil([&] { return port.m_rxBuffer.GetCount() == 4090; }, 2s));
    std::string all(4090, '\0');
    ASSERT_EQ(port.m_rxBuffer.Get(all.data(), 4090), 4090);
    EXPECT_EQ(all, filler + std::string(90, 'y'));
}

TEST(SerialPort, BytesSurviveCloseAndReopen) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    pty.Send("\r\nOK\r\n");
    ASSERT_TRUE(WaitUntil([&] { return port.m_rxBuffer.GetCount() == 6; }, 2s));
    port.Close();
    EXPECT_EQ(port.m_rxBuffer.GetCount(), 6);
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    EXPECT_EQ(port.m_rxBuffer.GetCount(), 6);
    char out[6];
    ASSERT_EQ(port.m_rxBuffer.Get(out, 6), 6);
    EXPECT_EQ(std::string(out, 6), "\r\nOK\r\n");
}

TEST(SerialPort, CloseWakesTheIdleReaderAtOnce) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    std::this_thread::sleep_for(50ms); // the reader is asleep in the kernel
    const auto t0 = std::chrono::steady_clock::now();
    port.Close();
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_LT(took, 200ms);
    EXPECT_FALSE(port.ReaderRunning());
}

TEST(SerialPort, IdleReaderUsesNoCpu) {
    PtyPair pty;
    CSerialPort port;
    ASSERT_TRUE(OpenDefault(port, pty.Path()));
    const double before = test::ProcessCpuMs();
    std::this_thread::sleep_for(500ms);
    EXPECT_LT(test::ProcessCpuMs() - before, 25.0);
}

TEST(SerialPort, UnpluggedLineStopsTheReaderWithoutSpinning) {
    auto pty = std::make_unique<PtyPair>();
    CSerialPort port;
    std::vector<std::string> shown;
    port.SetMessageSink([&](const std::string& m) { shown.push_back(m); });
    ASSERT_TRUE(OpenDefault(port, pty->Path()));
    pty->Send("OK");
    ASSERT_TRUE(WaitUntil([&] { return port.m_rxBuffer.GetCount() == 2; }, 2s));
    pty->Vanish();
    ASSERT_TRUE(WaitUntil([&] { return port.IsDisconnected(); }, 2s));
    ASSERT_TRUE(WaitUntil([&] { return !port.ReaderRunning(); }, 2s));
    EXPECT_TRUE(port.IsOpen()); // closed only by Close
    EXPECT_EQ(port.m_rxBuffer.GetCount(), 2);

    const double before = test::ProcessCpuMs();
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(test::ProcessCpuMs() - before, 25.0);

    // Writing to the vanished line fails as a dead device does. The box is
    // up with the line unlocked: another write meanwhile is not held up.
    std::future<std::uint32_t> other;
    bool otherStarted = false;
    bool otherFinished = false;
    port.SetMessageSink([&](const std::string& m) {
        shown.push_back(m);
        if (!otherStarted) {
            otherStarted = true;
            other = std::async(std::launch::async, [&] { return port.Write("at\r\n", 4); });
            otherFinished = other.wait_for(1s) == std::future_status::ready;
        }
    });
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    EXPECT_TRUE(otherFinished);
    EXPECT_EQ(shown, (std::vector<std::string>{"reterror", "reterror"}));

    const auto t0 = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 200ms);
    EXPECT_FALSE(port.IsOpen());

    // A new line opens as usual.
    PtyPair fresh;
    ASSERT_TRUE(OpenDefault(port, fresh.Path())) << port.LastFailure().Describe();
    EXPECT_FALSE(port.IsDisconnected());
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
    EXPECT_EQ(fresh.Read(4, 1s), "at\r\n");
}

TEST(SerialPort, AWriteTheAdapterStopsTakingFailsAtItsBound) {
    PtyPair pty;
    CSerialPort port;
    std::vector<std::string> shown;
    port.SetMessageSink([&](const std::string& m) { shown.push_back(m); });
    ASSERT_TRUE(port.Open(pty.Path(), 921600, stopbits::kOne, parity::kNone));
    struct stat st {};
    ASSERT_EQ(fstat(pty.HeldTerminal(), &st), 0);
    g_stalledDevice = st.st_rdev;
    const double cpu = test::ProcessCpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    const std::uint32_t sent = port.Write("at+btinfo?\r\n", 12);
    const auto took = std::chrono::steady_clock::now() - t0;
    g_stalledDevice = 0;
    EXPECT_EQ(sent, 12u - kStalledBytes); // what the adapter never took was not sent
    EXPECT_EQ(shown, std::vector<std::string>{"overlap"});
    EXPECT_GE(took, 1012ms); // 1000 ms + 1 ms per byte
    EXPECT_LT(took, 3s);
    EXPECT_LT(test::ProcessCpuMs() - cpu, 25.0); // it sleeps meanwhile
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
}

TEST(SerialPort, DestructorClosesAndReleasesTheLine) {
    PtyPair pty;
    {
        CSerialPort port;
        ASSERT_TRUE(OpenDefault(port, pty.Path()));
    }
    CSerialPort again;
    EXPECT_TRUE(OpenDefault(again, pty.Path())) << again.LastFailure().Describe();
}

} // namespace
} // namespace nw

namespace nw {
namespace {

TEST(SerialPort, TraceSeesBothDirections) {
    test::PtyPair pty;
    CSerialPort port;
    std::mutex m;
    std::string tx, rx;
    port.SetTraceSink([&](CSerialPort::TraceDir dir, const char* p, std::size_t n) {
        std::lock_guard lock(m);
        (dir == CSerialPort::TraceDir::Tx ? tx : rx).append(p, n);
    });
    ASSERT_TRUE(port.Open(pty.Path(), 9600, stopbits::kOne, parity::kNone));
    port.Write("at\r\n", 4);
    EXPECT_EQ(pty.Read(4, std::chrono::seconds(1)), "at\r\n");
    pty.Send(std::string("\r\nOK\0\r\n", 7));
    ASSERT_TRUE(
        test::WaitUntil([&] { return port.m_rxBuffer.GetCount() == 7; }, std::chrono::seconds(2)));
    std::lock_guard lock(m);
    EXPECT_EQ(tx, "at\r\n");
    EXPECT_EQ(rx, std::string("\r\nOK\0\r\n", 7));
}

} // namespace
} // namespace nw
