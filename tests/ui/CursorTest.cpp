#include "ui/Cursor.h"

#include "foundation/DataPack.h"

#include "devkit/Bytes.h"
#include "tests/support/RowTable.h"
#include "tests/support/TempFolder.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A "cursors" folder of a pack, made from files written to disk.
class CursorPack {
public:
    CursorPack() { UIManager::instance(); }

    void addImage(const wchar_t* name, int size)
    {
        Bitmap image(size, size, true);
        image.fill(Colour(255, 200, 40, 40));
        const String path = folder.file(name);
        ASSERT_TRUE(image.save(path, true));
        add(path, name);
    }
    void addBytes(const wchar_t* name, const std::string& bytes)
    {
        add(folder.writeFile(name, Bytes(bytes.begin(), bytes.end())), name);
    }

    DataPack pack;

private:
    void add(const String& path, const wchar_t* name) { ASSERT_TRUE(pack.addFile(path, L"cursors", name)); }

    TempFolder folder;
};

const char* const description = R"(<?xml version="1.0" encoding="UTF-8"?>
<data><cursors>
  <cursor name="split_top_bottom" hotspotX="16" hotspotY="16"/>
  <cursor name="target" hotspotX="24" hotspotY="12"/>
  <cursor name="lens" hotspotX="1" hotspotY="1"/>
  <cursor name="hand" hotspotX="1" hotspotY="1"/>
  <cursor name="pipette" hotspotX="40" hotspotY="1"/>
  <cursor name="empty" hotspotX="0" hotspotY="0"/>
  <cursor name="no_such_cursor" hotspotX="0" hotspotY="0"/>
</cursors></data>)";

Point hotSpotOf(void* cursor)
{
    int x = -1;
    int y = -1;
    Bitmap::fromCursor(static_cast<IconHandle>(cursor), &x, &y);
    return Point(x, y);
}

class CursorSetTest : public WidgetTest {
protected:
    void SetUp() override
    {
        systemSize = GetSystemMetrics(SM_CXCURSOR);
        arrow = LoadCursorW(nullptr, IDC_ARROW);
    }

    int systemSize = 0;
    void* arrow = nullptr;
};

TEST_F(CursorSetTest, ImagesBecomeCursorsAndBrokenOnesShowTheArrow)
{
    CursorPack files;
    files.addBytes(L"cursors.xml", description);
    files.addImage(L"split_top_bottom.png", systemSize);
    files.addImage(L"target.png", systemSize * 3 / 2);
    files.addBytes(L"hand.png", "not an image");
    files.addImage(L"pipette.png", systemSize);
    CursorSet cursors;
    cursors.build(&files.pack);

    struct Row {
        std::uint32_t shape;
        enum { Own, Arrow, None } kind;
        Point hotSpot;
    };
    const std::vector<Row> rows = {
        {CursorSplitTopBottom, Row::Own, Point(16, 16)},
        // Scaled to the system's size, the hot spot with it.
        {CursorTarget, Row::Own, Point(16, 8)},
        // Missing, undecodable, a hot spot outside the image, not described.
        {CursorLens, Row::Arrow, Point()},
        {CursorHand, Row::Arrow, Point()},
        {CursorPipette, Row::Arrow, Point()},
        {CursorLensMinus, Row::Arrow, Point()},
        {CursorEmpty, Row::None, Point()},
        {26, Row::Arrow, Point()},
        {0, Row::None, Point()},
        {99, Row::None, Point()},
    };
    forEachRow(rows, [&](const Row& row) {
        void* handle = cursors.handle(row.shape);
        switch (row.kind) {
        case Row::Own:
            ASSERT_NE(handle, nullptr);
            EXPECT_NE(handle, arrow);
            EXPECT_EQ(cursors.shapeOf(handle), row.shape);
            EXPECT_EQ(hotSpotOf(handle), row.hotSpot);
            break;
        case Row::Arrow:
            EXPECT_EQ(handle, arrow);
            break;
        case Row::None:
            EXPECT_EQ(handle, nullptr);
            break;
        }
    });
    // An unknown name stands for the arrow, whose system cursor comes first.
    EXPECT_EQ(cursors.shapeOf(arrow), std::uint32_t(CursorArrow));
    EXPECT_TRUE(cursors.isSystem(CursorArrow));
    EXPECT_FALSE(cursors.isSystem(CursorSplitTopBottom));
}

