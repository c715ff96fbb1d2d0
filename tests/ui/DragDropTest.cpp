#include "ui/OleDragDrop.h"
#include "ui/TransferFormats.h"
#include "ui/UIDragManager.h"

#include "tests/support/RowTable.h"
#include "tests/support/StringPrinting.h"
#include "tests/ui/WindowTesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using DragLog = std::vector<std::pair<char, int>>;

// Takes drops and logs its drag events under its name; it accepts every
// enter event, and move events as the test says.
class DragWidget : public RecordingWidget {
public:
    DragWidget(UIWidget* parent, char name, DragLog& log, Rect geometry)
        : RecordingWidget(parent, Colour(200, 220, 240)), name(name), log(log)
    {
        move(geometry.x, geometry.y);
        resize(geometry.width, geometry.height);
        setDropEnabled(true);
        show();
    }

    char name;
    DragLog& log;
    bool acceptMove = true;
    std::uint32_t pickAction = 0;
    String droppedText;
    Point droppedPos;
    std::uint32_t droppedAction = 0;
    UIWidget* droppedSource = nullptr;

protected:
    void dragEnterEvent(UIDragEvent* e) override { answer(e, true); }
    void dragMoveEvent(UIDragEvent* e) override { answer(e, acceptMove); }
    void dragLeaveEvent(UIDragEvent* e) override { log.emplace_back(name, e->type()); }
    void dropEvent(UIDragEvent* e) override
    {
        log.emplace_back(name, e->type());
        droppedText = e->currentDragData().text();
        droppedPos = e->pos();
        droppedAction = e->action();
        droppedSource = e->source();
    }

private:
    void answer(UIDragEvent* e, bool accept)
    {
        log.emplace_back(name, e->type());
        if (pickAction)
            e->acceptAction(pickAction);
        e->setAccepted(accept);
    }
};

class DragDrop : public WidgetTest {
protected:
    void SetUp() override
    {
        showAt(window, 40, 40, 200, 100);
        a = new DragWidget(&window, 'A', log, Rect(10, 10, 50, 50));
        b = new DragWidget(&window, 'B', log, Rect(100, 10, 50, 50));
        pumpPending();
        target = new DropTarget(&window, hwndOf(&window));
        MimeData data;
        data.setText(L"dropped text");
        renderDragData(dataObject, data);
    }
    void TearDown() override
    {
        target->Release();
        dataObject->Release();
        UIDragManager::instance().setReceiver(nullptr);
        UIDragManager::instance().reset();
        WidgetTest::TearDown();
    }

    static POINTL centreOf(const UIWidget* widget) { return pointOf(widget, Point(25, 25)); }
    static POINTL pointOf(const UIWidget* widget, Point local)
    {
        const Point global = widget->mapToGlobal(local);
        return POINTL{global.x, global.y};
    }

    void enter(DWORD offered = DROPEFFECT_COPY)
    {
        DWORD effect = offered;
        EXPECT_EQ(target->DragEnter(dataObject, MK_LBUTTON, centreOf(a), &effect), S_OK);
        EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE)) << "widgets hear of the drag from the first DragOver";
    }
    DWORD over(const UIWidget* widget, DWORD offered = DROPEFFECT_COPY)
    {
        DWORD effect = offered;
        EXPECT_EQ(target->DragOver(MK_LBUTTON, centreOf(widget), &effect), S_OK);
        return effect;
    }
    DWORD drop(const UIWidget* widget, DWORD keyState = 0)
    {
        DWORD effect = DROPEFFECT_COPY;
        EXPECT_EQ(target->Drop(dataObject, keyState, centreOf(widget), &effect), S_OK);
        return effect;
    }
    long dropsSeen() const
    {
        return std::count_if(log.begin(), log.end(), [](const auto& entry) { return entry.second == DropEventType; });
    }

    RecordingWidget window{nullptr, Colour(250, 250, 250), quickWindow};
    DragWidget* a = nullptr;
    DragWidget* b = nullptr;
    DragLog log;
    DropTarget* target = nullptr;
    DataObject* dataObject = new DataObject;
};

} // namespace

