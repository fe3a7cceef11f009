// Reading an adapter back and comparing it with what a master or slave
// setting would have written. The reads change nothing on the adapter: the
// information report as the Manual Setting window reads it (which only sends
// "ato" after an escape, and "ats10=0" to an adapter found silent), then the
// register queries.
#pragma once

#include "protocol/CommandExchange.h"
#include "protocol/Network.h"
#include "protocol/Outcome.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace nw {

// What a master or slave setting writes, as the fields a readback shows.
struct IntendedSettings {
    bool master = true;
    ConnectionMode mode = ConnectionMode::MultiDrop; // a master's S53
    std::array<std::string, 4> slaves{};             // a master's S46, S54, S55, S56
    std::string masterAddress{};                     // a slave's S46
    bool clearsMulti = false;                        // a slave's "ats53=0" (a former master)
    bool disableResponse = false;                    // S10 0 when set
};

// One field as read, and as it should be.
struct FieldCheck {
    std::string name;  // "Mode", "S53", "S46", ..., "S10"
    std::string value; // as read
    std::string expected;
    bool ok = false;
};

struct Readback {
    OutcomeKind kind = OutcomeKind::Failed; // Failed: not found, or a field could not be read
    bool found = false;                     // the adapter answered its report
    std::string address;                    // its own address, from the report
    std::string name;                       // its name, from the report
    std::string failure;                    // what went wrong, when it failed
    std::vector<FieldCheck> fields;         // every field, when read

    bool Verified() const;
};

// Reads the attached adapter (its report, then "ats10?", "ats53?", "ats46?"
// and, for a master, "ats54?" to "ats56?") and compares every field.
Readback VerifyAdapter(CCommandExchange& ex, const IntendedSettings& intended);

// What a failed verification tells the user, ending in `then` (what to do):
// the fields that differ, or what could not be read.
std::string DescribeFailure(const Readback& r, const std::string& then);

// The value line of a setting query's reply ("\r\n1\r\n\r\nOK\r\n" -> "1");
// none when the reply is empty, holds "ERROR" or has no value line.
std::optional<std::string> SettingValue(const std::string& reply);

} // namespace nw
