#include "foundation/Value.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

TEST(ValueTest, DefaultIsEmptyAndConvertsToDefaults)
{
    const Value value;
    EXPECT_FALSE(value.isValid());
    EXPECT_TRUE(value.isType(Value::Empty));
    EXPECT_FALSE(value.toBool());
    EXPECT_EQ(value.toInt(), 0);
    EXPECT_EQ(value.toUInt(), 0u);
    EXPECT_EQ(value.toInt64(), 0);
    EXPECT_EQ(value.toFloat(), 0.0f);
    EXPECT_EQ(value.toDouble(), 0.0);
    EXPECT_TRUE(value.toString().isEmpty());
    EXPECT_TRUE(value.stringValue().isEmpty());
}

TEST(ValueTest, ConstructorsSetTheirTypes)
{
    EXPECT_TRUE(Value(true).isType(Value::Bool));
    EXPECT_TRUE(Value(std::int32_t(-1)).isType(Value::Int));
    EXPECT_TRUE(Value(std::uint32_t(1)).isType(Value::UInt));
    EXPECT_TRUE(Value(std::int64_t(1)).isType(Value::Int64));
    EXPECT_TRUE(Value(std::uint64_t(1)).isType(Value::UInt64));
    EXPECT_TRUE(Value(1.0f).isType(Value::Float));
    EXPECT_TRUE(Value(1.0).isType(Value::Double));
    EXPECT_TRUE(Value(String(L"x")).isType(Value::Text));
    // A wide literal must not decay to a pointer and become a bool.
    EXPECT_TRUE(Value(L"x").isType(Value::Text));
    EXPECT_EQ(Value(L"x").stringValue(), String(L"x"));
}

TEST(ValueTest, TextToBoolAndInt)
{
    struct Row {
        const wchar_t* text;
        bool asBool;
        int asInt;
    };
    const Row rows[] = {
        {L" TRUE ", true, 0}, {L"false", false, 0}, {L"FaLsE", false, 0}, {L"0", false, 0},
        {L"", false, 0},      {L"12abc", true, 12}, {L"-7", true, -7},    {L"  0  ", false, 0},
    };
    for (const Row& row : rows) {
        const Value value{String(row.text)};
        EXPECT_EQ(value.toBool(), row.asBool) << String(row.text).length();
        EXPECT_EQ(value.toInt(), row.asInt) << String(row.text).length();
    }
}

TEST(ValueTest, TextToOtherNumbers)
{
    EXPECT_EQ(Value(L"4000000000").toUInt(), 4000000000u);
    EXPECT_EQ(Value(L"-9000000000").toInt64(), -9000000000LL);
    EXPECT_EQ(Value(L"42").toDouble(), 42.0);
    EXPECT_EQ(Value(L"42").toFloat(), 42.0f);
    EXPECT_EQ(Value(L"abc").toInt64(), 0);
}

