#include "sim/BenchConsole.h"

#include "serial/ByteSpelling.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <sstream>
#include <type_traits>

namespace nw::sim {

namespace {

constexpr const char* kHelp =
    "commands:\n"
    "  attach master|slave1..slave4   put that adapter on the line\n"
    "  detach                         nothing on the line (silence)\n"
    "  show                           adapters, faults and the network verdict\n"
    "  set <who> <key> <value>        change an adapter or its faults\n"
    "      on/off:  silent echo multi hwflow auth encrypt\n"
    "      numbers: latency split-at split-pause garbage flood s10 s53 mode\n"
    "      texts:   s46 s54 s55 s56 address (12 hex digits), name\n"
    "  reset <who>                    factory defaults, as at&f (faults stay)\n"
    "  link|pending|standby <who>     put the adapter's radio link in that state\n"
    "  transcript [clear]             every byte on the line so far\n"
    "  help                           this text\n"
    "  quit                           stop the bench\n";

// Largest random burst "set ... flood/garbage" accepts.
constexpr std::uint64_t kMaxBurst = 64u << 20;

std::vector<std::string> Words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

std::optional<std::uint64_t> Number(const std::string& text, std::uint64_t highest) {
    std::uint64_t v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || ptr != end || v > highest)
        return std::nullopt;
    return v;
}

std::optional<bool> OnOff(const std::string& text) {
    if (text == "on" || text == "1")
        return true;
    if (text == "off" || text == "0")
        return false;
    return std::nullopt;
}

std::string Error(const std::string& what) {
    return "error: " + what + " (try \"help\")\n";
}

bool KnownAdapter(const std::string& who) {
    const auto& names = CSimBench::AdapterNames();
    return std::find(names.begin(), names.end(), who) != names.end();
}

// The part of an adapter a "set" key changes: its registers or its faults.
AdapterState& Part(CSimAdapter& a, AdapterState*) {
    return a.State();
}
Faults& Part(CSimAdapter& a, Faults*) {
    return a.Fault();
}
template <class C, class T> T& Field(CSimAdapter& a, T C::*member) {
    return Part(a, static_cast<C*>(nullptr)).*member;
}

// Setters of the "set" keys: each changes its field and returns "", or
// returns what is wrong with the value and changes nothing.
template <auto Member>
std::string SetFlag(CSimAdapter& a, const std::string& key, const std::string& value) {
    const std::optional<bool> flag = OnOff(value);
    if (!flag)
        return "\"" + key + "\" takes on or off";
    Field(a, Member) = *flag;
    return {};
}

template <auto Member, std::uint64_t Highest>
std::string SetNumber(CSimAdapter& a, const std::string& key, const std::string& value) {
    const std::optional<std::uint64_t> number = Number(value, Highest);
    if (!number)
        return "\"" + key + "\" takes a number from 0 to " + std::to_string(Highest);
    auto& target = Field(a, Member);
    target = static_cast<std::remove_reference_t<decltype(target)>>(*number);
    return {};
}

template <auto Member>
std::string SetAddress(CSimAdapter& a, const std::string& key, const std::string& value) {
    if (!IsAddress(value))
        return "\"" + key + "\" takes 12 hexadecimal digits";
    Field(a, Member) = value;
    return {};
}

std::string SetName(CSimAdapter& a, const std::string&, const std::string& value) {
    a.State().name = value;
    return {};
}

struct SetKey {
    const char* name;
    std::string (*set)(CSimAdapter& a, const std::string& key, const std::string& value);
};

constexpr SetKey kSetKeys[] = {
    {"silent", SetFlag<&Faults::silent>},
    {"echo", SetFlag<&Faults::echo>},
    {"multi", SetFlag<&AdapterState::multiSupport>},
    {"hwflow", SetFlag<&AdapterState::hwFlow>},
    {"auth", SetFlag<&AdapterState::auth>},
    {"encrypt", SetFlag<&AdapterState::encrypt>},
    {"latency", SetNumber<&Faults::latencyMs, 600000>},
    {"split-at", SetNumber<&Faults::splitAt, kMaxBurst>},
    {"split-pause", SetNumber<&Faults::splitPauseMs, 600000>},
    {"garbage", SetNumber<&Faults::garbageBytes, kMaxBurst>},
    {"flood", SetNumber<&Faults::floodBytes, kMaxBurst>},
    {"s10", SetNumber<&AdapterState::s10, 1>},
    {"s53", SetNumber<&AdapterState::s53, 2>},
    {"mode", SetNumber<&AdapterState::mode, 3>},
    {"s46", SetAddress<&AdapterState::s46>},
    {"s54", SetAddress<&AdapterState::s54>},
    {"s55", SetAddress<&AdapterState::s55>},
    {"s56", SetAddress<&AdapterState::s56>},
    {"address", SetAddress<&AdapterState::address>},
    {"name", SetName},
};

} // namespace

