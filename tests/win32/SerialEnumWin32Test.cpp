// The Windows port list: GetDefaultCommConfigA over COM1..COM255.
#include "LineFixture.h"

#include "serial/SerialEnum.h"
#include "serial/win32/Win32Detail.h"

#include <algorithm>

namespace nw::win32::test {
namespace {

int Number(const std::string& name) {
    return std::stoi(name.substr(3));
}

bool Listed(const CSerialEnum& ports, const std::string& name) {
    return std::any_of(ports.m_aPorts.begin(), ports.m_aPorts.end(),
                       [&](const CComPortInfo& p) { return p.m_strName == name; });
}

// Whether a device answers behind the name (opened and closed at once).
bool DeviceBehind(const std::string& name) {
    const std::string path = DevicePath(name);
    const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return ::GetLastError() != ERROR_FILE_NOT_FOUND;
    ::CloseHandle(h);
    return true;
}

TEST(SerialEnumWin32, NamesInAscendingOrderAndRefreshReplaces) {
    CSerialEnum ports;
    EXPECT_EQ(ports.m_nPortCount, 0);
    EXPECT_TRUE(ports.Refresh());
    const std::size_t first = ports.m_aPorts.size();
    EXPECT_EQ(ports.m_nPortCount, static_cast<int>(first));
    int last = 0;
    for (const CComPortInfo& p : ports.m_aPorts) {
        ASSERT_EQ(p.m_strName.rfind("COM", 0), 0u) << p.m_strName;
        EXPECT_EQ(p.m_strFriendlyName, p.m_strName);
        const int n = Number(p.m_strName);
        EXPECT_EQ(p.m_strName, "COM" + std::to_string(n)); // no leading zeros
        EXPECT_GT(n, last);
        EXPECT_LE(n, 255);
        last = n;
    }
    EXPECT_TRUE(ports.Refresh());
    EXPECT_EQ(ports.m_aPorts.size(), first); // replaced, not appended
    EXPECT_TRUE(ports.Enumerate());
    EXPECT_EQ(ports.m_nPortCount, static_cast<int>(first));
    ports.Clear();
    EXPECT_EQ(ports.m_nPortCount, 0);
    EXPECT_TRUE(ports.m_aPorts.empty());
}

TEST_F(LineTest, TheLineIsListedAndNothingIsOpened) {
    CSerialPort holder;
    ASSERT_TRUE(Open(holder)); // listing must not need the port
    CSerialEnum ports;
    ports.Refresh();
    EXPECT_TRUE(Listed(ports, Name())) << Name();
    EXPECT_EQ(Ask(holder, "modem").rfind("modem", 0), 0u); // the holder was not disturbed
}

TEST(SerialEnumWin32, NamesWithoutADeviceAreLeftOut) {
    const std::string absent = Env("NW_WIN32_TEST_ABSENT"); // a COMn with nothing behind it
    if (absent.empty())
        GTEST_SKIP() << "set NW_WIN32_TEST_ABSENT to a COM name with no device";
    ASSERT_FALSE(DeviceBehind(absent)) << absent << " has a device after all";
    CSerialEnum ports;
    ports.Refresh();
    if (Listed(ports, absent) && UnderWine() && Number(absent) <= 9)
        GTEST_SKIP() << "known Wine limit: GetDefaultCommConfigA answers for every name "
                        "COM1..COM9, device or not";
    EXPECT_FALSE(Listed(ports, absent));
}

TEST(SerialEnumWin32, PortsAboveNineAreProbedToo) {
    const std::string high = Env("NW_WIN32_TEST_HIGH_PORT"); // a COMn, n > 9, with a device
    if (high.empty())
        GTEST_SKIP() << "set NW_WIN32_TEST_HIGH_PORT to a COM port above COM9";
    CSerialPort port; // the device-namespace path reaches it, by name and by number
    ASSERT_TRUE(port.Open(high, 9600, stopbits::kOne, parity::kNone))
        << port.LastFailure().Describe();
    port.Close();
    ASSERT_TRUE(CSerialPort::PortsAreNumbered());
    const int number = Number(high);
    EXPECT_EQ(CSerialPort::PortNameForNumber(number), high);
    ASSERT_TRUE(port.Open(number, 9600, stopbits::kOne, parity::kNone))
        << port.LastFailure().Describe();
    port.Close();
    CSerialEnum ports;
    ports.Refresh();
    if (!Listed(ports, high) && UnderWine())
        GTEST_SKIP() << "known Wine limit: GetDefaultCommConfigA knows only COM1..COM9";
    EXPECT_TRUE(Listed(ports, high));
}

} // namespace
} // namespace nw::win32::test
