// Dialog units to pixels: the platform's rounding, and windows sized from
// their templates with the base units of their own fonts.
#include "GuiFixture.h"

#include "app/qt/AboutBox.h"
#include "app/qt/DialogUnits.h"
#include "app/qt/TemplateFont.h"
#include "res/ControlIds.h"

namespace nw::test {
namespace {

using qt::BaseUnits;
using qt::MapDialogRect;

TEST(GuiDialogUnits, MulDivRoundsHalfAwayFromZero) {
    // value, numerator, denominator, result
    const int cases[][4] = {{7, 6, 4, 11}, {5, 6, 4, 8},  {13, 7, 4, 23},  {9, 13, 8, 15},
                            {3, 13, 8, 5}, {1, 13, 8, 2}, {-7, 6, 4, -11}, {4, 6, 0, -1}};
    for (const auto& [value, numerator, denominator, result] : cases)
        EXPECT_EQ(qt::MulDiv(value, numerator, denominator), result)
            << value << " * " << numerator << " / " << denominator;
    const BaseUnits units{6, 13}; // each field with its own axis
    EXPECT_EQ(MapDialogRect(units, 7, 3, 230, 46), QRect(11, 5, 345, 75));
    EXPECT_EQ(MapDialogRect(units, 188, 14, 39, 12), QRect(282, 23, 59, 20));
}

TEST(GuiDialogUnits, WindowsTakeTheirTemplateSizesAndPositions) {
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

} // namespace
} // namespace nw::test
