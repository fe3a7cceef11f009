// A pause that keeps the program's windows painted: paint and sent messages
// are handled while it waits, user input stays queued and is handled after
// the operation that paused has ended.
#pragma once

namespace nw::win {

// Returns after at least `ms` milliseconds.
void PauseKeepingPainted(double ms);

} // namespace nw::win
