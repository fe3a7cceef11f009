// "Keep records" in a desktop program: while on, the records database is
// open for writing and the window logic holds a recorder that writes each
// step to it; while off, neither. The same for every toolkit.
#pragma once

#include "records/RecordStore.h"
#include "records/StoreRecorder.h"

#include <functional>
#include <memory>
#include <string>

namespace nw {
class CSetupDlg;
}

namespace nw::records {

class CRecordKeeper {
  public:
    // `path`: the database; empty, the user's default file.
    CRecordKeeper(CSetupDlg& dlg, const std::string& path, std::string version);
    ~CRecordKeeper();
    CRecordKeeper(const CRecordKeeper&) = delete;
    CRecordKeeper& operator=(const CRecordKeeper&) = delete;

    // Turns keeping on (opening the database) or off. False, with `error`
    // saying why in the user's words, when the database cannot be opened:
    // records are then off.
    bool Keep(bool on, std::string& error);
    bool Keeping() const { return m_recorder != nullptr; }
    // The database, empty when the system names no default file.
    const std::string& Path() const { return m_path; }

    // Told, as the step ends, of a row that could not be written.
    std::function<void(const std::string& error)> onLost;

  private:
    CSetupDlg& m_dlg;
    std::string m_path;
    std::string m_version;
    std::unique_ptr<CRecordStore> m_store;
    std::unique_ptr<CStoreRecorder> m_recorder;
};

} // namespace nw::records
