// The block writer's decisions on a value: quoted for a blank, a line break written as a blank
// (and noted), other text in code page 1252. A value is tested in whole words, so the special
// byte is put at every place of values of every length up to three words.

#include <gtest/gtest.h>

#include "eb/EbBlockWriter.h"
#include "support/TestSupport.h"

using namespace pel::eb;

TEST(BlockLayout, ABlankALineBreakOrANonAsciiByteIsFoundAnywhereInAValue) {
    pel::test::TempDir dir;
    TextFileWriter out;
    ASSERT_TRUE(out.open(dir.file("out.eb")));
    BlockLayout layout({"V"}, ",");
    struct Special {
        std::string written, read;  // as the database holds it, as the file holds it
        bool quoted, noted;
    } specials[] = {{" ", " ", true, false},
                    {"\r", " ", true, true},
                    {"\n", " ", true, true},
                    {"\xC3\xA9", "\xE9", false, false}};
    std::string expected;
    for (const auto& s : specials)
        for (std::size_t length = 1; length <= 24; ++length)
            for (std::size_t at = 0; at < length; ++at) {
                std::string value(length, 'a'), read(length, 'a');
                value.replace(at, 1, s.written);
                read.replace(at, 1, s.read);
                const BlockNotes notes = layout.write(out, "T", "P", {value});
                EXPECT_EQ(notes.lineBreaks.size(), s.noted ? 1u : 0u) << length << " " << at;
                expected +=
                    "&T T\r\n&N P\r\nV = " + (s.quoted ? '"' + read + '"' : read) + "\r\n{ }\r\n";
            }
    ASSERT_TRUE(out.commit());
    EXPECT_TRUE(pel::test::ReadFile(dir.file("out.eb")) == expected);
}