TEST_F(DragDrop, MovingFromOneWidgetToAnotherLeavesBeforeEntering)
{
    enter();
    EXPECT_EQ(UIDragManager::instance().mimeData().text(), String(L"dropped text"));
    EXPECT_EQ(over(a), DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(over(b), DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(target->DragLeave(), S_OK);
    const DragLog expected = {{'A', DragEnterEventType}, {'A', DragMoveEventType}, {'A', DragLeaveEventType},
                              {'B', DragEnterEventType}, {'B', DragMoveEventType}, {'B', DragLeaveEventType}};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(UIDragManager::instance().pos(), Point(25, 25));
}

TEST_F(DragDrop, ProposedActionFollowsTheOffer)
{
    struct Row {
        DWORD offered;
        std::uint32_t pick;
        bool acceptMove;
        DWORD effect;
    };
    const Row rows[] = {
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, 0, true, DROPEFFECT_COPY},
        {DROPEFFECT_MOVE | DROPEFFECT_LINK, 0, true, DROPEFFECT_MOVE},
        {DROPEFFECT_LINK, 0, true, DROPEFFECT_LINK},
        {DROPEFFECT_COPY | DROPEFFECT_MOVE, DropMove, true, DROPEFFECT_MOVE},
        {DROPEFFECT_COPY, DropMove, true, DROPEFFECT_COPY},
        {DROPEFFECT_NONE, 0, true, DROPEFFECT_NONE},
        {DROPEFFECT_COPY, 0, false, DROPEFFECT_NONE}, // enter accepted, move not
    };
    forEachRow(rows, [&](const Row& row) {
        a->pickAction = row.pick;
        a->acceptMove = row.acceptMove;
        enter(row.offered);
        EXPECT_EQ(over(a, row.offered), row.effect);
        target->DragLeave();
    });
}

TEST_F(DragDrop, WidgetsThatTakeNoDropsGetNoEvents)
{
    b->setDropEnabled(false);
    a->disable();
    enter();
    EXPECT_EQ(over(a), DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(over(b), DWORD(DROPEFFECT_NONE));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragOver(0, pointOf(&window, Point(80, 80)), &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE)) << "the window itself is never a candidate";
    target->DragLeave();
    EXPECT_TRUE(log.empty());

    b->setDropEnabled(true);
    EnableWindow(hwndOf(&window), FALSE);
    enter();
    EXPECT_TRUE(UIDragManager::instance().mimeData().isEmpty()) << "a disabled window reads no data";
    EXPECT_EQ(over(b), DWORD(DROPEFFECT_NONE));
    target->DragLeave();
    EnableWindow(hwndOf(&window), TRUE);
}

// The drop answered the last DragOver's action even when no widget took
// it, which tells a moving source to delete what nobody received.
TEST_F(DragDrop, DropOnAWidgetThatTakesNoDropsReportsNoEffect)
{
    enter();
    over(a);
    a->setDropEnabled(false);
    EXPECT_EQ(drop(a), DWORD(DROPEFFECT_NONE));
    pumpUntil([] { return false; }, 60);
    EXPECT_EQ(dropsSeen(), 0);
}

TEST_F(DragDrop, AcceptedDropArrivesShortlyAfterWithItsData)
{
    enter();
    over(b);
    const ULONGLONG dropped = GetTickCount64();
    EXPECT_EQ(drop(b, MK_SHIFT | 0x20), DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(dropsSeen(), 0) << "the drop waits until the drop call has returned";
    ASSERT_TRUE(pumpUntil([&] { return dropsSeen() == 1; }, 2000));
    EXPECT_GE(GetTickCount64() - dropped, 5u);
    EXPECT_EQ(log.back(), std::make_pair('B', int(DropEventType)));
    EXPECT_EQ(b->droppedText, String(L"dropped text"));
    EXPECT_EQ(b->droppedPos, Point(25, 25));
    EXPECT_EQ(b->droppedAction, std::uint32_t(DropCopy));
    EXPECT_EQ(UIDragManager::instance().modifiers(), std::uint32_t(ShiftModifier | AltModifier));
    EXPECT_EQ(UIDragManager::instance().target(), b);
}

// A timer left running kept re-sending the drop.
TEST_F(DragDrop, ArmingTwiceGivesOneDrop)
{
    UIDragManager& manager = UIDragManager::instance();
    manager.armDrop(a);
    manager.armDrop(b);
    ASSERT_TRUE(pumpUntil([&] { return dropsSeen() == 1; }, 2000));
    pumpUntil([] { return false; }, 80);
    EXPECT_EQ(log, (DragLog{{'B', DropEventType}}));
    EXPECT_FALSE(manager.isDropPending());
}

// A destroyed widget stayed the manager's source, receiver and target.
TEST_F(DragDrop, DestroyedWidgetsAreForgotten)
{
    UIDragManager& manager = UIDragManager::instance();
    enter();
    over(a);
    UIDrag drag(a);
    manager.armDrop(a);
    delete a;
    a = nullptr;
    EXPECT_EQ(manager.source(), nullptr);
    EXPECT_EQ(manager.receiver(), nullptr);
    EXPECT_EQ(manager.target(), nullptr);
    EXPECT_FALSE(manager.isDropPending());
    target->DragLeave();
}

TEST_F(DragDrop, EveryShownWindowIsRegistered)
{
    EXPECT_EQ(RegisterDragDrop(hwndOf(&window), target), DRAGDROP_E_ALREADYREGISTERED);
    DWORD effect = 0;
    EXPECT_EQ(target->DragEnter(nullptr, 0, POINTL{}, &effect), E_INVALIDARG);
    EXPECT_EQ(target->Drop(dataObject, 0, POINTL{}, nullptr), E_INVALIDARG);
}

void sendLeftButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

// Lets go of the button from inside the drag loop.
void CALLBACK releaseLeftButton(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    sendLeftButton(MOUSEEVENTF_LEFTUP);
}

// An in-program drag lost its source at DragEnter, and reset the manager
// as soon as the drag loop ended, before the drop it had armed arrived.
TEST_F(DragDrop, OutgoingDragDropsOnOwnWindow)
{
    UIDragManager& manager = UIDragManager::instance();
    b->setDragEnabled(true);
    MimeData data;
    data.setText(L"outgoing");
    manager.setMimeData(data);
    UIDrag drag(b);
    Bitmap image(32, 32, true);
    image.fill(Colour(128, 40, 90, 200));
    drag.setImage(image);
    drag.setHotSpot(Point(-1, 5));
    const POINTL at = centreOf(a);
    setCursorPosition(Point(at.x, at.y));
    sendLeftButton(MOUSEEVENTF_LEFTDOWN);
    pumpUntil([] { return GetKeyState(VK_LBUTTON) < 0; }, 1000);
    SetTimer(nullptr, 0, 200, releaseLeftButton);
    EXPECT_EQ(drag.exec(DropCopy | DropMove), std::uint32_t(DropCopy));
    ASSERT_TRUE(pumpUntil([&] { return dropsSeen() == 1; }, 2000));
    EXPECT_EQ(a->droppedText, String(L"outgoing"));
    EXPECT_EQ(a->droppedSource, b);
}

TEST_F(DragDrop, OutgoingDragNeedsSourceDataAndActions)
{
    UIDragManager& manager = UIDragManager::instance();
    MimeData data;
    data.setText(L"x");
    manager.setMimeData(data);
    EXPECT_EQ(startDrag(nullptr, DropCopy), 0u);
    UIDrag drag(a);
    EXPECT_EQ(drag.exec(DropCopy), 0u) << "the source may not start drags";
    a->setDragEnabled(true);
    EXPECT_EQ(drag.exec(0), 0u);
    manager.mimeData().clear();
    EXPECT_EQ(drag.exec(DropCopy), 0u);
}

TEST(DragSourceRules, QueryContinueDrag)
{
    struct Row {
        BOOL escape;
        DWORD keyState;
        HRESULT answer;
    };
    const Row rows[] = {
        {FALSE, MK_LBUTTON, S_OK},
        {FALSE, MK_LBUTTON | 0x20, S_OK}, // Alt is a key, not an extra button
        {FALSE, MK_LBUTTON | MK_SHIFT | MK_CONTROL, S_OK},
        {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON | MK_MBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON | 0x40, DRAGDROP_S_CANCEL},
        {FALSE, 0, DRAGDROP_S_DROP},
        {FALSE, 0x20, DRAGDROP_S_DROP},
    };
    auto* source = new DropSource;
    source->setButtons(MK_LBUTTON, MK_RBUTTON);
    forEachRow(rows,
               [&](const Row& row) { EXPECT_EQ(source->QueryContinueDrag(row.escape, row.keyState), row.answer); });
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE | DROPEFFECT_LINK), DRAGDROP_S_USEDEFAULTCURSORS);
    EXPECT_EQ(source->lastEffect(), std::uint32_t(DropMove));
    source->setCursor(DropMove, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE), S_OK);
    source->Release();
}

