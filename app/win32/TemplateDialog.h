// A dialog built in memory from one of the res/ templates, run modally or
// created as a child. Button clicks reach OnCommand by control id. Handlers
// run through RunOperation, one at a time: the pause of a running operation
// handles sent messages (a click sent by another program, such as an
// accessibility tool, or by another thread), and what they ask for is
// refused, not nested. An end of the dialog asked for meanwhile waits until
// the handler has ended. While an operation runs the hourglass shows over
// the window.
#pragma once

#include "app/win32/HostContext.h"
#include "res/DialogTemplates.h"
#include "ui/MessageMaps.h"

#include "app/win32/Win32.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace nw::win {

class CTemplateDialog {
  public:
    CTemplateDialog(const res::DialogTemplate& tmpl, CHostContext& context);
    virtual ~CTemplateDialog();
    CTemplateDialog(const CTemplateDialog&) = delete;
    CTemplateDialog& operator=(const CTemplateDialog&) = delete;

    // Runs the dialog modally for `owner` (may be null); returns the result
    // given to End, or -1 when the window could not be created.
    INT_PTR RunModal(HWND owner);
    // Creates the dialog as a window of `parent` (a child for a child
    // template); returns null on failure.
    HWND Create(HWND parent);

    HWND Hwnd() const { return m_hwnd; }
    const res::DialogTemplate& Template() const { return m_template; }

    // Ends a modal run with `result`, once any running operation has ended.
    void End(INT_PTR result);
    // Runs one handler unless one is running already (then false); an End
    // asked for meanwhile happens when it ends.
    bool RunOperation(const std::function<void()>& handler);
    // A click on control `id`: runs the handler `map` has for it on `logic`
    // as an operation. False when the map has none. A click on an auto radio
    // button or check box during an operation has changed its check state
    // already: its handler runs after the operation, so the logic follows.
    template <class Logic, class Map> bool RunClickHandler(Logic& logic, const Map& map, int id) {
        const auto handler = FindHandler(map, id);
        if (handler == nullptr)
            return false;
        const std::function<void()> run = [&logic, handler] { (logic.*handler)(); };
        if (!RunOperation(run) && ChecksItself(id))
            m_afterOperation.push_back(run);
        return true;
    }

  protected:
    // WM_INITDIALOG; the window exists and Hwnd() is set.
    virtual void OnInitDialog() {}
    // A command from control `id` (BN_CLICKED and the like, IDOK, IDCANCEL);
    // IDOK and IDCANCEL end the dialog unless this returns true.
    virtual bool OnCommand(int id, int code);
    // Any other message; return true when handled, with its result in `result`.
    virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

    CHostContext& Context() { return m_context; }
    // Puts the window in the middle of its owner, or of the screen.
    void Center();

  private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Whether control `id` is an auto radio button or check box.
    bool ChecksItself(int id) const;
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);

    const res::DialogTemplate& m_template;
    CHostContext& m_context;
    std::vector<std::uint8_t> m_blob;
    HWND m_hwnd = nullptr;
    bool m_modal = false;
    int m_running = 0;
    bool m_endPending = false;
    INT_PTR m_pendingResult = 0;
    std::vector<std::function<void()>> m_afterOperation;
};

} // namespace nw::win
