// The count behind the wait cursor that the program's windows share. The
// window logic raises and lowers it around operations and may keep it raised
// while a modal window or message box waits for the user; the busy cursor
// belongs on screen only while an operation actually runs. Front ends derive
// from this and show or hide their cursor in OnBusyChanged.
#pragma once

namespace nw {

class CWaitCursorCount {
  public:
    CWaitCursorCount() = default;
    virtual ~CWaitCursorCount() = default;
    CWaitCursorCount(const CWaitCursorCount&) = delete;
    CWaitCursorCount& operator=(const CWaitCursorCount&) = delete;

    void Raise();
    // Never goes below zero.
    void Lower();
    int Raised() const { return m_raised; }
    // Whether the busy cursor belongs on screen now.
    bool Busy() const { return m_raised > m_idle; }

    // While one lives, the counts raised so far stand for a wait for the
    // user, not for work: not busy until something raises the count again.
    class IdleScope {
      public:
        explicit IdleScope(CWaitCursorCount& count);
        ~IdleScope();
        IdleScope(const IdleScope&) = delete;
        IdleScope& operator=(const IdleScope&) = delete;

      private:
        CWaitCursorCount& m_count;
        int m_savedIdle;
    };

  protected:
    // Called whenever Busy() changes.
    virtual void OnBusyChanged(bool /*busy*/) {}

  private:
    void Update();

    int m_raised = 0;
    int m_idle = 0; // the part of m_raised that is a wait for the user
    bool m_busy = false;
};

} // namespace nw
