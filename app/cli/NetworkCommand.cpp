// network: station mode. Every adapter on its own port; a line per step,
// "ROLE PORT: TEXT", then the run's summary line.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonText.h"
#include "app/cli/LineTrace.h"
#include "station/Station.h"

namespace nw::cli {

namespace {

std::uint8_t ParityCode(const std::string& parity) {
    return parity == "odd" ? 1 : parity == "even" ? 2 : 0;
}

int ExitCode(station::StationVerdict verdict) {
    switch (verdict) {
    case station::StationVerdict::Complete:
        return kExitSuccess;
    case station::StationVerdict::Differs:
        return kExitDiffers;
    case station::StationVerdict::NotStarted:
        return kExitUsage;
    case station::StationVerdict::StepFailed:
        break;
    }
    return kExitFailure;
}

} // namespace

int RunNetwork(const CliOptions& o, const CliEnv& env, CTerminalConsole& console,
               IStepRecorder* recorder) {
    station::StationOptions s;
    s.masterPort = o.masterPort;
    s.slavePorts = o.slavePorts;
    s.baud = o.baud;
    s.stopBits = o.stopBits == 2 ? 2 : 0;
    s.parity = ParityCode(o.parity);
    s.mode = o.mode == ModeChoice::NodeSwitching ? ConnectionMode::NodeSwitching
                                                 : ConnectionMode::MultiDrop;
    s.disableResponse = o.disableResponse;
    s.verify = !o.noVerify;
    s.pacing = o.pacing;
    s.lineTrace = [&](const std::string& role, bool written, std::string_view bytes) {
        if (env.lineObserver)
            env.lineObserver(written, bytes.size());
        if (o.trace)
            console.Note(role + " " + TraceLine(env.elapsedMs(), written, bytes));
    };

    Json events = Json::array();
    const station::StationResult result =
        RunStation(s, *env.pacer, [&](const station::StationEvent& e) {
            console.Show(e.role + " " + e.port + ": " + e.text);
            events.push_back({{"role", e.role},
                              {"port", e.port},
                              {"operation", e.operation},
                              {"text", e.text},
                              {"address", e.address},
                              {"name", e.name},
                              {"settings", e.settings},
                              {"verification", e.verification},
                              {"outcome", station::OutcomeName(e.outcome)}});
            if (recorder != nullptr) { // the rows of one network share its run id
                StepRecord r;
                r.port = e.port;
                r.role = e.role;
                r.address = e.address;
                r.name = e.name;
                r.operation = "network-" + e.operation;
                r.settings = e.settings;
                r.verification = e.verification;
                r.outcome = e.outcome == station::StepOutcome::Succeeded
                                ? std::string("succeeded")
                                : std::string(station::OutcomeName(e.outcome)) + ": " + e.text;
                r.startsRun = events.size() == 1;
                recorder->StepEnded(r);
            }
        });
    const int code = ExitCode(result.verdict);
    if (o.json) {
        Json json;
        json["ok"] = code == kExitSuccess;
        json["summary"] = result.summary;
        json["events"] = events;
        console.Result(JsonText(json));
    } else {
        console.Show(result.summary);
    }
    return code;
}

} // namespace nw::cli
