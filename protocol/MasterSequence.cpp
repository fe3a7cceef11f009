#include "protocol/MasterSequence.h"

#include "protocol/Detection.h"
#include "protocol/Dialect.h"

namespace nw {

namespace {

constexpr std::uint32_t kWizardPauseMs = 400;
constexpr std::uint32_t kWizardCancelPauseMs = 500;

const std::array<const char*, 4> kAddressWrites = {cmd::kAts46Write, cmd::kAts54Write,
                                                   cmd::kAts55Write, cmd::kAts56Write};
const std::array<const char*, 4> kAddressClears = {cmd::kAts46Clear, cmd::kAts54Clear,
                                                   cmd::kAts55Clear, cmd::kAts56Clear};

} // namespace

void WriteWizardMaster(CCommandExchange& ex, const std::array<std::string, 5>& slots, int oneToN,
                       bool disableResponse, int mode) {
    for (int k = 0; k < 4; ++k) {
        const bool inRun = k < 2 || oneToN >= k - 1; // S55 from 1:3, S56 from 1:4
        const std::string command =
            inRun ? cmd::FormatAddressWrite(kAddressWrites[static_cast<std::size_t>(k)],
                                            slots[static_cast<std::size_t>(k) + 1])
                  : std::string(kAddressClears[static_cast<std::size_t>(k)]);
        ex.BareSend(command.c_str(), kWizardPauseMs);
    }
    ex.BareSend(cmd::kBtCancel, kWizardCancelPauseMs);
    ex.BareSend(cmd::kBtModeMaster, kWizardPauseMs);
    ex.BareSend(disableResponse ? cmd::kAts10Off : cmd::kAts10On, kWizardPauseMs);
    ex.BareSend(mode == 0 ? cmd::kAts53MultiDrop : cmd::kAts53NodeSwitching, kWizardPauseMs);
}

MasterWriteResult WriteManualMaster(CCommandExchange& ex, const std::array<bool, 4>& use,
                                    const std::array<std::string, 4>& addresses, bool alreadyMode1,
                                    int mode) {
    MasterWriteResult r;
    if (DetectDevice(ex) == -1)
        return r;
    if (CheckMultiConnection(ex) == -1) {
        r.outcome = MasterOutcome::NoMultiConnection;
        return r;
    }
    r.outcome = MasterOutcome::Rejected;
    auto accepted = [&](const std::string& command, std::uint32_t delayMs) {
        return reply::Contains(ex.SendCommand(command.c_str(), delayMs), reply::kOk);
    };
    for (std::size_t k = 0; k < 4; ++k) {
        const std::string command = use[k]
                                        ? cmd::FormatAddressWrite(kAddressWrites[k], addresses[k])
                                        : std::string(kAddressClears[k]);
        if (!accepted(command, delay::kRegister))
            return r;
        if (use[k])
            ++r.used;
    }
    if (!alreadyMode1) {
        if (!accepted(cmd::kBtModeMaster, delay::kRegister))
            return r;
        r.modeWritten = true;
    }
    if (!accepted(mode == 0 ? cmd::kAts53MultiDrop : cmd::kAts53NodeSwitching, delay::kMultiMode))
        return r;
    r.outcome = MasterOutcome::Written;
    return r;
}

} // namespace nw
