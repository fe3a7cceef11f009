// The GUI tests' main: a QApplication on the offscreen platform (or, for the
// screenshots, on the X server in DISPLAY), then every test.
#include "app/qt/TemplateFont.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
#ifdef NW_NEEDS_X_SERVER
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("no X server (DISPLAY is not set): skipped");
        return 77;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
#else
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    // Settings of this process's own, not the user's nor another test's.
    const QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    QApplication::setFont(nw::qt::TemplateFont("굴림", 9)); // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
