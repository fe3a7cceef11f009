// nodewright-cli doctor on fake systems: each problem found and its fix
// printed, a clean system passed; pseudo-terminals for the busy checks.
#include "CliFixture.h"

#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace nw::cli::test {
namespace {

using Tree = std::vector<std::pair<std::string, std::string>>;

// A fake system under a temporary directory: "@" makes a symbolic link, "/" a
// directory, "-" removes, anything else is a file holding that text. An FTDI adapter on
// ttyUSB0 whose node belongs to the group "dialout"; "ann" is in it.
class DoctorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = dir.emplace().path;
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
        struct stat st {};
        ASSERT_EQ(::stat(node.c_str(), &st), 0);
        group = "dialout:x:" + std::to_string(st.st_gid) + ":";
        Add({{"etc/group", group + "\n"}});
        for (auto [dir, name] : {std::pair{&CliEnv::sysRoot, "sys"},
                                 {&CliEnv::devRoot, "dev"},
                                 {&CliEnv::procRoot, "proc"},
                                 {&CliEnv::etcRoot, "etc"},
                                 {&CliEnv::libRoot, "lib"},
                                 {&CliEnv::usrRoot, "usr"}})
            env.*dir = (root / name).string();
        env.identity = nw::ProcessIdentity{st.st_uid + 1, {st.st_gid}, "ann"};
    }
    void TearDown() override { dir.reset(); }

    void Add(const Tree& tree) {
        for (const auto& [path, text] : tree) {
            fs::create_directories((root / path).parent_path());
            fs::remove_all(root / path);
            if (text.starts_with("@"))
                fs::create_symlink(text.substr(1), root / path);
            else if (text == "/")
                fs::create_directories(root / path);
            else if (text != "-")
                std::ofstream(root / path) << text;
        }
    }

    // Everything doctor printed, standard output then standard error.
    CliRun Doctor(std::vector<std::string> args = {}) {
        args.insert(args.begin(), "doctor");
        CliRun r = CallCli(env, args);
        r.out += r.err;
        return r;
    }

    // <node>: the node's path; <group>: the node group's line, no members
    // yet; <root>: the fake system's root.
    std::string Expand(std::string text) const {
        for (const auto& [name, value] :
             Tree{{"<node>", node}, {"<group>", group}, {"<root>", root.string()}}) {
            if (const auto at = text.find(name); at != std::string::npos)
                text.replace(at, name.size(), value);
        }
        return text;
    }

    std::optional<TempDir> dir;
    fs::path root;
    std::string node;
    std::string group;
    CliEnv env;
};

constexpr char kIgnoreLine[] =
    R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{ID_MM_DEVICE_IGNORE}="1")";
