#include "tests/support/DamagedInput.h"
#include "tests/support/TempFolder.h"

#include "foundation/ChunkFile.h"
#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/Translator.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>
#include <vector>

namespace {

const String productName(L"Kestrola");

// German sample in the XML form. Two "Open" items in different groups, an
// item without translation, a top-level group element not named "group",
// and translations holding every escape sequence.
const std::string sampleXml =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<translation language_english=\"german\" language_native=\"Deutsch\" author=\"A. Author\">\r\n"
    " <groups>\r\n"
    "  <group name=\"MainWindow\">\r\n"
    "   <item context=\"Open\" translation=\"\xC3\x96" "ffnen\"/>\r\n"
    "   <item context=\"Close|now\" translation=\"\"/>\r\n"
    "   <group name=\"Menu\">\r\n"
    "    <item context=\"Open\" translation=\"Men\xC3\xBC \xC3\xB6" "ffnen\"/>\r\n"
    "    <item context=\"About\" translation=\"\\r\\t\xC3\x9C" "ber|%app\\nEnde\"/>\r\n"
    "   </group>\r\n"
    "  </group>\r\n"
    "  <section name=\"ScanWindow\">\r\n"
    "   <item context=\"Open\" translation=\"Scan \xC3\xB6" "ffnen\"/>\r\n"
    "  </section>\r\n"
    " </groups>\r\n"
    "</translation>\r\n";

std::string xmlWithGroups(const std::string& groups, const std::string& names = "language_english=\"german\" "
                                                                                 "language_native=\"Deutsch\"")
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<translation " + names + "><groups>" + groups +
           "</groups></translation>\r\n";
}

std::string nestedGroups(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<group name=\"g\">";
    text += "<item context=\"deep\" translation=\"tief\"/>";
    for (int i = 0; i < depth; ++i)
        text += "</group>";
    return text;
}

// String::hash restated: h = h * 101 + unit over source then context.
std::uint64_t expectedHash(const std::wstring& source, const std::wstring& context)
{
    std::uint64_t h = 0;
    for (wchar_t c : source + context)
        h = h * 101 + static_cast<std::uint16_t>(c);
    return h;
}

bool setWriteTime(const String& path, const DateTime& utc)
{
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const std::uint64_t stamp = utc.toFileTime();
    FILETIME time{static_cast<DWORD>(stamp), static_cast<DWORD>(stamp >> 32)};
    const BOOL ok = SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
    return ok != FALSE;
}

// Chunk-form helpers built on ChunkFile, so the tests can shape files the
// writer never makes.
class LangBuilder {
public:
    LangBuilder()
    {
        chunks.setFormatTag(chunkTag("LANG"));
        header = chunks.root()->addChildNode("HEDR");
        groups = chunks.root()->addChildNode("GRPS");
    }

    void names(const wchar_t* english, const wchar_t* native)
    {
        header->addItem("ENGL")->setString(String(english));
        header->addItem("NTVL")->setString(String(native));
    }

    static ChunkNode* group(ChunkNode* parent, const wchar_t* name, const char* tag = "GRUP")
    {
        ChunkNode* node = parent->addChildNode(tag);
        node->addItem("NAME")->setString(String(name));
        return node;
    }

    static void item(ChunkNode* group, const wchar_t* source, const wchar_t* translation)
    {
        ChunkNode* node = group->addChildNode("ITEM");
        node->addItem("CTXT")->setString(String(source));
        node->addItem("TRSN")->setString(String(translation));
    }

    bool save(const String& path) const { return chunks.save(path); }

    ChunkFile chunks;
    ChunkNode* header;
    ChunkNode* groups;
};

Bytes sampleLangBytes(const TempFolder& temp)
{
    TranslationFile file(productName);
    temp.writeFile(L"sample.xml", bytesOf(sampleXml));
    EXPECT_TRUE(file.load(temp.file(L"sample.xml")));
    const String path = temp.file(L"sample.lang");
    EXPECT_TRUE(file.saveLang(path));
    return readRaw(path);
}

class TranslatorFiles : public ::testing::Test {
protected:
    String write(const wchar_t* name, const std::string& text)
    {
        const String path = temp.file(name);
        EXPECT_TRUE(writeRaw(path, bytesOf(text)));
        return path;
    }

    TempFolder temp;
};

} // namespace

