#include "app/cli/CliParser.h"

#include "app/cli/TimingProfile.h"
#include "protocol/Dialect.h"
#include "serial/LineSettings.h"

#include <CLI/CLI.hpp>

#include <vector>

#ifndef NW_VERSION
#define NW_VERSION "unknown"
#endif

namespace nw::cli {

namespace {

constexpr char kUsageLine[] = "Usage: nodewright-cli [OPTIONS] COMMAND [COMMAND OPTIONS]";

// An address reaches the adapter inside a command line: a control byte in it
// would end or garble that line.
std::optional<std::string> CheckAddresses(const CliOptions& o) {
    for (std::size_t k = 0; k < o.slaves.size(); ++k) {
        if (o.slaves[k] && cmd::HasControlChar(*o.slaves[k]))
            return "--slave" + std::to_string(k + 1) + ": control character in the address";
    }
    if (cmd::HasControlChar(o.masterAddress))
        return std::string("--master: control character in the address");
    return std::nullopt;
}

// A value given as "" is a mistake (an unset shell variable), not a request
// for the default.
const CLI::Validator kNotEmpty(
    [](std::string& value) { return value.empty() ? std::string("empty value") : std::string(); },
    "NOT EMPTY");

CLI::App* AddCommand(CLI::App& app, const char* name, const char* description) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->fallthrough(); // global options may also follow the command
    sub->group("Commands");
    return sub;
}

void AddModeOptions(CLI::App* sub, std::string& mode, bool& disable) {
    sub->add_option("--mode", mode, "Connection mode the master gets")
        ->check(kNotEmpty)
        ->check(CLI::IsMember({"multi-drop", "node-switching"}));
    sub->add_flag("--disable-response", disable,
                  "Tick \"Disable (OK, ERROR, CONNET, DISCONNET Message)\"");
}

// Prints the usage line and `reason` to `err`; returns the usage error's exit code.
int UsageError(std::ostream& err, const std::string& reason) {
    err << kUsageLine << '\n'
        << "nodewright-cli: error: " << reason << '\n'
        << "Run 'nodewright-cli --help' for the commands and their options.\n"
        << std::flush;
    return kExitUsage;
}

} // namespace

