// The records window: the recorded adapter steps in a list, oldest first, a
// filter by adapter address and the rows shown exported as CSV. A window of
// its own beside the main window, not modal: it stays open while the wizard
// runs.
#pragma once

#include "records/Record.h"

#include "app/win32/Win32.h"

#include <string>
#include <vector>

namespace nw::win {

class CRecordsWindow {
  public:
    // The window's controls.
    enum : int { kFilterLabel = 100, kFilter, kExport, kList, kStatus };

    explicit CRecordsWindow(std::string databasePath) : m_path(std::move(databasePath)) {}
    ~CRecordsWindow();
    CRecordsWindow(const CRecordsWindow&) = delete;
    CRecordsWindow& operator=(const CRecordsWindow&) = delete;

    // Creates the window over `owner`, filled, and shows it; false when it
    // could not be created.
    bool Open(HWND owner);
    // Null once the user has closed it.
    HWND Hwnd() const { return m_hwnd; }
    HWND Control(int id) const { return GetDlgItem(m_hwnd, id); }

    // Reads the rows of the address typed in the filter (all when empty)
    // into the list; a database that cannot be read says so in the window.
    void Reload();
    // Writes the rows shown to `path` as CSV; false, with `error`, when the
    // file could not be written.
    bool ExportCsv(const std::wstring& path, std::string& error) const;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void Layout();
    void ChooseExportFile();

    std::string m_path;
    std::vector<records::Record> m_rows;
    HWND m_hwnd = nullptr;
    HFONT m_font = nullptr;
};

} // namespace nw::win
