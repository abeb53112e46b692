// Random plants through import, export and an import into a second database give equal
// databases: every column type, internal lines, names and values in code page 1252.

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "db/Database.h"
#include "support/DatabaseDump.h"
#include "support/ServerDatabases.h"
#include "support/TestSupport.h"

using pel::test::RunCli;
using pel::test::TempDir;

namespace {

struct Column {
    const char* name;
    const char* declared;
};
const std::vector<Column> kColumns = {
    {"P_SMALL", "SMALLINT"}, {"P_INT", "INTEGER"},  {"P_SINGLE", "SINGLE"},
    {"P_DOUBLE", "DOUBLE"},  {"P_BOOL", "BOOLEAN"}, {"P_TINY", "TINYINT"},
    {"P_BYTE", "BYTE"},      {"P_TEXT", "TEXT"},    {"P_LONG", "LONGTEXT"},
};
// Types with and without internal parameters (the first internal name of each, if any).
const std::vector<std::pair<std::string, std::string>> kTypes = {
    {"REGCLNIM", "CTLEQN"}, {"LOGICNIM", "LOGICBLK"}, {"ANINNIM", ""}, {"DIINNIM", ""}};

class PlantMaker {
  public:
    explicit PlantMaker(unsigned seed) : random_(seed) {}

    int between(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }

    // Printable ASCII and the upper half of code page 1252, "=" and quotes included.
    std::string text(int low, int high, bool commas = true) {
        std::string s;
        for (int n = between(low, high); n > 0; --n) {
            const int c = between(0, 3) ? between(0x20, 0x7E) : between(0x80, 0xFF);
            if (c == ',' && !commas) continue;
            s += static_cast<char>(c);
        }
        return s;
    }

    std::string name() {
        std::string s;
        for (int n = between(1, 16); n > 0; --n)
            s += between(0, 5) ? "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"[between(0, 36)]
                               : static_cast<char>(between(0xC0, 0xDE));
        return s;
    }

    std::string value(const std::string& declared) {
        char buf[64];
        if (declared == "SMALLINT") return std::to_string(between(-32768, 32767));
        if (declared == "INTEGER") return std::to_string(between(INT32_MIN, INT32_MAX));
        if (declared == "TINYINT") return std::to_string(between(-128, 127));
        if (declared == "BYTE") return std::to_string(between(0, 255));
        if (declared == "BOOLEAN") {
            const char* forms[] = {"True", "False", "yes", "NO", "On", "off", "0", "-1"};
            return forms[between(0, 7)];
        }
        const double magnitude = std::pow(10.0, between(-30, 30));
        const double x = std::uniform_real_distribution<double>(-1, 1)(random_) * magnitude;
        if (declared == "SINGLE") {
            std::snprintf(buf, sizeof buf, "%.7G", static_cast<double>(static_cast<float>(x)));
            return buf;
        }
        if (declared == "DOUBLE") {
            std::snprintf(buf, sizeof buf, "%.15G", x);
            return buf;
        }
        // Quotes at the edges are where the EB value rules are easiest to get wrong.
        const char* edges[] = {"", "", "\"", "\"\"", " \""};
        return edges[between(0, 4)] + text(0, declared == "LONGTEXT" ? 300 : 40) +
               edges[between(0, 4)];
    }

    std::string file() {
        std::string eb;
        auto line = [&](const std::string& l) { eb += l + "\r\n"; };
        for (const auto& [type, internal] : kTypes) {
            std::set<std::string> names;
            for (int p = between(0, 12); p > 0; --p) {
                const std::string n = name();
                if (!names.insert(n).second) continue;
                line("&T " + type);
                line("&N " + n);
                line("PTDESC = \"" + text(0, 24) + "\"");
                for (const auto& c : kColumns)
                    if (between(0, 5)) line(std::string(c.name) + " = " + value(c.declared));
                if (!internal.empty() && between(0, 1)) {
                    line(internal + " = " + text(1, 30, false));
                    for (int k = between(0, 3); k > 0; --k)
                        line(" STEP(" + std::to_string(k) + ") =" + text(1, 30, false));
                }
                line("{ }");
            }
        }
        return eb;
    }

  private:
    std::mt19937 random_;
};

// Once over SQLite files, once over databases on the test server (skipped without one).
struct RoundTrip : ::testing::TestWithParam<bool> {
    TempDir dir;
    std::string store(const std::string& name) const {
        return GetParam() ? pel::test::FreshServerDatabase() : dir.file(name);
    }
    std::string dump(const std::string& db) const {
        return pel::test::Dump(*pel::db::Database::open(db, false));
    }
};
INSTANTIATE_TEST_SUITE_P(Stores, RoundTrip, ::testing::Bool(),
                         [](const auto& server) { return server.param ? "Server" : "File"; });

}  // namespace

TEST_P(RoundTrip, RandomPlantsComeBackEqualThroughExportAndImport) {
    if (GetParam()) PELORIN_REQUIRE_SERVER();
    std::string types;
    for (const auto& t : kTypes) types += (types.empty() ? "" : ",") + t.first;
    for (unsigned seed = 1; seed <= 8; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        const std::string n = std::to_string(seed);
        const std::string first = store("first" + n + ".db"), second = store("second" + n + ".db");
        for (const auto& db : {first, second}) {
            ASSERT_EQ(RunCli({"new-db", db}).exitCode, 0);
            auto made = pel::db::Database::open(db, true);
            for (const auto& [type, internal] : kTypes)
                for (const auto& c : kColumns) made->addColumn(type, c.name, c.declared);
            made->commit();
        }
        PlantMaker maker(seed);
        pel::test::WriteFile(dir.file("plant.eb"), maker.file());
        auto in = RunCli({"import", first, dir.file("plant.eb")});
        ASSERT_EQ(in.exitCode, 0) << in.err;
        auto out = RunCli({"export", first, dir.file("out.eb"), "--types", types});
        ASSERT_EQ(out.exitCode, 0) << out.err;
        auto again = RunCli({"import", second, dir.file("out.eb")});
        ASSERT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(dump(first), dump(second));
        if (!GetParam()) continue;
        // convert carries a server database to a file and back unchanged, never into tables.
        const std::string file = dir.file("back" + n + ".db");
        auto back = RunCli({"convert", first, file});
        ASSERT_EQ(back.exitCode, 0) << back.err;
        const std::string server = pel::test::FreshServerDatabase();
        auto there = RunCli({"convert", file, server});
        ASSERT_EQ(there.exitCode, 0) << there.err;
        EXPECT_EQ(there.out, back.out);
        EXPECT_EQ(dump(first), dump(file));
        EXPECT_EQ(dump(first), dump(server));
        auto refused = RunCli({"convert", file, server});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.err.find("holds tables already"), std::string::npos) << refused.err;
    }
}
