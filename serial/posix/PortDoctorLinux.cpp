// POSIX backend of CPortDoctor. The permission, holder and busy checks work
// on any POSIX system; ModemManager, brltty and the adapter's USB ids come
// from Linux's sysfs, udev rules and systemd units and find nothing elsewhere.
#include "serial/PortDoctor.h"

#include "serial/SerialEnum.h"
#include "serial/posix/SysfsRead.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fnmatch.h>
#include <fstream>
#include <grp.h>
#include <map>
#include <pwd.h>
#include <sstream>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace nw {

namespace fs = std::filesystem;

namespace {

constexpr char kLocalRules[] = "/etc/udev/rules.d/99-nodewright.rules";
constexpr char kReload[] = "sudo udevadm control --reload, then plug the adapter in again";

using sysfs::Trim;
const auto& FirstLine = sysfs::ReadAttribute;

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return s;
}

bool Glob(const std::string& pattern, const std::string& text) {
    return ::fnmatch(Lower(pattern).c_str(), Lower(text).c_str(), 0) == 0;
}

ProcessIdentity CurrentProcess() {
    ProcessIdentity who;
    who.uid = ::getuid();
    const int n = ::getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(n > 0 ? n : 0));
    if (n > 0 && ::getgroups(n, groups.data()) == n)
        who.gids.assign(groups.begin(), groups.end());
    who.gids.push_back(::getegid());
    std::vector<char> buffer(16384);
    passwd pw{};
    passwd* found = nullptr;
    if (::getpwuid_r(who.uid, &pw, buffer.data(), buffer.size(), &found) == 0 && found)
        who.user = found->pw_name;
    else
        who.user = std::to_string(who.uid);
    return who;
}

struct GroupEntry {
    std::string name;
    std::vector<std::string> members;
};

// <etc>/group by gid: name and the users listed as members.
std::map<unsigned, GroupEntry> ReadGroups(const fs::path& file) {
    std::map<unsigned, GroupEntry> groups;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> field;
        std::istringstream parts(line);
        for (std::string f; std::getline(parts, f, ':');)
            field.push_back(f);
        if (field.size() < 3 || field[0].empty() || field[0][0] == '#')
            continue;
        GroupEntry entry{field[0], {}};
        std::istringstream names(field.size() > 3 ? field[3] : "");
        for (std::string m; std::getline(names, m, ',');)
            entry.members.push_back(Trim(m));
        try {
            groups.emplace(static_cast<unsigned>(std::stoul(field[2])), std::move(entry));
        } catch (const std::exception&) {
        }
    }
    return groups;
}

// The USB device above a tty: its ids as sysfs gives them (lowercase hex).
struct UsbIds {
    std::string vendor;
    std::string product;
    std::string bcdDevice;
};

std::optional<UsbIds> UsbIdsAt(const fs::path& dir) {
    if (!Exists(dir / "idVendor") || !Exists(dir / "idProduct"))
        return std::nullopt;
    return UsbIds{Lower(FirstLine(dir / "idVendor")), Lower(FirstLine(dir / "idProduct")),
                  Lower(FirstLine(dir / "bcdDevice"))};
}

std::optional<UsbIds> UsbIdsOfTty(const fs::path& sysRootIn, const std::string& tty) {
    std::error_code ec;
    const fs::path sysRoot = fs::canonical(sysRootIn, ec);
    if (ec)
        return std::nullopt;
    for (fs::path dir = fs::canonical(sysRoot / "class" / "tty" / tty / "device", ec);
         !ec && sysfs::IsBelow(dir, sysRoot); dir = dir.parent_path()) {
        if (auto ids = UsbIdsAt(dir))
            return ids;
    }
    return std::nullopt;
}

// "403/6001/600": how udev's PRODUCT spells a USB device (hex, no leading zeros).
std::string UdevProduct(const UsbIds& ids) {
    auto bare = [](const std::string& hex) {
        const auto first = hex.find_first_not_of('0');
        return first == std::string::npos ? std::string("0") : hex.substr(first);
    };
    return bare(ids.vendor) + "/" + bare(ids.product) + "/" + bare(ids.bcdDevice);
}

