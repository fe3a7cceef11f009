#include "protocol/Conversations.h"

#include "protocol/Dialect.h"
#include "protocol/Script.h"

#include <algorithm>

namespace nw {

using script::kDone;
using script::kFail;
using script::kNext;
using script::Send;
using script::Step;
using script::Where;

namespace {

// Pauses, in milliseconds, between writing a command and taking its reply.
constexpr std::uint32_t kShortMs = 400;        // the probes, the escape, the wizard's writes
constexpr std::uint32_t kBtInfoMs = 1500;      // at+btinfo? during detection
constexpr std::uint32_t kBtCancelMs = 4000;    // at+btcancel during detection
constexpr std::uint32_t kInfoCollectMs = 2000; // time the adapter gets to describe itself
constexpr std::uint32_t kCancelMs = 500;       // at+btcancel in the wizard's writes
constexpr std::uint32_t kRegisterMs = 1000;    // register writes of the manual master setting
constexpr std::uint32_t kMultiModeMs = 4000;   // ats53=1 / ats53=2 of the manual master setting
constexpr std::uint32_t kMultiOffMs = 5000;    // ats53=0 of the manual slave setting
constexpr std::uint32_t kConfirmMs = 3000;     // at&f, the main window's reset
constexpr std::uint32_t kBlindMs = 2000;       // at&f, the Manual Setting window's reset
constexpr std::uint32_t kAddressQueryMs = 1000;
constexpr std::uint32_t kSettingQueryMs = 500;

// A command whose reply decides where the script goes: `onHit` when it holds
// `keyword` (or `orKeyword`), `onMiss` when it does not.
constexpr Step Ask(const char* command, std::uint32_t ms, const char* keyword, int onHit,
                   int onMiss, const char* orKeyword = nullptr) {
    return {.command = command,
            .pauseMs = ms,
            .keyword = keyword,
            .orKeyword = orKeyword,
            .onHit = onHit,
            .onMiss = onMiss};
}
// A command that needs "OK" within `ms`; a miss fails the run with `why`.
// `arg` fills the command's address.
constexpr Step Needs(const char* command, std::uint32_t ms, int why = 0, int arg = -1) {
    return {.command = command, .pauseMs = ms, .keyword = reply::kOk, .failure = why, .arg = arg};
}
// A command written bare, its reply left for the next drain.
constexpr Step Bare(const char* command, std::uint32_t ms, int arg = -1) {
    return {.command = command, .pauseMs = ms, .send = Send::Bare, .arg = arg};
}
constexpr Step Pause(std::uint32_t ms) {
    return {.pauseMs = ms, .send = Send::Wait};
}

// Detection. A silent adapter answers "ats10?" with its value; one in a link
// answers the escape; one that is both only obeys blind writes. Then nothing
// may be pending: on standby, or once a pending connection is cancelled.
constexpr Step kDetect[] = {
    /* 0 */ Ask(cmd::kAt, kShortMs, reply::kOk, 7, kNext),
    /* 1 */ Ask(cmd::kAts10Query, kShortMs, "0", kNext, 3),
    /* 2 */ Ask(cmd::kAts10On, kShortMs, reply::kOk, 7, kFail),
    /* 3 */ Ask(cmd::kEscape, kShortMs, reply::kOk, kNext, 5),
    /* 4 */ Ask(cmd::kHangUp, kShortMs, reply::kOk, 7, kFail),
    /* 5 */ Needs(cmd::kAts10On, kShortMs),
    /* 6 */ Needs(cmd::kHangUp, kShortMs),
    /* 7 */ Ask(cmd::kBtInfoQuery, kBtInfoMs, reply::kStandby, kDone, kNext),
    /* 8 */ Needs(cmd::kBtCancel, kBtCancelMs),
};

// Only "ERROR" says the adapter has no multiple connection mode.
constexpr Step kCheckMulti[] = {Ask(cmd::kAts53Query, kShortMs, reply::kError, kFail, kDone)};

// The wake-up chains: the first reply that holds its keyword ends them.
constexpr int kWakeEscapeStep = 2;
constexpr Step kWakeForQuery[] = {
    Ask(cmd::kAt, kShortMs, reply::kOk, kDone, kNext),
    Ask(cmd::kAts10Query, kShortMs, "0", kDone, kNext),
    Ask(cmd::kEscape, kShortMs, reply::kOk, kDone, kNext),
    Ask(cmd::kAts10Query, kShortMs, "0", kDone, kFail),
};
constexpr Step kWakeForReset[] = {
    kWakeForQuery[0],
    kWakeForQuery[1],
    kWakeForQuery[2],
    Ask(cmd::kAts10On, kShortMs, reply::kOk, kDone, kFail),
};

// The report after the wake-up. No drain before "at+btinfo?": bytes still
// waiting count as part of the description (step 0's reply).
constexpr Step kDescribe = {
    .command = cmd::kBtInfoQuery, .pauseMs = kInfoCollectMs, .send = Send::Gather};
constexpr Step kReportBackToLink[] = {kDescribe, Bare(cmd::kOnline, kShortMs)};
constexpr Step kReportInCommandMode[] = {kDescribe, Pause(kShortMs)};
constexpr Step kReportResponsesOff[] = {kDescribe, Pause(kShortMs), Bare(cmd::kAts10Off, 0)};

constexpr Step kResetConfirmed[] = {Needs(cmd::kFactoryReset, kConfirmMs)};
constexpr Step kResetBlind[] = {Bare(cmd::kFactoryReset, kBlindMs)};

// The register queries of a readback; their replies are parsed afterwards.
constexpr Step kAskS46 = {.command = cmd::kAts46Query, .pauseMs = kAddressQueryMs};
constexpr Step kAskS54 = {.command = cmd::kAts54Query, .pauseMs = kAddressQueryMs};
constexpr Step kAskS55 = {.command = cmd::kAts55Query, .pauseMs = kAddressQueryMs};
constexpr Step kAskS56 = {.command = cmd::kAts56Query, .pauseMs = kAddressQueryMs};
constexpr Step kAskS10 = {.command = cmd::kAts10Query, .pauseMs = kSettingQueryMs};
constexpr Step kAskS53 = {.command = cmd::kAts53Query, .pauseMs = kSettingQueryMs};

constexpr const char* kAddressWrites[] = {cmd::kAts46Write, cmd::kAts54Write, cmd::kAts55Write,
                                          cmd::kAts56Write};
constexpr const char* kAddressClears[] = {cmd::kAts46Clear, cmd::kAts54Clear, cmd::kAts55Clear,
                                          cmd::kAts56Clear};

const char* ResultMessages(bool disable) {
    return disable ? cmd::kAts10Off : cmd::kAts10On;
}
const char* ModeWrite(ConnectionMode mode) {
    return mode == ConnectionMode::MultiDrop ? cmd::kAts53MultiDrop : cmd::kAts53NodeSwitching;
}

} // namespace

OutcomeKind DetectDevice(CCommandExchange& ex) {
    return script::Run(ex, kDetect).kind;
}

OutcomeKind CheckMultiConnection(CCommandExchange& ex) {
    return script::Run(ex, kCheckMulti).kind;
}

OutcomeKind WakeUp(CCommandExchange& ex, WakeFor purpose) {
    if (purpose == WakeFor::Reset)
        return script::Run(ex, kWakeForReset).kind;
    return script::Run(ex, kWakeForQuery).kind;
}

DeviceInfoResult ReadDeviceInfo(CCommandExchange& ex, InfoLines& lines, ResumeRule rule,
                                const std::function<void()>& onEscaped) {
    const script::Result wake = script::Run(ex, kWakeForQuery);
    if (!wake.Succeeded())
        return {wake.kind, {}};
    // "at" or the escape answered: result messages are on. The adapter goes
    // back to its link after the escape, and after "at" in the main window.
    const bool responseOn = wake.endedAt == 0 || wake.endedAt == kWakeEscapeStep;
    const bool resume =
        wake.endedAt == kWakeEscapeStep || (wake.endedAt == 0 && rule == ResumeRule::AfterAnyOk);
    if (wake.endedAt == kWakeEscapeStep && onEscaped)
        onEscaped();
    const std::span<const Step> body = resume       ? std::span<const Step>(kReportBackToLink)
                                       : responseOn ? std::span<const Step>(kReportInCommandMode)
                                                    : std::span<const Step>(kReportResponsesOff);
    const script::Result report = script::Run(ex, body);
    if (!report.Succeeded())
        return {report.kind, {}}; // what was read may be cut short
    lines.m_strInfoResponse = responseOn ? "Command Response: ON" : "Command Response: OFF";
    return {OutcomeKind::Succeeded, ParseDeviceInfo(report.ReplyOf(0), lines)};
}

OutcomeKind ResetAndConfirm(CCommandExchange& ex) {
    return script::Run(ex, kResetConfirmed).kind;
}

OutcomeKind ResetBlind(CCommandExchange& ex) {
    return script::Run(ex, kResetBlind).kind;
}

OutcomeKind WriteWizardMaster(CCommandExchange& ex, const std::array<std::string, 5>& slots,
                              NetworkSize size, bool disableResponse, ConnectionMode mode) {
    std::vector<Step> steps;
    for (int k = 0; k < 4; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool inRun = k < SlaveCount(size); // S55 from 1:3, S56 at 1:4
        steps.push_back(inRun ? Bare(kAddressWrites[i], kShortMs, k + 1)
                              : Bare(kAddressClears[i], kShortMs));
    }
    steps.push_back(Bare(cmd::kBtCancel, kCancelMs));
    steps.push_back(Bare(cmd::kBtModeMaster, kShortMs));
    steps.push_back(Bare(ResultMessages(disableResponse), kShortMs));
    steps.push_back(Bare(ModeWrite(mode), kShortMs));
    return script::Run(ex, steps, slots).kind;
}

OutcomeKind WriteWizardSlave(CCommandExchange& ex, const std::string& masterAddress,
                             bool disableResponse) {
    const Step steps[] = {
        Bare(cmd::kAts46Write, kShortMs, 0),             // its master
        Bare(cmd::kBtCancel, kCancelMs),                 //
        Bare(cmd::kBtModeSlave, kShortMs),               //
        Bare(ResultMessages(disableResponse), kShortMs), //
        Bare(cmd::kRestart, kShortMs),                   // takes the settings
    };
    return script::Run(ex, steps, std::span(&masterAddress, 1)).kind;
}

MasterWriteResult WriteManualMaster(CCommandExchange& ex, const std::array<bool, 4>& use,
                                    const std::array<std::string, 4>& addresses, bool alreadyMode1,
                                    ConnectionMode mode, bool disableResponse) {
    constexpr int kNoMulti = static_cast<int>(MasterFailure::NoMultiConnection);
    constexpr int kRejected = static_cast<int>(MasterFailure::Rejected);
    MasterWriteResult r;
    r.kind = DetectDevice(ex);
    if (r.kind != OutcomeKind::Succeeded) {
        r.failure = MasterFailure::NotDetected;
        return r;
    }
    std::vector<Step> steps = {Ask(cmd::kAts53Query, kShortMs, reply::kError, kFail, kNext)};
    steps[0].failure = kNoMulti;
    for (std::size_t k = 0; k < 4; ++k) {
        steps.push_back(use[k]
                            ? Needs(kAddressWrites[k], kRegisterMs, kRejected, static_cast<int>(k))
                            : Needs(kAddressClears[k], kRegisterMs, kRejected));
        r.used += use[k] ? 1 : 0;
    }
    const int modeStep = alreadyMode1 ? -1 : static_cast<int>(steps.size());
    if (!alreadyMode1)
        steps.push_back(Needs(cmd::kBtModeMaster, kRegisterMs, kRejected));
    steps.push_back(Needs(ModeWrite(mode), kMultiModeMs, kRejected));
    steps.push_back(Bare(ResultMessages(disableResponse), 0));
    const script::Result run = script::Run(ex, steps, addresses);
    r.kind = run.kind;
    r.failure = static_cast<MasterFailure>(run.failure);
    r.modeWritten = modeStep >= 0 && run.endedAt > modeStep;
    return r;
}

OutcomeKind WriteManualSlave(CCommandExchange& ex, const std::string& masterAddress,
                             bool disableResponse, bool* clearedMulti) {
    const OutcomeKind found = DetectDevice(ex);
    if (found != OutcomeKind::Succeeded)
        return found;
    const Step steps[] = {
        /* 0 */ Needs(cmd::kAts46Write, kShortMs, 0, 0),
        // A former master of either mode leaves its mode first.
        /* 1 */ Ask(cmd::kAts53Query, kShortMs, "1", kNext, 3, "2"),
        /* 2 */ Needs(cmd::kAts53Off, kMultiOffMs),
        /* 3 */ Needs(cmd::kBtModeSlave, kShortMs),
        /* 4 */ Bare(ResultMessages(disableResponse), kShortMs),
        /* 5 */ Bare(cmd::kRestart, 0),
    };
    const script::Result run = script::Run(ex, steps, std::span(&masterAddress, 1));
    if (clearedMulti != nullptr)
        *clearedMulti = std::any_of(run.transcript.begin(), run.transcript.end(),
                                    [](const script::Exchanged& e) { return e.step == 2; });
    return run.kind;
}

MasterRegisters ReadMasterRegisters(CCommandExchange& ex) {
    constexpr Step kRead[] = {kAskS46, kAskS54, kAskS55, kAskS56, kAskS10, kAskS53};
    constexpr const char* kNames[] = {"S46", "S54", "S55", "S56", "S10", "S53"};
    const script::Result run = script::Run(ex, kRead);
    MasterRegisters r;
    r.kind = run.kind;
    for (int k = 0; k < 4; ++k) {
        r.slaves[static_cast<std::size_t>(k)] = AddressFromReadback(run.ReplyOf(k));
        if (!r.slaves[static_cast<std::size_t>(k)].read)
            r.unread.emplace_back(kNames[k]);
    }
    // A setting's reply holds its value unless nothing or an error came.
    auto setting = [&](int k) {
        const std::string reply = run.ReplyOf(k);
        if (reply.empty() || reply::Contains(reply, reply::kError))
            r.unread.emplace_back(kNames[k]);
        return reply;
    };
    r.responsesOn = reply::Contains(setting(4), "1");
    r.mode = reply::Contains(setting(5), "2") ? ConnectionMode::NodeSwitching
                                              : ConnectionMode::MultiDrop;
    return r;
}

SettingReplies QuerySettings(CCommandExchange& ex, bool master) {
    constexpr Step kQueries[] = {kAskS10, kAskS53, kAskS46, kAskS54, kAskS55, kAskS56};
    const std::span<const Step> steps(kQueries, master ? 6 : 3);
    const script::Result run = script::Run(ex, steps);
    SettingReplies r{run.kind, {}};
    for (int k = 0; k < static_cast<int>(steps.size()); ++k)
        r.replies.push_back(run.ReplyOf(k));
    return r;
}

} // namespace nw
