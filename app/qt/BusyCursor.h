// The wait cursor shared by the program's windows, shown as Qt's override
// cursor: the busy cursor is shown only while an operation actually runs,
// never over a window that is idle and waiting for the user.
#pragma once

#include "ui/WaitCursorCount.h"

namespace nw::qt {

class CBusyCursor : public CWaitCursorCount {
  public:
    CBusyCursor() = default;
    ~CBusyCursor() override;

    // Whether the busy cursor is on screen now.
    bool Shown() const { return m_shown; }

  protected:
    void OnBusyChanged(bool busy) override;

  private:
    bool m_shown = false;
};

} // namespace nw::qt
