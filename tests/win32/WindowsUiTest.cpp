// The native Windows windows, built from the templates and run for real
// (under Wine with a virtual display in CI): the controls the templates
// promise, the system menu's about item, the icon and version resources,
// the picture pages over the picture area, and the pause that keeps painting
// while input waits.
#include "app/win32/MainWindow.h"
#include "app/win32/PaintingPause.h"
#include "app/win32/PictureBitmap.h"
#include "app/win32/Screenshot.h"
#include "app/win32/Text.h"
#include "res/ControlIds.h"
#include "res/PicturePages.h"
#include "res/Strings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

namespace nw::win::test {
namespace {

namespace m = id::main;

std::string ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return Narrow(name);
}

std::string TextOf(HWND w) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(w)) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(w, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

RECT DialogRect(HWND dialog, int x, int y, int cx, int cy) {
    RECT r{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &r);
    return r;
}

RECT ClientRectOf(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

const char* ExpectedClass(res::ControlKind kind) {
    switch (kind) {
    case res::ControlKind::Combo:
        return "ComboBox";
    case res::ControlKind::Edit:
        return "Edit";
    case res::ControlKind::Static:
    case res::ControlKind::Icon:
    case res::ControlKind::Bitmap:
        return "Static";
    default:
        return "Button";
    }
}

// The share of pure white pixels the screen shows where `window` is.
double WhiteShare(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = w;
    info.biHeight = -h;
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), px.data(), reinterpret_cast<BITMAPINFO*>(&info),
              DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    std::size_t white = 0;
    for (std::uint32_t p : px)
        white += (p & 0xFFFFFFu) == 0xFFFFFFu ? 1 : 0;
    return px.empty() ? 0.0 : static_cast<double>(white) / static_cast<double>(px.size());
}

// With NW_WIN32_SHOT_DIR set (a Windows path), saves what the screen shows
// of `window` there, for a person to look at.
void SaveShot(HWND window, const wchar_t* name) {
    const wchar_t* dir = _wgetenv(L"NW_WIN32_SHOT_DIR");
    if (dir == nullptr)
        return;
    PauseKeepingPainted(300);
    SaveWindowImage(window, std::wstring(dir) + L"\\" + name);
}

// Runs the main window and `check` inside its modal loop once it shows.
void WithMainWindow(const std::function<void(CMainWindow&)>& check) {
    CHostContext context;
    context.instance = GetModuleHandleW(nullptr);
    std::vector<std::string> boxes;
    context.messageBox = [&](const std::string& text, const std::string&) {
        boxes.push_back(text);
    };
    CMainWindow window(context); // listing ports opens none

    bool ran = false;
    window.onShown = [&](CMainWindow& w) {
        ran = true;
        check(w);
        w.End(IDCANCEL);
    };
    window.Run();
    EXPECT_TRUE(ran) << "the main window never showed";
    EXPECT_TRUE(boxes.empty()) << boxes.front();
}

TEST(WindowsUi, MainWindowHasTheTemplatesControlsInPlace) {
    WithMainWindow([](CMainWindow& w) {
        HWND dlg = w.Hwnd();
        const res::DialogTemplate& tmpl = *res::FindTemplate(res::kMainWindow);
        EXPECT_EQ(TextOf(dlg), tmpl.caption);
        const LONG_PTR style = GetWindowLongPtrW(dlg, GWL_STYLE);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        EXPECT_TRUE(GetWindowLongPtrW(dlg, GWL_EXSTYLE) & WS_EX_APPWINDOW);
        EXPECT_TRUE(IsWindowVisible(dlg));

        RECT client{};
        GetClientRect(dlg, &client);
        const RECT want = DialogRect(dlg, 0, 0, tmpl.cx, tmpl.cy);
        EXPECT_EQ(client.right, want.right);
        EXPECT_EQ(client.bottom, want.bottom);

        for (const res::ControlTemplate& c : tmpl.controls) {
            if (c.id == res::kNoId)
                continue;
            SCOPED_TRACE("control " + std::to_string(c.id));
            HWND control = GetDlgItem(dlg, c.id);
            ASSERT_NE(control, nullptr);
            EXPECT_EQ(ClassOf(control), ExpectedClass(c.kind));
            // The dialog manager converts position and size each on its own.
            const RECT at = ClientRectOf(control);
            const RECT origin = DialogRect(dlg, c.x, c.y, 0, 0);
            const RECT size = DialogRect(dlg, 0, 0, c.cx, c.cy);
            EXPECT_EQ(at.left, origin.left);
            EXPECT_EQ(at.top, origin.top);
            EXPECT_EQ(at.right - at.left, size.right);
            if (c.kind != res::ControlKind::Combo) { // a closed combo is shorter than its list
                EXPECT_EQ(at.bottom - at.top, size.bottom);
            }
        }

        // Port closed: only the port settings and Port Open work.
        for (int id : {m::kButtonPortOpen, m::kComboPort, m::kComboBaud, m::kCheckDisableResponse})
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, id))) << id;
        for (int id : {m::kButtonPortClose, m::kButtonCheck, m::kButtonStart, m::kButtonRestart,
                       m::kButtonManual, m::kButtonFactoryReset, m::kRadio1To2})
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, id))) << id;
        EXPECT_EQ(TextOf(GetDlgItem(dlg, m::kStaticMessage)), "Port Open Please");
        EXPECT_EQ(IsDlgButtonChecked(dlg, m::kRadioMultiDrop), BST_CHECKED);
        EXPECT_EQ(IsDlgButtonChecked(dlg, m::kRadio1To2), BST_CHECKED);
        EXPECT_EQ(TextOf(GetDlgItem(dlg, m::kComboBaud)), "9600");
        EXPECT_EQ(TextOf(GetDlgItem(dlg, m::kComboParity)), "None");
        EXPECT_EQ(TextOf(GetDlgItem(dlg, m::kComboStopBits)), "1");
        EXPECT_EQ(SendDlgItemMessageW(dlg, m::kComboBaud, CB_GETCOUNT, 0, 0), 11);
    });
}