constexpr char kBrlttyFtdi[] =
    R"(ENV{PRODUCT}=="403/6001/*", ENV{BRLTTY_BRAILLE_DRIVER}="at,ce", GOTO="brltty_usb_run")";
constexpr char kBrlttyCh340[] =
    R"(ENV{PRODUCT}=="1a86/7523/*", ENV{BRLTTY_BRAILLE_DRIVER}="bm", GOTO="brltty_usb_run")";
constexpr char kModemManager[] = "usr/sbin/ModemManager";

struct Case {
    const char* name;
    Tree tree = {};                         // added to the fake system ("-": removed)
    std::vector<std::string> args = {};     // after "doctor"
    int problems = 0;                       // none: the clean report
    std::vector<std::string> expected = {}; // in the output
    std::vector<std::string> absent = {};   // not in the output
    unsigned mode = 0660;                   // of the node
    bool inGroup = true;                    // the process has the node's group
};

const Case kCases[] = {
    {.name = "clean"},
    {.name = "not in the group",
     .problems = 1,
     .expected = {"ann is not in the group dialout that owns",
                  "Fix:     sudo usermod -aG dialout ann", "log in again"},
     .absent = {"newgrp"},
     .inGroup = false},
    {.name = "in the group file, not yet in the session",
     .tree = {{"etc/group", "<group>bob,ann\n"}},
     .problems = 1,
     .expected = {"ann was added to the group dialout", "newgrp dialout", "log in again"},
     .absent = {"usermod"},
     .inGroup = false},
    {.name = "only the owner may use the node",
     .problems = 1,
     .expected = {"by its owner only", R"(KERNEL=="ttyUSB0", GROUP="dialout", MODE="0660")"},
     .absent = {"usermod"},
     .mode = 0600},
    {.name = "held by another process",
     .tree = {{"proc/42/comm", "minicom\n"}, {"proc/42/fd/3", "@/x"}, {"proc/42/fd/4", "@<node>"}},
     .problems = 1,
     .expected = {"is open in another program: process 42 (minicom)", "kill 42"},
     .absent = {"init"}},
    {.name = "held, the port named by a link",
     .tree = {{"dev/ttyUSB7", "@ttyUSB0"}, {"proc/77/fd/1", "@<node>"}, {"proc/77/comm", "cu"}},
     .args = {"-p", "<root>/dev/ttyUSB7"},
     .problems = 1,
     .expected = {"process 77 (cu)"}},
    {.name = "the port given does not exist",
     .args = {"-p", "<root>/dev/ttyUSB9"},
     .problems = 1,
     .expected = {"ttyUSB9 does not exist."}},
    {.name = "a pseudo-terminal's device end holds it; another user's terminal",
     .tree = {{"dev/pts/3", ""},
              {"proc/50/fd/5", "@/dev/ptmx"},
              {"proc/50/fdinfo/5", "pos:\t0\ntty-index:\t3\n"},
              {"proc/50/fd/6", "@<root>/dev/pts/3"},
              {"proc/51/comm", "screen\n"},
              {"proc/51/fd/0", "@<root>/dev/pts/3"},
              {"proc/52/comm", "xterm\n"}, // the device end of another terminal
              {"proc/52/fd/3", "@/dev/ptmx"},
              {"proc/52/fdinfo/3", "tty-index:\t4\n"},
              {"proc/52/fd/4", "@<root>/dev/pts/3"}},
     .args = {"-p", "<root>/dev/pts/3"},
     .problems = 2,
     .expected = {"pseudo-terminal of another user", "process 51 (screen), 52 (xterm)."}},
    {.name = "ModemManager without an ignore rule",
     .tree = {{kModemManager, "elf"}},
     .problems = 1,
     .expected = {"ModemManager is installed", kIgnoreLine, "/etc/udev/rules.d/99-nodewright.rules",
                  "sudo udevadm control --reload"}},
    {.name = "ModemManager's unit, an ignore rule for another adapter",
     .tree =
         {{"lib/systemd/system/ModemManager.service", "[Unit]\n"},
          {"etc/udev/rules.d/70-x.rules",
           R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6015", ENV{ID_MM_DEVICE_IGNORE}="1")"}},
     .problems = 1,
     .expected = {"ModemManager is installed"}},
    {.name = "ModemManager, the adapter ignored",
     .tree = {{kModemManager, "elf"},
              {"lib/udev/rules.d/77-mm-usb-device-blacklist.rules",
               std::string("# ftdi\n") + kIgnoreLine + "\n"}}},
    {.name = "ModemManager masked",
     .tree = {{kModemManager, "elf"}, {"etc/systemd/system/ModemManager.service", "@/dev/null"}}},
    {.name = "brltty claims the adapter",
     .tree = {{"lib/udev/rules.d/85-brltty.rules", std::string(kBrlttyCh340) + "\n" + kBrlttyFtdi}},
     .problems = 1,
     .expected = {"claims the adapter of <node> (0403:6001)", "sudo apt remove brltty",
                  "sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules"}},
    {.name = "brltty's older rule form",
     .tree = {{"usr/lib/udev/rules.d/85-brltty.rules",
               R"(ATTRS{idVendor}=="0403", ATTRS{idProduct}=="6001", ENV{BRLTTY_DRIVER}="at")"}},
     .problems = 1,
     .expected = {"sudo apt remove brltty"}},
    {.name = "brltty, another adapter",
     .tree = {{"lib/udev/rules.d/85-brltty.rules", kBrlttyCh340}}},
    {.name = "brltty's rule masked",
     .tree = {{"lib/udev/rules.d/85-brltty.rules", kBrlttyFtdi},
              {"etc/udev/rules.d/85-brltty.rules", "@/dev/null"}}},
    {.name = "no port at all",
     .tree = {{"sys/class", "-"}},
     .problems = 1,
     .expected = {"No serial port found.", "sudo dmesg | tail"},
     .absent = {"brltty"}},
    {.name = "no port at all, brltty took the adapter",
     .tree = {{"sys/class", "-"},
              {"sys/bus/usb/devices/1-1", "@../../../devices/usb1/1-1"},
              {"lib/udev/rules.d/85-brltty.rules", kBrlttyFtdi}},
     .problems = 2,
     .expected = {"No serial port found.", "claims the USB device 1-1 (0403:6001)"}},
};

TEST_F(DoctorTest, FindsEachProblemAndPrintsItsFix) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        TearDown(); // each case on a system of its own
        SetUp();
        for (const auto& [path, text] : c.tree)
            Add({{path, Expand(text)}});
        fs::permissions(node, fs::perms(c.mode));
        if (!c.inGroup)
            env.identity->gids = {12345};
        std::vector<std::string> args;
        for (const std::string& a : c.args)
            args.push_back(Expand(a));
        const CliRun r = Doctor(args);
        if (c.problems == 0) {
            EXPECT_EQ(r.code, 0);
            EXPECT_EQ(r.out, node + " (FTDI FT232R USB UART): no problems found.\n"
                                    "No problems found.\n");
        } else {
            EXPECT_EQ(r.code, 1) << r.out;
            EXPECT_TRUE(r.out.ends_with("\n" + std::to_string(c.problems) +
                                        (c.problems == 1 ? " problem" : " problems") + " found.\n"))
                << r.out;
        }
        for (const std::string& text : c.expected)
            EXPECT_NE(r.out.find(Expand(text)), std::string::npos) << text << "\n" << r.out;
        for (const std::string& text : c.absent)
            EXPECT_EQ(r.out.find(text), std::string::npos) << text << "\n" << r.out;
    }
}

// The busy checks open the node: a pseudo-terminal stands for the port.
TEST_F(DoctorTest, ExclusiveModeAndLocksOnALineAreFound) {
    env.identity.reset(); // this process, so the node's real owner
    const std::pair<int (*)(int fd), const char*> busy[] = {
        {[](int) { return 0; }, ""},
        {[](int fd) { return ::ioctl(fd, TIOCEXCL); }, "(TIOCEXCL)"},
        {[](int fd) { return ::flock(fd, LOCK_EX | LOCK_NB); }, "is locked by another program"},
    };
    for (const auto& [hold, expected] : busy) {
        SCOPED_TRACE(expected);
        nw::test::PtyPair pty;
        ASSERT_EQ(hold(pty.HeldTerminal()), 0);
        const CliRun r = Doctor({"-p", pty.Path()});
        if (*expected == '\0') {
            EXPECT_EQ(r.code, 0) << r.out;
            EXPECT_EQ(r.out, pty.Path() + ": no problems found.\nNo problems found.\n");
        } else {
            EXPECT_EQ(r.code, 1) << r.out;
            EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("fuser -v " + pty.Path()), std::string::npos) << r.out;
        }
    }
}

} // namespace
} // namespace nw::cli::test
