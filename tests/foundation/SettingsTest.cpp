#include "tests/support/HeldFile.h"
#include "tests/support/Links.h"
#include "tests/support/OtherWriter.h"
#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"

#include "foundation/Application.h"
#include "foundation/Hooks.h"
#include "foundation/Settings.h"
#include "foundation/System.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace {

const std::string bom = "\xEF\xBB\xBF";
const std::string xmlDeclaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
const std::string iniComment = ";Automatically generated file. DO NOT MODIFY!\r\n";

std::string textOf(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::wstring> keysOf(const Settings& settings)
{
    return vectorOf(settings.keys());
}

// Keeps the texts of the message boxes shown while it lives.
struct ToldTexts : UiHooks {
    ToldTexts() { setUiHooks(this); }
    ~ToldTexts() override { setUiHooks(nullptr); }
    int information(const String&, const String& text, const String&, int, int) override
    {
        texts.push_back(wide(text));
        return 0;
    }
    std::vector<std::wstring> texts;
};

std::wstring textValue(const Settings& settings, const wchar_t* key)
{
    return wide(settings.value(key, Value(L"<missing>")).toString());
}

// A store in a temporary folder that stands in for the program's folder.
class SettingsFile : public ::testing::Test {
protected:
    SettingsFile()
    {
        application.setApplicationDirectory(folder.bare());
    }

    Settings store(Settings::Format format) const
    {
        return Settings(L"kestrola.config", String(), Settings::ApplicationFolder, format);
    }

    String configPath() const { return folder.file(L"kestrola.config"); }

    TempFolder folder;
    Application application{L"KestrolaSettingsTest", L"1.0"};
};

} // namespace

TEST(Settings, UnregisteredKeyIgnoresSetValueAndGivesTheDefault)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.setValue(L"general/missing", Value(5));
    EXPECT_FALSE(settings.contains(L"general/missing"));
    EXPECT_EQ(settings.value(L"general/missing", Value(7)).toInt(), 7);
    EXPECT_EQ(settings.count(), 0);
}

TEST(Settings, FirstEntryWinsAndKeysAreCaseSensitive)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(L"g/key", Value(1));
    settings.addEntry(L"g/key", Value(2));
    settings.setValue(L"g/key", Value(10));
    EXPECT_EQ(settings.value(L"g/key").toInt(), 10);
    EXPECT_EQ(settings.entries().last()->value->value.toInt(), 2);
    EXPECT_FALSE(settings.contains(L"g/Key"));
    EXPECT_EQ(settings.value(L"G/key", Value(-1)).toInt(), -1);

    settings.remove(L"g/key");
    ASSERT_EQ(settings.count(), 1);
    EXPECT_EQ(settings.value(L"g/key").toInt(), 2);
}

TEST(Settings, EmptyValueLeavesTheEntryUnchanged)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(L"g/key", Value(L"kept"));
    settings.setValue(L"g/key", Value());
    EXPECT_EQ(textValue(settings, L"g/key"), L"kept");
}

TEST(Settings, GroupPrefixAppliesToLookupsButNotToAddEntry)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.beginGroup(L"windows");
    settings.addEntry(L"left", Value(1));
    settings.addEntry(L"windows/top", Value(2));
    EXPECT_EQ(settings.fullKey(L"top"), String(L"windows/top"));
    EXPECT_FALSE(settings.contains(L"left"));
    EXPECT_TRUE(settings.contains(L"top"));
    EXPECT_NE(settings.entry(L"top"), nullptr);
    EXPECT_EQ(settings.entry(L"left"), nullptr);
    settings.setValue(L"top", Value(20));
    EXPECT_EQ(settings.value(L"top").toInt(), 20);
    settings.remove(L"top");
    EXPECT_EQ(keysOf(settings), std::vector<std::wstring>{L"left"});

    settings.endGroup();
    EXPECT_TRUE(settings.group().isEmpty());
    EXPECT_TRUE(settings.contains(L"left"));
}

TEST(Settings, ClearEmptiesEntriesAndPrefix)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(L"g/a", Value(1));
    settings.beginGroup(L"g");
    settings.clear();
    EXPECT_TRUE(settings.isEmpty());
    EXPECT_TRUE(settings.group().isEmpty());
}

TEST(Settings, ValueByHashFindsTheFirstEntryOfThatKey)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(L"g/a", Value(1));
    settings.addEntry(L"g/b", Value(2));
    settings.addEntry(L"g/b", Value(3));
    EXPECT_EQ(settings.valueByHash(String(L"g/b").hash(), Value(0)).toInt(), 2);
    EXPECT_EQ(settings.valueByHash(String(L"g/c").hash(), Value(9)).toInt(), 9);
}

TEST(Settings, RemovingTheFirstOfARepeatedKeyHandsLookupsToTheNext)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(L"g/a", Value(1));
    settings.addEntry(L"g/b", Value(2));
    settings.addEntry(L"g/a", Value(3));
    settings.addEntry(L"g/a", Value(4));
    const std::uint64_t hash = String(L"g/a").hash();
    const int expected[] = {1, 3, 4};
    for (int value : expected) {
        EXPECT_EQ(settings.value(L"g/a").toInt(), value);
        EXPECT_EQ(settings.entry(L"g/a")->value.toInt(), value);
        EXPECT_EQ(settings.valueByHash(hash, Value(0)).toInt(), value);
        settings.remove(L"g/a");
    }
    EXPECT_FALSE(settings.contains(L"g/a"));
    EXPECT_EQ(settings.valueByHash(hash, Value(-1)).toInt(), -1);
    settings.remove(L"g/a");
    EXPECT_EQ(keysOf(settings), std::vector<std::wstring>{L"g/b"});

    settings.addEntry(L"g/a", Value(5));
    EXPECT_EQ(settings.value(L"g/a").toInt(), 5);
    EXPECT_EQ(settings.valueByHash(hash, Value(0)).toInt(), 5);
}

