// A timing profile: a JSON or TOML file that sets the reply guard and any
// command's pause and guard, for an adapter that needs other timing than the
// usual:
//
//   {"guardMs": 50,
//    "commands": {"at+btinfo?": {"pauseMs": 2000, "guardMs": 80},
//                 "ats46=": {"guardMs": 120}}}
//
// or the same in TOML:
//
//   guardMs = 50
//   [commands."at+btinfo?"]
//   pauseMs = 2000
//   guardMs = 80
//   [commands."ats46="]
//   guardMs = 120
//
// A text that starts with "{" is read as JSON, anything else as TOML.
// A command is named as written, in lower case and without its line end; a
// register write also by its name up to "=", which covers every value.
#pragma once

#include "protocol/Pacing.h"

#include <string>

namespace nw::cli {

struct ProfileLoad {
    bool ok = false;
    std::string error; // what is wrong, naming the file (when not ok)
};

// Reads `path` into `policy` (its mode untouched). On failure `policy` is
// left as it was.
ProfileLoad LoadTimingProfile(const std::string& path, PacingPolicy& policy);
// The same from the text of a profile; `name` is used in the messages.
ProfileLoad ParseTimingProfile(const std::string& text, const std::string& name,
                               PacingPolicy& policy);

} // namespace nw::cli
