// Numbers and value text (the conversion of EB text into column values is tested through the
// import).

#include <gtest/gtest.h>

#include <cmath>

#include "db/Numeric.h"
#include "db/TypeCodes.h"
#include "db/ValueText.h"

using namespace pel::db;

TEST(ParseNumber, AcceptsPlainDecimalOnly) {
    struct Case {
        const char* text;
        bool numeric;
        double value;
    } cases[] = {
        {"12", true, 12},          {" -3.5 ", true, -3.5},
        {"+7", true, 7},           {"1E3", true, 1000},
        {"2.5e-1", true, 0.25},    {".5", true, 0.5},
        {"5.", true, 5},           {"", false, 0},
        {" ", false, 0},           {"-", false, 0},
        {".", false, 0},           {"1e", false, 0},
        {"0x10", false, 0},        {"inf", false, 0},
        {"nan", false, 0},         {"1,000", false, 0},
        {"1 2", false, 0},         {"\t1", false, 0},
        {"12abc", false, 0},       {"1e+", false, 0},
        {"1E400", true, HUGE_VAL}, {"-0.05e400", true, -HUGE_VAL},
        {"1E-400", true, 0},       {"12000E-330", true, 0},
    };
    for (const auto& c : cases) {
        auto n = ParseNumber(c.text);
        EXPECT_EQ(n.has_value(), c.numeric) << '"' << c.text << '"';
        if (n && c.numeric) {
            EXPECT_EQ(*n, c.value) << c.text;
        }
    }
}

TEST(ValueText, FormatsEachKindAsTheWritersExpect) {
    struct Case {
        Value value;
        int type;
        const char* text;
    } cases[] = {
        {Value::integer(12), kInteger, "12"},
        {Value::integer(1), kBoolean, "True"},
        {Value::integer(0), kBoolean, "False"},
        {Value::real(ToSinglePrecision(0.1)), kSingle, "0.1"},
        {Value::real(100), kDouble, "100"},
        {Value::real(1e20), kDouble, "1E+20"},
        {Value::real(1.5e-5), kSingle, "1.5E-05"},
        {Value::real(ToSinglePrecision(0.1)), kDouble, "0.100000001490116"},
        {Value::real(123456789.0), kSingle, "1.234568E+08"},
        {Value::real(-0.0), kDouble, "0"},
        {Value::integer(16777216), kSingle, "1.677722E+07"},
        {Value::integer(1000000000000000), kDouble, "1E+15"},
        {Value::integer(3), kSingle, "3"},
        {Value::text("007"), kText, "007"},
        {Value::null(), kText, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueText(c.value, c.type), c.text) << c.text;
    EXPECT_TRUE(HasEmptyText(Value::null()));
    EXPECT_TRUE(HasEmptyText(Value::text("")));
    EXPECT_FALSE(HasEmptyText(Value::integer(0)));
}

TEST(TypeCodes, DeclaredTypesMapToCodes) {
    struct Case {
        const char* declared;
        int code;
    } cases[] = {{"SMALLINT", 2},      {"integer", 3},
                 {"SINGLE", 4},        {"DOUBLE", 5},
                 {"Boolean", 11},      {"TINYINT", 16},
                 {"BYTE", 17},         {"TEXT", 202},
                 {"LONGTEXT", 203},    {"MEMO", 203},
                 {"BIGINT", 3},        {"REAL", 5},
                 {"VARCHAR(40)", 202}, {"", 202},
                 {"BLOB", 202},        {"TEXT NOT NULL COLLATE NOCASE", 202}};
    for (const auto& c : cases)
        EXPECT_EQ(TypeCodeFromDeclaredType(c.declared), c.code) << c.declared;
}