TEST(TranslationEscapes, Table)
{
    struct Row {
        const wchar_t* text;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"a\\rb", L"ab"},
        {L"a\\tb", L"ab"},
        {L"a\\nb", L"a\nb"},
        {L"a|b||", L"a\nb\n\n"},
        {L"%app runs", L"Kestrola runs"},
        {L"%APP stays", L"%APP stays"},
        {L"real\r\tcontrols", L"real\r\tcontrols"},
        {L"\\\\n", L"\\\n"},
        {L"\\x and 100%", L"\\x and 100%"},
        {L"", L""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(applyTranslationEscapes(String(row.text), productName)), row.expected) << row.text;
}

TEST(TranslationEscapes, ListsMatchTheRules)
{
    EXPECT_EQ(vectorOf(Translator::escapeFind()), (std::vector<std::wstring>{L"\\r", L"\\t", L"\\n", L"|", L"%app"}));
    EXPECT_EQ(vectorOf(Translator::escapeReplace(productName)),
              (std::vector<std::wstring>{L"", L"", L"\n", L"\n", L"Kestrola"}));
}

TEST(Translator, WithoutFileReturnsEscapedText)
{
    Translator translator(productName);
    EXPECT_TRUE(translator.isEmpty());
    EXPECT_EQ(wide(translator.translateText(L"Run %app|now", L"MainWindow")), L"Run Kestrola\nnow");
    EXPECT_TRUE(translator.translateText(nullptr, L"MainWindow").isEmpty());
    EXPECT_TRUE(translator.translateByHash(1, 2).isEmpty());
}

TEST_F(TranslatorFiles, XmlFormReadsHeaderAndItemsInOrder)
{
    TranslationFile file(productName);
    ASSERT_TRUE(file.load(write(L"German.xml", sampleXml)));
    EXPECT_EQ(file.name(), L"German");
    EXPECT_EQ(file.path(), temp.file(L"German.xml"));
    // Only the chunk form capitalises the names.
    EXPECT_EQ(file.englishName(), L"german");
    EXPECT_EQ(file.nativeName(), L"Deutsch");
    EXPECT_EQ(file.author(), L"A. Author");
    EXPECT_TRUE(file.date().isNull());
    std::vector<std::wstring> contexts;
    std::vector<std::wstring> sources;
    for (const TranslationItem* item : file.items()) {
        contexts.push_back(wide(item->context));
        sources.push_back(wide(item->source));
        EXPECT_EQ(item->hash, expectedHash(wide(item->source), wide(item->context)));
    }
    EXPECT_EQ(contexts, (std::vector<std::wstring>{L"MainWindow", L"MainWindow", L"MainWindow/Menu",
                                                   L"MainWindow/Menu", L"ScanWindow"}));
    EXPECT_EQ(sources, (std::vector<std::wstring>{L"Open", L"Close|now", L"Open", L"About", L"Open"}));
}

TEST_F(TranslatorFiles, TranslationsGetTheEscapeRulesWhenLoaded)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"German.xml", sampleXml)));
    EXPECT_EQ(wide(translator.translateText(L"About", L"MainWindow/Menu")), L"\u00DCber\nKestrola\nEnde");
}

TEST_F(TranslatorFiles, ContextSelectsAmongEqualSources)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"German.xml", sampleXml)));
    struct Row {
        const wchar_t* context;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {nullptr, L"\u00D6ffnen"},
        {L"MainWindow", L"\u00D6ffnen"},
        {L"MainWindow/Menu", L"Men\u00FC \u00F6ffnen"},
        {L"ScanWindow", L"Scan \u00F6ffnen"},
        {L"mainwindow", L"Open"},
        {L"Other", L"Open"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(wide(translator.translateText(L"Open", row.context)), row.expected)
            << (row.context ? row.context : L"(none)");
    EXPECT_EQ(wide(translator.translateText(String(L"Open"), String())), L"\u00D6ffnen");
    EXPECT_EQ(wide(translator.translateText(String(L"Open"), String(L"ScanWindow"))), L"Scan \u00F6ffnen");
    EXPECT_EQ(wide(translator.translateText(L"open")), L"open");
}

// A matched item with an empty translation answers with its source as
// stored; the escape rules are only for texts without an item.
TEST_F(TranslatorFiles, EmptyTranslationReturnsTheStoredSource)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"German.xml", sampleXml)));
    EXPECT_EQ(wide(translator.translateText(L"Close|now", L"MainWindow")), L"Close|now");
    EXPECT_EQ(wide(translator.translateText(L"Quit|now", L"MainWindow")), L"Quit\nnow");
    EXPECT_EQ(wide(translator.translateText(L"Start %app")), L"Start Kestrola");
}

