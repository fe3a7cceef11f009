#include "app/win32/MainWindow.h"

#include "app/win32/AboutBox.h"
#include "app/win32/Text.h"
#include "records/RecordKeeper.h"
#include "res/ControlIds.h"
#include "res/Strings.h"

#include <cwchar>
#include <iterator>
#include <utility>

namespace nw::win {

namespace {
// The timer that tells onShown the window is up: timer messages come only
// once the queue is empty, after the dialog manager has shown the window.
constexpr UINT_PTR kShownTimer = 1;

// Where the program keeps its choices, per user.
constexpr wchar_t kSettingsKey[] = L"Software\\Nodewright";
constexpr wchar_t kVerifyValue[] = L"VerifyEachStep";
constexpr wchar_t kVerifyText[] = L"Verify each adapter after setting";
constexpr wchar_t kFastValue[] = L"ReplyPacing";
constexpr wchar_t kFastText[] = L"Fast (finish waits on the adapter's reply)";
constexpr wchar_t kKeepRecordsValue[] = L"KeepRecords";
constexpr wchar_t kKeepRecordsText[] = L"Keep records";
constexpr wchar_t kRecordsText[] = L"Records...";

// The line settings and wizard choices of the last run: the combo boxes by
// their texts, the rest as numbers.
constexpr std::pair<int, const wchar_t*> kRememberedCombos[] = {
    {id::main::kComboPort, L"Port"},
    {id::main::kComboBaud, L"Baud"},
    {id::main::kComboParity, L"Parity"},
    {id::main::kComboStopBits, L"StopBits"}};
constexpr wchar_t kResponseValue[] = L"DisableResponse";
constexpr wchar_t kSizeValue[] = L"OneToN";
constexpr wchar_t kModeValue[] = L"Mode";

DWORD RememberedNumber(const wchar_t* name, DWORD otherwise = 0) {
    DWORD value = 0;
    DWORD size = sizeof value;
    return RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                        &size) == ERROR_SUCCESS
               ? value
               : otherwise;
}

void Remember(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

bool VerifyRemembered() {
    return RememberedNumber(kVerifyValue) != 0;
}
} // namespace

CMainWindow::CMainWindow(CHostContext& context, CSerialEnum* ports, const std::string& recordsPath)
    : CTemplateDialog(*res::FindTemplate(res::kMainWindow), context), m_ports(ports),
      m_host(context), m_dlg(m_host),
      m_records(std::make_unique<records::CRecordKeeper>(m_dlg, recordsPath, NW_VERSION)) {
    // A row that cannot be written is no silent loss: the user hears of it
    // as the step ends.
    m_records->onLost = [this](const std::string& why) {
        m_host.MessageBox("The record of this step could not be written.", why);
    };
    m_host.onRunManualWindow = [this](CSetupDlg& owner) { RunManual(owner); };
    m_host.onRunAboutBox = [this] { RunAbout(); };
    m_dlg.m_verifyEachStep = VerifyRemembered();
    SetReplyPacing(RememberedNumber(kFastValue) != 0);
    m_icon = LoadIconW(context.instance, MAKEINTRESOURCEW(res::kIconApp));
    m_smallIcon = static_cast<HICON>(LoadImageW(context.instance, MAKEINTRESOURCEW(res::kIconApp),
                                                IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                GetSystemMetrics(SM_CYSMICON), 0));
}

CMainWindow::~CMainWindow() {
    m_recordsWindow.reset();
    m_records.reset();
    m_pages.clear();
    if (m_smallIcon != nullptr)
        DestroyIcon(m_smallIcon);
}

HWND CMainWindow::Picture(int templateId) const {
    for (const auto& page : m_pages) {
        if (page->Template().id == templateId)
            return page->Hwnd();
    }
    return nullptr;
}

int CMainWindow::VisiblePicture() const {
    for (const auto& page : m_pages) {
        if (page->Hwnd() != nullptr && IsWindowVisible(page->Hwnd()))
            return page->Template().id;
    }
    return 0;
}

void CMainWindow::OnInitDialog() {
    m_host.Attach(Hwnd());
    AddAboutItem();
    if (RememberedNumber(kKeepRecordsValue) != 0)
        KeepRecords(true);
    SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(m_smallIcon != nullptr ? m_smallIcon : m_icon));
    CreatePicturePages();
    CSerialEnum system;
    RunOperation([&] { m_dlg.OnInitDialog(m_ports != nullptr ? *m_ports : system); });
    RestoreSettings();
    Center();
    if (onShown)
        SetTimer(Hwnd(), kShownTimer, 50, nullptr);
}

