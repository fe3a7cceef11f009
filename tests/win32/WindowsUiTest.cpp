// The native windows, run for real (under Wine in CI), and one run from clicks to the bench.
#include "app/win32/MainWindow.h"
#include "app/win32/PaintingPause.h"
#include "app/win32/RecordsWindow.h"
#include "app/win32/Text.h"
#include "records/RecordFormat.h"
#include "records/RecordStore.h"
#include "res/ControlIds.h"
#include "res/Strings.h"
#include "serial/ByteSpelling.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace nw::win::test {
namespace {

namespace m = id::main;
constexpr wchar_t kSettingsKey[] = L"Software\\Nodewright";

std::string ClassOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return Narrow(name);
}

std::string TextOf(HWND w, int id = 0) {
    wchar_t text[512] = {};
    GetWindowTextW(id != 0 ? GetDlgItem(w, id) : w, text, 512);
    return Narrow(text);
}

const auto Click = [](HWND dlg, int id) { SendDlgItemMessageW(dlg, id, BM_CLICK, 0, 0); };
const auto Command = [](HWND w, int command) { SendMessageW(w, WM_SYSCOMMAND, command, 0); };
const auto MenuChecked = [](HWND w, int command) {
    return (GetMenuState(GetSystemMenu(w, FALSE), command, MF_BYCOMMAND) & MF_CHECKED) != 0;
};

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

DWORD Stored(const wchar_t* name) { // 2: never stored
    DWORD value = 2, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// Runs `check` in the main window's modal loop, then ends it (a failure cannot hang the
// test); returns the message boxes, recorded ("text / detail") instead of shown.
std::vector<std::string> WithMainWindow(const std::function<void(CMainWindow&)>& check,
                                        const std::string& recordsPath = {},
                                        std::function<void()> afterPause = {}) {
    CHostContext context;
    context.instance = GetModuleHandleW(nullptr);
    context.afterPause = std::move(afterPause);
    std::vector<std::string> boxes;
    context.messageBox = [&](const std::string& text, const std::string& detail) {
        boxes.push_back(detail.empty() ? text : text + " / " + detail);
    };
    CMainWindow window(context, nullptr, recordsPath); // listing ports opens none
    bool ran = false;
    window.onShown = [&](CMainWindow& w) { ran = true, check(w), w.End(IDCANCEL); };
    window.Run();
    EXPECT_TRUE(ran) << "the main window never showed";
    EXPECT_FALSE(window.Logic().m_port.IsOpen());
    return boxes;
}

// What a modal dialog showed ("caption|last static text|visible button ids|icon|owned"),
// found from a timer while `open` runs it, closed with OK.
std::string ShowModal(HWND owner, const std::function<void()>& open) {
    static HWND s_owner;
    static std::string seen;
    s_owner = owner, seen.clear();
    static const WNDENUMPROC visit = [](HWND w, LPARAM) -> BOOL {
        if (ClassOf(w) != "#32770" || !IsWindowVisible(w) || !IsWindowEnabled(w))
            return TRUE;
        std::string text, buttons, icon;
        for (HWND c = GetWindow(w, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            icon = SendMessageW(c, STM_GETICON, 0, 0) != 0 ? "|icon" : icon;
            if (ClassOf(c) == "Button" && IsWindowVisible(c))
                buttons += std::to_string(GetDlgCtrlID(c));
            else if (ClassOf(c) == "Static" && !TextOf(c).empty())
                text = TextOf(c);
        }
        seen = TextOf(w) + "|" + text + "|" + buttons + icon +
               (GetWindow(w, GW_OWNER) == s_owner ? "|owned" : "");
        PostMessageW(w, WM_COMMAND, IDOK, 0);
        return FALSE;
    };
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        if (seen.empty())
            EnumThreadWindows(GetCurrentThreadId(), visit, 0);
    });
    open(); // returns once the dialog, run modally, has been closed
    KillTimer(nullptr, timer);
    return seen;
}

struct CTempDir { // under the user's temporary directory, removed after
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("nwrec" + std::to_string(GetCurrentProcessId()));
    CTempDir() { std::filesystem::create_directories(path); }
    ~CTempDir() { std::filesystem::remove_all(path, ec); }
    mutable std::error_code ec;
    std::wstring File(const wchar_t* name) const { return (path / name).wstring(); }
    std::string Utf8(const wchar_t* name) const { return Narrow(File(name)); }
};

