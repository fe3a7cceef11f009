// The main window (template 102) around its logic: the port and line
// settings, the message area, the fifteen picture pages on the picture area,
// the wizard's buttons; clicks go to the logic's handlers. The about item
// sits in the window's context menu and on F1, where Linux users look for
// what a system menu offers elsewhere.
#pragma once

#include "app/qt/HostContext.h"
#include "app/qt/QtHost.h"
#include "app/qt/TemplateWindow.h"
#include "serial/PortMonitor.h"
#include "serial/SerialEnum.h"
#include "ui/SetupDlg.h"

#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;

namespace nw::records {
class CRecordKeeper;
} // namespace nw::records

namespace nw::qt {

class CManualWindow;
class CRecordsWindow;

struct MainWindowOptions {
    // Where the port list comes from; nullptr: the system's own ports.
    CSerialEnum* ports = nullptr;
    // What tells the port box of ports plugged in and pulled out; empty: the
    // system's monitor (none where the system has none).
    std::function<std::unique_ptr<IPortMonitor>()> portMonitor;
    // Every pause lasts its length times this, then `afterPause` runs; only
    // tests change them.
    double pauseScale = 1.0;
    std::function<void()> afterPause;
    // The records database; empty: the user's default file.
    std::string recordsPath;
};

class CMainWindow : public CTemplateWindow {
    Q_OBJECT
  public:
    explicit CMainWindow(const MainWindowOptions& options = {});
    ~CMainWindow() override;

    CSetupDlg& Logic() { return m_dlg; }
    CQtHost& Host() { return m_host; }
    CHostContext& Context() { return m_context; }
    QWidget* Picture(int templateId) const;
    // The picture page shown now, 0 when none.
    int VisiblePicture() const;
    // The Manual Setting window while it is open, else nullptr.
    CManualWindow* ManualWindow() const;
    // The context menu offering the about item.
    QMenu* AboutMenu() const { return m_menu; }

    // Puts a device path in the port box, as if the user had typed it.
    void PresetPort(const QString& device);

    // "Keep records": on, the wizard's steps and Master/Slave Set are
    // recorded. Turning it on opens the database; false when it cannot be
    // opened (the user is told why, and the item stays off).
    bool KeepRecords(bool on);
    // The records window while it is open, else nullptr.
    CRecordsWindow* RecordsWindow() const;

  protected:
    void OnControlClicked(int id) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void CreatePicturePages();
    // The line settings and wizard choices of the last run, and keeping them
    // for the next (QSettings, the user's own).
    void RestoreSettings();
    void SaveSettings();
    // Ports came or went: the port box lists what is there now and keeps
    // what the user typed or picked.
    void FollowPorts();
    void OpenAbout();
    void RunManual(CSetupDlg& owner);
    void RunAbout();
    void OpenRecords();

    CHostContext m_context;
    CQtHost m_host;
    CSetupDlg m_dlg;
    std::map<int, QWidget*> m_pages;
    QMenu* m_menu = nullptr;
    QPointer<CManualWindow> m_manual;
    CSerialEnum m_systemPorts;
    CSerialEnum* m_portList = nullptr;
    std::unique_ptr<IPortMonitor> m_portMonitor;
    QAction* m_keepRecords = nullptr;
    std::unique_ptr<records::CRecordKeeper> m_records;
    QPointer<CRecordsWindow> m_recordsWindow;
};

} // namespace nw::qt
