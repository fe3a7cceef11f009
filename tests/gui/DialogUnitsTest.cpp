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
using qt::MulDiv;

TEST(GuiDialogUnits, MulDivRoundsHalfAwayFromZero) {
    EXPECT_EQ(MulDiv(7, 6, 4), 11);   // 10.5
    EXPECT_EQ(MulDiv(5, 6, 4), 8);    // 7.5
    EXPECT_EQ(MulDiv(13, 7, 4), 23);  // 22.75
    EXPECT_EQ(MulDiv(9, 13, 8), 15);  // 14.625
    EXPECT_EQ(MulDiv(3, 13, 8), 5);   // 4.875
    EXPECT_EQ(MulDiv(1, 13, 8), 2);   // 1.625
    EXPECT_EQ(MulDiv(-7, 6, 4), -11); // -10.5
    EXPECT_EQ(MulDiv(4, 6, 0), -1);
}

TEST(GuiDialogUnits, RectangleMapsEachFieldWithItsOwnAxis) {
    const BaseUnits units{6, 13};
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
    EXPECT_EQ(main.Control(id::main::kPictureArea)->geometry(),
              MapDialogRect(mu, 7, 169, 230, 118));
    // A combo box keeps its place and width; its height is that of the
    // closed box, not of the open list.
    const QRect port = main.Control(id::main::kComboPort)->geometry();
    const QRect dialog = MapDialogRect(mu, 49, 14, 46, 167);
    EXPECT_EQ(port.topLeft(), dialog.topLeft());
    EXPECT_EQ(port.width(), dialog.width());
    EXPECT_LT(port.height(), MapDialogRect(mu, 0, 0, 0, 16).height());

    // The picture page's bitmap sits at 7, 5 in the page's own font units.
    const QWidget* page = main.Picture(146);
    const QFont pageFont = qt::TemplateFont("System", 10);
    const QRect bitmap = MapDialogRect(qt::BaseUnitsOf(pageFont), 7, 5, 180, 75);
    const auto labels = page->findChildren<QWidget*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->geometry(), QRect(bitmap.topLeft(), QSize(350, 140)));

    qt::CAboutBox about(nullptr);
    EXPECT_EQ(about.size(), MapDialogRect(qt::BaseUnitsOf(about.font()), 0, 0, 235, 55).size());
}

} // namespace
} // namespace nw::test
