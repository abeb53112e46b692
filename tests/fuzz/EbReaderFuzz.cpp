// Any bytes are EB input: the reader and the line scheme must neither crash nor lose bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tests/fuzz/EbReaderFuzzBody.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (pel::fuzz::EbBytesFault(std::string_view(reinterpret_cast<const char*>(data), size)))
        std::abort();
    return 0;
}
