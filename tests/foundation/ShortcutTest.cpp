#include "foundation/Shortcut.h"

#include "tests/support/StringPrinting.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

TEST(KeyNameTest, TableEdges)
{
    struct Row {
        int code;
        const wchar_t* name;
    };
    const Row rows[] = {
        {-1, L"???"},         {0, L"None"},          {6, L"XButton2"},     {7, L"???"},
        {8, L"Backspace"},    {9, L"Tab"},           {10, L"LineFeed"},    {11, L"???"},
        {12, L"Clear"},       {14, L"???"},          {15, L"???"},         {18, L"Alt"},
        {22, L"???"},         {26, L"???"},          {47, L"Help"},        {48, L"0"},
        {57, L"9"},           {58, L"???"},          {64, L"???"},         {65, L"A"},
        {90, L"Z"},           {91, L"MetaLeft"},     {94, L"???"},         {95, L"Sleep"},
        {96, L"NumPad0"},     {105, L"NumPad9"},     {106, L"Multiply"},   {111, L"Slash"},
        {112, L"F1"},         {121, L"F10"},         {135, L"F24"},        {136, L"???"},
        {143, L"???"},        {144, L"NumLock"},     {146, L"???"},        {159, L"???"},
        {160, L"ShiftLeft"},  {183, L"LaunchApplication2"},                {184, L"???"},
        {185, L"???"},        {186, L"OemSemicolon"}, {192, L"OemTilde"},  {193, L"???"},
        {218, L"???"},        {219, L"OemOpenBrackets"},                   {223, L"Oem8"},
        {224, L"???"},        {226, L"OemBackslash"}, {229, L"ProcessKey"}, {230, L"???"},
        {231, L"Packet"},     {245, L"???"},         {246, L"Attn"},       {253, L"Pa1"},
        {254, L"OemClear"},   {255, L"???"},         {256, L"???"},        {1000, L"???"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(keyName(row.code)), row.name) << "code " << row.code;
}

TEST(KeyNameTest, EveryNamedCodeHasItsOwnName)
{
    std::set<std::wstring> names;
    int named = 0;
    for (int code = 0; code <= 254; ++code) {
        std::wstring name = wide(keyName(code));
        if (name == L"???")
            continue;
        ++named;
        names.insert(name);
    }
    // 102 single names, 10 digits, 26 letters, 10 number-pad keys, 24 function keys.
    EXPECT_EQ(named, 172);
    EXPECT_EQ(static_cast<int>(names.size()), named);
}

TEST(ShortcutTest, EmptyShortcut)
{
    Shortcut empty;
    EXPECT_EQ(empty.count(), 0);
    EXPECT_FALSE(empty.isSet());
    EXPECT_TRUE(empty.toString(L"+").isEmpty());
    EXPECT_EQ(empty, Shortcut(0, 0, 0));
}

TEST(ShortcutTest, KeysAfterALeadingZeroDoNotCount)
{
    Shortcut shortcut(0, 5, 0);
    EXPECT_EQ(shortcut.count(), 0);
    EXPECT_FALSE(shortcut.isSet());
    EXPECT_TRUE(shortcut.toString(L"+").isEmpty());
}

TEST(ShortcutTest, Texts)
{
    struct Row {
        std::uint32_t keys[3];
        const wchar_t* separator;
        int count;
        const wchar_t* text;
    };
    const Row rows[] = {
        {{17, 65, 0}, L"+", 2, L"Ctrl+A"},
        {{17, 16, 83}, L"+", 3, L"Ctrl+Shift+S"},
        {{112, 0, 0}, L"+", 1, L"F1"},
        {{17, 0, 65}, L"+", 1, L"Ctrl"},
        {{18, 115, 0}, L" + ", 2, L"Alt + F4"},
        {{17, 65, 0}, L"", 2, L"CtrlA"},
        {{17, 7, 0}, L"+", 2, L"Ctrl+???"},
        {{0x80000000u, 65, 0}, L"+", 2, L"???+A"},
    };
    for (const Row& row : rows) {
        Shortcut shortcut(row.keys[0], row.keys[1], row.keys[2]);
        EXPECT_EQ(shortcut.count(), row.count) << row.text;
        EXPECT_EQ(wide(shortcut.toString(row.separator)), row.text);
    }
}

TEST(ShortcutTest, SetAndCompare)
{
    Shortcut a(17, 65, 0);
    Shortcut b;
    EXPECT_NE(a, b);
    b.set(17, 65, 0);
    EXPECT_EQ(a, b);
    EXPECT_EQ(b.key1(), 17u);
    EXPECT_EQ(b.key2(), 65u);
    EXPECT_EQ(b.key3(), 0u);
    // Equality compares all three codes, unused ones included.
    b.set(17, 0, 65);
    Shortcut c(17, 0, 66);
    EXPECT_NE(b, c);
    EXPECT_EQ(b.toString(L"+"), c.toString(L"+"));
    EXPECT_EQ(a, a);
}

TEST(ShortcutTest, CopyAndAssign)
{
    KeySequence original(17, 16, 90);
    KeySequence copy(original);
    EXPECT_EQ(copy, original);
    Shortcut assigned;
    assigned = original;
    EXPECT_EQ(assigned, original);
    assigned = assigned;
    EXPECT_EQ(wide(assigned.toString(L"+")), L"Ctrl+Shift+Z");
}
