#pragma once
// Writes a synthetic plant as an EB file in the writer's layout: point types in name order, the
// points of each type in name order, the parameters of a type always in one order, "{ }" after
// each block, internal lines last. Text, quoted text, whole numbers in numeric columns, decimals,
// connection references and array elements.

#include <cstdint>
#include <string>

namespace pel::bench {

struct PlantShape {
    std::int64_t points = 100000;  // spread over the point types below
    std::uint32_t seed = 1;
};

// The point types used (all NIM types of the definitions).
inline const char* const kPlantTypes[] = {"ANINNIM", "DEVCTL", "DIINNIM", "REGCLNIM"};

// Writes the plant to `path`; returns the number of lines written, or -1 on failure.
std::int64_t WritePlant(const std::string& path, const PlantShape& shape);

}  // namespace pel::bench
