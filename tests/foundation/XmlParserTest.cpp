#include "XmlTestSupport.h"
#include "tests/support/DamagedInput.h"

#include "foundation/ByteArray.h"
#include "foundation/XmlParser.h"

#include <gtest/gtest.h>

#include <chrono>

using xmltest::describe;

namespace {

struct ParseRow {
    const wchar_t* text;
    bool ok;
    const wchar_t* tree;
};

// What the parser accepts and what it builds; failed parses keep what was
// read before the failure.
const ParseRow parseRows[] = {
    {L"<?xml version=\"1.0\"?>", true, L""},
    {L"<?xml?>  \r\n\t", true, L""},
    {L"<?xml?>x", false, L""},
    {L"<?xml?><a/>", true, L"a"},
    {L"<?xml?><a></a>", true, L"a"},
    {L"<?xml?>< a / >", true, L"a"},
    {L"<?xml?><a/><b/>", true, L"a b"},
    {L"<?xml?><a>one two</a>", true, L"a\"one two\""},
    {L"<?xml?><a> <b/> </a>", true, L"a\" \"(b)"},
    {L"<?xml?><a x = 'v' y=\"&lt;&amp;\"/>", true, L"a[x=v,y=<&]"},
    {L"<?xml?><a x==\"1\"/>", true, L"a[x=1]"},
    {L"<?xml?><a x.y-z_w='1' 9='2'/>", true, L"a[x.y-z_w=1,9=2]"},
    {L"<?xml?><a x=\"1\" x=\"2\"/>", true, L"a[x=1,x=2]"},
    {L"<?xml?><a>&amp;lt;</a>", true, L"a\"&lt;\""},
    {L"<?xml?><a>&#65;&nbsp;</a>", true, L"a\"&#65;&nbsp;\""},
    // the end tag's name is not compared
    {L"<?xml?><a><b></c></a>", true, L"a(b)"},
    // a text may end with elements still open after a self-closing child
    {L"<?xml?><a><b/>", true, L"a(b)"},
    {L"<?xml?><!-- c --><!--><a/>", true, L"a"},
    {L"<?xml?><a><!-- c --></a>", true, L"a"},
    {L"<?xml?><a>", false, L"a"},
    {L"<?xml?><a><b/>text</a>", false, L"a(b)"},
    {L"<?xml?><a><!-- c -->text</a>", false, L"a"},
    {L"<?xml?><a></a>junk", false, L"a"},
    {L"<?xml?><?pi x?><a/>", false, L""},
    {L"<?xml?></a>", false, L""},
    {L"<?xml?><a/></a>", false, L"a"},
    {L"<?xml?><!-- open", false, L""},
    {L"<?xml?><a x=1/>", false, L""},
    {L"<?xml?><a x\"1\"/>", false, L""},
    {L"<?xml?><a x/>", false, L""},
    {L"<?xml?><a -x=\"1\"/>", false, L""},
    {L"<?xml?><a x='1\"/>", false, L""},
    {L"<?xml?><a x=\"1\"", false, L""},
    {L"<?xml?><a><![CDATA[x]]></a>", false, L"a"},
    {L"<?xml?><!DOCTYPE html><a/>", false, L""},
    {L"<?xml <!-- ?> -->?><a/>", true, L"a"},
    {L"<a/>", false, L""},
    {L"<?XML?><a/>", false, L""},
    {L" <?xml?><a/>", false, L""},
    {L"", false, L""},
};

TEST(XmlParser, TableOfTexts)
{
    XmlDocument document;
    for (const ParseRow& row : parseRows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(document.parse(row.text), row.ok);
        EXPECT_EQ(describe(document), row.tree);
    }
}

TEST(XmlParser, ParseReplacesThePreviousTree)
{
    XmlDocument document;
    ASSERT_TRUE(document.parse(L"<?xml?><a/><b/>"));
    ASSERT_TRUE(document.parse(L"<?xml?><c/>"));
    EXPECT_EQ(describe(document), L"c");
    EXPECT_EQ(document.root().name(), L"ROOT");
}

TEST(XmlParser, ParserWithoutDocumentFails)
{
    XmlParser parser;
    EXPECT_FALSE(parser.parse(L"<?xml?><a/>"));
}

std::wstring nested(int depth, const wchar_t* innermost)
{
    std::wstring text = L"<?xml?>";
    for (int i = 0; i < depth; ++i)
        text += L"<a>";
    text += innermost;
    for (int i = 0; i < depth; ++i)
        text += L"</a>";
    return text;
}

TEST(XmlParser, NestingIsCappedAtTheMaximumDepth)
{
    XmlDocument document;
    EXPECT_TRUE(document.parse(nested(XmlParser::maxDepth, L"").c_str()));
    EXPECT_TRUE(document.parse(nested(XmlParser::maxDepth - 1, L"<b/>").c_str()));
    EXPECT_FALSE(document.parse(nested(XmlParser::maxDepth, L"<b/>").c_str()));
    EXPECT_FALSE(document.parse(nested(XmlParser::maxDepth + 1, L"").c_str()));
}

// A hostile file used to be able to exhaust the stack of whoever walked it.
TEST(XmlParser, HugeNestingFailsCleanlyAndQuickly)
{
    const std::wstring text = nested(100000, L"x");
    const auto start = std::chrono::steady_clock::now();
    XmlDocument document;
    EXPECT_FALSE(document.parse(text.c_str()));
    document.clear();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(5));
}

