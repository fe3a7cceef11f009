// The Windows serial port and port list, against a COM port whose far end
// runs line_peer.py (a pseudo-terminal under Wine, a null-modem cable on
// Windows); requests travel over the line itself.
#include "serial/LineSettings.h"
#include "serial/SerialEnum.h"
#include "serial/SerialPort.h"
#include "serial/win32/Win32Detail.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace nw::win32::test {
namespace {

using namespace std::chrono_literals;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? v : "";
}

// CPU time (user + kernel) of this process so far, in milliseconds.
double ProcessCpuMs() {
    FILETIME unused, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &unused, &unused, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return static_cast<double>(std::uint64_t{t.dwHighDateTime} << 32 | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

bool WaitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::string TakeAll(CSerialPort& port) {
    std::string out(static_cast<std::size_t>(port.Waiting()), '\0');
    port.Take(out.data(), static_cast<int>(out.size()));
    return out;
}

// Records what the port shows and traces; whileShown runs while a message
// shows, as a box stays up.
struct Recorder {
    std::mutex m;
    std::vector<std::string> messages;
    std::string tx, rx, wire; // wire: both directions, in the order traced
    std::function<void()> whileShown;

    explicit Recorder(CSerialPort& port) {
        port.SetMessageSink([this](const std::string& text) {
            {
                std::lock_guard lock(m);
                messages.push_back(text);
            }
            if (whileShown)
                whileShown();
        });
        port.SetTraceSink([this](CSerialPort::TraceDir dir, const char* data, std::size_t n) {
            std::lock_guard lock(m);
            (dir == CSerialPort::TraceDir::Tx ? tx : rx).append(data, n);
            wire.append(data, n);
        });
    }
};

TEST(SerialPortWin32, FailedOpensSayWhyAndTouchNothing) {
    const std::pair<DWORD, PortError> opens[] = {{ERROR_FILE_NOT_FOUND, PortError::NotFound},
                                                 {ERROR_PATH_NOT_FOUND, PortError::NotFound},
                                                 {ERROR_ACCESS_DENIED, PortError::Busy},
                                                 {ERROR_SHARING_VIOLATION, PortError::Busy},
                                                 {ERROR_NOT_ENOUGH_MEMORY, PortError::System}};
    for (const auto& [error, code] : opens)
        EXPECT_EQ(ErrorFromOpen(error), code) << error;
    for (const DWORD gone : {ERROR_ACCESS_DENIED, ERROR_OPERATION_ABORTED, ERROR_BAD_COMMAND,
                             ERROR_DEVICE_REMOVED, ERROR_INVALID_HANDLE})
        EXPECT_TRUE(DeviceGone(gone)) << gone;
    EXPECT_FALSE(DeviceGone(ERROR_IO_PENDING) || DeviceGone(ERROR_SUCCESS));
    EXPECT_EQ(DevicePath("COM12"), "\\\\.\\COM12"); // above COM9 only this form works
    EXPECT_EQ(DevicePath("\\\\.\\COM3"), "\\\\.\\COM3");
    EXPECT_EQ(SystemText(0x2000DEADu), "error 536927917"); // no text: the number
    const std::string text = SystemText(ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(!text.empty() && text.back() != '\n' && text.back() != '.') << text;

    CSerialPort port;
    Recorder rec(port);
    EXPECT_FALSE(port.Open("COM231", 9600, stopbits::kOne, parity::kNone));
    EXPECT_EQ(port.LastFailure().osError, static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(port.LastFailure().Describe(),
              "COM231: no such device; check the cable and the port name (" + text + ")");
    EXPECT_FALSE(port.IsOpen() || port.ReaderRunning());
    // A device that is no serial line fails the time-out probe.
    EXPECT_FALSE(port.Open("NUL", 9600, stopbits::kOne, parity::kNone));
    EXPECT_EQ(port.LastFailure().Describe().rfind("NUL: not a serial port (", 0), 0u);
    EXPECT_EQ(port.Write("at\r\n", 4), 0u); // closed: nothing written, nothing shown
    port.Close();
    EXPECT_TRUE(rec.messages.empty() && rec.tx.empty());
}

class LineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (m_name.empty())
            GTEST_SKIP() << "no test line: set NW_WIN32_TEST_PORT to a COM port whose far end "
                            "runs line_peer.py (scripts/test-windows does)";
    }
    bool Open(CSerialPort& port, std::uint32_t baud = 9600, std::uint8_t stop = stopbits::kOne,
              std::uint8_t par = parity::kNone) {
        return port.Open(m_name, baud, stop, par);
    }
    // Sends "?request\n" and returns the far end's one-line answer ("" when
    // none came within 5 s).
    static std::string Ask(CSerialPort& port, const std::string& request) {
        TakeAll(port);
        const std::string line = "?" + request + "\n";
        if (port.Write(line.data(), static_cast<std::uint32_t>(line.size())) != line.size())
            return {};
        std::string got;
        WaitUntil([&] { return (got += TakeAll(port)).find('\n') != std::string::npos; }, 5000ms);
        return got.substr(0, got.find('\n') == std::string::npos ? 0 : got.find('\n'));
    }
    static bool Answers(CSerialPort& port) { return Ask(port, "termios").rfind("termios", 0) == 0; }

    const std::string m_name = Env("NW_WIN32_TEST_PORT");
};

TEST_F(LineTest, LineSettingsReachTheTerminal) {
    const std::tuple<std::uint32_t, std::uint8_t, std::uint8_t, const char*> cases[] = {
        {19200, stopbits::kTwo, parity::kEven, "speed=19200 csize=8 parity=even stop=2"},
        {115200, stopbits::kOne, parity::kOdd, "speed=115200 csize=8 parity=odd stop=1"},
        {9600, stopbits::kOne, parity::kNone, "speed=9600 csize=8 parity=none stop=1"},
    };
    bool parityHeld = true;
    for (const auto& [baud, stop, par, termios] : cases) {
        CSerialPort port;
        ASSERT_TRUE(Open(port, baud, stop, par)) << port.LastFailure().Describe();
        std::string want =
            std::string("termios ") + termios + " crtscts=0 ixon=0 ixoff=0 echo=0 icanon=0";
        const std::string got = Ask(port, "termios");
        if (got.find(" parity=- ") != std::string::npos) { // the terminal holds no parity
            parityHeld = false;
            const auto at = want.find(" parity=") + 8;
            want.replace(at, want.find(' ', at) - at, "-");
        }
        EXPECT_EQ(got, want);
    }
    if (!parityHeld)
        GTEST_SKIP() << "rates and stop bits checked; known pseudo-terminal limit: Linux holds "
                        "a pty at no parity whatever is set, so parity cannot be seen there";
}

TEST_F(LineTest, WritesArriveWholeAndTracedBeforeTheirReplies) {
    CSerialPort port;
    Recorder rec(port);
    ASSERT_TRUE(Open(port)) << port.LastFailure().Describe();
    (void)Ask(port, "got"); // forget anything earlier tests left
    std::string big = "at+btinfo?\r\n", hex;
    for (int i = 0; i < 1500; ++i)
        big += static_cast<char>('A' + i % 23);
    for (const unsigned char c : big)
        hex += {"0123456789abcdef"[c >> 4], "0123456789abcdef"[c & 15]};
    EXPECT_EQ(port.Write(big.data(), 12), 12u);
    EXPECT_EQ(port.Write(big.data() + 12, 1500), 1500u);
    EXPECT_EQ(Ask(port, "got"), "got " + hex);

    // A request at the front of a write longer than the terminal holds: the
    // far end answers while the rest is still going out, yet the answer is
    // traced after the write, which returns only once all of it is out.
    const std::string longer = "?termios\n" + std::string(200000, 'x');
    EXPECT_EQ(port.Write(longer.data(), static_cast<std::uint32_t>(longer.size())), longer.size());
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::lock_guard lock(rec.m);
            return rec.rx.find("\ntermios ") != std::string::npos;
        },
        5000ms));
    {
        std::lock_guard lock(rec.m);
        EXPECT_TRUE(rec.messages.empty());
        EXPECT_EQ(rec.tx.find(big), rec.tx.find("?got\n") + 5);
        EXPECT_LT(rec.wire.find(longer), rec.wire.rfind("termios ")) << "the reply came first";
    }
    port.Close(); // the reply stays in the ring buffer through Close and Open
    ASSERT_TRUE(Open(port));
    EXPECT_EQ(TakeAll(port).rfind("termios speed=", 0), 0u);
}

