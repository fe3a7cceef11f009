// verify: the attached adapter read back (nothing written but what the
// reading itself needs) and each field compared with what master or slave
// with the same options would write.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "app/cli/JsonText.h"
#include "protocol/Verify.h"
#include "ui/Messages.h"

#include <algorithm>

namespace nw::cli {

int RunVerify(CCliSession& session) {
    const CliOptions& o = session.Options();
    IntendedSettings intended;
    intended.master = o.verifyMaster;
    intended.mode = o.mode == ModeChoice::NodeSwitching ? ConnectionMode::NodeSwitching
                                                        : ConnectionMode::MultiDrop;
    for (std::size_t k = 0; k < 4; ++k)
        intended.slaves[k] = o.slaves[k].value_or("");
    intended.masterAddress = o.masterAddress;
    intended.disableResponse = o.disableResponse;

    Readback read;
    {
        CWaitCursor wait(session.Host());
        session.Dlg().Exchange().BeginOperation();
        read = VerifyAdapter(session.Dlg().Exchange(), intended);
    }
    const auto differing = static_cast<int>(
        std::count_if(read.fields.begin(), read.fields.end(), [](const auto& f) { return !f.ok; }));
    const int code = read.kind != OutcomeKind::Succeeded ? kExitFailure
                     : differing != 0                    ? kExitDiffers
                                                         : kExitSuccess;

    const std::string verification = VerificationText(read);
    session.Dlg().RecordStep(
        {.role = intended.master ? "master" : "slave",
         .address = read.address,
         .name = read.name,
         .operation = "verify",
         .verification = verification,
         .outcome = code == kExitSuccess ? "succeeded"
                    : read.kind == OutcomeKind::LineGone
                        ? "line-gone: " + read.failure
                        : "failed: " + (code == kExitDiffers ? verification : read.failure)});

    CTerminalConsole& console = session.Console();
    if (o.json) {
        Json json;
        json["ok"] = code == kExitSuccess;
        json["role"] = intended.master ? "master" : "slave";
        json["fields"] = Json::array();
        for (const FieldCheck& f : read.fields) {
            json["fields"].push_back(
                {{"name", f.name}, {"value", f.value}, {"expected", f.expected}, {"ok", f.ok}});
        }
        if (read.kind != OutcomeKind::Succeeded)
            json["error"] = read.failure;
        console.Result(JsonText(json));
        return code;
    }
    if (read.kind != OutcomeKind::Succeeded) {
        console.Result(read.found ? "NOT VERIFIED: " + read.failure
                                  : std::string(msg::kNotDetected));
        return code;
    }
    for (const FieldCheck& f : read.fields)
        console.Result(f.name + ": " + f.value + (f.ok ? " ok" : " expected " + f.expected));
    console.Result(differing == 0
                       ? std::string("VERIFIED")
                       : "NOT VERIFIED: " + std::to_string(differing) + " field(s) differ");
    return code;
}

} // namespace nw::cli