// The udev rule files in effect: a name in <etc> hides the same name in the
// packaged directories. A rule file that is a link to /dev/null or empty masks.
std::map<std::string, fs::path> RuleFiles(const DoctorRoots& roots) {
    std::map<std::string, fs::path> files;
    for (const fs::path& dir :
         {fs::path(roots.etc) / "udev/rules.d", fs::path(roots.lib) / "udev/rules.d",
          fs::path(roots.usr) / "lib/udev/rules.d"}) {
        std::error_code ec;
        for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.ends_with(".rules"))
                files.emplace(name, it->path()); // the first directory wins
        }
    }
    return files;
}

bool IsMasked(const fs::path& file) {
    std::error_code ec;
    if (fs::is_symlink(file, ec) && fs::read_symlink(file, ec) == "/dev/null")
        return true;
    return fs::is_regular_file(file, ec) && fs::file_size(file, ec) == 0;
}

// One udev rule line, its keys with the operator and value.
struct RuleKey {
    std::string key; // e.g. "ATTRS{idVendor}", "ENV{ID_MM_DEVICE_IGNORE}", "KERNEL"
    std::string op;
    std::string value;
};

// KEY{ATTR} OP "VALUE", comma separated; anything else on the line is passed
// over. (A scanner rather than std::regex: GCC 12 warns inside <regex> when
// built with the sanitizers.)
std::vector<RuleKey> ParseRule(const std::string& line) {
    auto isName = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    };
    auto skipBlanks = [&](std::size_t i) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        return i;
    };
    std::vector<RuleKey> keys;
    std::size_t i = 0;
    while (i < line.size()) {
        if (!isName(line[i])) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < line.size() && isName(line[i]))
            ++i;
        if (i < line.size() && line[i] == '{') {
            const std::size_t close = line.find('}', i);
            if (close == std::string::npos)
                break;
            i = close + 1;
        }
        RuleKey key{line.substr(start, i - start), {}, {}};
        i = skipBlanks(i);
        for (const char* op : {"==", "!=", "+=", ":=", "="}) {
            if (line.compare(i, std::char_traits<char>::length(op), op) == 0) {
                key.op = op;
                break;
            }
        }
        if (key.op.empty())
            continue;
        i = skipBlanks(i + key.op.size());
        if (i >= line.size() || line[i] != '"')
            continue;
        const std::size_t end = line.find('"', i + 1);
        if (end == std::string::npos)
            break;
        key.value = line.substr(i + 1, end - i - 1);
        keys.push_back(std::move(key));
        i = end + 1;
    }
    return keys;
}

enum class RuleMatch { NoIds, Differs, Matches };

// Whether the match keys of a rule that name a device (vendor, product, kernel
// name, PRODUCT) all fit this one; keys of other kinds are taken as fitting.
RuleMatch MatchDevice(const std::vector<RuleKey>& keys, const UsbIds& ids, const std::string& tty) {
    bool named = false;
    for (const RuleKey& k : keys) {
        if (k.op != "==")
            continue;
        std::string actual;
        if (k.key == "ATTRS{idVendor}" || k.key == "ATTR{idVendor}" || k.key == "ENV{ID_VENDOR_ID}")
            actual = ids.vendor;
        else if (k.key == "ATTRS{idProduct}" || k.key == "ATTR{idProduct}" ||
                 k.key == "ENV{ID_MODEL_ID}")
            actual = ids.product;
        else if (k.key == "ENV{PRODUCT}")
            actual = UdevProduct(ids);
        else if ((k.key == "KERNEL" || k.key == "KERNELS") && !tty.empty())
            actual = tty;
        else
            continue;
        named = true;
        bool any = false; // udev's "a|b" alternatives
        std::istringstream alternatives(k.value);
        for (std::string alt; std::getline(alternatives, alt, '|');)
            any = any || Glob(alt, actual);
        if (!any)
            return RuleMatch::Differs;
    }
    return named ? RuleMatch::Matches : RuleMatch::NoIds;
}

