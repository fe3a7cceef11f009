// What the hosts of one program run share: the wait cursor and how pauses
// are timed.
#pragma once

#include "app/qt/BusyCursor.h"

#include <functional>

namespace nw::qt {

struct CHostContext {
    // Every pause lasts its length times this. The product keeps 1; only
    // tests shorten pauses.
    double pauseScale = 1.0;
    // Tests only: runs after every pause (waits until the simulated
    // adapter's replies are through when pauses are shortened).
    std::function<void()> afterPause;
    CBusyCursor cursor;
};

} // namespace nw::qt
