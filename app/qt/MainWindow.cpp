#include "app/qt/MainWindow.h"

#include "app/qt/AboutBox.h"
#include "app/qt/ControlAccess.h"
#include "app/qt/IconArt.h"
#include "app/qt/ManualWindow.h"
#include "app/qt/PicturePage.h"
#include "app/qt/RecordsWindow.h"
#include "records/RecordKeeper.h"
#include "res/ControlIds.h"
#include "res/Strings.h"
#include "ui/MessageMaps.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSocketNotifier>

namespace nw::qt {

namespace {
namespace m = id::main;
constexpr char kVerifySetting[] = "wizard/verifyEachStep";
constexpr char kKeepRecordsSetting[] = "records/keep";
constexpr char kReplyPacingSetting[] = "line/replyPacing";
constexpr char kPortSetting[] = "line/port";
constexpr char kBaudSetting[] = "line/baud";
constexpr char kParitySetting[] = "line/parity";
constexpr char kStopBitsSetting[] = "line/stopBits";
constexpr char kResponseSetting[] = "wizard/disableResponse";
constexpr char kSizeSetting[] = "wizard/oneToN";
constexpr char kModeSetting[] = "wizard/mode";
} // namespace

CMainWindow::CMainWindow(const MainWindowOptions& options)
    : CTemplateWindow(*res::FindTemplate(res::kMainWindow), nullptr), m_host(*this, m_context),
      m_dlg(m_host) {
    setObjectName(QStringLiteral("main"));
    m_context.pauseScale = options.pauseScale;
    m_context.afterPause = options.afterPause;
    m_host.onRunManualWindow = [this](CSetupDlg& owner) { RunManual(owner); };
    m_host.onRunAboutBox = [this] { RunAbout(); };

    // The system menu's about item.
    m_menu = new QMenu(this);
    QAction* about = m_menu->addAction(QString::fromUtf8(res::kAboutMenuText));
    connect(about, &QAction::triggered, this, &CMainWindow::OpenAbout);
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, &CMainWindow::OpenAbout);
    // Beside it: each adapter read back at the end of its wizard step,
    // remembered between runs.
    QAction* verify = m_menu->addAction(QStringLiteral("Verify each adapter after setting"));
    verify->setObjectName(QStringLiteral("verifyEachStep"));
    verify->setCheckable(true);
    verify->setChecked(QSettings().value(kVerifySetting, false).toBool());
    m_dlg.m_verifyEachStep = verify->isChecked();
    connect(verify, &QAction::toggled, this, [this](bool on) {
        m_dlg.m_verifyEachStep = on;
        QSettings().setValue(kVerifySetting, on);
    });
    // And the records: kept when ticked (remembered), shown in their window.
    m_records = std::make_unique<records::CRecordKeeper>(m_dlg, options.recordsPath, NW_VERSION);
    // A row that cannot be written is no silent loss: the user hears of it
    // as the step ends.
    m_records->onLost = [this](const std::string& why) {
        m_host.MessageBox("The record of this step could not be written.", why);
    };
    m_keepRecords = m_menu->addAction(QStringLiteral("Keep records"));
    m_keepRecords->setObjectName(QStringLiteral("keepRecords"));
    m_keepRecords->setCheckable(true);
    connect(m_keepRecords, &QAction::toggled, this, [this](bool on) {
        if (KeepRecords(on))
            QSettings().setValue(kKeepRecordsSetting, on);
    });
    QAction* showRecords = m_menu->addAction(QStringLiteral("Records..."));
    showRecords->setObjectName(QStringLiteral("openRecords"));
    connect(showRecords, &QAction::triggered, this, &CMainWindow::OpenRecords);
    m_keepRecords->setChecked(QSettings().value(kKeepRecordsSetting, false).toBool());
    // Waits that end once the adapter has answered (the fixed pauses stay
    // around the escape and after a restart), remembered between runs.
    QAction* fast = m_menu->addAction(QStringLiteral("Fast (finish waits on the adapter's reply)"));
    fast->setObjectName(QStringLiteral("replyPacing"));
    fast->setCheckable(true);
    const auto pace = [this](bool reply) {
        PacingPolicy policy = m_dlg.m_exchange.Pacing();
        policy.mode = reply ? PacingMode::Reply : PacingMode::Fixed;
        m_dlg.m_exchange.SetPacing(policy);
    };
    fast->setChecked(QSettings().value(kReplyPacingSetting, false).toBool());
    pace(fast->isChecked());
    connect(fast, &QAction::toggled, this, [pace](bool on) {
        pace(on);
        QSettings().setValue(kReplyPacingSetting, on);
    });

    setWindowIcon(AppIcon());
    CreatePicturePages();
    MakeLive(ControlAs<QLabel>(m::kStaticMessage));

