// Replays the fuzz corpus (and every input the fuzzer once found) through the fuzz property.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/TestSupport.h"
#include "tests/fuzz/EbImportFuzzBody.h"
#include "tests/fuzz/EbReaderFuzzBody.h"

namespace {
std::filesystem::path Corpus(const char* name) {
    return std::filesystem::path(PELORIN_TEST_DATA).parent_path() / "fuzz" / name;
}
}  // namespace

TEST(FuzzRegression, EveryCorpusInputKeepsItsBytes) {
    const std::filesystem::path corpus = Corpus("corpus");
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const char* fault = pel::fuzz::EbBytesFault(pel::test::ReadFile(entry.path().string()));
        EXPECT_EQ(fault, nullptr) << entry.path() << ": " << (fault ? fault : "");
        ++n;
    }
    EXPECT_GE(n, 3);
}

TEST(FuzzRegression, EveryImportCorpusInputImportsAndComparesSafely) {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Corpus("corpus-import"))) {
        EXPECT_NO_FATAL_FAILURE(
            pel::fuzz::ImportAndCompareBytes(pel::test::ReadFile(entry.path().string())))
            << entry.path();
        ++n;
    }
    EXPECT_GE(n, 2);
}