TEST(Settings, ClearForgetsEveryKeyAndReAddingFindsTheNewEntry)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(L"g/a", Value(1));
    settings.addEntry(L"g/b", Value(2));
    settings.clear();
    EXPECT_FALSE(settings.contains(L"g/a"));
    EXPECT_EQ(settings.entry(L"g/b"), nullptr);
    EXPECT_EQ(settings.valueByHash(String(L"g/a").hash(), Value(-1)).toInt(), -1);
    settings.setValue(L"g/a", Value(9));
    EXPECT_EQ(settings.count(), 0);

    settings.addEntry(L"g/b", Value(3));
    settings.addEntry(L"g/a", Value(4));
    EXPECT_EQ(settings.value(L"g/a").toInt(), 4);
    EXPECT_EQ(settings.value(L"g/b").toInt(), 3);
    EXPECT_EQ(settings.valueByHash(String(L"g/b").hash(), Value(0)).toInt(), 3);
    EXPECT_EQ(keysOf(settings), (std::vector<std::wstring>{L"g/b", L"g/a"}));
}

// Keys compare in full, but String::hash stops at a null character, so the
// two lookups disagree on a key that holds one.
TEST(Settings, KeyWithANullCharacterIsItsOwnKeyButSharesTheHash)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    settings.addEntry(String(L"g/a\0x", 5), Value(1));
    settings.addEntry(L"g/a", Value(2));
    EXPECT_EQ(settings.value(L"g/a").toInt(), 2);
    EXPECT_EQ(settings.value(String(L"g/a\0x", 5)).toInt(), 1);
    EXPECT_EQ(settings.valueByHash(String(L"g/a").hash(), Value(0)).toInt(), 1);
    settings.remove(String(L"g/a\0x", 5));
    EXPECT_EQ(settings.valueByHash(String(L"g/a").hash(), Value(0)).toInt(), 2);
}

// Random registrations and removals with repeated keys; after each, every
// lookup must agree with a walk over the entries in registration order.
TEST(Settings, LookupsAgreeWithAWalkThroughRandomEdits)
{
    Settings settings(L"a.config", L"A", Settings::UserData, Settings::Xml);
    const String keys[] = {String(L"g/a"), String(L"g/b"), String(L"h/a"), String(), String(L"g/a\0b", 5)};
    auto walk = [&settings](const String& key) -> const SettingsEntry* {
        for (const SettingsEntry* entry : settings.entries()) {
            if (entry->key == key)
                return entry;
        }
        return nullptr;
    };
    auto walkByHash = [&settings](std::uint64_t hash) {
        for (const SettingsEntry* entry : settings.entries()) {
            if (entry->key.hash() == hash)
                return entry->value.toInt();
        }
        return -1;
    };
    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % 5;
    };
    for (int step = 0; step < 600; ++step) {
        const unsigned operation = next();
        const String& key = keys[next()];
        if (operation < 3)
            settings.addEntry(key, Value(step));
        else if (operation == 3)
            settings.remove(key);
        else if (next() == 0)
            settings.clear();
        for (const String& probe : keys) {
            ASSERT_EQ(settings.entry(probe), walk(probe)) << step;
            ASSERT_EQ(settings.valueByHash(probe.hash(), Value(-1)).toInt(), walkByHash(probe.hash())) << step;
        }
    }
}

TEST(Settings, DirectoryByLocation)
{
    const Settings user(L"k.config", L"Kestrola", Settings::UserData, Settings::Xml);
    EXPECT_EQ(wide(user.directory()), wide(specialFolderPath(SpecialFolder::AppData)) + L"\\Kestrola\\");
    EXPECT_EQ(wide(user.filePath()), wide(user.directory()) + L"k.config");

    const Settings common(L"k.config", L"Kestrola", Settings::CommonData, Settings::Xml);
    EXPECT_EQ(wide(common.directory()), wide(specialFolderPath(SpecialFolder::CommonAppData)) + L"\\Kestrola\\");

    Settings unknown(L"k.config", L"Kestrola", Settings::NoLocation, Settings::Xml);
    EXPECT_TRUE(unknown.directory().isEmpty());
    EXPECT_TRUE(unknown.filePath().isEmpty());
    EXPECT_FALSE(unknown.load());
    EXPECT_FALSE(unknown.save());
}

// Without an Application there is no program folder to name.
TEST(Settings, ProgramFolderNeedsAnApplication)
{
    ASSERT_EQ(Application::instance(), nullptr);
    Settings settings(L"k.config", L"unused", Settings::ApplicationFolder, Settings::Xml);
    EXPECT_TRUE(settings.directory().isEmpty());
    EXPECT_FALSE(settings.load());
}

TEST_F(SettingsFile, ProgramFolderLocationIgnoresFolderName)
{
    const Settings settings(L"k.config", L"unused", Settings::ApplicationFolder, Settings::Xml);
    EXPECT_EQ(settings.directory(), folder.path());
}

TEST_F(SettingsFile, EmptyStoreBytesInXml)
{
    Settings settings = store(Settings::Xml);
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(textOf(readRaw(configPath())), bom + xmlDeclaration + "<groups/>\r\n");
}

TEST_F(SettingsFile, EmptyStoreBytesInIni)
{
    Settings settings = store(Settings::Ini);
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(textOf(readRaw(configPath())), bom + iniComment);
}

