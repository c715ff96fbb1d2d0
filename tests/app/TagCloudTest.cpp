#include "app/UITagCloud.h"

#include "foundation/Hooks.h"
#include "foundation/Settings.h"
#include "graphics/DrawingSurface.h"
#include "library/CloudMetrics.h"
#include "library/LibraryModel.h"
#include "library/Tag.h"

#include "tests/support/ColourPrinting.h"
#include "tests/support/GeometryPrinting.h"
#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"
#include "tests/widgets/PointerMessages.h"
#include "tests/widgets/SignalRecorder.h"
#include "tests/widgets/StyledWidgetTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

const wchar_t* const selectionKey = L"tagCloud/selectedTags";

// The shell of these tests: its own settings store and the test's model.
class CloudShell : public ShellHooks {
public:
    CloudShell() { setShellHooks(this); }
    ~CloudShell() override { setShellHooks(nullptr); }

    Settings& settings() override { return store; }
    LibraryModel* libraryModel() override { return model; }

    LibraryModel* model = nullptr;
    Settings store{String(), String(), Settings::NoLocation, Settings::NoFormat};
};

std::vector<std::wstring> namesOf(const PointerArray<Tag*>& tags)
{
    std::vector<std::wstring> names;
    for (const Tag* tag : tags)
        names.push_back(wide(tag->name()));
    return names;
}

std::vector<std::wstring> namesOf(const List<CloudEntry>& entries)
{
    std::vector<std::wstring> names;
    for (const CloudEntry& entry : entries)
        names.push_back(wide(entry.tag->name()));
    return names;
}

// A cloud that keeps the area of each paint it gets.
class PaintRecordingCloud : public UITagCloud {
public:
    using UITagCloud::UITagCloud;

    std::vector<Rect> painted;

protected:
    void paintEvent(UIPaintEvent* event) override
    {
        painted.push_back(event->rect());
        UITagCloud::paintEvent(event);
    }
};

// A shown cloud over a model with the first-run tags "Desktop" and "Recent"
// (a click on Desktop scans the tree's desktop folder, which holds one
// file) and three tags of one item each.
class TagCloudTest : public StyledWidgetTest {
protected:
    TagCloudTest()
    {
        shell.model = &model;
        shell.store.addEntry(selectionKey, String());
        desktopFile = tree.file(L"desktop\\note.txt");
        model.setFirstRunFolders(tree.makeFolder(L"recent"), tree.makeFolder(L"desktop"));
        tree.writeFile(L"desktop\\note.txt", Bytes());
        model.createDefaults();
        zebra = tag(L"zebra", 3);
        apple = tag(L"apple", 1);
        tag(L"#Banana", 2);
        cloud = new PaintRecordingCloud(&window);
        cloud->setGeometry(0, 0, 400, 300);
        cloud->show();
        showAt(window, 20, 20, 400, 300);
        cloud->reload();
        cloud->selectionChanged.connect(&recorder, &SignalRecorder::onSignal);
    }

    Tag* tag(const String& name, std::int64_t usage)
    {
        Tag* made = model.addTagWithUsage(name, usage, DateTime());
        Tag::linkItem(made, model.addItem(L"Z:\\kestrola-missing\\" + name, 0, DateTime()));
        return made;
    }
    void select(std::vector<Tag*> tags)
    {
        PointerArray<Tag*> array;
        for (Tag* one : tags)
            array.append(one);
        cloud->setSelectedTags(array);
    }
    void press(UINT message, WPARAM keys, Point inCloud)
    {
        sendPointerMessage(window, WM_MOUSEMOVE, 0, cloud->mapToWindow(inCloud));
        sendPointerMessage(window, message, keys, cloud->mapToWindow(inCloud));
    }
    void clickAt(Point inCloud)
    {
        press(WM_LBUTTONDOWN, MK_LBUTTON, inCloud);
        press(WM_LBUTTONUP, 0, inCloud);
    }
    void click(const Tag* target) { clickAt(target->cloudRect().center()); }
    void moveTo(Point inCloud) { sendPointerMessage(window, WM_MOUSEMOVE, 0, cloud->mapToWindow(inCloud)); }
    // The wheel turned over the cloud's middle, times notches of delta.
    void turnWheel(int delta, int times)
    {
        POINT screen = {200, 150};
        ClientToScreen(hwndOf(&window), &screen);
        for (int i = 0; i < times; ++i)
            SendMessageW(hwndOf(&window), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(screen.x, screen.y));
        pumpUntil([] { return !pumpPending(); }, 500);
    }
    void stretchBackground(const wchar_t* name, const Bitmap& image)
    {
        const String path = tree.file(name);
        ASSERT_TRUE(image.save(path, true));
        model.setBackgroundImageDrawMode(1);
        model.setBackgroundImagePath(path);
        cloud->reloadBackground();
    }
    std::wstring stored() const { return wide(shell.store.value(selectionKey).toString()); }

