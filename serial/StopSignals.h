// Ending the process by a stop signal (Ctrl+C, kill, a closed terminal)
// without leaving a serial line locked. The exclusive flag an open port sets
// belongs to the terminal, not to the descriptor: on a line whose other end
// stays open (a pseudo-terminal, a bench) it outlives the program and keeps
// every later unprivileged open out. So a program releases its open ports
// itself before it goes.
#pragma once

namespace nw {

// Called once at the start of main. From then on SIGINT, SIGTERM and SIGHUP
// (each unless it was ignored when the program started, as under nohup)
// release every open port as CSerialPort::Close does and end the process
// with status 128 + the signal number. Windows releases a port with its
// process; there this does nothing.
void ReleasePortsOnStopSignals();

} // namespace nw
