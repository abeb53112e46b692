// Converting the 20,000-point Access file into SQLite, beside mdb-export dumping the same table
// as CSV (output discarded): the conversion should take at most twice as long.
//
// BM_ConvertVsMdbExport runs the two one after the other in each iteration, so both see the
// same machine; its median row gives both times and their ratio. The file is
// ../shared/fixtures/mdb/plant-20k.mdb beside the source folder (or PELORIN_PLANT_20K); the
// benchmarks skip when it or mdb-export is missing.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "convert/ConvertDatabase.h"
#include "core/Feedback.h"

extern char** environ;

namespace {

class SilentFeedback : public pel::Feedback {
  public:
    void setLabel(pel::Panel, pel::Label, std::string_view) override {}
    void clearText() override {}
    void setProgress(pel::Panel, double) override {}
    bool repaintDue() override { return throttle_.due(); }
    void repaint() override {}
    bool askOkCancel(std::string_view, std::string_view) override { return true; }
    void message(std::string_view, std::string_view, pel::Icon) override {}
    void warning(std::string_view) override {}

  private:
    pel::RepaintThrottle throttle_{10};
};

std::string PlantFile() {
    if (const char* given = std::getenv("PELORIN_PLANT_20K")) return given;
    const auto source = std::filesystem::path(__FILE__).parent_path().parent_path();
    return (source / ".." / "shared" / "fixtures" / "mdb" / "plant-20k.mdb")
        .lexically_normal()
        .string();
}

std::string OutputFile() {
    return (std::filesystem::temp_directory_path() /
            ("pelorin-convert-bench-" + std::to_string(::getpid()) + ".db"))
        .string();
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// mdb-export FILE REGCLNIM > /dev/null; false when it cannot be run.
bool RunMdbExport(const std::string& file) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = "mdb-export", table = "REGCLNIM";
    std::string path = file;
    char* argv[] = {program.data(), path.data(), table.data(), nullptr};
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "mdb-export", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Convert(const std::string& file, const std::string& out) {
    SilentFeedback feedback;
    std::filesystem::remove(out);
    const bool done = pel::ConvertDatabase(feedback, {file, out}) == pel::Outcome::Done;
    std::filesystem::remove(out);
    return done;
}

bool Usable(benchmark::State& state, const std::string& file) {
    if (std::filesystem::exists(file)) return true;
    state.SkipWithError(("no " + file).c_str());
    return false;
}

void BM_MdbExport(benchmark::State& state) {
    const std::string file = PlantFile();
    if (!Usable(state, file)) return;
    for (auto _ : state)
        if (!RunMdbExport(file)) state.SkipWithError("mdb-export cannot be run");
}

void BM_Convert(benchmark::State& state) {
    const std::string file = PlantFile(), out = OutputFile();
    if (!Usable(state, file)) return;
    for (auto _ : state)
        if (!Convert(file, out)) state.SkipWithError("the conversion failed");
}

void BM_ConvertVsMdbExport(benchmark::State& state) {
    const std::string file = PlantFile(), out = OutputFile();
    if (!Usable(state, file)) return;
    double exportSeconds = 0, convertSeconds = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        if (!RunMdbExport(file)) state.SkipWithError("mdb-export cannot be run");
        auto middle = std::chrono::steady_clock::now();
        if (!Convert(file, out)) state.SkipWithError("the conversion failed");
        auto end = std::chrono::steady_clock::now();
        exportSeconds += Seconds(middle - start);
        convertSeconds += Seconds(end - middle);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["export_ms"] = 1000 * exportSeconds / n;
    state.counters["convert_ms"] = 1000 * convertSeconds / n;
    state.counters["ratio"] = exportSeconds > 0 ? convertSeconds / exportSeconds : 0;
}

}  // namespace

BENCHMARK(BM_MdbExport)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Convert)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ConvertVsMdbExport)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