std::vector<std::string> RuleLines(const fs::path& file) {
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        line = Trim(line);
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

std::string Ids(const UsbIds& ids) {
    return ids.vendor + ":" + ids.product;
}

std::optional<DoctorFinding> CheckModemManager(const DoctorRoots& r, const UsbIds& ids,
                                               const std::string& tty, const std::string& port) {
    const fs::path etcUnit = fs::path(r.etc) / "systemd/system/ModemManager.service";
    if (IsMasked(etcUnit))
        return std::nullopt;
    const bool installed = Exists(fs::path(r.usr) / "sbin/ModemManager") ||
                           Exists(fs::path(r.lib) / "systemd/system/ModemManager.service") ||
                           Exists(fs::path(r.usr) / "lib/systemd/system/ModemManager.service");
    if (!installed)
        return std::nullopt;
    for (const auto& [name, file] : RuleFiles(r)) {
        for (const std::string& line : RuleLines(file)) {
            const auto keys = ParseRule(line);
            bool ignores = false;
            for (const RuleKey& k : keys)
                ignores = ignores || (k.key == "ENV{ID_MM_DEVICE_IGNORE}" && k.op != "==" &&
                                      k.op != "!=" && k.value == "1");
            if (ignores && MatchDevice(keys, ids, tty) != RuleMatch::Differs)
                return std::nullopt;
        }
    }
    return DoctorFinding{
        "ModemManager is installed and no udev rule tells it to leave " + port + " (" + Ids(ids) +
            ") alone: it may probe the adapter as a modem (AT commands of its own) and hold "
            "the port while it does.",
        {std::string("add this line to ") + kLocalRules + ":",
         "  ATTRS{idVendor}==\"" + ids.vendor + "\", ATTRS{idProduct}==\"" + ids.product +
             "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"",
         std::string("then: ") + kReload,
         "(or, when no modem is used: sudo systemctl disable --now ModemManager)"}};
}

// brltty's udev rules that claim a USB device with these ids, masked ones left out.
std::optional<DoctorFinding> CheckBrltty(const DoctorRoots& r, const UsbIds& ids,
                                         const std::string& what) {
    for (const auto& [name, file] : RuleFiles(r)) {
        if (name.find("brltty") == std::string::npos || IsMasked(file))
            continue;
        for (const std::string& line : RuleLines(file)) {
            if (MatchDevice(ParseRule(line), ids, {}) != RuleMatch::Matches)
                continue;
            return DoctorFinding{
                "brltty (the Braille display service) is installed and its udev rule " +
                    file.string() + " claims " + what + " (" + Ids(ids) +
                    "): it takes the adapter over when it is plugged in, and the port "
                    "disappears.",
                {"when no Braille display is used: sudo apt remove brltty",
                 "or mask the rule: sudo ln -s /dev/null /etc/udev/rules.d/" + name,
                 std::string("then: ") + kReload}};
        }
    }
    return std::nullopt;
}

// The number of a pseudo-terminal (".../pts/3": "3"); empty for other nodes.
std::string PtyIndex(const fs::path& canonical) {
    return canonical.parent_path().filename() == "pts" ? canonical.filename().string()
                                                       : std::string();
}

struct NodeInfo {
    unsigned uid = 0;
    unsigned gid = 0;
    unsigned mode = 0;
    bool isCharDevice = false;
};

std::string Octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
    return text;
}

// (a): the node's mode bits for this identity; the process's own access check
// when it is the running process (access lists and the like).
std::optional<DoctorFinding> CheckAccess(const DoctorRoots& r, const ProcessIdentity& who,
                                         bool realProcess, const std::string& port,
                                         const NodeInfo& node) {
    if (who.uid == 0)
        return std::nullopt;
    const bool inGroup = std::find(who.gids.begin(), who.gids.end(), node.gid) != who.gids.end();
    const unsigned bits = who.uid == node.uid ? (node.mode >> 6) & 7u
                          : inGroup           ? (node.mode >> 3) & 7u
                                              : node.mode & 7u;
    if ((bits & 6u) == 6u)
        return std::nullopt;
    if (realProcess && ::access(port.c_str(), R_OK | W_OK) == 0)
        return std::nullopt;
    const auto groups = ReadGroups(fs::path(r.etc) / "group");
    const auto entry = groups.find(node.gid);
    const std::string group = entry != groups.end() ? entry->second.name : std::to_string(node.gid);
    const bool groupMayUse = ((node.mode >> 3) & 6u) == 6u;
    std::error_code ec;
    if (!PtyIndex(fs::weakly_canonical(port, ec)).empty() && who.uid != node.uid) {
        return DoctorFinding{port + " is a pseudo-terminal of another user (uid " +
                                 std::to_string(node.uid) + "): only its owner may use it.",
                             {"start the program that made it (such as nodewright-sim) as " +
                              who.user + ", or run this one as its owner"}};
    }
    if (!groupMayUse) {
        // A node only its owner may use; root's group is no group to join.
        const std::string target = node.gid == 0 ? "dialout" : group;
        std::vector<std::string> fix{
            "for now: sudo chgrp " + target + " " + port + "; sudo chmod 0660 " + port,
            std::string("to keep it so, add this line to ") + kLocalRules + ":",
            "  KERNEL==\"" + fs::path(port).filename().string() + "\", GROUP=\"" + target +
                "\", MODE=\"0660\"",
            "then: sudo udevadm control --reload"};
        if (!(target == group && inGroup))
            fix.push_back("and: sudo usermod -aG " + target + " " + who.user +
                          ", then log out and log in again");
        return DoctorFinding{port + " (mode " + Octal(node.mode) + ", group " + group +
                                 ") can be read and written by its owner only.",
                             fix};
    }
    if (who.uid == node.uid || inGroup) // the group may, the owner or a member may not
        return DoctorFinding{port + " (mode " + Octal(node.mode) + ", group " + group +
                                 ") cannot be read and written by " + who.user + ".",
                             {"sudo chmod 0660 " + port}};
    const bool listed = entry != groups.end() &&
                        std::find(entry->second.members.begin(), entry->second.members.end(),
                                  who.user) != entry->second.members.end();
    if (listed) {
        return DoctorFinding{
            who.user + " was added to the group " + group + " that owns " + port +
                ", but this session started before that and does not have the group yet.",
            {"log out and log in again (or reboot)",
             "or, for this terminal only: newgrp " + group}};
    }
    return DoctorFinding{who.user + " is not in the group " + group + " that owns " + port +
                             ", so the port cannot be opened.",
                         {"sudo usermod -aG " + group + " " + who.user,
                          "then log out and log in again (or reboot) for it to take effect"}};
}

