#include "ui/HotKey.h"

#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

TEST(HotKey, ValidityAndPacking)
{
    struct Row {
        int id;
        std::uint32_t key;
        std::uint32_t modifiers;
        bool valid;
    };
    const Row rows[] = {
        {0, 116, 0, true},   // F5 needs no modifier
        {0, 135, 0, true},   // F24
        {0, 136, 0, false},  // beyond F24
        {0, 'A', 0, false},  // a letter needs a modifier
        {0, 'A', 2, true},
        {-1, 'A', 2, false}, // negative id
        {3, 0, 2, false},    // no key
    };
    forEachRow(rows, [](const Row& row) {
        const HotKey hotKey(row.id, row.key, row.modifiers);
        EXPECT_EQ(hotKey.isValid(), row.valid);
        const std::uint64_t packed = row.valid ? (std::uint64_t(row.modifiers) << 32 | row.key) : 0;
        EXPECT_EQ(hotKey.packed(), packed);
    });
}

TEST(HotKey, FromKeyAndFlagsKeepsShiftControlAlt)
{
    EXPECT_EQ(HotKey::fromKeyAndFlags(0, 0), HotKey());
    EXPECT_EQ(HotKey::fromKeyAndFlags('K', 0xFF), HotKey(0, 'K', 7));
}

TEST(HotKey, RegistrationNeedsAWindowAndAnOrdinaryId)
{
    EXPECT_FALSE(registerHotKey(nullptr, HotKey(1, 'K', 2)));
    EXPECT_FALSE(unregisterHotKey(nullptr, 1));
}
