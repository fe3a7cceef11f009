#include "app/win32/TemplateDialog.h"

#include "res/DialogTemplateBlob.h"

#include <utility>

namespace nw::win {

CTemplateDialog::CTemplateDialog(const res::DialogTemplate& tmpl, CHostContext& context)
    : m_template(tmpl), m_context(context), m_blob(res::BuildDialogBlob(tmpl)) {}

CTemplateDialog::~CTemplateDialog() {
    if (m_hwnd != nullptr && !m_modal)
        DestroyWindow(m_hwnd);
}

INT_PTR CTemplateDialog::RunModal(HWND owner) {
    m_modal = true;
    const INT_PTR result = DialogBoxIndirectParamW(m_context.instance,
                                                   reinterpret_cast<LPCDLGTEMPLATEW>(m_blob.data()),
                                                   owner, &Proc, reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    return result;
}

HWND CTemplateDialog::Create(HWND parent) {
    m_modal = false;
    return CreateDialogIndirectParamW(m_context.instance,
                                      reinterpret_cast<LPCDLGTEMPLATEW>(m_blob.data()), parent,
                                      &Proc, reinterpret_cast<LPARAM>(this));
}

void CTemplateDialog::End(INT_PTR result) {
    if (m_running > 0) {
        m_endPending = true;
        m_pendingResult = result;
        return;
    }
    if (m_modal && m_hwnd != nullptr)
        EndDialog(m_hwnd, result);
}

bool CTemplateDialog::RunOperation(const std::function<void()>& handler) {
    if (m_running > 0)
        return false;
    m_running = 1;
    handler();
    m_running = 0;
    for (const auto& after : std::exchange(m_afterOperation, {}))
        RunOperation(after);
    if (m_endPending) {
        m_endPending = false;
        End(m_pendingResult);
    }
    return true;
}

bool CTemplateDialog::ChecksItself(int id) const {
    const LONG_PTR type = GetWindowLongPtrW(GetDlgItem(m_hwnd, id), GWL_STYLE) & BS_TYPEMASK;
    return type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX;
}

bool CTemplateDialog::OnCommand(int, int) {
    return false;
}

bool CTemplateDialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) {
    return false;
}

void CTemplateDialog::Center() {
    RECT window{};
    GetWindowRect(m_hwnd, &window);
    RECT area{};
    HWND owner = GetWindow(m_hwnd, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner))
        GetWindowRect(owner, &area);
    else
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int w = window.right - window.left;
    const int h = window.bottom - window.top;
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    x = x < 0 ? 0 : x;
    y = y < 0 ? 0 : y;
    SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CTemplateDialog::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CTemplateDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CTemplateDialog*>(lParam);
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hwnd = hwnd;
    } else {
        self = reinterpret_cast<CTemplateDialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    }
    if (self == nullptr)
        return FALSE;
    const INT_PTR result = self->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        self->m_hwnd = nullptr;
    }
    return result;
}

INT_PTR CTemplateDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        return TRUE; // the dialog manager sets the focus
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (OnCommand(id, code))
            return TRUE;
        if (id == IDOK || id == IDCANCEL) {
            End(id);
            return TRUE;
        }
        return FALSE;
    }
    case WM_SETCURSOR:
        if (m_context.cursor.Busy()) {
            m_context.cursor.Apply();
            SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    default: {
        INT_PTR result = FALSE;
        if (OnMessage(message, wParam, lParam, result))
            return result;
        return FALSE;
    }
    }
}

} // namespace nw::win