TEST_F(TranslatorFiles, TranslateByHash)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"German.xml", sampleXml)));
    auto byHash = [&](const std::wstring& source, const std::wstring& context) {
        const std::uint64_t hash = expectedHash(source, context);
        return wide(translator.translateByHash(static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(hash >> 32)));
    };
    EXPECT_EQ(byHash(L"Open", L"MainWindow/Menu"), L"Men\u00FC \u00F6ffnen");
    EXPECT_EQ(byHash(L"Open", L"ScanWindow"), L"Scan \u00F6ffnen");
    EXPECT_EQ(byHash(L"Close|now", L"MainWindow"), L"Close|now");
    EXPECT_EQ(byHash(L"Open", L"Nowhere"), L"");
}

TEST_F(TranslatorFiles, ExtensionIsComparedIgnoringCase)
{
    TranslationFile file;
    EXPECT_TRUE(file.load(write(L"Upper.XML", sampleXml)));
    EXPECT_EQ(file.name(), L"Upper");
    EXPECT_TRUE(file.load(write(L"Mixed.Xml", sampleXml)));
    EXPECT_FALSE(file.load(write(L"Other.txt", sampleXml)));
    EXPECT_TRUE(file.isEmpty());
    EXPECT_FALSE(file.load(temp.file(L"Missing.xml")));
}

TEST_F(TranslatorFiles, InvalidXmlFilesFailAndLeaveTheFileEmpty)
{
    struct Row {
        const char* what;
        std::string text;
    };
    const Row rows[] = {
        {"unknown element in a group",
         xmlWithGroups("<group name=\"A\"><item context=\"x\" translation=\"y\"/><note/></group>")},
        {"unknown element in a nested group",
         xmlWithGroups("<group name=\"A\"><item context=\"x\" translation=\"y\"/>"
                       "<group name=\"B\"><entry/></group></group>")},
        {"no native name", xmlWithGroups("<group name=\"A\"><item context=\"x\" translation=\"y\"/></group>",
                                         "language_english=\"german\"")},
        {"no English name", xmlWithGroups("<group name=\"A\"><item context=\"x\" translation=\"y\"/></group>",
                                          "language_native=\"Deutsch\"")},
        {"no items", xmlWithGroups("<group name=\"A\"><group name=\"B\"/></group>")},
        {"no groups element", "<?xml version=\"1.0\"?><translation language_english=\"a\" language_native=\"b\">"
                              "<group name=\"A\"><item context=\"x\" translation=\"y\"/></group></translation>"},
        {"no translation element", "<?xml version=\"1.0\"?><other language_english=\"a\" language_native=\"b\">"
                                   "<groups/></other>"},
        {"not XML", "just text"},
        {"nesting beyond the cap", xmlWithGroups(nestedGroups(maxTranslationGroupDepth + 1))},
    };
    for (const Row& row : rows) {
        TranslationFile file(productName);
        EXPECT_FALSE(file.load(write(L"bad.xml", row.text))) << row.what;
        EXPECT_TRUE(file.isEmpty()) << row.what;
        EXPECT_TRUE(file.englishName().isEmpty()) << row.what;
        EXPECT_TRUE(file.path().isEmpty()) << row.what;
    }
}

TEST_F(TranslatorFiles, NestingUpToTheCapLoads)
{
    TranslationFile file;
    ASSERT_TRUE(file.load(write(L"deep.xml", xmlWithGroups(nestedGroups(maxTranslationGroupDepth)))));
    ASSERT_EQ(file.items().count(), 1);
    const String& context = file.items().first()->value->context;
    EXPECT_EQ(context.length(), 2 * maxTranslationGroupDepth - 1);
    EXPECT_EQ(context.count(L'/'), maxTranslationGroupDepth - 1);
}

TEST_F(TranslatorFiles, FailedLoadEmptiesAPreviouslyLoadedTranslator)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"German.xml", sampleXml)));
    EXPECT_FALSE(translator.load(write(L"bad.xml", xmlWithGroups(""))));
    EXPECT_TRUE(translator.isEmpty());
    EXPECT_TRUE(translator.englishName().isEmpty());
    EXPECT_EQ(wide(translator.translateText(L"Open|x", L"MainWindow")), L"Open\nx");
}

