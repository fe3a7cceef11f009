#include "app/qt/ManualWindow.h"

#include "app/qt/IconArt.h"
#include "res/ControlIds.h"

#include <array>
#include <utility>

namespace nw::qt {

namespace {

using Handler = void (CManualDlg::*)();
namespace u = id::manual;

// The window's message map: control id to handler.
constexpr std::array<std::pair<int, Handler>, 11> kHandlers = {{
    {u::kButtonCheck, &CManualDlg::OnButtonCheck},
    {u::kRadioMultiDrop, &CManualDlg::OnRadioMultiDrop},
    {u::kRadioNodeSwitching, &CManualDlg::OnRadioNodeSwitching},
    {u::kButtonFactoryReset, &CManualDlg::OnButtonFactoryReset},
    {u::kButtonMasterSet, &CManualDlg::OnButtonMasterSet},
    {u::kButtonSlaveSet, &CManualDlg::OnButtonSlaveSet},
    {u::kButtonAutoFill, &CManualDlg::OnButtonAutoFill},
    {u::kCheckUse1, &CManualDlg::OnCheckUse1},
    {u::kCheckUse2, &CManualDlg::OnCheckUse2},
    {u::kCheckUse3, &CManualDlg::OnCheckUse3},
    {u::kCheckUse4, &CManualDlg::OnCheckUse4},
}};

} // namespace

CManualWindow::CManualWindow(QWidget* parent, CSetupDlg& main, CHostContext& context)
    : CTemplateWindow(*res::FindTemplate(res::kManualWindow), parent), m_host(*this, context),
      m_dlg(main, m_host) {
    setObjectName(QStringLiteral("manual"));
    setWindowIcon(AppIcon());
    setWindowModality(Qt::WindowModal);
}

void CManualWindow::Run() {
    RunOperation([this] { m_dlg.OnInitDialog(); });
    // Open and idle, the window waits for the user: no busy cursor for the
    // count the main window keeps raised meanwhile.
    CBusyCursor::IdleScope idle(m_host.Context().cursor);
    exec();
}

void CManualWindow::OnControlClicked(int id) {
    for (const auto& [control, handler] : kHandlers) {
        if (control == id) {
            RunOperation([this, h = handler] { (m_dlg.*h)(); });
            return;
        }
    }
}

} // namespace nw::qt
