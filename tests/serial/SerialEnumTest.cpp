#include "serial/SerialEnum.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

#ifdef __linux__

std::vector<std::string> Names(const nw::CSerialEnum& e) {
    std::vector<std::string> names;
    for (const auto& port : e.m_aPorts) {
        names.push_back(port.m_strName);
    }
    return names;
}

// A fake sysfs and /dev under a fresh temporary directory. The /dev "nodes" are
// regular files: the enumerator only checks that a node exists (it never
// opens one or looks at its type), so files stand in for character devices.
class SerialEnumTree : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "nw_enum_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        sys = root / "sys";
        dev = root / "dev";
        const fs::path usb = sys / "devices/pci0000:00/0000:00:14.0/usb1";
        Write(usb / "manufacturer", "Linux xhci-hcd\n"); // the root hub: never the answer
        Write(usb / "product", "xHCI Host Controller\n");
        Write(usb / "idVendor", "1d6b\n");

        // ttyUSB0 as a plain class directory holding a `device` link.
        Write(usb / "1-1/idVendor", "0403\n");
        Write(usb / "1-1/manufacturer", "FTDI\n");
        Write(usb / "1-1/product", "FT232R USB UART\n");
        fs::create_directories(usb / "1-1/1-1:1.0/ttyUSB0");
        Tty("ttyUSB0", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/ttyUSB0");
        ByIdLink("usb-FTDI_FT232R_USB_UART_A1-if00-port0", "ttyUSB0");

        // ttyACM0 as the kernel lays it out: the class entry is a link into
        // devices/ and `device` points from there to the interface.
        Write(usb / "1-2/idVendor", "2e8a\n");
        Write(usb / "1-2/product", "  Pico \n");
        fs::create_directories(usb / "1-2/1-2:1.0/tty/ttyACM0");
        fs::create_directories(sys / "class/tty");
        fs::create_directory_symlink(
            "../../devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/tty/ttyACM0",
            sys / "class/tty/ttyACM0");
        fs::create_directory_symlink("../../../1-2:1.0", usb / "1-2/1-2:1.0/tty/ttyACM0/device");
        Write(dev / "ttyACM0", "");

        // A USB device without strings: named by its by-id link, not by the hub.
        Write(usb / "1-3/idVendor", "1a86\n");
        fs::create_directories(usb / "1-3/1-3:1.0");
        Tty("ttyUSB1", "../../../devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0");
        ByIdLink("usb-1a86_USB_Serial-if00-port0", "ttyUSB1");

        fs::create_directories(sys / "devices/platform/serial8250");
        for (const char* name : {"ttyS1", "ttyS2", "ttyS3", "ttyS10"}) {
            Tty(name, "../../../devices/platform/serial8250");
        }
        Write(sys / "class/tty/ttyS2/type", "4\n"); // 16550A
        Write(sys / "class/tty/ttyS3/type", "0\n"); // placeholder
        Write(sys / "class/tty/ttyS10/type", "4\n");

        Tty("rfcomm0", "");
        for (const char* name : {"tty0", "tty1", "console", "ptmx"}) {
            Tty(name, "");
        }
        fs::create_directories(sys / "devices/platform/fe201000.serial");
        Tty("ttyAMA0", "../../../devices/platform/fe201000.serial");
        fs::remove(dev / "ttyAMA0"); // hardware present, no node
    }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
    }
    // A class/tty directory, its `device` link when `device` is not empty, and its node.
    void Tty(const std::string& name, const std::string& device) {
        fs::create_directories(sys / "class/tty" / name);
        if (!device.empty()) {
            fs::create_directory_symlink(device, sys / "class/tty" / name / "device");
        }
        Write(dev / name, "");
    }
    void ByIdLink(const std::string& link, const std::string& tty) {
        fs::create_directories(dev / "serial/by-id");
        fs::create_symlink("../../" + tty, dev / "serial/by-id" / link);
    }
    std::string Node(const std::string& tty) const { return (dev / tty).string(); }

    fs::path root, sys, dev;
};

TEST_F(SerialEnumTree, ListsRealSerialLinesInNaturalOrderWithFriendlyNames) {
    nw::CSerialEnum e(sys.string(), dev.string());
    ASSERT_TRUE(e.Enumerate());
    // Excluded: ttyS3 (type 0), ttyAMA0 (no node), tty0/tty1/console/ptmx (virtual).
    const std::vector<std::string> expected{Node("rfcomm0"), Node("ttyACM0"), Node("ttyS1"),
                                            Node("ttyS2"),   Node("ttyS10"),  Node("ttyUSB0"),
                                            Node("ttyUSB1")};
    ASSERT_EQ(Names(e), expected);
    EXPECT_EQ(e.m_nPortCount, 7);
    // USB strings win over by-id; by-id names a USB device without strings.
    EXPECT_EQ(e.m_aPorts[0].m_strFriendlyName, Node("rfcomm0"));
    EXPECT_EQ(e.m_aPorts[1].m_strFriendlyName, Node("ttyACM0") + " (Pico)");
    EXPECT_EQ(e.m_aPorts[2].m_strFriendlyName, Node("ttyS1"));
    EXPECT_EQ(e.m_aPorts[5].m_strFriendlyName, Node("ttyUSB0") + " (FTDI FT232R USB UART)");
    EXPECT_EQ(e.m_aPorts[6].m_strFriendlyName,
              Node("ttyUSB1") + " (usb-1a86_USB_Serial-if00-port0)");
}

TEST_F(SerialEnumTree, RefreshAndEnumerateReplaceTheList) {
    nw::CSerialEnum e(sys.string(), dev.string());
    e.Enumerate();
    e.Enumerate();
    EXPECT_EQ(e.m_nPortCount, 7);
    EXPECT_EQ(e.m_aPorts.size(), 7u);

    fs::remove(dev / "ttyUSB0");
    Write(dev / "ttyAMA0", "");
    ASSERT_TRUE(e.Refresh());
    const std::vector<std::string> expected{Node("rfcomm0"), Node("ttyACM0"), Node("ttyAMA0"),
                                            Node("ttyS1"),   Node("ttyS2"),   Node("ttyS10"),
                                            Node("ttyUSB1")};
    EXPECT_EQ(Names(e), expected);
    EXPECT_EQ(e.m_nPortCount, 7);
}

TEST_F(SerialEnumTree, MissingSysfsGivesAnEmptyList) {
    nw::CSerialEnum e(sys.string(), dev.string());
    e.Enumerate();
    fs::remove_all(sys);
    EXPECT_TRUE(e.Enumerate());
    EXPECT_EQ(e.m_nPortCount, 0);
    EXPECT_TRUE(e.m_aPorts.empty());
}

#endif

TEST(SerialEnumSystem, EnumeratesTheRealSystemWithoutThrowing) {
    nw::CSerialEnum e;
    ASSERT_NO_THROW(EXPECT_TRUE(e.Enumerate()));
    EXPECT_EQ(static_cast<std::size_t>(e.m_nPortCount), e.m_aPorts.size());
    for (const auto& port : e.m_aPorts) {
        EXPECT_TRUE(port.m_strFriendlyName.starts_with(port.m_strName)) << port.m_strName;
    }
}

} // namespace