TEST_F(TranslatorFiles, LangFormRoundTripsThroughTheWriter)
{
    write(L"sample.xml", sampleXml);
    TranslationFile xml(productName);
    ASSERT_TRUE(xml.load(temp.file(L"sample.xml")));
    const DateTime before = DateTime::currentUtc();
    ASSERT_TRUE(xml.saveLang(temp.file(L"German.lang")));

    TranslationFile lang(productName);
    ASSERT_TRUE(lang.load(temp.file(L"German.lang")));
    EXPECT_EQ(lang.name(), L"German");
    EXPECT_EQ(lang.englishName(), L"German");
    EXPECT_EQ(lang.nativeName(), L"Deutsch");
    EXPECT_EQ(lang.author(), L"A. Author");
    EXPECT_TRUE(lang.date().isValid());
    EXPECT_FALSE(lang.date() < before.toLocal());
    ASSERT_EQ(lang.items().count(), xml.items().count());
    for (auto *a = xml.items().first(), *b = lang.items().first(); a; a = a->next, b = b->next) {
        EXPECT_EQ(a->value->context, b->value->context);
        EXPECT_EQ(a->value->source, b->value->source);
        EXPECT_EQ(a->value->translation, b->value->translation);
        EXPECT_EQ(a->value->hash, b->value->hash);
    }
}

TEST_F(TranslatorFiles, LangHeaderIsFoundByTagAndNamesAreCapitalised)
{
    // GRPS before HEDR: the two are found by tag.
    ChunkFile chunks;
    chunks.setFormatTag(chunkTag("LANG"));
    ChunkNode* groups = chunks.root()->addChildNode("GRPS");
    ChunkNode* header = chunks.root()->addChildNode("HEDR");
    header->addItem("ENGL")->setString(String(L"\u00e9cole"));
    header->addItem("NTVL")->setString(String(L"fran\u00e7ais"));
    header->addItem("ATHR")->setString(String(L"someone"));
    // 2021-03-04 05:06:07.008 UTC as seven u32 fields.
    const std::uint32_t fields[7] = {2021, 3, 4, 5, 6, 7, 8};
    header->addItem("DATE")->setBytes(fields, sizeof fields);
    LangBuilder::item(LangBuilder::group(groups, L"Top", "ANY_"), L"Yes", L"Oui");
    const String path = temp.file(L"fr.lang");
    ASSERT_TRUE(chunks.save(path));

    TranslationFile file;
    ASSERT_TRUE(file.load(path));
    EXPECT_EQ(file.englishName(), L"\u00C9cole");
    EXPECT_EQ(file.nativeName(), L"Fran\u00e7ais");
    EXPECT_EQ(file.author(), L"someone");
    EXPECT_EQ(file.date(), DateTime(2021, 3, 4, 5, 6, 7, 8).toLocal());
    ASSERT_EQ(file.items().count(), 1);
    EXPECT_EQ(file.items().first()->value->context, L"Top");
}

// Missing items read as empty text and missing date bytes as 0.
TEST_F(TranslatorFiles, LangMissingItemsReadAsEmpty)
{
    LangBuilder builder;
    builder.names(L"Dutch", L"Nederlands");
    const std::uint32_t year = 2019;
    builder.header->addItem("DATE")->setBytes(&year, sizeof year);
    ChunkNode* unnamed = builder.groups->addChildNode("GRUP");
    ChunkNode* bare = unnamed->addChildNode("ITEM");
    bare->addItem("CTXT")->setString(String(L"Only source"));
    ChunkNode* named = LangBuilder::group(unnamed, L"Inner");
    named->addChildNode("ITEM");
    const String path = temp.file(L"nl.lang");
    ASSERT_TRUE(builder.save(path));

    Translator translator;
    ASSERT_TRUE(translator.load(path));
    EXPECT_TRUE(translator.author().isEmpty());
    EXPECT_EQ(translator.date().year(), 2019);
    EXPECT_EQ(translator.date().month(), 0);
    const List<TranslationItem*>& items = translator.file().items();
    ASSERT_EQ(items.count(), 2);
    EXPECT_EQ(items.first()->value->context, String());
    EXPECT_EQ(items.first()->value->source, L"Only source");
    EXPECT_EQ(items.last()->value->context, L"/Inner");
    EXPECT_TRUE(items.last()->value->source.isEmpty());
}

