// nodewright.exe: the desktop program on Windows, native dialogs built from
// the same templates as every other front end. Runs the main window until
// the user closes it.
//   nodewright.exe                      the program
//   nodewright.exe --screenshot FILE    shows the main window, saves what the
//                                       screen shows of it as a BMP, and ends
#include "app/win32/HostContext.h"
#include "app/win32/MainWindow.h"
#include "app/win32/PaintingPause.h"
#include "app/win32/Screenshot.h"

#include "app/win32/Win32.h"

#include <shellapi.h>

#include <string>

namespace {

// The value after `option` on the command line, empty when absent.
std::wstring OptionValue(const wchar_t* option) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::wstring value;
    for (int i = 1; argv != nullptr && i + 1 < argc; ++i) {
        if (std::wstring(argv[i]) == option)
            value = argv[i + 1];
    }
    LocalFree(argv);
    return value;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    nw::win::CHostContext context;
    context.instance = instance;
    nw::win::CMainWindow window(context);

    const std::wstring screenshot = OptionValue(L"--screenshot");
    int status = 0;
    if (!screenshot.empty()) {
        window.onShown = [&](nw::win::CMainWindow& w) {
            // Let the window and its pictures paint, then take what is on screen.
            nw::win::PauseKeepingPainted(700);
            RedrawWindow(w.Hwnd(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
            nw::win::PauseKeepingPainted(300);
            status = nw::win::SaveWindowImage(w.Hwnd(), screenshot) ? 0 : 1;
            w.End(IDCANCEL);
        };
    }
    window.Run();
    return status;
}
