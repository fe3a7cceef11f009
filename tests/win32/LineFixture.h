// The test line for the Windows port: a COM port whose far end runs
// line_peer.py (a pseudo-terminal under Wine, or a null-modem cable on
// Windows). Requests travel over the line itself, so every exchange also
// exercises the port's write and its reader.
#pragma once

#include "serial/LineSettings.h"
#include "serial/SerialPort.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace nw::win32::test {

using namespace std::chrono_literals;

inline std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v != nullptr ? std::string(v) : std::string();
}

// Wine exports wine_get_version from its ntdll; Windows does not.
inline bool UnderWine() {
    const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// CPU time (user + kernel) of this process so far, in milliseconds.
inline double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10000.0;
    };
    return ms(kernel) + ms(user);
}

template <class Cond> bool WaitUntil(Cond cond, std::chrono::milliseconds timeout) {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (!cond()) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Everything in the ring buffer, taken.
inline std::string TakeAll(CSerialPort& port) {
    const int n = port.m_rxBuffer.GetCount();
    std::string out(static_cast<std::size_t>(n), '\0');
    if (n > 0 && port.m_rxBuffer.Get(out.data(), n) != n)
        return {};
    return out;
}

class LineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_name = Env("NW_WIN32_TEST_PORT");
        if (m_name.empty())
            GTEST_SKIP() << "no test line: set NW_WIN32_TEST_PORT to a COM port whose far end "
                            "runs line_peer.py (scripts/test-windows does)";
    }

    const std::string& Name() const { return m_name; }

    bool Open(CSerialPort& port, std::uint32_t baud = 9600, std::uint8_t stop = stopbits::kOne,
              std::uint8_t par = parity::kNone) {
        return port.Open(m_name, baud, stop, par);
    }

    // Sends "?request\n" and returns the far end's one-line answer (without
    // its line end), or "" when none came within 5 s. Whatever the ring
    // buffer held before is discarded first.
    static std::string Ask(CSerialPort& port, const std::string& request) {
        TakeAll(port);
        const std::string line = "?" + request + "\n";
        if (port.Write(line.data(), static_cast<std::uint32_t>(line.size())) != line.size())
            return {};
        std::string got;
        WaitUntil(
            [&] {
                got += TakeAll(port);
                return got.find('\n') != std::string::npos;
            },
            5000ms);
        const auto eol = got.find('\n');
        return eol == std::string::npos ? std::string() : got.substr(0, eol);
    }

  private:
    std::string m_name;
};

} // namespace nw::win32::test
