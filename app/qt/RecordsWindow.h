// The records window: the recorded adapter steps in a table, oldest first,
// a filter by adapter address, and the rows shown exported as CSV.
#pragma once

#include "records/Record.h"

#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QTableWidget;

namespace nw::qt {

class CRecordsWindow : public QDialog {
    Q_OBJECT
  public:
    CRecordsWindow(QWidget* parent, std::string databasePath);

    // Reads the rows of the address typed in the filter (all when empty)
    // into the table; a database that cannot be read says so in the window.
    void Reload();
    // Writes the rows shown to `path` as CSV; false, with `error`, when the
    // file could not be written.
    bool ExportCsv(const QString& path, QString& error) const;

  private:
    void ChooseExportFile();

    std::string m_path;
    std::vector<records::Record> m_rows;
    QLineEdit* m_filter;
    QTableWidget* m_table;
    QLabel* m_status;
};

} // namespace nw::qt
