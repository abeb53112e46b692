// Comparing the synthetic plant's file with its database, with the two-way check.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/Startup.h"
#include "compare/CompareEngine.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"
#include "support/PlantDatabase.h"
#include "support/SilentFeedback.h"

namespace {

void ComparePlantTwoWay(benchmark::State& st) {
    pel::AppState state;
    pel::OpenDefinitions(state, PELORIN_DEFS);
    pel::bench::SilentFeedback silent;
    const auto plant = pel::bench::MakePlantDatabase("pelorin-bench-compare", st.range(0), state);
    const std::string db = plant.db;
    const std::filesystem::path dir = plant.folder;
    state.accessDatabasePath = db;
    state.ebFileDirectory = dir.string();
    for (auto _ : st)
        pel::CompareEbFiles(state, silent, {"plant.eb"}, (dir / "report.htm").string(), true);
}

}  // namespace

BENCHMARK(ComparePlantTwoWay)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
