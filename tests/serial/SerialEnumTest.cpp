#include "serial/SerialEnum.h"
#include "serial/PortIdentity.h"
#include "serial/PortMonitor.h"
#include "support/FakeTree.h"

#include <poll.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

#ifdef __linux__

// A fake sysfs and /dev. The /dev "nodes" are regular files: the enumerator
// only checks that a node exists.
constexpr char kTree[] =
    // The root hub: never the answer.
    "sys/devices/usb1/manufacturer=Linux xhci-hcd\n;sys/devices/usb1/idVendor=1d6b\n;"
    "sys/devices/usb1/product=xHCI Host Controller\n;"
    "sys/devices/usb1/1-1/idVendor=0403\n;sys/devices/usb1/1-1/manufacturer=FTDI\n;"
    "sys/devices/usb1/1-1/product=FT232R USB UART\n;sys/devices/usb1/1-1/serial=A50285BI\n;"
    "sys/bus/usb-serial/drivers/ftdi_sio=/;sys/bus/usb-serial/drivers/ch341-uart=/;"
    "sys/devices/usb1/1-1/1-1:1.0/ttyUSB0/driver=@../../../../../bus/usb-serial/drivers/ftdi_sio;"
    "dev/serial/by-path/pci-0:14.0-usb-0:1:1.0-port0=@../../ttyUSB0;"
    "sys/class/tty/ttyUSB0/device=@../../../devices/usb1/1-1/1-1:1.0/ttyUSB0;"
    "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0=@../../ttyUSB0;"
    // No strings: named by its by-id link.
    "sys/devices/usb1/1-3/idVendor=1a86\n;sys/devices/usb1/1-3/idProduct=7523\n;"
    "sys/devices/usb1/1-3/1-3:1.0/driver=@../../../../bus/usb-serial/drivers/ch341-uart;"
    "sys/class/tty/ttyUSB1/device=@../../../devices/usb1/1-3/1-3:1.0;"
    "dev/serial/by-id/usb-1a86_USB_Serial-if00-port0=@../../ttyUSB1;"
    "dev/serial/by-path/pci-0:14.0-usb-0:3:1.0-port0=@../../ttyUSB1;"
    // A second adapter of the same kind, no serial number either: only the
    // socket it sits in tells it apart.
    "sys/devices/usb1/1-4/idVendor=1a86\n;sys/devices/usb1/1-4/idProduct=7523\n;"
    "sys/devices/usb1/1-4/1-4:1.0=/;dev/serial/by-path/pci-0:14.0-usb-0:4:1.0-port0=@../../ttyUSB2;"
    "sys/class/tty/ttyUSB2/device=@../../../devices/usb1/1-4/1-4:1.0;"
    // As the kernel lays it out: the class entry is a link into devices/.
    "sys/devices/usb1/1-2/idVendor=2e8a\n;sys/devices/usb1/1-2/product=  Pico \n;"
    "sys/devices/usb1/1-2/1-2:1.0/tty/ttyACM0/device=@../../../1-2:1.0;"
    "sys/class/tty/ttyACM0=@../../devices/usb1/1-2/1-2:1.0/tty/ttyACM0;"
    // Type 4 a 16550A, 0 a placeholder; ttyAMA0 without a node.
    "sys/devices/serial8250=/;sys/class/tty/ttyS1/device=@../../../devices/serial8250;"
    "sys/class/tty/ttyS2/device=@../../../devices/serial8250;sys/class/tty/ttyS2/type=4\n;"
    "sys/class/tty/ttyS3/device=@../../../devices/serial8250;sys/class/tty/ttyS3/type=0\n;"
    "sys/class/tty/ttyS10/device=@../../../devices/serial8250;sys/class/tty/ttyS10/type=4\n;"
    "sys/class/tty/ttyAMA0/device=@../../../devices/serial8250;"
    // A Bluetooth serial port without a device link; virtual terminals and the like.
    "sys/class/tty/rfcomm0=/;sys/class/tty/tty0=/;sys/class/tty/console=/;sys/class/tty/ptmx=/;"
    "dev/ttyUSB0=;dev/ttyUSB1=;dev/ttyUSB2=;dev/ttyACM0=;dev/ttyS1=;dev/ttyS2=;dev/ttyS3=;"
    "dev/ttyS10=;dev/rfcomm0=;dev/tty0=;dev/console=;dev/ptmx=";

// Each port as "<node> (<friendly part>)", the node relative to dev/; then
// each as "node by-id by-path usb serial driver" with "-" where the system
// says nothing: identical adapters told apart by their socket.
TEST(SerialEnum, ListsRealSerialLinesInNaturalOrderWithFriendlyNamesAndIdentities) {
    const nw::test::TempDir dir;
    const fs::path& root = dir.path;
    dir.Add(kTree);
    nw::CSerialEnum e(dir.File("sys"), dir.File("dev"));
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
    std::vector<std::string> got;
    for (const nw::PortIdentity& id :
         nw::IdentifyPorts(e.m_aPorts, dir.File("sys"), dir.File("dev"))) {
        std::string row = fs::path(id.path).filename().string();
        for (std::string field :
             {id.byId, id.byPath, id.vendorId + ":" + id.productId, id.serial, id.driver}) {
            if (field.starts_with(root.string()))
                field = fs::path(field).filename().string();
            row += " " + (field.empty() || field == ":" ? "-" : field);
        }
        got.push_back(row);
    }
    EXPECT_EQ(got,
              (std::vector<std::string>{
                  "rfcomm0 - - - - -", "ttyACM0 - - 2e8a: - -", "ttyS1 - - - - -",
                  "ttyS2 - - - - -", "ttyS10 - - - - -",
                  "ttyUSB0 usb-FTDI_FT232R_USB_UART_A1-if00-port0 pci-0:14.0-usb-0:1:1.0-port0 "
                  "0403: A50285BI ftdi_sio",
                  "ttyUSB1 usb-1a86_USB_Serial-if00-port0 pci-0:14.0-usb-0:3:1.0-port0 1a86:7523 - "
                  "ch341-uart",
                  "ttyUSB2 - pci-0:14.0-usb-0:4:1.0-port0 1a86:7523 - -"}));

    dir.Add("dev/ttyUSB0=-;dev/ttyAMA0=");
    ASSERT_TRUE(e.Refresh());
    EXPECT_EQ(ports(), (std::vector<std::string>{
                           "rfcomm0", "ttyACM0 (Pico)", "ttyAMA0", "ttyS1", "ttyS2", "ttyS10",
                           "ttyUSB1 (usb-1a86_USB_Serial-if00-port0)", "ttyUSB2"}));
    dir.Add("sys=-");
    EXPECT_TRUE(e.Enumerate());
    EXPECT_TRUE(ports().empty());
}

// Live: the system's monitor hears a port announced again, as
// `udevadm trigger --action=add` announces it.
TEST(PortMonitor, HearsAPortAnnouncedOnTheSystem) {
    std::string error, uevent;
    const auto monitor = nw::OpenPortMonitor(&error);
    if (!monitor)
        GTEST_SKIP() << "no device events on this machine: " << error;
    nw::CSerialEnum e;
    e.Enumerate();
    for (const auto& port : e.m_aPorts) {
        const std::string file = "/sys/class/tty/" + fs::path(port.m_strName).filename().string();
        if (uevent.empty() && ::access((file + "/uevent").c_str(), W_OK) == 0)
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
