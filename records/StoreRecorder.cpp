#include "records/StoreRecorder.h"

#include "records/RecordTime.h"

namespace nw::records {

void CStoreRecorder::StepEnded(const StepRecord& step) {
    if (step.startsRun || m_runId.empty())
        m_runId = NewRunId();
    const Record r{.runId = m_runId,
                   .time = UtcText(std::chrono::system_clock::now()),
                   .version = m_version,
                   .step = step};
    std::string error;
    if (m_store.Append(r, error))
        return;
    ++m_lost;
    m_lastError = error;
    if (onLost)
        onLost(error);
}

} // namespace nw::records
