// doctor: what stands in the way of using a port, one block per finding.
#include "app/cli/CliParser.h"
#include "app/cli/Commands.h"
#include "serial/PortDoctor.h"

namespace nw::cli {

namespace {

void PrintFinding(CTerminalConsole& console, const DoctorFinding& finding) {
    console.Result("  Problem: " + finding.problem);
    for (std::size_t k = 0; k < finding.fix.size(); ++k)
        console.Result((k == 0 ? "  Fix:     " : "           ") + finding.fix[k]);
    console.Result("");
}

} // namespace

int RunDoctor(const CliOptions& options, const CliEnv& env, CTerminalConsole& console) {
    const DoctorRoots roots{env.sysRoot, env.devRoot, env.procRoot,
                            env.etcRoot, env.libRoot, env.usrRoot};
    const DoctorReport report = CPortDoctor(roots, env.identity).Examine(options.port);
    if (!report.unavailable.empty()) {
        console.Result(report.unavailable);
        return kExitFailure;
    }
    std::size_t problems = report.general.size();
    for (const DoctorFinding& finding : report.general)
        PrintFinding(console, finding);
    for (const PortCheckup& port : report.ports) {
        if (port.findings.empty()) {
            console.Result(port.title + ": no problems found.");
            continue;
        }
        console.Result(port.title + ":");
        for (const DoctorFinding& finding : port.findings)
            PrintFinding(console, finding);
        problems += port.findings.size();
    }
    if (problems == 0) {
        console.Result("No problems found.");
        return kExitSuccess;
    }
    console.Result(std::to_string(problems) + (problems == 1 ? " problem" : " problems") +
                   " found.");
    return kExitFailure;
}

} // namespace nw::cli
