// The host interface on a Qt window: the window logic's calls, addressed by
// control id, applied to the widgets a template built. Pauses keep the
// windows painted (user input waits); message boxes are modal with only OK;
// the wait cursor shows only while an operation runs.
#pragma once

#include "app/qt/HostContext.h"
#include "ui/Host.h"

#include <QPointer>

#include <functional>
#include <map>

class QWidget;

namespace nw::qt {

class CTemplateWindow;

class CQtHost : public IHost {
  public:
    CQtHost(CTemplateWindow& window, CHostContext& context);

    // IHost
    void Pause(std::uint32_t ms) override;
    std::optional<double> PauseUntil(std::uint32_t ms, IAwaited& awaited) override;
    double PauseScale() const override { return m_context.pauseScale; }
    void EnableControl(int id, bool enable) override;
    void SetText(int id, const std::string& text) override;
    std::string GetText(int id) override;
    void SetCheck(int id, bool checked) override;
    bool GetCheck(int id) override;
    void ComboAdd(int id, const std::string& text) override;
    void ComboSelect(int id, int index) override;
    std::string ComboSelectedText(int id) override;
    void ShowPicture(int templateId, bool show) override;
    void MessageBox(const std::string& text, const std::string& detail) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RunManualWindow(CSetupDlg& owner) override;
    void RunAboutBox() override;

    // The picture pages this host shows and hides, by template number.
    void AddPicture(int templateId, QWidget* page) { m_pictures[templateId] = page; }
    // What the main window does for the Manual Setting window and the about box.
    std::function<void(CSetupDlg&)> onRunManualWindow;
    std::function<void()> onRunAboutBox;

    // This window's part of the wait cursor count.
    int WaitDepth() const { return m_wait; }
    CHostContext& Context() { return m_context; }

  private:
    QWidget* Control(int id) const;

    CTemplateWindow& m_window;
    CHostContext& m_context;
    std::map<int, QPointer<QWidget>> m_pictures;
    int m_wait = 0;
};

} // namespace nw::qt
