// The EB line scheme, the streaming reader and the code page (the block writer is tested
// through the export).

#include <gtest/gtest.h>

#include "core/Cp1252.h"
#include "eb/EbLine.h"
#include "eb/EbLineReader.h"
#include "support/TestSupport.h"

using namespace pel::eb;
using pel::test::TempDir;

TEST(ClassifyEbLine, TestsTheFormsInOrderAtTheStartOfTheLine) {
    struct Case {
        const char* line;
        EbLineKind kind;
        const char* text;
    } cases[] = {
        {"&T REGCLNIM", EbLineKind::PointType, "REGCLNIM"},
        {"&T REGCLNIM   ", EbLineKind::PointType, "REGCLNIM"},
        {"&TREGCLNIM", EbLineKind::PointType, "EGCLNIM"},  // the third character is dropped
        {"&T  REGCLNIM", EbLineKind::PointType, " REGCLNIM"},
        {"&T", EbLineKind::PointType, ""},
        {"&N FIC101", EbLineKind::PointName, "FIC101"},
        {"&N A=B", EbLineKind::PointName, "A=B"},
        {"&t REGCLNIM", EbLineKind::Other, ""},
        {" &N FIC101", EbLineKind::Other, ""},
        {" &N X = 1", EbLineKind::Parameter, ""},
        {"{ }", EbLineKind::Ignored, ""},
        {"{ PTDESC = 1", EbLineKind::Ignored, ""},
        {"$ &T X", EbLineKind::Ignored, ""},
        {"PTDESC = \"A\"", EbLineKind::Parameter, ""},
        {"no equals here", EbLineKind::Other, ""},
        {"", EbLineKind::Other, ""},
    };
    for (const auto& c : cases) {
        auto r = ClassifyEbLine(c.line);
        EXPECT_EQ(r.kind, c.kind) << c.line;
        EXPECT_EQ(r.text, c.text) << c.line;
    }
}

TEST(SplitAndDecode, SplitAtTheFirstEqualsAndStripOneQuoteEachSide) {
    struct Case {
        const char* line;
        const char* name;
        const char* value;
    } cases[] = {
        {"PTDESC = \"FEED FLOW\"", "PTDESC", "FEED FLOW"},
        {"  INDENT = 3", "  INDENT", "3"},
        {"A = B = C", "A", "B = C"},
        {"Q = \"  padded  \"", "Q", "padded"},
        {"Q = \"open only", "Q", "open only"},
        {"Q = close only\"", "Q", "close only\""},
        {"Q = \"in\"side\"", "Q", "in\"side"},
        {"Q =", "Q", ""},
        {"Q = \"\"", "Q", ""},
        {"Q = \"", "Q", ""},
        {"TAB =\tx\t", "TAB", "\tx\t"},
    };
    for (const auto& c : cases) {
        auto p = SplitEbParameterLine(c.line);
        EXPECT_EQ(p.name, c.name) << c.line;
        EXPECT_EQ(DecodeEbValue(p.rawValue), c.value) << c.line;
    }
}

namespace {
std::vector<std::string> ReadAll(const std::string& path) {
    EbLineReader r;
    EXPECT_TRUE(r.open(path));
    std::vector<std::string> lines;
    std::string_view line;
    while (r.next(line)) lines.emplace_back(line);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(r.lineNumber(), lines.size());
    return lines;
}
}  // namespace

TEST(EbLineReader, AcceptsEveryLineEndAndAnyBytes) {
    TempDir dir;
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"", {}},
        {"\r\n", {""}},
        {std::string("n\0ul\r\n", 6), {std::string("n\0ul", 4)}},
        {"caf\xE9 \x80\x81", {"caf\xC3\xA9 \xE2\x82\xAC\xC2\x81"}},
    };
    for (const auto& c : cases) {
        pel::test::WriteFile(dir.file("f.eb"), c.bytes);
        EXPECT_EQ(ReadAll(dir.file("f.eb")), c.lines);
    }
}

TEST(EbLineReader, LinesLongerThanTheBufferAndEndsAcrossItsEdge) {
    TempDir dir;
    const std::string huge(5 * 1024 * 1024 + 3, 'x');
    // A CR LF split over the 1 MiB buffer edge counts once.
    std::string edge(1024 * 1024 - 1, 'y');
    pel::test::WriteFile(dir.file("f.eb"), "a\r\n" + huge + "\r\n" + edge.substr(3) + "\r\nz");
    auto lines = ReadAll(dir.file("f.eb"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], huge);
    EXPECT_EQ(lines[3], "z");
    pel::test::WriteFile(dir.file("g.eb"), edge + "\r\nz");
    EXPECT_EQ(ReadAll(dir.file("g.eb")), (std::vector<std::string>{edge, "z"}));
}

TEST(EbLineReader, AMissingFileOrAFolderIsAnErrorNotACrash) {
    TempDir dir;
    EbLineReader r;
    EXPECT_FALSE(r.open(dir.file("missing.eb")));
    EXPECT_TRUE(pel::test::Holds(r.errorText(), "missing.eb"));
    EXPECT_FALSE(r.open(dir.path().string()));
}

TEST(Cp1252, EveryByteComesBackOutUnchanged) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    std::string utf8 = Cp1252ToUtf8(all), back;
    std::size_t unmappable = 0;
    AppendUtf8AsCp1252(utf8, back, unmappable);
    EXPECT_EQ(back, all);
    EXPECT_EQ(unmappable, 0u);
    back.clear();
    AppendUtf8AsCp1252("\xE4\xB8\xAD x \xF0\x9F\x98\x80 \xFF", back,
                       unmappable);  // CJK, emoji, bad byte
    EXPECT_EQ(back, "? x ? ?");
    EXPECT_EQ(unmappable, 3u);
}
