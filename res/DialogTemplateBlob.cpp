#include "res/DialogTemplateBlob.h"

#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

namespace nw::res {

namespace {

// The Win32 values the template needs, as winuser.h defines them.
constexpr std::uint32_t kWsPopup = 0x80000000;    // WS_POPUP
constexpr std::uint32_t kWsChild = 0x40000000;    // WS_CHILD
constexpr std::uint32_t kWsVisible = 0x10000000;  // WS_VISIBLE
constexpr std::uint32_t kWsDisabled = 0x08000000; // WS_DISABLED
constexpr std::uint32_t kWsCaption = 0x00C00000;  // WS_CAPTION
constexpr std::uint32_t kWsBorder = 0x00800000;   // WS_BORDER
constexpr std::uint32_t kWsVScroll = 0x00200000;  // WS_VSCROLL
constexpr std::uint32_t kWsSysMenu = 0x00080000;  // WS_SYSMENU
constexpr std::uint32_t kWsGroup = 0x00020000;    // WS_GROUP
constexpr std::uint32_t kWsTabStop = 0x00010000;  // WS_TABSTOP

constexpr std::uint32_t kWsExAppWindow = 0x00040000; // WS_EX_APPWINDOW

constexpr std::uint32_t kDs3dLook = 0x0004;     // DS_3DLOOK
constexpr std::uint32_t kDsSetFont = 0x0040;    // DS_SETFONT
constexpr std::uint32_t kDsModalFrame = 0x0080; // DS_MODALFRAME

constexpr std::uint32_t kBsPushButton = 0x0;      // BS_PUSHBUTTON
constexpr std::uint32_t kBsDefPushButton = 0x1;   // BS_DEFPUSHBUTTON
constexpr std::uint32_t kBsAutoCheckBox = 0x3;    // BS_AUTOCHECKBOX
constexpr std::uint32_t kBsGroupBox = 0x7;        // BS_GROUPBOX
constexpr std::uint32_t kBsAutoRadioButton = 0x9; // BS_AUTORADIOBUTTON

constexpr std::uint32_t kSsLeft = 0x00;     // SS_LEFT
constexpr std::uint32_t kSsIcon = 0x03;     // SS_ICON
constexpr std::uint32_t kSsBitmap = 0x0E;   // SS_BITMAP
constexpr std::uint32_t kSsNoPrefix = 0x80; // SS_NOPREFIX

constexpr std::uint32_t kEsLeft = 0x00;        // ES_LEFT
constexpr std::uint32_t kEsAutoHScroll = 0x80; // ES_AUTOHSCROLL

constexpr std::uint32_t kCbsDropDown = 0x2; // CBS_DROPDOWN

// Predefined window class atoms, written as ordinals in an item's class field.
constexpr std::uint16_t kClassButton = 0x0080;
constexpr std::uint16_t kClassEdit = 0x0081;
constexpr std::uint16_t kClassStatic = 0x0082;
constexpr std::uint16_t kClassComboBox = 0x0085;

constexpr std::uint16_t kOrdinalMark = 0xFFFF; // a class or title given as a number
constexpr std::uint16_t kIdcStatic = 0xFFFF;   // IDC_STATIC, the id of kNoId controls

constexpr char16_t kReplacement = 0xFFFD;

// The template holds DWORDs; the system reads them from the vector's start.
static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= alignof(std::uint32_t));

// Appends little-endian fields whatever the host's byte order.
class BlobWriter {
  public:
    void Word(std::uint16_t v) {
        bytes_.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Dword(std::uint32_t v) {
        Word(static_cast<std::uint16_t>(v & 0xFFFF));
        Word(static_cast<std::uint16_t>(v >> 16));
    }
    // A NUL-terminated UTF-16 string; a null pointer is an empty one.
    void Text(const char* utf8) {
        for (char16_t unit : Utf8ToUtf16(utf8 != nullptr ? utf8 : ""))
            Word(static_cast<std::uint16_t>(unit));
        Word(0);
    }
    void Ordinal(std::uint16_t value) {
        Word(kOrdinalMark);
        Word(value);
    }
    // DLGITEMTEMPLATEs start on DWORD boundaries counted from the template start.
    void AlignDword() {
        while (bytes_.size() % 4 != 0)
            bytes_.push_back(0);
    }
    std::vector<std::uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<std::uint8_t> bytes_;
};

// Coordinates and sizes are signed 16-bit fields.
std::uint16_t ToShort(int value, const char* what) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max())
        throw std::out_of_range(std::string("dialog template: ") + what + " out of range");
    return static_cast<std::uint16_t>(static_cast<std::int16_t>(value));
}

// Ids, resource numbers and the point size are unsigned 16-bit fields.
std::uint16_t ToWord(int value, const char* what) {
    if (value < 0 || value > 0xFFFF)
        throw std::out_of_range(std::string("dialog template: ") + what + " out of range");
    return static_cast<std::uint16_t>(value);
}

std::uint32_t DialogStyleBits(std::uint32_t style) {
    std::uint32_t s = kDsSetFont | kDs3dLook;
    if (style & kPopup)
        s |= kWsPopup;
    if (style & kChild)
        s |= kWsChild;
    if (style & kCaption)
        s |= kWsCaption;
    if (style & kSysMenu)
        s |= kWsSysMenu;
    if (style & kModalFrame)
        s |= kDsModalFrame;
    if (style & kVisible)
        s |= kWsVisible;
    return s;
}

