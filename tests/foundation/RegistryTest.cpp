#include "foundation/Registry.h"

#include "tests/support/StringPrinting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>

namespace {

// A key of its own under HKCU\Software\KestrolaTest, removed with
// everything below it afterwards.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t name[64];
        swprintf(name, 64, L"%lu-%lu-%d", GetCurrentProcessId(), GetTickCount(), ++serial);
        base = String(L"Software\\KestrolaTest\\") + name;
    }

    void TearDown() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, base.c_str());
        // The shared parent goes too once no other run uses it.
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\KestrolaTest");
    }

    String path(const wchar_t* relative) const { return base + L"\\" + relative; }

    bool keyExists(const String& keyPath) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    // Writes raw data, bypassing the code under test.
    bool writeRaw(const wchar_t* valueName, DWORD type, const void* data, DWORD size) const
    {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, base.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
            != ERROR_SUCCESS)
            return false;
        const LONG result = RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS;
    }

    String base;
    static inline int serial = 0;
};

} // namespace

TEST_F(RegistryTest, StringRoundTripCreatesTheKeyPath)
{
    const String valuePath = path(L"Deep\\Er\\Name");
    ASSERT_TRUE(Registry::setString(valuePath, L"hello world"));
    EXPECT_TRUE(Registry::valueExists(valuePath));
    EXPECT_EQ(Registry::value(valuePath, L"default"), String(L"hello world"));

    ASSERT_TRUE(Registry::setString(valuePath, L"replaced"));
    EXPECT_EQ(Registry::value(valuePath), String(L"replaced"));
}

TEST_F(RegistryTest, LengthLimitIs1022Characters)
{
    const String longest(L'x', 1022);
    ASSERT_TRUE(Registry::setString(path(L"Longest"), longest));
    EXPECT_EQ(Registry::value(path(L"Longest")), longest);

    // 1023 characters and the terminator take 2048 bytes: refused before the
    // registry is touched, so not even the key is made.
    const String tooLong(L'y', 1023);
    const String otherKey = base + L"\\Untouched";
    EXPECT_FALSE(Registry::setString(otherKey + L"\\TooLong", tooLong));
    EXPECT_FALSE(keyExists(otherKey));
    EXPECT_FALSE(Registry::valueExists(otherKey + L"\\TooLong"));
}

TEST_F(RegistryTest, MissingValuesAndKeysGiveTheDefault)
{
    EXPECT_FALSE(Registry::valueExists(path(L"Nothing")));
    EXPECT_EQ(Registry::value(path(L"Nothing"), L"fallback"), String(L"fallback"));
    EXPECT_FALSE(Registry::valueExists(path(L"NoKey\\Nothing")));
    EXPECT_EQ(Registry::value(path(L"NoKey\\Nothing"), L"fallback"), String(L"fallback"));
    EXPECT_TRUE(Registry::value(path(L"Nothing")).isEmpty());
}

TEST_F(RegistryTest, DwordReadsAsDecimalText)
{
    struct Row {
        const wchar_t* name;
        DWORD number;
        const wchar_t* text;
    };
    const Row rows[] = {
        {L"FortyTwo", 42, L"42"},
        {L"Zero", 0, L"0"},
        {L"Largest", 0xFFFFFFFFu, L"4294967295"},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(writeRaw(row.name, REG_DWORD, &row.number, sizeof(row.number)));
        EXPECT_EQ(Registry::value(path(row.name), L"default"), String(row.text)) << row.name;
    }
}

TEST_F(RegistryTest, ShortDwordKeepsTheDefault)
{
    const std::uint16_t half = 7;
    ASSERT_TRUE(writeRaw(L"Short", REG_DWORD, &half, sizeof(half)));
    EXPECT_EQ(Registry::value(path(L"Short"), L"default"), String(L"default"));
}

TEST_F(RegistryTest, ExpandableStringIsExpanded)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"KESTROLA_REGISTRY_TEST", L"C:\\Expanded"));
    const wchar_t text[] = L"%KESTROLA_REGISTRY_TEST%\\file.txt";
    ASSERT_TRUE(writeRaw(L"Expand", REG_EXPAND_SZ, text, sizeof(text)));
    EXPECT_EQ(Registry::value(path(L"Expand")), String(L"C:\\Expanded\\file.txt"));

    // A plain REG_SZ keeps its references as written.
    ASSERT_TRUE(writeRaw(L"Plain", REG_SZ, text, sizeof(text)));
    EXPECT_EQ(Registry::value(path(L"Plain")), String(text));
    SetEnvironmentVariableW(L"KESTROLA_REGISTRY_TEST", nullptr);
}

