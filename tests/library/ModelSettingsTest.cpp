#include "library/LibraryModel.h"

#include "graphics/FontDesc.h"

#include "LibraryTestSupport.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

namespace {

const wchar_t* const allKeys[] = {
    L"tagCloud/fontMinimumSize", L"tagCloud/fontMaximumSize", L"tagCloud/fontFamily",
    L"tagCloud/background", L"tagCloud/foreground", L"tagCloud/selectedForeground",
    L"tagCloud/sortMode", L"tagCloud/weightMethod", L"tagCloud/filterByNameMode",
    L"taggedItems/collectMode", L"model/taggedItemsCacheMaxSize", L"tagCloud/backgroundImagePath",
    L"tagCloud/backgroundImageDrawMode", L"model/taggedItemFilters", L"model/scanRules",
};

// The store as a settings file gives it back: every key registered, every
// value a text.
class ModelSettingsTest : public ::testing::Test {
protected:
    ModelSettingsTest()
    {
        for (const wchar_t* key : allKeys)
            hooks.store.addEntry(key, String());
    }

    void storeText(const wchar_t* key, const wchar_t* text) { hooks.store.entry(key)->value = Value(String(text)); }

    std::map<std::wstring, std::wstring> storedTexts() const
    {
        std::map<std::wstring, std::wstring> texts;
        for (const SettingsEntry* entry : hooks.store.entries())
            texts[wide(entry->key)] = wide(entry->value.toString());
        return texts;
    }

    // Loads from the store after turning every value into its text, as a
    // settings file gives them back.
    std::unique_ptr<LibraryModel> loadedModel()
    {
        auto model = std::make_unique<LibraryModel>();
        hooks.model = model.get();
        for (SettingsEntry* entry : hooks.store.entries())
            entry->value = Value(entry->value.toString());
        model->loadSettings();
        return model;
    }

    static std::wstring filtersText(const LibraryModel& model)
    {
        std::wstring text;
        for (const Filter* filter : model.filters())
            text += (text.empty() ? L"" : L"|") + wide(filter->toText());
        return text;
    }

