// A simulated OLMA adapter: the model behind the simulated bench. It takes the
// bytes written to the line and answers as an adapter would, in command mode
// (Hayes-style "at" commands ended by CR, LF ignored) or in data mode (a live
// Bluetooth link, where only the escape "+++" is understood).
//
// Reply format (result messages on, S10 = 1):
//   plain command          "\r\nOK\r\n" or "\r\nERROR\r\n"
//   register query         "\r\n<value>\r\n" then "\r\nOK\r\n"
//   "at+btinfo?" "\r\n<address>,<name>,MODE<n>,<STANDBY|PENDING|CONNECT>,<NoFC|HWFC>,<a>,<e>\r\n"
//                          then "\r\nOK\r\n"  (a, e: authentication, encryption 0/1)
// With result messages off (S10 = 0) "OK" and "ERROR" are not sent; query
// values still are.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace nw::sim {

// The register value that holds no address.
inline constexpr char kNoAddress[] = "000000000000";

// An address as the adapter takes it: exactly 12 hexadecimal digits.
bool IsAddress(std::string_view text);

enum class LinkState { Standby, Pending, Connect };

const char* LinkStateName(LinkState state); // "STANDBY", "PENDING", "CONNECT"

// Everything the adapter keeps. Registers hold their text as written.
struct AdapterState {
    std::string address;              // 12 hexadecimal digits
    std::string name;                 // friendly name
    int s10 = 1;                      // result messages on (1) / off (0)
    std::string s46 = "000000000000"; // slave 1 (master) / the master (slave)
    std::string s54 = "000000000000";
    std::string s55 = "000000000000";
    std::string s56 = "000000000000";
    int s53 = 0;  // 0 none, 1 Multi-Drop, 2 Node Switching
    int mode = 0; // operation mode 0..3 ("at+btmode,n")
    LinkState link = LinkState::Standby;
    bool dataMode = false;    // in a live link: only "+++" is understood
    bool multiSupport = true; // false: "ats53" answers "ERROR"
    bool hwFlow = false;      // "HWFC" instead of "NoFC"
    bool auth = false;
    bool encrypt = false;
    std::string factoryName; // the name "at&f" restores
    int restarts = 0;        // "atz" count
    int factoryResets = 0;   // "at&f" count
};

// Fault knobs: how the adapter misbehaves on the line.
struct Faults {
    bool silent = false;            // answers nothing at all (absent / dead)
    std::uint32_t latencyMs = 0;    // delay before each reply starts
    std::size_t splitAt = 0;        // >0: send the first splitAt bytes of a reply ...
    std::uint32_t splitPauseMs = 0; // ... then the rest after this pause
    bool echo = false;              // echoes every byte received in command mode
    std::size_t garbageBytes = 0;   // random printable bytes before each reply
    std::size_t floodBytes = 0;     // one-shot: random bytes sent after the next reply
    bool loopback = false;          // in a live link the far end sends every byte back
    // Replies given instead of the adapter's own, by command line as received
    // (without its CR, lower case): {"ats55?", "ERROR"} answers exactly
    // "ERROR". The command then changes nothing.
    std::map<std::string, std::string> scripted;
};

class CSimAdapter {
  public:
    CSimAdapter(std::string address, std::string name);

    // Takes bytes received from the line; returns what the adapter sends back
    // at once (the bench adds latency, splitting, garbage and flood).
    std::string Feed(std::string_view bytes);

    AdapterState& State() { return m_state; }
    const AdapterState& State() const { return m_state; }
    Faults& Fault() { return m_faults; }
    const Faults& Fault() const { return m_faults; }

    void FactoryReset(); // as "at&f"
    // Puts the adapter into a live link in data mode / a pending connection.
    void SetLinked();
    void SetPending();
    // Forgets a half-gathered command line and a half-seen escape (the line
    // was switched away from this adapter).
    void DiscardInput();

  private:
    void Restart();                                // as "atz"
    std::string BtInfoText() const;                // the "at+btinfo?" line without line ends
    std::string Execute(const std::string& line);  // one command line, without CR
    std::string Register(const std::string& text); // "ats" command, text after "ats"
    std::string Result(bool ok) const;
    std::string Value(const std::string& value) const;

    AdapterState m_state;
    Faults m_faults;
    std::string m_line;   // command-mode input gathered so far
    std::string m_escape; // data-mode tail that may begin "+++"
};

} // namespace nw::sim
