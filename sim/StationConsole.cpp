#include "sim/StationConsole.h"

#include <sstream>

namespace nw::sim {

namespace {

constexpr const char* kHelp =
    "commands (every adapter on a line of its own):\n"
    "  show                           every line, its adapter and the network verdict\n"
    "  paths                          the line of each adapter\n"
    "  set <who> <key> <value>        change an adapter or its faults (as on one line)\n"
    "  reset <who>                    factory defaults, as at&f (faults stay)\n"
    "  link|pending|standby <who>     put the adapter's radio link in that state\n"
    "  unplug <who>                   that adapter's line vanishes\n"
    "  transcript [clear]             every byte on each line so far\n"
    "  help                           this text\n"
    "  quit                           stop the bench\n";

} // namespace

CStationConsole::CStationConsole(CStationBench& station) : m_station(station) {
    for (const std::string& role : station.Roles())
        m_lines.push_back(std::make_unique<CBenchConsole>(station.Line(role)));
}

std::string CStationConsole::Execute(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    if (words.empty() || words[0][0] == '#')
        return {};
    const std::string& verb = words[0];
    const std::vector<std::string>& roles = m_station.Roles();

    if (verb == "help")
        return kHelp;
    if (verb == "quit" || verb == "exit") {
        m_quit = true;
        return {};
    }
    if (verb == "show" && words.size() == 1)
        return m_station.Show();
    if (verb == "paths" && words.size() == 1)
        return m_station.Paths();
    if (verb == "transcript") {
        std::string text;
        for (std::size_t i = 0; i < roles.size(); ++i)
            text += roles[i] + ":\n" + m_lines[i]->Execute(line);
        return text;
    }
    if (verb == "attach" || verb == "detach")
        return "error: every adapter has a line of its own (try \"help\")\n";
    if (words.size() < 2)
        return m_lines.front()->Execute(line); // its own error for the command
    const std::string& who = words[1];
    for (std::size_t i = 0; i < roles.size(); ++i) {
        if (roles[i] != who)
            continue;
        if (verb == "unplug" && words.size() == 2) {
            m_station.Line(who).Stop();
            return who + ": line unplugged\n";
        }
        return m_lines[i]->Execute(line);
    }
    return "error: no adapter \"" + who + "\" in the station (try \"help\")\n";
}

} // namespace nw::sim
