// Importing the synthetic plant: into a new point database with the definition update, and again
// into a database that already holds every point (all updates). Peak memory is reported as well.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"
#include "support/PlantDatabase.h"
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

void PeakMemory(benchmark::State& st) {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    st.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ImportIntoNewDatabase(benchmark::State& st) {
    const std::string plant = Plant(st.range(0));
    const std::string db = Dir() + "/new.db";
    pel::PointTypeCatalog catalog = pel::bench::BuiltCatalog();
    Silent silent;
    for (auto _ : st) {
        st.PauseTiming();
        pel::bench::NewPointDatabase(catalog, db);
        st.ResumeTiming();
        (void)pel::RunImport(catalog, silent,
                             {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    }
    PeakMemory(st);
}

void ImportAllUpdates(benchmark::State& st) {
    const std::string plant = Plant(st.range(0));
    const std::string db = Dir() + "/full.db";
    pel::PointTypeCatalog catalog = pel::bench::BuiltCatalog();
    Silent silent;
    pel::bench::NewPointDatabase(catalog, db);
    (void)pel::RunImport(catalog, silent,
                         {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    for (auto _ : st)
        (void)pel::RunImport(catalog, silent,
                             {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    PeakMemory(st);
}

}  // namespace

BENCHMARK(ImportIntoNewDatabase)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportAllUpdates)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ImportIntoNewDatabase)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
