#include "tests/support/TempFolder.h"
#include "XmlTestSupport.h"

#include <gtest/gtest.h>

#include <random>

using xmltest::describe;

namespace {

TEST(XmlElement, AttributeLookupsTakeTheFirstExactMatch)
{
    XmlElement element(L"e");
    element.addAttribute(L"Key", L"upper");
    element.addAttribute(L"key", L"first");
    element.addAttribute(L"key", L"second");
    EXPECT_EQ(wide(element.attribute(L"key")), L"first");
    EXPECT_EQ(wide(element.attribute(L"Key")), L"upper");
    EXPECT_EQ(wide(element.attributeNoCase(L"KEY")), L"upper");
    EXPECT_EQ(&element.attribute(L"missing"), &String::empty);
    EXPECT_TRUE(element.hasAttribute(L"key"));
    EXPECT_FALSE(element.hasAttribute(L"KEY"));
    EXPECT_EQ(element.attributeRecord(L"KEY"), nullptr);
    ASSERT_NE(element.attributeRecordNoCase(L"KEY"), nullptr);
    EXPECT_EQ(wide(element.attributeRecordNoCase(L"KEY")->value()), L"upper");

    element.clearAttributes();
    EXPECT_FALSE(element.hasAttributes());
    EXPECT_TRUE(element.attribute(L"key").isEmpty());
}

TEST(XmlElement, ChildLookups)
{
    XmlElement parent(L"p");
    XmlElement* upper = parent.addChild(L"Item");
    XmlElement* first = parent.addChild(L"item");
    XmlElement* second = parent.addChild(L"item");
    first->addAttribute(L"id", L"1");
    second->addAttribute(L"id", L"2");
    upper->addAttribute(L"ID", L"2");
    EXPECT_EQ(parent.child(L"item"), first);
    EXPECT_EQ(parent.childNoCase(L"ITEM"), upper);
    EXPECT_EQ(parent.child(L"ITEM"), nullptr);
    EXPECT_EQ(parent.findChildByAttribute(L"id", L"2"), second);
    EXPECT_EQ(parent.findChildByAttribute(L"id", L"3"), nullptr);

    auto* adopted = new XmlElement(L"adopted");
    parent.appendChild(adopted);
    parent.appendAttribute(new XmlAttribute(L"a", L"b"));
    EXPECT_EQ(parent.children().last()->value, adopted);
    EXPECT_EQ(wide(parent.attribute(L"a")), L"b");
    parent.clearChildren();
    EXPECT_FALSE(parent.hasChildren());
}

TEST(XmlDocument, FindElementFollowsPathsFromTheRoot)
{
    XmlDocument document;
    ASSERT_TRUE(document.parse(L"<?xml?><top><groups><group name='g'/></groups></top><groups/><Groups/>"));
    const XmlElement* topLevel = document.root().children().nodeAt(1)->value;
    EXPECT_EQ(document.findElement(L"groups"), topLevel);
    EXPECT_EQ(document.findElement(L"/groups/"), topLevel);
    EXPECT_EQ(document.findElement(L"group"), nullptr);
    ASSERT_NE(document.findElement(L"top/groups/group"), nullptr);
    EXPECT_EQ(wide(document.findElement(L"top//groups/group")->attribute(L"name")), L"g");
    EXPECT_EQ(document.findElement(L"top/group"), nullptr);
    EXPECT_EQ(document.findElement(L""), nullptr);
    EXPECT_EQ(document.findElement(L"/"), nullptr);
    EXPECT_EQ(document.findElementNoCase(L"TOP/GROUPS"), document.findElement(L"top/groups"));
    EXPECT_EQ(document.findElementNoCase(L"groups"), topLevel);
}

TEST(XmlDocument, FindDescendantSearchesDepthFirstInDocumentOrder)
{
    XmlDocument document;
    ASSERT_TRUE(document.parse(L"<?xml?><a><b><x n='1'/></b><x n='2'/></a><x n='3'/>"));
    ASSERT_NE(document.findDescendant(L"x"), nullptr);
    EXPECT_EQ(wide(document.findDescendant(L"x")->attribute(L"n")), L"1");
    const XmlElement* b = document.findDescendant(L"b");
    EXPECT_EQ(b->findDescendant(L"b"), nullptr);
    EXPECT_EQ(document.findDescendant(L"ROOT"), nullptr);
    EXPECT_EQ(document.findDescendant(L"X"), nullptr);
}

TEST(XmlDocument, ClearKeepsTheRootsName)
{
    XmlDocument document;
    document.root().addAttribute(L"a", L"1");
    document.root().addChild(L"child");
    EXPECT_FALSE(document.isEmpty());
    document.clear();
    EXPECT_TRUE(document.isEmpty());
    EXPECT_FALSE(document.root().hasAttributes());
    EXPECT_EQ(wide(document.root().name()), L"ROOT");
}

TEST(XmlDocument, LoadNeedsADeclarationEndButNoPrefix)
{
    TempFolder folder;
    struct Row {
        const char* bytes;
        bool ok;
        const wchar_t* tree;
    };
    const Row rows[] = {
        {"\xEF\xBB\xBF<!-- ?> --><?xml version=\"1.0\"?><a/>", true, L"a"},
        {"junk?><a/>", true, L"a"},
        {"<a/>", false, L""},
        {"<?xml version=\"1.0\"><a/>", false, L""},
        {"", false, L""},
    };
    const String path = folder.file(L"l.xml");
    XmlDocument document;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        ASSERT_TRUE(writeRaw(path, bytesOf(row.bytes)));
        EXPECT_EQ(document.load(path, 3), row.ok);
        EXPECT_EQ(describe(document), row.tree);
    }
    EXPECT_FALSE(document.load(path, 1));
    EXPECT_FALSE(document.load(folder.file(L"missing.xml"), 3));
}

TEST(XmlEscape, FiveEntitiesBothWays)
{
    const struct {
        const wchar_t* plain;
        const wchar_t* escaped;
    } rows[] = {
        {L"", L""},
        {L"plain", L"plain"},
        {L"&'\"<>", L"&amp;&apos;&quot;&lt;&gt;"},
        {L"&amp;", L"&amp;amp;"},
        {L"&lt;", L"&amp;lt;"},
        {L"a<b>c", L"a&lt;b&gt;c"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(wide(xmlEscape(row.plain)), row.escaped);
        EXPECT_EQ(wide(xmlUnescape(row.escaped)), row.plain);
    }
}

TEST(XmlEscape, UnescapeReplacesAmpersandLast)
{
    EXPECT_EQ(wide(xmlUnescape(L"&amp;lt;")), L"&lt;");
    EXPECT_EQ(wide(xmlUnescape(L"&amp;amp;")), L"&amp;");
    EXPECT_EQ(wide(xmlUnescape(L"&#65;&nbsp;&")), L"&#65;&nbsp;&");
    EXPECT_EQ(wide(xmlUnescape(L"&LT;&lt")), L"&LT;&lt");
}

TEST(XmlEscape, RandomTextsRoundTrip)
{
    const wchar_t pool[] = L"&;amplgtquos<>\"'x#";
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        String text;
        for (int n = std::uniform_int_distribution<int>(0, 12)(random); n > 0; --n)
            text.append(pool[std::uniform_int_distribution<int>(0, 17)(random)]);
        ASSERT_EQ(xmlUnescape(xmlEscape(text)), text);
    }
}

} // namespace