const wchar_t* const sampleDocument =
    L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    L"<!-- settings -->\r\n"
    L"<groups>\r\n"
    L"    <group name=\"general\">\r\n"
    L"        <item name=\"language\" value=\"&quot;Fran\u00e7ais&quot; &amp; more\"/>\r\n"
    L"        <item name='width' value='800'></item>\r\n"
    L"        <note>a &lt; b</note>\r\n"
    L"    </group>\r\n"
    L"    <!-->\r\n"
    L"    <group name=\"empty\"/>\r\n"
    L"</groups>\r\n"
    L"<second/>\r\n";

// A successful or failed parse of part of a text builds a part of the tree
// that the whole text builds: the same names, attributes and texts, with
// children missing only at the end.
bool isPrefixTree(const XmlElement& part, const XmlElement& whole)
{
    if (part.name() != whole.name() || part.children().count() > whole.children().count())
        return false;
    if (!xmltest::sameAttributes(part, whole))
        return false;
    if (part.hasText() && part.text() != whole.text())
        return false;
    auto* w = whole.children().first();
    for (auto* p = part.children().first(); p; p = p->next, w = w->next) {
        if (!isPrefixTree(*p->value, *w->value))
            return false;
    }
    return true;
}

TEST(XmlParser, EveryPrefixParsesOrFailsWithAPartOfTheTree)
{
    const String text(sampleDocument);
    XmlDocument whole;
    ASSERT_TRUE(whole.parse(text));
    // Whitespace before a first child is that element's text.
    ASSERT_EQ(describe(whole), L"groups\"\r\n    \"(group[name=general]\"\r\n        \"("
                               L"item[name=language,value=\"Fran\u00e7ais\" & more] item[name=width,value=800] "
                               L"note\"a < b\") group[name=empty]) second");
    int successes = 0;
    for (int length = 0; length < text.length(); ++length) {
        XmlDocument part;
        const bool ok = part.parse(text.mid(0, length));
        successes += ok;
        SCOPED_TRACE(length);
        ASSERT_TRUE(isPrefixTree(part.root(), whole.root()));
    }
    // Ends of end tags, self-closing tags, comments and trailing whitespace.
    EXPECT_GT(successes, 10);
}

// Each accepted mutation must describe a tree that writes and reads back
// the same, so nothing half-built is ever accepted.
TEST(XmlParser, RandomByteFlipsParseOrFailCleanly)
{
    int accepted = 0;
    forEachDamagedCopy(bytesOf(String(sampleDocument).toUtf8()), 20240531, 3000, [&](const Bytes& bytes) {
        XmlDocument document;
        if (!document.parse(String::fromBytes(bytes.data(), static_cast<int>(bytes.size()), 3)))
            return;
        ++accepted;
        String written;
        ASSERT_TRUE(document.saveToString(written));
        XmlDocument again;
        ASSERT_TRUE(again.parse(written));
        ASSERT_TRUE(xmltest::sameTree(document.root(), again.root()));
    });
    EXPECT_GT(accepted, 0);
}

} // namespace
