#include "app/qt/ManualWindow.h"

#include "app/qt/ControlAccess.h"
#include "app/qt/IconArt.h"
#include "res/ControlIds.h"
#include "ui/MessageMaps.h"

#include <QLabel>

namespace nw::qt {

CManualWindow::CManualWindow(QWidget* parent, CSetupDlg& main, CHostContext& context)
    : CTemplateWindow(*res::FindTemplate(res::kManualWindow), parent), m_host(*this, context),
      m_dlg(main, m_host) {
    setObjectName(QStringLiteral("manual"));
    setWindowIcon(AppIcon());
    setWindowModality(Qt::WindowModal);
    MakeLive(ControlAs<QLabel>(id::manual::kStaticInfo));
    // Four boxes captioned "Use": each is named after its slave's row.
    for (std::size_t k = 0; k < id::manual::kUseChecks.size(); ++k)
        Control(id::manual::kUseChecks[k])
            ->setAccessibleName(QStringLiteral("Slave%1 Use").arg(k + 1));
}

void CManualWindow::Run() {
    RunOperation([this] { m_dlg.OnInitDialog(); });
    // Open and idle, the window waits for the user: no busy cursor for the
    // count the main window keeps raised meanwhile.
    CBusyCursor::IdleScope idle(m_host.Context().cursor);
    exec();
}

void CManualWindow::OnControlClicked(int id) {
    if (const auto handler = FindHandler(kManualDlgHandlers, id))
        RunOperation([this, handler] { (m_dlg.*handler)(); });
}

} // namespace nw::qt
