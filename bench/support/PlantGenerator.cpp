#include "support/PlantGenerator.h"

#include <cstdio>
#include <string>

namespace pel::bench {

namespace {

// About 25 parameters per point; REGCLNIM ends with its two internal lines.
void WriteBlock(std::FILE* f, const char* type, std::int64_t n, std::int64_t& lines) {
    const long long k = static_cast<long long>(n);
    std::fprintf(f, "&T %s\r\n&N %c%07lld\r\n", type, type[0], k);
    std::fprintf(f, "PTDESC = \"%s POINT %lld OF UNIT %lld\"\r\n", type, k, k % 40);
    std::fprintf(f, "KEYWORD = \"K%lld\"\r\n", k % 1000);
    std::fprintf(f, "EUDESC = \"DEG C\"\r\n");
    std::fprintf(f, "NTWKNUM = %lld\r\nNODENUM = %lld\r\nMODNUM = %lld\r\nSLOTNUM = %lld\r\n",
                 k % 3, k % 64, k % 16, k % 32);
    std::fprintf(f, "PVEUHI = %lld.5\r\nPVEULO = -%lld.25\r\nPVALMHI = %lld.125\r\n", k % 1000,
                 k % 100, k % 500);
    std::fprintf(f, "ASSOCDSP = \"UNIT%lld\"\r\nSTATE0 = \"OFF\"\r\nSTATE1 = \"ON\"\r\n", k % 40);
    std::fprintf(f, "PISRC(1) = A%07lld.PV\r\nPISRC(2) = D%07lld.PV\r\n", (k + 1) % 100000,
                 (k + 7) % 100000);
    std::fprintf(f, "LISRC(1) = %lld\r\nLISRC(2) = %lld\r\nLISRC(3) = %lld\r\n", k % 7, k % 11,
                 k % 13);
    std::fprintf(f, "DODSTN(1) = R%07lld.MODE\r\nDISRC(1) = D%07lld.PV\r\n", (k + 3) % 100000,
                 (k + 5) % 100000);
    std::fprintf(f, "PVCLAMP = CLAMP\r\nALMOPT = NONE\r\nPVFORMAT = D1\r\nSCANPRI = LOW\r\n");
    lines += 27;
    if (type[0] == 'R') {
        std::fprintf(f, "CTLEQN = EQA\r\nPVEQN = EQB %lld\r\n", k % 9);
        lines += 2;
    }
    std::fprintf(f, "{ }\r\n");
    ++lines;
}

}  // namespace

std::int64_t WritePlant(const std::string& path, const PlantShape& shape) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return -1;
    std::int64_t lines = 0;
    const std::int64_t perType = shape.points / 4;
    for (std::size_t t = 0; t < 4; ++t) {
        const std::int64_t count = t < 3 ? perType : shape.points - 3 * perType;
        for (std::int64_t n = 0; n < count; ++n) WriteBlock(f, kPlantTypes[t], n, lines);
    }
    return std::fclose(f) == 0 ? lines : -1;
}

}  // namespace pel::bench
