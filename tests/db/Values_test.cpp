// Numbers, value text and the conversion of EB text into column values.

#include <gtest/gtest.h>

#include <cmath>

#include "db/ColumnConversion.h"
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

TEST(RoundHalfEven, RoundsHalvesToEvenAndRefusesOutOfRange) {
    struct Case {
        double in;
        std::optional<std::int32_t> out;
    } cases[] = {{2.5, 2},
                 {3.5, 4},
                 {-2.5, -2},
                 {-3.5, -4},
                 {2.4, 2},
                 {2.6, 3},
                 {1000, 1000},
                 {0.5, 0},
                 {2147483647.0, 2147483647},
                 {2147483648.0, std::nullopt},
                 {-2147483649.0, std::nullopt},
                 {1e300, std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(RoundHalfEvenToInt32(c.in), c.out) << c.in;
}

TEST(ValueText, FormatsEachKindAsTheWritersExpect) {
    struct Case {
        Value value;
        int type;
        const char* text;
    } cases[] = {
        {Value::integer(12), kInteger, "12"},
        {Value::integer(-7), kSmallInt, "-7"},
        {Value::integer(1), kBoolean, "True"},
        {Value::integer(0), kBoolean, "False"},
        {Value::real(ToSinglePrecision(0.1)), kSingle, "0.1"},
        {Value::real(0.5), kDouble, "0.5"},
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

TEST(ConvertForColumn, FollowsTheColumnType) {
    using O = Conversion::Outcome;
    struct Case {
        int type;
        const char* text;
        O outcome;
        Value value;
    } cases[] = {
        {kInteger, "2.5", O::Stored, Value::integer(2)},
        {kInteger, "3.5", O::Stored, Value::integer(4)},
        {kInteger, "1E3", O::Stored, Value::integer(1000)},
        {kInteger, "abc", O::NotANumber, Value::null()},
        {kInteger, " ", O::Stored, Value::null()},
        {kInteger, "3000000000", O::DoesNotFit, Value::null()},
        {kSmallInt, "40000", O::DoesNotFit, Value::null()},
        {kSingle, "0.1", O::Stored, Value::real(ToSinglePrecision(0.1))},
        {kDouble, "0.1", O::Stored, Value::real(ToSinglePrecision(0.1))},
        {kDouble, "x", O::NotANumber, Value::null()},
        {kDouble, "1e300", O::DoesNotFit, Value::null()},
        {kInteger, "1E400", O::DoesNotFit, Value::null()},
        {kBoolean, "1E400", O::DoesNotFit, Value::null()},
        {kBoolean, "yes", O::Stored, Value::integer(1)},
        {kBoolean, "OFF", O::Stored, Value::integer(0)},
        {kBoolean, "-1", O::Stored, Value::integer(1)},
        {kBoolean, "maybe", O::DoesNotFit, Value::null()},
        {kByte, "255", O::Stored, Value::integer(255)},
        {kByte, "256", O::DoesNotFit, Value::null()},
        {kByte, "1.5", O::DoesNotFit, Value::null()},
        {kText, "007", O::Stored, Value::text("007")},
        {kLongText, " a ", O::Stored, Value::text(" a ")},
    };
    for (const auto& c : cases) {
        auto r = ConvertForColumn(c.type, c.text);
        EXPECT_EQ(r.outcome, c.outcome) << c.type << " " << c.text;
        if (r.outcome == O::Stored) {
            EXPECT_EQ(r.value, c.value) << c.type << " " << c.text;
        } else {
            EXPECT_FALSE(r.reason.empty());
        }
    }
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
