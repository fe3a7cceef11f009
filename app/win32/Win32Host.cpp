#include "app/win32/Win32Host.h"

#include "app/win32/PaintingPause.h"
#include "app/win32/Text.h"
#include "res/Strings.h"

namespace nw::win {

std::optional<double> CWin32Host::PauseUntil(std::uint32_t ms, IAwaited& awaited) {
    const double scale = m_context.pauseScale;
    const std::optional<double> used = WaitKeepingPainted(ms * scale, awaited);
    if (m_context.afterPause)
        m_context.afterPause();
    return Unscaled(used, scale);
}

void CWin32Host::Pause(std::uint32_t ms) {
    PauseKeepingPainted(static_cast<double>(ms) * m_context.pauseScale);
    if (m_context.afterPause)
        m_context.afterPause();
}

void CWin32Host::EnableControl(int id, bool enable) {
    if (HWND w = Control(id))
        EnableWindow(w, enable ? TRUE : FALSE);
}

void CWin32Host::SetText(int id, const std::string& text) {
    if (HWND w = Control(id))
        SetWindowTextW(w, Widen(text).c_str());
}

std::string CWin32Host::GetText(int id) {
    HWND w = Control(id);
    if (w == nullptr)
        return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    const int n = GetWindowTextW(w, text.data(), static_cast<int>(text.size()));
    text.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return Narrow(text);
}

void CWin32Host::SetCheck(int id, bool checked) {
    // BM_SETCHECK: no BN_CLICKED, so no handler runs.
    if (HWND w = Control(id))
        SendMessageW(w, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool CWin32Host::GetCheck(int id) {
    HWND w = Control(id);
    return w != nullptr && SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CWin32Host::ComboAdd(int id, const std::string& text) {
    if (HWND w = Control(id))
        SendMessageW(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

void CWin32Host::ComboSelect(int id, int index) {
    if (HWND w = Control(id))
        SendMessageW(w, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string CWin32Host::ComboSelectedText(int id) {
    HWND w = Control(id);
    if (w == nullptr)
        return {};
    const LRESULT index = SendMessageW(w, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return {};
    const LRESULT length = SendMessageW(w, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(w, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

void CWin32Host::ShowPicture(int templateId, bool show) {
    const auto it = m_pictures.find(templateId);
    if (it != m_pictures.end())
        ShowWindow(it->second, show ? SW_SHOW : SW_HIDE);
}

void CWin32Host::MessageBox(const std::string& text, const std::string& detail) {
    if (m_context.messageBox) {
        m_context.messageBox(text, detail);
        return;
    }
    // Over the window the user is in: the port reports its failures through
    // the main window's host even while the Manual Setting window is open,
    // and that window must be blocked too while the box waits.
    HWND owner = GetActiveWindow();
    if (owner == nullptr || !IsWindowVisible(owner))
        owner = m_dialog;
    const std::string body = detail.empty() ? text : text + "\n\n" + detail;
    CWaitCursorState::IdleScope idle(m_context.cursor);
    ::MessageBoxW(owner, Widen(body).c_str(), Widen(res::kMessageBoxTitle).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

void CWin32Host::BeginWaitCursor() {
    m_context.cursor.Raise();
}

void CWin32Host::EndWaitCursor() {
    m_context.cursor.Lower();
}

void CWin32Host::RunManualWindow(CSetupDlg& owner) {
    if (onRunManualWindow)
        onRunManualWindow(owner);
}

void CWin32Host::RunAboutBox() {
    if (onRunAboutBox)
        onRunAboutBox();
}

} // namespace nw::win