// The window, its system menu, about box and message box; records that cannot be kept;
// settings and choices back in the next run (a port that is gone left out).
TEST(WindowsUi, MainWindowItsMenuAndBoxesAndWhatItRemembers) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    const CTempDir dir;
    std::fclose(_wfopen(dir.File(L"file").c_str(), L"wb")); // not a directory
    const int keep = id::kSysCommandKeepRecords;
    auto boxes = WithMainWindow(
        [&](CMainWindow& w) {
            HWND dlg = w.Hwnd();
            EXPECT_EQ(TextOf(dlg), res::FindTemplate(res::kMainWindow)->caption);
            EXPECT_EQ(TextOf(dlg, m::kComboBaud), "9600");
            HMENU menu = GetSystemMenu(dlg, FALSE);
            int n = GetMenuItemCount(menu) - 6; // a separator (0), then the program's items
            for (const int item :
                 {0, id::kSysCommandVerify, id::kSysCommandKeepRecords, id::kSysCommandRecords,
                  id::kSysCommandFast, id::kSysCommandAbout})
                EXPECT_EQ(static_cast<int>(GetMenuItemID(menu, n++)), item);
            wchar_t text[128] = {};
            GetMenuStringW(menu, static_cast<UINT>(n - 1), text, 128, MF_BYPOSITION);
            EXPECT_EQ(Narrow(text), res::kAboutMenuText);
            // The two menu choices: toggled, checked, remembered, toggled back.
            CSetupDlg& logic = w.Logic();
            const std::tuple<int, const wchar_t*, std::function<bool()>> choices[] = {
                {id::kSysCommandVerify, L"VerifyEachStep", [&] { return logic.m_verifyEachStep; }},
                {id::kSysCommandFast, L"ReplyPacing",
                 [&] { return logic.m_exchange.Pacing().mode == PacingMode::Reply; }}};
            for (const auto& [command, name, on] : choices) {
                const bool was = on();
                EXPECT_EQ(MenuChecked(dlg, command), was);
                Command(dlg, command);
                EXPECT_EQ(on(), !was);
                EXPECT_EQ(MenuChecked(dlg, command), !was);
                EXPECT_EQ(Stored(name), was ? 0u : 1u);
                Command(dlg, command);
            }
            EXPECT_NE(SendMessageW(dlg, WM_GETICON, ICON_BIG, 0), 0);
            EXPECT_NE(SendMessageW(dlg, WM_QUERYDRAGICON, 0, 0), 0);
            Command(dlg, keep);
            EXPECT_FALSE(MenuChecked(dlg, keep) || logic.m_recorder);
            EXPECT_EQ(Stored(L"KeepRecords"), 2u);

            const std::string about = ShowModal(dlg, [&] { Command(dlg, id::kSysCommandAbout); });
            EXPECT_EQ(about.rfind(res::FindTemplate(res::kAboutBox)->caption + std::string("|"), 0),
                      0u);
            EXPECT_TRUE(about.ends_with("|1|icon|owned")) << about;
            w.Host().Context().messageBox = nullptr; // the real box from here on
            const auto box = [&] {
                w.Host().MessageBox("ERROR: Serial Port Open", "COM7: no such device");
            };
            EXPECT_EQ(ShowModal(dlg, box),
                      std::string(res::kMessageBoxTitle) +
                          "|ERROR: Serial Port Open\n\nCOM7: no such device|1|icon|owned");

            SendDlgItemMessageW(dlg, m::kComboBaud, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(L"19200"));
            SetDlgItemTextW(dlg, m::kComboPort, L"COM77");
            CheckDlgButton(dlg, m::kCheckDisableResponse, BST_CHECKED);
            // The radios wait for an open port: their handlers, as the window runs them.
            logic.OnRadio1To3();
            logic.OnRadioNodeSwitching();
        },
        dir.Utf8(L"file\\records.sqlite"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Records cannot be kept: records database ", 0), 0u) << boxes[0];
    const DWORD on = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"KeepRecords", REG_DWORD, &on, sizeof on);
    boxes = WithMainWindow(
        [&](CMainWindow& w) {
            HWND dlg = w.Hwnd();
            EXPECT_EQ(TextOf(dlg, m::kComboBaud), "19200");
            EXPECT_EQ(TextOf(dlg, m::kComboPort), "");
            EXPECT_EQ(IsDlgButtonChecked(dlg, m::kCheckDisableResponse), BST_CHECKED);
            EXPECT_EQ(w.Logic().m_nOneToN, NetworkSize::OneToThree);
            EXPECT_EQ(w.Logic().m_nMode, ConnectionMode::NodeSwitching);
            EXPECT_EQ(IsDlgButtonChecked(dlg, m::kRadioNodeSwitching), BST_CHECKED);
            EXPECT_TRUE(MenuChecked(dlg, keep) && w.Logic().m_recorder) << "not remembered";
            Command(dlg, keep);
            EXPECT_FALSE(MenuChecked(dlg, keep) || w.Logic().m_recorder);
            EXPECT_EQ(Stored(L"KeepRecords"), 0u);
        },
        dir.Utf8(L"기록\\records.sqlite"));
    EXPECT_TRUE(boxes.empty()) << boxes.front();
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    wchar_t local[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH), 0u);
    EXPECT_EQ(records::DefaultDatabasePath(), Narrow(local) + "\\Nodewright\\records.sqlite");
}