TEST_F(SettingsFile, NonAdjacentGroupsInXml)
{
    Settings settings = store(Settings::Xml);
    settings.addEntry(L"general/a", Value(true));
    settings.addEntry(L"general/a2", Value(L""));
    settings.addEntry(L"model/b", Value(L"x;y & <z>"));
    settings.addEntry(L"general/c", Value(-3));
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(textOf(readRaw(configPath())), bom + xmlDeclaration +
                                                 "<groups>\r\n"
                                                 "    <group name=\"general\">\r\n"
                                                 "        <item name=\"a\" value=\"1\"/>\r\n"
                                                 "        <item name=\"a2\" value=\"\"/>\r\n"
                                                 "    </group>\r\n"
                                                 "    <group name=\"model\">\r\n"
                                                 "        <item name=\"b\" value=\"x;y &amp; &lt;z&gt;\"/>\r\n"
                                                 "    </group>\r\n"
                                                 "    <group name=\"general\">\r\n"
                                                 "        <item name=\"c\" value=\"-3\"/>\r\n"
                                                 "    </group>\r\n"
                                                 "</groups>\r\n");

    Settings loaded = store(Settings::Xml);
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(keysOf(loaded), (std::vector<std::wstring>{L"general/a", L"general/a2", L"model/b", L"general/c"}));
    EXPECT_TRUE(loaded.value(L"general/a").toBool());
    EXPECT_EQ(textValue(loaded, L"model/b"), L"x;y & <z>");
    EXPECT_EQ(loaded.value(L"general/c").toInt(), -3);
}

TEST_F(SettingsFile, NonAdjacentSectionsAndCommentsInIni)
{
    Settings settings = store(Settings::Ini);
    settings.setComment(L";Written by a test");
    settings.addEntry(L"general/a", Value(1), L"the first");
    settings.addEntry(L"general/a2", Value(false));
    settings.addEntry(L"model/b", Value(L"text"));
    settings.addEntry(L"general/c", Value(2.5));
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(textOf(readRaw(configPath())), bom +
                                                 ";Written by a test\r\n"
                                                 "\r\n[general]\r\n"
                                                 "a=1 ;the first\r\n"
                                                 "a2=0\r\n"
                                                 "\r\n[model]\r\n"
                                                 "b=text\r\n"
                                                 "\r\n[general]\r\n"
                                                 "c=2.500000000\r\n");

    Settings loaded = store(Settings::Ini);
    ASSERT_TRUE(loaded.load());
    EXPECT_EQ(keysOf(loaded), (std::vector<std::wstring>{L"general/a", L"general/a2", L"model/b", L"general/c"}));
    EXPECT_EQ(wide(loaded.entry(L"general/a")->comment), L"the first");
    EXPECT_TRUE(loaded.entry(L"general/a2")->comment.isEmpty());
    EXPECT_EQ(loaded.value(L"general/c").toDouble(), 2.5);
}

// The store's comment was written as it stood: a line break in it let
// what followed read as entries, and a U+0000 emptied the file on reading.
TEST_F(SettingsFile, TheStoreCommentStaysUnreadWhateverItHolds)
{
    const std::wstring comments[] = {L"\n[x]\nq=1 ;c", L"[x]\r\nq=1", L"a\rq=1", std::wstring(L"\0[x]\nq=1", 9),
                                     std::wstring(L"a\0b", 3), L"\"q\"=1", L"\xD800"};
    forEachRow(comments, [&](const std::wstring& comment) {
        Settings settings = store(Settings::Ini);
        settings.setComment(String(comment.c_str(), int(comment.size())));
        settings.addEntry(L"g/k", Value(L"v"));
        ASSERT_TRUE(settings.save());
        Settings loaded = store(Settings::Ini);
        ASSERT_TRUE(loaded.load());
        EXPECT_EQ(keysOf(loaded), std::vector<std::wstring>{L"g/k"});
        EXPECT_EQ(textValue(loaded, L"g/k"), L"v");
    });
    Settings settings = store(Settings::Ini);
    settings.setComment(L"one\n;two\n");
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(textOf(readRaw(configPath())), bom + ";one\r\n;two\r\n\r\n");
}

// The two forms cannot hold a key without a group: such an entry would read
// back under another key, so it is left out.
TEST_F(SettingsFile, KeysWithoutGroupAreNotWritten)
{
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        Settings settings = store(format);
        settings.addEntry(L"g/a", Value(1));
        settings.addEntry(L"loose", Value(2));
        settings.addEntry(L"g/b", Value(3));
        ASSERT_TRUE(settings.save());
        Settings loaded = store(format);
        ASSERT_TRUE(loaded.load());
        EXPECT_EQ(keysOf(loaded), (std::vector<std::wstring>{L"g/a", L"g/b"})) << "format " << format;
    }
}

TEST_F(SettingsFile, IniReadingRules)
{
    const std::string text = bom +
                             "before=ignored\r\n"
                             "[general]\r\n"
                             "  spaced  =  value with spaces  ;  a comment  \r\n"
                             "quoted = v ;\"a\" b\r\n"
                             ";commented=1\r\n"
                             "#hash=1\r\n"
                             "-dash=1\r\n"
                             "noequals\r\n"
                             "  =nameless\r\n"
                             "empty=\r\n"
                             "first=a=b\r\n"
                             "[ broken\r\n"
                             "disabled=1\r\n"
                             "[  ]\r\n"
                             "alsodisabled=1\r\n"
                             "[ model ] trailing\r\n"
                             "\r\n"
                             "\u00e9t\u00e9=summer\r\n"
                             "Key=upper\r\n";
    ASSERT_TRUE(writeRaw(configPath(), bytesOf(text)));
    Settings settings = store(Settings::Ini);
    ASSERT_TRUE(settings.load());
    EXPECT_EQ(keysOf(settings), (std::vector<std::wstring>{L"general/spaced", L"general/quoted", L"general/empty", L"general/first",
                                                           L"model/\u00e9t\u00e9", L"model/Key"}));
    EXPECT_EQ(textValue(settings, L"general/spaced"), L"value with spaces");
    EXPECT_EQ(wide(settings.entry(L"general/spaced")->comment), L"a comment");
    // Quoted only when the quotes close the comment.
    EXPECT_EQ(wide(settings.entry(L"general/quoted")->comment), L"\"a\" b");
    EXPECT_EQ(textValue(settings, L"general/empty"), L"");
    EXPECT_EQ(textValue(settings, L"general/first"), L"a=b");
    EXPECT_EQ(textValue(settings, L"model/Key"), L"upper");
}