TEST(WindowsUi, SystemMenuEndsWithTheAboutItemAndTheIconIsSet) {
    WithMainWindow([](CMainWindow& w) {
        HMENU menu = GetSystemMenu(w.Hwnd(), FALSE);
        ASSERT_NE(menu, nullptr);
        const int n = GetMenuItemCount(menu);
        ASSERT_GE(n, 2);
        EXPECT_EQ(GetMenuItemID(menu, n - 1), static_cast<UINT>(id::kSysCommandAbout));
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(n - 1), text, 128, MF_BYPOSITION);
        EXPECT_EQ(Narrow(text), res::kAboutMenuText);
        MENUITEMINFOW before{};
        before.cbSize = sizeof(before);
        before.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(menu, static_cast<UINT>(n - 2), TRUE, &before);
        EXPECT_TRUE(before.fType & MFT_SEPARATOR);

        EXPECT_NE(SendMessageW(w.Hwnd(), WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_NE(SendMessageW(w.Hwnd(), WM_QUERYDRAGICON, 0, 0), 0);
    });
}

// The dialog a modal loop runs now: visible and enabled, while the window it
// belongs to is disabled. Whatever it is, the test looks and closes it, so a
// wrong window fails the test instead of hanging it.
bool IsModalDialog(HWND w) {
    return ClassOf(w) == "#32770" && IsWindowVisible(w) && IsWindowEnabled(w);
}

// Watches, from a timer, for the dialog a modal loop runs now; hands it to
// `inspect` and closes it with OK.
class CModalProbe {
  public:
    explicit CModalProbe(std::function<void(HWND)> inspect) {
        s_inspect = std::move(inspect);
        s_found = false;
        m_timer = SetTimer(nullptr, 0, 100, &Look);
    }
    ~CModalProbe() { KillTimer(nullptr, m_timer); }
    CModalProbe(const CModalProbe&) = delete;
    CModalProbe& operator=(const CModalProbe&) = delete;

    bool Found() const { return s_found; }

  private:
    static BOOL CALLBACK Visit(HWND w, LPARAM) {
        if (!IsModalDialog(w))
            return TRUE;
        s_found = true;
        s_inspect(w);
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        return FALSE;
    }
    static void CALLBACK Look(HWND, UINT, UINT_PTR, DWORD) {
        if (!s_found)
            EnumThreadWindows(GetCurrentThreadId(), &Visit, 0);
    }

    static inline std::function<void(HWND)> s_inspect;
    static inline bool s_found = false;
    UINT_PTR m_timer = 0;
};

TEST(WindowsUi, SystemMenuItemOpensTheAboutBox) {
    WithMainWindow([](CMainWindow& w) {
        std::string caption, ok;
        bool icon = false;
        HWND owner = nullptr;
        CModalProbe probe([&](HWND box) {
            SaveShot(box, L"about-win32.bmp");
            caption = TextOf(box);
            ok = TextOf(GetDlgItem(box, IDOK));
            owner = GetWindow(box, GW_OWNER);
            for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
                icon = icon || SendMessageW(c, STM_GETICON, 0, 0) != 0;
        });
        // Returns once the box, run modally, has been closed by its OK.
        SendMessageW(w.Hwnd(), WM_SYSCOMMAND, static_cast<WPARAM>(id::kSysCommandAbout), 0);
        ASSERT_TRUE(probe.Found());
        EXPECT_EQ(caption, res::FindTemplate(res::kAboutBox)->caption);
        EXPECT_EQ(ok, "확인");
        EXPECT_TRUE(icon) << "icon 128 missing from the about box";
        EXPECT_EQ(owner, w.Hwnd());
    });
}

TEST(WindowsUi, OnePicturePageShowsOverThePictureArea) {
    WithMainWindow([](CMainWindow& w) {
        HWND dlg = w.Hwnd();
        EXPECT_EQ(w.VisiblePicture(), 138); // the 1:2 overview
        HWND area = GetDlgItem(dlg, m::kPictureArea);
        const RECT want = ClientRectOf(area);
        int visible = 0;
        for (int page : id::kPicturePages) {
            SCOPED_TRACE("page " + std::to_string(page));
            HWND h = w.Picture(page);
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(GetParent(h), dlg);
            const RECT at = ClientRectOf(h);
            EXPECT_EQ(at.left, want.left);
            EXPECT_EQ(at.top, want.top);
            EXPECT_EQ(at.right, want.right);
            EXPECT_EQ(at.bottom, want.bottom);
            visible += IsWindowVisible(h) ? 1 : 0;

            // The page's bitmap at its own size and depth.
            HWND picture = GetWindow(h, GW_CHILD);
            ASSERT_NE(picture, nullptr);
            auto bitmap =
                reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
            ASSERT_NE(bitmap, nullptr);
            DIBSECTION dib{};
            ASSERT_EQ(GetObjectW(bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
            EXPECT_EQ(dib.dsBm.bmWidth, res::kBitmapWidth);
            EXPECT_EQ(dib.dsBm.bmHeight, res::kBitmapHeight);
            EXPECT_EQ(dib.dsBm.bmBitsPixel, res::FindPicturePage(page)->bitsPerPixel);
        }
        EXPECT_EQ(visible, 1);

        // On screen the page's white paper shows over the area, not the
        // area's own label painted over the page.
        RedrawWindow(dlg, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        PauseKeepingPainted(200);
        EXPECT_GT(WhiteShare(w.Picture(138)), 0.4);

        // The shown page is what a click in the middle of the area reaches.
        POINT middle{(want.left + want.right) / 2, (want.top + want.bottom) / 2};
        HWND hit = ChildWindowFromPointEx(dlg, middle, CWP_SKIPINVISIBLE);
        EXPECT_EQ(hit, w.Picture(138));
    });
}

// The wizard's picture: red arrow pixels where the page points, none on an
// overview; black tree lines and white paper on both.
TEST(WindowsUi, PictureBitmapsDrawTheTreeAndTheArrow) {
    auto colours = [](const res::PicturePage& page) {
        HBITMAP bitmap = DrawPictureBitmap(page);
        EXPECT_NE(bitmap, nullptr);
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = res::kBitmapWidth;
        info.biHeight = -res::kBitmapHeight;
        info.biPlanes = 1;
        info.biBitCount = 32;
        std::vector<std::uint32_t> px(res::kBitmapWidth * res::kBitmapHeight);
        HDC dc = GetDC(nullptr);
        GetDIBits(dc, bitmap, 0, res::kBitmapHeight, px.data(),
                  reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
        ReleaseDC(nullptr, dc);
        DeleteObject(bitmap);
        int red = 0, black = 0, white = 0;
        for (std::uint32_t p : px) {
            const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            red += r > 180 && g < 60 && b < 60;
            black += r + g + b < 100;
            white += r + g + b > 740;
        }
        return std::tuple{red, black, white};
    };
    for (const res::PicturePage& page : res::AllPicturePages()) {
        SCOPED_TRACE("page " + std::to_string(page.templateId));
        const auto [red, black, white] = colours(page);
        EXPECT_GT(black, 300);
        EXPECT_GT(white, res::kBitmapWidth * res::kBitmapHeight / 2);
        if (page.arrow == res::ArrowTarget::None) {
            EXPECT_EQ(red, 0);
        } else {
            EXPECT_GT(red, 100);
        }
    }
}

TEST(WindowsUi, ResourcesCarryTheMenuTextAndTheVersion) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    wchar_t text[128] = {};
    ASSERT_GT(LoadStringW(self, static_cast<UINT>(res::kStringAboutMenu), text, 128), 0);
    EXPECT_EQ(Narrow(text), res::kAboutMenuText);
    EXPECT_NE(LoadIconW(self, MAKEINTRESOURCEW(res::kIconApp)), nullptr);
    auto small = static_cast<HICON>(
        LoadImageW(self, MAKEINTRESOURCEW(res::kIconApp), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(small, nullptr);
    DestroyIcon(small);

    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    EXPECT_EQ(fixed->dwFileVersionMS, (static_cast<DWORD>(res::kFileVersion[0]) << 16) |
                                          static_cast<DWORD>(res::kFileVersion[1]));
    EXPECT_EQ(fixed->dwFileVersionLS, (static_cast<DWORD>(res::kFileVersion[2]) << 16) |
                                          static_cast<DWORD>(res::kFileVersion[3]));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &len));
    EXPECT_EQ(translation[0], 0x0412); // Korean
    EXPECT_EQ(translation[1], 1200);   // UTF-16
    wchar_t* name = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\041204b0\\InternalName",
                               reinterpret_cast<void**>(&name), &len));
    EXPECT_EQ(Narrow(name), res::kInternalName);
}

std::string DlgText(HWND dlg, int id) {
    return TextOf(GetDlgItem(dlg, id));
}

void Click(HWND dlg, int id) {
    SendDlgItemMessageW(dlg, id, BM_CLICK, 0, 0);
}

// The whole path from a click to the adapter and back: the window's logic,
// the Windows serial port and the simulated bench's master, at real pauses.
TEST(WindowsUi, PortOpenCheckAndManualSettingReachTheAdapter) {
    const char* port = std::getenv("NW_WIN32_BENCH_PORT");
    if (port == nullptr)
        GTEST_SKIP() << "set NW_WIN32_BENCH_PORT to a COM port with the simulated master attached";
    CHostContext context;
    context.instance = GetModuleHandleW(nullptr);
    std::vector<std::string> boxes;
    context.messageBox = [&](const std::string& text, const std::string& detail) {
        boxes.push_back(detail.empty() ? text : text + " / " + detail);
    };
    // Every pause belongs to an operation: the hourglass shows through it.
    int pausesWithoutHourglass = 0;
    context.afterPause = [&] {
        pausesWithoutHourglass += GetCursor() == LoadCursorW(nullptr, IDC_WAIT) ? 0 : 1;
    };
    CMainWindow window(context);
    std::string manualInfo;
    bool manualIdleWithArrow = false;
    window.onManualOpened = [&](CManualWindow& manual) {
        manualInfo = DlgText(manual.Hwnd(), id::manual::kStaticInfo);
        manualIdleWithArrow = GetCursor() == LoadCursorW(nullptr, IDC_ARROW);
        SaveShot(manual.Hwnd(), L"manual-win32.bmp");
        manual.End(IDCANCEL);
    };
    // Ends the window whatever happens in the steps, so a failure cannot hang it.
    auto steps = [&](CMainWindow& w) {
        HWND dlg = w.Hwnd();
        // "COMn" and anything after it: the number is the port.
        SetDlgItemTextW(dlg, m::kComboPort, Widen(std::string(port) + " (bench)").c_str());
        Click(dlg, m::kButtonPortOpen);
        ASSERT_TRUE(boxes.empty()) << boxes.front();
        EXPECT_EQ(DlgText(dlg, m::kStaticMessage), "Port Open");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, m::kButtonPortOpen)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, m::kButtonCheck)));

        Click(dlg, m::kButtonCheck);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].rfind("Friendly Name: OLMA-M\nBluetooth Address: 0001950A0B00\n", 0), 0u)
            << boxes[0];

        Click(dlg, m::kButtonManual);
        EXPECT_NE(manualInfo.find("0001950A0B00"), std::string::npos) << manualInfo;
        EXPECT_EQ(pausesWithoutHourglass, 0);
        EXPECT_TRUE(manualIdleWithArrow);

        Click(dlg, m::kButtonPortClose);
        EXPECT_EQ(DlgText(dlg, m::kStaticMessage), "Port Close");
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, m::kButtonPortOpen)));
    };
    window.onShown = [&](CMainWindow& w) {
        steps(w);
        w.End(IDCANCEL);
    };
    window.Run();
    EXPECT_FALSE(window.Logic().m_port.IsOpen());
}

