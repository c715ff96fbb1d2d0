#include "library/ScanRule.h"

#include "graphics/Font.h"
#include "library/LibraryModel.h"

#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

StringList namesOf(std::initializer_list<String> texts)
{
    StringList list;
    for (const String& text : texts)
        list.append(text);
    return list;
}

String anyTags()
{
    return RuleTagSet::modeName(RuleTagSet::AnyRegisteredTags);
}

String assignable()
{
    return RuleTagSet::modeName(RuleTagSet::AssignableTags);
}

class ScanRuleTest : public LibraryFixture {
protected:
    // Valid as it stands: every row of the validity matrix breaks one part.
    ScanRule validRule() const
    {
        ScanRule rule;
        rule.setScanPath(tree.path());
        rule.assignableTags().setNames(namesOf({L"x"}));
        rule.filter().addKind(Filter::Files);
        rule.searchWords().setNames(namesOf({L"w"}));
        return rule;
    }
};

} // namespace

TEST_F(ScanRuleTest, DefaultRuleIsStoredWithEmptySetsAndFilter)
{
    EXPECT_EQ(ScanRule().toSettingsText(), String(L"0;1;;1;1;;::;1;0;;0;0;0;0;1;0;1;1;0"));
}

// Every field off its default, so a field the reader dropped would show.
TEST_F(ScanRuleTest, EveryFieldAndTagSetModeSurvivesARoundTrip)
{
    model.addTag(L"Photos");
    struct Row {
        StringList assignableNames, searchNames;
    };
    const Row rows[] = {
        {namesOf({L"Photos", L"trip"}), namesOf({assignable()})},
        {namesOf({anyTags()}), namesOf({L"beach", L"sea"})},
        {namesOf({L"trip"}), namesOf({anyTags()})},
    };
    forEachRow(rows, [](const Row& row) {
        ScanRule rule;
        rule.setIsAutoRule(true);
        rule.setIsChecked(false);
        rule.setScanTime(ScanRule::AtProgramStart);
        rule.setClearBeforeScan(true);
        rule.assignableTags().setNames(row.assignableNames);
        rule.filter().addKind(Filter::Folders);
        rule.filter().addKind(Filter::Files);
        rule.filter().setExtensions(namesOf({L"jpg", L"!tmp"}));
        rule.setHasContentCondition(false);
        rule.setSubject(static_cast<ScanRule::Subject>(7));
        rule.searchWords().setNames(row.searchNames);
        rule.setAllWords(true);
        rule.setScanPath(L"C:\\Data\\Pictures\\");
        rule.setScanSubfolders(false);
        rule.setScanHidden(false);
        rule.setMatchCase(1);
        rule.setWholeWords(true);
        rule.setHasDateCondition(true);
        rule.setDateKind(ScanRule::CreationTime);
        rule.setMoreThan(true);
        rule.setDays(4000000000u);

        const String text = rule.toSettingsText();
        const std::optional<ScanRule> read = ScanRule::fromSettingsText(text);
        ASSERT_TRUE(read);
        EXPECT_EQ(read->toSettingsText(), text);
        EXPECT_EQ(read->assignableTags(), rule.assignableTags());
        EXPECT_EQ(read->searchWords(), rule.searchWords());
        EXPECT_EQ(read->days(), 4000000000u);
    });
}

TEST_F(ScanRuleTest, ReaderGivesBackWrongFieldCountsAndReadsNonNumbersAsZero)
{
    const String good = validRule().toSettingsText();
    const String value = good + L"|| |" + good.mid(0, good.lastIndexOf(L';')) + L'|' + good + L";0|" +
                         L"1;1;" + tree.path() + L";1;1;x;:2:;0;abc;;0;x;0;1;-;0;days;?;1";
    List<ScanRule*> rules;
    const StringList unread = ScanRule::appendFromSettingsText(value, rules);
    EXPECT_EQ(vectorOf(unread), (std::vector<std::wstring>{wide(good.mid(0, good.lastIndexOf(L';'))),
                                                           wide(good + L";0")}));
    ASSERT_EQ(rules.count(), 2);
    EXPECT_EQ(rules.first()->value->toSettingsText(), good);
    const ScanRule& odd = *rules.last()->value;
    EXPECT_EQ(odd.subject(), 0u);
    EXPECT_EQ(odd.matchCase(), 0u);
    EXPECT_EQ(odd.dateKind(), 0u);
    EXPECT_EQ(odd.days(), 0u);
    EXPECT_EQ(odd.scanTime(), 0u);
    EXPECT_TRUE(odd.isValid());
    EXPECT_EQ(ScanRule::settingsText(rules), good + L'|' + odd.toSettingsText());
    for (ScanRule* rule : rules)
        delete rule;
}

