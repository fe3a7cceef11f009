#include "protocol/Script.h"

#include "protocol/Dialect.h"

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

// The wait after a command: the step's pause, none once the line is gone.
void Wait(CCommandExchange& ex, const Step& s) {
    if (s.pauseMs != 0)
        ex.Pause(s.pauseMs);
}

std::string Say(CCommandExchange& ex, const Step& s, const std::string& command) {
    switch (s.send) {
    case Send::Exchange:
        if (ex.LineGone()) {
            ex.m_strResponse.clear();
            return {};
        }
        ex.Drain();
        if (ex.Write(command.c_str()))
            Wait(ex, s);
        ex.Collect();
        return ex.m_strResponse;
    case Send::Gather:
        ex.Write(command.c_str());
        Wait(ex, s);
        ex.Collect();
        return ex.m_strResponse;
    case Send::Bare:
        if (ex.Write(command.c_str()))
            Wait(ex, s);
        return {};
    case Send::Wait:
        Wait(ex, s);
        return {};
    }
    return {};
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
    for (int i = 0; i < count;) {
        const Step& s = steps[static_cast<std::size_t>(i)];
        std::string command;
        if (s.command != nullptr) {
            const bool filled = s.arg >= 0 && static_cast<std::size_t>(s.arg) < args.size();
            command =
                filled ? cmd::FormatAddressWrite(s.command, args[static_cast<std::size_t>(s.arg)])
                       : std::string(s.command);
        }
        Exchanged e{i, command, s.pauseMs, Say(ex, s, command), false};
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
