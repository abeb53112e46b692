// Importing the synthetic plant: into a new point database with the definition update, and again
// into a database that already holds every point (all updates). Peak memory is reported as well.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "app/AppState.h"
#include "app/Startup.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"
#include "support/PlantGenerator.h"
#include "support/SilentFeedback.h"

namespace {

using Silent = pel::bench::SilentFeedback;

std::string Dir() {
    auto d = std::filesystem::temp_directory_path() / "pelorin-bench-import";
    std::filesystem::create_directories(d);
    return d.string();
}

std::string Plant(std::int64_t points) {
    const std::string path = Dir() + "/plant-" + std::to_string(points) + ".eb";
    if (!std::filesystem::exists(path)) pel::bench::WritePlant(path, {points, 1});
    return path;
}

pel::AppState State() {
    pel::AppState state;
    pel::OpenDefinitions(state, std::string(PELORIN_DEFS));
    return state;
}

void NewDatabase(pel::AppState& state, const std::string& path) {
    std::filesystem::remove(path);
    auto db = pel::db::Database::create(path);
    for (std::int32_t i = 0; i < state.pointTypeCount; ++i)
        pel::db::CreatePointTypeTable(*db, state.pointTypeNames[static_cast<std::size_t>(i)]);
    db->commit();
}

void PeakMemory(benchmark::State& st) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    st.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ImportIntoNewDatabase(benchmark::State& st) {
    const std::string plant = Plant(st.range(0));
    const std::string db = Dir() + "/new.db";
    pel::AppState state = State();
    Silent silent;
    for (auto _ : st) {
        st.PauseTiming();
        NewDatabase(state, db);
        st.ResumeTiming();
        pel::RunImport(state, silent,
                       {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    }
    PeakMemory(st);
}

void ImportAllUpdates(benchmark::State& st) {
    const std::string plant = Plant(st.range(0));
    const std::string db = Dir() + "/full.db";
    pel::AppState state = State();
    Silent silent;
    NewDatabase(state, db);
    pel::RunImport(state, silent, {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    for (auto _ : st)
        pel::RunImport(state, silent,
                       {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    PeakMemory(st);
}

}  // namespace

BENCHMARK(ImportIntoNewDatabase)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportAllUpdates)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportIntoNewDatabase)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