TEST_F(TranslatorFiles, InvalidLangFilesFail)
{
    struct Row {
        const char* what;
        void (*shape)(LangBuilder&);
    };
    const Row rows[] = {
        {"no native name", [](LangBuilder& b) {
             b.header->addItem("ENGL")->setString(String(L"x"));
             LangBuilder::item(LangBuilder::group(b.groups, L"G"), L"a", L"b");
         }},
        {"unknown node in a group", [](LangBuilder& b) {
             b.names(L"x", L"y");
             ChunkNode* g = LangBuilder::group(b.groups, L"G");
             LangBuilder::item(g, L"a", L"b");
             g->addChildNode("NOTE");
         }},
        {"no items", [](LangBuilder& b) {
             b.names(L"x", L"y");
             LangBuilder::group(LangBuilder::group(b.groups, L"G"), L"H");
         }},
        {"no GRPS", [](LangBuilder& b) {
             b.names(L"x", L"y");
             b.chunks.root()->clearChildren();
             b.chunks.root()->addChildNode("HEDR")->addItem("ENGL")->setString(String(L"x"));
         }},
    };
    for (const Row& row : rows) {
        LangBuilder builder;
        row.shape(builder);
        const String path = temp.file(L"bad.lang");
        ASSERT_TRUE(builder.save(path)) << row.what;
        TranslationFile file;
        EXPECT_FALSE(file.load(path)) << row.what;
        EXPECT_TRUE(file.isEmpty()) << row.what;
        EXPECT_TRUE(file.nativeName().isEmpty()) << row.what;
    }
}

TEST_F(TranslatorFiles, LoadFromMemoryLeavesPathAndNameEmpty)
{
    const Bytes bytes = sampleLangBytes(temp);
    Translator translator(productName);
    ASSERT_TRUE(translator.loadFromMemory(bytes.data(), bytes.size()));
    EXPECT_TRUE(translator.path().isEmpty());
    EXPECT_TRUE(translator.file().name().isEmpty());
    EXPECT_EQ(translator.englishName(), L"German");
    EXPECT_EQ(wide(translator.translateText(L"Open", L"ScanWindow")), L"Scan \u00F6ffnen");
    EXPECT_FALSE(translator.loadFromMemory(nullptr, 0));
    EXPECT_TRUE(translator.isEmpty());
}

TEST_F(TranslatorFiles, EveryPrefixOfALangFileFails)
{
    const Bytes bytes = sampleLangBytes(temp);
    TranslationFile file;
    expectEveryPrefixFailsCleanly(bytes, [&](const Bytes& prefix) {
        const bool loaded = file.loadFromMemory(prefix.data(), prefix.size());
        EXPECT_TRUE(file.isEmpty());
        return loaded;
    });
    EXPECT_TRUE(file.loadFromMemory(bytes.data(), bytes.size()));
}

TEST_F(TranslatorFiles, RandomByteFlipsInALangFileLoadOrFailCleanly)
{
    TranslationFile file(productName);
    int loaded = 0;
    forEachDamagedCopy(sampleLangBytes(temp), 7001, 3000, [&](const Bytes& bytes) {
        if (file.loadFromMemory(bytes.data(), bytes.size())) {
            ++loaded;
            EXPECT_TRUE(file.hasNames());
            EXPECT_FALSE(file.isEmpty());
        } else {
            EXPECT_TRUE(file.isEmpty());
            EXPECT_TRUE(file.englishName().isEmpty());
        }
    }, 3);
    EXPECT_GT(loaded, 0);
}

TEST_F(TranslatorFiles, RandomByteFlipsInAnXmlFileLoadOrFailCleanly)
{
    const String path = temp.file(L"flip.xml");
    TranslationFile file(productName);
    forEachDamagedCopy(bytesOf(sampleXml), 424242, 300, [&](const Bytes& bytes) {
        ASSERT_TRUE(writeRaw(path, bytes));
        if (!file.load(path))
            EXPECT_TRUE(file.isEmpty() && file.path().isEmpty());
        else
            EXPECT_TRUE(file.hasNames());
    }, 1);
}

TEST_F(TranslatorFiles, ReadLanguageInfo)
{
    EXPECT_TRUE(Translator::readLanguageInfo(temp.file(L"missing.xml")).path.isEmpty());
    EXPECT_TRUE(Translator::readLanguageInfo(write(L"bad.xml", "<?xml?>")).nativeName.isEmpty());

    const String path = write(L"German.xml", sampleXml);
    const DateTime written(2022, 5, 6, 7, 8, 9);
    ASSERT_TRUE(setWriteTime(path, written));
    const LanguageInfo info = Translator::readLanguageInfo(path);
    EXPECT_EQ(info.path, path);
    EXPECT_EQ(info.name, L"German");
    EXPECT_EQ(info.englishName, L"german");
    EXPECT_EQ(info.nativeName, L"Deutsch");
    EXPECT_EQ(info.author, L"A. Author");
    EXPECT_TRUE(info.date.isNull());
    EXPECT_EQ(info.modified, written);
}

