// The dialog templates in binary form: a reader written apart from the
// builder walks each blob as the dialog manager does and compares what it
// finds with the tables.
#include "res/DialogTemplateBlob.h"
#include "res/ControlIds.h"
#include "res/PicturePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace nw::test {
namespace {

using res::ControlKind;

constexpr std::uint32_t kWsChild = 0x40000000, kWsVisible = 0x10000000, kWsPopup = 0x80000000;
constexpr std::uint32_t kWsDisabled = 0x08000000, kWsGroup = 0x00020000, kWsTabStop = 0x00010000;
constexpr std::uint32_t kTopLevel = 0x80000000 | 0x00C00000 | 0x00080000 | 0x80 | 0x40;
// By ControlKind: class atom (Button 0x80, Edit 0x81, Static 0x82, ComboBox 0x85), the
// BS_/SS_/CBS_ type in the low bits (a default push button adds 1) and whether it is a tab
// stop (radios only where a group starts).
constexpr int kAtom[] = {0x80, 0x82, 0x85, 0x80, 0x80, 0x80, 0x81, 0x82, 0x82};
constexpr std::uint32_t kType[] = {0x7, 0x0, 0x2, 0x0, 0x9, 0x3, 0x0, 0x3, 0xE};
constexpr bool kTabStop[] = {false, false, true, true, false, true, true, false, false};

struct Item {
    std::size_t offset;
    std::uint32_t style, exStyle;
    int x, y, cx, cy, id, atom;
    std::optional<int> ordinal; // title given as a resource number
    std::u16string title;
};
struct Dialog {
    std::uint32_t style, exStyle;
    int count, x, y, cx, cy, menu, cls;
    std::u16string caption;
    int pointSize;
    std::u16string face;
    std::vector<Item> items;
};

class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& b) : b_(b) {}
    Dialog Read() {
        Dialog d{Dword(), Dword(), W(), S(), S(), S(), S(), W(), W(), Sz(W()), W(), Sz(W()), {}};
        for (int i = 0; i < d.count; ++i) {
            pos_ = (pos_ + 3) & ~std::size_t{3};
            Item it{pos_, Dword(), Dword(), S(), S(), S(), S(), W(), 0, {}, {}};
            EXPECT_EQ(W(), 0xFFFF) << "class as ordinal";
            it.atom = W();
            if (const int first = W(); first == 0xFFFF)
                it.ordinal = W();
            else
                it.title = Sz(first);
            EXPECT_EQ(W(), 0) << "creation data";
            d.items.push_back(it);
        }
        EXPECT_EQ(pos_, b_.size()) << "bytes after the last item";
        return d;
    }

  private:
    int W() {
        if (pos_ + 2 > b_.size())
            throw std::out_of_range("read past the end of the blob");
        pos_ += 2;
        return b_[pos_ - 2] | (b_[pos_ - 1] << 8);
    }
    int S() { return static_cast<std::int16_t>(W()); }
    std::uint32_t Dword() { return W() | (static_cast<std::uint32_t>(W()) << 16); }
    std::u16string Sz(int c) {
        std::u16string s;
        for (; c != 0; c = W())
            s.push_back(static_cast<char16_t>(c));
        return s;
    }
    const std::vector<std::uint8_t>& b_;
    std::size_t pos_ = 0;
};

Dialog Parse(const res::DialogTemplate& t, res::BlobOptions o = {}) {
    const std::vector<std::uint8_t> blob = res::BuildDialogBlob(t, o);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(blob.data()) % 4, 0u);
    return Reader(blob).Read();
}

std::u16string U(const char* text) {
    return res::Utf8ToUtf16(text);
}

