#include "ui/StepRecorder.h"

#include "protocol/Dialect.h"

namespace nw {

std::string OutcomeText(const Outcome& outcome) {
    switch (outcome.kind) {
    case OutcomeKind::Succeeded:
        return "succeeded";
    case OutcomeKind::Failed:
        return outcome.message.empty() ? "failed" : "failed: " + outcome.message;
    case OutcomeKind::LineGone:
        return outcome.message.empty() ? "line-gone" : "line-gone: " + outcome.message;
    }
    return "failed";
}

std::string SettingsText(const IntendedSettings& intended) {
    const std::string s10 = intended.disableResponse ? "0" : "1";
    if (!intended.master)
        return "S46=" + intended.masterAddress + (intended.clearsMulti ? ";S53=0" : "") +
               ";MODE=2;S10=" + s10;
    static constexpr const char* kRegisters[] = {"S46", "S54", "S55", "S56"};
    std::string text;
    for (std::size_t k = 0; k < intended.slaves.size(); ++k) {
        const std::string& address = intended.slaves[k];
        text +=
            std::string(kRegisters[k]) + "=" + (address.empty() ? cmd::kNoAddress : address) + ";";
    }
    const char* s53 = intended.mode == ConnectionMode::NodeSwitching ? "2" : "1";
    return text + "MODE=1;S53=" + s53 + ";S10=" + s10;
}

std::string VerificationText(const Readback& readback) {
    if (readback.kind != OutcomeKind::Succeeded)
        return "not read: " + (readback.found ? readback.failure : std::string("no adapter"));
    int differing = 0;
    std::string names;
    for (const FieldCheck& f : readback.fields) {
        if (f.ok)
            continue;
        names += (differing++ == 0 ? "" : ",") + f.name;
    }
    if (differing == 0)
        return "verified";
    return std::to_string(differing) + " field(s) differ: " + names;
}

std::string ReportValue(const std::string& line) {
    const auto colon = line.find(": ");
    return colon == std::string::npos ? line : line.substr(colon + 2);
}

} // namespace nw
