// The dialog templates as plain data: every window's caption, size, font and
// controls, with positions in dialog units as the resource compiler lays
// them out. Front ends build their windows from these tables, with the
// control ids of res/ControlIds.h that the window logic uses.
#pragma once

#include <cstdint>
#include <span>

namespace nw::res {

// The id of a control the program never addresses (a label, a frame).
inline constexpr int kNoId = -1;
// The about box's OK button.
inline constexpr int kIdOk = 1;

enum class ControlKind {
    GroupBox, // a frame with a title
    Static,   // text
    Combo,    // drop-down combo box: an edit field over a list
    PushButton,
    AutoRadio, // radio button that checks itself when clicked
    AutoCheck, // check box that toggles itself when clicked
    Edit,      // one-line edit box
    Icon,      // static showing an icon resource
    Bitmap,    // static showing a bitmap resource at the bitmap's own size
};

// Control style bits beyond the kind.
enum ControlStyle : std::uint32_t {
    kStyleNone = 0,
    kGroupStart = 1u << 0,    // starts a group: radios up to the next group start
    kDisabled = 1u << 1,      // created disabled
    kDefaultButton = 1u << 2, // the button Enter presses
    kNoPrefix = 1u << 3,      // '&' is shown as it is, not as a mnemonic
    kAutoHScroll = 1u << 4,   // the edit scrolls sideways instead of refusing text
    kVScroll = 1u << 5,       // the combo's list has a vertical scroll bar
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text; // caption; for Icon and Bitmap unused (empty)
    int x, y, cx, cy; // dialog units; a combo's cy is the height of its open list
    std::uint32_t style;
    int resource = 0; // icon or bitmap resource number for Icon and Bitmap
};

// Window style bits of a template.
enum DialogStyle : std::uint32_t {
    kPopup = 1u << 0,      // a top-level window
    kChild = 1u << 1,      // a child window (picture pages)
    kCaption = 1u << 2,    // has a title bar
    kSysMenu = 1u << 3,    // has a system menu and close box
    kModalFrame = 1u << 4, // thick raised frame
    kAppWindow = 1u << 5,  // has a taskbar button
    kVisible = 1u << 6,    // visible at creation
};

struct DialogTemplate {
    int id;
    const char* caption;
    int cx, cy; // client size in dialog units
    const char* fontFace;
    int pointSize;
    std::uint32_t style;
    std::span<const ControlTemplate> controls;

    // The control with `controlId`, or nullptr (kNoId never matches).
    const ControlTemplate* Find(int controlId) const;
};

inline constexpr int kAboutBox = 100;
inline constexpr int kMainWindow = 102;
inline constexpr int kManualWindow = 166;

// Every template: 100, 102, the fifteen picture pages 129..165 and 166.
std::span<const DialogTemplate> AllTemplates();
// The template numbered `id`, or nullptr.
const DialogTemplate* FindTemplate(int id);

} // namespace nw::res
