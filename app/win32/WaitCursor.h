// The wait cursor shared by the program's windows: the hourglass shows only
// while an operation runs, never over a window that is idle and waiting for
// the user. Windows' own WM_SETCURSOR asks Apply() again whenever the mouse
// moves over one of the program's windows.
#pragma once

#include "ui/WaitCursorCount.h"

namespace nw::win {

class CWaitCursorState : public CWaitCursorCount {
  public:
    // Sets the hourglass or the arrow as Busy() says.
    void Apply() const;

  protected:
    void OnBusyChanged(bool) override { Apply(); }
};

} // namespace nw::win
