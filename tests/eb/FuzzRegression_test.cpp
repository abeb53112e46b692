// Replays the fuzz corpus (and every input the fuzzer once found) through the fuzz property.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"
#include "tests/fuzz/EbReaderFuzzBody.h"

TEST(FuzzRegression, EveryCorpusInputKeepsItsBytes) {
    const std::filesystem::path corpus =
        std::filesystem::path(PELORIN_TEST_DATA).parent_path() / "fuzz" / "corpus";
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        EXPECT_NO_FATAL_FAILURE(pel::fuzz::CheckEbBytes(pel::test::ReadFile(entry.path().string())))
            << entry.path();
        ++n;
    }
    EXPECT_GE(n, 3);
}