// Whether descriptor `fd` of a process is the controlling side (ptmx) of
// pseudo-terminal `index`: the device end, such as nodewright-sim or a
// terminal window, which is meant to hold its terminal side too.
bool HoldsPtyMaster(const fs::path& process, const fs::path& fd, const std::string& index) {
    std::error_code ec;
    if (index.empty() || fs::read_symlink(fd, ec).filename() != "ptmx")
        return false;
    std::ifstream info(process / "fdinfo" / fd.filename());
    for (std::string line; std::getline(info, line);) {
        if (line.starts_with("tty-index:"))
            return Trim(line.substr(10)) == index;
    }
    return false;
}

// (b): processes with a descriptor on the port, from <proc>/PID/fd/*; not
// the device end of a pseudo-terminal.
std::optional<DoctorFinding> CheckHolders(const DoctorRoots& r, const std::string& port,
                                          bool* someHidden) {
    std::error_code ec;
    const fs::path canonical = fs::weakly_canonical(port, ec);
    const std::string ptyIndex = PtyIndex(canonical);
    std::vector<std::string> holders;
    for (auto it = fs::directory_iterator(r.proc, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code fdEc;
        auto fd = fs::directory_iterator(it->path() / "fd", fdEc);
        if (fdEc) {
            *someHidden = *someHidden || fdEc == std::errc::permission_denied;
            continue;
        }
        bool holds = false;
        bool deviceEnd = false;
        for (; !fdEc && fd != fs::directory_iterator(); fd.increment(fdEc)) {
            std::error_code linkEc;
            const fs::path target = fs::read_symlink(fd->path(), linkEc);
            holds = holds || (!linkEc && (target == port || target == canonical));
            deviceEnd = deviceEnd || HoldsPtyMaster(it->path(), fd->path(), ptyIndex);
        }
        if (holds && !deviceEnd) {
            const std::string name = FirstLine(it->path() / "comm");
            holders.push_back(pid + " (" + (name.empty() ? "?" : name) + ")");
        }
    }
    if (holders.empty())
        return std::nullopt;
    std::string list;
    for (const std::string& h : holders)
        list += (list.empty() ? "" : ", ") + h;
    const std::string firstPid = holders.front().substr(0, holders.front().find(' '));
    return DoctorFinding{port + " is open in another program: process " + list + ".",
                         {"close that program (a terminal program, another Nodewright),",
                          "or end it: kill " + firstPid}};
}

// (c): a non-blocking open, then the exclusive flag and the lock. Nothing is
// written and the line's settings are not touched.
std::optional<DoctorFinding> CheckBusy(const std::string& port, bool someHidden) {
    const std::string who =
        std::string(someHidden ? "sudo fuser -v " : "fuser -v ") + port + " shows which program";
    const int fd = ::open(port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == EBUSY)
            return DoctorFinding{port + " is in exclusive use (TIOCEXCL): a program holds it "
                                        "and refuses every other open.",
                                 {"close the program that holds it; " + who}};
        if (err == ENXIO || err == ENODEV || err == EIO || err == ENOENT)
            return DoctorFinding{port + " has no device behind it (" + std::strerror(err) + ").",
                                 {"plug the adapter in again; sudo dmesg | tail shows what the "
                                  "kernel saw"}};
        return DoctorFinding{port + " cannot be opened: " + std::strerror(err) + ".",
                             {"ls -l " + port + " and getfacl " + port + " show who may open it"}};
    }
    std::optional<DoctorFinding> finding;
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0)
        finding = DoctorFinding{port + " has exclusive mode (TIOCEXCL) set: a program that "
                                       "holds it, or one that ended without clearing it, keeps "
                                       "every other user out.",
                                {"close the program that holds it; " + who}};
