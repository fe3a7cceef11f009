// A host that records every call the window logic makes and keeps the state
// of the controls, so tests can assert what the user would see. Pauses are
// scaled by `scale` (recorded unscaled).
#pragma once

#include "ui/Host.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace nw {
class CManualDlg;
}

namespace nw::test {

class RecordingHost : public IHost {
  public:
    explicit RecordingHost(double scale = 0.0) : m_scale(scale) {}

    // IHost
    void Pause(std::uint32_t ms) override;
    std::optional<double> PauseUntil(std::uint32_t ms, IAwaited& awaited) override;
    double PauseScale() const override { return m_scale; }
    void EnableControl(int id, bool enable) override { m_enabled[id] = enable; }
    void SetText(int id, const std::string& text) override {
        m_text[id] = text;
        m_textLog.emplace_back(id, text);
    }
    std::string GetText(int id) override { return Text(id); }
    void SetCheck(int id, bool checked) override { m_check[id] = checked; }
    bool GetCheck(int id) override { return Checked(id); }
    void ComboAdd(int id, const std::string& text) override { m_combo[id].push_back(text); }
    void ComboSelect(int id, int index) override {
        m_comboSel[id] = index;
        m_text[id] = m_combo[id].at(static_cast<std::size_t>(index));
    }
    std::string ComboSelectedText(int id) override;
    void ShowPicture(int id, bool show) override {
        show ? (void)m_visible.insert(id) : (void)m_visible.erase(id);
    }
    void MessageBox(const std::string& text, const std::string& detail) override {
        m_boxes.push_back(text);
        m_details.push_back(detail);
    }
    void BeginWaitCursor() override { ++m_wait; }
    void EndWaitCursor() override { --m_wait; }
    void RunManualWindow(CSetupDlg& owner) override;

    // What the manual window does while open (default: nothing beyond its
    // opening report). Its own host is `ManualHost()`.
    std::function<void(CManualDlg&, RecordingHost&)> onManualWindow;
    RecordingHost& ManualHost() { return *m_manual; }

    // State as the user sees it.
    bool Enabled(int id) const;
    std::string Text(int id) const { return m_text.contains(id) ? m_text.at(id) : std::string(); }
    bool Checked(int id) const { return m_check.contains(id) && m_check.at(id); }
    // The one picture page shown, 0 when none, -1 when several.
    int VisiblePicture() const {
        return m_visible.empty() ? 0 : m_visible.size() == 1 ? *m_visible.begin() : -1;
    }
    const std::vector<std::string>& Boxes() const { return m_boxes; }
    const std::vector<std::string>& BoxDetails() const { return m_details; }
    const std::vector<std::uint32_t>& Pauses() const { return m_pauses; }
    int WaitDepth() const { return m_wait; }
    // Distinct texts the message static (or any id) showed, in order.
    std::vector<std::string> TextHistory(int id) const;

    // The user types into a control.
    void Type(int id, const std::string& text) { m_text[id] = text; }
    void ClearRecords() { m_boxes.clear(), m_details.clear(), m_pauses.clear(), m_textLog.clear(); }

    std::map<int, bool> initialEnabled; // a control not listed starts enabled
    // Runs after every scaled sleep, before onPause: waits for whatever the
    // pause is meant to give time for (the bench's replies).
    std::function<void()> settle;
    // Runs after every pause with its unscaled length: lets a test change the
    // bench in the middle of an operation.
    std::function<void(std::uint32_t)> onPause;

  private:
    double m_scale;
    std::map<int, bool> m_enabled;
    std::map<int, std::string> m_text;
    std::map<int, bool> m_check;
    std::map<int, std::vector<std::string>> m_combo;
    std::map<int, int> m_comboSel;
    std::set<int> m_visible;
    std::vector<std::string> m_boxes;
    std::vector<std::string> m_details;
    std::vector<std::uint32_t> m_pauses;
    std::vector<std::pair<int, std::string>> m_textLog;
    int m_wait = 0;
    RecordingHost* m_manual = nullptr;
    std::unique_ptr<RecordingHost> m_manualOwned;
};

} // namespace nw::test
