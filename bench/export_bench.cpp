// Exporting the synthetic plant from its database; peak memory is reported too.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

#include "app/Startup.h"
#include "db/Database.h"
#include "db/PointDatabase.h"
#include "export/ExportDriver.h"
#include "import/ImportDriver.h"
#include "support/PlantGenerator.h"
#include "support/SilentFeedback.h"

namespace {

using Silent = pel::bench::SilentFeedback;

void ExportPlant(benchmark::State& st) {
    const auto dir = std::filesystem::temp_directory_path() / "pelorin-bench-export";
    std::filesystem::create_directories(dir);
    const std::string plant = (dir / "plant.eb").string(), db = (dir / "plant.db").string();
    pel::AppState state;
    pel::OpenDefinitions(state, PELORIN_DEFS);
    Silent silent;
    if (!std::filesystem::exists(db)) {
        pel::bench::WritePlant(plant, {st.range(0), 1});
        auto d = pel::db::Database::create(db);
        for (std::int32_t i = 0; i < state.pointTypeCount; ++i)
            pel::db::CreatePointTypeTable(*d, state.pointTypeNames[static_cast<std::size_t>(i)]);
        d.reset();
        pel::RunImport(state, silent,
                       {db, {plant}, pel::ImportMode::UpdatesAndAdditions, {}, true});
    }
    pel::ExportRequest request;
    request.database = db;
    request.exportFile = (dir / "out.eb").string();
    request.pointTypes = {"ANINNIM", "DEVCTL", "DIINNIM", "REGCLNIM"};
    for (auto _ : st) pel::RunExport(state, silent, request);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    st.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

BENCHMARK(ExportPlant)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_MAIN();
