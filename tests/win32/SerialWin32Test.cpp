// The Windows serial port and port list against line_peer.py, asked over the line itself.
#include "serial/LineSettings.h"
#include "serial/SerialEnum.h"
#include "serial/SerialPort.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace nw::win32::test {
namespace {

using namespace std::chrono_literals;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

DWORD ProcessCpu() { // kernel + user, in 100 ns (a difference of low words is right)
    FILETIME unused, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &unused, &unused, &kernel, &user);
    return kernel.dwLowDateTime + user.dwLowDateTime;
}

bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    for (const auto until = std::chrono::steady_clock::now() + timeout; !cond();
         std::this_thread::sleep_for(2ms))
        if (std::chrono::steady_clock::now() >= until)
            return false;
    return true;
}

std::string TakeAll(CSerialPort& port) {
    std::string out(static_cast<std::size_t>(port.Waiting()), '\0');
    port.Take(out.data(), static_cast<int>(out.size()));
    return out;
}

TEST(SerialPortWin32, FailedOpensSayWhyAndTouchNothing) {
    CSerialPort port;
    std::vector<std::string> shown;
    port.SetMessageSink([&](const std::string& text) { shown.push_back(text); });
    EXPECT_FALSE(port.Open("COM231", 9600, stopbits::kOne, parity::kNone));
    EXPECT_EQ(port.LastFailure().Describe().rfind(
                  "COM231: no such device; check the cable and the port name (", 0),
              0u);
    EXPECT_FALSE(port.Open("NUL", 9600, stopbits::kOne, parity::kNone)); // fails the probe
    EXPECT_EQ(port.LastFailure().Describe().rfind("NUL: not a serial port (", 0), 0u);
    EXPECT_EQ(port.Write("at\r\n", 4), 0u); // closed: nothing written, nothing shown
    EXPECT_TRUE(shown.empty() && !port.IsOpen() && !port.ReaderRunning());
}

class LineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (m_name.empty())
            GTEST_SKIP() << "set NW_WIN32_TEST_PORT to a COM port whose far end runs "
                            "line_peer.py (scripts/test-windows does)";
    }
    bool Open(CSerialPort& port, std::uint32_t baud = 9600, std::uint8_t stop = stopbits::kOne) {
        return port.Open(m_name, baud, stop, parity::kNone);
    }
    // Sends "?request\n"; the far end's one-line answer ("" when none came in 5 s).
    static std::string Ask(CSerialPort& port, const std::string& request) {
        TakeAll(port);
        const std::string line = "?" + request + "\n";
        std::string got;
        if (port.Write(line.data(), static_cast<std::uint32_t>(line.size())) == line.size())
            WaitUntil([&] { return (got += TakeAll(port)).find('\n') != std::string::npos; }, 5s);
        return got.substr(0, got.find('\n') == std::string::npos ? 0 : got.find('\n'));
    }

    const std::string m_name = Env("NW_WIN32_TEST_PORT");
};

TEST_F(LineTest, LineSettingsReachTheTerminal) {
    for (const auto& [baud, stop, want] : {std::tuple{19200u, stopbits::kTwo, "19200 stop=2"},
                                           {115200u, stopbits::kOne, "115200 stop=1"}}) {
        CSerialPort port;
        ASSERT_TRUE(Open(port, baud, stop)) << port.LastFailure().Describe();
        EXPECT_EQ(Ask(port, "termios"), std::string("termios speed=") + want +
                                            " csize=8 crtscts=0 ixon=0 ixoff=0 echo=0 icanon=0");
    }
}

// A request ahead of more than the terminal holds: answered while the rest goes out, the
// answer traced after the write, which returns once all of it is out.
TEST_F(LineTest, WritesTracedWholeInOrderAndBeforeTheirReplies) {
    CSerialPort port;
    std::mutex m;
    std::string tx, wire; // wire: both directions, in the order traced
    port.SetTraceSink([&](CSerialPort::TraceDir dir, const char* data, std::size_t n) {
        std::lock_guard lock(m);
        wire.append(data, n);
        tx.append(dir == CSerialPort::TraceDir::Tx ? std::string(data, n) : "");
    });
    ASSERT_TRUE(Open(port)) << port.LastFailure().Describe();
    const std::string longer = "?termios\n" + std::string(200000, 'x');
    EXPECT_EQ(port.Write("at\r\n", 4), 4u);
    EXPECT_EQ(port.Write(longer.data(), static_cast<std::uint32_t>(longer.size())), longer.size());
    const auto replied = [&] {
        std::lock_guard lock(m);
        return wire.find("termios speed=");
    };
    ASSERT_TRUE(WaitUntil([&] { return replied() != std::string::npos; }, 5s));
    std::lock_guard lock(m);
    EXPECT_EQ(tx, "at\r\n" + longer);
    EXPECT_LT(wire.find(longer), wire.find("termios speed=")) << "the reply came first";
}

