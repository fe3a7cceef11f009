#include "protocol/Script.h"

#include "protocol/Dialect.h"
#include "protocol/FinalResult.h"

#include <algorithm>
#include <chrono>
#include <optional>

namespace nw::script {

namespace {

bool Holds(const std::string& reply, const Step& s) {
    auto found = [&](const char* keyword) {
        if (keyword == nullptr)
            return false;
        return s.where == Where::Exact ? reply == keyword : reply::Contains(reply, keyword);
    };
    return s.keyword == nullptr || found(s.keyword) || found(s.orKeyword);
}

// One run's pacing state: whether the wait before went by the reply.
struct Pace {
    bool replied = false;
};

// The wait after a step: its pause (or the profile's), none once the line is
// gone. With reply pacing it ends on the command's final result plus a
// guard, never later than the pause; the whole pause stays around the escape
// (`whole`: the next step may be the escape) and after a restart. A pause
// alone follows a command already answered: its guard is enough then.
void Wait(CCommandExchange& ex, const Step& s, const std::string& command, bool whole, Pace& pace) {
    const PacingPolicy& policy = ex.Pacing();
    const std::uint32_t pause = policy.PauseFor(command, s.pauseMs);
    if (pause == 0 || ex.LineGone())
        return;
    const auto start = std::chrono::steady_clock::now();
    const bool byReply = policy.mode == PacingMode::Reply && !whole && !IsEscape(command) &&
                         !RestartsAdapter(command);
    bool replied = false;
    if (byReply && command.empty() && pace.replied) {
        ex.Pause(std::min(pause, policy.guardMs));
        replied = true;
    } else if (byReply && !command.empty()) {
        if (const std::optional<double> used = ex.AwaitReply(pause)) {
            const double left = std::max(0.0, static_cast<double>(pause) - *used);
            ex.Pause(static_cast<std::uint32_t>(
                std::min(left, static_cast<double>(policy.GuardFor(command)))));
            replied = true;
        }
    } else {
        ex.Pause(pause);
    }
    pace.replied = replied;
    if (ex.onWait) {
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        ex.onWait({command, pause, took.count(), replied});
    }
}

std::string Say(CCommandExchange& ex, const Step& s, const std::string& command, bool whole,
                Pace& pace) {
    switch (s.send) {
    case Send::Exchange:
        if (ex.LineGone()) {
            ex.m_strResponse.clear();
            return {};
        }
        ex.Drain();
        if (ex.Write(command.c_str()))
            Wait(ex, s, command, whole, pace);
        ex.Collect();
        return ex.m_strResponse;
    case Send::Gather:
        ex.Write(command.c_str());
        Wait(ex, s, command, whole, pace);
        ex.Collect();
        return ex.m_strResponse;
    case Send::Bare:
        if (ex.Write(command.c_str()))
            Wait(ex, s, command, whole, pace);
        return {};
    case Send::Wait:
        Wait(ex, s, command, whole, pace);
        return {};
    }
    return {};
}

// True when step i may go on to the escape: the adapter then needs the
// whole silence before it.
bool MayLeadToEscape(std::span<const Step> steps, int i) {
    const Step& s = steps[static_cast<std::size_t>(i)];
    for (const int go : {s.onHit, s.onMiss}) {
        const int to = go == kNext ? i + 1 : go;
        if (to > i && to < static_cast<int>(steps.size())) {
            const char* next = steps[static_cast<std::size_t>(to)].command;
            if (next != nullptr && IsEscape(next))
                return true;
        }
    }
    return false;
}

} // namespace

std::string Result::ReplyOf(int step) const {
    for (auto it = transcript.rbegin(); it != transcript.rend(); ++it) {
        if (it->step == step)
            return it->reply;
    }
    return {};
}

Result Run(CCommandExchange& ex, std::span<const Step> steps, std::span<const std::string> args) {
    Result r;
    const int count = static_cast<int>(steps.size());
    bool failed = false;
    Pace pace;
    for (int i = 0; i < count;) {
        const Step& s = steps[static_cast<std::size_t>(i)];
        std::string command;
        if (s.command != nullptr) {
            const bool filled = s.arg >= 0 && static_cast<std::size_t>(s.arg) < args.size();
            command =
                filled ? cmd::FormatAddressWrite(s.command, args[static_cast<std::size_t>(s.arg)])
                       : std::string(s.command);
        }
        const std::uint32_t pause = ex.Pacing().PauseFor(command, s.pauseMs);
        Exchanged e{i, command, pause, Say(ex, s, command, MayLeadToEscape(steps, i), pace), false};
        e.hit = Holds(e.reply, s);
        const int go = e.hit ? s.onHit : s.onMiss;
        r.endedAt = i;
        r.transcript.push_back(std::move(e));
        if (go == kFail) {
            failed = true;
            r.failure = s.failure;
            break;
        }
        if (go == kDone)
            break;
        // Jumps only go forward, so every run ends.
        i = go > i ? go : i + 1;
    }
    if (ex.LineGone())
        r.kind = OutcomeKind::LineGone;
    else
        r.kind = failed ? OutcomeKind::Failed : OutcomeKind::Succeeded;
    return r;
}

} // namespace nw::script