    CloudShell shell;
    LibraryModel model;
    TempFolder tree;
    String desktopFile;
    RecordingWidget window{nullptr, Colour(), quickWindow};
    PaintRecordingCloud* cloud = nullptr;
    Tag* zebra = nullptr;
    Tag* apple = nullptr;
    SignalRecorder recorder;
};

TEST_F(TagCloudTest, SelectionComesBackFromTheSettingWithoutUnknownNames)
{
    Tag* odd = tag(L"a|b\\c", 0);
    const wchar_t* const asStored = L"zebra|no such tag|APPLE|a\\|b\\\\c";
    shell.store.setValue(selectionKey, String(asStored));
    cloud->loadSelection();
    EXPECT_EQ(namesOf(cloud->selectedTags()), (std::vector<std::wstring>{L"zebra", L"apple", L"a|b\\c"}));
    EXPECT_TRUE(cloud->isSelected(odd));
    EXPECT_EQ(recorder.count, 1);

    // Saved as loaded, the selection lost the names of a library held at start.
    cloud->saveSelection();
    EXPECT_EQ(stored(), asStored);
    select({odd, zebra});
    cloud->saveSelection();
    EXPECT_EQ(stored(), L"a\\|b\\\\c|zebra");
    select({});
    cloud->loadSelection();
    EXPECT_EQ(namesOf(cloud->selectedTags()), (std::vector<std::wstring>{L"a|b\\c", L"zebra"}));
}

TEST_F(TagCloudTest, NamesWithBarsAndBackslashesRoundTrip)
{
    struct Row {
        std::vector<const wchar_t*> names;
        const wchar_t* stored;
    };
    const Row rows[] = {
        {{L"a|b", L"c\\d"}, L"a\\|b|c\\\\d"},
        {{L"\\", L"|", L"\\|"}, L"\\\\|\\||\\\\\\|"},
        {{L"", L"z", L"trailing\\"}, L"|z|trailing\\\\"},
        {{}, L""},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(joinTagNames(listOf(row.names)), String(row.stored));
        EXPECT_EQ(vectorOf(splitTagNames(row.stored)), vectorOf(listOf(row.names)));
    });
}

TEST_F(TagCloudTest, ClicksSelectAfterTheScanAndDeselect)
{
    Tag* desktop = model.findTagByName(L"Desktop");
    click(desktop);
    EXPECT_EQ(namesOf(cloud->selectedTags()), (std::vector<std::wstring>{L"Desktop"}));
    ASSERT_EQ(desktop->itemCount(), 1);
    EXPECT_EQ(desktop->items()[0]->path(), desktopFile);
    EXPECT_EQ(desktop->usage(), 1);
    EXPECT_EQ(recorder.count, 1);
    EXPECT_TRUE(IsWindowEnabled(hwndOf(&window)));

    click(desktop);
    EXPECT_TRUE(cloud->selectedTags().isEmpty());
    EXPECT_EQ(recorder.count, 2);

    // Between the tags, released on another tag, and while the model is busy.
    clickAt(Point(2, 2));
    press(WM_LBUTTONDOWN, MK_LBUTTON, zebra->cloudRect().center());
    press(WM_LBUTTONUP, 0, apple->cloudRect().center());
    {
        const LibraryModel::BusyScope busy(&model);
        click(apple);
    }
    EXPECT_TRUE(cloud->selectedTags().isEmpty());
    EXPECT_EQ(recorder.count, 2);
}

// Without a scan rule for the tag, the click selects without detaching.
TEST_F(TagCloudTest, ClickOnATagNoRuleScansSelectsAndCountsTheUse)
{
    click(zebra);
    EXPECT_EQ(namesOf(cloud->selectedTags()), (std::vector<std::wstring>{L"zebra"}));
    EXPECT_EQ(zebra->usage(), 4);
    EXPECT_EQ(cloud->entries().count(), 5);
    EXPECT_EQ(cloud->tagAt(apple->cloudRect().center()), apple);
    // The click that deselects counts no use.
    click(zebra);
    EXPECT_EQ(zebra->usage(), 4);
}

TEST_F(TagCloudTest, SortedByNameWithTheSelectionFirstOnlyWhenAsked)
{
    EXPECT_EQ(namesOf(cloud->entries()),
              (std::vector<std::wstring>{L"Desktop", L"Recent", L"zebra", L"apple", L"#Banana"}));
    model.setSortMode(CloudOrder::ByName);
    select({zebra});
    EXPECT_EQ(namesOf(cloud->entries()),
              (std::vector<std::wstring>{L"zebra", L"apple", L"#Banana", L"Desktop", L"Recent"}));
}

