#include "ui/Cursor.h"

#include "foundation/Application.h"
#include "foundation/DataPack.h"
#include "foundation/XmlDocument.h"
#include "foundation/XmlElement.h"
#include "ui/PlatformServices.h"
#include "ui/UIManager.h"

#include <windows.h>

#include <iterator>

namespace {

// The reserved shapes 26 to 28 show the arrow.
constexpr std::uint32_t firstReservedShape = 26;
constexpr std::uint32_t lastReservedShape = 28;

struct SystemCursor {
    std::uint32_t shape;
    const wchar_t* resource;
};

const SystemCursor systemCursors[] = {
    {CursorArrow, IDC_ARROW},
    {CursorCross, IDC_CROSS},
    {CursorWait, IDC_WAIT},
    {CursorIBeam, IDC_IBEAM},
    {CursorSizeVertical, IDC_SIZENS},
    {CursorSizeHorizontal, IDC_SIZEWE},
    {CursorSizeBDiagonal, IDC_SIZENESW},
    {CursorSizeFDiagonal, IDC_SIZENWSE},
    {CursorSizeAll, IDC_SIZEALL},
    {firstReservedShape, IDC_ARROW},
    {firstReservedShape + 1, IDC_ARROW},
    {lastReservedShape, IDC_ARROW},
};

struct NamedShape {
    const wchar_t* name;
    std::uint32_t shape;
};

const NamedShape imageShapes[] = {
    {L"hand", CursorHand},
    {L"hand_open", CursorHandOpen},
    {L"hand_close", CursorHandClose},
    {L"hand_finger", CursorHandFinger},
    {L"lens", CursorLens},
    {L"lens_plus", CursorLensPlus},
    {L"lens_minus", CursorLensMinus},
    {L"split_top_bottom", CursorSplitTopBottom},
    {L"split_left_right", CursorSplitLeftRight},
    {L"split_left", CursorSplitLeft},
    {L"split_right", CursorSplitRight},
    {L"split_top", CursorSplitTop},
    {L"split_bottom", CursorSplitBottom},
    {L"pipette", CursorPipette},
    {L"target", CursorTarget},
    {L"empty", CursorEmpty},
};

bool isImageShape(std::uint32_t shape)
{
    return shape >= CursorHand && shape <= CursorEmpty && !(shape >= CursorSizeVertical && shape <= CursorSizeAll);
}

HCURSOR systemArrow()
{
    return LoadCursorW(nullptr, IDC_ARROW);
}

const XmlElement* cursorList(const XmlDocument& document)
{
    const auto* top = document.root().children().first();
    return top ? top->value->child(L"cursors") : nullptr;
}

// The image made to the system's cursor size, the hot spot moved with it;
// the platform takes cursors of that size only.
HCURSOR cursorFromImage(const Bitmap& image, Point hotSpot)
{
    if (image.isNull())
        return nullptr;
    const int width = GetSystemMetrics(SM_CXCURSOR);
    const int height = GetSystemMetrics(SM_CYCURSOR);
    if (image.width() == width && image.height() == height)
        return reinterpret_cast<HCURSOR>(image.toCursor(hotSpot.x, hotSpot.y));
    const Bitmap scaled = image.scaled(width, height, 2);
    const int x = int(std::int64_t(hotSpot.x) * width / image.width());
    const int y = int(std::int64_t(hotSpot.y) * height / image.height());
    return reinterpret_cast<HCURSOR>(scaled.toCursor(x, y));
}

CursorSet& processCursors()
{
    static CursorSet cursors;
    if (cursors.isEmpty()) {
        Application* application = Application::instance();
        cursors.build(application ? application->findPack(L"data") : nullptr);
    }
    return cursors;
}

// Black at 100/255 of each pixel's alpha, blurred: the shadow the system
// draws under its cursors.
Bitmap withShadow(const Bitmap& image)
{
    constexpr int margin = 10;
    Bitmap shadow = image.copy();
    for (int y = 0; y < shadow.height(); ++y) {
        for (int x = 0; x < shadow.width(); ++x)
            shadow.setPixel(x, y, Colour(std::uint8_t(shadow.pixelAlpha(x, y) * 100 / 255), 0, 0, 0));
    }
    Bitmap result(image.width() + margin, image.height() + margin, true);
    result.fill(Colour(0, 0, 0, 0));
    result.drawBitmap(shadow, Point(margin / 2, margin / 2));
    result.gaussianBlur(3);
    result.drawBitmap(image, Point(0, 0));
    return result;
}

} // namespace