void CMainWindow::AddAboutItem() {
    HMENU menu = GetSystemMenu(Hwnd(), FALSE);
    if (menu == nullptr)
        return;
    wchar_t text[128] = {};
    if (LoadStringW(Context().instance, static_cast<UINT>(res::kStringAboutMenu), text,
                    static_cast<int>(std::size(text))) > 0) {
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING | (m_dlg.m_verifyEachStep ? MF_CHECKED : MF_UNCHECKED),
                    static_cast<UINT_PTR>(id::kSysCommandVerify), kVerifyText);
        AppendMenuW(menu, MF_STRING | MF_UNCHECKED,
                    static_cast<UINT_PTR>(id::kSysCommandKeepRecords), kKeepRecordsText);
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id::kSysCommandRecords), kRecordsText);
        AppendMenuW(menu, MF_STRING | (ReplyPacing() ? MF_CHECKED : MF_UNCHECKED),
                    static_cast<UINT_PTR>(id::kSysCommandFast), kFastText);
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(id::kSysCommandAbout), text);
    }
}

void CMainWindow::ToggleVerify() {
    m_dlg.m_verifyEachStep = !m_dlg.m_verifyEachStep;
    CheckMenuItem(GetSystemMenu(Hwnd(), FALSE), static_cast<UINT>(id::kSysCommandVerify),
                  MF_BYCOMMAND | (m_dlg.m_verifyEachStep ? MF_CHECKED : MF_UNCHECKED));
    Remember(kVerifyValue, m_dlg.m_verifyEachStep ? 1 : 0);
}

bool CMainWindow::ReplyPacing() {
    return m_dlg.m_exchange.Pacing().mode == PacingMode::Reply;
}

void CMainWindow::SetReplyPacing(bool reply) {
    PacingPolicy policy = m_dlg.m_exchange.Pacing();
    policy.mode = reply ? PacingMode::Reply : PacingMode::Fixed;
    m_dlg.m_exchange.SetPacing(policy);
}

void CMainWindow::ToggleFast() {
    SetReplyPacing(!ReplyPacing());
    CheckMenuItem(GetSystemMenu(Hwnd(), FALSE), static_cast<UINT>(id::kSysCommandFast),
                  MF_BYCOMMAND | (ReplyPacing() ? MF_CHECKED : MF_UNCHECKED));
    Remember(kFastValue, ReplyPacing() ? 1 : 0);
}

bool CMainWindow::KeepRecords(bool on) {
    std::string error;
    const bool kept = m_records->Keep(on, error);
    CheckMenuItem(GetSystemMenu(Hwnd(), FALSE), static_cast<UINT>(id::kSysCommandKeepRecords),
                  MF_BYCOMMAND | (m_records->Keeping() ? MF_CHECKED : MF_UNCHECKED));
    if (!kept)
        Warn("Keep records", "Records cannot be kept: " + error);
    return kept;
}

void CMainWindow::ToggleKeepRecords() {
    const bool on = !m_records->Keeping();
    if (KeepRecords(on))
        Remember(kKeepRecordsValue, on ? 1 : 0);
}

CRecordsWindow* CMainWindow::RecordsWindow() const {
    return m_recordsWindow && m_recordsWindow->Hwnd() != nullptr ? m_recordsWindow.get() : nullptr;
}

void CMainWindow::OpenRecords() {
    if (CRecordsWindow* open = RecordsWindow()) {
        open->Reload();
        ShowWindow(open->Hwnd(), SW_RESTORE);
        SetForegroundWindow(open->Hwnd());
        return;
    }
    m_recordsWindow = std::make_unique<CRecordsWindow>(m_records->Path());
    if (!m_recordsWindow->Open(Hwnd()))
        m_recordsWindow.reset();
}

void CMainWindow::Warn(const std::string& caption, const std::string& text) {
    if (Context().messageBox) { // tests take the texts
        Context().messageBox(text, {});
        return;
    }
    MessageBoxW(Hwnd(), Widen(text).c_str(), Widen(caption).c_str(), MB_OK | MB_ICONWARNING);
}

void CMainWindow::RestoreSettings() {
    // A combo takes a remembered text only when it lists it: a port that is
    // gone leaves the port box empty.
    for (const auto& [control, name] : kRememberedCombos) {
        wchar_t text[256] = {};
        DWORD size = sizeof text;
        if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, text,
                         &size) != ERROR_SUCCESS)
            continue;
        const LRESULT at =
            SendDlgItemMessageW(Hwnd(), control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(text));
        if (at != CB_ERR || control == id::main::kComboPort) // CB_ERR (-1) empties the box
            SendDlgItemMessageW(Hwnd(), control, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    }
    CheckDlgButton(Hwnd(), id::main::kCheckDisableResponse,
                   RememberedNumber(kResponseValue) != 0 ? BST_CHECKED : BST_UNCHECKED);
    // The choices as their radio buttons' handlers make them.
    const DWORD size = RememberedNumber(kSizeValue);
    const bool nodeSwitching = RememberedNumber(kModeValue) == 1;
    RunOperation([&] {
        (size == 2 ? m_dlg.OnRadio1To4() : size == 1 ? m_dlg.OnRadio1To3() : m_dlg.OnRadio1To2());
        (nodeSwitching ? m_dlg.OnRadioNodeSwitching() : m_dlg.OnRadioMultiDrop());
        m_dlg.UpdateData();
    });
}

