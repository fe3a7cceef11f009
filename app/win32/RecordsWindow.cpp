#include "app/win32/RecordsWindow.h"

#include "app/win32/Text.h"
#include "records/RecordFormat.h"
#include "records/RecordStore.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace nw::win {

using records::kColumns;

namespace {

constexpr wchar_t kClassName[] = L"NodewrightRecords";
constexpr int kMargin = 8;
constexpr int kRowHeight = 24;

bool RegisterOnce(HINSTANCE instance, WNDPROC proc) {
    static const bool registered = [&] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kClassName;
        return RegisterClassExW(&wc) != 0;
    }();
    return registered;
}

std::wstring TextOf(HWND w) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return text;
}

// What a person typed, without the blanks around it.
std::string Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return {};
    return Narrow(text.substr(first, text.find_last_not_of(L" \t") - first + 1));
}

// The main window runs the system's modal dialog loop, which gives the
// dialog keys (Tab, the arrows, Alt+letter) to the main window alone. While
// the records window is open, a message filter on that loop hands its keys
// to it the same way.
HWND g_keysFor = nullptr;
HHOOK g_keyFilter = nullptr;

LRESULT CALLBACK KeyFilter(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && g_keysFor != nullptr &&
        (msg->hwnd == g_keysFor || IsChild(g_keysFor, msg->hwnd)) &&
        IsDialogMessageW(g_keysFor, msg))
        return TRUE;
    return CallNextHookEx(g_keyFilter, code, wParam, lParam);
}

} // namespace

CRecordsWindow::~CRecordsWindow() {
    if (m_hwnd != nullptr)
        DestroyWindow(m_hwnd);
    if (m_font != nullptr)
        DeleteObject(m_font);
}

bool CRecordsWindow::Open(HWND owner) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterOnce(instance, &CRecordsWindow::Proc))
        return false;
    RECT frame{0, 0, 960, 420};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    CreateWindowExW(0, kClassName, L"Records", style, CW_USEDEFAULT, CW_USEDEFAULT,
                    frame.right - frame.left, frame.bottom - frame.top, owner, nullptr, instance,
                    this);
    if (m_hwnd == nullptr)
        return false;
    Reload();
    g_keysFor = m_hwnd;
    if (g_keyFilter == nullptr)
        g_keyFilter = SetWindowsHookExW(WH_MSGFILTER, &KeyFilter, nullptr, GetCurrentThreadId());
    ShowWindow(m_hwnd, SW_SHOW);
    return true;
}

LRESULT CALLBACK CRecordsWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CRecordsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self =
            static_cast<CRecordsWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        if (g_keysFor == hwnd) {
            g_keysFor = nullptr;
            UnhookWindowsHookEx(g_keyFilter);
            g_keyFilter = nullptr;
        }
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hwnd = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CRecordsWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateControls();
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {360, 200};
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kFilter && HIWORD(wParam) == EN_CHANGE) {
            Reload();
            return 0;
        }
        if (LOWORD(wParam) == kExport && HIWORD(wParam) == BN_CLICKED) {
            ChooseExportFile();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, message, wParam, lParam);
}

void CRecordsWindow::CreateControls() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        m_font = CreateFontIndirectW(&metrics.lfMessageFont);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    auto make = [&](DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
        HWND w =
            CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, m_hwnd,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(
            w, WM_SETFONT,
            reinterpret_cast<WPARAM>(m_font != nullptr ? m_font : GetStockObject(DEFAULT_GUI_FONT)),
            FALSE);
        return w;
    };
    make(0, L"STATIC", L"&Address:", SS_LEFT | SS_CENTERIMAGE, kFilterLabel);
    HWND filter = make(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kFilter);
    SendMessageW(filter, EM_SETCUEBANNER, TRUE, reinterpret_cast<LPARAM>(L"every adapter"));
    make(0, L"BUTTON", L"Export CSV...", WS_TABSTOP | BS_PUSHBUTTON, kExport);
    HWND list = make(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                     WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER, kList);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (std::size_t k = 0; k < kColumns.size(); ++k) {
        std::wstring heading = Widen(kColumns[k]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = heading.data();
        column.cx = 80;
        column.iSubItem = static_cast<int>(k);
        SendMessageW(list, LVM_INSERTCOLUMNW, k, reinterpret_cast<LPARAM>(&column));
    }
    make(0, L"STATIC", L"", SS_LEFT | SS_ENDELLIPSIS, kStatus);
}

