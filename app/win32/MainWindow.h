// The main window (template 102) around its logic: the port and line
// settings, the message area, the fifteen picture pages laid on the picture
// area, the wizard's buttons, and the system menu's items: the about box
// (command 16), the wizard's read-back, Fast, and the records.
#pragma once

#include "app/win32/ManualWindow.h"
#include "app/win32/PicturePage.h"
#include "app/win32/RecordsWindow.h"
#include "app/win32/TemplateDialog.h"
#include "app/win32/Win32Host.h"
#include "serial/SerialEnum.h"
#include "ui/SetupDlg.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace nw::records {
class CRecordKeeper;
}

namespace nw::win {

class CMainWindow : public CTemplateDialog {
  public:
    // `ports`: where the port list comes from; nullptr: the system's ports.
    // `recordsPath`: the records database; empty: the user's default file.
    explicit CMainWindow(CHostContext& context, CSerialEnum* ports = nullptr,
                         const std::string& recordsPath = {});
    ~CMainWindow() override;

    // Runs the window until the user closes it.
    void Run() { RunModal(nullptr); }

    CSetupDlg& Logic() { return m_dlg; }
    CWin32Host& Host() { return m_host; }
    // The picture page numbered `templateId`, null when there is none.
    HWND Picture(int templateId) const;
    // The page shown now, 0 when none.
    int VisiblePicture() const;

    // "Keep records": on, the wizard's steps and Master/Slave Set are
    // recorded. Turning it on opens the database; false when it cannot be
    // opened (the user is told why, and the item stays off).
    bool KeepRecords(bool on);
    // The records window while it is open, else nullptr.
    CRecordsWindow* RecordsWindow() const;

    // Runs once the window is initialised, inside its modal loop (after the
    // window has been shown).
    std::function<void(CMainWindow&)> onShown;
    // Tests only: runs inside the Manual Setting window's modal loop.
    std::function<void(CManualWindow&)> onManualOpened;

  protected:
    void OnInitDialog() override;
    bool OnCommand(int id, int code) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  private:
    void AddAboutItem();
    void ToggleVerify();
    // Waits that end on the adapter's reply (the system menu's Fast item).
    bool ReplyPacing();
    void SetReplyPacing(bool reply);
    void ToggleFast();
    void ToggleKeepRecords();
    void OpenRecords();
    void Warn(const std::string& caption, const std::string& text);
    // The line settings and wizard choices of the last run (the user's
    // registry), and keeping them for the next.
    void RestoreSettings();
    void SaveSettings();
    void CreatePicturePages();
    void LayoutPictures();
    void RunManual(CSetupDlg& owner);
    void RunAbout();

    CSerialEnum* m_ports;
    CWin32Host m_host;
    CSetupDlg m_dlg;
    std::vector<std::unique_ptr<CPicturePage>> m_pages;
    std::unique_ptr<records::CRecordKeeper> m_records;
    std::unique_ptr<CRecordsWindow> m_recordsWindow;
    HICON m_icon = nullptr;
    HICON m_smallIcon = nullptr;
};

} // namespace nw::win