// Images are decoded at their shape's first lookup, which may come after
// the pack is gone; later lookups give the same cursor.
TEST_F(CursorSetTest, ImagesDecodedAtTheFirstLookupOutliveThePack)
{
    CursorSet cursors;
    {
        CursorPack files;
        files.addBytes(L"cursors.xml", description);
        files.addImage(L"split_top_bottom.png", systemSize);
        files.addBytes(L"hand.png", "not an image");
        cursors.build(&files.pack);
    }
    void* split = cursors.handle(CursorSplitTopBottom);
    ASSERT_NE(split, nullptr);
    EXPECT_NE(split, arrow);
    EXPECT_EQ(hotSpotOf(split), Point(16, 16));
    EXPECT_EQ(cursors.handle(CursorSplitTopBottom), split);
    EXPECT_EQ(cursors.handle(CursorHand), arrow);
    EXPECT_EQ(cursors.handle(CursorEmpty), nullptr);
    EXPECT_EQ(cursors.shapeOf(split), std::uint32_t(CursorSplitTopBottom));
}

TEST_F(CursorSetTest, UnreadableDescriptionLeavesTheSystemCursors)
{
    for (const char* text : {"plain text", "<?xml version=\"1.0\"?><data><cursors>", "<?xml version=\"1.0\"?><data/>"}) {
        SCOPED_TRACE(text);
        CursorPack files;
        files.addBytes(L"cursors.xml", text);
        files.addImage(L"target.png", systemSize);
        CursorSet cursors;
        cursors.build(&files.pack);
        CursorSet systemOnly;
        systemOnly.build(nullptr);
        EXPECT_EQ(cursors.count(), systemOnly.count());
        EXPECT_EQ(cursors.handle(CursorTarget), arrow);
    }
}

// The pack the build makes from resources/data, beside the test programs'
// folder: every image cursor of the table has its own picture.
TEST_F(CursorSetTest, BuiltDataPackDrawsEveryCursorAndBothIcons)
{
    DataPack pack;
    ASSERT_TRUE(pack.openFile(Application::instance()->applicationDirectory() + L"\\..\\data.pak"));
    CursorSet cursors;
    cursors.build(&pack);
    for (std::uint32_t shape = CursorHand; shape < CursorEmpty; ++shape) {
        if (shape >= CursorSizeVertical && shape <= CursorSizeAll)
            continue;
        SCOPED_TRACE(shape);
        EXPECT_NE(cursors.handle(shape), arrow);
        EXPECT_FALSE(cursors.isSystem(shape));
    }
    EXPECT_NE(cursors.handle(CursorEmpty), nullptr);
    for (const wchar_t* name : {L"window_icon_small.png", L"window_icon_big.png"}) {
        const PackFile* file = pack.findFile(L"images", name);
        ASSERT_NE(file, nullptr);
        const Bitmap icon = Bitmap::fromData(file->data(), file->size(), L"png");
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(icon.width(), icon.height());
    }
}

TEST_F(CursorSetTest, CurrentNamesTheShapeShownOverOwnWindow)
{
    RecordingWidget window(nullptr, Colour(255, 255, 255), quickWindow);
    showAt(window, 0, 0, 200, 200);
    const Point inside = window.mapToGlobal(Point(100, 100));
    SetCursorPos(inside.x, inside.y);
    for (std::uint32_t shape : {CursorWait, CursorSizeAll, CursorArrow}) {
        SCOPED_TRACE(shape);
        Cursor(shape).apply();
        EXPECT_EQ(Cursor::current().shape(), shape);
    }
}

TEST_F(CursorSetTest, ShapeZeroIsNeverApplied)
{
    Cursor(CursorWait).apply();
    Cursor(0).apply();
    EXPECT_EQ(GetCursor(), Cursor::handle(CursorWait));
    Cursor(CursorArrow).apply();
}

} // namespace
