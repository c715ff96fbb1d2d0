#include "ui/UITheme.h"

#include "foundation/DataPack.h"
#include "ui/UIManager.h"
#include "ui/UIWidget.h"

#include "tests/support/DamagedImages.h"
#include "tests/support/DamagedInput.h"
#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

const char* const xmlHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";

const char* const oneMetric = "<metrics><metric name=\"LayoutTopMargin\" value=\"5\"/></metrics>";
const char* const oneSkin = "<skins><skin name=\"UIButton_Background\" count=\"2\" width=\"4\" height=\"4\"/></skins>";
const char* const noModels = "<models/>";

// A ".style" pack made from files written into a temporary folder; null
// texts leave their description out.
struct StylePack {
    const char* metrics = oneMetric;
    const char* skins = oneSkin;
    const char* models = noModels;
    std::vector<std::pair<std::wstring, Bytes>> images;

    Bytes build() const
    {
        TempFolder folder;
        folder.makeFolder(L"src");
        folder.makeFolder(L"src\\xml");
        folder.makeFolder(L"src\\images");
        folder.makeFolder(L"src\\skins");
        const std::pair<const wchar_t*, const char*> texts[] = {
            {L"src\\xml\\metrics.xml", metrics}, {L"src\\xml\\skins.xml", skins}, {L"src\\xml\\models.xml", models}};
        for (const auto& [name, text] : texts) {
            if (text)
                folder.writeFile(name, bytesOf(std::string(xmlHead) + text));
        }
        for (const auto& [name, bytes] : images)
            folder.writeFile((L"src\\" + name).c_str(), bytes);
        int count = 0;
        EXPECT_TRUE(packFolder(folder.file(L"src"), folder.file(L"p.style"), count));
        return readRaw(folder.file(L"p.style"));
    }

    bool loadInto(UITheme& theme) const
    {
        const Bytes bytes = build();
        return theme.loadFromMemory(bytes.data(), std::int64_t(bytes.size()));
    }
};

Bytes pngOf(int width, int height)
{
    TempFolder folder;
    Bitmap bitmap(width, height, true);
    bitmap.fill(Colour(255, 10, 20, 30));
    EXPECT_TRUE(bitmap.save(folder.file(L"a.png"), true));
    return readRaw(folder.file(L"a.png"));
}

class StyledWidget : public UIWidget {
public:
    explicit StyledWidget(const String& name)
    {
        setStyleName(name);
    }
    void setStyleProperty(const String& name, const String& value) override
    {
        properties.push_back(wide(name) + L"=" + wide(value));
    }
    void setStyleImage(const String& name, UISkin* skin) override
    {
        skins.push_back(wide(name) + L"/" + std::to_wstring(skin->stateCount()));
    }

    std::vector<std::wstring> properties;
    std::vector<std::wstring> skins;
};

class UIThemeTest : public WidgetTest {
protected:
    void TearDown() override { UIManager::instance()->setTheme(new UITheme()); }
};

} // namespace

TEST_F(UIThemeTest, LoadFailsWithoutAnyOfItsParts)
{
    struct Row {
        const char* metrics;
        const char* skins;
        const char* models;
        bool loads;
    };
    const std::vector<Row> rows = {
        {oneMetric, oneSkin, noModels, true},
        {nullptr, oneSkin, noModels, false},
        {oneMetric, nullptr, noModels, false},
        {oneMetric, oneSkin, nullptr, false},
        {"<other/>", oneSkin, noModels, false},
        {oneMetric, "<skins><skin count=\"1\"/></skins>", noModels, false},
        {"<metrics><metric name=\"Unknown\" value=\"3\"/></metrics>", oneSkin, noModels, true},
    };
    forEachRow(rows, [](const Row& row) {
        const StylePack pack{row.metrics, row.skins, row.models, {}};
        UITheme theme;
        EXPECT_EQ(pack.loadInto(theme), row.loads);
    });
    UITheme theme;
    EXPECT_FALSE(theme.load(L""));
    EXPECT_FALSE(theme.loadFromMemory(nullptr, 5));
}

