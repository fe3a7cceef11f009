#include "protocol/SlaveSequence.h"

#include "protocol/Detection.h"
#include "protocol/Dialect.h"

namespace nw {

namespace {
constexpr std::uint32_t kPauseMs = 400;
constexpr std::uint32_t kCancelPauseMs = 500;
} // namespace

void WriteWizardSlave(CCommandExchange& ex, const std::string& masterAddress,
                      bool disableResponse) {
    const std::string s46 = cmd::FormatAddressWrite(cmd::kAts46Write, masterAddress);
    ex.BareSend(s46.c_str(), kPauseMs);
    ex.BareSend(cmd::kBtCancel, kCancelPauseMs);
    ex.BareSend(cmd::kBtModeSlave, kPauseMs);
    ex.BareSend(disableResponse ? cmd::kAts10Off : cmd::kAts10On, kPauseMs);
    ex.BareSend(cmd::kRestart, kPauseMs);
}

int WriteManualSlave(CCommandExchange& ex, const std::string& masterAddress, bool disableResponse) {
    if (DetectDevice(ex) == -1)
        return -1;
    const std::string s46 = cmd::FormatAddressWrite(cmd::kAts46Write, masterAddress);
    if (!reply::Contains(ex.SendCommand(s46.c_str(), kPauseMs), reply::kOk))
        return -1;
    const std::string multi = ex.SendCommand(cmd::kAts53Query, kPauseMs);
    if (reply::Contains(multi, "1") || reply::Contains(multi, "2")) {
        if (!reply::Contains(ex.SendCommand(cmd::kAts53Off, delay::kMultiOff), reply::kOk))
            return -1;
    }
    if (!reply::Contains(ex.SendCommand(cmd::kBtModeSlave, kPauseMs), reply::kOk))
        return -1;
    ex.BareSend(disableResponse ? cmd::kAts10Off : cmd::kAts10On, kPauseMs);
    ex.Write(cmd::kRestart);
    return ex.LineGone() ? -1 : 1;
}

} // namespace nw
