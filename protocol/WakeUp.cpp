#include "protocol/WakeUp.h"

#include "protocol/Dialect.h"

namespace nw {

const WakeStep kWakeForQuery[4] = {{cmd::kAt, reply::kOk},
                                   {cmd::kAts10Query, "0"},
                                   {cmd::kEscape, reply::kOk},
                                   {cmd::kAts10Query, "0"}};

const WakeStep kWakeForReset[4] = {{cmd::kAt, reply::kOk},
                                   {cmd::kAts10Query, "0"},
                                   {cmd::kEscape, reply::kOk},
                                   {cmd::kAts10On, reply::kOk}};

int WakeUp(CCommandExchange& ex, std::span<const WakeStep> steps) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (reply::Contains(ex.SendCommand(steps[i].command, delay::kShort), steps[i].keyword))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace nw
