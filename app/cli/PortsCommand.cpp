// ports: the serial ports with their stable names, and ports --watch.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonText.h"
#include "serial/PortIdentity.h"
#include "serial/PortMonitor.h"
#include "serial/SerialEnum.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace nw::cli {

namespace {

Json OrNull(const std::string& value) {
    return value.empty() ? Json(nullptr) : Json(value);
}

Json PortJson(const PortIdentity& id) {
    Json json;
    json["path"] = id.path;
    json["name"] = id.friendlyName;
    json["byId"] = OrNull(id.byId);
    json["byPath"] = OrNull(id.byPath);
    json["usb"] = id.vendorId.empty() ? Json(nullptr) : Json(id.vendorId + ":" + id.productId);
    json["serial"] = OrNull(id.serial);
    json["driver"] = OrNull(id.driver);
    return json;
}

// One row per port, columns as wide as their widest cell; "-" where the
// system says nothing.
void PrintTable(const std::vector<PortIdentity>& ports, CTerminalConsole& console) {
    using Row = std::array<std::string, 6>;
    std::vector<Row> rows{{"PORT", "USB", "SERIAL", "DRIVER", "BY-ID", "BY-PATH"}};
    for (const PortIdentity& p : ports) {
        rows.push_back({p.friendlyName, p.vendorId.empty() ? "" : p.vendorId + ":" + p.productId,
                        p.serial, p.driver, p.byId, p.byPath});
    }
    std::array<std::size_t, 6> width{};
    for (Row& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (row[c].empty())
                row[c].assign(1, '-');
            width[c] = std::max(width[c], row[c].size());
        }
    }
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size())
                line += std::string(width[c] - row[c].size() + 2, ' ');
        }
        console.Result(line);
    }
}

std::vector<PortIdentity> Identities(const CliEnv& env) {
    CSerialEnum ports(env.sysRoot, env.devRoot);
    ports.Refresh();
    return IdentifyPorts(ports.m_aPorts, env.sysRoot, env.devRoot);
}

int Watch(const CliEnv& env, CTerminalConsole& console, bool json) {
    std::string error;
    std::unique_ptr<IPortMonitor> monitor =
        env.openPortMonitor ? env.openPortMonitor(&error) : OpenPortMonitor(&error);
    if (!monitor) {
        console.Note("nodewright-cli: ports --watch: " + error);
        return kExitFailure;
    }
    for (std::vector<PortEvent> events = monitor->Wait(); !events.empty();
         events = monitor->Wait()) {
        for (const PortEvent& e : events) {
            const bool added = e.kind == PortEvent::Kind::Added;
            PortIdentity id;
            id.path = id.friendlyName = e.path;
            if (added) { // what the list says of it now, when it lists it
                for (const PortIdentity& known : Identities(env)) {
                    if (known.path == e.path)
                        id = known;
                }
            }
            if (json) {
                Json line;
                line["event"] = added ? "added" : "removed";
                if (added)
                    line.update(PortJson(id));
                else
                    line["path"] = e.path;
                console.Result(JsonText(line));
            } else {
                console.Result((added ? "added " + id.friendlyName : "removed " + e.path));
            }
        }
    }
    return kExitSuccess;
}

} // namespace

int RunPorts(const CliEnv& env, CTerminalConsole& console, bool json, bool watch) {
    if (watch)
        return Watch(env, console, json);
    const std::vector<PortIdentity> ports = Identities(env);
    if (json) {
        Json list = Json::array();
        for (const PortIdentity& p : ports)
            list.push_back(PortJson(p));
        Json result;
        result["ok"] = true;
        result["ports"] = list;
        console.Result(JsonText(result));
    } else if (env.stdoutIsTerminal) {
        PrintTable(ports, console);
    } else {
        for (const PortIdentity& p : ports)
            console.Result(p.friendlyName);
    }
    return kExitSuccess;
}

} // namespace nw::cli