TEST_F(LineTest, ReaderSleepsWhenIdleEndsOnCloseAndWhenTheDeviceGoes) {
    CSerialPort port;
    for (int round = 0; round < 2; ++round) { // the events are made anew each time
        ASSERT_TRUE(Open(port)) << round;
        EXPECT_FALSE(Open(port));
        EXPECT_EQ(port.LastFailure().code, PortError::AlreadyOpen);
        const DWORD cpu0 = ProcessCpu();
        std::this_thread::sleep_for(600ms); // the reader waits in its pending read
        EXPECT_LT(ProcessCpu() - cpu0, 150u * 10000) << "the reader spins on an idle line";
        EXPECT_TRUE(port.ReaderRunning() && !port.IsDisconnected());
        const auto t0 = std::chrono::steady_clock::now();
        port.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, 1000ms) << "Close did not wake the reader";
        EXPECT_FALSE(port.ReaderRunning() || port.IsOpen());
    }
    // The far end takes the terminal away for 3 s, then serves a new one, same name.
    ASSERT_TRUE(Open(port));
    const DWORD cpu0 = ProcessCpu();
    ASSERT_EQ(port.Write("?vanish 3000\n", 13), 13u);
    EXPECT_TRUE(WaitUntil([&] { return port.IsDisconnected(); }, 1200ms))
        << "the reader did not notice that the device went away";
    EXPECT_TRUE(WaitUntil([&] { return !port.ReaderRunning(); }, 500ms));
    EXPECT_TRUE(port.IsOpen()); // until Close
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpu() - cpu0, 400u * 10000) << "the reader spins on a device that is gone";

    // A write fails and says so; a Close from another thread meanwhile is not held up.
    std::atomic<bool> closed{false};
    bool closedWhileShown = false;
    std::vector<std::string> shown;
    std::thread closer;
    port.SetMessageSink([&](const std::string& text) {
        shown.push_back(text);
        closer = std::thread([&] { port.Close(), closed = true; });
        closedWhileShown = WaitUntil([&] { return closed.load(); }, 3s);
    });
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    if (closer.joinable())
        closer.join();
    EXPECT_TRUE(closedWhileShown) << "Close waited for the failure message";
    EXPECT_TRUE(shown == std::vector<std::string>{"reterror"} ||
                shown == std::vector<std::string>{"overlap"});
    ASSERT_TRUE(WaitUntil([&] { return Open(port); }, 5s)) << port.LastFailure().Describe();
    EXPECT_FALSE(port.IsDisconnected());
    EXPECT_EQ(Ask(port, "termios").rfind("termios speed=9600 ", 0), 0u);
}

// The list: GetDefaultCommConfigA over COM1..COM255, in order; nothing is opened.
TEST_F(LineTest, PortListNamesThePortsInOrderAndOpensNothing) {
    CSerialPort port;
    ASSERT_TRUE(Open(port)); // listing must not need the port
    CSerialEnum ports;
    ASSERT_TRUE(ports.Refresh() && ports.Refresh()); // replaces, does not append
    int last = 0, found = 0;
    for (const CComPortInfo& p : ports.m_aPorts) {
        const int n = std::atoi(p.m_strName.c_str() + 3);
        EXPECT_EQ(p.m_strFriendlyName, "COM" + std::to_string(n)); // no leading zeros
        EXPECT_LT(std::exchange(last, n), n) << p.m_strName;
        found += p.m_strName == m_name;
    }
    EXPECT_EQ(found, 1);
    port.Close();
    // Above COM9 the port opens by name and by number (the device namespace).
    const std::string high = Env("NW_WIN32_TEST_HIGH_PORT");
    if (high.empty())
        GTEST_SKIP() << "set NW_WIN32_TEST_HIGH_PORT (above COM9)";
    const int number = std::atoi(high.c_str() + 3);
    EXPECT_EQ(CSerialPort::PortNameForNumber(number), high);
    for (const bool byNumber : {false, true}) {
        ASSERT_TRUE(byNumber ? port.Open(number, 9600, stopbits::kOne, parity::kNone)
                             : port.Open(high, 9600, stopbits::kOne, parity::kNone))
            << port.LastFailure().Describe();
        port.Close();
    }
}

} // namespace
} // namespace nw::win32::test