TEST_F(TagCloudTest, DetachedCloudHoldsNoTagsAndIgnoresClicks)
{
    select({zebra});
    const Point onApple = apple->cloudRect().center();
    cloud->detachEntries();
    cloud->detachEntries();
    EXPECT_TRUE(cloud->entries().isEmpty());
    EXPECT_TRUE(cloud->selectedTags().isEmpty());
    EXPECT_EQ(cloud->tagAt(onApple), nullptr);
    EXPECT_EQ(apple->stateFlags() & Tag::KeptByCloud, 0u);
    clickAt(onApple);

    cloud->attachEntries();
    EXPECT_TRUE(cloud->isDetached());
    cloud->attachEntries();
    EXPECT_EQ(namesOf(cloud->selectedTags()), (std::vector<std::wstring>{L"zebra"}));
    EXPECT_EQ(cloud->entries().count(), 5);
    EXPECT_EQ(cloud->tagAt(onApple), apple);
    EXPECT_EQ(recorder.count, 1);
}

TEST_F(TagCloudTest, SelectedTagIsDrawnInTheSelectedColour)
{
    const Colour red(255, 0, 0);
    model.setSelectedForeground(Pen(red));
    select({zebra});
    const Bitmap pixels = cloud->backBuffer()->toBitmap(false);
    const auto redPixelsIn = [&](const Rect& r) {
        int count = 0;
        for (int y = r.y; y < r.bottom(); ++y) {
            for (int x = r.x; x < r.right(); ++x)
                count += pixels.pixel(x, y) == red ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(redPixelsIn(zebra->cloudRect()), 0);
    EXPECT_EQ(redPixelsIn(apple->cloudRect()), 0);
}

TEST_F(TagCloudTest, BackgroundImageFollowsTheModelsPath)
{
    const String image = tree.file(L"back.png");
    ASSERT_TRUE(Bitmap(6, 4, false).save(image, true));
    const String paths[] = {image, tree.file(L"missing.png"), tree.writeFile(L"broken.png", Bytes{1, 2, 3})};
    const int widths[] = {6, 0, 0};
    for (int i = 0; i < 3; ++i) {
        model.setBackgroundImagePath(paths[i]);
        cloud->reloadBackground();
        EXPECT_EQ(cloud->backgroundImage().width(), widths[i]) << wide(paths[i]);
    }
}

// The words' rectangles, in entry order.
std::vector<Rect> rectsOf(const UITagCloud& cloud)
{
    std::vector<Rect> rects;
    for (const CloudEntry& entry : cloud.entries())
        rects.push_back(entry.tag->cloudRect());
    return rects;
}

// The pixels of the area; the alpha bytes are left out, since text
// drawing leaves them as the buffer's last use had them.
std::vector<Colour> pixelsIn(const Bitmap& bitmap, const Rect& area)
{
    std::vector<Colour> pixels;
    for (int y = area.y; y < area.bottom(); ++y) {
        for (int x = area.x; x < area.right(); ++x) {
            Colour pixel = bitmap.pixel(x, y);
            pixel.setAlpha(255);
            pixels.push_back(pixel);
        }
    }
    return pixels;
}

// The drawn cloud, read back from its buffer.
std::vector<Colour> pixelsOf(const UITagCloud& cloud)
{
    return pixelsIn(cloud.backBuffer()->toBitmap(false), cloud.rect());
}

// The cloud as its window shows it.
std::vector<Colour> shownPixelsOf(const UITagCloud& cloud)
{
    const Point at = cloud.mapToWindow(Point());
    const Rect area(at.x, at.y, cloud.width(), cloud.height());
    return pixelsIn(cloud.topLevelWidget()->windowSurface()->toBitmap(false), area);
}

// Words keep their measured size, and the entries and words their places,
// across reloads: after each change the cloud must list, place and draw
// its words as a new cloud, which builds all anew, does. (A change of face
// cannot show here: Wine measures every face alike.)
TEST_F(TagCloudTest, KeptWordsFollowRenamesFontsAndTheShownTags)
{
    struct Row {
        const char* change;
        std::function<void()> apply;
    };
    const Row rows[] = {
        {"a renamed tag", [this] { apple->setName(L"apple with a much longer name"); }},
        {"a tag used more", [this] { model.setTagUsage(apple, 9); }},
        {"a smaller font size", [this] { model.setFontMinimumSize(6.0f); }},
        {"a new tag", [this] { tag(L"mango", 5); }},
        {"a hidden tag", [this] { apple->clearFlags(Tag::Shown); }},
        {"a tag shown again", [this] { apple->setFlags(Tag::Shown); }},
        {"a deleted tag", [this] { model.removeTag(std::exchange(zebra, nullptr)); }},
    };
    // A pointer an earlier test left over the cloud would underline a word.
    SetCursorPos(1200, 1000);
    forEachRow(rows, [this](const Row& row) {
        const std::vector<Rect> before = rectsOf(*cloud);
        row.apply();
        cloud->reload();
        const std::vector<Rect> kept = rectsOf(*cloud);
        const std::vector<std::wstring> names = namesOf(cloud->entries());
        const std::vector<Colour> drawn = pixelsOf(*cloud);
        ASSERT_NE(kept, before) << "the change must move some word";
        UITagCloud fresh(&window);
        fresh.setGeometry(cloud->geometry());
        fresh.show();
        fresh.reload();
        EXPECT_EQ(kept, rectsOf(fresh));
        EXPECT_EQ(names, namesOf(fresh.entries()));
        EXPECT_TRUE(drawn == pixelsOf(fresh)) << "the kept words must draw as new ones";

        cloud->reload();
    });
}

// A stretched image is resampled once per size and image; a resize or
// another image must not show the previous one.
TEST_F(TagCloudTest, StretchedBackgroundFollowsSizeAndImage)
{
    const Colour red(255, 0, 0), blue(0, 0, 255), green(0, 255, 0);
    const auto image = [](Colour left, Colour right) {
        Bitmap image(2, 1, false);
        image.setPixel(0, 0, left);
        image.setPixel(1, 0, right);
        return image;
    };
    const auto pixelAt = [this](int x) { return cloud->backBuffer()->toBitmap(false).pixel(x, 1); };
    stretchBackground(L"red-blue.png", image(red, blue));
    EXPECT_EQ(pixelAt(150), red);
    EXPECT_EQ(pixelAt(250), blue);

    cloud->setGeometry(0, 0, 200, 300);
    cloud->repaint();
    EXPECT_EQ(pixelAt(50), red);
    EXPECT_EQ(pixelAt(150), blue);

    stretchBackground(L"green.png", image(green, green));
    EXPECT_EQ(pixelAt(50), green);
}

TEST_F(TagCloudTest, WheelScrollsATallCloudNoFurtherThanItsRows)
{
    Tag* middle = nullptr;
    for (int i = 0; i < 300; ++i) {
        Tag* made = tag(String::number(i), i % 20);
        middle = i == 150 ? made : middle;
    }
    cloud->reload();
    turnWheel(-120, 1);
    const int offset = cloud->scrollOffset();
    ASSERT_GT(offset, 0);
    const Point centre = middle->cloudRect().center();
    EXPECT_EQ(cloud->tagAt({centre.x, centre.y - offset}), middle);

    turnWheel(-120, 300);
    const Rect last = cloud->entries().last()->value.tag->cloudRect();
    EXPECT_LE(last.bottom() - cloud->scrollOffset(), cloud->height());
    EXPECT_GT(last.bottom() - cloud->scrollOffset(), cloud->height() / 2);
    turnWheel(120, 300);
    EXPECT_EQ(cloud->scrollOffset(), 0);
}

// The underline moves from word to word: only the word it leaves and the
// word it reaches are painted, and a move within a word paints nothing.
TEST_F(TagCloudTest, HoverPaintsOnlyTheWordsItLeavesAndReaches)
{
    const auto paintedOnly = [this](std::vector<const Tag*> words) {
        ASSERT_EQ(cloud->painted.size(), words.size());
        for (std::size_t i = 0; i < words.size(); ++i) {
            EXPECT_TRUE(cloud->painted[i].contains(words[i]->cloudRect())) << i;
            for (const CloudEntry& entry : cloud->entries()) {
                if (entry.tag != words[i]) {
                    EXPECT_FALSE(cloud->painted[i].intersects(entry.tag->cloudRect())) << wide(entry.tag->name());
                }
            }
        }
        cloud->painted.clear();
    };
    moveTo(zebra->cloudRect().center());
    cloud->painted.clear();
    moveTo(apple->cloudRect().center());
    paintedOnly({zebra, apple});
    const Point onApple = apple->cloudRect().center();
    moveTo(Point(onApple.x + 1, onApple.y + 1));
    paintedOnly({});
    moveTo(Point(1, 1));
    paintedOnly({apple});
}

// A reload after the pointer left a word, before the move message came,
// must take the underline away: the reload finds the word under the
// pointer itself.
TEST_F(TagCloudTest, AReloadDropsTheUnderlineOfAWordThePointerHasLeft)
{
    moveTo(Point(1, 1));
    const std::vector<Colour> plain = shownPixelsOf(*cloud);
    moveTo(zebra->cloudRect().center());
    ASSERT_NE(shownPixelsOf(*cloud), plain);
    const Point away = cloud->mapToGlobal(Point(1, 1));
    SetCursorPos(away.x, away.y);
    cloud->reload();
    EXPECT_TRUE(shownPixelsOf(*cloud) == plain);
}

// After each step of real pointer moves, clicks and reloads the window
// shows what a full repaint then draws; the steps that leave the words in
// place paint less than the whole cloud. (The cloud's buffer is scratch
// outside the area of its last paint.) Weighed by item count, the words
// keep their sizes when a click counts a use.
TEST_F(TagCloudTest, PartialRepaintsShowWhatAFullRepaintShows)
{
    struct Row {
        const char* step;
        std::function<void()> apply;
        bool wholeCloud;
    };
    const auto renamed = [this](Tag* tag, const wchar_t* name) {
        return [this, tag, name] {
            tag->setName(name);
            cloud->reload();
        };
    };
    // The numbered tags of the tall cloud leave the shown ones.
    const auto hideTallTags = [this] {
        EXPECT_GT(cloud->scrollOffset(), 0);
        for (const CloudEntry& entry : cloud->entries()) {
            if (entry.tag->name().at(0) >= L'0' && entry.tag->name().at(0) <= L'9')
                entry.tag->clearFlags(Tag::Shown);
        }
        cloud->reload();
        EXPECT_EQ(cloud->scrollOffset(), 0);
    };
    const auto stretchImage = [this] {
        Bitmap image(2, 2, false);
        image.fill(Colour(255, 0, 0));
        image.setPixel(1, 1, Colour(0, 0, 255));
        stretchBackground(L"back.png", image);
    };
    const Row rows[] = {
        {"the pointer onto zebra", [this] { moveTo(zebra->cloudRect().center()); }, false},
        {"the pointer onto apple", [this] { moveTo(apple->cloudRect().center()); }, false},
        {"the pointer off the words", [this] { moveTo(Point(1, 1)); }, false},
        {"a click selecting zebra", [this] { click(zebra); }, false},
        {"a click selecting apple too", [this] { click(apple); }, false},
        {"a click deselecting zebra", [this] { click(zebra); }, false},
        {"a tag renamed alike in size", [this] { apple->setName(L"elppa"); cloud->reload(); }, false},
        {"another background colour", [this] { model.setBackground(Brush(Colour(30, 160, 40))); cloud->reload(); }, true},
        {"a stretched background image", stretchImage, true},
        {"the pointer over the image onto apple", [this] { moveTo(apple->cloudRect().center()); }, false},
        {"a click deselecting apple", [this] { click(apple); }, false},
        {"words whose glyphs reach left of their boxes", renamed(apple, L"\u0192jJ"), true},
        {"a click selecting such a word", [this] { click(apple); }, false},
        {"the pointer off such a word", [this] { moveTo(Point(1, 1)); }, false},
        // An italic face of the system's fonts, which this Wine finds.
        {"an italic face", [this] { model.setFontFamily(L"DejaVu Serif Italic"); cloud->reload(); }, true},
        {"the pointer onto an italic word", [this] { moveTo(zebra->cloudRect().center()); }, false},
        {"a click selecting an italic word", [this] { click(zebra); }, false},
        {"a tall cloud", [this] { for (int i = 0; i < 300; ++i) tag(String::number(i), i % 20); cloud->reload(); }, true},
        {"the wheel at the cloud's end", [this] { turnWheel(-120, 300); }, true},
        {"a reload that scrolls back up", hideTallTags, true},
        {"a click that sorts the words anew", [this] { model.setSortMode(CloudOrder::ByName); click(zebra); }, true},
    };
    model.setWeightMethod(CloudMetrics::ByItemCount);
    cloud->reload();
    forEachRow(rows, [this](const Row& row) {
        cloud->painted.clear();
        row.apply();
        ASSERT_FALSE(cloud->painted.empty());
        const bool whole = std::find(cloud->painted.begin(), cloud->painted.end(), cloud->rect()) != cloud->painted.end();
        EXPECT_EQ(whole, row.wholeCloud) << row.step;
        const std::vector<Colour> shown = shownPixelsOf(*cloud);
        cloud->repaint();
        EXPECT_TRUE(shown == shownPixelsOf(*cloud)) << row.step;
    });
}

} // namespace
