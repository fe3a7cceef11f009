// The descriptors of the open ports, kept where a signal handler can release
// them: a fixed table of lock-free atomic slots, no locks, no allocation.
#pragma once

namespace nw::posix {

// Adds an open port's descriptor. False when the table is full; the port
// works all the same, only a stop signal then leaves its flags behind.
bool RegisterOpenPort(int fd) noexcept;
// Removes it again. Call before the descriptor is closed.
void UnregisterOpenPort(int fd) noexcept;
// Releases every registered port as CSerialPort::Close does: discards its
// queues, drops the exclusive flag and closes it. Async-signal-safe.
void ReleaseOpenPorts() noexcept;

} // namespace nw::posix
