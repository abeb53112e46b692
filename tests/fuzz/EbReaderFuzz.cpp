// Any bytes are EB input: the reader and the line scheme must neither crash nor lose bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/EbReaderFuzzBody.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pel::fuzz::CheckEbBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
