// The two windows' message maps: which handler a click on a control runs.
// Every front end routes clicks through these tables, in this order.
#pragma once

#include "res/ControlIds.h"
#include "ui/ManualDlg.h"
#include "ui/SetupDlg.h"

#include <array>
#include <type_traits>
#include <utility>

namespace nw {

using SetupHandler = Outcome (CSetupDlg::*)();
using ManualHandler = Outcome (CManualDlg::*)();

inline constexpr std::array<std::pair<int, SetupHandler>, 12> kSetupDlgHandlers = {{
    {id::main::kButtonPortOpen, &CSetupDlg::OnButtonPortOpen},
    {id::main::kButtonPortClose, &CSetupDlg::OnButtonPortClose},
    {id::main::kButtonCheck, &CSetupDlg::OnButtonCheck},
    {id::main::kRadioMultiDrop, &CSetupDlg::OnRadioMultiDrop},
    {id::main::kRadioNodeSwitching, &CSetupDlg::OnRadioNodeSwitching},
    {id::main::kRadio1To3, &CSetupDlg::OnRadio1To3},
    {id::main::kRadio1To4, &CSetupDlg::OnRadio1To4},
    {id::main::kButtonStart, &CSetupDlg::OnButtonStart},
    {id::main::kButtonRestart, &CSetupDlg::OnButtonRestart},
    {id::main::kButtonManual, &CSetupDlg::OnButtonManual},
    {id::main::kButtonFactoryReset, &CSetupDlg::OnButtonFactoryReset},
    {id::main::kRadio1To2, &CSetupDlg::OnRadio1To2},
}};

inline constexpr std::array<std::pair<int, ManualHandler>, 11> kManualDlgHandlers = {{
    {id::manual::kButtonCheck, &CManualDlg::OnButtonCheck},
    {id::manual::kRadioMultiDrop, &CManualDlg::OnRadioMultiDrop},
    {id::manual::kRadioNodeSwitching, &CManualDlg::OnRadioNodeSwitching},
    {id::manual::kButtonFactoryReset, &CManualDlg::OnButtonFactoryReset},
    {id::manual::kButtonMasterSet, &CManualDlg::OnButtonMasterSet},
    {id::manual::kButtonSlaveSet, &CManualDlg::OnButtonSlaveSet},
    {id::manual::kButtonAutoFill, &CManualDlg::OnButtonAutoFill},
    {id::manual::kCheckUse1, &CManualDlg::OnCheckUse1},
    {id::manual::kCheckUse2, &CManualDlg::OnCheckUse2},
    {id::manual::kCheckUse3, &CManualDlg::OnCheckUse3},
    {id::manual::kCheckUse4, &CManualDlg::OnCheckUse4},
}};

// The handler of a click on control `id`, or nullptr.
template <class Map>
auto FindHandler(const Map& map, int id) -> std::remove_cvref_t<decltype(map[0].second)> {
    for (const auto& [control, handler] : map) {
        if (control == id)
            return handler;
    }
    return nullptr;
}

} // namespace nw
