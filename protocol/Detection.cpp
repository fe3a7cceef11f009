#include "protocol/Detection.h"

#include "protocol/Dialect.h"

namespace nw {

namespace {

bool Answers(CCommandExchange& ex, const char* command, const char* keyword,
             std::uint32_t delayMs = delay::kShort) {
    return reply::Contains(ex.SendCommand(command, delayMs), keyword);
}

} // namespace

int DetectDevice(CCommandExchange& ex) {
    if (!Answers(ex, cmd::kAt, reply::kOk)) {
        if (Answers(ex, cmd::kAts10Query, "0")) {
            // Answering silently: switch result messages on.
            if (!Answers(ex, cmd::kAts10On, reply::kOk))
                return -1;
        } else if (Answers(ex, cmd::kEscape, reply::kOk)) {
            // Was in a live link: drop it.
            if (!Answers(ex, cmd::kHangUp, reply::kOk))
                return -1;
        } else {
            // Silent and linked (or absent): responses on, then drop the link.
            if (!Answers(ex, cmd::kAts10On, reply::kOk))
                return -1;
            if (!Answers(ex, cmd::kHangUp, reply::kOk))
                return -1;
        }
    }
    if (Answers(ex, cmd::kBtInfoQuery, reply::kStandby, delay::kBtInfo))
        return 1;
    return Answers(ex, cmd::kBtCancel, reply::kOk, delay::kBtCancel) ? 1 : -1;
}

int CheckMultiConnection(CCommandExchange& ex) {
    return Answers(ex, cmd::kAts53Query, reply::kError) ? -1 : 1;
}

} // namespace nw
