#include "sim/StationBench.h"

#include "sim/NetworkVerdict.h"

#include <algorithm>

namespace nw::sim {

CStationBench::CStationBench(int slaves) {
    const int n = std::clamp(slaves, kMinSlaves, kMaxSlaves);
    const std::vector<std::string>& names = CSimBench::AdapterNames(); // master, slave1..
    m_roles.assign(names.begin(), names.begin() + 1 + n);
    for (const std::string& role : m_roles) {
        m_lines.push_back(std::make_unique<CSimBench>());
        m_lines.back()->Attach(role);
    }
}

bool CStationBench::Start(std::string* error) {
    for (auto& line : m_lines) {
        if (!line->Start(error)) {
            Stop();
            return false;
        }
    }
    return true;
}

void CStationBench::Stop() {
    for (auto& line : m_lines)
        line->Stop();
}

bool CStationBench::Has(const std::string& role) const {
    return std::find(m_roles.begin(), m_roles.end(), role) != m_roles.end();
}

CSimBench& CStationBench::Line(const std::string& role) {
    const auto at = std::find(m_roles.begin(), m_roles.end(), role);
    return *m_lines.at(static_cast<std::size_t>(at - m_roles.begin()));
}

const CSimBench& CStationBench::Line(const std::string& role) const {
    return const_cast<CStationBench*>(this)->Line(role);
}

std::string CStationBench::Paths() const {
    std::string text;
    for (const std::string& role : m_roles)
        text += role + " " + Path(role) + "\n";
    return text;
}

std::string CStationBench::Show() const {
    std::string text;
    for (const std::string& role : m_roles) {
        const CSimBench& line = Line(role);
        text += "line: " + (line.Running() ? line.Path() : std::string("(not running)")) + "\n" +
                line.Describe(role);
    }
    return text + NetworkVerdict() + "\n";
}

std::string CStationBench::NetworkVerdict() const {
    std::vector<CSimAdapter> adapters;
    for (const std::string& role : m_roles)
        const_cast<CStationBench*>(this)->Line(role).With(
            role, [&](CSimAdapter& a) { adapters.push_back(a); });
    return sim::NetworkVerdict(adapters, m_roles);
}

} // namespace nw::sim