std::string CBenchConsole::FormatEntry(const TranscriptEntry& entry) {
    char head[64];
    std::snprintf(head, sizeof head, "%8.3f %s %-7s ", entry.ms,
                  entry.dir == Direction::Rx ? "RX" : "TX",
                  entry.adapter.empty() ? "-" : entry.adapter.c_str());
    return head + SpellBytes(entry.bytes);
}

std::string CBenchConsole::Execute(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty() || words[0][0] == '#')
        return {};
    const std::string& verb = words[0];
    const std::size_t args = words.size() - 1;

    if (verb == "help")
        return kHelp;
    if (verb == "quit" || verb == "exit") {
        m_quit = true;
        return {};
    }
    if (verb == "show" && args == 0)
        return m_bench.Show();
    if (verb == "detach" && args == 0) {
        m_bench.Detach();
        return "detached\n";
    }
    if (verb == "attach" && args == 1) {
        if (!m_bench.Attach(words[1]))
            return Error("no adapter \"" + words[1] + "\"");
        return "attached " + words[1] + "\n";
    }
    if (verb == "set")
        return Set(words);
    if (verb == "reset" && args == 1) {
        if (!m_bench.With(words[1], [](CSimAdapter& a) { a.FactoryReset(); }))
            return Error("no adapter \"" + words[1] + "\"");
        return words[1] + ": factory defaults\n";
    }
    if ((verb == "link" || verb == "pending" || verb == "standby") && args == 1)
        return LinkCommand(verb, words[1]);
    if (verb == "transcript" && args == 0) {
        std::string out;
        for (const TranscriptEntry& e : m_bench.Transcript())
            out += FormatEntry(e) + "\n";
        return out.empty() ? "(transcript empty)\n" : out;
    }
    if (verb == "transcript" && args == 1 && words[1] == "clear") {
        m_bench.ClearTranscript();
        return "transcript cleared\n";
    }
    static const char* const known[] = {"show", "detach",  "attach",  "reset",
                                        "link", "pending", "standby", "transcript"};
    if (std::find(std::begin(known), std::end(known), verb) != std::end(known))
        return Error("wrong arguments to \"" + verb + "\"");
    return Error("unknown command \"" + verb + "\"");
}

std::string CBenchConsole::LinkCommand(const std::string& verb, const std::string& who) {
    LinkState state = LinkState::Standby;
    const bool found = m_bench.With(who, [&](CSimAdapter& a) {
        if (verb == "link") {
            a.SetLinked();
        } else if (verb == "pending") {
            a.SetPending();
        } else {
            a.State().link = LinkState::Standby;
            a.State().dataMode = false;
        }
        state = a.State().link;
    });
    if (!found)
        return Error("no adapter \"" + who + "\"");
    return who + ": " + LinkStateName(state) + (verb == "link" ? " (data mode)" : "") + "\n";
}

std::string CBenchConsole::Set(const std::vector<std::string>& words) {
    if (words.size() < 4)
        return Error("usage: set <who> <key> <value>");
    const std::string& who = words[1];
    const std::string& key = words[2];
    if (!KnownAdapter(who))
        return Error("no adapter \"" + who + "\"");
    std::string value = words[3];
    if (key == "name") {
        for (std::size_t i = 4; i < words.size(); ++i)
            value += " " + words[i];
    } else if (words.size() > 4) {
        return Error("one value expected for \"" + key + "\"");
    }

    const auto found = std::find_if(std::begin(kSetKeys), std::end(kSetKeys),
                                    [&](const SetKey& k) { return key == k.name; });
    std::string problem = "no key \"" + key + "\"";
    if (found != std::end(kSetKeys))
        m_bench.With(who, [&](CSimAdapter& a) { problem = found->set(a, key, value); });
    if (!problem.empty())
        return Error(problem);
    return who + " " + key + " = " + value + "\n";
}

} // namespace nw::sim
