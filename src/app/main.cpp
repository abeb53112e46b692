// pelorin: the desktop window. `pelorin --demo` opens it on the demo plant, made in the user's
// data folder at its first start from the demo EB files (data/demo, or --demo-files=DIR);
// --tab=N opens it on tab N (else on the tab last shown; 4: the Compare DB panel in view);
// --version prints the version.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "app/DemoPlant.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "db/Definitions.h"
#include "ui/QtDialogs.h"
#include "ui/QtSettingsStore.h"

namespace {

// The demo files: named on the command line, beside the program, or in the source tree of a
// build folder (build/<preset>/bin, <build>/bin, or the tree the build was configured from).
QString FindDemoDirectory(const QString& given) {
    if (!given.isEmpty()) return given;
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString& place : {program + "/demo", program + "/../../data/demo",
                                 program + "/../../../data/demo", QString(PELORIN_DEMO_SOURCE)}) {
        QDir dir(place);
        if (dir.exists()) return dir.absolutePath();
    }
    return program + "/demo";
}

}  // namespace

int main(int argc, char** argv) {
    // Before the window system is asked for: --version works without a desktop.
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--version") {
            std::printf("pelorin %s\n", PELORIN_VERSION);
            return 0;
        }
    QApplication app(argc, argv);
    // Names the user's data folder (where the demo plant is kept); the settings name their own.
    QCoreApplication::setApplicationName(pel::ToQString(pel::kProgramTitle));

    bool demo = false;
    int tab = 0;  // --tab=N opens on tab N (the screenshots use it); 0: the tab last shown
    QString demoFiles;
    for (const QString& arg : QCoreApplication::arguments().mid(1)) {
        if (arg == "--demo") {
            demo = true;
        } else if (arg.startsWith("--tab=")) {
            tab = arg.mid(6).toInt();
        } else if (arg.startsWith("--demo-files=")) {
            demo = true;
            demoFiles = arg.mid(static_cast<qsizetype>(std::string_view("--demo-files=").size()));
        }
    }

    pel::AppState state;
    pel::QtSettingsStore settings;
    pel::QtDialogs dialogs;
    pel::MainWindow window(state, settings, dialogs);
    const std::string programDirectory = pel::ToStdString(QCoreApplication::applicationDirPath());
    const bool loaded = window.load(pel::db::DefinitionsPathIn(programDirectory),
                                    pel::ToStdString(QDir::homePath()));

    if (loaded && demo) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        std::string failure;
        std::optional<pel::DemoPlant> plant = pel::PrepareDemoPlant(
            state.catalog, window.feedback(), pel::ToStdString(FindDemoDirectory(demoFiles)),
            pel::ToStdString(data), failure);
        if (plant)
            window.presetDemo(*plant);
        else
            dialogs.message(&window, pel::ToQString(pel::kProgramTitle),
                            "The demo plant could not be made: " + pel::ToQString(failure) +
                                ". Name the folder of the demo EB files with --demo-files=DIR.",
                            pel::Icon::Exclamation);
    }
    if (loaded && tab >= 1 && tab <= 3) window.tabClicked(tab);
    window.show();
    if (loaded && tab == 4) window.showCompareDb();  // the panel without a tab
    return app.exec();
}