TEST_F(UIThemeTest, FirstMetricAndFirstSkinOfANameWin)
{
    StylePack pack;
    pack.metrics = "<metrics><metric name=\"TextCursorWidth\" value=\"2\"/><metric name=\"TextCursorWidth\" "
                   "value=\"9\"/><metric name=\"Other\" value=\"4\"/><other name=\"LayoutTopMargin\" value=\"1\"/>"
                   "<metric/></metrics>";
    pack.skins = "<skins><skin name=\"A_x\" count=\"3\"/><skin count=\"7\"/><skin name=\"A_x\" count=\"5\"/></skins>";
    UITheme theme;
    ASSERT_TRUE(pack.loadInto(theme));
    EXPECT_EQ(theme.metric(MetricTextCursorWidth), 2);
    EXPECT_EQ(theme.metric(MetricLayoutTopMargin), 0);
    EXPECT_EQ(theme.metric(MetricNone), 4);
    EXPECT_EQ(theme.skinCount(), 2);
    EXPECT_EQ(theme.skin(L"A_x").stateCount(), 3);
    EXPECT_EQ(theme.skin(L"a_x").stateCount(), 0);
}

TEST_F(UIThemeTest, ImagesDecodeOrStayEmpty)
{
    StylePack pack;
    pack.images = {{L"images\\Focus.png", pngOf(3, 5)}, {L"images\\CriticalBig.png", bytesOf("not a png")}};
    UITheme theme;
    ASSERT_TRUE(pack.loadInto(theme));
    EXPECT_EQ(theme.image(ImageFocus).width(), 3);
    EXPECT_TRUE(theme.image(ImageCriticalBig).isNull());
    EXPECT_TRUE(theme.image(ImageWarningBig).isNull());
    EXPECT_TRUE(theme.image(99).isNull());
}

TEST_F(UIThemeTest, WidgetsTakeTheirExactStyleAndSkinsByPrefix)
{
    StylePack pack;
    pack.models = "<models><style name=\"UIButtonX\"><p name=\"font\" data=\"x\"/></style>"
                  "<style name=\"UIButton\"><p name=\"font\" data=\"a\"/><p name=\"font\" data=\"b\"/></style>"
                  "<style name=\"UIButton\"><p name=\"gap\" data=\"1\"/></style></models>";
    pack.skins = "<skins><skin name=\"UIButton_Background\" count=\"2\"/><skin name=\"UIButtonX_Background\" "
                 "count=\"4\"/><skin name=\"UIButton_Background\" count=\"5\"/></skins>";
    const Bytes bytes = pack.build();
    ASSERT_TRUE(UIManager::instance()->loadStyleFromMemory(bytes.data(), std::int64_t(bytes.size())));
    const StyledWidget widget(L"UIButton");
    EXPECT_EQ(widget.properties, (std::vector<std::wstring>{L"font=a", L"font=b"}));
    EXPECT_EQ(widget.skins, (std::vector<std::wstring>{L"UIButton_Background/2", L"UIButton_Background/5"}));
    EXPECT_TRUE(StyledWidget(L"UIButto").skins.empty());
}

TEST_F(UIThemeTest, LoadStyleFindsFilesAndKeepsTheThemeOnFailure)
{
    TempFolder folder;
    const Bytes bytes = StylePack().build();
    writeRaw(folder.file(L"good.style"), bytes);
    writeRaw(folder.file(L"bad.style"), bytesOf("FA broken"));
    UIManager* manager = UIManager::instance();
    ASSERT_TRUE(manager->loadStyle(folder.file(L"good.style")));
    UITheme* loaded = manager->theme();
    EXPECT_EQ(loaded->path(), folder.file(L"good.style"));
    EXPECT_FALSE(manager->loadStyle(folder.file(L"bad.style")));
    EXPECT_FALSE(manager->loadStyle(folder.file(L"missing.style")));
    EXPECT_FALSE(manager->loadStyle(L"no-such-style"));
    EXPECT_FALSE(manager->setTheme(nullptr));
    EXPECT_EQ(manager->theme(), loaded);
}

TEST_F(UIThemeTest, NewThemeRelaysOutVisibleWindowsOnly)
{
    const Colour white(255, 255, 255);
    RecordingWidget shown(nullptr, white, quickWindow);
    RecordingWidget hidden(nullptr, white, quickWindow);
    auto* shownChild = new RecordingWidget(&shown, white);
    auto* hiddenChild = new RecordingWidget(&hidden, white);
    for (RecordingWidget* window : {&shown, &hidden})
        window->setLayoutEnabled(true);
    showAt(shown, 40, 40, 200, 100);
    // The setter leaves the relayout to whoever changes the look next.
    shownChild->setMinimumSize(50, 40);
    hiddenChild->setMinimumSize(50, 40);
    const Size before = hiddenChild->size();
    const Bytes bytes = StylePack().build();
    ASSERT_TRUE(UIManager::instance()->loadStyleFromMemory(bytes.data(), std::int64_t(bytes.size())));
    EXPECT_EQ(shownChild->size(), (Size{50, 40}));
    EXPECT_EQ(hiddenChild->size(), before);
}