TEST(WindowsUi, PauseKeepsPaintingWhileInputWaitsWithoutSpinning) {
    HWND w = CreateWindowW(L"STATIC", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                           nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    PauseKeepingPainted(50);
    InvalidateRect(w, nullptr, TRUE);
    PostMessageW(w, WM_KEYDOWN, VK_SPACE, 0);
    PostMessageW(w, WM_LBUTTONDOWN, 0, 0);
    auto cpu = [] { // kernel + user, in 100 ns (a difference of low words is right)
        FILETIME unused, kernel, user;
        GetThreadTimes(GetCurrentThread(), &unused, &unused, &kernel, &user);
        return kernel.dwLowDateTime + user.dwLowDateTime;
    };
    const DWORD cpu0 = cpu();
    const DWORD start = GetTickCount();
    PauseKeepingPainted(300);
    EXPECT_GE(GetTickCount() - start, 290u);
    EXPECT_LT(cpu() - cpu0, 100u * 10000u) << "the pause spun instead of waiting";
    EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "the window was not repainted in the pause";
    MSG msg; // the input is still queued, in order, for after the operation
    for (const UINT input : {WM_KEYDOWN, WM_LBUTTONDOWN}) {
        ASSERT_TRUE(PeekMessageW(&msg, w, 0, 0, PM_REMOVE));
        EXPECT_EQ(msg.message, input);
    }
    DestroyWindow(w);
}

// The bench's console: a command into its FIFO; the answer is its output up to the marker's.
struct CBench {
    const wchar_t *input, *output;
    int marker = 0;

    std::string Do(const std::string& command) {
        const std::string mark = "winmark" + std::to_string(++marker);
        const std::size_t from = FileText(output).size();
        if (FILE* in = _wfopen(input, L"ab")) {
            std::fprintf(in, "%s\n%s\n", command.c_str(), mark.c_str());
            std::fclose(in);
        }
        for (int i = 0; i < 500; ++i, Sleep(20)) {
            const std::string out = FileText(output);
            const auto at = out.find("\"" + mark + "\"", from);
            if (at != std::string::npos)
                return out.substr(from, at - from);
        }
        return "(no answer to " + command + ")";
    }
    // What the adapters received since the last call, spelled, headed by each adapter's name.
    std::string Received() {
        std::istringstream lines(Do("transcript")); // "ms RX|TX adapter spelled-bytes"
        std::string out, last, ms, dir, who, bytes;
        while (lines >> ms >> dir >> who && std::getline(lines >> std::ws, bytes))
            if (dir == "RX")
                out += (who == last ? "" : " " + who + ": ") + bytes, last = who;
        Do("transcript clear");
        return out;
    }
};

// From clicks to the adapters and back at real pauses, the bench switched between the
// wizard's presses as a person swaps adapters; records kept of the run.
TEST(WindowsUi, ClicksReachTheBenchThroughCheckManualAndTheWizard) {
    const char* port = std::getenv("NW_WIN32_BENCH_PORT");
    CBench bench{_wgetenv(L"NW_WIN32_BENCH_CONSOLE"), _wgetenv(L"NW_WIN32_BENCH_OUTPUT")};
    if (port == nullptr || bench.input == nullptr || bench.output == nullptr)
        GTEST_SKIP() << "set NW_WIN32_BENCH_PORT, NW_WIN32_BENCH_CONSOLE and "
                        "NW_WIN32_BENCH_OUTPUT (scripts/test-windows does)";
    for (const char* adapter : {"master", "slave1", "slave2"}) // as new
        bench.Do(std::string("reset ") + adapter);
    const CTempDir dir;
    const std::string path = dir.Utf8(L"기록\\records.sqlite"); // as a Korean user may name it
    // Every pause belongs to an operation: the hourglass shows through it.
    int pausesWithoutHourglass = 0;
    auto afterPause = [&] {
        pausesWithoutHourglass += GetCursor() != LoadCursorW(nullptr, IDC_WAIT);
    };
    const auto boxes = WithMainWindow(
        [&](CMainWindow& w) {
            HWND dlg = w.Hwnd();
            // "COMn" and anything after it: the number is the port.
            SetDlgItemTextW(dlg, m::kComboPort, Widen(std::string(port) + " (bench)").c_str());
            Click(dlg, m::kButtonPortOpen);
            EXPECT_EQ(TextOf(dlg, m::kStaticMessage), "Port Open");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, m::kButtonPortOpen)));
            Click(dlg, m::kButtonCheck); // its report box is recorded
            std::string manual;          // its text, and the arrow once it is idle
            w.onManualOpened = [&](CManualWindow& mw) {
                manual = TextOf(mw.Hwnd(), id::manual::kStaticInfo) +
                         (GetCursor() == LoadCursorW(nullptr, IDC_ARROW) ? "|arrow" : "");
                mw.End(IDCANCEL);
            };
            Click(dlg, m::kButtonManual);
            EXPECT_TRUE(manual.ends_with("|arrow") && manual.find("0001950A0B00") != manual.npos)
                << manual;

            Command(dlg, id::kSysCommandKeepRecords);
            EXPECT_TRUE(MenuChecked(dlg, id::kSysCommandKeepRecords));
            EXPECT_EQ(Stored(L"KeepRecords"), 1u);
            Click(dlg, m::kRadio1To2);
            Click(dlg, m::kRadioMultiDrop);
            bench.Received();
            const std::pair<const char*, const char*> presses[] = {
                {"master", "Connect master to the serial port and push next button."},
                {"master", "Connect slave1 to a serial device and push next button."},
                {"slave1", "Connect slave2 to a serial device and push start button."},
                {"slave2", "Connect master to a serial device and push start button."},
                {"master", "SUCCESS: Multi setting complete."},
            };
            int press = 0;
            for (const auto& [adapter, message] : presses) {
                SCOPED_TRACE(std::string(adapter) + " -> " + message);
                bench.Do(std::string("attach ") + adapter);
                // Check's and Start's clicks sent into step 1's pause from another thread
                // (as an accessibility tool): neither runs, now or later (see the bytes).
                std::atomic<bool> sent = false;
                std::thread sender;
                if (++press == 1)
                    sender = std::thread([&] {
                        Sleep(500);
                        Click(dlg, m::kButtonCheck);
                        Click(dlg, m::kButtonStart);
                        sent = true;
                    });
                Click(dlg, m::kButtonStart);
                EXPECT_TRUE(press > 1 || sent) << "the clicks came after the step";
                while (sender.joinable() && !sent)
                    PauseKeepingPainted(10); // takes the clicks if the step did not
                if (sender.joinable())
                    sender.join();
                EXPECT_EQ(TextOf(dlg, m::kStaticMessage), message);
                EXPECT_EQ(
                    std::ranges::count_if(id::kPicturePages,
                                          [&](int p) { return IsWindowVisible(w.Picture(p)); }),
                    1);
                if (press == 2) { // the first two steps, listed, filtered and exported
                    Command(w.Hwnd(), id::kSysCommandRecords);
                    CRecordsWindow* records = w.RecordsWindow();
                    ASSERT_NE(records, nullptr);
                    HWND list = records->Control(CRecordsWindow::kList),
                         filter = records->Control(CRecordsWindow::kFilter);
                    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
                    EXPECT_EQ(TextOf(records->Control(CRecordsWindow::kStatus)),
                              "2 record(s) in " + path);
                    SetWindowTextW(filter, L" 0001950a0b00 ");
                    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
                    for (const auto& [column, want] :
                         {std::pair{6, "0001950A0B00"}, {8, "wizard-read"}}) {
                        wchar_t cell[64] = {};
                        LVITEMW item{};
                        item.iSubItem = column, item.pszText = cell, item.cchTextMax = 64;
                        SendMessageW(list, LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
                        EXPECT_EQ(Narrow(cell), want);
                    }
                    // Tab moves on from the filter: the main window's dialog loop hands it the key.
                    SetFocus(filter);
                    MSG tab{filter, WM_KEYDOWN, VK_TAB, 0, 0, {}};
                    EXPECT_TRUE(CallMsgFilterW(&tab, MSGF_DIALOGBOX));
                    EXPECT_EQ(GetFocus(), records->Control(CRecordsWindow::kExport));

                    std::string error;
                    ASSERT_TRUE(records->ExportCsv(dir.File(L"out.csv"), error)) << error;
                    std::vector<records::Record> shown;
                    ASSERT_TRUE(records::ReadRecords(path, {.address = "0001950A0B00", .since = {}},
                                                     shown, error));
                    const std::string csv = FileText(dir.File(L"out.csv"));
                    EXPECT_EQ(csv, records::FormatRecords(shown, records::RecordFormat::Csv));
                    EXPECT_NE(csv.find(",0001950A0B00,OLMA-M,wizard-read,"), std::string::npos)
                        << csv;
                    EXPECT_FALSE(records->ExportCsv(dir.File(L"no-such-dir\\out.csv"), error));
                    Command(dlg, id::kSysCommandKeepRecords);
                }
            }
            const std::string detect = "at\r\nat+btinfo?\r\nat\r\nat+btinfo?\r\nato\r\n";
            const std::string slave = detect +
                                      "ATS46=0001950A0B00\r\nat+btcancel\r\nat+btmode,2\r\n"
                                      "ats10=1\r\natz\r\n";
            EXPECT_EQ(bench.Received(),
                      " master: " + SpellBytes("at\r\nat+btinfo?\r\nats53?\r\n" + detect) +
                          " slave1: " + SpellBytes(slave) + " slave2: " + SpellBytes(slave) +
                          " master: " +
                          SpellBytes(detect +
                                     "ATS46=0001950A0B01\r\nATS54=0001950A0B02\r\n"
                                     "ats55=000000000000\r\nats56=000000000000\r\nat+btcancel\r\n"
                                     "at+btmode,1\r\nats10=1\r\nats53=1\r\n"));
            // "Fast": Check ends on the replies, well before its 2.8 s of pauses.
            Command(dlg, id::kSysCommandFast);
            ASSERT_EQ(w.Logic().m_exchange.Pacing().mode, PacingMode::Reply);
            const DWORD start = GetTickCount();
            Click(dlg, m::kButtonCheck);
            EXPECT_LT(GetTickCount() - start, 1500u);
            Command(dlg, id::kSysCommandFast); // as it was
            Click(dlg, m::kButtonPortClose);
            EXPECT_EQ(TextOf(dlg, m::kStaticMessage), "Port Close");
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dlg, m::kButtonPortOpen)));
        },
        path, afterPause);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"KeepRecords");
    ASSERT_EQ(boxes.size(), 2u) << (boxes.empty() ? "" : boxes.back()); // the Checks' reports only
    for (const std::string& box : boxes)
        EXPECT_EQ(box.rfind("Friendly Name: OLMA-M\nBluetooth Address: 0001950A0B00\n", 0), 0u)
            << box;
    EXPECT_NE(boxes[1].find("\nMode: MODE1\n"), std::string::npos)
        << "the master as the wizard left it";
    EXPECT_EQ(pausesWithoutHourglass, 0);
}

} // namespace
} // namespace nw::win::test
