#include "support/PlantGenerator.h"

#include <cstdio>

namespace pel::bench {

// A plain plant; the import work refines it.
std::int64_t WritePlant(const std::string& path, const PlantShape& shape) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return -1;
    std::int64_t lines = 0;
    for (std::int64_t p = 0; p < shape.points; ++p) {
        std::fprintf(f, "&T REGCLNIM\r\n&N P%07lld\r\n", static_cast<long long>(p));
        for (int i = 0; i < shape.parametersPerPoint; ++i)
            std::fprintf(f, "PARAM%02d = %lld\r\n", i, static_cast<long long>(p + i));
        std::fprintf(f, "{ }\r\n");
        lines += 3 + shape.parametersPerPoint;
    }
    std::fclose(f);
    return lines;
}

}  // namespace pel::bench