// Separators in a folder, a tag name, a search word or an extension used to
// split the rule on reading: it was dropped, or a name read as two.
TEST_F(ScanRuleTest, SeparatorsInTheRuleTextsReadBack)
{
    struct Row {
        const wchar_t *folder, *tag, *word, *extension;
    };
    const Row rows[] = {
        {L"C:\\A;B\\Desktop", L"Desktop", L"w", L"txt"},
        {L"C:\\x", L"a,b", L"w", L"txt"},
        {L"C:\\x", L"a|b", L"c;d", L"txt"},
        // Only a search word holds separators.
        {L"C:\\x", L"t", L"c;d|e,f", L"txt"},
        {L"C:\\x", L"t", L"w", L"a:b,c;d|e"},
        {L"C:\\100%;\\%3B", L"50%,x", L"%2C", L"%"},
        {L"\\\\server\\a,b;c|d", L"x:y", L"w", L"txt"},
    };
    forEachRow(rows, [](const Row& row) {
        ScanRule rule;
        rule.setScanPath(row.folder);
        rule.assignableTags().setNames(namesOf({row.tag, L"plain"}));
        rule.searchWords().setNames(namesOf({row.word}));
        rule.filter().addKind(Filter::Files);
        rule.filter().setExtensions(namesOf({row.extension, L"jpg"}));
        List<ScanRule*> written;
        written.append(&rule);
        written.append(&rule);
        List<ScanRule*> rules;
        EXPECT_TRUE(ScanRule::appendFromSettingsText(ScanRule::settingsText(written), rules).isEmpty());
        ASSERT_EQ(rules.count(), 2);
        for (const ScanRule* read : rules) {
            EXPECT_EQ(read->scanPath(), String(row.folder));
            EXPECT_EQ(vectorOf(read->assignableTags().names()), (std::vector<std::wstring>{row.tag, L"plain"}));
            EXPECT_EQ(vectorOf(read->searchWords().names()), std::vector<std::wstring>{row.word});
            EXPECT_EQ(vectorOf(read->filter().extensions()), (std::vector<std::wstring>{row.extension, L"jpg"}));
            EXPECT_EQ(read->filter().kinds().count(), 1);
            delete read;
        }
    });
}

// Text that older versions wrote, a "%" of a folder included, reads as it
// stands and is written again unchanged.
TEST_F(ScanRuleTest, OlderRuleTextReadsAndWritesUnchanged)
{
    const std::pair<const wchar_t*, const wchar_t*> rows[] = {
        {L"1;1;C:\\Users\\me\\Desktop;0;0;Desktop;:2:;0;0;;0;0;0;0;1;0;1;1;1", L"C:\\Users\\me\\Desktop"},
        {L"0;1;C:\\100%;1;1;50%;:2:;1;0;a%3Bb;0;0;0;0;1;0;1;1;0", L"C:\\100%"},
        {L"0;1;C:\\a%3Bb%;1;1;x;:2:%2C;1;0;y;0;0;0;0;1;0;1;1;0", L"C:\\a%3Bb%"},
    };
    forEachRow(rows, [](const auto& row) {
        const std::optional<ScanRule> rule = ScanRule::fromSettingsText(row.first);
        ASSERT_TRUE(rule);
        EXPECT_EQ(rule->scanPath(), String(row.second));
        EXPECT_EQ(rule->toSettingsText(), String(row.first));
    });
}

TEST_F(ScanRuleTest, ABrokenFilterFieldLeavesTheFilterEmptyAndTheRuleInvalid)
{
    const String good = validRule().toSettingsText();
    for (const wchar_t* field : {L":2", L"a:2:jpg:x", L"2"}) {
        SCOPED_TRACE(wide(field));
        const std::optional<ScanRule> rule = ScanRule::fromSettingsText(good.replace(L":2:", field));
        ASSERT_TRUE(rule);
        EXPECT_TRUE(rule->filter().isEmpty());
        EXPECT_FALSE(rule->isValid());
    }
    const std::optional<ScanRule> named = ScanRule::fromSettingsText(good.replace(L":2:", L" pics : 9,3,1,3 : jpg,,png"));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->filter().name(), String(L"pics"));
    EXPECT_EQ(named->filter().toRuleText(), String(L":3,1:jpg,png"));
}

