// CSV fields as RFC 4180 quotes them.

#include <gtest/gtest.h>

#include "eb/CsvWriter.h"

TEST(CsvWriter, QuotesOnlyFieldsThatNeedIt) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain text", "plain text"},
        {"", ""},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"caf\xC3\xA9", "caf\xC3\xA9"},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(pel::eb::CsvField(text), field) << text;
}
