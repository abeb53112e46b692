// pelorin: the desktop window. `pelorin --demo` opens it on the demo plant, made in the user's
// data folder at its first start from the demo EB files (data/demo, or --demo-files=DIR);
// --tab=N opens it on tab N.

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <optional>
#include <string>

#include "app/DemoPlant.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "db/Definitions.h"
#include "ui/QtDialogs.h"
#include "ui/QtSettingsStore.h"

namespace {

// The demo files: named on the command line, beside the program, or in the source tree of a
// build folder (build/<preset>/bin or <build>/bin).
QString FindDemoDirectory(const QString& given) {
    if (!given.isEmpty()) return given;
    const QString program = QCoreApplication::applicationDirPath();
    for (const char* relative : {"demo", "../../data/demo", "../../../data/demo"}) {
        QDir dir(program + "/" + relative);
        if (dir.exists()) return dir.absolutePath();
    }
    return program + "/demo";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Names the user's data folder (where the demo plant is kept); the settings name their own.
    QCoreApplication::setApplicationName(pel::ToQString(pel::kProgramTitle));

    bool demo = false;
    int tab = 1;  // --tab=N opens on tab N (the screenshots use it)
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
                            "The demo plant could not be made: " + pel::ToQString(failure),
                            pel::Icon::Exclamation);
    }
    if (loaded) window.tabClicked(tab);
    window.show();
    return app.exec();
}
