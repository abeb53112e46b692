// Comparing the synthetic plant's file with its database, with the two-way check.

#include <benchmark/benchmark.h>

#include <filesystem>

#include "compare/CompareEngine.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "import/ImportDriver.h"
#include "support/PlantDatabase.h"
#include "support/SilentFeedback.h"

namespace {

void ComparePlantTwoWay(benchmark::State& st) {
    pel::PointTypeCatalog catalog = pel::bench::BuiltCatalog();
    pel::bench::SilentFeedback silent;
    const auto plant = pel::bench::MakePlantDatabase("pelorin-bench-compare", st.range(0), catalog);
    const std::filesystem::path dir = plant.folder;
    const pel::CompareEbRequest request{
        plant.db, dir.string(), {"plant.eb"}, (dir / "report.htm").string(), true};
    for (auto _ : st) (void)pel::CompareEbFiles(catalog, silent, request);
}

}  // namespace

BENCHMARK(ComparePlantTwoWay)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