// Loading replaces what was registered; a key the file repeats answers
// with its first value until that entry is removed.
TEST_F(SettingsFile, LoadReplacesLookupsAndKeepsRepeatedKeysInOrder)
{
    ASSERT_TRUE(writeRaw(configPath(), bytesOf("[g]\r\nk=1\r\n[h]\r\nk=x\r\n[g]\r\nk=2\r\n")));
    Settings settings = store(Settings::Ini);
    settings.addEntry(L"old/key", Value(1));
    ASSERT_TRUE(settings.load());
    EXPECT_FALSE(settings.contains(L"old/key"));
    EXPECT_EQ(textValue(settings, L"g/k"), L"1");
    EXPECT_EQ(wide(settings.valueByHash(String(L"g/k").hash()).toString()), L"1");
    settings.remove(L"g/k");
    EXPECT_EQ(textValue(settings, L"g/k"), L"2");
    EXPECT_EQ(wide(settings.valueByHash(String(L"g/k").hash()).toString()), L"2");
    EXPECT_EQ(keysOf(settings), (std::vector<std::wstring>{L"h/k", L"g/k"}));
}

// A file edited by hand may have bare line feeds.
TEST_F(SettingsFile, IniWithBareLineFeeds)
{
    ASSERT_TRUE(writeRaw(configPath(), bytesOf("[a]\nx=1\n[b]\ny=2\n")));
    Settings settings = store(Settings::Ini);
    ASSERT_TRUE(settings.load());
    EXPECT_EQ(keysOf(settings), (std::vector<std::wstring>{L"a/x", L"b/y"}));
}

// The INI reader trimmed values, cut them at ";", split them at line ends and
// cut names at "=", so such texts did not read back; now both forms keep them.
TEST_F(SettingsFile, KeysValuesAndCommentsTheIniReaderTookApartReadBack)
{
    struct Row {
        std::wstring key, value, comment;
    };
    const Row rows[] = {
        {L"g/v", L"left;right", L""},
        {L"g/v", L"  lead", L" spaced comment "},
        {L"g/v", L"trail\t ", L"a\r\nb"},
        {L"g/v", L"a\r\nb\nc\rd", L"\"quoted\""},
        {L"g/v", L"\"quoted\" ;x", L"x;y"},
        {L"g/v", L"C:\\A;B\\ \\\"", L""},
        {L"g/a=b", L"1", L""},
        {L"g/ spaced ", L"1", L""},
        {L"g/_under", L"1", L""},
        {L"g/;semi", L"1", L""},
        {L"g/[x]", L"1", L""},
        {L"g/\"q", L"1", L""},
        {L"g/", L"empty name", L""},
        {L"g/line\nbreak", L"1", L""},
        {L"a]b/v", L"1", L""},
        {L" g /v", L"1", L""},
        {L"/v", L"empty group", L""},
        {L"g\r\nh/v", L"1", L""},
        {L"deep/er/v", L"x = y", L""},
    };
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        SCOPED_TRACE(format == Settings::Ini ? "INI" : "XML");
        forEachRow(rows, [&](const Row& row) {
            Settings settings = store(format);
            settings.addEntry(L"g/before", Value(L"b"));
            settings.addEntry(row.key.c_str(), Value(row.value.c_str()), row.comment.c_str());
            settings.addEntry(L"z/after", Value(L"a"));
            ASSERT_TRUE(settings.save());
            Settings loaded = store(format);
            ASSERT_TRUE(loaded.load());
            EXPECT_EQ(keysOf(loaded), (std::vector<std::wstring>{L"g/before", row.key, L"z/after"}));
            EXPECT_EQ(textValue(loaded, row.key.c_str()), row.value);
            const SettingsEntry* entry = loaded.entry(row.key.c_str());
            if (format == Settings::Ini && entry) {
                EXPECT_EQ(wide(entry->comment), row.comment);
            }
        });
    }
}

// Values the old reader gave back are written as before, so older files and
// newer ones differ only where a text needs its quotes.
TEST_F(SettingsFile, IniQuotesOnlyWhatItsReaderWouldTakeApart)
{
    Settings settings = store(Settings::Ini);
    settings.addEntry(L"g/path", Value(L"C:\\x \"y\" = z"));
    settings.addEntry(L"g/rules", Value(L"0;1;C:\\a"));
    settings.addEntry(L" g/a=b", Value(L"x"));
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(textOf(readRaw(configPath())), bom + iniComment +
                                                 "\r\n[g]\r\n"
                                                 "path=C:\\x \"y\" = z\r\n"
                                                 "rules=\"0;1;C:\\\\a\"\r\n"
                                                 "\r\n[\" g\"]\r\n"
                                                 "\"a=b\"=x\r\n");
}

TEST_F(SettingsFile, XmlReadingSkipsMisplacedElements)
{
    const std::string text = bom + xmlDeclaration +
                              "<groups>\r\n"
                              "  <item name=\"outside\" value=\"1\"/>\r\n"
                              "  <group name=\"g\">\r\n"
                              "    <item name=\"a\" value=\"1\"/>\r\n"
                              "    <other name=\"b\" value=\"2\"/>\r\n"
                              "    <group name=\"nested\"><item name=\"c\" value=\"3\"/></group>\r\n"
                              "    <Item name=\"d\" value=\"4\"/>\r\n"
                              "  </group>\r\n"
                              "  <Group name=\"h\"><item name=\"e\" value=\"5\"/></Group>\r\n"
                              "</groups>\r\n"
                              "<group name=\"top\"><item name=\"f\" value=\"6\"/></group>\r\n";
    ASSERT_TRUE(writeRaw(configPath(), bytesOf(text)));
    Settings settings = store(Settings::Xml);
    ASSERT_TRUE(settings.load());
    EXPECT_EQ(keysOf(settings), std::vector<std::wstring>{L"g/a"});
}

