// The EB line reader and classifier over a generated 40 MB EB file: throughput, and peak
// memory that does not grow with the file.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "eb/EbLine.h"
#include "eb/EbLineReader.h"

namespace {

std::string MakeFile(std::size_t megabytes) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("pelorin-bench-lines-" + std::to_string(megabytes) + ".eb"))
                                 .string();
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= megabytes << 20)
        return path;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::size_t written = 0;
    for (long p = 0; written < (megabytes << 20); ++p) {
        written += static_cast<std::size_t>(std::fprintf(
            f,
            "&T REGCLNIM\r\n&N FIC%06ld\r\nPTDESC = \"FEED FLOW TO COLUMN %ld\"\r\nKEYWORD = "
            "FLOW\r\n"
            "NODENUM = %ld\r\nMODNUM = 3\r\nSLOTNUM = 12\r\nPVEUHI = 150.5\r\nPVEULO = 0\r\n"
            "PISRC(1) = FIC%06ld.PV\r\nLISRC(2) = 5\r\nCTLEQN = EQA\r\n{ }\r\n",
            p, p, p % 64, p + 1));
    }
    std::fclose(f);
    return path;
}

void ReadAndClassify(benchmark::State& state) {
    const std::string path = MakeFile(static_cast<std::size_t>(state.range(0)));
    const auto bytes = std::filesystem::file_size(path);
    std::size_t params = 0;
    for (auto _ : state) {
        pel::eb::EbLineReader reader;
        reader.open(path);
        std::string_view line;
        while (reader.next(line)) {
            auto c = pel::eb::ClassifyEbLine(line);
            if (c.kind == pel::eb::EbLineKind::Parameter) {
                auto p = pel::eb::SplitEbParameterLine(line);
                params += pel::eb::DecodeEbValue(p.rawValue).size();
            }
        }
    }
    benchmark::DoNotOptimize(params);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

BENCHMARK(ReadAndClassify)->Arg(40)->Arg(400)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_MAIN();
