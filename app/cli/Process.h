// What nodewright-cli needs from its process that differs between systems:
// how the standard streams are set up and whether they are terminals.
#pragma once

namespace nw::cli {

struct StandardStreams {
    bool stdoutIsTerminal = false;
    bool stderrIsTerminal = false;
};

// Called once at the start of main. A reader that goes away (`| head -1`)
// must not stop an operation halfway through an adapter's settings: writes
// to it just fail. Lines end in "\n" alone on every system, as scripts that
// read the output expect.
StandardStreams PrepareProcess();

} // namespace nw::cli