TEST_F(SettingsFile, XmlWithoutGroupsLoadsEmpty)
{
    ASSERT_TRUE(writeRaw(configPath(), bytesOf(bom + xmlDeclaration + "<settings/>\r\n")));
    Settings settings = store(Settings::Xml);
    settings.addEntry(L"g/old", Value(1));
    EXPECT_TRUE(settings.load());
    EXPECT_TRUE(settings.isEmpty());
}

TEST_F(SettingsFile, MissingFileIsCreatedWithItsFolders)
{
    Settings settings(L"k.config", String(), Settings::ApplicationFolder, Settings::Xml);
    application.setApplicationDirectory(folder.path() + L"one\\two");
    settings.addEntry(L"g/old", Value(1));
    ASSERT_TRUE(settings.load());
    EXPECT_TRUE(settings.isEmpty());
    const String created = folder.path() + L"one\\two\\k.config";
    EXPECT_TRUE(fileExistsRaw(created));
    EXPECT_TRUE(readRaw(created).empty());
    // The empty file now exists and is below the readable size.
    EXPECT_TRUE(settings.load());
}

TEST_F(SettingsFile, FilesOfOneToThreeBytesLoadEmpty)
{
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        for (const Bytes& bytes : {bytesOf({'<'}), bytesOf({0xEF, 0xBB}), bytesOf({0xEF, 0xBB, 0xBF})}) {
            ASSERT_TRUE(writeRaw(configPath(), bytes));
            Settings settings = store(format);
            settings.addEntry(L"g/old", Value(1));
            EXPECT_TRUE(settings.load()) << bytes.size() << " bytes, format " << format;
            EXPECT_TRUE(settings.isEmpty());
        }
    }
}

// The short-file rule took its length from the disk apart from the read, so
// a file held by another program (or whose length could not be read) loaded
// as an empty store, whose defaults the exit then wrote over it.
TEST_F(SettingsFile, FileThatCannotBeOpenedIsNoEmptyStore)
{
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        ASSERT_TRUE(writeRaw(configPath(), bytesOf({0xEF, 0xBB})));
        HANDLE held = CreateFileW(configPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Settings settings = store(format);
        EXPECT_FALSE(settings.load()) << "format " << format;
        CloseHandle(held);
        EXPECT_TRUE(settings.load()) << "format " << format;
    }
}

TEST_F(SettingsFile, UnparsableXmlLoadsAsFalseAndLeavesTheStoreEmpty)
{
    const std::vector<std::string> files = {
        "not xml at all",
        bom + xmlDeclaration + "garbage",
        bom + xmlDeclaration + "<groups><group name=\"g\"><item name=\"a\" val",
        bom + xmlDeclaration + "<groups><group name=g/></groups>",
        bom + xmlDeclaration + "<groups></groups></groups>",
    };
    for (const std::string& text : files) {
        ASSERT_TRUE(writeRaw(configPath(), bytesOf(text)));
        Settings settings = store(Settings::Xml);
        settings.addEntry(L"g/old", Value(1));
        EXPECT_FALSE(settings.load()) << text;
        EXPECT_TRUE(settings.isEmpty()) << text;
    }
}

TEST_F(SettingsFile, IniWithoutLinesLoadsAsFalse)
{
    ASSERT_TRUE(writeRaw(configPath(), bytesOf(bom + std::string(4, '\0'))));
    Settings settings = store(Settings::Ini);
    settings.addEntry(L"g/old", Value(1));
    EXPECT_FALSE(settings.load());
    EXPECT_TRUE(settings.isEmpty());
}

TEST_F(SettingsFile, NoFormatNeitherLoadsNorSaves)
{
    ASSERT_TRUE(writeRaw(configPath(), bytesOf("[g]\r\na=1\r\n")));
    Settings settings = store(Settings::NoFormat);
    settings.addEntry(L"g/a", Value(1));
    EXPECT_FALSE(settings.save());
    EXPECT_FALSE(settings.load());
    EXPECT_TRUE(settings.isEmpty());
    EXPECT_EQ(textOf(readRaw(configPath())), "[g]\r\na=1\r\n");
}

// The temporary file of the save cannot be made here, so the save must fail
// and the old file stay as it was.
TEST_F(SettingsFile, FailedSaveKeepsTheOldFile)
{
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        const Bytes old = bytesOf("[g]\r\nold=1\r\n");
        ASSERT_TRUE(writeRaw(configPath(), old));
        const String temporary = configPath() + L".tmp";
        ASSERT_TRUE(CreateDirectoryW(temporary.c_str(), nullptr));
        Settings settings = store(format);
        settings.addEntry(L"g/new", Value(2));
        EXPECT_FALSE(settings.save()) << "format " << format;
        EXPECT_EQ(readRaw(configPath()), old) << "format " << format;
        RemoveDirectoryW(temporary.c_str());
    }
}

TEST_F(SettingsFile, SaveReplacesTheFileAndLeavesNoTemporary)
{
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        ASSERT_TRUE(writeRaw(configPath(), bytesOf(std::string(5000, 'x'))));
        Settings settings = store(format);
        settings.addEntry(L"g/a", Value(1));
        ASSERT_TRUE(settings.save());
        Settings loaded = store(format);
        ASSERT_TRUE(loaded.load());
        EXPECT_EQ(keysOf(loaded), std::vector<std::wstring>{L"g/a"});
        const String temporary = configPath() + L".tmp";
        EXPECT_FALSE(fileExistsRaw(temporary));
    }
}

