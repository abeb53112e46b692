#pragma once
// Writes a synthetic plant as EB files in the writer's layout, for the benchmarks.

#include <cstdint>
#include <string>

namespace pel::bench {

struct PlantShape {
    std::int64_t points = 100000;
    int parametersPerPoint = 25;
    std::uint32_t seed = 1;
};

// Writes the plant to `path`; returns the number of lines written.
std::int64_t WritePlant(const std::string& path, const PlantShape& shape);

}  // namespace pel::bench
