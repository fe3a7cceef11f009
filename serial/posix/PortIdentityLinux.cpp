// Port identity from sysfs (<sysRoot>/class/tty/<name>) and the links udev
// keeps under <devRoot>/serial. A port without sysfs entries (a typed
// pseudo-terminal, another POSIX system) keeps its path and name only.
#include "serial/PortIdentity.h"
#include "serial/posix/SysfsRead.h"

#include <system_error>

namespace nw {

namespace fs = std::filesystem;

namespace {

struct StableNames {
    fs::path byIdDir, byPathDir;
    std::map<std::string, std::string> byId, byPath; // canonical node -> link name
};

std::string LinkTo(const std::map<std::string, std::string>& links, const fs::path& dir,
                   const std::string& node) {
    const auto found = links.find(node);
    return found == links.end() ? std::string() : (dir / found->second).string();
}

// The USB device above a tty's `device` link: the first directory on the way
// up that has an idVendor.
void ReadUsb(const fs::path& deviceLink, const fs::path& sysRoot, PortIdentity& id) {
    std::error_code ec;
    for (fs::path dir = fs::canonical(deviceLink, ec); !ec && sysfs::IsBelow(dir, sysRoot);
         dir = dir.parent_path()) {
        if (sysfs::Exists(dir / "idVendor")) {
            id.vendorId = sysfs::ReadAttribute(dir / "idVendor");
            id.productId = sysfs::ReadAttribute(dir / "idProduct");
            id.serial = sysfs::ReadAttribute(dir / "serial");
            return;
        }
    }
}

PortIdentity Identify(const CComPortInfo& port, const fs::path& sysRoot, const StableNames& names) {
    PortIdentity id;
    id.path = port.m_strName;
    id.friendlyName = port.m_strFriendlyName;
    std::error_code ec;
    const std::string node = fs::canonical(port.m_strName, ec).string();
    if (!ec) {
        id.byId = LinkTo(names.byId, names.byIdDir, node);
        id.byPath = LinkTo(names.byPath, names.byPathDir, node);
    }
    if (sysRoot.empty())
        return id;
    const fs::path deviceLink =
        sysRoot / "class" / "tty" / fs::path(port.m_strName).filename() / "device";
    if (!sysfs::Exists(deviceLink))
        return id;
    const fs::path driver = fs::canonical(deviceLink / "driver", ec);
    if (!ec)
        id.driver = driver.filename().string();
    ReadUsb(deviceLink, sysRoot, id);
    return id;
}

} // namespace

std::vector<PortIdentity> IdentifyPorts(const std::vector<CComPortInfo>& ports,
                                        const std::string& sysRoot, const std::string& devRoot) {
    StableNames names;
    names.byIdDir = fs::path(devRoot) / "serial" / "by-id";
    names.byPathDir = fs::path(devRoot) / "serial" / "by-path";
    names.byId = sysfs::LinksByTarget(names.byIdDir);
    names.byPath = sysfs::LinksByTarget(names.byPathDir);
    std::error_code ec;
    const fs::path sys = fs::canonical(sysRoot, ec); // empty when there is no sysfs
    std::vector<PortIdentity> out;
    out.reserve(ports.size());
    for (const CComPortInfo& port : ports)
        out.push_back(Identify(port, ec ? fs::path() : sys, names));
    return out;
}

} // namespace nw