#endif
    if (!finding && ::flock(fd, LOCK_EX | LOCK_NB) < 0 && errno == EWOULDBLOCK)
        finding = DoctorFinding{port + " is locked by another program (another Nodewright, or "
                                       "a terminal program that locks its port).",
                                {"close that program; " + who}};
    ::close(fd);
    return finding;
}

void CheckPort(const DoctorRoots& r, const ProcessIdentity& who, bool realProcess,
               PortCheckup& checkup) {
    const std::string& port = checkup.port;
    auto add = [&](std::optional<DoctorFinding> f) {
        if (f)
            checkup.findings.push_back(std::move(*f));
        return f.has_value();
    };
    struct stat st {};
    if (::stat(port.c_str(), &st) < 0) {
        add(DoctorFinding{port + " does not exist.",
                          {"plug the adapter in; nodewright-cli ports lists the serial ports"}});
        return;
    }
    const NodeInfo node{st.st_uid, st.st_gid, static_cast<unsigned>(st.st_mode),
                        S_ISCHR(st.st_mode)};
    const bool denied = add(CheckAccess(r, who, realProcess, port, node));
    bool someHidden = false;
    const bool held = add(CheckHolders(r, port, &someHidden));
    // Only a character device is opened; a fake tree's plain files are not.
    if (!denied && !held && node.isCharDevice)
        add(CheckBusy(port, someHidden));
    std::error_code ec;
    const std::string tty = fs::weakly_canonical(port, ec).filename().string();
    if (const auto ids = UsbIdsOfTty(r.sys, tty)) {
        add(CheckModemManager(r, *ids, tty, port));
        add(CheckBrltty(r, *ids, "the adapter of " + port));
    }
}

// (f): nothing to examine. brltty taking an adapter over is a common reason.
std::vector<DoctorFinding> NoPorts(const DoctorRoots& r) {
    std::vector<DoctorFinding> findings{
        {"No serial port found.",
         {"check the cable (a charge-only USB cable carries no data) and plug the adapter in "
          "again",
          "sudo dmesg | tail, right after plugging it in, shows what the kernel saw",
          "a USB serial adapter needs its driver (ftdi_sio, cp210x, ch341, pl2303, cdc_acm): "
          "lsmod shows the ones loaded"}}};
    std::error_code ec;
    for (auto it = fs::directory_iterator(fs::path(r.sys) / "bus/usb/devices", ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const auto ids = UsbIdsAt(it->path());
        if (!ids)
            continue;
        if (auto f = CheckBrltty(r, *ids, "the USB device " + it->path().filename().string()))
            findings.push_back(std::move(*f));
    }
    return findings;
}

} // namespace

CPortDoctor::CPortDoctor(DoctorRoots roots, std::optional<ProcessIdentity> who)
    : m_roots(std::move(roots)), m_who(std::move(who)) {}

DoctorReport CPortDoctor::Examine(const std::string& port) const {
    DoctorReport report;
    const ProcessIdentity who = m_who ? *m_who : CurrentProcess();
    if (!port.empty()) {
        report.ports.push_back({port, port, {}});
    } else {
        CSerialEnum list(m_roots.sys, m_roots.dev);
        list.Refresh();
        for (const CComPortInfo& info : list.m_aPorts)
            report.ports.push_back({info.m_strName, info.m_strFriendlyName, {}});
        if (report.ports.empty())
            report.general = NoPorts(m_roots);
    }
    for (PortCheckup& checkup : report.ports)
        CheckPort(m_roots, who, !m_who, checkup);
    return report;
}

} // namespace nw