// The simulated bench's console, reached from Windows: commands go into its
// input (a FIFO), and each is known done when the bench has answered the
// marker line sent after it.
class CBenchConsole {
  public:
    CBenchConsole(std::wstring input, std::wstring output)
        : m_input(std::move(input)), m_output(std::move(output)) {}

    bool Do(const std::string& command) {
        const std::string marker = "mark" + std::to_string(++m_marker);
        FILE* in = _wfopen(m_input.c_str(), L"ab");
        if (in == nullptr)
            return false;
        const std::string lines = command + "\n" + marker + "\n";
        const bool sent = std::fwrite(lines.data(), 1, lines.size(), in) == lines.size();
        std::fclose(in);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (sent && std::chrono::steady_clock::now() < until) {
            if (OutputHas("\"" + marker + "\""))
                return true;
            Sleep(20);
        }
        return false;
    }

  private:
    bool OutputHas(const std::string& text) const {
        FILE* out = _wfopen(m_output.c_str(), L"rb");
        if (out == nullptr)
            return false;
        std::string all;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, out)) > 0;)
            all.append(buf, n);
        std::fclose(out);
        return all.find(text) != std::string::npos;
    }

    std::wstring m_input, m_output;
    int m_marker = 0;
};

// The guided 1:2 setting clicked through the window, the bench switched
// between presses as a person swaps adapters; the bytes each adapter got and
// the network the bench sees are checked by scripts/test-windows.
TEST(WindowsUiWizard, OneToTwoClickedThroughToSuccess) {
    const char* port = std::getenv("NW_WIN32_BENCH_PORT");
    const wchar_t* console = _wgetenv(L"NW_WIN32_BENCH_CONSOLE");
    const wchar_t* output = _wgetenv(L"NW_WIN32_BENCH_OUTPUT");
    if (port == nullptr || console == nullptr || output == nullptr)
        GTEST_SKIP() << "set NW_WIN32_BENCH_PORT, NW_WIN32_BENCH_CONSOLE and "
                        "NW_WIN32_BENCH_OUTPUT (scripts/test-windows does)";
    CBenchConsole bench(console, output);
    CHostContext context;
    context.instance = GetModuleHandleW(nullptr);
    std::vector<std::string> boxes;
    context.messageBox = [&](const std::string& text, const std::string&) {
        boxes.push_back(text);
    };
    CMainWindow window(context);
    // Ends the window whatever happens in the steps, so a failure cannot hang it.
    auto steps = [&](CMainWindow& w) {
        HWND dlg = w.Hwnd();
        SetDlgItemTextW(dlg, m::kComboPort, Widen(port).c_str());
        Click(dlg, m::kButtonPortOpen);
        Click(dlg, m::kRadio1To2);
        Click(dlg, m::kRadioMultiDrop);
        const std::pair<const char*, const char*> presses[] = {
            {"master", "Connect master to the serial port and push next button."},
            {"master", "Connect slave1 to a serial device and push next button."},
            {"slave1", "Connect slave2 to a serial device and push start button."},
            {"slave2", "Connect master to a serial device and push start button."},
            {"master", "SUCCESS: Multi setting complete."},
        };
        bool first = true;
        for (const auto& [adapter, message] : presses) {
            SCOPED_TRACE(std::string(adapter) + " -> " + message);
            ASSERT_TRUE(bench.Do(std::string("attach ") + adapter));
            // Into the first step's pause, which handles sent messages,
            // another thread sends Check OLMA's and Start's clicks as an
            // accessibility tool does: the step must still run alone (its
            // bytes are checked by scripts/test-windows).
            std::atomic<bool> stepOver = false, sent = false;
            bool sentDuringStep = false;
            std::thread sender;
            if (std::exchange(first, false))
                sender = std::thread([&] {
                    Sleep(500);
                    Click(dlg, m::kButtonCheck);
                    Click(dlg, m::kButtonStart);
                    sentDuringStep = !stepOver;
                    sent = true;
                });
            Click(dlg, m::kButtonStart);
            stepOver = true;
            if (sender.joinable()) {
                while (!sent)
                    PauseKeepingPainted(10); // takes the clicks if the step did not
                sender.join();
                EXPECT_TRUE(sentDuringStep);
            }
            EXPECT_EQ(DlgText(dlg, m::kStaticMessage), message);
            int shown = 0;
            for (int page : id::kPicturePages)
                shown += IsWindowVisible(w.Picture(page)) ? 1 : 0;
            EXPECT_EQ(shown, 1);
        }
        Click(dlg, m::kButtonPortClose);
    };
    window.onShown = [&](CMainWindow& w) {
        steps(w);
        w.End(IDCANCEL);
    };
    window.Run();
    EXPECT_TRUE(boxes.empty()) << boxes.front();
}

