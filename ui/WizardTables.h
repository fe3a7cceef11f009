// What the wizard shows: picture pages by role and 1:N setting, and the page
// and message after each slave step.
#pragma once

namespace nw::wizard {

// oneToN: 0 "1:2", 1 "1:3", 2 "1:4".
int OverviewPage(int oneToN);
int ConnectMasterPage(int oneToN);
int ConnectSlave1Page(int oneToN);

struct Display {
    int page = 0;                  // 0: none (all pages stay hidden)
    const char* message = nullptr; // nullptr: the message is left as it was
};

// The page and message once slave (step - 2) is configured.
Display AfterSlave(int step, int oneToN);

} // namespace nw::wizard
