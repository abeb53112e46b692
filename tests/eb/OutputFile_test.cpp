// Output files replace their destination only when whole.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "eb/OutputFile.h"
#include "eb/TextFileWriter.h"
#include "support/TestSupport.h"

using namespace pel::eb;
using pel::test::ReadFile;
using pel::test::TempDir;
using pel::test::WriteFile;

TEST(OutputFile, ThePreviousFileStaysWholeUntilTheNewOneIsCommitted) {
    TempDir dir;
    const std::string out = dir.file("out.eb"), target = dir.file("target.eb");
    WriteFile(target, "previous\r\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, out);
    enum class End { Destroyed, Discarded, Committed };
    for (End end : {End::Destroyed, End::Discarded, End::Committed}) {
        {
            TextFileWriter w;
            ASSERT_TRUE(w.open(out));
            w.writeLine("new");
            EXPECT_EQ(ReadFile(out), "previous\r\n");  // a kill now keeps the previous file
            if (end == End::Discarded) w.discard();
            if (end == End::Committed) {
                EXPECT_TRUE(w.commit());
            }
        }
        EXPECT_EQ(pel::test::FilesIn(dir).size(), 2u);  // no temporary file left behind
    }
    EXPECT_EQ(ReadFile(target), "new\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(out));  // the link is kept, its file replaced
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// Lines are gathered in a buffer: lines across its edge and longer than it, ASCII or not, keep
// their bytes and their order.
TEST(TextFileWriter, LinesAcrossAndBeyondTheBufferKeepTheirBytes) {
    TempDir dir;
    TextFileWriter w;
    ASSERT_TRUE(w.open(dir.file("out.eb")));
    std::string expected;
    const std::string line(1000, 'x'), longLine(300000, 'y');
    for (int n = 0; n < 300; ++n) {  // the buffer fills on every kind of line in turn
        switch (n % 4) {
            case 0:
                w.writeLineOf({line, "=", std::to_string(n)});
                expected += line + "=" + std::to_string(n) + "\r\n";
                break;
            case 1:
                w.writeAsciiLineOf({"", "a b"});
                expected += "a b\r\n";
                break;
            case 2:
                w.writeLine("T\xC3\xBCr \xE2\x98\x83");  // ü in 1252, a snowman is not
                expected += "T\xFCr ?\r\n";
                break;
            default:
                if (n % 100 == 3) {
                    w.writeLineOf({longLine, "\xC3\xA9"});
                    w.writeLine(longLine);
                    expected += longLine + "\xE9\r\n" + longLine + "\r\n";
                }
        }
    }
    EXPECT_TRUE(w.commit());
    EXPECT_EQ(w.unmappable(), 75u);
    EXPECT_TRUE(ReadFile(dir.file("out.eb")) == expected);
}

// Which outputs are refused (devices, folders, an input under any name) is tested through
// every command in OutputsCli_test.
TEST(OutputFile, ADeviceOrAMissingFolderCannotBeOpened) {
    TempDir dir;
    OutputFile device;
    EXPECT_FALSE(device.open("/dev/full"));
    EXPECT_TRUE(pel::test::Holds(device.errorText(), "not a regular file"));
    EXPECT_FALSE(OutputFile().open(dir.file("no/such/folder/o.eb")));
}