TEST(WindowsUi, MessageBoxHasOnlyOkAndShowsTheDetailBelowTheText) {
    CHostContext context;
    context.instance = GetModuleHandleW(nullptr);
    CWin32Host host(context);
    std::string title, text;
    std::vector<int> buttons; // by id: their texts follow the system's language
    CModalProbe probe([&](HWND box) {
        title = TextOf(box);
        for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            if (ClassOf(c) == "Button" && IsWindowVisible(c))
                buttons.push_back(GetDlgCtrlID(c));
            else if (ClassOf(c) == "Static" && !TextOf(c).empty())
                text = TextOf(c);
        }
    });
    host.MessageBox("ERROR: Serial Port Open", "COM7: no such device");
    ASSERT_TRUE(probe.Found());
    EXPECT_EQ(title, res::kMessageBoxTitle);
    EXPECT_EQ(buttons, std::vector<int>{IDOK});
    EXPECT_EQ(text, "ERROR: Serial Port Open\n\nCOM7: no such device");
}

TEST(WindowsUi, WaitCursorSetsTheHourglassAndTheArrow) {
    CWaitCursorState cursor;
    cursor.Raise();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    {
        CWaitCursorState::IdleScope idle(cursor);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    }
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    cursor.Lower();
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
}

// A window that counts its paints.
struct PaintCounter {
    static inline int paints = 0;
    static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PAINT)
            ++paints;
        return DefWindowProcW(h, msg, wp, lp);
    }
};

