// A pause that keeps the program's windows painted: paint and sent messages
// are handled while it waits, user input stays queued and is handled after
// the operation that paused has ended.
#pragma once

#include "protocol/Pacer.h"

#include <optional>

namespace nw::win {

// Returns after at least `ms` milliseconds.
void PauseKeepingPainted(double ms);
// Waits for `awaited` at most `ms` milliseconds, the windows painted
// meanwhile; the milliseconds it took when it arrived in time.
std::optional<double> WaitKeepingPainted(double ms, IAwaited& awaited);

} // namespace nw::win
