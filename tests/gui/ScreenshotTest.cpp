// Screenshots of the real windows on an X server: the main window in the
// middle of a wizard run, the Manual Setting window showing a report, and
// the about box, read back from the screen and saved as PNG files in the
// build tree. Each must show a drawn window, not an empty or one-colour area.
#include "GuiFixture.h"

#include "app/qt/AboutBox.h"
#include "res/ControlIds.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace nw::test {
namespace {

// Lets the window system map and paint the window, then reads it from the
// screen and saves it as NAME.png.
QImage Shoot(QWidget* w, const QString& name) {
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    QTest::qWait(300);
    const QImage image = w->screen()->grabWindow(w->winId()).toImage();
    QDir().mkpath(QStringLiteral(NW_SCREENSHOT_DIR));
    EXPECT_TRUE(image.save(QStringLiteral(NW_SCREENSHOT_DIR "/%1.png").arg(name)));
    return image;
}

void ExpectDrawn(const QImage& image, const QSize& size, const char* what) {
    ASSERT_FALSE(image.isNull()) << what;
    EXPECT_EQ(image.size(), size) << what;
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    int background = 0;
    for (int n : counts)
        background = std::max(background, n);
    const double pixels = static_cast<double>(image.width()) * image.height();
    EXPECT_GE(counts.size(), 16) << what << ": too few colours";
    EXPECT_GT(1.0 - background / pixels, 0.03) << what << ": almost all one colour";
}

class GuiScreenshot : public GuiBench {};

TEST_F(GuiScreenshot, MainManualAndAboutWindowsAreDrawn) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    OpenWindow();
    window->move(20, 20);
    OpenPort();
    Press("master"); // the wizard asks for the master: a picture with its arrow
    ExpectDrawn(Shoot(window.get(), "main"), window->size(), "main window");

    ASSERT_TRUE(bench.Attach("master"));
    InManualWindow(
        [&](qt::CManualWindow& m) { ExpectDrawn(Shoot(&m, "manual"), m.size(), "manual window"); });

    bool shot = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* about = qobject_cast<qt::CAboutBox*>(QApplication::activeModalWidget());
        if (shot || about == nullptr || !about->isVisible())
            return;
        shot = true;
        ExpectDrawn(Shoot(about, "about"), about->size(), "about box");
        about->accept();
    });
    poll.start();
    window->Logic().OnSysCommand(16);
    poll.stop();
    EXPECT_TRUE(shot);
}

} // namespace
} // namespace nw::test