    m_portList = options.ports ? options.ports : &m_systemPorts;
    RunOperation([&] { m_dlg.OnInitDialog(*m_portList); });
    RestoreSettings();
    m_portMonitor = options.portMonitor ? options.portMonitor() : OpenPortMonitor(nullptr);
    if (m_portMonitor && m_portMonitor->Fd() >= 0) {
        auto* notifier = new QSocketNotifier(m_portMonitor->Fd(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &CMainWindow::FollowPorts);
    }
    connect(this, &QDialog::finished, this, &CMainWindow::SaveSettings);
}

void CMainWindow::RestoreSettings() {
    const QSettings settings;
    // A combo takes a remembered text only when it lists it; a port that is
    // gone leaves the port box empty.
    auto pick = [&](int id, const char* key) {
        auto* combo = ControlAs<QComboBox>(id);
        const QString text = settings.value(QString::fromUtf8(key)).toString();
        if (combo == nullptr || text.isEmpty())
            return;
        if (const int at = combo->findText(text); at >= 0)
            combo->setCurrentIndex(at);
        else if (id == m::kComboPort)
            combo->setEditText(QFileInfo::exists(text) ? text : QString()); // typed, not listed
    };
    pick(m::kComboPort, kPortSetting);
    pick(m::kComboBaud, kBaudSetting);
    pick(m::kComboParity, kParitySetting);
    pick(m::kComboStopBits, kStopBitsSetting);
    if (auto* box = ControlAs<QCheckBox>(m::kCheckDisableResponse))
        box->setChecked(settings.value(kResponseSetting, false).toBool());
    // The choices as their radio buttons' handlers make them.
    const int size = settings.value(kSizeSetting, 0).toInt();
    const bool nodeSwitching = settings.value(kModeSetting, 0).toInt() == 1;
    RunOperation([&] {
        (size == 2 ? m_dlg.OnRadio1To4() : size == 1 ? m_dlg.OnRadio1To3() : m_dlg.OnRadio1To2());
        (nodeSwitching ? m_dlg.OnRadioNodeSwitching() : m_dlg.OnRadioMultiDrop());
        m_dlg.UpdateData();
    });
}

void CMainWindow::SaveSettings() {
    QSettings settings;
    auto keep = [&](int id, const char* key) {
        if (auto* combo = ControlAs<QComboBox>(id))
            settings.setValue(QString::fromUtf8(key), combo->currentText());
    };
    keep(m::kComboPort, kPortSetting);
    keep(m::kComboBaud, kBaudSetting);
    keep(m::kComboParity, kParitySetting);
    keep(m::kComboStopBits, kStopBitsSetting);
    if (auto* box = ControlAs<QCheckBox>(m::kCheckDisableResponse))
        settings.setValue(kResponseSetting, box->isChecked());
    settings.setValue(kSizeSetting, static_cast<int>(m_dlg.m_nOneToN));
    settings.setValue(kModeSetting, static_cast<int>(m_dlg.m_nMode));
}

CMainWindow::~CMainWindow() = default;

bool CMainWindow::KeepRecords(bool on) {
    std::string error;
    if (m_records->Keep(on, error))
        return true;
    const QSignalBlocker quiet(m_keepRecords);
    m_keepRecords->setChecked(false);
    QMessageBox::warning(
        this, QStringLiteral("Keep records"),
        QStringLiteral("Records cannot be kept: %1").arg(QString::fromStdString(error)));
    return false;
}

CRecordsWindow* CMainWindow::RecordsWindow() const {
    return m_recordsWindow.data();
}

void CMainWindow::OpenRecords() {
    if (m_recordsWindow) {
        m_recordsWindow->Reload();
        m_recordsWindow->raise();
        m_recordsWindow->activateWindow();
        return;
    }
    m_recordsWindow = new CRecordsWindow(this, m_records->Path());
    m_recordsWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_recordsWindow->show();
}

void CMainWindow::FollowPorts() {
    if (m_portMonitor->Take().empty())
        return;
    auto* combo = ControlAs<QComboBox>(m::kComboPort);
    if (combo == nullptr)
        return;
    m_portList->Refresh();
    const QString text = combo->currentText();
    const QSignalBlocker quiet(combo);
    combo->clear();
    m_dlg.m_ports = m_portList->m_aPorts;
    for (const CComPortInfo& port : m_dlg.m_ports)
        combo->addItem(QString::fromStdString(port.m_strFriendlyName));
    combo->setCurrentIndex(combo->findText(text));
    if (combo->currentIndex() < 0)
        combo->setEditText(text);
}

void CMainWindow::CreatePicturePages() {
    // Laid onto the picture area's rectangle, above it.
    const QWidget* area = Control(m::kPictureArea);
    for (int id : id::kPicturePages) {
        auto* page = new CPicturePage(*res::FindTemplate(id), this);
        page->setGeometry(area->geometry());
        page->raise();
        m_pages[id] = page;
        m_host.AddPicture(id, page);
    }
}

QWidget* CMainWindow::Picture(int templateId) const {
    const auto it = m_pages.find(templateId);
    return it == m_pages.end() ? nullptr : it->second;
}

int CMainWindow::VisiblePicture() const {
    for (const auto& [id, page] : m_pages) {
        if (!page->isHidden())
            return id;
    }
    return 0;
}

CManualWindow* CMainWindow::ManualWindow() const {
    return m_manual.data();
}

void CMainWindow::PresetPort(const QString& device) {
    if (auto* combo = ControlAs<QComboBox>(m::kComboPort))
        combo->setEditText(device);
}

void CMainWindow::OnControlClicked(int id) {
    if (const auto handler = FindHandler(kSetupDlgHandlers, id))
        RunOperation([this, handler] { (m_dlg.*handler)(); });
}

void CMainWindow::contextMenuEvent(QContextMenuEvent* event) {
    m_menu->popup(event->globalPos());
}

void CMainWindow::OpenAbout() {
    RunOperation([this] { m_dlg.OnSysCommand(static_cast<unsigned>(id::kSysCommandAbout)); });
}

void CMainWindow::RunManual(CSetupDlg& owner) {
    CManualWindow window(this, owner, m_context);
    m_manual = &window;
    window.Run();
    m_manual = nullptr;
}

void CMainWindow::RunAbout() {
    CAboutBox box(this);
    box.setWindowModality(Qt::WindowModal);
    CBusyCursor::IdleScope idle(m_context.cursor);
    box.exec();
}

} // namespace nw::qt
