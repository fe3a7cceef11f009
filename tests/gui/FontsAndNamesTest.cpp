// Texts render and can be found: the Korean captions have a glyph for every
// character in the fonts the windows use, the template faces fall back to
// faces this system has, and every control has an accessible name.
#include "GuiFixture.h"

#include "app/qt/AboutBox.h"
#include "app/qt/TemplateFont.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/Strings.h"

#include <QAccessible>
#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QMenu>
#include <QTextLayout>

namespace nw::test {
namespace {

// Glyphs a text is laid out with in `font` (fallback fonts included) that
// are missing: glyph 0 is the "no glyph" box.
int MissingGlyphs(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int missing = 0;
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        for (quint32 index : run.glyphIndexes()) {
            ++glyphs;
            missing += index == 0 ? 1 : 0;
        }
    }
    return glyphs == 0 ? text.size() : missing;
}

TEST(GuiFonts, KoreanTextsHaveEveryGlyph) {
    const QStringList korean = {QString::fromUtf8(res::kAboutMenuText),
                                QString::fromUtf8(res::FindTemplate(res::kAboutBox)->caption),
                                QStringLiteral("확인")};
    const QList<QFont> fonts = {qt::TemplateFont("굴림", 9), qt::TemplateFont("System", 10),
                                QApplication::font(), QApplication::font("QMenu")};
    for (const QFont& font : fonts) {
        for (const QString& text : korean)
            EXPECT_EQ(MissingGlyphs(text, font), 0)
                << text.toStdString() << " in " << font.family().toStdString();
    }
}

TEST(GuiFonts, TemplateFacesFallBackToFacesTheSystemHas) {
    const QStringList families = QFontDatabase::families();
    for (const char* face : {"굴림", "System"}) {
        const QFont font = qt::TemplateFont(face, 9);
        const QString used = QFontInfo(font).family();
        EXPECT_TRUE(families.contains(used)) << used.toStdString();
        EXPECT_TRUE(qt::FallbackFamilies(face).contains(used))
            << face << " fell back to " << used.toStdString() << ", outside its list";
    }
    // On a machine with fonts-nanum, the Korean gothic face is the one used.
    if (families.contains(QStringLiteral("NanumGothic")) &&
        !families.contains(QStringLiteral("Gulim"))) {
        EXPECT_EQ(QFontInfo(qt::TemplateFont("굴림", 9)).family(), "NanumGothic");
    }
}

// The text of the label a screen reader reads for `w` (on Linux an edit or
// combo box is named through its label relation, its own name being its text).
QString LabelOf(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    if (a == nullptr)
        return {};
    for (const auto& [label, relation] : a->relations(QAccessible::Label))
        return label->text(QAccessible::Name);
    return {};
}

// Every control of `tmpl` with an id has a name; edits and combos are named
// by the label before them, buttons by their caption, and a button's role is
// its kind's.
void ExpectNamed(const qt::CTemplateWindow& window) {
    using K = res::ControlKind;
    for (const res::ControlTemplate& c : window.Template().controls) {
        if (c.id == res::kNoId)
            continue;
        QWidget* w = window.Control(c.id);
        ASSERT_NE(w, nullptr) << c.id;
        const QString name = AccessibleName(w);
        EXPECT_FALSE(name.isEmpty()) << "control " << c.id;
        if (c.kind == K::Edit || c.kind == K::Combo) {
            EXPECT_FALSE(LabelOf(w).isEmpty()) << "control " << c.id << " has no label";
            EXPECT_EQ(w->accessibleName(), LabelOf(w)) << c.id;
        }
        if (c.kind == K::PushButton || c.kind == K::AutoRadio || c.kind == K::AutoCheck) {
            EXPECT_TRUE(name.endsWith(QString::fromUtf8(c.text))) << c.id; // "Slave1 Use"
            const auto role = c.kind == K::AutoRadio   ? QAccessible::RadioButton
                              : c.kind == K::AutoCheck ? QAccessible::CheckBox
                                                       : QAccessible::Button;
            EXPECT_EQ(Accessible(w)->role(), role) << c.id;
        }
    }
}

class GuiAccessibility : public GuiBench {};

TEST_F(GuiAccessibility, EveryControlHasANameToFindItBy) {
    OpenWindow();
    ExpectNamed(*window);
    EXPECT_EQ(LabelOf(Main(id::main::kComboPort)), "Serial Port");
    EXPECT_EQ(LabelOf(Main(id::main::kComboStopBits)), "StopBit");
    EXPECT_EQ(AccessibleName(window->Picture(157)), "1:3 network, attach slave2 next");
    EXPECT_EQ(AccessibleName(window->Picture(129)), "1:4 network overview");

    qt::CAboutBox about(window.get());
    ExpectNamed(about);

    OpenPort();
    InManualWindow([&](qt::CManualWindow& m) {
        ExpectNamed(m);
        EXPECT_EQ(LabelOf(m.Control(id::manual::kEditSlave3)), "Slave3");
        EXPECT_EQ(LabelOf(m.Control(id::manual::kEditMaster)), "Master");
        EXPECT_EQ(AccessibleName(m.Control(id::manual::kCheckUse3)).toStdString(), "Slave3 Use");
    });
}

} // namespace
} // namespace nw::test