TEST_F(UIThemeTest, BuiltWhiteStyleHasEveryMetricImageAndTheWindowLook)
{
    UITheme theme;
    ASSERT_TRUE(theme.load(Application::instance()->applicationDirectory() + L"\\..\\white.style"));
    for (int id = MetricLayoutLeftMargin; id <= MetricWindowDesktopPadding; ++id)
        EXPECT_GT(theme.metric(id), 0) << id;
    for (int id = ImageDialogHelpButton; id <= ImageFocus; ++id)
        EXPECT_FALSE(theme.image(id).isNull()) << id;
    // Strips decode when first asked for and keep their nine-slice table.
    EXPECT_EQ(theme.skin(L"UIButton_Background").stateCount(), 5);
    EXPECT_EQ(theme.skin(L"UIButton_Background").region(4, SkinCentre), Rect(4, 4 * 24 + 4, 16, 16));
    const XmlElement* window = theme.models()->findChildByAttribute(L"name", L"UIWindow");
    ASSERT_NE(window, nullptr);
    for (const wchar_t* name : {L"background", L"borderColor", L"shadowOffset", L"font"})
        EXPECT_NE(window->findChildByAttribute(L"name", name), nullptr) << wide(name);
}

TEST_F(UIThemeTest, DamagedPacksFailCleanly)
{
    const auto load = [](const Bytes& bytes) {
        UITheme theme;
        return theme.loadFromMemory(bytes.data(), std::int64_t(bytes.size()));
    };
    const Bytes whole = StylePack().build();
    expectEveryPrefixFailsCleanly(whole, load);
    forEachDamagedCopy(whole, 13, 200, [&](const Bytes& copy) { load(copy); });
}

// A skin or a standard image whose file was damaged in the pack (a huge
// length field) used to end the process when the theme decoded it.
TEST_F(UIThemeTest, DamagedSkinImagesDecodeOrStayEmpty)
{
    forEachRow(imageFormatRows, [](const ImageFormatRow& row) {
        const Bytes original = sampleImageFile(row);
        ASSERT_FALSE(original.empty());
        const auto loadTheme = [](const std::string& what, const Bytes& copy) {
            SCOPED_TRACE(what);
            StylePack pack;
            pack.images = {{L"skins\\UIButton_Background.png", copy}, {L"images\\Focus.png", copy}};
            UITheme theme;
            ASSERT_TRUE(pack.loadInto(theme));
            const UISkin& skin = theme.skin(L"UIButton_Background");
            EXPECT_EQ(2, skin.stateCount());
            EXPECT_TRUE(skin.isNull() || skin.width() >= 1);
            const Bitmap& focus = theme.image(ImageFocus);
            EXPECT_TRUE(focus.isNull() || focus.isPremultiplied());
        };
        // The image tests set every damaging value; a few are enough to make
        // some decodes fail here.
        forEachDamagedImage(row, original, 12, 12, loadTheme, fewDamagingValues);
    });
}

TEST_F(UIThemeTest, LoadStyleLooksBesideTheProgramBeforeItsStylesFolder)
{
    const String folder = Application::instance()->applicationDirectory();
    StylePack beside;
    beside.metrics = "<metrics><metric name=\"TextCursorWidth\" value=\"1\"/></metrics>";
    StylePack inStyles;
    inStyles.metrics = "<metrics><metric name=\"TextCursorWidth\" value=\"2\"/></metrics>";
    CreateDirectoryW((folder + L"\\styles").c_str(), nullptr);
    const String besidePath = folder + L"\\theme-test.style";
    const String inStylesPath = folder + L"\\styles\\theme-test.style";
    ASSERT_TRUE(writeRaw(inStylesPath, inStyles.build()));
    ASSERT_TRUE(UIManager::instance()->loadStyle(L"theme-test"));
    EXPECT_EQ(UIManager::instance()->theme()->metric(MetricTextCursorWidth), 2);
    ASSERT_TRUE(writeRaw(besidePath, beside.build()));
    ASSERT_TRUE(UIManager::instance()->loadStyle(L"theme-test"));
    EXPECT_EQ(UIManager::instance()->theme()->metric(MetricTextCursorWidth), 1);
    DeleteFileW(besidePath.c_str());
    DeleteFileW(inStylesPath.c_str());
    RemoveDirectoryW((folder + L"\\styles").c_str());
}