TEST(WindowsUi, PauseKeepsPaintingWhileInputWaitsWithoutSpinning) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &PaintCounter::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"NwPaintCounter";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(L"NwPaintCounter", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                           nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(w, nullptr);
    PauseKeepingPainted(50);
    PaintCounter::paints = 0;
    InvalidateRect(w, nullptr, TRUE);
    PostMessageW(w, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(w, WM_LBUTTONDOWN, 0, 0);

    FILETIME created, exited, kernel0, user0, kernel1, user1;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel0, &user0);
    const auto start = std::chrono::steady_clock::now();
    PauseKeepingPainted(300);
    const auto waited = std::chrono::steady_clock::now() - start;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel1, &user1);
    auto ticks = [](const FILETIME& f) {
        return (static_cast<std::uint64_t>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
    };
    const double cpuMs =
        static_cast<double>(ticks(kernel1) - ticks(kernel0) + ticks(user1) - ticks(user0)) / 1e4;

    EXPECT_GE(waited, std::chrono::milliseconds(300));
    EXPECT_GE(PaintCounter::paints, 1) << "the window was not repainted during the pause";
    EXPECT_LT(cpuMs, 100.0) << "the pause spun instead of waiting";
    // The input is still queued, in order, for after the operation.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, w, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_KEYDOWN));
    ASSERT_TRUE(PeekMessageW(&msg, w, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_LBUTTONDOWN));
    DestroyWindow(w);
}

} // namespace
} // namespace nw::win::test
