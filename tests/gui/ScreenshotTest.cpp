// Screenshots of the real windows on an X server: the main window in the
// middle of a wizard run, the Manual Setting window showing a report, and
// the about box, read back from the screen and saved as PNG files in the
// build tree. Each must show a drawn window, not an empty or one-colour area.
#include "GuiFixture.h"

#include "app/qt/AboutBox.h"

#include <QDir>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <algorithm>

namespace nw::test {
namespace {

// Reads `w` from the screen once mapped and painted, saves it as NAME.png,
// checks it is drawn.
void ShootDrawn(QWidget* w, const QString& name) {
    SCOPED_TRACE(name.toStdString());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    QTest::qWait(300);
    const QImage image = w->screen()->grabWindow(w->winId()).toImage();
    QDir().mkpath(QStringLiteral(NW_SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(QStringLiteral(NW_SCREENSHOT_DIR "/%1.png").arg(name)));
    ASSERT_EQ(image.size(), w->size());
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    const int background = *std::max_element(counts.begin(), counts.end());
    EXPECT_GE(counts.size(), 16) << "too few colours";
    EXPECT_GT(1.0 - background / (image.width() * double(image.height())), 0.03) << "one colour";
}

using GuiScreenshot = GuiBench;

TEST_F(GuiScreenshot, MainManualAndAboutWindowsAreDrawn) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    OpenWindow();
    window->move(20, 20);
    OpenPort();
    Press("master"); // the wizard asks for the master: a picture with its arrow
    ShootDrawn(window.get(), "main");

    ASSERT_TRUE(bench.Attach("master"));
    InManualWindow([&](qt::CManualWindow& m) { ShootDrawn(&m, "manual"); });

    bool shot = false;
    WhileRunning([&] { window->Logic().OnSysCommand(id::kSysCommandAbout); },
                 [&] {
                     auto* about = qobject_cast<qt::CAboutBox*>(QApplication::activeModalWidget());
                     if (shot || about == nullptr || !about->isVisible())
                         return;
                     shot = true;
                     ShootDrawn(about, "about");
                     about->accept();
                 });
    EXPECT_TRUE(shot);
}

} // namespace
} // namespace nw::test
