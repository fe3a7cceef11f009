// nodewright-cli doctor on fake systems: each problem found and its fix
// printed, a clean system passed; pseudo-terminals for the busy checks.
#include "app/cli/RunCli.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct DoctorRun {
    int code = -1;
    std::string out;
};

// A fake system under a temporary directory: "@" makes a symbolic link, "/" a
// directory, anything else a file holding that text. An FTDI adapter on
// ttyUSB0 whose node belongs to the group "dialout"; "ann" is in it.
class DoctorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "nw_doctor_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        Add({{"sys/devices/usb1/1-1/idVendor", "0403\n"},
             {"sys/devices/usb1/1-1/idProduct", "6001\n"},
             {"sys/devices/usb1/1-1/bcdDevice", "0600\n"},
             {"sys/devices/usb1/1-1/manufacturer", "FTDI\n"},
             {"sys/devices/usb1/1-1/product", "FT232R USB UART\n"},
             {"sys/devices/usb1/1-1/1-1:1.0/ttyUSB0", "/"},
             {"sys/class/tty/ttyUSB0/device", "@../../../devices/usb1/1-1/1-1:1.0/ttyUSB0"},
             {"dev/ttyUSB0", ""},
             {"proc/1/comm", "init\n"},
             {"proc/1/fd/0", "@/dev/null"}});
        node = (root / "dev/ttyUSB0").string();
        fs::permissions(node, fs::perms(0660));
        struct stat st {};
        ASSERT_EQ(::stat(node.c_str(), &st), 0);
        group = "dialout:x:" + std::to_string(st.st_gid) + ":";
        Add({{"etc/group", group + "\n"}});
        env.sysRoot = (root / "sys").string();
        env.devRoot = (root / "dev").string();
        env.procRoot = (root / "proc").string();
        env.etcRoot = (root / "etc").string();
        env.libRoot = (root / "lib").string();
        env.usrRoot = (root / "usr").string();
        env.identity = nw::ProcessIdentity{st.st_uid + 1, {st.st_gid}, "ann"};
    }
    void TearDown() override { fs::remove_all(root); }

    void Add(const std::vector<std::pair<std::string, std::string>>& tree) {
        for (const auto& [path, text] : tree) {
            fs::create_directories((root / path).parent_path());
            fs::remove(root / path);
            if (text.starts_with("@"))
                fs::create_symlink(text.substr(1), root / path);
            else if (text == "/")
                fs::create_directories(root / path);
            else
                std::ofstream(root / path) << text;
        }
    }

    DoctorRun Doctor(const std::vector<std::string>& args = {}) {
        std::vector<const char*> argv{"nodewright-cli", "doctor"};
        for (const auto& a : args)
            argv.push_back(a.c_str());
        std::istringstream in;
        std::ostringstream out, err;
        DoctorRun r;
        r.code = nw::cli::RunCli(static_cast<int>(argv.size()), argv.data(), in, out, err, env);
        r.out = out.str() + err.str();
        return r;
    }

    // <node>: the node's path; <group>: the node group's line, no members yet.
    std::string Expand(std::string text) const {
        for (const auto& [name, value] :
             {std::pair<std::string, std::string>{"<node>", node}, {"<group>", group}}) {
            if (const auto at = text.find(name); at != std::string::npos)
                text.replace(at, name.size(), value);
        }
        return text;
    }

    fs::path root;
    std::string node;
    std::string group; // the group file's line for the node's group, no members
    nw::cli::CliEnv env;
};

constexpr char kIgnoreLine[] =
    R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{ID_MM_DEVICE_IGNORE}="1")";
