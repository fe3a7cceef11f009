#include "app/cli/TerminalHost.h"

#include "app/cli/PictureArt.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "ui/ManualDlg.h"

namespace nw::cli {

CTerminalHost::CTerminalHost(Role role, CTerminalConsole& console, IPacer& pacer)
    : m_role(role), m_console(console), m_pacer(pacer) {
    const res::DialogTemplate* tpl =
        res::FindTemplate(role == Role::Main ? res::kMainWindow : res::kManualWindow);
    for (const res::ControlTemplate& c : tpl->controls) {
        if (c.id != res::kNoId)
            m_enabled[c.id] = (c.style & res::kDisabled) == 0;
    }
}

void CTerminalHost::SetText(int id, const std::string& text) {
    const std::string before = Text(id);
    m_text[id] = text;
    if (!m_echo)
        return;
    if (m_role == Role::Main && id == id::main::kStaticMessage && text != before) {
        m_console.Show(text);
        m_pressPrinted = true;
    } else if (m_role == Role::Manual && id == id::manual::kStaticInfo) {
        m_console.Show(text);
    }
}

void CTerminalHost::EndPress() {
    if (!m_pressPrinted && m_echo)
        m_console.Show(Text(id::main::kStaticMessage));
    m_pressPrinted = true;
}

void CTerminalHost::ComboSelect(int id, int index) {
    const auto& items = m_combo[id];
    if (index < 0 || static_cast<std::size_t>(index) >= items.size())
        return;
    m_comboSel[id] = index;
    m_text[id] = items[static_cast<std::size_t>(index)];
}

std::string CTerminalHost::ComboSelectedText(int id) {
    const auto it = m_comboSel.find(id);
    if (it == m_comboSel.end())
        return {};
    return m_combo[id][static_cast<std::size_t>(it->second)];
}

bool CTerminalHost::ComboPick(int id, const std::string& text) {
    const auto& items = m_combo[id];
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            ComboSelect(id, static_cast<int>(i));
            return true;
        }
    }
    return false;
}

void CTerminalHost::ShowPicture(int templateId, bool show) {
    if (show && m_echo && m_role == Role::Main)
        m_console.Drawing(DrawPicturePage(templateId));
}

void CTerminalHost::MessageBox(const std::string& text, const std::string& detail) {
    m_console.Show(text);
    if (!detail.empty())
        m_console.Note(detail);
}

void CTerminalHost::RunManualWindow(CSetupDlg& owner) {
    CTerminalHost host(Role::Manual, m_console, m_pacer);
    host.Echo(true);
    CManualDlg dlg(owner, host);
    const Outcome opened = dlg.OnInitDialog();
    if (onManualWindow)
        onManualWindow(dlg, host, opened);
}

std::string CTerminalHost::Text(int id) const {
    const auto it = m_text.find(id);
    return it == m_text.end() ? std::string() : it->second;
}

bool CTerminalHost::Checked(int id) const {
    const auto it = m_check.find(id);
    return it != m_check.end() && it->second;
}

bool CTerminalHost::Enabled(int id) const {
    const auto it = m_enabled.find(id);
    return it == m_enabled.end() || it->second;
}

} // namespace nw::cli
