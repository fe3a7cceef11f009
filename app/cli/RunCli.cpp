#include "app/cli/RunCli.h"

#include "app/cli/CliParser.h"
#include "app/cli/CliRecords.h"
#include "app/cli/CliSession.h"
#include "app/cli/Commands.h"

#include <chrono>
#include <fstream>

namespace nw::cli {

namespace {

// The commands whose --json result is all their stdout holds.
bool HasJsonResult(CliCommand command) {
    return command == CliCommand::Check || command == CliCommand::Detect ||
           command == CliCommand::AutoFill || command == CliCommand::Verify ||
           command == CliCommand::Network;
}

// The commands --record keeps rows of.
bool Recorded(CliCommand command) {
    return command == CliCommand::Check || command == CliCommand::Master ||
           command == CliCommand::Slave || command == CliCommand::Verify ||
           command == CliCommand::Wizard || command == CliCommand::Network;
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
    case CliCommand::Network:
    case CliCommand::Records:
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

    std::ofstream log; // appended to, never truncated; created with the user's umask
    CTerminalConsole console(out, err, env.stdoutIsTerminal, env.stderrIsTerminal);
    if (!options.logFile.empty()) {
        log.open(options.logFile, std::ios::out | std::ios::app | std::ios::binary);
        if (!log) {
            err << "nodewright-cli: cannot open the log file " << options.logFile << '\n'
                << std::flush;
            return kExitUsage;
        }
        console.LogTo(&log);
    }
    if (options.command == CliCommand::Ports)
        return RunPorts(env, console, options.json, options.watch);
    if (options.command == CliCommand::Records)
        return RunRecords(options, console, out);
    if (options.command == CliCommand::Doctor)
        return RunDoctor(options, env, console);
    console.KeepStdoutForResult(options.json && HasJsonResult(options.command));

    // Without its database a recorded run does nothing: the adapter is left
    // alone, as with a port that cannot be opened.
    bool lost = false;
    std::unique_ptr<IStepRecorder> recorder;
    if (options.record && Recorded(options.command)) {
        std::string error;
        recorder = OpenRecorder(
            options,
            [&](const std::string& why) {
                lost = true;
                console.Note("nodewright-cli: " + why + ": the row of this step is lost");
            },
            error);
        if (!recorder) {
            console.Note("nodewright-cli: --record: " + error +
                         " (nothing done; without --record nothing is recorded)");
            return kExitUsage;
        }
    }
    if (options.command == CliCommand::Network) { // opens a port per adapter itself
        const int code = RunNetwork(options, env, console, recorder.get());
        return lost && code == kExitSuccess ? kExitFailure : code;
    }
    CCliSession session(options, env, console);
    session.Dlg().m_recorder = recorder.get();
    if (!session.OpenPort())
        return kExitUsage;
    const int code = RunWindowCommand(session, in);
    // An operation whose row is lost does not end in success.
    return lost && code == kExitSuccess ? kExitFailure : code;
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