TEST_F(TranslatorFiles, NewerOfXmlAndLangWins)
{
    const String xml = temp.file(L"German.xml");
    const String lang = temp.file(L"German.lang");
    EXPECT_TRUE(Translator::chooseLanguageFile(xml, lang).isEmpty());
    write(L"German.xml", sampleXml);
    EXPECT_EQ(Translator::chooseLanguageFile(xml, lang), xml);
    ASSERT_TRUE(TranslationFile().saveLang(lang));
    struct Row {
        DateTime xmlTime;
        DateTime langTime;
        const String* expected;
    };
    const Row rows[] = {
        {DateTime(2020, 1, 2, 3, 4, 5), DateTime(2020, 1, 2, 3, 4, 4), &xml},
        {DateTime(2020, 1, 2, 3, 4, 5), DateTime(2020, 1, 2, 3, 4, 6), &lang},
        {DateTime(2020, 1, 2, 3, 4, 5), DateTime(2020, 1, 2, 3, 4, 5), &lang},
        {DateTime(2024, 1, 1, 0, 0, 0), DateTime(1999, 12, 31, 23, 59, 59), &xml},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(setWriteTime(xml, row.xmlTime));
        ASSERT_TRUE(setWriteTime(lang, row.langTime));
        EXPECT_EQ(Translator::chooseLanguageFile(xml, lang), *row.expected);
    }
    deleteFile(xml);
    EXPECT_EQ(Translator::chooseLanguageFile(xml, lang), lang);
}

TEST_F(TranslatorFiles, EditingOperations)
{
    TranslationFile file;
    ASSERT_TRUE(file.load(write(L"German.xml", sampleXml)));
    EXPECT_EQ(file.formatOfPath(), TranslationFile::XmlFormat);
    EXPECT_EQ(file.addItem(String(L"ScanWindow"), String(L"Open"), String(L"again")), nullptr);
    ASSERT_NE(file.addItem(String(L"A"), String(L"Zebra"), String(L"two words")), nullptr);
    EXPECT_TRUE(file.removeItem(String(L"MainWindow"), String(L"Close|now")));
    EXPECT_FALSE(file.removeItem(String(L"MainWindow"), String(L"Close|now")));
    // Translations, "%app" empty without a product name: "Öffnen",
    // "Menü öffnen", "Über\n\nEnde", "Scan öffnen", "two words".
    EXPECT_EQ(file.wordCount(), 1 + 2 + 1 + 2 + 2);
    EXPECT_EQ(file.characterCount(true), 6 + 11 + 10 + 11 + 9);
    EXPECT_EQ(file.characterCount(false), 6 + 10 + 8 + 10 + 8);
    file.sortItems();
    std::vector<std::wstring> order;
    for (const TranslationItem* item : file.items())
        order.push_back(wide(item->context + L":" + item->source));
    EXPECT_EQ(order, (std::vector<std::wstring>{L"A:Zebra", L"MainWindow:Open", L"MainWindow/Menu:About",
                                                L"MainWindow/Menu:Open", L"ScanWindow:Open"}));
    EXPECT_EQ(wide(file.sourceText()), L"Zebra\r\n\r\nOpen\r\n\r\nAbout\r\nOpen\r\n\r\nOpen\r\n");
}

TEST_F(TranslatorFiles, RemoveDuplicateItemsKeepsTheFirst)
{
    TranslationFile file;
    ASSERT_TRUE(file.load(write(L"dup.xml", xmlWithGroups("<group name=\"A\">"
                                                          "<item context=\"x\" translation=\"1\"/>"
                                                          "<item context=\"y\" translation=\"2\"/>"
                                                          "<item context=\"x\" translation=\"3\"/>"
                                                          "</group><group name=\"A\">"
                                                          "<item context=\"x\" translation=\"4\"/></group>"))));
    EXPECT_EQ(file.removeDuplicateItems(), 2);
    ASSERT_EQ(file.items().count(), 2);
    EXPECT_EQ(file.items().first()->value->translation, L"1");
    EXPECT_EQ(file.items().last()->value->translation, L"2");
}