constexpr char kBrlttyFtdi[] =
    R"(ENV{PRODUCT}=="403/6001/*", ENV{BRLTTY_BRAILLE_DRIVER}="at,ce", GOTO="brltty_usb_run")";
constexpr char kBrlttyCh340[] =
    R"(ENV{PRODUCT}=="1a86/7523/*", ENV{BRLTTY_BRAILLE_DRIVER}="bm", GOTO="brltty_usb_run")";

struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> tree; // added to the fake system
    bool inSessionGroup;                                   // the process has the node's group
    unsigned mode;                                         // of the node
    std::vector<std::string> expected;                     // in the output; none: clean
    std::vector<std::string> absent = {};
};

const Case kCases[] = {
    {"clean", {}, true, 0660, {}},
    {"not in the group",
     {},
     false,
     0660,
     {"ann is not in the group dialout that owns", "Fix:     sudo usermod -aG dialout ann",
      "log in again"},
     {"newgrp"}},
    {"in the group file, not yet in the session",
     {{"etc/group", "<group>bob,ann\n"}},
     false,
     0660,
     {"ann was added to the group dialout", "newgrp dialout", "log in again"},
     {"usermod"}},
    {"only the owner may use the node",
     {},
     true,
     0600,
     {"can be read and written by its owner only",
      R"(KERNEL=="ttyUSB0", GROUP="dialout", MODE="0660")"},
     {"usermod"}},
    {"held by another process",
     {{"proc/4242/comm", "minicom\n"},
      {"proc/4242/fd/3", "@/dev/pts/1"},
      {"proc/4242/fd/4", "@<node>"}},
     true,
     0660,
     {"is open in another program: process 4242 (minicom)", "kill 4242"},
     {"init"}},
    {"ModemManager without an ignore rule",
     {{"usr/sbin/ModemManager", "elf"}},
     true,
     0660,
     {"ModemManager is installed", kIgnoreLine, "/etc/udev/rules.d/99-nodewright.rules",
      "sudo udevadm control --reload"}},
    {"ModemManager's unit without an ignore rule",
     {{"lib/systemd/system/ModemManager.service", "[Unit]\n"}},
     true,
     0660,
     {"ModemManager is installed"}},
    {"ModemManager, an ignore rule for another adapter",
     {{"usr/sbin/ModemManager", "elf"},
      {"etc/udev/rules.d/70-x.rules",
       R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6015", ENV{ID_MM_DEVICE_IGNORE}="1")"}},
     true,
     0660,
     {"ModemManager is installed"}},
    {"ModemManager, the adapter ignored",
     {{"usr/sbin/ModemManager", "elf"},
      {"lib/udev/rules.d/77-mm-usb-device-blacklist.rules",
       std::string("# ftdi\n") + kIgnoreLine + "\n"}},
     true,
     0660,
     {}},
    {"ModemManager masked",
     {{"usr/sbin/ModemManager", "elf"}, {"etc/systemd/system/ModemManager.service", "@/dev/null"}},
     true,
     0660,
     {}},
    {"brltty claims the adapter",
     {{"lib/udev/rules.d/85-brltty.rules", std::string(kBrlttyCh340) + "\n" + kBrlttyFtdi}},
     true,
     0660,
     {"brltty", "claims the adapter of <node> (0403:6001)", "sudo apt remove brltty",
      "sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules"}},
    {"brltty's older rule form",
     {{"usr/lib/udev/rules.d/85-brltty.rules",
       R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{BRLTTY_DRIVER}="at")"}},
     true,
     0660,
     {"sudo apt remove brltty"}},
    {"brltty, another adapter",
     {{"lib/udev/rules.d/85-brltty.rules", kBrlttyCh340}},
     true,
     0660,
     {}},
    {"brltty's rule masked",
     {{"lib/udev/rules.d/85-brltty.rules", kBrlttyFtdi},
      {"etc/udev/rules.d/85-brltty.rules", "@/dev/null"}},
     true,
     0660,
     {}},
};

TEST_F(DoctorTest, FindsEachProblemAndPrintsItsFix) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TearDown(); // each case on a system of its own
        SetUp();
        for (const auto& [path, text] : c.tree)
            Add({{path, Expand(text)}});
        fs::permissions(node, fs::perms(c.mode));
        if (!c.inSessionGroup)
            env.identity->gids = {12345};
        const DoctorRun r = Doctor();
        if (c.expected.empty()) {
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.out, node + " (FTDI FT232R USB UART): no problems found.\n"
                                    "No problems found.\n");
        } else {
            EXPECT_EQ(r.code, 1) << r.out;
            EXPECT_TRUE(r.out.starts_with(node + " (FTDI FT232R USB UART):\n  Problem: ")) << r.out;
            EXPECT_TRUE(r.out.ends_with("\n1 problem found.\n")) << r.out;
        }
        for (const std::string& text : c.expected)
            EXPECT_NE(r.out.find(Expand(text)), std::string::npos) << text << "\n" << r.out;
        for (const std::string& text : c.absent)
            EXPECT_EQ(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    }
}

TEST_F(DoctorTest, NoPortAtAllPointsAtCableDriverAndBrltty) {
    fs::remove_all(root / "sys/class");
    DoctorRun r = Doctor();
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("No serial port found."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("sudo dmesg | tail"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("brltty"), std::string::npos) << r.out;

    Add({{"sys/bus/usb/devices/1-1", "@../../../devices/usb1/1-1"},
         {"lib/udev/rules.d/85-brltty.rules", kBrlttyFtdi}});
    r = Doctor();
    EXPECT_NE(r.out.find("claims the USB device 1-1 (0403:6001)"), std::string::npos) << r.out;
    EXPECT_TRUE(r.out.ends_with("\n2 problems found.\n")) << r.out;
}

TEST_F(DoctorTest, PortGivenOnlyThatOneIsExamined) {
    Add({{"dev/ttyUSB7", "@ttyUSB0"}, {"proc/77/fd/1", "@" + node}, {"proc/77/comm", "cu\n"}});
    DoctorRun r = Doctor({"-p", (root / "dev/ttyUSB7").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("process 77 (cu)"), std::string::npos) << r.out;

    r = Doctor({"-p", (root / "dev/ttyUSB9").string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("ttyUSB9 does not exist."), std::string::npos) << r.out;
}

TEST_F(DoctorTest, PseudoTerminalDeviceEndIsNoHolderAndOtherUsersTerminalIsNamed) {
    const std::string pty = (root / "dev/pts/3").string();
    Add({{"dev/pts/3", ""},
         {"proc/50/comm", "nodewright-sim\n"},
         {"proc/50/fd/5", "@/dev/ptmx"},
         {"proc/50/fdinfo/5", "pos:\t0\ntty-index:\t3\n"},
         {"proc/50/fd/6", "@" + pty},
         {"proc/51/comm", "screen\n"},
         {"proc/51/fd/0", "@" + pty},
         {"proc/52/comm", "xterm\n"}, // the device end of another terminal
         {"proc/52/fd/3", "@/dev/ptmx"},
         {"proc/52/fdinfo/3", "tty-index:\t4\n"},
         {"proc/52/fd/4", "@" + pty}});
    fs::permissions(pty, fs::perms(0620));
    DoctorRun r = Doctor({"-p", pty});
    EXPECT_NE(r.out.find("pseudo-terminal of another user"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("process 51 (screen), 52 (xterm)."), std::string::npos) << r.out;
    EXPECT_TRUE(r.out.ends_with("\n2 problems found.\n")) << r.out;
}

// The busy checks open the node: a pseudo-terminal stands for the port.
TEST_F(DoctorTest, ExclusiveModeAndLocksOnALineAreFound) {
    env.identity.reset(); // this process, so the node's real owner
    struct Busy {
        const char* name;
        int (*hold)(int fd);
        const char* expected; // empty: clean
    };
    const Busy busy[] = {
        {"free", [](int) { return 0; }, ""},
        {"exclusive mode", [](int fd) { return ::ioctl(fd, TIOCEXCL); }, "(TIOCEXCL)"},
        {"locked", [](int fd) { return ::flock(fd, LOCK_EX | LOCK_NB); },
         "is locked by another program"},
    };
    for (const Busy& b : busy) {
        SCOPED_TRACE(b.name);
        nw::test::PtyPair pty;
        ASSERT_EQ(b.hold(pty.HeldTerminal()), 0);
        const DoctorRun r = Doctor({"-p", pty.Path()});
        if (*b.expected == '\0') {
            EXPECT_EQ(r.code, 0) << r.out;
            EXPECT_EQ(r.out, pty.Path() + ": no problems found.\nNo problems found.\n");
        } else {
            EXPECT_EQ(r.code, 1) << r.out;
            EXPECT_NE(r.out.find(b.expected), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("fuser -v " + pty.Path()), std::string::npos) << r.out;
        }
    }
}

} // namespace