void CRecordsWindow::Layout() {
    RECT client{};
    GetClientRect(m_hwnd, &client);
    const int width = client.right - 2 * kMargin;
    const int label = 64, button = 110;
    MoveWindow(Control(kFilterLabel), kMargin, kMargin, label, kRowHeight, TRUE);
    MoveWindow(Control(kFilter), kMargin + label, kMargin, width - label - button - kMargin,
               kRowHeight, TRUE);
    MoveWindow(Control(kExport), client.right - kMargin - button, kMargin, button, kRowHeight,
               TRUE);
    const int listTop = 2 * kMargin + kRowHeight;
    const int statusTop = client.bottom - kMargin - kRowHeight;
    MoveWindow(Control(kList), kMargin, listTop, width, statusTop - kMargin - listTop, TRUE);
    MoveWindow(Control(kStatus), kMargin, statusTop, width, kRowHeight, TRUE);
}

void CRecordsWindow::Reload() {
    if (m_hwnd == nullptr)
        return;
    std::string error;
    const records::RecordFilter filter{.address = Trimmed(TextOf(Control(kFilter))), .since = {}};
    records::ReadRecords(m_path, filter, m_rows, error);

    HWND list = Control(kList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        for (std::size_t k = 0; k < kColumns.size(); ++k) {
            std::wstring text = Widen(records::ColumnText(m_rows[r], k));
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(r);
            item.iSubItem = static_cast<int>(k);
            item.pszText = text.data();
            SendMessageW(list, k == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, k == 0 ? 0 : r,
                         reinterpret_cast<LPARAM>(&item));
        }
    }
    // Each column as wide as its widest text, heading included.
    for (std::size_t k = 0; k < kColumns.size(); ++k) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, k, LVSCW_AUTOSIZE);
        const std::wstring heading = Widen(kColumns[k]);
        const LRESULT headingWidth =
            SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(heading.c_str())) +
            (k == 0 ? 24 : 16);
        if (SendMessageW(list, LVM_GETCOLUMNWIDTH, k, 0) < headingWidth)
            SendMessageW(list, LVM_SETCOLUMNWIDTH, k, headingWidth);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetWindowTextW(
        Control(kStatus),
        Widen(error.empty() ? records::RecordsSummary(m_rows.size(), m_path) : error).c_str());
}

bool CRecordsWindow::ExportCsv(const std::wstring& path, std::string& error) const {
    const std::string text = records::FormatRecords(m_rows, records::RecordFormat::Csv);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr) {
        error = std::generic_category().message(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int writeErrno = errno;
    if (std::fclose(file) != 0 || !written) {
        error = std::generic_category().message(written ? errno : writeErrno);
        return false;
    }
    return true;
}

void CRecordsWindow::ChooseExportFile() {
    wchar_t file[MAX_PATH] = L"records.csv";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hwnd;
    ofn.lpstrFilter = L"CSV files (*.csv)\0*.csv\0All files (*)\0*.*\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = L"Export CSV";
    ofn.lpstrDefExt = L"csv";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn))
        return;
    std::string error;
    if (!ExportCsv(file, error)) {
        const std::wstring text = std::wstring(file) + L" could not be written: " + Widen(error);
        MessageBoxW(m_hwnd, text.c_str(), L"Export CSV", MB_OK | MB_ICONWARNING);
    }
}

} // namespace nw::win