namespace {

// Four items, "x" twice in group "A" with another group between.
const std::string duplicatesXml = xmlWithGroups("<group name=\"A\">"
                                                "<item context=\"x\" translation=\"1\"/>"
                                                "<item context=\"y\" translation=\"2\"/>"
                                                "</group><group name=\"B\">"
                                                "<item context=\"x\" translation=\"3\"/>"
                                                "</group><group name=\"A\">"
                                                "<item context=\"x\" translation=\"4\"/></group>");

std::wstring byHash(const Translator& translator, const std::wstring& source, const std::wstring& context)
{
    const std::uint64_t hash = expectedHash(source, context);
    return wide(translator.translateByHash(static_cast<std::uint32_t>(hash), static_cast<std::uint32_t>(hash >> 32)));
}

// The walks the indexed lookups replace, as zero-terminated comparisons.
const TranslationItem* walkForText(const TranslationFile& file, const wchar_t* source, const wchar_t* context)
{
    for (const TranslationItem* item : file.items()) {
        if (std::wcscmp(item->source.c_str(), source) == 0 &&
            (!context || std::wcscmp(item->context.c_str(), context) == 0))
            return item;
    }
    return nullptr;
}

const TranslationItem* walkForHash(const TranslationFile& file, std::uint64_t hash)
{
    for (const TranslationItem* item : file.items()) {
        if (item->hash == hash)
            return item;
    }
    return nullptr;
}

const TranslationItem* walkForItem(const TranslationFile& file, const String& context, const String& source)
{
    for (const TranslationItem* item : file.items()) {
        if (item->context == context && item->source == source)
            return item;
    }
    return nullptr;
}

} // namespace

TEST_F(TranslatorFiles, DuplicateSourcesAnswerWithTheFirstInFileOrder)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    EXPECT_EQ(wide(translator.translateText(L"x")), L"1");
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"1");
    EXPECT_EQ(wide(translator.translateText(L"x", L"B")), L"3");
    EXPECT_EQ(wide(translator.translateText(L"y", L"B")), L"y");
    EXPECT_EQ(byHash(translator, L"x", L"A"), L"1");
    EXPECT_EQ(byHash(translator, L"x", L"B"), L"3");
}

TEST_F(TranslatorFiles, RemovingTheFirstOfDuplicatesHandsLookupsToTheNext)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    TranslationFile& file = translator.file();

    ASSERT_TRUE(file.removeItem(String(L"A"), String(L"x")));
    EXPECT_EQ(wide(translator.translateText(L"x")), L"3");
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"4");
    EXPECT_EQ(byHash(translator, L"x", L"A"), L"4");

    ASSERT_TRUE(file.removeItem(String(L"A"), String(L"x")));
    EXPECT_EQ(wide(translator.translateText(L"x")), L"3");
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"x");
    EXPECT_EQ(byHash(translator, L"x", L"A"), L"");
    EXPECT_EQ(file.findItem(String(L"A"), String(L"x")), nullptr);
}

TEST_F(TranslatorFiles, AddedItemsAnswerAfterEarlierOnes)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    TranslationFile& file = translator.file();
    ASSERT_NE(file.addItem(String(L"C"), String(L"x"), String(L"5")), nullptr);
    ASSERT_NE(file.addItem(String(L"C"), String(L"z"), String(L"6")), nullptr);
    EXPECT_EQ(wide(translator.translateText(L"x")), L"1");
    EXPECT_EQ(wide(translator.translateText(L"x", L"C")), L"5");
    EXPECT_EQ(wide(translator.translateText(L"z")), L"6");
    EXPECT_EQ(byHash(translator, L"z", L"C"), L"6");
}

TEST_F(TranslatorFiles, SortingChangesWhichDuplicateComesFirst)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    TranslationFile& file = translator.file();
    ASSERT_NE(file.addItem(String(L"0"), String(L"x"), String(L"early")), nullptr);
    EXPECT_EQ(wide(translator.translateText(L"x")), L"1");
    file.sortItems();
    EXPECT_EQ(wide(translator.translateText(L"x")), L"early");
    // The sort is stable, so the two "A" copies keep their order.
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"1");
}

TEST_F(TranslatorFiles, RemovingDuplicatesKeepsTheAnswers)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    EXPECT_EQ(translator.file().removeDuplicateItems(), 1);
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"1");
    EXPECT_EQ(byHash(translator, L"x", L"A"), L"1");
    ASSERT_TRUE(translator.file().removeItem(String(L"A"), String(L"x")));
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"x");
    EXPECT_EQ(wide(translator.translateText(L"x")), L"3");
}

TEST_F(TranslatorFiles, ClearingAndReloadingReplaceEveryAnswer)
{
    Translator translator(productName);
    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    translator.clear();
    EXPECT_EQ(wide(translator.translateText(L"x", L"A")), L"x");
    EXPECT_EQ(byHash(translator, L"x", L"A"), L"");

    ASSERT_TRUE(translator.load(write(L"dup.xml", duplicatesXml)));
    ASSERT_TRUE(translator.load(write(L"German.xml", sampleXml)));
    EXPECT_EQ(wide(translator.translateText(L"x")), L"x");
    EXPECT_EQ(wide(translator.translateText(L"Open")), L"\u00D6ffnen");
    EXPECT_EQ(byHash(translator, L"Open", L"ScanWindow"), L"Scan \u00F6ffnen");
    // A failed load empties the lookups too.
    EXPECT_FALSE(translator.load(write(L"bad.xml", "<translation/>")));
    EXPECT_EQ(wide(translator.translateText(L"Open")), L"Open");
}