TEST_F(LineTest, ReaderSleepsWhenIdleEndsOnCloseAndWhenTheDeviceGoes) {
    CSerialPort port;
    for (int round = 0; round < 3; ++round) { // the events are made anew each time
        ASSERT_TRUE(Open(port)) << round;
        EXPECT_FALSE(Open(port));
        EXPECT_EQ(port.LastFailure().code, PortError::AlreadyOpen);
        const double cpu0 = ProcessCpuMs();
        std::this_thread::sleep_for(600ms); // the reader waits in its pending read
        EXPECT_LT(ProcessCpuMs() - cpu0, 150.0) << "the reader spins on an idle line";
        EXPECT_TRUE(port.ReaderRunning() && !port.IsDisconnected());
        const auto t0 = std::chrono::steady_clock::now();
        port.Close();
        EXPECT_LT(std::chrono::steady_clock::now() - t0, 1000ms) << "Close did not wake the reader";
        EXPECT_FALSE(port.ReaderRunning() || port.IsOpen());
    }
    ASSERT_TRUE(Open(port)); // the cancelled read took nothing from the next open
    EXPECT_TRUE(Answers(port));

    // The far end takes the terminal away for three seconds, then serves a
    // new one under the same name.
    Recorder rec(port);
    const double cpu0 = ProcessCpuMs();
    ASSERT_EQ(port.Write("?vanish 3000\n", 13), 13u);
    EXPECT_TRUE(WaitUntil([&] { return port.IsDisconnected(); }, 1200ms))
        << "the reader did not notice that the device went away";
    EXPECT_TRUE(WaitUntil([&] { return !port.ReaderRunning(); }, 500ms));
    EXPECT_TRUE(port.IsOpen()); // until Close
    std::this_thread::sleep_for(300ms);
    EXPECT_LT(ProcessCpuMs() - cpu0, 400.0) << "the reader spins on a device that is gone";

    // A write to it fails and says so; a Close from another thread while that
    // shows is not held up.
    std::atomic<bool> closed{false};
    bool closedWhileShown = false;
    std::thread closer;
    rec.whileShown = [&] {
        closer = std::thread([&] {
            port.Close();
            closed = true;
        });
        closedWhileShown = WaitUntil([&] { return closed.load(); }, 3000ms);
    };
    EXPECT_EQ(port.Write("at\r\n", 4), 0u);
    if (closer.joinable())
        closer.join();
    port.Close();
    EXPECT_TRUE(closedWhileShown) << "Close waited for the failure message";
    EXPECT_TRUE(rec.messages == std::vector<std::string>{"reterror"} ||
                rec.messages == std::vector<std::string>{"overlap"});

    // The far end is back (a new terminal behind the same name).
    ASSERT_TRUE(WaitUntil([&] { return Open(port); }, 5000ms)) << port.LastFailure().Describe();
    EXPECT_FALSE(port.IsDisconnected());
    EXPECT_TRUE(Answers(port));
}

