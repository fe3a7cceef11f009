// The wait cursor shared by the program's windows. The window logic raises
// and lowers a count and may keep it raised while a modal window or message
// box waits for the user; the hourglass shows only while an operation runs,
// never over a window that is idle and waiting.
#pragma once

namespace nw::win {

class CWaitCursorState {
  public:
    void Raise();
    void Lower();
    // Whether the hourglass belongs on screen now.
    bool Busy() const { return m_raised > m_idle; }
    int Raised() const { return m_raised; }
    // Sets the hourglass or the arrow as Busy() says (after WM_SETCURSOR).
    void Apply() const;

    // While one lives, the counts raised so far stand for a wait for the
    // user, not for work.
    class IdleScope {
      public:
        explicit IdleScope(CWaitCursorState& state);
        ~IdleScope();
        IdleScope(const IdleScope&) = delete;
        IdleScope& operator=(const IdleScope&) = delete;

      private:
        CWaitCursorState& m_state;
        int m_saved;
    };

  private:
    int m_raised = 0;
    int m_idle = 0;
};

} // namespace nw::win