// The hash runs over source and context joined, so a different split of
// the same letters is a different item with the same hash.
TEST(Translator, ItemsSharingAHashAnswerInFileOrder)
{
    Translator translator(productName);
    TranslationFile& file = translator.file();
    ASSERT_NE(file.addItem(String(L"c"), String(L"ab"), String(L"first")), nullptr);
    ASSERT_NE(file.addItem(String(L"bc"), String(L"a"), String(L"second")), nullptr);
    EXPECT_EQ(byHash(translator, L"ab", L"c"), L"first");
    EXPECT_EQ(byHash(translator, L"a", L"bc"), L"first");
    ASSERT_TRUE(file.removeItem(String(L"c"), String(L"ab")));
    EXPECT_EQ(byHash(translator, L"ab", L"c"), L"second");
    ASSERT_NE(file.addItem(String(L"c"), String(L"ab"), String(L"third")), nullptr);
    EXPECT_EQ(byHash(translator, L"ab", L"c"), L"second");
}

// Lookups compare as zero-terminated strings, so a source holding a null
// character matches the text before it; findItem compares in full.
TEST(Translator, SourceWithANullCharacterMatchesAsItsPrefix)
{
    Translator translator(productName);
    TranslationFile& file = translator.file();
    ASSERT_NE(file.addItem(String(L"g"), String(L"Open\0x", 6), String(L"cut")), nullptr);
    ASSERT_NE(file.addItem(String(L"g"), String(L"Open"), String(L"whole")), nullptr);
    EXPECT_EQ(wide(translator.translateText(L"Open")), L"cut");
    EXPECT_EQ(wide(translator.translateText(L"Open", L"g")), L"cut");
    EXPECT_EQ(file.findItem(String(L"g"), String(L"Open"))->translation, L"whole");
    ASSERT_TRUE(file.removeItem(String(L"g"), String(L"Open\0x", 6)));
    EXPECT_EQ(wide(translator.translateText(L"Open", L"g")), L"whole");
}

// Random edits of a file with repeated texts; after each, every lookup must
// agree with a walk over the items in file order.
TEST_F(TranslatorFiles, LookupsAgreeWithAWalkThroughRandomEdits)
{
    const std::string groups = "<group name=\"g\"><item context=\"a\" translation=\"1\"/>"
                               "<item context=\"ab\" translation=\"2\"/><item context=\"a\" translation=\"3\"/>"
                               "<group name=\"h\"><item context=\"b\" translation=\"4\"/></group></group>"
                               "<group name=\"\"><item context=\"\" translation=\"5\"/></group>"
                               "<group name=\"g\"><item context=\"a\" translation=\"6\"/></group>";
    TranslationFile file;
    ASSERT_TRUE(file.load(write(L"random.xml", xmlWithGroups(groups))));
    const std::vector<String> sources = {String(), String(L"a"), String(L"b"), String(L"ab"), String(L"a\0b", 3)};
    const std::vector<String> contexts = {String(),     String(L"g"), String(L"h"),
                                          String(L"g/h"), String(L"b"), String(L"g\0h", 3)};
    std::mt19937 random(20240611);
    auto pick = [&random](const std::vector<String>& texts) -> const String& { return texts[random() % texts.size()]; };

    for (int step = 0; step < 400; ++step) {
        const unsigned operation = random() % 10;
        if (operation < 4)
            file.addItem(pick(contexts), pick(sources), String::number(step));
        else if (operation < 8)
            file.removeItem(pick(contexts), pick(sources));
        else if (operation == 8)
            file.sortItems();
        else
            file.removeDuplicateItems();

        for (const String& source : sources) {
            const wchar_t* text = source.c_str();
            ASSERT_EQ(file.findText(text), walkForText(file, text, nullptr)) << step;
            for (const String& context : contexts) {
                ASSERT_EQ(file.findText(text, context.c_str()), walkForText(file, text, context.c_str())) << step;
                ASSERT_EQ(file.findItem(context, source), walkForItem(file, context, source)) << step;
                const std::uint64_t hash = (source + context).hash();
                ASSERT_EQ(file.findHash(hash), walkForHash(file, hash)) << step;
            }
        }
    }
}