TEST_F(ScanRuleTest, ValidityMatrix)
{
    const String file = tree.writeFile(L"plain.txt", bytesOf("x"));
    struct Row {
        const char* change;
        std::function<void(ScanRule&)> apply;
        bool valid;
    };
    const Row rows[] = {
        {"none", [](ScanRule&) {}, true},
        {"no assignable tags", [](ScanRule& r) { r.assignableTags().setNames({}); }, false},
        {"assigns every tag", [](ScanRule& r) { r.assignableTags().setMode(RuleTagSet::AnyRegisteredTags); }, true},
        {"empty filter", [](ScanRule& r) { r.setFilter(Filter()); }, false},
        {"extensions only", [](ScanRule& r) { r.setFilter(Filter()); r.filter().setExtensions(namesOf({L"a"})); }, true},
        {"no search words", [](ScanRule& r) { r.searchWords().setNames({}); }, false},
        {"no words, no content", [](ScanRule& r) { r.searchWords().setNames({}); r.setHasContentCondition(false); }, true},
        {"words of every tag", [](ScanRule& r) { r.searchWords().setMode(RuleTagSet::AnyRegisteredTags); }, true},
        {"unchecked", [](ScanRule& r) { r.setIsChecked(false); }, false},
        {"empty path", [](ScanRule& r) { r.setScanPath(String()); }, false},
        {"slashes", [](ScanRule& r) { r.setScanPath(r.scanPath().replaceChar(L'\\', L'/')); }, false},
        {"doubled separator", [](ScanRule& r) { r.setScanPath(r.scanPath() + L"\\"); }, false},
        {"missing folder", [](ScanRule& r) { r.setScanPath(r.scanPath() + L"gone"); }, false},
        {"a file", [&](ScanRule& r) { r.setScanPath(file); }, false},
    };
    forEachRow(rows, [&](const Row& row) {
        SCOPED_TRACE(row.change);
        ScanRule rule = validRule();
        row.apply(rule);
        EXPECT_EQ(rule.isValid(), row.valid);
    });
}

TEST_F(ScanRuleTest, SetNamesTakesALoneModeNameAsTheMode)
{
    model.addTag(L"Holiday");
    struct Row {
        StringList names;
        RuleTagSet::Mode mode;
        const wchar_t* modelTagNames;
        String otherNames, settingsText;
    };
    const Row rows[] = {
        {namesOf({anyTags()}), RuleTagSet::AnyRegisteredTags, L"", L"", anyTags()},
        {namesOf({assignable()}), RuleTagSet::AssignableTags, L"", L"", assignable()},
        {namesOf({anyTags(), L"x"}), RuleTagSet::OwnNames, L"", anyTags() + L", x", anyTags() + L",x"},
        {namesOf({L"beach", L"holiday"}), RuleTagSet::OwnNames, L"holiday", L"beach", L"holiday,beach"},
        {namesOf({L"Any of registered tags"}), RuleTagSet::OwnNames, L"", L"Any of registered tags",
         L"Any of registered tags"},
    };
    forEachRow(rows, [](const Row& row) {
        RuleTagSet set;
        set.setText(L"stale");
        set.setNames(row.names);
        EXPECT_EQ(set.mode(), row.mode);
        EXPECT_EQ(set.text(), RuleTagSet::modeName(row.mode));
        EXPECT_FALSE(set.isEmpty());
        EXPECT_EQ(set.modelTagNamesText(), String(row.modelTagNames));
        EXPECT_EQ(set.otherNamesText(), row.otherNames);
        EXPECT_EQ(set.toSettingsText(), row.settingsText);
    });
}