    FakeLibraryHooks hooks;
};

// Every key is set off its default, so a key the writer or the reader
// dropped would show in the texts a loaded model saves again.
TEST_F(ModelSettingsTest, RoundTripOfEveryKey)
{
    const auto model = loadedModel();
    model->saveSettings();
    const std::map<std::wstring, std::wstring> defaults = storedTexts();
    model->setFontMinimumSize(10.5f);
    model->setFontMaximumSize(31.25f);
    model->setFontFamily(L"Courier New");
    model->setBackground(Brush(Colour(0x80123456u)));
    model->setForeground(Pen(Colour(0xFF000001u)));
    model->setSelectedForeground(Pen(Colour(0xFFFEDCBAu)));
    model->setSortMode(2);
    model->setWeightMethod(1);
    model->setFilterByNameMode(3);
    model->setCollectMode(1);
    model->setItemsCacheMaxSize(64);
    model->setBackgroundImagePath(L"C:\\pictures\\sky.png");
    model->setBackgroundImageDrawMode(2);
    model->filters().append(new Filter);
    model->filters().last()->value->setName(L"photos");
    model->filters().last()->value->addKind(Filter::Files);
    model->filters().last()->value->setExtensions(listOf({L"jpg", L"!raw"}));
    model->scanRules().append(new ScanRule);
    model->scanRules().last()->value->setScanPath(L"C:\\scan");
    model->saveSettings();
    const std::map<std::wstring, std::wstring> saved = storedTexts();
    for (const wchar_t* key : allKeys)
        EXPECT_NE(saved.at(key), defaults.at(key)) << key;
    // Stored numbers are locale-free: "." and no grouping.
    EXPECT_EQ(saved.at(L"tagCloud/fontMinimumSize").substr(0, 4), L"10.5");
    loadedModel()->saveSettings();
    EXPECT_EQ(storedTexts(), saved);
}

TEST_F(ModelSettingsTest, OutOfRangeValuesAreClamped)
{
    struct Row {
        const wchar_t *key, *stored;
        std::function<bool(const LibraryModel&)> holds;
    };
    const Row rows[] = {
        {L"tagCloud/sortMode", L"7", [](const LibraryModel& m) { return m.sortMode() == 0; }},
        {L"tagCloud/sortMode", L"1", [](const LibraryModel& m) { return m.sortMode() == 1; }},
        {L"tagCloud/weightMethod", L"5", [](const LibraryModel& m) { return m.weightMethod() == 1; }},
        {L"model/taggedItemsCacheMaxSize", L"-3", [](const LibraryModel& m) { return m.itemsCacheMaxSize() == 0; }},
        {L"tagCloud/fontFamily", L"",
         [](const LibraryModel& m) { return m.fontFamily() == defaultFontDesc().face() && !m.fontFamily().isEmpty(); }},
    };
    forEachRow(rows, [&](const Row& row) {
        storeText(row.key, row.stored);
        EXPECT_TRUE(row.holds(*loadedModel())) << wide(row.key);
    });
}

TEST_F(ModelSettingsTest, FilterListText)
{
    struct Row {
        const wchar_t *stored, *loaded;
    };
    const Row rows[] = {
        {L"1|2|3|photos:2:jpg,png", L"1|2|3|photos:2:jpg,png"},
        {L"photos::jpg|photos::png", L"1|2|3|photos::jpg"},
        {L"a:2:|a:2:", L"1|2|3|a:2:|a:2:"},
        {L"", L"1|2|3"},
        {L"x|9|a:b|a:9:|::", L"1|2|3"},
        {L"2|2", L"1|3|2"},
        {L" b : 3,2,3,7 : gif ", L"1|2|3|b:3,2:gif"},
    };
    forEachRow(rows, [&](const Row& row) {
        storeText(L"model/taggedItemFilters", row.stored);
        EXPECT_EQ(filtersText(*loadedModel()), row.loaded) << wide(row.stored);
    });
}

// A rule text with the wrong number of fields was dropped without a word and
// lost at the next save; now it is reported once, kept and saved again.
// Read before the library opens, tag names are plain names until refresh.
TEST_F(ModelSettingsTest, MalformedRulesAreKeptAndReportedAndNamesWaitForTheTags)
{
    const std::wstring good = L"0;1;C:\\a;1;1;Recent;::;1;0;;0;0;0;0;1;0;1;1;0";
    const std::wstring text = good + L"|0;1;C:\\b|" + good + L";extra|" + good;
    storeText(L"model/scanRules", text.c_str());
    const auto model = loadedModel();
    ASSERT_EQ(model->scanRules().count(), 2);
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_NE(hooks.boxes[0].find(L"\n0;1;C:\\b\n" + good + L";extra"), std::wstring::npos) << hooks.boxes[0];
    model->saveScanRules();
    EXPECT_EQ(storedTexts().at(L"model/scanRules"), good + L'|' + good + L"|0;1;C:\\b|" + good + L";extra");
    RuleTagSet& tags = model->scanRules().first()->value->assignableTags();
    EXPECT_EQ(wide(tags.otherNamesText()), L"Recent");
    EXPECT_TRUE(tags.modelTagNamesText().isEmpty());
    model->addTag(L"Recent");
    tags.refresh();
    EXPECT_EQ(wide(tags.modelTagNamesText()), L"Recent");
}

// Settings that held only rules a newer version wrote, which this one
// cannot read, got the first-run rules and filters on top of them when the
// library was made again: the rules kept are rules all the same.
TEST_F(ModelSettingsTest, RulesOfANewerVersionKeepTheFirstRunRulesAway)
{
    const std::wstring newer = L"0;1;C:\\a;1;1;Recent;::;1;0;;0;0;0;0;1;0;1;1;0;newer";
    storeText(L"model/scanRules", newer.c_str());
    const auto model = loadedModel();
    const std::wstring filters = filtersText(*model);
    model->createDefaults();
    EXPECT_EQ(model->scanRules().count(), 0);
    EXPECT_EQ(filtersText(*model), filters);
    model->saveScanRules();
    EXPECT_EQ(storedTexts().at(L"model/scanRules"), newer);
}

} // namespace
