#include "sim/SimAdapter.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace nw::sim {

namespace {

// Longer lines than this cannot be a command: the rest is dropped and the
// line answers ERROR when its CR comes.
constexpr std::size_t kMaxLine = 256;

std::string Lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// One decimal digit in [0, highest]; -1 otherwise.
int Digit(std::string_view text, int highest) {
    if (text.size() != 1 || text[0] < '0' || text[0] > '0' + highest)
        return -1;
    return text[0] - '0';
}

} // namespace

bool IsAddress(std::string_view text) {
    return text.size() == 12 && std::all_of(text.begin(), text.end(),
                                            [](unsigned char c) { return std::isxdigit(c) != 0; });
}

const char* LinkStateName(LinkState state) {
    switch (state) {
    case LinkState::Standby:
        return "STANDBY";
    case LinkState::Pending:
        return "PENDING";
    case LinkState::Connect:
        return "CONNECT";
    }
    return "?";
}

CSimAdapter::CSimAdapter(std::string address, std::string name) {
    m_state.address = std::move(address);
    m_state.name = std::move(name);
    m_state.factoryName = m_state.name;
}

std::string CSimAdapter::Feed(std::string_view bytes) {
    std::string out;
    if (m_faults.silent)
        return out; // a dead adapter takes nothing in
    for (const char c : bytes) {
        if (m_state.dataMode) {
            // Link data goes to the far end; only "+++" is looked for.
            if (m_faults.loopback)
                out.push_back(c);
            if (c != '+') {
                m_escape.clear();
                continue;
            }
            m_escape.push_back(c);
            if (m_escape.size() == 3) {
                m_escape.clear();
                m_state.dataMode = false;
                out += Result(true);
            }
            continue;
        }
        if (m_faults.echo)
            out.push_back(c);
        if (c == '\n')
            continue;
        if (c == '\r') {
            const std::string line = std::exchange(m_line, {});
            if (const auto it = m_faults.scripted.find(Lower(line)); it != m_faults.scripted.end())
                out += it->second;
            else
                out += Execute(line);
            continue;
        }
        if (m_line.size() < kMaxLine)
            m_line.push_back(c);
        // The escape is sent without a line end; in command mode it is
        // acknowledged as soon as it is complete.
        if (m_line == "+++") {
            m_line.clear();
            out += Result(true);
        }
    }
    return out;
}

void CSimAdapter::FactoryReset() {
    m_state.s10 = 1;
    m_state.s46 = m_state.s54 = m_state.s55 = m_state.s56 = kNoAddress;
    m_state.s53 = 0;
    m_state.mode = 0;
    m_state.link = LinkState::Standby;
    m_state.dataMode = false;
    m_state.name = m_state.factoryName;
    ++m_state.factoryResets;
    DiscardInput();
}

void CSimAdapter::Restart() {
    const AdapterState& s = m_state;
    const bool slaveSet =
        s.s46 != kNoAddress || s.s54 != kNoAddress || s.s55 != kNoAddress || s.s56 != kNoAddress;
    // After a restart a configured device starts looking for its partners.
    const bool seeks =
        (s.mode == 2 && s.s46 != kNoAddress) || (s.mode == 1 && s.s53 != 0 && slaveSet);
    m_state.link = seeks ? LinkState::Pending : LinkState::Standby;
    m_state.dataMode = false;
    ++m_state.restarts;
    DiscardInput();
}

void CSimAdapter::SetLinked() {
    m_state.link = LinkState::Connect;
    m_state.dataMode = true;
    DiscardInput();
}

void CSimAdapter::SetPending() {
    m_state.link = LinkState::Pending;
    m_state.dataMode = false;
}

void CSimAdapter::DiscardInput() {
    m_line.clear();
    m_escape.clear();
}

std::string CSimAdapter::BtInfoText() const {
    const AdapterState& s = m_state;
    return s.address + "," + s.name + ",MODE" + std::to_string(s.mode) + "," +
           LinkStateName(s.link) + "," + (s.hwFlow ? "HWFC" : "NoFC") + "," + (s.auth ? "1" : "0") +
           "," + (s.encrypt ? "1" : "0");
}

std::string CSimAdapter::Execute(const std::string& line) {
    if (line.empty())
        return {};
    const std::string cmd = Lower(line);
    if (cmd == "at")
        return Result(true);
    if (cmd == "at+btinfo?")
        return Value(BtInfoText());
    if (cmd == "at+btcancel") {
        if (m_state.link == LinkState::Pending)
            m_state.link = LinkState::Standby;
        return Result(true);
    }
    if (cmd == "ath") {
        if (m_state.link == LinkState::Connect) {
            m_state.link = LinkState::Standby;
            m_state.dataMode = false;
        }
        return Result(true);
    }
    if (cmd == "ato") {
        if (m_state.link != LinkState::Connect)
            return Result(false);
        m_state.dataMode = true;
        return m_state.s10 != 0 ? "\r\nCONNECT\r\n" : "";
    }
    if (cmd == "at&f") {
        FactoryReset();
        return Result(true);
    }
    if (cmd == "atz") {
        // The OK leaves before the adapter goes down.
        std::string reply = Result(true);
        Restart();
        return reply;
    }
    if (cmd.starts_with("at+btmode,")) {
        const int mode = Digit(std::string_view(cmd).substr(10), 3);
        if (mode < 0)
            return Result(false);
        m_state.mode = mode;
        return Result(true);
    }
    if (cmd.starts_with("ats"))
        return Register(line.substr(3));
    return Result(false);
}

std::string CSimAdapter::Register(const std::string& text) {
    const std::size_t op = text.find_first_of("?=");
    if (op == std::string::npos)
        return Result(false);
    const std::string number = text.substr(0, op);
    const bool query = text[op] == '?';
    const std::string arg = text.substr(op + 1);
    if (query && !arg.empty())
        return Result(false);

    if (number == "10") {
        if (query)
            return Value(std::to_string(m_state.s10));
        const int v = Digit(arg, 1);
        if (v < 0)
            return Result(false);
        m_state.s10 = v; // the answer already follows the new setting
        return Result(true);
    }
    if (number == "53") {
        if (!m_state.multiSupport)
            return Result(false);
        if (query)
            return Value(std::to_string(m_state.s53));
        const int v = Digit(arg, 2);
        if (v < 0)
            return Result(false);
        m_state.s53 = v;
        return Result(true);
    }
    std::string* reg = nullptr;
    if (number == "46")
        reg = &m_state.s46;
    else if (number == "54")
        reg = &m_state.s54;
    else if (number == "55")
        reg = &m_state.s55;
    else if (number == "56")
        reg = &m_state.s56;
    if (reg == nullptr)
        return Result(false);
    if (query)
        return Value(*reg);
    if (!IsAddress(arg))
        return Result(false);
    *reg = arg; // kept as written, letter case included
    return Result(true);
}

std::string CSimAdapter::Result(bool ok) const {
    if (m_state.s10 == 0)
        return {};
    return ok ? "\r\nOK\r\n" : "\r\nERROR\r\n";
}

std::string CSimAdapter::Value(const std::string& value) const {
    return "\r\n" + value + "\r\n" + Result(true);
}

} // namespace nw::sim
