// nodewright-cli doctor on fake systems: each problem found and its fix
// printed, a clean system passed; a pseudo-terminal for the busy checks.
#include "CliFixture.h"

#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace nw::cli::test {
namespace {

// An FTDI adapter on ttyUSB0 whose node belongs to the group "dialout".
constexpr char kSystem[] =
    "sys/devices/usb1/1-1/idVendor=0403\n;sys/devices/usb1/1-1/idProduct=6001\n;"
    "sys/devices/usb1/1-1/bcdDevice=0600\n;sys/devices/usb1/1-1/manufacturer=FTDI\n;"
    "sys/devices/usb1/1-1/product=FT232R USB UART\n;sys/devices/usb1/1-1/1-1:1.0/ttyUSB0=/;"
    "sys/class/tty/ttyUSB0/device=@../../../devices/usb1/1-1/1-1:1.0/ttyUSB0;dev/ttyUSB0=;"
    "proc/1/comm=init\n;proc/1/fd/0=@/dev/null";

constexpr char kIgnoreLine[] =
    R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{ID_MM_DEVICE_IGNORE}="1")";
constexpr char kBrlttyFtdi[] =
    R"(ENV{PRODUCT}=="403/6001/*", ENV{BRLTTY_BRAILLE_DRIVER}="at,ce", GOTO="brltty_usb_run")";
constexpr char kBrlttyCh340[] =
    R"(ENV{PRODUCT}=="1a86/7523/*", ENV{BRLTTY_BRAILLE_DRIVER}="bm", GOTO="brltty_usb_run")";
const std::string kMM = "usr/sbin/ModemManager=elf;";
const std::string kBrltty = "lib/udev/rules.d/85-brltty.rules=";
const std::string kHolders =
    "dev/pts/3=;proc/50/fd/5=@/dev/ptmx;proc/50/fdinfo/5=pos:\t0\ntty-index:\t3\n;"
    "proc/50/fd/6=@<root>/dev/pts/3;proc/51/comm=screen\n;proc/51/fd/0=@<root>/dev/pts/3;"
    "proc/52/comm=xterm\n;proc/52/fd/3=@/dev/ptmx;proc/52/fdinfo/3=tty-index:\t4\n;"
    "proc/52/fd/4=@<root>/dev/pts/3"; // 50 holds the device end of pts/3, 52 another's

// <node>: the node's path; <group>: its group's line, no members yet; <root>:
// the fake system; <pty>: a pseudo-terminal, held by `hold` (then the process
// is this one, the terminal's real owner).
struct Case {
    const char* name;
    std::string tree;     // "path=what;...": added to the fake system
    const char* args;     // after "doctor"
    int problems;         // 0: the clean report
    std::string texts;    // "a;b": in the output; "!a": not in it
    unsigned mode = 0660; // of the node
    bool inGroup = true;  // the process has the node's group
    int (*hold)(int fd) = nullptr;
};

const Case kCases[] = {
    {"clean", "", "", 0, ""},
    {"not in the group", "", "", 1,
     "ann is not in the group dialout that owns;Fix:     sudo usermod -aG dialout ann;log in "
     "again;!newgrp",
     0660, false},
    {"in the group file, not yet in the session", "etc/group=<group>bob,ann\n", "", 1,
     "ann was added to the group dialout;newgrp dialout;log in again;!usermod", 0660, false},
    {"only the owner may use the node", "", "", 1,
     R"(by its owner only;KERNEL=="ttyUSB0", GROUP="dialout", MODE="0660";!usermod)", 0600},
    {"held by another process", "proc/42/comm=minicom\n;proc/42/fd/3=@/x;proc/42/fd/4=@<node>", "",
     1, "is open in another program: process 42 (minicom);kill 42;!init"},
    {"held, the port named by a link", "dev/ttyUSB7=@ttyUSB0;proc/77/fd/1=@<node>;proc/77/comm=cu",
     "-p <root>/dev/ttyUSB7", 1, "process 77 (cu)"},
    {"the port given does not exist", "", "-p <root>/dev/ttyUSB9", 1, "ttyUSB9 does not exist."},
    {"a pseudo-terminal's device end holds it; another user's terminal", kHolders,
     "-p <root>/dev/pts/3", 2, "pseudo-terminal of another user;process 51 (screen), 52 (xterm)."},
    {"ModemManager without an ignore rule", kMM, "", 1,
     std::string("ModemManager is installed;") + kIgnoreLine +
         ";/etc/udev/rules.d/99-nodewright.rules;sudo udevadm control --reload"},
    {"ModemManager's unit, an ignore rule for another adapter",
     R"(lib/systemd/system/ModemManager.service=[Unit];etc/udev/rules.d/70-x.rules=ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6015", ENV{ID_MM_DEVICE_IGNORE}="1")",
     "", 1, "ModemManager is installed"},
    {"ModemManager, the adapter ignored",
     kMM + "lib/udev/rules.d/77-mm-usb-device-blacklist.rules=# ftdi\n" + kIgnoreLine + "\n", "", 0,
     ""},
    {"ModemManager masked", kMM + "etc/systemd/system/ModemManager.service=@/dev/null", "", 0, ""},
    {"brltty claims the adapter", kBrltty + kBrlttyCh340 + "\n" + kBrlttyFtdi, "", 1,
     "claims the adapter of <node> (0403:6001);sudo apt remove brltty;sudo ln -s /dev/null "
     "/etc/udev/rules.d/85-brltty.rules"},
    {"brltty's older rule form",
     R"(usr/lib/udev/rules.d/85-brltty.rules=ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{BRLTTY_DRIVER}="at")",
     "", 1, "sudo apt remove brltty"},
    {"brltty, another adapter", kBrltty + kBrlttyCh340, "", 0, ""},
    {"brltty's rule masked", kBrltty + kBrlttyFtdi + ";etc/udev/rules.d/85-brltty.rules=@/dev/null",
     "", 0, ""},
    {"no port at all", "sys/class=-", "", 1, "No serial port found.;sudo dmesg | tail;!brltty"},
    {"no port at all, brltty took the adapter",
     "sys/class=-;sys/bus/usb/devices/1-1=@../../../devices/usb1/1-1;" + kBrltty + kBrlttyFtdi, "",
     2, "No serial port found.;claims the USB device 1-1 (0403:6001)"},
    {"a free line", "", "-p <pty>", 0, "", 0660, true, [](int) { return 0; }},
    {"a line in exclusive mode", "", "-p <pty>", 1, "(TIOCEXCL);fuser -v <pty>", 0660, true,
     [](int fd) { return ::ioctl(fd, TIOCEXCL); }},
    {"a locked line", "", "-p <pty>", 1, "is locked by another program;fuser -v <pty>", 0660, true,
     [](int fd) { return ::flock(fd, LOCK_EX | LOCK_NB); }},
};

TEST(Doctor, FindsEachProblemAndPrintsItsFix) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const TempDir dir;
        const std::string root = dir.path.string(), node = dir.File("dev/ttyUSB0");
        dir.Add(kSystem);
        struct stat st {};
        ASSERT_EQ(::stat(node.c_str(), &st), 0);
        const std::string group = "dialout:x:" + std::to_string(st.st_gid) + ":";
        nw::test::PtyPair pty;
        auto expand = [&](std::string text) {
            for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
                     {"<node>", node}, {"<group>", group}, {"<root>", root}, {"<pty>", pty.Path()}})
                for (auto at = text.find(name); at != std::string::npos; at = text.find(name))
                    text.replace(at, name.size(), value);
            return text;
        };
        dir.Add("etc/group=" + group + "\n;" + expand(c.tree));
        std::filesystem::permissions(node, std::filesystem::perms(c.mode));
        CliEnv env;
        for (const auto& [root, name] : {std::pair{&CliEnv::sysRoot, "sys"},
                                         {&CliEnv::devRoot, "dev"},
                                         {&CliEnv::procRoot, "proc"},
                                         {&CliEnv::etcRoot, "etc"},
                                         {&CliEnv::libRoot, "lib"},
                                         {&CliEnv::usrRoot, "usr"}})
            env.*root = dir.File(name);
        env.identity = nw::ProcessIdentity{st.st_uid + 1, {c.inGroup ? st.st_gid : 12345}, "ann"};
        if (c.hold) {
            ASSERT_EQ(c.hold(pty.HeldTerminal()), 0);
            env.identity.reset();
        }
        const CliRun r = CallCli(env, Words("doctor " + expand(c.args)));
        const std::string out = r.out + r.err;
        EXPECT_EQ(r.code, c.problems == 0 ? 0 : 1) << out;
        if (c.problems == 0)
            EXPECT_EQ(out, (*c.args ? expand(c.args).substr(3) : node + " (FTDI FT232R USB UART)") +
                               ": no problems found.\nNo problems found.\n");
        else
            EXPECT_TRUE(out.ends_with("\n" + std::to_string(c.problems) +
                                      (c.problems == 1 ? " problem" : " problems") + " found.\n"))
                << out;
        for (const std::string& text : Split(c.texts, ';'))
            EXPECT_EQ(out.find(expand(text.substr(text[0] == '!'))) == std::string::npos,
                      text[0] == '!')
                << text << "\n"
                << out;
    }
}

} // namespace
} // namespace nw::cli::test