CursorSet::~CursorSet()
{
    for (const Entry& entry : m_entries) {
        if (entry.owned)
            DestroyCursor(static_cast<HCURSOR>(entry.handle));
    }
}

void CursorSet::build(const DataPack* pack)
{
    addSystemCursors();
    if (pack)
        addImageCursors(*pack);
}

void CursorSet::addSystemCursors()
{
    for (const SystemCursor& cursor : systemCursors)
        m_entries.append({cursor.shape, LoadCursorW(nullptr, cursor.resource), true, false, false, {}, {}});
}

void CursorSet::addImageCursors(const DataPack& pack)
{
    const PackFile* file = pack.findFile(L"cursors", L"cursors.xml");
    if (!file)
        return;
    XmlDocument document;
    if (!document.parse(String::fromBytes(file->data(), file->size(), 3)))
        return;
    const XmlElement* list = cursorList(document);
    if (!list)
        return;
    for (const XmlElement* element : list->children()) {
        const Point hotSpot(element->attribute(L"hotspotX").toInt(), element->attribute(L"hotspotY").toInt());
        addImageCursor(pack, element->attribute(L"name"), hotSpot);
    }
}

// The bytes are copied, so a lookup after the pack is gone still decodes.
void CursorSet::addImageCursor(const DataPack& pack, const String& name, Point hotSpot)
{
    Entry entry{shapeByName(name), nullptr, false, false, true, {}, hotSpot};
    if (const PackFile* file = pack.findFile(L"cursors", name + L".png"))
        entry.image.assign(file->data(), file->size());
    m_entries.append(entry);
}

void CursorSet::decode(Entry& entry)
{
    entry.pending = false;
    const Bitmap image =
        entry.image.isEmpty() ? Bitmap() : Bitmap::fromData(entry.image.data(), entry.image.size(), L"png");
    entry.image = ByteArray();
    if (HCURSOR cursor = cursorFromImage(image, entry.hotSpot)) {
        entry.handle = cursor;
        entry.owned = true;
        return;
    }
    // A broken image must not hide the pointer, unless hiding is its purpose.
    entry.handle = entry.shape == CursorEmpty ? nullptr : systemArrow();
}

const CursorSet::Entry* CursorSet::find(std::uint32_t shape) const
{
    for (const Entry& entry : m_entries) {
        if (entry.shape == shape)
            return &entry;
    }
    return nullptr;
}

void* CursorSet::handle(std::uint32_t shape)
{
    for (Entry& entry : m_entries) {
        if (entry.shape != shape)
            continue;
        if (entry.pending)
            decode(entry);
        return entry.handle;
    }
    if (isImageShape(shape) && shape != CursorEmpty)
        return systemArrow();
    return nullptr;
}

std::uint32_t CursorSet::shapeOf(const void* handle) const
{
    if (!handle)
        return 0;
    for (const Entry& entry : m_entries) {
        if (entry.handle == handle)
            return entry.shape;
    }
    return 0;
}

bool CursorSet::isSystem(std::uint32_t shape) const
{
    const Entry* entry = find(shape);
    return entry && entry->system;
}

std::uint32_t CursorSet::shapeByName(const String& name)
{
    for (const NamedShape& named : imageShapes) {
        if (name == named.name)
            return named.shape;
    }
    return CursorArrow;
}

void* Cursor::handle(std::uint32_t shape)
{
    return processCursors().handle(shape);
}

void Cursor::apply() const
{
    if (m_shape == 0)
        return;
    SetCursor(static_cast<HCURSOR>(handle(m_shape)));
}

Cursor Cursor::current()
{
    const std::uint32_t shape = processCursors().shapeOf(currentCursorHandle());
    return Cursor(shape ? shape : std::uint32_t(CursorArrow));
}

bool Cursor::isSystemShape(std::uint32_t shape)
{
    return shape != CursorIBeam && processCursors().isSystem(shape);
}

Bitmap Cursor::imageWithShadow() const
{
    const Bitmap image = Bitmap::fromCursor(static_cast<HICON>(currentCursorHandle()), nullptr, nullptr);
    if (image.isNull() || !isSystemShape(current().shape()) || !isCursorShadowEnabled())
        return image;
    return withShadow(image);
}

Size Cursor::size()
{
    return Size(16, 16);
}

void applyCursor(const Cursor& cursor)
{
    const int override = UIManager::instance()->overrideCursor();
    if (override != 0) {
        Cursor(std::uint32_t(override)).apply();
        return;
    }
    cursor.apply();
}
