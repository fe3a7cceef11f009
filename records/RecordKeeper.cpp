#include "records/RecordKeeper.h"

#include "ui/SetupDlg.h"

namespace nw::records {

CRecordKeeper::CRecordKeeper(CSetupDlg& dlg, const std::string& path, std::string version)
    : m_dlg(dlg), m_path(path.empty() ? DefaultDatabasePath() : path),
      m_version(std::move(version)) {}

CRecordKeeper::~CRecordKeeper() {
    std::string unused;
    Keep(false, unused);
}

bool CRecordKeeper::Keep(bool on, std::string& error) {
    m_dlg.m_recorder = nullptr;
    m_recorder.reset();
    m_store.reset();
    if (!on)
        return true;
    if (m_path.empty()) {
        error = NoDefaultDatabaseText();
        return false;
    }
    m_store = CRecordStore::Open(m_path, CRecordStore::Access::Write, error);
    if (!m_store)
        return false;
    m_recorder = std::make_unique<CStoreRecorder>(*m_store, m_version);
    m_recorder->onLost = [this](const std::string& why) {
        if (onLost)
            onLost(why);
    };
    m_dlg.m_recorder = m_recorder.get();
    return true;
}

} // namespace nw::records
