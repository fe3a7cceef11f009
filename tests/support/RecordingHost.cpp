#include "support/RecordingHost.h"

#include "protocol/Pacer.h"
#include "res/ControlIds.h"
#include "ui/ManualDlg.h"

#include <memory>

namespace nw::test {

void RecordingHost::Pause(std::uint32_t ms) {
    m_pauses.push_back(ms);
    SleepAtLeast(ms * m_scale);
    if (settle)
        settle();
    if (onPause)
        onPause(ms);
}

std::optional<double> RecordingHost::PauseUntil(std::uint32_t ms, IAwaited& awaited) {
    m_pauses.push_back(ms);
    const std::optional<double> used = WaitForArrival(ms * m_scale, awaited);
    if (!used && settle)
        settle();
    if (onPause)
        onPause(ms);
    if (!used)
        return std::nullopt;
    return m_scale > 0 ? *used / m_scale : 0.0;
}

std::string RecordingHost::ComboSelectedText(int id) {
    auto it = m_comboSel.find(id);
    return it == m_comboSel.end() || it->second < 0
               ? std::string()
               : m_combo[id].at(static_cast<std::size_t>(it->second));
}

void RecordingHost::RunManualWindow(CSetupDlg& owner) {
    m_manualOwned = std::make_unique<RecordingHost>(m_scale);
    m_manual = m_manualOwned.get();
    // Template state: the four slave address edits start disabled.
    for (int id : id::manual::kSlaveEdits)
        m_manual->m_enabled[id] = false;
    CManualDlg dlg(owner, *m_manual);
    dlg.OnInitDialog();
    if (onManualWindow)
        onManualWindow(dlg, *m_manual);
}

bool RecordingHost::Enabled(int id) const {
    if (auto it = m_enabled.find(id); it != m_enabled.end())
        return it->second;
    if (auto it = initialEnabled.find(id); it != initialEnabled.end())
        return it->second;
    return true;
}

std::vector<std::string> RecordingHost::TextHistory(int id) const {
    std::vector<std::string> out;
    for (const auto& [tid, text] : m_textLog) {
        if (tid == id && (out.empty() || out.back() != text))
            out.push_back(text);
    }
    return out;
}

} // namespace nw::test
