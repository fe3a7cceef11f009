// How the windows look: the Korean texts have a glyph for every character,
// the template faces fall back to faces this system has, dialog units map
// to pixels as the platform rounds them, and each instruction picture's red
// arrow ends in the circle of the adapter to attach next.
#include "GuiFixture.h"

#include "app/qt/AboutBox.h"
#include "app/qt/DialogUnits.h"
#include "app/qt/PictureArt.h"
#include "app/qt/TemplateFont.h"
#include "res/DialogTemplates.h"
#include "res/PicturePages.h"
#include "res/Strings.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QImage>
#include <QTextLayout>

#include <cmath>
#include <limits>

namespace nw::test {
namespace {

using qt::BaseUnits;
using qt::MapDialogRect;

TEST(GuiFonts, KoreanTextsHaveEveryGlyphAndFacesFallBackToTheSystemsOwn) {
    const QStringList korean = {QString::fromUtf8(res::kAboutMenuText),
                                QString::fromUtf8(res::FindTemplate(res::kAboutBox)->caption),
                                QStringLiteral("확인")};
    for (const QFont& font : {qt::TemplateFont("굴림", 9), qt::TemplateFont("System", 10),
                              QApplication::font(), QApplication::font("QMenu")}) {
        for (const QString& text : korean) {
            // Glyph 0 is the "no glyph" box; fallback fonts count.
            QTextLayout layout(text, font);
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
            QList<quint32> glyphs;
            for (const QGlyphRun& run : layout.glyphRuns())
                glyphs += run.glyphIndexes();
            EXPECT_TRUE(!glyphs.empty() && !glyphs.contains(0u))
                << text.toStdString() << " in " << font.family().toStdString();
        }
    }
    const QStringList families = QFontDatabase::families();
    for (const char* face : {"굴림", "System"}) {
        const QString used = QFontInfo(qt::TemplateFont(face, 9)).family();
        EXPECT_TRUE(families.contains(used) && qt::FallbackFamilies(face).contains(used))
            << face << " fell back to " << used.toStdString();
    }
    // On a machine with fonts-nanum, the Korean gothic face is the one used.
    if (families.contains(QStringLiteral("NanumGothic")) &&
        !families.contains(QStringLiteral("Gulim"))) {
        EXPECT_EQ(QFontInfo(qt::TemplateFont("굴림", 9)).family(), "NanumGothic");
    }
}

TEST(GuiDialogUnits, MulDivRoundsHalfAwayFromZeroAndWindowsTakeTheirTemplateSizes) {
    // value, numerator, denominator, result
    const int cases[][4] = {{7, 6, 4, 11}, {5, 6, 4, 8},  {13, 7, 4, 23},  {9, 13, 8, 15},
                            {3, 13, 8, 5}, {1, 13, 8, 2}, {-7, 6, 4, -11}, {4, 6, 0, -1}};
    for (const auto& [value, numerator, denominator, result] : cases)
        EXPECT_EQ(qt::MulDiv(value, numerator, denominator), result)
            << value << " * " << numerator << " / " << denominator;
    const BaseUnits units{6, 13}; // each field with its own axis
    EXPECT_EQ(MapDialogRect(units, 7, 3, 230, 46), QRect(11, 5, 345, 75));

    CSerialEnum none("/nonexistent-sys", "/nonexistent-dev");
    qt::MainWindowOptions options;
    options.ports = &none;
    qt::CMainWindow main(options);
    const BaseUnits mu = qt::BaseUnitsOf(main.font());
    EXPECT_EQ(main.size(), MapDialogRect(mu, 0, 0, 247, 320).size());
    EXPECT_EQ(main.Control(id::main::kButtonStart)->geometry(),
              MapDialogRect(mu, 190, 293, 47, 19));
    // A combo box keeps its place and width; its height is that of the
    // closed box, not of the open list.
    const QRect port = main.Control(id::main::kComboPort)->geometry();
    const QRect dialog = MapDialogRect(mu, 49, 14, 46, 167);
    EXPECT_EQ(port.topLeft(), dialog.topLeft());
    EXPECT_EQ(port.width(), dialog.width());
    EXPECT_LT(port.height(), MapDialogRect(mu, 0, 0, 0, 16).height());
    // A page lies on the picture area; its bitmap, at its own size, at 7, 5
    // in the page's own font units.
    const QWidget* page = main.Picture(id::page::k1To4Master);
    EXPECT_EQ(page->geometry(), MapDialogRect(mu, 7, 169, 230, 118));
    const QRect bitmap = MapDialogRect(qt::BaseUnitsOf(qt::TemplateFont("System", 10)), 7, 5, 0, 0);
    const auto labels = page->findChildren<QWidget*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->geometry(), QRect(bitmap.topLeft(), QSize(350, 140)));
    qt::CAboutBox about(nullptr);
    EXPECT_EQ(about.size(), MapDialogRect(qt::BaseUnitsOf(about.font()), 0, 0, 235, 55).size());
}

// Size and depth of the fifteen pictures, and a red arrow that ends in the
// circle of the adapter to attach next, clear of the other circles (none on
// the overviews).
TEST(PictureArt, ArrowEndsInTheCircleOfTheAdapterToAttachNext) {
    for (const res::PicturePage& page : res::AllPicturePages()) {
        SCOPED_TRACE(page.templateId);
        const QImage drawn = qt::DrawPicture(page);
        EXPECT_EQ(drawn.size(), QSize(res::kBitmapWidth, res::kBitmapHeight));
        EXPECT_EQ(drawn.depth(), page.bitsPerPixel);
        EXPECT_EQ(qt::DrawBitmap(page.bitmapId), drawn);
        const QImage image = drawn.convertToFormat(QImage::Format_RGB32);
        std::vector<QPoint> red;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (const QRgb c = image.pixel(x, y);
                    qRed(c) > 160 && qGreen(c) < 90 && qBlue(c) < 90)
                    red.emplace_back(x, y);
        const std::optional<int> target = res::ArrowNode(page.arrow);
        if (!target) {
            EXPECT_TRUE(red.empty()) << "red on an overview";
            continue;
        }
        ASSERT_GT(red.size(), 100u);
        const auto tree = res::TreeFor(page.slaves);
        const res::TreeNode& aim = tree[static_cast<std::size_t>(*target)];
        const auto distance = [](const QPoint& p, const res::TreeNode& n) {
            return std::hypot(p.x() - n.cx, p.y() - n.cy);
        };
        double nearest = std::numeric_limits<double>::max();
        for (const QPoint& p : red) {
            nearest = std::min(nearest, distance(p, aim));
            for (const res::TreeNode& other : tree) { // no other circle touched
                if (&other != &aim) {
                    ASSERT_GT(distance(p, other), res::kNodeRadius + 3.0) << other.label;
                }
            }
        }
        // The tip reaches over the rim, not into the label.
        EXPECT_LE(nearest, res::kNodeRadius);
        EXPECT_GT(nearest, res::kNodeRadius - 6.0);
    }
}

} // namespace
} // namespace nw::test