struct ItemClass {
    std::uint16_t atom;
    std::uint32_t style; // the kind's own bits, before the common ones
};

ItemClass ClassOf(const ControlTemplate& c) {
    switch (c.kind) {
    case ControlKind::GroupBox:
        return {kClassButton, kBsGroupBox};
    case ControlKind::Static:
        // As LTEXT writes it: a label starts a group of its own.
        return {kClassStatic, kSsLeft | kWsGroup | ((c.style & kNoPrefix) ? kSsNoPrefix : 0)};
    case ControlKind::Combo:
        return {kClassComboBox,
                kCbsDropDown | kWsTabStop | ((c.style & kVScroll) ? kWsVScroll : 0)};
    case ControlKind::PushButton:
        return {kClassButton,
                ((c.style & kDefaultButton) ? kBsDefPushButton : kBsPushButton) | kWsTabStop};
    case ControlKind::AutoRadio:
        // Only the first radio of a group is a tab stop; arrows move inside it.
        return {kClassButton,
                kBsAutoRadioButton | ((c.style & kGroupStart) ? kWsGroup | kWsTabStop : 0)};
    case ControlKind::AutoCheck:
        return {kClassButton, kBsAutoCheckBox | kWsTabStop};
    case ControlKind::Edit:
        return {kClassEdit,
                kEsLeft | kWsBorder | kWsTabStop | ((c.style & kAutoHScroll) ? kEsAutoHScroll : 0)};
    case ControlKind::Icon:
        return {kClassStatic, kSsIcon};
    case ControlKind::Bitmap:
        return {kClassStatic, kSsBitmap};
    }
    throw std::out_of_range("dialog template: unknown control kind");
}

void WriteItem(BlobWriter& w, const ControlTemplate& c, const BlobOptions& options) {
    const ItemClass cls = ClassOf(c);
    std::uint32_t style = kWsChild | kWsVisible | cls.style;
    if (c.style & kDisabled)
        style |= kWsDisabled;
    if (c.style & kGroupStart)
        style |= kWsGroup;

    w.AlignDword();
    w.Dword(style);
    w.Dword(0); // dwExtendedStyle
    w.Word(ToShort(c.x, "control x"));
    w.Word(ToShort(c.y, "control y"));
    w.Word(ToShort(c.cx, "control width"));
    w.Word(ToShort(c.cy, "control height"));
    w.Word(c.id == kNoId ? kIdcStatic : ToWord(c.id, "control id"));
    w.Ordinal(cls.atom);

    const bool ordinalTitle =
        c.kind == ControlKind::Icon ||
        (c.kind == ControlKind::Bitmap && options.bitmaps == BitmapSource::Resource);
    if (ordinalTitle)
        w.Ordinal(ToWord(c.resource, "resource number"));
    else if (c.kind == ControlKind::Bitmap)
        w.Text("");
    else
        w.Text(c.text);

    w.Word(0); // no creation data
}

void AppendUtf16(std::u16string& out, char32_t cp) {
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
        return;
    }
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
}

} // namespace

std::vector<std::uint8_t> BuildDialogBlob(const DialogTemplate& tmpl, const BlobOptions& options) {
    if (tmpl.controls.size() > 0xFFFF)
        throw std::out_of_range("dialog template: too many controls");

    BlobWriter w;
    w.Dword(DialogStyleBits(tmpl.style));
    w.Dword((tmpl.style & kAppWindow) ? kWsExAppWindow : 0);
    w.Word(static_cast<std::uint16_t>(tmpl.controls.size()));
    w.Word(0); // x, y: the program centres the window or the parent places it
    w.Word(0);
    w.Word(ToShort(tmpl.cx, "dialog width"));
    w.Word(ToShort(tmpl.cy, "dialog height"));
    w.Word(0); // no menu
    w.Word(0); // the default dialog class
    w.Text(tmpl.caption);
    w.Word(ToWord(tmpl.pointSize, "point size"));
    w.Text(tmpl.fontFace);

    for (const ControlTemplate& c : tmpl.controls)
        WriteItem(w, c, options);
    return w.Take();
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i++]);
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        // Continuation bytes allowed after the lead; the second byte's range is
        // narrowed where the lead would allow overlong forms, surrogates or
        // values past U+10FFFF.
        int more = 0;
        char32_t cp = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            more = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            more = 2;
            cp = lead & 0x0F;
            if (lead == 0xE0)
                lo = 0xA0;
            else if (lead == 0xED)
                hi = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            more = 3;
            cp = lead & 0x07;
            if (lead == 0xF0)
                lo = 0x90;
            else if (lead == 0xF4)
                hi = 0x8F;
        } else {
            out.push_back(kReplacement);
            continue;
        }
        bool complete = true;
        for (int k = 0; k < more; ++k) {
            const auto b = i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
            if (b < lo || b > hi) {
                complete = false; // the offending byte, if any, starts the next sequence
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
            lo = 0x80;
            hi = 0xBF;
            ++i;
        }
        if (complete)
            AppendUtf16(out, cp);
        else
            out.push_back(kReplacement);
    }
    return out;
}

} // namespace nw::res