// A link at the temporary name to another program's file: the save wrote
// the settings into that file and moved it into their place. Under Wine a
// Linux link cannot be removed without its file: it stays, and the settings
// go beside.
TEST_F(SettingsFile, LinkAtTheTemporaryNameIsRemovedAndItsFileLeftAlone)
{
    folder.makeFolder(L"theirs");
    const Bytes precious = bytesOf("another program's file");
    const String theirs = folder.file(L"theirs\\precious.txt");
    forEachRow(std::vector<LinkKind>{LinkKind::Symbolic, LinkKind::Hard}, [&](LinkKind kind) {
        ASSERT_TRUE(writeRaw(theirs, precious));
        Settings settings = store(Settings::Xml);
        ASSERT_TRUE(settings.load());
        settings.addEntry(L"g/a", Value(1));
        const LinkRemover link{configPath() + L".tmp"};
        if (!makeLink(kind, link.link, theirs))
            GTEST_SKIP() << "no file link could be made here";
        const ToldTexts told;
        EXPECT_TRUE(settings.saveGuarded());
        const bool linkStays = kind == LinkKind::Symbolic && wineUnixName();
        EXPECT_EQ(wide(settings.besidePath()), linkStays ? wide(configPath()) + L".new" : std::wstring());
        EXPECT_EQ(told.texts.size(), linkStays ? 1u : 0u);
        EXPECT_EQ(readRaw(theirs), precious);
        EXPECT_EQ(readRaw(link.link), linkStays ? precious : Bytes());
        writeRaw(configPath(), readRaw(linkStays ? settings.besidePath() : configPath()));
        Settings saved = store(Settings::Xml);
        EXPECT_TRUE(saved.load() && saved.value(L"g/a", Value(0)).toInt() == 1);
        DeleteFileW(configPath().c_str());
        DeleteFileW((configPath() + L".new").c_str());
    });
}

// A store that is what its file held was written at every guarded save:
// over its own file, or beside another program's.
TEST_F(SettingsFile, GuardedSaveOfAnUnchangedStoreWritesNothing)
{
    Settings settings = store(Settings::Xml);
    settings.addEntry(L"g/a", Value(1));
    ASSERT_TRUE(settings.save() && settings.load());
    const FileIdentity loaded = FileSystem::identity(configPath());
    EXPECT_TRUE(settings.saveGuarded());
    EXPECT_EQ(FileSystem::identity(configPath()), loaded);
    ASSERT_TRUE(writeRaw(configPath(), bytesOf("theirs")));
    EXPECT_TRUE(settings.saveGuarded());
    EXPECT_EQ(readRaw(configPath()), bytesOf("theirs"));
    EXPECT_TRUE(settings.besidePath().isEmpty());
    EXPECT_FALSE(fileExistsRaw(configPath() + L".new"));
}

// A file put in the store's place while the save wrote its temporary file
// was written over: the save looked at it only before it began. Tried until
// the other program's rename lands while the save still writes.
TEST_F(SettingsFile, GuardedSaveLooksAgainOnceTheNewFileIsComplete)
{
    for (int attempt = 0; attempt < 10; ++attempt) {
        DeleteFileW((configPath() + L".new").c_str());
        Settings settings = store(Settings::Xml);
        settings.addEntry(L"g/a", Value(1));
        ASSERT_TRUE(settings.save() && settings.load());
        settings.setValue(L"g/a", Value(String(L'x', 4000000)));
        SwapWhileSaving swap(configPath(), bytesOf("theirs"));
        const ToldTexts told;
        EXPECT_TRUE(settings.saveGuarded());
        if (!swap.landedWhileWriting())
            continue;
        EXPECT_EQ(readRaw(configPath()), bytesOf("theirs"));
        EXPECT_FALSE(settings.besidePath().isEmpty());
        ASSERT_EQ(told.texts.size(), 1u);
        EXPECT_NE(told.texts[0].find(L"was changed by another program"), std::wstring::npos) << told.texts[0];
        return;
    }
    FAIL() << "the other program never replaced the file while the save wrote";
}

TEST_F(SettingsFile, EveryValueTypeRoundTripsThroughBothForms)
{
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        Settings settings = store(format);
        settings.addEntry(L"v/boolTrue", Value(true));
        settings.addEntry(L"v/boolFalse", Value(false));
        settings.addEntry(L"v/intMin", Value(std::numeric_limits<std::int32_t>::min()));
        settings.addEntry(L"v/intMax", Value(std::numeric_limits<std::int32_t>::max()));
        settings.addEntry(L"v/uintMax", Value(std::numeric_limits<std::uint32_t>::max()));
        settings.addEntry(L"v/int64Min", Value(std::numeric_limits<std::int64_t>::min()));
        settings.addEntry(L"v/int64Max", Value(std::numeric_limits<std::int64_t>::max()));
        settings.addEntry(L"v/uint64Max", Value(std::numeric_limits<std::uint64_t>::max()));
        settings.addEntry(L"v/float", Value(-1.5f));
        settings.addEntry(L"v/double", Value(12345.0625));
        settings.addEntry(L"v/text", Value(L"\u00e9\u4e2d \"quoted\" <&> 'x' = [s]"));
        settings.addEntry(L"v/emptyText", Value(L""));
        ASSERT_TRUE(settings.save());

        Settings loaded = store(format);
        ASSERT_TRUE(loaded.load());
        ASSERT_EQ(loaded.count(), 12) << "format " << format;
        for (const SettingsEntry* entry : loaded.entries())
            EXPECT_EQ(entry->value.type(), Value::Text) << wide(entry->key);
        EXPECT_TRUE(loaded.value(L"v/boolTrue").toBool());
        EXPECT_FALSE(loaded.value(L"v/boolFalse").toBool());
        EXPECT_EQ(loaded.value(L"v/intMin").toInt(), std::numeric_limits<std::int32_t>::min());
        EXPECT_EQ(loaded.value(L"v/intMax").toInt(), std::numeric_limits<std::int32_t>::max());
        EXPECT_EQ(loaded.value(L"v/uintMax").toUInt(), std::numeric_limits<std::uint32_t>::max());
        EXPECT_EQ(loaded.value(L"v/int64Min").toInt64(), std::numeric_limits<std::int64_t>::min());
        EXPECT_EQ(loaded.value(L"v/int64Max").toInt64(), std::numeric_limits<std::int64_t>::max());
        EXPECT_EQ(loaded.value(L"v/uint64Max").stringValue().toUInt64(), std::numeric_limits<std::uint64_t>::max());
        EXPECT_EQ(loaded.value(L"v/float").toFloat(), -1.5f);
        EXPECT_EQ(loaded.value(L"v/double").toDouble(), 12345.0625);
        EXPECT_EQ(textValue(loaded, L"v/text"), L"\u00e9\u4e2d \"quoted\" <&> 'x' = [s]");
        EXPECT_EQ(textValue(loaded, L"v/emptyText"), L"");
    }
}

