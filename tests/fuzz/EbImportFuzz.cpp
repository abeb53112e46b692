// Any bytes as an EB file to import and then compare: no crash, leak or hang, no damaged
// database.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/EbImportFuzzBody.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pel::fuzz::ImportAndCompareBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