TEST(DragSourceRules, KeyStateConversions)
{
    EXPECT_EQ(modifiersOfKeyState(MK_SHIFT | MK_CONTROL | 0x20),
              std::uint32_t(ShiftModifier | ControlModifier | AltModifier));
    EXPECT_EQ(dragButtonsOfKeyState(0x20), 0u) << "0x20 is Alt in OLE's key state";
    EXPECT_EQ(dragButtonsOfKeyState(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | 0x40), 15u);
    EXPECT_EQ(singleDropAction(DropCopy | DropLink), std::uint32_t(DropCopy));
    EXPECT_EQ(singleDropAction(8), 0u);
}

TEST(DragSourceRules, DragImageOffset)
{
    struct Row {
        Point hotSpot;
        Point offset;
    };
    const Row rows[] = {{Point(-1, 5), Point(16, 5)}, {Point(31, 0), Point(31, 0)}, {Point(32, 40), Point(16, 16)}};
    forEachRow(rows, [](const Row& row) { EXPECT_EQ(dragImageOffset(Size(32, 32), row.hotSpot), row.offset); });
}

TEST_F(DragDrop, DataObjectContracts)
{
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(dataObject->QueryInterface(IID_IDataObject, nullptr), E_POINTER);
    EXPECT_EQ(dataObject->QueryInterface(IID_IDropTarget, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    FORMATETC text = {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    FORMATETC dib = {CF_DIB, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    struct Row {
        FORMATETC format;
        HRESULT answer;
    };
    const Row rows[] = {{text, S_OK},
                        {dib, DV_E_CLIPFORMAT},
                        {{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM}, DV_E_TYMED},
                        {{CF_UNICODETEXT, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, DV_E_DVASPECT}};
    forEachRow(rows, [&](Row row) { EXPECT_EQ(dataObject->QueryGetData(&row.format), row.answer); });

    STGMEDIUM medium;
    EXPECT_EQ(dataObject->GetData(&dib, &medium), DV_E_FORMATETC);
    ASSERT_EQ(dataObject->GetData(&text, &medium), S_OK);
    const ByteArray held = bytesOfGlobalBlock(medium.hGlobal);
    EXPECT_EQ(textFromBlock(held.data(), std::size_t(held.size())), std::optional<String>(L"dropped text"));
    ReleaseStgMedium(&medium);
    // Without release the data object keeps a copy; the caller frees its own.
    STGMEDIUM own = {TYMED_HGLOBAL, {nullptr}, nullptr};
    own.hGlobal = globalBlockOf(ByteArray(reinterpret_cast<const std::uint8_t*>("abcd"), 4));
    EXPECT_EQ(dataObject->SetData(&dib, &own, FALSE), S_OK);
    ReleaseStgMedium(&own);
    EXPECT_EQ(dataObject->QueryGetData(&dib), S_OK);

    IEnumFORMATETC* formats = nullptr;
    EXPECT_EQ(dataObject->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
    EXPECT_EQ(formats, nullptr);
    FORMATETC canonical = text;
    canonical.ptd = reinterpret_cast<DVTARGETDEVICE*>(&canonical);
    EXPECT_EQ(dataObject->GetCanonicalFormatEtc(&text, &canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(canonical.ptd, nullptr);
    EXPECT_EQ(dataObject->DAdvise(&text, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(dataObject->GetDataHere(&text, &medium), E_NOTIMPL);
    auto* empty = new DataObject;
    EXPECT_EQ(empty->QueryGetData(&text), DV_E_TYMED);
    empty->Release();
}

TEST(DragSourceRules, EnumeratorContracts)
{
    std::vector<FORMATETC> three(3);
    for (std::size_t i = 0; i < three.size(); ++i)
        three[i].cfFormat = CLIPFORMAT(i + 1);
    auto* formats = new EnumFormatEtc(three);
    FORMATETC got[3] = {};
    ULONG fetched = 7;
    EXPECT_EQ(formats->Next(0, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(formats->Next(2, got, nullptr), S_FALSE) << "a count above 1 needs the fetched count";
    EXPECT_EQ(formats->Next(2, got, &fetched), S_OK);
    IEnumFORMATETC* clone = nullptr;
    ASSERT_EQ(formats->Clone(&clone), S_OK);
    EXPECT_EQ(formats->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(clone->Next(1, got, nullptr), S_OK) << "the clone starts where the original stood";
    EXPECT_EQ(got[0].cfFormat, 3);
    formats->Reset();
    EXPECT_EQ(formats->Skip(3), S_FALSE);
    EXPECT_EQ(formats->Skip(2), S_OK);
    clone->Release();
    formats->Release();
}
