// Texts render: the Korean captions have a glyph for every character in the
// fonts the windows use, and the template faces fall back to faces this
// system has.
#include "app/qt/TemplateFont.h"
#include "res/DialogTemplates.h"
#include "res/Strings.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>

#include <gtest/gtest.h>

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

// The template faces fall back to faces this system has, from their lists.
TEST(GuiFonts, TemplateFacesFallBackToFacesTheSystemHas) {
    const QStringList families = QFontDatabase::families();
    for (const char* face : {"굴림", "System"}) {
        const QString used = QFontInfo(qt::TemplateFont(face, 9)).family();
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

} // namespace
} // namespace nw::test
