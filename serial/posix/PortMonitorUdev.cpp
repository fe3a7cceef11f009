// The udev netlink monitor of tty devices. Events from udevd come after its
// rules ran (the /dev/serial links exist by then); without udevd (a container,
// a minimal system) the kernel's own events are taken. Pseudo-terminals and
// consoles are virtual devices and are left out, Bluetooth serial ports
// (rfcomm) are kept, as in the port list.
#include "serial/PortMonitor.h"

#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace nw {

namespace {

bool IsSerialLine(udev_device* dev) {
    const char* syspath = udev_device_get_syspath(dev);
    const char* name = udev_device_get_sysname(dev);
    if (syspath == nullptr || name == nullptr)
        return false;
    return std::string_view(syspath).find("/virtual/") == std::string_view::npos ||
           std::string_view(name).starts_with("rfcomm");
}

class CUdevMonitor final : public IPortMonitor {
  public:
    CUdevMonitor(udev* u, udev_monitor* m) : m_udev(u), m_monitor(m) {}
    ~CUdevMonitor() override {
        udev_monitor_unref(m_monitor);
        udev_unref(m_udev);
    }
    CUdevMonitor(const CUdevMonitor&) = delete;
    CUdevMonitor& operator=(const CUdevMonitor&) = delete;

    std::vector<PortEvent> Wait() override {
        for (;;) {
            pollfd p{Fd(), POLLIN, 0};
            if (::poll(&p, 1, -1) < 0) {
                if (errno == EINTR)
                    continue;
                return {};
            }
            if ((p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0)
                return {};
            std::vector<PortEvent> events = Take();
            if (!events.empty())
                return events;
        }
    }

    std::vector<PortEvent> Take() override {
        std::vector<PortEvent> events;
        while (udev_device* dev = udev_monitor_receive_device(m_monitor)) {
            const char* action = udev_device_get_action(dev);
            const char* node = udev_device_get_devnode(dev);
            if (action != nullptr && node != nullptr && IsSerialLine(dev)) {
                if (std::strcmp(action, "add") == 0)
                    events.push_back({PortEvent::Kind::Added, node});
                else if (std::strcmp(action, "remove") == 0)
                    events.push_back({PortEvent::Kind::Removed, node});
            }
            udev_device_unref(dev);
        }
        return events;
    }

    int Fd() const override { return udev_monitor_get_fd(m_monitor); }

  private:
    udev* m_udev;
    udev_monitor* m_monitor;
};

} // namespace

std::unique_ptr<IPortMonitor> OpenPortMonitor(std::string* error) {
    udev* u = udev_new();
    if (u == nullptr) {
        if (error != nullptr)
            *error = "udev is not available";
        return nullptr;
    }
    // udevd announces itself under /run/udev; without it only the kernel speaks.
    const char* source = ::access("/run/udev/control", F_OK) == 0 ? "udev" : "kernel";
    udev_monitor* m = udev_monitor_new_from_netlink(u, source);
    if (m == nullptr || udev_monitor_filter_add_match_subsystem_devtype(m, "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(m) < 0) {
        if (error != nullptr)
            *error = std::string("cannot listen to device events: ") + std::strerror(errno);
        if (m != nullptr)
            udev_monitor_unref(m);
        udev_unref(u);
        return nullptr;
    }
    return std::make_unique<CUdevMonitor>(u, m);
}

} // namespace nw
