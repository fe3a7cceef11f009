#include "app/cli/RunCli.h"

#include "app/cli/CliParser.h"
#include "app/cli/CliSession.h"
#include "app/cli/Commands.h"

#include <chrono>

namespace nw::cli {

namespace {

// The commands whose --json result is all their stdout holds.
bool HasJsonResult(CliCommand command) {
    return command == CliCommand::Check || command == CliCommand::Detect ||
           command == CliCommand::AutoFill || command == CliCommand::Verify;
}

int RunWindowCommand(CCliSession& session, std::istream& in) {
    switch (session.Options().command) {
    case CliCommand::Check:
        return RunCheck(session);
    case CliCommand::Detect:
        return RunDetect(session);
    case CliCommand::Reset:
        return session.Options().manual ? RunManualReset(session) : RunReset(session);
    case CliCommand::Master:
        return RunMaster(session);
    case CliCommand::Slave:
        return RunSlave(session);
    case CliCommand::AutoFill:
        return RunAutoFill(session);
    case CliCommand::Wizard:
        return RunWizard(session, in);
    case CliCommand::Verify:
        return RunVerify(session);
    case CliCommand::Ports:
    case CliCommand::Doctor:
        break;
    }
    return kExitUsage;
}

int RunCommandLine(int argc, const char* const* argv, std::istream& in, std::ostream& out,
                   std::ostream& err, CliEnv env) {
    CRealPacer realPacer;
    if (env.pacer == nullptr)
        env.pacer = &realPacer;
    if (!env.elapsedMs) {
        const auto start = std::chrono::steady_clock::now();
        env.elapsedMs = [start] {
            return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                             start)
                .count();
        };
    }

    const ParseOutcome parsed = ParseCommandLine(argc, argv, out, err);
    if (!parsed.options)
        return parsed.exitCode;
    const CliOptions& options = *parsed.options;

    CTerminalConsole console(out, err, env.stdoutIsTerminal, env.stderrIsTerminal);
    if (options.command == CliCommand::Ports)
        return RunPorts(env, console);
    if (options.command == CliCommand::Doctor)
        return RunDoctor(options, env, console);
    console.KeepStdoutForResult(options.json && HasJsonResult(options.command));
    CCliSession session(options, env, console);
    if (!session.OpenPort())
        return kExitUsage;
    return RunWindowCommand(session, in);
}

} // namespace

int RunCli(int argc, const char* const* argv, std::istream& in, std::ostream& out,
           std::ostream& err, const CliEnv& env) {
    const int code = RunCommandLine(argc, argv, in, out, err, env);
    // A result nobody could read (a full disk, a closed pipe) is no success.
    if (!out.flush()) {
        err << "nodewright-cli: standard output could not be written: the result is lost\n"
            << std::flush;
        return code == kExitSuccess ? kExitFailure : code;
    }
    return code;
}

} // namespace nw::cli