ParseOutcome ParseCommandLine(int argc, const char* const* argv, std::ostream& out,
                              std::ostream& err) {
    CLI::App app{"Configures OLMA Bluetooth serial adapters (one master, two to four slaves) "
                 "over a serial line, as the Nodewright windows do.",
                 "nodewright-cli"};
    app.get_formatter()->label("SUBCOMMAND", "COMMAND");
    app.set_version_flag("--version", "nodewright-cli " NW_VERSION);
    app.require_subcommand(1);
    app.fallthrough();
    app.footer("Exit status: 0 success, 1 the operation ended in a failure message, "
               "2 usage error or a port cannot be opened, 3 verify, network: a field differs.");

    CliOptions o;
    std::string mode;
    std::vector<std::uint32_t> rates(kBaudRates.begin(), kBaudRates.end());
    app.add_option("-p,--port", o.port,
                   "Device path (Linux/macOS) or COMn (Windows); required except by ports "
                   "and doctor")
        ->check(kNotEmpty);
    app.add_option("-b,--baud", o.baud, "Baud rate")
        ->check(kNotEmpty)
        ->check(CLI::IsMember(rates))
        ->capture_default_str();
    app.add_option("--parity", o.parity, "none | even | odd")
        ->check(kNotEmpty)
        ->check(CLI::IsMember({"none", "even", "odd"}))
        ->capture_default_str();
    app.add_option("--stop-bits", o.stopBits, "1 | 2")
        ->check(kNotEmpty)
        ->check(CLI::IsMember({1, 2}))
        ->capture_default_str();
    app.add_flag("--trace", o.trace, "Every byte written and read, time-stamped, on stderr");
    app.add_flag("--json", o.json,
                 "Machine-readable result on stdout (check, detect, autofill, verify, network)");
    app.add_flag("--record", o.record,
                 "Append a row per adapter step to the records database (check, master, slave, "
                 "verify, wizard, network)");
    app.add_option("--db", o.db,
                   "The records database (default $XDG_DATA_HOME/nodewright/records.sqlite)")
        ->check(kNotEmpty);
    app.add_option("--log", o.logFile,
                   "Append the trace and every text, time-stamped, to this file")
        ->check(kNotEmpty);
    std::string pacing = "spec";
    std::string profile;
    app.add_option("--pacing", pacing,
                   "spec: every fixed pause in full; reply: a wait ends once the adapter has "
                   "answered, plus a guard")
        ->check(kNotEmpty)
        ->check(CLI::IsMember({"spec", "reply"}))
        ->capture_default_str();
    app.add_option("--profile", profile,
                   "TOML or JSON file setting the guard and any command's pause and guard")
        ->check(kNotEmpty);

    CLI::App* ports = AddCommand(app, "ports", "List the serial ports, one per line");
    ports->add_flag("--watch", o.watch, "Print a line per port added or removed until interrupted");
    CLI::App* check = AddCommand(app, "check", "The main window's \"Check OLMA\"");
    CLI::App* detect =
        AddCommand(app, "detect", "Device detection, then the multiple connection query");
    CLI::App* master = AddCommand(app, "master", "The manual window's \"Master Set\"");
    for (std::size_t k = 0; k < 4; ++k) {
        const std::string name = "--slave" + std::to_string(k + 1);
        master->add_option(name, o.slaves[k],
                           "Tick Use " + std::to_string(k + 1) + " with this slave address");
    }
    AddModeOptions(master, mode, o.disableResponse);
    CLI::App* slave = AddCommand(app, "slave", "The manual window's \"Slave Set\"");
    slave->add_option("--master", o.masterAddress, "The master's address")->required();
    slave->add_flag("--disable-response", o.disableResponse,
                    "Tick \"Disable (OK, ERROR, CONNET, DISCONNET Message)\"");
    CLI::App* reset = AddCommand(app, "reset", "\"Factory Reset\" of the main window");
    reset->add_flag("--manual", o.manual, "Use the manual window's \"Factory Reset\" instead");
    CLI::App* autofill = AddCommand(
        app, "autofill", "The manual window's \"Auto Fill\": the master's slaves and mode");
    CLI::App* wizard =
        AddCommand(app, "wizard", "The guided setting, one line of standard input per press");
    wizard->footer("Lines of standard input: an empty line or \"next\" presses Start/Next/Retry;\n"
                   "\"restart\", \"reset\" (factory reset), \"check\" press those buttons;\n"
                   "\"quit\" or the end of input ends the wizard.");
    wizard->add_option("--n", o.slaveCount, "Number of slaves")
        ->check(kNotEmpty)
        ->check(CLI::IsMember({2, 3, 4}))
        ->capture_default_str();
    AddModeOptions(wizard, mode, o.disableResponse);
    wizard->add_flag("--verify", o.verify,
                     "Read each adapter back at the end of its step; a field that differs "
                     "fails the step");
    AddCommand(app, "doctor", "Why a port (-p, or every port) cannot be used, and how to fix it")
        ->footer("Exit status: 0 nothing is wrong, 1 a problem was found.");
    CLI::App* verify = AddCommand(app, "verify",
                                  "Read the attached adapter back and compare it with what "
                                  "master or slave would write; writes nothing");
    verify->require_subcommand(1);
    CLI::App* verifyMaster = verify->add_subcommand("master", "As master with these options");
    verifyMaster->fallthrough();
    for (std::size_t k = 0; k < 4; ++k) {
        verifyMaster->add_option("--slave" + std::to_string(k + 1), o.slaves[k],
                                 "Slave " + std::to_string(k + 1) + "'s address");
    }
    AddModeOptions(verifyMaster, mode, o.disableResponse);
    CLI::App* verifySlave = verify->add_subcommand("slave", "As slave with these options");
    verifySlave->fallthrough();
    verifySlave->add_option("--master", o.masterAddress, "The master's address")->required();
    verifySlave->add_flag("--disable-response", o.disableResponse,
                          "Tick \"Disable (OK, ERROR, CONNET, DISCONNET Message)\"");
    CLI::App* records =
        AddCommand(app, "records", "Print the recorded adapter steps, oldest first");
    records->add_option("--address", o.recordsAddress, "Only this adapter's rows (any case)")
        ->check(kNotEmpty);
    records
        ->add_option("--since", o.recordsSince,
                     "Only rows from this time on: 2026-12-07, 2026-12-07T11:05[:00], "
                     "optionally with Z or +01:00 (else UTC)")
        ->check(kNotEmpty);
    records->add_option("--format", o.recordsFormat, "table | csv | json")
        ->check(CLI::IsMember({"table", "csv", "json"}))
        ->capture_default_str();

    CLI::App* network = AddCommand(app, "network",
                                   "Station mode: every adapter on its own port; reads the "
                                   "master, sets the slaves side by side, sets the master, "
                                   "verifies each");
    network->add_option("--master", o.masterPort, "The master's port")
        ->check(kNotEmpty)
        ->required();
    network->add_option("--slave", o.slavePorts, "A slave's port, once per slave (2 to 4)")
        ->check(kNotEmpty)
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->required();
    AddModeOptions(network, mode, o.disableResponse);
    network->add_flag("--no-verify", o.noVerify, "Do not read the adapters back at the end");

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) { // --help, --help-all, --version
        app.exit(e, out, err);
        out.flush();
        return {std::nullopt, kExitSuccess};
    } catch (const CLI::ParseError& e) {
        // A word that names no command is left over when the command is missing.
        const std::vector<std::string> left = app.remaining();
        if (app.get_subcommands().empty() && !left.empty())
            return {std::nullopt, UsageError(err, "unknown command: " + left.front())};
        return {std::nullopt, UsageError(err, e.what())};
    }

    const std::pair<CLI::App*, CliCommand> commands[] = {
        {ports, CliCommand::Ports},       {check, CliCommand::Check},
        {detect, CliCommand::Detect},     {master, CliCommand::Master},
        {slave, CliCommand::Slave},       {reset, CliCommand::Reset},
        {autofill, CliCommand::AutoFill}, {wizard, CliCommand::Wizard},
        {verify, CliCommand::Verify},     {network, CliCommand::Network},
        {records, CliCommand::Records},   {app.get_subcommand("doctor"), CliCommand::Doctor}};
    for (const auto& [sub, command] : commands) {
        if (sub->parsed())
            o.command = command;
    }
    o.verifyMaster = !verifySlave->parsed();
    if (mode == "multi-drop")
        o.mode = ModeChoice::MultiDrop;
    else if (mode == "node-switching")
        o.mode = ModeChoice::NodeSwitching;

    o.pacing.mode = pacing == "reply" ? PacingMode::Reply : PacingMode::Fixed;
    if (!profile.empty()) {
        if (const ProfileLoad load = LoadTimingProfile(profile, o.pacing); !load.ok)
            return {std::nullopt, UsageError(err, load.error)};
    }

    if (o.command == CliCommand::Network && (o.slavePorts.size() < 2 || o.slavePorts.size() > 4))
        return {std::nullopt, UsageError(err, "network takes 2 to 4 --slave ports")};
    const bool portOptional = o.command == CliCommand::Ports || o.command == CliCommand::Doctor ||
                              o.command == CliCommand::Network || o.command == CliCommand::Records;
    if (!portOptional && o.port.empty())
        return {std::nullopt, UsageError(err, "--port is required by this command")};
    if (const auto problem = CheckAddresses(o))
        return {std::nullopt, UsageError(err, *problem)};
    return {o, kExitSuccess};
}

} // namespace nw::cli
