// The wait cursor shared by the program's windows. The window logic raises
// and lowers a count (begin / end wait cursor) and may keep it raised while a
// modal window waits for the user; the busy cursor is shown only while an
// operation actually runs, never over a window that is idle and waiting.
#pragma once

namespace nw::qt {

class CBusyCursor {
  public:
    CBusyCursor() = default;
    ~CBusyCursor();
    CBusyCursor(const CBusyCursor&) = delete;
    CBusyCursor& operator=(const CBusyCursor&) = delete;

    void Raise();
    void Lower();
    int Raised() const { return m_raised; }
    // Whether the busy cursor is on screen now.
    bool Shown() const { return m_shown; }

    // While one lives, the counts raised so far stand for a wait for the
    // user (a modal window or message box), not for work: no busy cursor
    // until something raises the count again.
    class IdleScope {
      public:
        explicit IdleScope(CBusyCursor& cursor);
        ~IdleScope();
        IdleScope(const IdleScope&) = delete;
        IdleScope& operator=(const IdleScope&) = delete;

      private:
        CBusyCursor& m_cursor;
        int m_savedIdle;
    };

  private:
    void Apply();

    int m_raised = 0;
    int m_idle = 0; // the part of m_raised that is a wait for the user
    bool m_shown = false;
};

} // namespace nw::qt
