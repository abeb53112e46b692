// Exporting the synthetic plant from its database; peak memory is reported too.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

#include "db/Database.h"
#include "db/PointDatabase.h"
#include "export/ExportEngine.h"
#include "import/ImportDriver.h"
#include "support/PlantDatabase.h"
#include "support/SilentFeedback.h"

namespace {

using Silent = pel::bench::SilentFeedback;

void ExportPlant(benchmark::State& st) {
    pel::PointTypeCatalog catalog = pel::bench::BuiltCatalog();
    Silent silent;
    const auto plant = pel::bench::MakePlantDatabase("pelorin-bench-export", st.range(0), catalog);
    const std::string db = plant.db;
    const std::filesystem::path dir = plant.folder;
    pel::ExportRequest request;
    request.database = db;
    request.exportFile = (dir / "out.eb").string();
    request.pointTypes = {"ANINNIM", "DEVCTL", "DIINNIM", "REGCLNIM"};
    for (auto _ : st) (void)pel::RunExport(silent, request);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    st.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

BENCHMARK(ExportPlant)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