// Stored numbers were read through the user's locale: under a German one
// "-1.5" came back as -1 and "12345.0625" as 12345.
TEST_F(SettingsFile, FloatsReadBackTheSameInEveryLocale)
{
    const double doubles[] = {-1.5, 12345.0625, 0.125, -0.000000001, 99999999999.25};
    const float floats[] = {-1.5f, 12345.0625f, 0.1f, 3.0e7f};
    const auto key = [](const wchar_t* group, int index) { return group + String::number(index); };
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        SCOPED_TRACE(format == Settings::Ini ? "INI" : "XML");
        Settings settings = store(format);
        for (int i = 0; i < std::ssize(doubles); ++i)
            settings.addEntry(key(L"d/", i), Value(doubles[i]));
        for (int i = 0; i < std::ssize(floats); ++i)
            settings.addEntry(key(L"f/", i), Value(floats[i]));
        ASSERT_TRUE(settings.save());
        Settings loaded = store(format);
        ASSERT_TRUE(loaded.load());
        for (int i = 0; i < std::ssize(doubles); ++i)
            EXPECT_EQ(loaded.value(key(L"d/", i)).toDouble(), doubles[i]);
        for (int i = 0; i < std::ssize(floats); ++i)
            EXPECT_EQ(loaded.value(key(L"f/", i)).toFloat(), floats[i]);
    }
}

// A value holding U+0000 saved, and the next load then failed as a whole
// (XML) or lost every later key (INI); a lone surrogate half did the same.
// The writers now write such a value as the readers give it back.
TEST_F(SettingsFile, ValuesTheReadersRefusedAreWrittenAsTheyReadBack)
{
    struct Row {
        std::wstring value;
        std::wstring readBack;
    };
    const Row rows[] = {
        {std::wstring(L"a\0b", 3), L"ab"},
        {std::wstring(1, L'\0'), L""},
        {L"x\xD800y", L"x\xFFFDy"},
        {L"x\xDC00", L"x\xFFFD"},
        {L"\xDBFF", L"\xFFFD"},
        {std::wstring(L"\0ab", 3), L"ab"},
        {L"pair \xD83D\xDE00 kept", L"pair \xD83D\xDE00 kept"},
        {L"last \xDBFF\xDFFF", L"last \xDBFF\xDFFF"},
    };
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        forEachRow(rows, [&](const Row& row) {
            Settings settings = store(format);
            settings.addEntry(L"g/v", Value(String(row.value.c_str(), static_cast<int>(row.value.size()))));
            settings.addEntry(L"g/next", Value(L"kept"));
            ASSERT_TRUE(settings.save());
            Settings loaded = store(format);
            ASSERT_TRUE(loaded.load()) << "format " << format;
            EXPECT_EQ(textValue(loaded, L"g/v"), row.readBack) << "format " << format;
            EXPECT_EQ(textValue(loaded, L"g/next"), L"kept") << "format " << format;
        });
    }
}

// A key holding U+0000 made the XML reader refuse the whole file, so every
// setting went back to its default; keys are now cleaned as values are.
TEST_F(SettingsFile, KeysTheReadersRefusedAreWrittenAsTheyReadBack)
{
    const std::pair<std::wstring, std::wstring> rows[] = {
        {std::wstring(L"g/a\0b", 5), L"g/ab"},
        {std::wstring(L"g\0h/a", 5), L"gh/a"},
        {L"g/x\xD800", L"g/x\xFFFD"},
        {L"\xDC00g/a", L"\xFFFDg/a"},
        {L"g/\xD83D\xDE00", L"g/\xD83D\xDE00"},
    };
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        SCOPED_TRACE(format == Settings::Ini ? "INI" : "XML");
        forEachRow(rows, [&](const auto& row) {
            Settings settings = store(format);
            settings.addEntry(String(row.first.c_str(), static_cast<int>(row.first.size())), Value(L"v"));
            settings.addEntry(L"g/next", Value(L"kept"));
            ASSERT_TRUE(settings.save());
            Settings loaded = store(format);
            ASSERT_TRUE(loaded.load());
            EXPECT_EQ(keysOf(loaded), (std::vector<std::wstring>{row.second, L"g/next"}));
            EXPECT_EQ(textValue(loaded, L"g/next"), L"kept");
        });
    }
}

// Location and format were plain ints, so swapped arguments compiled.
static_assert(!std::is_constructible_v<Settings, String, String, Settings::Format, Settings::Location>);
static_assert(!std::is_constructible_v<Settings, String, String, int, int>);

