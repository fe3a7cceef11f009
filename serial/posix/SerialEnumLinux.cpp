// POSIX backend of CSerialEnum. On Linux the list is read from sysfs
// (<sysRoot>/class/tty) and the device nodes under <devRoot>; no device is
// ever opened, a node only has to exist. Other POSIX systems have no sysfs and
// list the call-out nodes <devRoot>/cu.* instead.
#include "serial/SerialEnum.h"
#include "serial/posix/SysfsRead.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <utility>

namespace nw {

namespace fs = std::filesystem;

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Natural order: digit runs compare by value (ttyS2 before ttyS10), everything
// else byte by byte. Names equal by that measure ("ttyS01", "ttyS1") fall back
// to plain text order so the order stays strict.
bool NaturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (!IsDigit(a[i]) || !IsDigit(b[j])) {
            if (a[i] != b[j]) {
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            }
            ++i;
            ++j;
            continue;
        }
        std::size_t iEnd = i, jEnd = j;
        while (iEnd < a.size() && IsDigit(a[iEnd])) {
            ++iEnd;
        }
        while (jEnd < b.size() && IsDigit(b[jEnd])) {
            ++jEnd;
        }
        while (i + 1 < iEnd && a[i] == '0') { // leading zeros carry no value
            ++i;
        }
        while (j + 1 < jEnd && b[j] == '0') {
            ++j;
        }
        if (iEnd - i != jEnd - j) {
            return iEnd - i < jEnd - j; // fewer digits, smaller number
        }
        if (const int c = a.compare(i, iEnd - i, b, j, jEnd - j); c != 0) {
            return c < 0;
        }
        i = iEnd;
        j = jEnd;
    }
    if (i == a.size() && j == b.size()) {
        return a < b;
    }
    return i == a.size(); // a prefix sorts first
}

std::vector<CComPortInfo> Sorted(std::vector<CComPortInfo> ports) {
    std::sort(ports.begin(), ports.end(), [](const CComPortInfo& x, const CComPortInfo& y) {
        return NaturalLess(x.m_strName, y.m_strName);
    });
    return ports;
}

CComPortInfo MakeInfo(const fs::path& node, const std::string& description) {
    std::string path = node.string();
    std::string friendly = description.empty() ? path : path + " (" + description + ")";
    return CComPortInfo(std::move(path), std::move(friendly));
}

#ifdef __linux__

using sysfs::Exists;
using sysfs::IsBelow;
using sysfs::ReadAttribute;

// An on-board 8250-style UART the kernel reserved a line for but found no UART
// behind: its `type` reads 0 (PORT_UNKNOWN) and opening it fails. A missing or
// unreadable `type` does not exclude the port.
bool IsPlaceholderUart(const std::string& tty, const fs::path& entry) {
    if (!tty.starts_with("ttyS")) {
        return false;
    }
    const std::string type = ReadAttribute(entry / "type");
    int value = -1;
    const auto [end, err] = std::from_chars(type.data(), type.data() + type.size(), value);
    return err == std::errc() && end == type.data() + type.size() && value == 0;
}

// "<manufacturer> <product>" of the USB device above a tty's `device` link
// (the interface, or the tty itself, sits below the USB device). The walk stops
// at the first directory with either string, or at a USB device (idVendor)
// without strings, so a string-less device never borrows its hub's name. Empty
// when not USB.
std::string UsbDescription(const fs::path& deviceLink, const fs::path& sysRoot) {
    std::error_code ec;
    for (fs::path dir = fs::canonical(deviceLink, ec); !ec && IsBelow(dir, sysRoot);
         dir = dir.parent_path()) {
        const bool hasManufacturer = Exists(dir / "manufacturer");
        const bool hasProduct = Exists(dir / "product");
        if (hasManufacturer || hasProduct) {
            const std::string manufacturer = ReadAttribute(dir / "manufacturer");
            const std::string product = ReadAttribute(dir / "product");
            if (manufacturer.empty() || product.empty()) {
                return manufacturer + product;
            }
            return manufacturer + " " + product;
        }
        if (Exists(dir / "idVendor")) {
            return {};
        }
    }
    return {};
}

std::vector<CComPortInfo> ListPorts(const fs::path& sysRootIn, const fs::path& devRoot) {
    std::vector<CComPortInfo> ports;
    std::error_code ec;
    const fs::path sysRoot = fs::canonical(sysRootIn, ec);
    if (ec) {
        return ports;
    }
    const auto byId = sysfs::LinksByTarget(devRoot / "serial" / "by-id");
    for (auto it = fs::directory_iterator(sysRoot / "class" / "tty", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string tty = it->path().filename().string();
        // Real hardware has a `device` link; rfcomm ports are virtual but are
        // serial lines. Consoles, pseudo-terminals and the like are neither.
        const fs::path deviceLink = it->path() / "device";
        const bool hasDevice = Exists(deviceLink);
        if (!hasDevice && !tty.starts_with("rfcomm")) {
            continue;
        }
        if (hasDevice && IsPlaceholderUart(tty, it->path())) {
            continue;
        }
        const fs::path node = devRoot / tty;
        if (!Exists(node)) {
            continue;
        }
        std::string description = hasDevice ? UsbDescription(deviceLink, sysRoot) : std::string();
        if (description.empty()) {
            std::error_code nodeEc;
            const auto found = byId.find(fs::canonical(node, nodeEc).string());
            if (!nodeEc && found != byId.end()) {
                description = found->second;
            }
        }
        ports.push_back(MakeInfo(node, description));
    }
    return ports;
}

#else

std::vector<CComPortInfo> ListPorts(const fs::path&, const fs::path& devRoot) {
    std::vector<CComPortInfo> ports;
    std::error_code ec;
    for (auto it = fs::directory_iterator(devRoot, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (it->path().filename().string().starts_with("cu.")) {
            ports.push_back(MakeInfo(it->path(), {}));
        }
    }
    return ports;
}

#endif

} // namespace

CSerialEnum::CSerialEnum() : CSerialEnum("/sys", "/dev") {}

bool CSerialEnum::Enumerate() {
    Clear();
    m_aPorts = Sorted(ListPorts(m_strSysRoot, m_strDevRoot));
    m_nPortCount = static_cast<int>(m_aPorts.size());
    return true;
}

} // namespace nw
