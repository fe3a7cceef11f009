#include "res/DialogTemplates.h"

#include "res/ControlIds.h"
#include "res/PicturePages.h"
#include "res/Strings.h"

#include <array>

namespace nw::res {

namespace {

using K = ControlKind;
namespace m = id::main;
namespace u = id::manual;
namespace p = id::page;

constexpr std::uint32_t kCombo = kVScroll;
constexpr std::uint32_t kOff = kDisabled;

// Template 100: the about box.
constexpr ControlTemplate kAboutControls[] = {
    {kNoId, K::Icon, "", 11, 17, 20, 20, kStyleNone, kIconApp},
    {kNoId, K::Static, kAboutVersionLine, 40, 10, 119, 8, kNoPrefix},
    {kNoId, K::Static, kAboutNotice, 40, 25, 188, 17, kStyleNone},
    {kIdOk, K::PushButton, "확인", 178, 7, 50, 14, kDefaultButton},
};

// Template 102: the main window.
constexpr ControlTemplate kMainControls[] = {
    {kNoId, K::GroupBox, "Serial Port", 7, 3, 230, 46, kStyleNone},
    {kNoId, K::Static, "Serial Port", 13, 18, 36, 9, kStyleNone},
    {m::kComboPort, K::Combo, "", 49, 14, 46, 167, kCombo},
    {kNoId, K::Static, "Baud Rate", 13, 34, 36, 9, kStyleNone},
    {m::kComboBaud, K::Combo, "", 49, 30, 46, 160, kCombo},
    {kNoId, K::Static, "Parity", 101, 18, 24, 9, kStyleNone},
    {m::kComboParity, K::Combo, "", 128, 14, 46, 58, kCombo},
    {kNoId, K::Static, "StopBit", 101, 34, 24, 9, kStyleNone},
    {m::kComboStopBits, K::Combo, "", 128, 30, 46, 52, kCombo},
    {m::kButtonPortOpen, K::PushButton, "Port Open", 188, 14, 39, 12, kStyleNone},
    {m::kButtonPortClose, K::PushButton, "Port Close", 188, 30, 39, 12, kOff},
    {kNoId, K::GroupBox, "Multiple Connection Mode Setting", 7, 53, 155, 29, kStyleNone},
    {m::kRadioMultiDrop, K::AutoRadio, "Multi-Drop Mode", 10, 63, 66, 15, kGroupStart | kOff},
    {m::kRadioNodeSwitching, K::AutoRadio, "Node Switching Mode", 76, 63, 84, 15, kOff},
    {kNoId, K::GroupBox, "1:N Setting", 163, 53, 74, 29, kStyleNone},
    {m::kRadio1To2, K::AutoRadio, "1:2", 167, 62, 23, 18, kGroupStart | kOff},
    {m::kRadio1To3, K::AutoRadio, "1:3", 190, 62, 21, 18, kOff},
    {m::kRadio1To4, K::AutoRadio, "1:4", 213, 62, 21, 18, kOff},
    {kNoId, K::GroupBox, "AT Command Response", 7, 85, 230, 35, kStyleNone},
    {m::kCheckDisableResponse, K::AutoCheck, "Disable (OK, ERROR, CONNET, DISCONNET Message)", 14,
     101, 213, 11, kStyleNone},
    {kNoId, K::GroupBox, "Message", 7, 123, 230, 41, kStyleNone},
    {m::kStaticMessage, K::Static, "OLMA NOT DETECTED", 12, 134, 164, 24, kStyleNone},
    {m::kButtonCheck, K::PushButton, "Check OLMA", 176, 130, 55, 14, kOff},
    {m::kPictureArea, K::Static, "Static", 7, 169, 230, 118, kStyleNone},
    {m::kButtonFactoryReset, K::PushButton, "Factory Reset", 7, 293, 56, 19, kOff},
    {m::kButtonManual, K::PushButton, "Manual Setting", 66, 293, 56, 19, kOff},
    {m::kButtonRestart, K::PushButton, "Restart", 140, 293, 47, 19, kOff},
    {m::kButtonStart, K::PushButton, "Start", 190, 293, 47, 19, kOff},
};

// Template 166: the Manual Setting window.
constexpr ControlTemplate kManualControls[] = {
    {kNoId, K::GroupBox, "OLMA Info", 7, 7, 231, 97, kStyleNone},
    {u::kStaticInfo, K::Static, "OLMA NOT DETECTED", 13, 17, 215, 68, kStyleNone},
    {u::kButtonCheck, K::PushButton, "Check OLMA", 13, 90, 48, 11, kStyleNone},
    {u::kButtonFactoryReset, K::PushButton, "Factory Reset", 184, 90, 48, 11, kStyleNone},
    {kNoId, K::GroupBox, "Master Setting", 7, 107, 231, 96, kStyleNone},
    {kNoId, K::GroupBox, "Multiple Connection Mode Setting", 13, 117, 151, 22, kStyleNone},
    {u::kRadioMultiDrop, K::AutoRadio, "Multi-Drop Mode", 14, 126, 63, 12, kGroupStart},
    {u::kRadioNodeSwitching, K::AutoRadio, "Node Switching Mode", 79, 126, 83, 12, kStyleNone},
    {kNoId, K::Static, "Slave1", 14, 147, 26, 10, kStyleNone},
    {u::kEditSlave1, K::Edit, "", 41, 145, 98, 12, kAutoHScroll | kOff},
    {u::kCheckUse1, K::AutoCheck, "Use", 140, 146, 24, 11, kStyleNone},
    {kNoId, K::Static, "Slave2", 14, 159, 26, 10, kStyleNone},
    {u::kEditSlave2, K::Edit, "", 41, 157, 98, 12, kOff},
    {u::kCheckUse2, K::AutoCheck, "Use", 140, 158, 24, 11, kStyleNone},
    {kNoId, K::Static, "Slave3", 14, 171, 26, 10, kStyleNone},
    {u::kEditSlave3, K::Edit, "", 41, 169, 98, 12, kOff},
    {u::kCheckUse3, K::AutoCheck, "Use", 140, 170, 24, 11, kStyleNone},
    {kNoId, K::Static, "Slave4", 14, 183, 26, 10, kStyleNone},
    {u::kEditSlave4, K::Edit, "", 41, 181, 98, 12, kOff},
    {u::kCheckUse4, K::AutoCheck, "Use", 140, 182, 24, 11, kStyleNone},
    {u::kButtonAutoFill, K::PushButton, "Auto Fill", 191, 145, 41, 17, kStyleNone},
    {u::kButtonMasterSet, K::PushButton, "Master Set", 191, 182, 41, 17, kStyleNone},
    {kNoId, K::GroupBox, "Slave Setting", 7, 205, 231, 36, kStyleNone},
    {kNoId, K::Static, "Master", 14, 220, 26, 10, kStyleNone},
    {u::kEditMaster, K::Edit, "", 41, 219, 98, 12, kStyleNone},
    {u::kButtonSlaveSet, K::PushButton, "Slave Set", 191, 216, 41, 17, kStyleNone},
    {kNoId, K::GroupBox, "AT Command Response", 7, 242, 231, 26, kStyleNone},
    {u::kCheckDisableResponse, K::AutoCheck, "Disable (OK, ERROR, CONNET, DISCONNET Message)", 13,
     253, 186, 8, kStyleNone},
};

// The picture pages share one form: a bitmap static showing the bitmap the
// picture table gives the page. One control table per page.
template <int PageId>
constexpr ControlTemplate kPageControls[] = {
    {kNoId, K::Bitmap, "", 7, 5, 180, 75, kStyleNone, FindPicturePage(PageId)->bitmapId},
};

constexpr std::uint32_t kTopLevel = kPopup | kCaption | kSysMenu | kModalFrame;
constexpr std::uint32_t kPageStyle = kChild | kModalFrame;

template <int PageId> constexpr DialogTemplate Page() {
    return {PageId, "", 194, 85, "System", 10, kPageStyle, kPageControls<PageId>};
}

// In template number order.
const std::array<DialogTemplate, 18> kTemplates = {{
    {kAboutBox, "Tessor_Nodewright_v1.0.0 정보", 235, 55, "굴림", 9, kTopLevel, kAboutControls},
    {kMainWindow, "Tessor_Nodewright_v1.0.0", 247, 320, "굴림", 9, kTopLevel | kAppWindow,
     kMainControls},
    Page<p::k1To4Overview>(),
    Page<p::k1To2Overview>(),
    Page<p::k1To3Overview>(),
    Page<p::k1To2Master>(),
    Page<p::k1To3Master>(),
    Page<p::k1To4Master>(),
    Page<p::k1To2Slave1>(),
    Page<p::k1To3Slave1>(),
    Page<p::k1To4Slave1>(),
    Page<p::k1To2Slave2>(),
    Page<p::k1To3Slave2>(),
    Page<p::k1To4Slave2>(),
    Page<p::k1To3Slave3>(),
    Page<p::k1To4Slave3>(),
    Page<p::k1To4Slave4>(),
    {kManualWindow, "Manual Setting", 245, 272, "System", 10, kTopLevel, kManualControls},
}};

} // namespace

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    if (controlId == kNoId)
        return nullptr;
    for (const ControlTemplate& c : controls) {
        if (c.id == controlId)
            return &c;
    }
    return nullptr;
}

std::span<const DialogTemplate> AllTemplates() {
    return kTemplates;
}

const DialogTemplate* FindTemplate(int id) {
    for (const DialogTemplate& t : kTemplates) {
        if (t.id == id)
            return &t;
    }
    return nullptr;
}

} // namespace nw::res
