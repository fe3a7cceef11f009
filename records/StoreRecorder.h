// The step recorder the front ends hand the window logic: each step that
// ends becomes a row of the records database, stamped with the time, the
// program's version and the run it belongs to.
#pragma once

#include "records/RecordStore.h"
#include "ui/StepRecorder.h"

#include <functional>
#include <string>

namespace nw::records {

class CStoreRecorder final : public IStepRecorder {
  public:
    CStoreRecorder(CRecordStore& store, std::string version)
        : m_store(store), m_version(std::move(version)) {}

    // A step that starts a run gets a new run id; the others share the last.
    void StepEnded(const StepRecord& step) override;

    // Rows that could not be written, and the last reason.
    int Lost() const { return m_lost; }
    const std::string& LastError() const { return m_lastError; }
    const std::string& RunId() const { return m_runId; }

    // Told each time a row could not be written.
    std::function<void(const std::string& error)> onLost;

  private:
    CRecordStore& m_store;
    std::string m_version;
    std::string m_runId;
    int m_lost = 0;
    std::string m_lastError;
};

} // namespace nw::records