TEST_F(RegistryTest, UnterminatedStringReadsSafely)
{
    // Written without its terminator, and once with an odd byte count.
    const wchar_t text[] = {L'a', L'b', L'c'};
    ASSERT_TRUE(writeRaw(L"Unterminated", REG_SZ, text, sizeof(text)));
    EXPECT_EQ(Registry::value(path(L"Unterminated")), String(L"abc"));
    ASSERT_TRUE(writeRaw(L"OddBytes", REG_SZ, text, sizeof(text) - 1));
    EXPECT_EQ(Registry::value(path(L"OddBytes")), String(L"ab"));
    ASSERT_TRUE(writeRaw(L"UnterminatedExpand", REG_EXPAND_SZ, text, sizeof(text)));
    EXPECT_EQ(Registry::value(path(L"UnterminatedExpand")), String(L"abc"));
}

TEST_F(RegistryTest, TextEndsAtAnEmbeddedTerminator)
{
    const wchar_t text[] = L"first\0second";
    ASSERT_TRUE(writeRaw(L"Embedded", REG_SZ, text, sizeof(text)));
    EXPECT_EQ(Registry::value(path(L"Embedded")), String(L"first"));
}

TEST_F(RegistryTest, EmptyAndUnsupportedTypesKeepTheDefault)
{
    const wchar_t empty[] = L"";
    ASSERT_TRUE(writeRaw(L"Empty", REG_SZ, empty, sizeof(empty)));
    EXPECT_TRUE(Registry::valueExists(path(L"Empty")));
    EXPECT_EQ(Registry::value(path(L"Empty"), L"default"), String(L"default"));

    const std::uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(writeRaw(L"Binary", REG_BINARY, bytes, sizeof(bytes)));
    EXPECT_EQ(Registry::value(path(L"Binary"), L"default"), String(L"default"));
}

TEST_F(RegistryTest, ValueLargerThanTheReadBufferExistsButReadsAsDefault)
{
    const String large(L'z', 3000);
    ASSERT_TRUE(writeRaw(L"Large", REG_SZ, large.c_str(), static_cast<DWORD>(large.byteCountWithTerminator())));
    EXPECT_TRUE(Registry::valueExists(path(L"Large")));
    EXPECT_EQ(Registry::value(path(L"Large"), L"default"), String(L"default"));
}

TEST_F(RegistryTest, DeleteValue)
{
    ASSERT_TRUE(Registry::setString(path(L"Doomed"), L"x"));
    EXPECT_TRUE(deleteRegistryValue(path(L"Doomed")));
    EXPECT_FALSE(registryValueExists(path(L"Doomed")));
    EXPECT_FALSE(Registry::deleteValue(path(L"Doomed")));
}

TEST_F(RegistryTest, DeletingNeverCreatesTheKeyPath)
{
    const String missingKey = base + L"\\Missing\\Key";
    EXPECT_FALSE(Registry::deleteValue(missingKey + L"\\Value"));
    EXPECT_FALSE(Registry::deleteKey(missingKey + L"\\Sub"));
    EXPECT_FALSE(keyExists(missingKey));
    EXPECT_FALSE(keyExists(base + L"\\Missing"));
}

TEST_F(RegistryTest, DeleteKey)
{
    ASSERT_TRUE(Registry::setString(path(L"Child\\Value"), L"x"));
    ASSERT_TRUE(keyExists(base + L"\\Child"));
    EXPECT_TRUE(deleteRegistryKey(path(L"Child")));
    EXPECT_FALSE(keyExists(base + L"\\Child"));
    EXPECT_FALSE(Registry::deleteKey(path(L"Child")));
}

TEST_F(RegistryTest, EmptyKeyNameDeletesNothing)
{
    ASSERT_TRUE(Registry::setString(path(L"Kept\\Value"), L"x"));
    // "Kept\" names no subkey; it must not delete Kept itself.
    EXPECT_FALSE(Registry::deleteKey(path(L"Kept\\")));
    EXPECT_TRUE(keyExists(base + L"\\Kept"));
}

TEST_F(RegistryTest, PathWithoutSeparatorNamesNoKey)
{
    EXPECT_FALSE(Registry::setString(L"KestrolaLoneValue", L"x"));
    EXPECT_FALSE(Registry::valueExists(L"KestrolaLoneValue"));
    EXPECT_EQ(Registry::value(L"KestrolaLoneValue", L"default"), String(L"default"));
    EXPECT_FALSE(Registry::deleteValue(L"KestrolaLoneValue"));
    EXPECT_FALSE(Registry::deleteKey(L"Software"));
}
