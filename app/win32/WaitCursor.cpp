#include "app/win32/WaitCursor.h"

#include "app/win32/Win32.h"

namespace nw::win {

void CWaitCursorState::Apply() const {
    SetCursor(LoadCursorW(nullptr, Busy() ? IDC_WAIT : IDC_ARROW));
}

} // namespace nw::win
