// The pause of the desktop program: waits at least the given time while the
// windows keep painting and answering the window manager. User input that
// arrives meanwhile stays queued and is handled after the operation that
// paused, as if the program had not looked at it yet.
#pragma once

#include "protocol/Pacer.h"

#include <optional>

namespace nw::qt {

// Runs a nested event loop that excludes user input, ended by a precise
// single-shot timer; loops again if the timer fired early. Returns at once
// for `ms` <= 0.
void PauseKeepingPainted(double ms);

// Waits at most `ms` for `awaited` (woken by the port's reader as bytes
// arrive), processing paint and window-manager events at least every frame
// meanwhile and deferring user input the same way. Returns the milliseconds
// it took when it arrived in time.
std::optional<double> WaitKeepingPainted(double ms, IAwaited& awaited);

} // namespace nw::qt