TEST(ValueTest, ToStringTable)
{
    struct Row {
        Value value;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {Value(true), L"1"},
        {Value(false), L"0"},
        {Value(std::int32_t(-5)), L"-5"},
        {Value(std::uint32_t(4294967295u)), L"4294967295"},
        {Value(std::int64_t(std::numeric_limits<std::int64_t>::min())), L"-9223372036854775808"},
        {Value(std::uint64_t(18446744073709551615ull)), L"18446744073709551615"},
        {Value(1.5), L"1.500000000"},
        {Value(1.5f), L"1.500000000"},
        {Value(-0.25), L"-0.250000000"},
        {Value(String(L"text")), L"text"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.value.toString(), String(row.expected)) << row.value.type();
}

TEST(ValueTest, IntegerWidthConversions)
{
    EXPECT_EQ(Value(std::int32_t(-1)).toUInt(), 0xFFFFFFFFu);
    EXPECT_EQ(Value(std::int32_t(-1)).toInt64(), -1);
    EXPECT_EQ(Value(std::uint32_t(0xFFFFFFFFu)).toInt(), -1);
    EXPECT_EQ(Value(std::uint32_t(0xFFFFFFFFu)).toInt64(), 4294967295LL);
    EXPECT_EQ(Value(std::int64_t(0x100000005LL)).toInt(), 5);
    EXPECT_EQ(Value(std::uint64_t(0xFFFFFFFF00000002ull)).toUInt(), 2u);
    EXPECT_EQ(Value(std::uint64_t(0xFFFFFFFFFFFFFFFFull)).toInt64(), -1);
    EXPECT_EQ(Value(std::int64_t(-3)).toDouble(), -3.0);
    EXPECT_EQ(Value(std::uint64_t(1ull << 63)).toDouble(), 9223372036854775808.0);
    EXPECT_EQ(Value(true).toInt64(), 1);
    EXPECT_EQ(Value(true).toDouble(), 1.0);
}

TEST(ValueTest, FloatingToIntegerTruncatesTowardZero)
{
    EXPECT_EQ(Value(-2.7).toInt(), -2);
    EXPECT_EQ(Value(2.7).toInt(), 2);
    EXPECT_EQ(Value(-2.7f).toInt64(), -2);
    EXPECT_EQ(Value(3.9).toUInt(), 3u);
    // Through the 64-bit truncation: the low 32 bits of -1.
    EXPECT_EQ(Value(-1.0).toUInt(), 0xFFFFFFFFu);
    EXPECT_EQ(Value(5e9).toUInt(), static_cast<std::uint32_t>(5000000000LL));
}

TEST(ValueTest, NaNAndOutOfRangeFloatingToIntegerAreDefined)
{
    // A plain cast of these is undefined behaviour.
    const std::int32_t intMax = std::numeric_limits<std::int32_t>::max();
    const std::int32_t intMin = std::numeric_limits<std::int32_t>::min();
    const std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
    const std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
    const double inf = std::numeric_limits<double>::infinity();

    EXPECT_EQ(Value(kNaN).toInt(), 0);
    EXPECT_EQ(Value(kNaN).toInt64(), 0);
    EXPECT_EQ(Value(kNaN).toUInt(), 0u);
    EXPECT_EQ(Value(std::numeric_limits<float>::quiet_NaN()).toInt(), 0);

    EXPECT_EQ(Value(3e9).toInt(), intMax);
    EXPECT_EQ(Value(-3e9).toInt(), intMin);
    EXPECT_EQ(Value(2147483647.9).toInt(), intMax);
    EXPECT_EQ(Value(-2147483648.9).toInt(), intMin);
    EXPECT_EQ(Value(1e300).toInt64(), int64Max);
    EXPECT_EQ(Value(-1e300).toInt64(), int64Min);
    EXPECT_EQ(Value(inf).toInt64(), int64Max);
    EXPECT_EQ(Value(-inf).toInt(), intMin);
    EXPECT_EQ(Value(1e30f).toInt64(), int64Max);
    EXPECT_EQ(Value(9223372036854775808.0).toInt64(), int64Max);
    EXPECT_EQ(Value(-9223372036854775808.0).toInt64(), int64Min);
    EXPECT_EQ(Value(1e300).toUInt(), static_cast<std::uint32_t>(int64Max));
}

TEST(ValueTest, FloatingToBool)
{
    EXPECT_TRUE(Value(kNaN).toBool());
    EXPECT_TRUE(Value(0.1f).toBool());
    EXPECT_FALSE(Value(0.0).toBool());
    EXPECT_FALSE(Value(-0.0).toBool());
}

TEST(ValueTest, DoubleNarrowsToFloat)
{
    EXPECT_EQ(Value(0.1).toFloat(), 0.1f);
    EXPECT_EQ(Value(0.1f).toDouble(), static_cast<double>(0.1f));
}

TEST(ValueTest, AssigningEmptyLeavesTargetUnchanged)
{
    Value target(std::int32_t(5));
    target = Value();
    EXPECT_TRUE(target.isType(Value::Int));
    EXPECT_EQ(target.toInt(), 5);

    Value cleared(std::int32_t(9));
    cleared.clear();
    target = cleared;
    EXPECT_EQ(target.toInt(), 5);
}

TEST(ValueTest, AssigningAnotherTypeReplacesTheHolder)
{
    Value target(std::int32_t(5));
    target = Value(L"7");
    EXPECT_TRUE(target.isType(Value::Text));
    EXPECT_EQ(target.stringValue(), String(L"7"));
    EXPECT_EQ(target.toInt(), 7);
}

TEST(ValueTest, CopiesAreIndependent)
{
    Value original(L"first");
    Value copy(original);
    copy.setString(L"second");
    EXPECT_EQ(original.stringValue(), String(L"first"));
    EXPECT_EQ(copy.stringValue(), String(L"second"));

    Value& alias = original;
    original = alias;
    EXPECT_EQ(original.stringValue(), String(L"first"));

    const Value emptyCopy{Value()};
    EXPECT_FALSE(emptyCopy.isValid());
    EXPECT_TRUE(emptyCopy.isType(Value::Empty));
}

TEST(ValueTest, SettersFollowTheStoringRule)
{
    Value value;
    value.setInt(3);
    value.setInt(4);
    EXPECT_EQ(value.toInt(), 4);
    value.setUInt(5);
    EXPECT_TRUE(value.isType(Value::UInt));
    value.setDouble(2.5);
    EXPECT_TRUE(value.isType(Value::Double));
    EXPECT_EQ(value.toDouble(), 2.5);
    value.setBool(true);
    EXPECT_EQ(value.toInt(), 1);
    value.setInt64(-8);
    value.setUInt64(8);
    EXPECT_TRUE(value.isType(Value::UInt64));
    value.setFloat(0.5f);
    EXPECT_EQ(value.toFloat(), 0.5f);
}

TEST(ValueTest, ClearKeepsTypeButActsEmpty)
{
    Value value(L"kept");
    value.clear();
    EXPECT_TRUE(value.isType(Value::Text));
    EXPECT_FALSE(value.isValid());
    // Reading the text of a cleared Value used to dereference a missing holder.
    EXPECT_TRUE(value.stringValue().isEmpty());
    EXPECT_TRUE(value.toString().isEmpty());
    EXPECT_EQ(value.toInt(), 0);
    EXPECT_FALSE(value.toBool());

    value.setString(L"again");
    EXPECT_TRUE(value.isValid());
    EXPECT_EQ(value.stringValue(), String(L"again"));
}

TEST(ValueTest, StringValueOfOtherTypesIsEmpty)
{
    EXPECT_TRUE(Value(std::int32_t(12)).stringValue().isEmpty());
}

TEST(ValueTest, Equality)
{
    EXPECT_EQ(Value(std::int32_t(5)), Value(std::int32_t(5)));
    EXPECT_NE(Value(std::int32_t(5)), Value(std::int32_t(6)));
    EXPECT_NE(Value(std::int32_t(-1)), Value(std::uint32_t(0xFFFFFFFFu)));
    EXPECT_NE(Value(1.0f), Value(1.0));
    EXPECT_EQ(Value(std::uint64_t(1ull << 40)), Value(std::uint64_t(1ull << 40)));
    EXPECT_NE(Value(std::uint64_t(1ull << 40)), Value(std::uint64_t(1ull << 41)));
    EXPECT_EQ(Value(true), Value(true));
    EXPECT_NE(Value(true), Value(false));
    EXPECT_EQ(Value(L"abc"), Value(L"abc"));
    EXPECT_NE(Value(L"abc"), Value(L"ABC"));
    EXPECT_EQ(Value(-0.0), Value(0.0));
}

TEST(ValueTest, NaNEqualsNothing)
{
    const Value a(std::numeric_limits<float>::quiet_NaN());
    const Value b(std::numeric_limits<float>::quiet_NaN());
    EXPECT_NE(a, b);
    EXPECT_NE(Value(kNaN), Value(kNaN));
    // The same object is equal to itself before its payload is looked at.
    EXPECT_EQ(a, a);
}

TEST(ValueTest, EmptyValuesEqualOnlyEachOther)
{
    Value cleared(std::int32_t(3));
    cleared.clear();
    EXPECT_EQ(Value(), Value());
    EXPECT_EQ(cleared, Value());
    EXPECT_EQ(Value(), cleared);
    EXPECT_NE(Value(), Value(std::int32_t(0)));
    EXPECT_NE(Value(std::int32_t(0)), cleared);
}
