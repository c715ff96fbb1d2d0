#include "tests/support/TempFolder.h"
#include "XmlTestSupport.h"

#include "foundation/XmlParser.h"
#include "foundation/XmlWriter.h"

#include <gtest/gtest.h>


namespace {

// Every writing rule once: nesting and indentation, attributes in order,
// all five entities, a text, a text dropped beside children, an empty
// element, non-ASCII text.
void buildSample(XmlDocument& document)
{
    XmlElement* groups = document.root().addChild(L"groups");
    groups->setText(L"dropped because of the children");
    XmlElement* group = groups->addChild(L"group");
    group->addAttribute(L"name", L"a&b");
    group->addAttribute(L"quote", L"'\"<>");
    group->addChild(L"item")->setText(L"x < y & \u00e9");
    group->addChild(L"empty");
    document.root().addChild(L"second");
}

const wchar_t* const sampleElements =
    L"<groups>\r\n"
    L"    <group name=\"a&amp;b\" quote=\"&apos;&quot;&lt;&gt;\">\r\n"
    L"        <item>x &lt; y &amp; \u00e9</item>\r\n"
    L"        <empty/>\r\n"
    L"    </group>\r\n"
    L"</groups>\r\n"
    L"<second/>\r\n";

std::set<std::wstring> namesIn(const TempFolder& folder)
{
    std::set<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder.path() + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (data.cFileName[0] != L'.')
            names.insert(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

Bytes utf16Bytes(const std::wstring& text)
{
    Bytes out = {0xFF, 0xFE};
    for (wchar_t c : text) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFF));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return out;
}

TEST(XmlWriter, StringFormIsExact)
{
    XmlDocument document;
    buildSample(document);
    String out;
    ASSERT_TRUE(document.saveToString(out));
    EXPECT_EQ(wide(out), std::wstring(L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n") + sampleElements);
}

TEST(XmlWriter, FileBytesAreExactInBothEncodings)
{
    TempFolder folder;
    XmlDocument document;
    buildSample(document);

    ASSERT_TRUE(document.save(folder.file(L"a.xml"), 4));
    EXPECT_EQ(readRaw(folder.file(L"a.xml")),
              utf16Bytes(std::wstring(L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n") + sampleElements));

    ASSERT_TRUE(document.save(folder.file(L"b.xml"), 3));
    const Bytes utf8 = readRaw(folder.file(L"b.xml"));
    std::string expected = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n";
    for (wchar_t c : std::wstring(sampleElements))
        expected += c == L'\u00e9' ? std::string("\xC3\xA9") : std::string(1, static_cast<char>(c));
    EXPECT_EQ(utf8, bytesOf(expected));
}

TEST(XmlWriter, EmptyDocumentIsTheDeclarationAlone)
{
    TempFolder folder;
    XmlDocument document;
    ASSERT_TRUE(document.save(folder.file(L"e.xml"), 3));
    EXPECT_EQ(readRaw(folder.file(L"e.xml")),
              bytesOf("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"));
    XmlDocument loaded;
    EXPECT_TRUE(loaded.load(folder.file(L"e.xml"), 3));
    EXPECT_TRUE(loaded.isEmpty());
}

TEST(XmlWriter, IndentWidthIsAdjustable)
{
    XmlDocument document;
    document.root().addChild(L"a")->addChild(L"b")->addChild(L"c");
    XmlWriter writer(&document);
    writer.setIndentWidth(1);
    String out;
    ASSERT_TRUE(writer.saveToString(out));
    EXPECT_EQ(wide(out), L"<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n<a>\r\n <b>\r\n  <c/>\r\n </b>\r\n</a>\r\n");
}

TEST(XmlWriter, RefusesBadArguments)
{
    TempFolder folder;
    XmlDocument document;
    document.root().addChild(L"a");
    for (int encoding : {0, 1, 2, 5}) {
        EXPECT_FALSE(document.save(folder.file(L"x.xml"), encoding)) << encoding;
        EXPECT_FALSE(fileExistsRaw(folder.file(L"x.xml")));
    }
    EXPECT_FALSE(document.save(String(), 3));
    EXPECT_FALSE(document.save(folder.file(L"missing\\x.xml"), 3));
    String out = L"stale";
    EXPECT_FALSE(XmlWriter().saveToString(out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(XmlWriter().save(folder.file(L"x.xml"), 3));
}

TEST(XmlWriter, SaveReplacesTheFileAndLeavesNoTemporary)
{
    TempFolder folder;
    const String path = folder.writeFile(L"c.xml", bytesOf("old content that is longer than the new one"));
    XmlDocument document;
    document.root().addChild(L"a");
    ASSERT_TRUE(document.save(path, 3));
    EXPECT_EQ(readRaw(path),
              bytesOf("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<a/>\r\n"));
    EXPECT_EQ(namesIn(folder), (std::set<std::wstring>{L"c.xml"}));
}

// Writing in place used to truncate the file first, losing it when the
// write could not finish. Here the target can be written but not replaced
// (another handle refuses deletion), so only a whole replacement fails.
TEST(XmlWriter, FailedSaveKeepsTheOldFile)
{
    TempFolder folder;
    const Bytes old = bytesOf("<?xml?><old/>");
    const String path = folder.writeFile(L"d.xml", old);
    HANDLE lock = CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    XmlDocument document;
    document.root().addChild(L"new");
    EXPECT_FALSE(document.save(path, 3));
    CloseHandle(lock);
    EXPECT_EQ(readRaw(path), old);
    EXPECT_EQ(namesIn(folder), (std::set<std::wstring>{L"d.xml"}));
}

TEST(XmlWriter, RandomTreesRoundTripThroughFilesAndStrings)
{
    TempFolder folder;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE(seed);
        XmlDocument original;
        xmltest::RandomTree(seed).fill(original);
        for (int encoding : {3, 4}) {
            const String path = folder.file(L"r.xml");
            ASSERT_TRUE(original.save(path, encoding));
            XmlDocument loaded;
            ASSERT_TRUE(loaded.load(path, encoding));
            ASSERT_TRUE(xmltest::sameTree(original.root(), loaded.root()));
        }
        String text;
        ASSERT_TRUE(original.saveToString(text));
        XmlDocument parsed;
        ASSERT_TRUE(parsed.parse(text));
        ASSERT_TRUE(xmltest::sameTree(original.root(), parsed.root()));
        String again;
        ASSERT_TRUE(parsed.saveToString(again));
        EXPECT_EQ(again, text);
    }
}

XmlElement* chain(XmlElement& top, int levels)
{
    XmlElement* element = &top;
    for (int i = 0; i < levels; ++i)
        element = element->addChild(L"a");
    return element;
}

TEST(XmlWriter, WritesOnlyTreesTheParserCanReadBack)
{
    XmlDocument document;
    XmlElement* deepest = chain(document.root(), XmlParser::maxDepth);
    String text;
    ASSERT_TRUE(document.saveToString(text));
    XmlDocument parsed;
    EXPECT_TRUE(parsed.parse(text));
    EXPECT_EQ(parsed.findDescendant(L"b"), nullptr);
    deepest->addChild(L"b");
    EXPECT_FALSE(document.saveToString(text));
}

// A tree built in code can be far deeper than a file may be; writing,
// searching and deleting it must not recurse.
TEST(XmlWriter, HugeTreesAreRefusedWithoutRecursion)
{
    TempFolder folder;
    auto* document = new XmlDocument;
    chain(document->root(), 100000)->addChild(L"leaf");
    String text;
    EXPECT_FALSE(document->saveToString(text));
    EXPECT_FALSE(document->save(folder.file(L"deep.xml"), 3));
    EXPECT_FALSE(fileExistsRaw(folder.file(L"deep.xml")));
    EXPECT_NE(document->findDescendant(L"leaf"), nullptr);
    delete document;
}

} // namespace
