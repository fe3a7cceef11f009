#include "serial/SerialEnum.h"
#include "serial/PortIdentity.h"
#include "serial/PortMonitor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

#ifdef __linux__

// A fake sysfs and /dev: "@" makes a symbolic link, "/" a directory, anything
// else a file holding that text. The /dev "nodes" are regular files: the
// enumerator only checks that a node exists.
const char* const kTree[][2] = {
    {"sys/devices/usb1/manufacturer", "Linux xhci-hcd\n"}, // the root hub: never the answer
    {"sys/devices/usb1/product", "xHCI Host Controller\n"},
    {"sys/devices/usb1/idVendor", "1d6b\n"},
    {"sys/devices/usb1/1-1/idVendor", "0403\n"},
    {"sys/devices/usb1/1-1/manufacturer", "FTDI\n"},
    {"sys/devices/usb1/1-1/product", "FT232R USB UART\n"},
    {"sys/devices/usb1/1-1/serial", "A50285BI\n"},
    {"sys/bus/usb-serial/drivers/ftdi_sio", "/"},
    {"sys/bus/usb-serial/drivers/ch341-uart", "/"},
    {"sys/devices/usb1/1-1/1-1:1.0/ttyUSB0/driver",
     "@../../../../../bus/usb-serial/drivers/ftdi_sio"},
    {"dev/serial/by-path/pci-0:14.0-usb-0:1:1.0-port0", "@../../ttyUSB0"},
    {"sys/devices/usb1/1-1/1-1:1.0/ttyUSB0", "/"},
    {"sys/class/tty/ttyUSB0/device", "@../../../devices/usb1/1-1/1-1:1.0/ttyUSB0"},
    {"dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0", "@../../ttyUSB0"},
    {"sys/devices/usb1/1-3/idVendor", "1a86\n"}, // no strings: named by its by-id link
    {"sys/devices/usb1/1-3/1-3:1.0", "/"},
    {"sys/class/tty/ttyUSB1/device", "@../../../devices/usb1/1-3/1-3:1.0"},
    {"dev/serial/by-id/usb-1a86_USB_Serial-if00-port0", "@../../ttyUSB1"},
    {"sys/devices/usb1/1-3/idProduct", "7523\n"},
    {"sys/devices/usb1/1-3/1-3:1.0/driver", "@../../../../bus/usb-serial/drivers/ch341-uart"},
    {"dev/serial/by-path/pci-0:14.0-usb-0:3:1.0-port0", "@../../ttyUSB1"},
    // A second adapter of the same kind, no serial number either: only the
    // socket it sits in tells it apart.
    {"sys/devices/usb1/1-4/idVendor", "1a86\n"},
    {"sys/devices/usb1/1-4/idProduct", "7523\n"},
    {"sys/devices/usb1/1-4/1-4:1.0", "/"},
    {"sys/class/tty/ttyUSB2/device", "@../../../devices/usb1/1-4/1-4:1.0"},
    {"dev/serial/by-path/pci-0:14.0-usb-0:4:1.0-port0", "@../../ttyUSB2"},
    // As the kernel lays it out: the class entry is a link into devices/.
    {"sys/devices/usb1/1-2/idVendor", "2e8a\n"},
    {"sys/devices/usb1/1-2/product", "  Pico \n"},
    {"sys/devices/usb1/1-2/1-2:1.0/tty/ttyACM0/device", "@../../../1-2:1.0"},
    {"sys/class/tty/ttyACM0", "@../../devices/usb1/1-2/1-2:1.0/tty/ttyACM0"},
    {"sys/devices/serial8250", "/"},
    {"sys/class/tty/ttyS1/device", "@../../../devices/serial8250"},
    {"sys/class/tty/ttyS2/device", "@../../../devices/serial8250"},
    {"sys/class/tty/ttyS2/type", "4\n"}, // 16550A
    {"sys/class/tty/ttyS3/device", "@../../../devices/serial8250"},
    {"sys/class/tty/ttyS3/type", "0\n"}, // placeholder
    {"sys/class/tty/ttyS10/device", "@../../../devices/serial8250"},
    {"sys/class/tty/ttyS10/type", "4\n"},
    {"sys/class/tty/ttyAMA0/device", "@../../../devices/serial8250"}, // no node
    {"sys/class/tty/rfcomm0", "/"}, // Bluetooth serial port, no device link
    {"sys/class/tty/tty0", "/"},    // virtual terminals and the like
    {"sys/class/tty/console", "/"},
    {"sys/class/tty/ptmx", "/"},
};

fs::path MakeTree() {
    std::string tmpl = (fs::temp_directory_path() / "nw_enum_XXXXXX").string();
    if (mkdtemp(tmpl.data()) == nullptr)
        return {};
    const fs::path root = tmpl;
    for (const auto& [path, what] : kTree) {
        const std::string text = what;
        fs::create_directories((root / path).parent_path());
        if (text[0] == '@')
            fs::create_symlink(text.substr(1), root / path);
        else if (text == "/")
            fs::create_directories(root / path);
        else
            std::ofstream(root / path) << text;
    }
    for (const char* node : {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyACM0", "ttyS1", "ttyS2", "ttyS3",
                             "ttyS10", "rfcomm0", "tty0", "console", "ptmx"})
        std::ofstream(root / "dev" / node) << "";
    return root;
}