// The list: GetDefaultCommConfigA over COM1..COM255; nothing is opened.
TEST_F(LineTest, PortListNamesThePortsInOrderAndOpensNothing) {
    CSerialPort port;
    ASSERT_TRUE(Open(port)); // listing must not need the port
    CSerialEnum ports;
    ASSERT_TRUE(ports.Refresh() && ports.Refresh()); // replaces, does not append
    EXPECT_EQ(ports.m_nPortCount, static_cast<int>(ports.m_aPorts.size()));
    std::vector<std::string> names;
    for (const CComPortInfo& p : ports.m_aPorts) {
        EXPECT_EQ(p.m_strFriendlyName, p.m_strName);
        const int n = std::atoi(p.m_strName.c_str() + 3);
        EXPECT_EQ(p.m_strName, "COM" + std::to_string(n)); // no leading zeros
        EXPECT_TRUE(names.empty() || std::atoi(names.back().c_str() + 3) < n) << p.m_strName;
        EXPECT_LE(n, 255);
        names.push_back(p.m_strName);
    }
    auto listed = [&](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    EXPECT_TRUE(listed(m_name));
    EXPECT_TRUE(Answers(port)); // undisturbed
    port.Close();

    // Above COM9 the port opens by name and by number (the device namespace).
    const std::string high = Env("NW_WIN32_TEST_HIGH_PORT"), absent = Env("NW_WIN32_TEST_ABSENT");
    if (high.empty() || absent.empty()) // absent: a COMn with no device behind it
        GTEST_SKIP() << "set NW_WIN32_TEST_HIGH_PORT (above COM9) and NW_WIN32_TEST_ABSENT";
    const int number = std::atoi(high.c_str() + 3);
    EXPECT_EQ(CSerialPort::PortNameForNumber(number), high);
    for (const bool byNumber : {false, true}) {
        ASSERT_TRUE(byNumber ? port.Open(number, 9600, stopbits::kOne, parity::kNone)
                             : port.Open(high, 9600, stopbits::kOne, parity::kNone))
            << port.LastFailure().Describe();
        port.Close();
    }
    // Wine exports wine_get_version from its ntdll; Windows does not.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "all else checked; known Wine limit: GetDefaultCommConfigA answers for "
                        "every name COM1..COM9, device or not, and for none above";
    EXPECT_TRUE(listed(high));
    EXPECT_FALSE(listed(absent));
}

} // namespace
} // namespace nw::win32::test