// The rules are read from the settings before the library is opened.
TEST_F(ScanRuleTest, NamesReadBeforeTheTagsExistBecomeModelTagsOnRefresh)
{
    RuleTagSet set;
    set.setNames(namesOf({L"recent", L"beach", L"Desktop"}));
    EXPECT_EQ(set.otherNamesText(), String(L"recent, beach, Desktop"));
    Tag* desktop = model.addTag(L"Desktop");
    Tag* recent = model.addTag(L"Recent");
    const PointerArray<Tag*> tags = set.modelTags();
    EXPECT_EQ(std::vector<Tag*>(tags.begin(), tags.end()), (std::vector<Tag*>{recent, desktop}));
    EXPECT_EQ(set.otherNamesText(), String(L"beach"));
    model.removeTag(recent);
    set.refresh();
    EXPECT_EQ(vectorOf(set.names()), (std::vector<std::wstring>{L"Desktop", L"beach", L"recent"}));
    EXPECT_TRUE(set.renameName(L"BEACH", L"sand"));
    EXPECT_FALSE(set.renameName(L"beach", L"dune"));
    EXPECT_EQ(set.otherNamesText(), String(L"sand, recent"));
}

TEST_F(ScanRuleTest, ClearAssignableTagsOnlyForAutomaticClearingRulesAndDeletesOrphans)
{
    struct Row {
        bool automatic, clearBeforeScan, everyTag;
    };
    const Row rows[] = {{true, true, false}, {false, true, false}, {true, false, false}, {true, true, true}};
    forEachRow(rows, [&](const Row& row) {
        model.clear();
        TaggedItem* both = item(missingPath(L"both.txt"));
        Tag* recent = tag(L"Recent", 0, {item(missingPath(L"only-recent.txt")), both});
        tag(L"Keep", 0, {both});
        ScanRule rule;
        rule.setIsAutoRule(row.automatic);
        rule.setClearBeforeScan(row.clearBeforeScan);
        rule.assignableTags().setNames(namesOf({L"recent", L"Missing"}));
        if (row.everyTag)
            rule.assignableTags().setMode(RuleTagSet::AnyRegisteredTags);
        const bool clears = row.automatic && row.clearBeforeScan && !row.everyTag;
        EXPECT_EQ(rule.emptiesTagsBeforeScan(), clears);
        EXPECT_EQ(rule.clearAssignableTags(), clears);
        EXPECT_EQ(recent->itemCount(), clears ? 0 : 2);
        EXPECT_EQ(model.itemCount(), clears ? 1 : 2);
        EXPECT_TRUE(model.containsItem(both));
        expectLinksTwoSided(model);
        EXPECT_FALSE(rule.clearAssignableTags());
    });
}

TEST_F(ScanRuleTest, DescriptionsInWords)
{
    ScanRule joined;
    joined.filter().addKind(Filter::Files);
    joined.assignableTags().setNames(namesOf({L"a", L"b"}));
    joined.searchWords().setMode(RuleTagSet::AssignableTags);
    joined.setHasDateCondition(true);
    joined.setMoreThan(true);
    joined.setDays(3);
    // Names that are all plain words get no leading separator.
    EXPECT_EQ(joined.tagsText(), String(L"a or b"));
    EXPECT_EQ(joined.description(false), String(L"Assign (a or b) to (files) if file name contains it and if file "
                                                L"was modified more than 3 day(s) ago"));

    ScanRule words;
    words.filter().setName(L"pics");
    words.assignableTags().setMode(RuleTagSet::AnyRegisteredTags);
    words.searchWords().setNames(namesOf({L"x", L"y"}));
    words.setAllWords(true);
    words.setSubject(ScanRule::EntirePath);
    EXPECT_EQ(words.tagsText(), anyTags());
    EXPECT_EQ(words.conditionText(), String(L"if entire path contains (x and y) "));
    EXPECT_EQ(words.description(true), String(L"Assign (any of registered tags) to (pics) ") + words.conditionText());
}

TEST_F(ScanRuleTest, ShortTextsFitTheRuleListWidth)
{
    RuleTagSet few;
    few.setNames(namesOf({L"a", L"b"}));
    EXPECT_EQ(few.shortDisplayText(), String(L"a, b"));
    RuleTagSet many;
    many.setNames(namesOf({L"Wednesday", L"Thursday", L"September", L"November", L"December"}));
    const Font font(FontDesc(defaultFontDesc().face(), 14.0f, 0));
    const String text = many.shortDisplayText();
    EXPECT_TRUE(text.endsWith(Font::ellipsis()));
    EXPECT_TRUE(many.displayText().startsWith(text.mid(0, text.length() - Font::ellipsis().length())));
    EXPECT_LE(font.textSize(text).width, 150);

    Filter filter;
    filter.addKind(Filter::Files);
    filter.setExtensions(namesOf({L"jpg", L"png"}));
    EXPECT_EQ(filter.ruleDescription(), String(L"files, jpg, png"));
}