TEST(SerialEnum, ListsRealSerialLinesInNaturalOrderWithFriendlyNames) {
    const fs::path root = MakeTree();
    ASSERT_FALSE(root.empty());
    // Each port as "<node> (<friendly part>)", the node relative to dev/.
    nw::CSerialEnum e((root / "sys").string(), (root / "dev").string());
    auto ports = [&] {
        std::vector<std::string> list;
        for (const auto& port : e.m_aPorts) {
            EXPECT_EQ(port.m_strFriendlyName.rfind(port.m_strName, 0), 0u);
            list.push_back(fs::path(port.m_strName).lexically_relative(root / "dev").string() +
                           port.m_strFriendlyName.substr(port.m_strName.size()));
        }
        EXPECT_EQ(static_cast<std::size_t>(e.m_nPortCount), list.size());
        return list;
    };
    ASSERT_TRUE(e.Enumerate());
    ASSERT_TRUE(e.Enumerate()); // the list is replaced, not extended
    EXPECT_EQ(ports(),
              (std::vector<std::string>{"rfcomm0", "ttyACM0 (Pico)", "ttyS1", "ttyS2", "ttyS10",
                                        "ttyUSB0 (FTDI FT232R USB UART)",
                                        "ttyUSB1 (usb-1a86_USB_Serial-if00-port0)", "ttyUSB2"}));
    fs::remove(root / "dev/ttyUSB0");
    std::ofstream(root / "dev/ttyAMA0") << "";
    ASSERT_TRUE(e.Refresh());
    EXPECT_EQ(ports(), (std::vector<std::string>{
                           "rfcomm0", "ttyACM0 (Pico)", "ttyAMA0", "ttyS1", "ttyS2", "ttyS10",
                           "ttyUSB1 (usb-1a86_USB_Serial-if00-port0)", "ttyUSB2"}));
    fs::remove_all(root / "sys");
    EXPECT_TRUE(e.Enumerate());
    EXPECT_TRUE(ports().empty());
    fs::remove_all(root);
}

// Stable names, USB ids, serial number and driver, each port as
// "node by-id by-path usb serial driver" with "-" where the system says nothing.
TEST(SerialEnum, IdentityTellsIdenticalAdaptersApartByTheirSocket) {
    const fs::path root = MakeTree();
    ASSERT_FALSE(root.empty());
    nw::CSerialEnum e((root / "sys").string(), (root / "dev").string());
    e.Enumerate();
    std::vector<std::string> got;
    for (const nw::PortIdentity& id :
         nw::IdentifyPorts(e.m_aPorts, (root / "sys").string(), (root / "dev").string())) {
        std::string row = fs::path(id.path).filename().string();
        for (std::string field :
             {id.byId, id.byPath, id.vendorId + ":" + id.productId, id.serial, id.driver}) {
            if (field.starts_with(root.string()))
                field = fs::path(field).filename().string();
            row += " " + (field.empty() || field == ":" ? "-" : field);
        }
        got.push_back(row);
    }
    const std::vector<std::string> want = {
        "rfcomm0 - - - - -",
        "ttyACM0 - - 2e8a: - -",
        "ttyS1 - - - - -",
        "ttyS2 - - - - -",
        "ttyS10 - - - - -",
        "ttyUSB0 usb-FTDI_FT232R_USB_UART_A1-if00-port0 pci-0:14.0-usb-0:1:1.0-port0 0403: "
        "A50285BI "
        "ftdi_sio",
        "ttyUSB1 usb-1a86_USB_Serial-if00-port0 pci-0:14.0-usb-0:3:1.0-port0 1a86:7523 - "
        "ch341-uart",
        "ttyUSB2 - pci-0:14.0-usb-0:4:1.0-port0 1a86:7523 - -"};
    EXPECT_EQ(got, want);
    fs::remove_all(root);
}

// Live: the system's monitor hears a port announced again, as
// `udevadm trigger --action=add` announces it.
TEST(PortMonitor, HearsAPortAnnouncedOnTheSystem) {
    std::string error;
    const auto monitor = nw::OpenPortMonitor(&error);
    if (!monitor)
        GTEST_SKIP() << "no device events on this machine: " << error;
    nw::CSerialEnum e;
    e.Enumerate();
    std::string uevent;
    for (const auto& port : e.m_aPorts) {
        const std::string file = "/sys/class/tty/" + fs::path(port.m_strName).filename().string();
        if (::access((file + "/uevent").c_str(), W_OK) == 0 && uevent.empty())
            uevent = file + "/uevent";
    }
    if (uevent.empty())
        GTEST_SKIP() << "no serial port whose announcement this user may trigger";
    std::ofstream(uevent) << "add\n";
    std::vector<nw::PortEvent> events;
    pollfd p{monitor->Fd(), POLLIN, 0};
    while (events.empty() && ::poll(&p, 1, 2000) == 1)
        events = monitor->Take();
    ASSERT_FALSE(events.empty()) << "nothing heard after writing " << uevent;
    EXPECT_EQ(events[0].kind, nw::PortEvent::Kind::Added);
    EXPECT_EQ(fs::path(events[0].path).filename(), fs::path(uevent).parent_path().filename());
}

#endif

} // namespace
