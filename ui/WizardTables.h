// What the wizard shows: picture pages by role and 1:N setting, and the page
// and message after each slave step.
#pragma once

#include "protocol/Network.h"

namespace nw::wizard {

int OverviewPage(NetworkSize size);
int ConnectMasterPage(NetworkSize size);
int ConnectSlave1Page(NetworkSize size);

struct Display {
    int page = 0;                  // 0: none (all pages stay hidden)
    const char* message = nullptr; // nullptr: the message is left as it was
};

// The page and message once slave (step - 2) is configured.
Display AfterSlave(int step, NetworkSize size);

} // namespace nw::wizard
