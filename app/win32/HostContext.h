// What the hosts of one program run share: the module, the wait cursor and
// how pauses and message boxes are handled.
#pragma once

#include "app/win32/WaitCursor.h"

#include "app/win32/Win32.h"

#include <functional>
#include <string>

namespace nw::win {

struct CHostContext {
    HINSTANCE instance = nullptr;
    // Every pause lasts its length times this. The product keeps 1; only
    // tests shorten pauses.
    double pauseScale = 1.0;
    // Tests only: runs after every pause.
    std::function<void()> afterPause;
    // Tests only: takes a message box's texts instead of showing the box.
    std::function<void(const std::string& text, const std::string& detail)> messageBox;
    CWaitCursorState cursor;
};

} // namespace nw::win