TEST(DialogBlob, EveryTemplateReadsBackAsItsTable) {
    for (const res::DialogTemplate& t : res::AllTemplates()) {
        SCOPED_TRACE(t.id);
        const Dialog d = Parse(t);
        EXPECT_EQ(d.style & 0x44, 0x44u); // DS_SETFONT | DS_3DLOOK
        EXPECT_EQ(std::vector<int>({d.x, d.y, d.cx, d.cy, d.menu, d.cls}),
                  std::vector<int>({0, 0, t.cx, t.cy, 0, 0}));
        EXPECT_EQ(d.caption, U(t.caption));
        EXPECT_EQ(d.face, U(t.fontFace));
        EXPECT_EQ(d.pointSize, t.pointSize);
        ASSERT_EQ(d.items.size(), t.controls.size());
        for (std::size_t i = 0; i < d.items.size(); ++i) {
            const res::ControlTemplate& c = t.controls[i];
            const Item& it = d.items[i];
            SCOPED_TRACE(c.text);
            const auto k = static_cast<int>(c.kind);
            EXPECT_EQ(it.offset % 4, 0u);
            EXPECT_EQ(std::vector<int>({it.id, it.atom, it.x, it.y, it.cx, it.cy}),
                      std::vector<int>(
                          {c.id == res::kNoId ? 0xFFFF : c.id, kAtom[k], c.x, c.y, c.cx, c.cy}));
            const bool start = (c.style & res::kGroupStart) != 0;
            EXPECT_EQ(it.style & (kWsChild | kWsVisible), kWsChild | kWsVisible);
            EXPECT_EQ(it.style & 0xF, kType[k] | ((c.style & res::kDefaultButton) ? 1 : 0));
            EXPECT_EQ((it.style & kWsTabStop) != 0,
                      kTabStop[k] || (start && c.kind == ControlKind::AutoRadio));
            // A label ends the radio group before it, as LTEXT does.
            EXPECT_EQ((it.style & kWsGroup) != 0, start || c.kind == ControlKind::Static);
            EXPECT_EQ((it.style & kWsDisabled) != 0, (c.style & res::kDisabled) != 0);
            if (c.kind == ControlKind::Icon)
                EXPECT_EQ(it.ordinal, c.resource);
            else
                EXPECT_EQ(it.title, U(c.kind == ControlKind::Bitmap ? "" : c.text));
        }
    }
}

TEST(DialogBlob, WindowStylesAndPictures) {
    const Dialog main = Parse(*res::FindTemplate(res::kMainWindow));
    EXPECT_EQ(main.style & kTopLevel, kTopLevel);
    EXPECT_EQ(main.exStyle, 0x00040000u); // WS_EX_APPWINDOW
    EXPECT_EQ(Parse(*res::FindTemplate(res::kAboutBox)).exStyle, 0u);
    // A page: a hidden child whose bitmap comes from code or, asked, from its resource.
    const res::DialogTemplate& table = *res::FindTemplate(id::page::k1To2Overview);
    EXPECT_EQ(Parse(table).style & (kWsChild | kWsPopup | kWsVisible), kWsChild);
    EXPECT_EQ(Parse(table).items.at(0).ordinal, std::nullopt);
    EXPECT_EQ(Parse(table, {res::BitmapSource::Resource}).items[0].ordinal,
              res::FindPicturePage(table.id)->bitmapId);
}

TEST(Utf8ToUtf16, DecodesAndReplacesInvalidSequences) {
    EXPECT_EQ(res::Utf8ToUtf16("Nodewright 정보"), u"Nodewright 정보");
    EXPECT_EQ(res::Utf8ToUtf16("a\xF0\x9F\x98\x80z"), u"a\xD83D\xDE00z"); // U+1F600
    EXPECT_EQ(res::Utf8ToUtf16("a\x80z"), u"a\uFFFDz");                   // stray continuation
    EXPECT_EQ(res::Utf8ToUtf16("a\xEC\xA0"), u"a\uFFFD");                 // cut by the end
    EXPECT_EQ(res::Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");             // overlong '/'
}

} // namespace
} // namespace nw::test
