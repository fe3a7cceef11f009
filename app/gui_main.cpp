// nodewright: the desktop program. Opens the main window; with --demo it
// also starts a bench of simulated adapters in the process, puts the bench's
// line in the port box and shows a panel that attaches the adapters.
#include "app/qt/BenchPanel.h"
#include "app/qt/IconArt.h"
#include "app/qt/MainWindow.h"
#include "app/qt/StartupProbe.h"
#include "app/qt/TemplateFont.h"
#include "res/Strings.h"
#include "serial/StopSignals.h"
#include "sim/SimBench.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>

#include <cstdio>
#include <memory>

namespace {

// Writes the icon as PNG files in the freedesktop icon theme layout under
// `root`: root/SIZExSIZE/apps/nodewright.png.
int WriteIcons(const QString& root) {
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(dir) ||
            !nw::qt::DrawAppIcon(size).save(dir + QStringLiteral("/nodewright.png"))) {
            std::fprintf(stderr, "nodewright: cannot write the icons under %s\n", qPrintable(root));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    nw::ReleasePortsOnStopSignals(); // a logout or kill leaves the line usable
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("nodewright"));
    QApplication::setApplicationName(QStringLiteral("nodewright"));
    QApplication::setApplicationVersion(QString::fromUtf8(nw::res::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("nodewright"));
    QApplication::setWindowIcon(nw::qt::AppIcon());
    QApplication::setFont(nw::qt::TemplateFont("굴림", 9));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Sets up OLMA Bluetooth serial adapters for a multiple connection."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"),
        QStringLiteral("Run on a bench of simulated adapters inside the program."));
    const QCommandLineOption probe(
        QStringLiteral("startup-probe"),
        QStringLiteral("Print the time from process start to the first paint, then quit."));
    const QCommandLineOption icons(QStringLiteral("write-icons"),
                                   QStringLiteral("Write the icon as PNG files under <dir>."),
                                   QStringLiteral("dir"));
    parser.addOptions({demo, probe, icons});
    parser.process(app);

    if (parser.isSet(icons))
        return WriteIcons(parser.value(icons));

    std::unique_ptr<nw::qt::CStartupProbe> startup;
    if (parser.isSet(probe)) {
        startup = std::make_unique<nw::qt::CStartupProbe>([](double ms) {
            std::printf("first paint %.0f ms after process start\n", ms);
            std::fflush(stdout);
            QApplication::quit();
        });
    }

    nw::sim::CSimBench bench;
    std::unique_ptr<nw::qt::CBenchPanel> panel;
    nw::qt::CMainWindow window;
    if (parser.isSet(demo)) {
        std::string error;
        if (bench.Start(&error)) {
            window.PresetPort(QString::fromStdString(bench.Path()));
            panel = std::make_unique<nw::qt::CBenchPanel>(bench);
        } else {
            QMessageBox::warning(nullptr, QString::fromUtf8(nw::res::kMessageBoxTitle),
                                 QStringLiteral("The simulated bench could not start: %1")
                                     .arg(QString::fromStdString(error)));
        }
    }
    // Closing the main window ends the program, bench panel or not.
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    window.show();
    if (panel) {
        const QRect frame = window.frameGeometry();
        panel->move(frame.topRight() + QPoint(12, 0));
        panel->show();
        window.activateWindow();
    }
    return QApplication::exec();
}