void CMainWindow::SaveSettings() {
    for (const auto& [control, name] : kRememberedCombos) {
        wchar_t text[256] = {};
        GetDlgItemTextW(Hwnd(), control, text, static_cast<int>(std::size(text)));
        RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, text,
                        static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }
    Remember(kResponseValue,
             IsDlgButtonChecked(Hwnd(), id::main::kCheckDisableResponse) == BST_CHECKED ? 1 : 0);
    Remember(kSizeValue, static_cast<DWORD>(m_dlg.m_nOneToN));
    Remember(kModeValue, static_cast<DWORD>(m_dlg.m_nMode));
}

void CMainWindow::CreatePicturePages() {
    for (int templateId : id::kPicturePages) {
        auto page = std::make_unique<CPicturePage>(*res::FindTemplate(templateId), Context());
        if (page->Create(Hwnd()) == nullptr)
            continue;
        m_host.AddPicture(templateId, page->Hwnd());
        m_pages.push_back(std::move(page));
    }
    LayoutPictures();
}

void CMainWindow::LayoutPictures() {
    HWND area = GetDlgItem(Hwnd(), id::main::kPictureArea);
    if (area == nullptr)
        return;
    RECT r{};
    GetWindowRect(area, &r);
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    // Above the picture area's static, which they cover; the static must not
    // paint over the page shown on it.
    SetWindowLongPtrW(area, GWL_STYLE, GetWindowLongPtrW(area, GWL_STYLE) | WS_CLIPSIBLINGS);
    for (const auto& page : m_pages) {
        SetWindowPos(page->Hwnd(), HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE);
    }
}

bool CMainWindow::OnCommand(int id, int code) {
    return code == BN_CLICKED && RunClickHandler(m_dlg, kSetupDlgHandlers, id);
}

bool CMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR& result) {
    switch (message) {
    case WM_SYSCOMMAND: {
        // The menu items this window added, each with what it does.
        using Item = std::pair<int, void (CMainWindow::*)()>;
        static constexpr Item kItems[] = {
            {id::kSysCommandVerify, &CMainWindow::ToggleVerify},
            {id::kSysCommandFast, &CMainWindow::ToggleFast},
            {id::kSysCommandKeepRecords, &CMainWindow::ToggleKeepRecords},
            {id::kSysCommandRecords, &CMainWindow::OpenRecords}};
        for (const auto& [item, handler] : kItems) {
            if ((wParam & 0xFFF0u) == static_cast<WPARAM>(item)) {
                (this->*handler)();
                result = TRUE;
                return true;
            }
        }
    }
        if ((wParam & 0xFFF0u) != static_cast<WPARAM>(id::kSysCommandAbout))
            return false; // the system's own commands
        RunOperation([this, wParam] { m_dlg.OnSysCommand(static_cast<unsigned>(wParam)); });
        result = TRUE;
        return true;
    case WM_PAINT: {
        if (!IsIconic(Hwnd()))
            return false;
        // Minimised: the icon in the middle of the client area.
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Hwnd(), &ps);
        SendMessageW(Hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client{};
        GetClientRect(Hwnd(), &client);
        const int cx = GetSystemMetrics(SM_CXICON);
        const int cy = GetSystemMetrics(SM_CYICON);
        DrawIcon(dc, (client.right - cx + 1) / 2, (client.bottom - cy + 1) / 2, m_icon);
        EndPaint(Hwnd(), &ps);
        result = TRUE;
        return true;
    }
    case WM_DESTROY: // the controls are still there
        SaveSettings();
        return false;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(m_icon);
        return true;
    case WM_TIMER:
        if (wParam != kShownTimer)
            return false;
        KillTimer(Hwnd(), kShownTimer);
        if (!IsWindowVisible(Hwnd()))
            ShowWindow(Hwnd(), SW_SHOW);
        onShown(*this); // as the user would, between operations
        result = TRUE;
        return true;
    default:
        return false;
    }
}

void CMainWindow::RunManual(CSetupDlg& owner) {
    CManualWindow window(Context(), owner);
    window.onOpened = onManualOpened;
    window.Run(Hwnd());
}

void CMainWindow::RunAbout() {
    CAboutBox box(Context());
    CWaitCursorState::IdleScope idle(Context().cursor);
    box.RunModal(Hwnd());
}

} // namespace nw::win
