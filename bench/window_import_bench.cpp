// Importing the 100,000-point benchmark plant through the window (offscreen, a click on
// "Import from EB") against `pelorin-cli import` of the same file, run side by side: each pair
// imports into two fresh point databases, one after the other. The counter `ratio` is the
// window's median over the command line's median; the target is at most 1.3.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportTab.h"
#include "support/PlantDatabase.h"
#include "support/PlantGenerator.h"
#include "ui/QtDialogs.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Every question answered OK, every message kept out of the way.
class QuietDialogs : public pel::Dialogs {
  public:
    std::optional<QString> openFile(QWidget*, const pel::FileChoice&) override { return {}; }
    std::optional<QStringList> openFiles(QWidget*, const pel::FileChoice&) override { return {}; }
    std::optional<QString> saveFile(QWidget*, const pel::FileChoice&) override { return {}; }
    bool askOkCancel(QWidget*, const QString&, const QString&) override { return true; }
    void message(QWidget*, const QString&, const QString&, pel::Icon) override {}
    bool openUrl(const QUrl&) override { return false; }
};

fs::path BinDirectory() {
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin";
}

struct Plant {
    fs::path folder = fs::temp_directory_path() / "pelorin-bench-window";
    std::string file = (folder / "plant100k.eb").string();
    std::string definitions = (BinDirectory() / "EB.db").string();
    Plant() {
        fs::create_directories(folder);
        if (!fs::exists(file)) pel::bench::WritePlant(file, pel::bench::PlantShape{});
    }
    // A fresh point database, as new-db makes it.
    std::string freshDatabase(const pel::PointTypeCatalog& catalog, const char* name) const {
        const std::string path = (folder / name).string();
        pel::bench::NewPointDatabase(catalog, path);
        return path;
    }
};

double WindowImportSeconds(const Plant& plant) {
    pel::AppState state;
    pel::MemorySettingsStore settings;
    QuietDialogs dialogs;
    pel::MainWindow window(state, settings, dialogs);
    window.load(plant.definitions, plant.folder.string());
    const std::string database = plant.freshDatabase(state.catalog, "window.db");
    window.applyDatabase(QString::fromStdString(database), false);
    window.importTab()->applyChosenFiles({QString::fromStdString(plant.file)}, false);
    auto* button = window.findChild<QPushButton*>("cmdImportEB");
    const auto start = std::chrono::steady_clock::now();
    button->click();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double CliImportSeconds(const Plant& plant) {
    const std::string database = plant.freshDatabase(pel::bench::BuiltCatalog(), "cli.db");
    const std::string program = (BinDirectory() / "pelorin-cli").string();
    std::vector<std::string> args{program,  "--defs", plant.definitions,
                                  "import", database, plant.file};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    double seconds = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    posix_spawn_file_actions_destroy(&actions);
    return seconds;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void WindowImportAgainstCli(benchmark::State& state) {
    static const Plant plant;
    std::vector<double> window, cli;
    for (auto _ : state) {
        window.push_back(WindowImportSeconds(plant));
        cli.push_back(CliImportSeconds(plant));
        state.SetIterationTime(window.back());
        if (cli.back() < 0) {
            state.SkipWithError("pelorin-cli could not be started");
            return;
        }
    }
    const double w = Median(window), c = Median(cli);
    state.counters["window_s"] = w;
    state.counters["cli_s"] = c;
    state.counters["ratio"] = c > 0 ? w / c : 0;
}

BENCHMARK(WindowImportAgainstCli)->Iterations(5)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    // The window is never shown: offscreen unless a platform is named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