// Keys, values and comments made of random runs of the characters either
// reader treats specially: each store must read back exactly as written.
TEST_F(SettingsFile, RandomTextsOfSpecialCharactersReadBack)
{
    const std::wstring alphabet = L" \t;=\"\\[]\r\n/a1#<&'%\x3000\xA0\v\f\x85\x2028\xFEFF";
    std::uint32_t state = 2024;
    auto next = [&state](std::uint32_t bound) {
        state = state * 1103515245u + 12345u;
        return (state >> 16) % bound;
    };
    auto text = [&](bool slashes) {
        std::wstring out;
        for (std::uint32_t n = next(6); n > 0; --n) {
            const wchar_t c = alphabet[next(static_cast<std::uint32_t>(alphabet.size()))];
            if (c != L'/' || slashes)
                out += c;
        }
        return out;
    };
    for (Settings::Format format : {Settings::Ini, Settings::Xml}) {
        SCOPED_TRACE(format == Settings::Ini ? "INI" : "XML");
        for (int round = 0; round < 150; ++round) {
            Settings settings = store(format);
            std::vector<std::wstring> keys, values, comments;
            for (int i = 0; i < 6; ++i) {
                keys.push_back(text(true) + L'/' + text(false));
                values.push_back(text(true));
                comments.push_back(text(true));
                settings.addEntry(keys.back().c_str(), Value(values.back().c_str()), comments.back().c_str());
            }
            ASSERT_TRUE(settings.save());
            Settings loaded = store(format);
            ASSERT_TRUE(loaded.load());
            ASSERT_EQ(keysOf(loaded), keys) << "round " << round;
            int i = 0;
            for (const SettingsEntry* entry : loaded.entries()) {
                EXPECT_EQ(wide(entry->value.toString()), values[i]) << "round " << round << " entry " << i;
                if (format == Settings::Ini) {
                    EXPECT_EQ(wide(entry->comment), comments[i]) << "round " << round << " entry " << i;
                }
                ++i;
            }
        }
    }
}

// Guarded saves keep to the file this store read or wrote: a save that did
// not take the file's identity again sent every second save of a session
// beside it, and so did one held for a moment by another program. A file another program wrote meanwhile stays, and the store
// goes beside it, to the same name at every later save.
TEST_F(SettingsFile, GuardedSavesKeepToTheOwnFileAndGoBesideAnother)
{
    Settings settings = store(Settings::Xml);
    ASSERT_TRUE(settings.load());
    settings.addEntry(L"g/a", Value(0));
    const auto saved = [&](const String& path) {
        writeRaw(folder.file(L"read.config"), readRaw(path));
        Settings read(L"read.config", String(), Settings::ApplicationFolder, Settings::Xml);
        return read.load() ? read.value(L"g/a", Value(-1)).toInt() : -1;
    };
    // Held by another program through the second save only: the third
    // puts the store back in its place, and the copy beside goes.
    for (int value = 1; value <= 3; ++value) {
        settings.setValue(L"g/a", Value(value));
        std::optional<HeldFile> held;
        if (value == 2)
            held.emplace(configPath(), Hold::NoSharing);
        ASSERT_TRUE(settings.saveGuarded());
        held.reset();
        EXPECT_EQ(settings.besidePath().isEmpty(), value != 2) << "save " << value;
        EXPECT_EQ(saved(value == 2 ? settings.besidePath() : configPath()), value);
    }
    EXPECT_FALSE(fileExistsRaw(configPath() + L".new"));
    const Bytes theirs = bytesOf("\xEF\xBB\xBF<?xml version=\"1.0\"?>\r\n<groups/>\r\n");
    ASSERT_TRUE(writeRaw(configPath(), theirs));
    for (int value = 4; value <= 5; ++value) {
        settings.setValue(L"g/a", Value(value));
        ASSERT_TRUE(settings.saveGuarded());
        EXPECT_EQ(wide(settings.besidePath()), wide(configPath()) + L".new");
        EXPECT_EQ(saved(settings.besidePath()), value);
    }
    EXPECT_EQ(readRaw(configPath()), theirs);
}

// Settings kept beside while another program held their file stayed there
// while nothing changed, and a save that kept the old checksum wrote the
// file again at every save: once the hold ends one save puts them back and
// removes the copy, and the next writes nothing.
TEST_F(SettingsFile, SettingsHeldForOneSaveGoBackOnceAndThenWriteNothing)
{
    Settings settings = store(Settings::Xml);
    ASSERT_TRUE(settings.load());
    settings.addEntry(L"g/a", Value(1));
    const ToldTexts told;
    std::optional<HeldFile> held(std::in_place, configPath(), Hold::NoSharing);
    ASSERT_TRUE(settings.saveGuarded());
    held.reset();
    const String copy = settings.besidePath();
    ASSERT_EQ(wide(copy), wide(configPath()) + L".new");
    EXPECT_TRUE(settings.saveGuarded());
    EXPECT_TRUE(settings.besidePath().isEmpty());
    EXPECT_FALSE(fileExistsRaw(copy));
    const FileIdentity placed = FileSystem::identity(configPath());
    EXPECT_TRUE(settings.saveGuarded());
    // Held again, unreadable yet still as this run wrote it: was taken for
    // changed, so the save waited, wrote a copy beside and told the user.
    held.emplace(configPath(), Hold::NoSharing);
    ASSERT_TRUE(held->isHeld());
    EXPECT_TRUE(settings.saveGuarded());
    held.reset();
    EXPECT_FALSE(fileExistsRaw(copy));
    EXPECT_EQ(FileSystem::identity(configPath()), placed);
    EXPECT_EQ(told.texts.size(), 2u);
    // Held after another program rewrote it, keeping its size and giving its
    // write time back: was kept, and the settings were in no file.
    Bytes theirs = readRaw(configPath());
    theirs[theirs.size() / 2] ^= 1;
    ASSERT_TRUE(rewriteKeepingSizeAndTime(configPath(), theirs, Rewrite::InPlace));
    held.emplace(configPath(), Hold::NoSharing);
    const HeldFileWait noWait(0);
    EXPECT_TRUE(settings.saveGuarded());
    held.reset();
    EXPECT_EQ(readRaw(configPath()), theirs);
    EXPECT_EQ(wide(settings.besidePath()), wide(copy));
    EXPECT_EQ(told.texts.size(), 3u);
}

// A settings file whose folder cannot be made loaded as an empty store,
// which the program then took for the user's settings.
TEST_F(SettingsFile, FileThatCannotBeCreatedIsNoEmptyStore)
{
    application.setApplicationDirectory(folder.path() + L"a|b");
    Settings settings = store(Settings::Xml);
    EXPECT_FALSE(settings.load());
    EXPECT_FALSE(fileExistsRaw(folder.file(L"a|b")));
}
