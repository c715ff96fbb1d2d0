#include "ui/OleDragDrop.h"

#include "foundation/Dispatcher.h"
#include "ui/TransferFormats.h"
#include "ui/UIDragManager.h"
#include "ui/UIWidget.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace {

// The shell's drag-image helper object and its two interfaces.
const CLSID dragDropHelperClass = {0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
const IID dropTargetHelperInterface = {0x4657278B, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
const IID dragSourceHelperInterface = {0xDE5BF786, 0x477A, 0x11D2, {0x83, 0x9D, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};

// OLE's key state: MK_ALT is 0x20, where the window messages keep
// MK_XBUTTON1.
constexpr DWORD oleAltKey = 0x20;
constexpr DWORD oleExtraButton = 0x40;
constexpr DWORD allDropEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

UIDragManager& manager()
{
    return UIDragManager::instance();
}

Point screenPoint(POINTL point)
{
    return Point(point.x, point.y);
}

bool takesDrops(const UIWidget* widget)
{
    return widget && widget->isDropEnabled() && widget->isEnabled() && !manager().mimeData().isEmpty();
}

bool send(UIEvent& event, UIWidget* widget)
{
    return dispatcher() && dispatcher()->sendEvent(&event, widget);
}

struct KeyStateBit {
    DWORD keyState;
    std::uint32_t bit;
};

template <std::size_t n>
std::uint32_t translateKeyState(DWORD keyState, const KeyStateBit (&table)[n])
{
    std::uint32_t bits = 0;
    for (const KeyStateBit& row : table) {
        if (keyState & row.keyState)
            bits |= row.bit;
    }
    return bits;
}

} // namespace

std::uint32_t dragButtonsOfKeyState(DWORD keyState)
{
    static const KeyStateBit table[] = {{MK_LBUTTON, DragLeftButton},
                                        {MK_RBUTTON, DragRightButton},
                                        {MK_MBUTTON, DragMiddleButton},
                                        {oleExtraButton, DragExtraButton}};
    return translateKeyState(keyState, table);
}

std::uint32_t modifiersOfKeyState(DWORD keyState)
{
    static const KeyStateBit table[] = {
        {MK_SHIFT, ShiftModifier}, {MK_CONTROL, ControlModifier}, {oleAltKey, AltModifier}};
    return translateKeyState(keyState, table);
}

HRESULT registerDropTarget(UIWidget* owner, void* window, DropTarget*& slot, bool on)
{
    const auto handle = static_cast<HWND>(window);
    if (on == (slot != nullptr))
        return S_OK;
    if (!on) {
        RevokeDragDrop(handle);
        CoLockObjectExternal(slot, FALSE, FALSE);
        slot->Release();
        slot = nullptr;
        return S_OK;
    }
    auto* target = new DropTarget(owner, handle);
    CoLockObjectExternal(target, TRUE, FALSE);
    const HRESULT result = RegisterDragDrop(handle, target);
    if (FAILED(result)) {
        // Nothing to revoke later: the target goes now.
        CoLockObjectExternal(target, FALSE, FALSE);
        target->Release();
        return result;
    }
    slot = target;
    return result;
}

// ---- DropTarget ----

DropTarget::DropTarget(UIWidget* owner, HWND window) : m_owner(owner), m_window(window)
{
    CoCreateInstance(dragDropHelperClass, nullptr, CLSCTX_INPROC_SERVER, dropTargetHelperInterface,
                     reinterpret_cast<void**>(&m_helper));
}

DropTarget::~DropTarget()
{
    releaseData();
    if (m_helper)
        m_helper->Release();
}

void DropTarget::releaseData()
{
    if (m_data)
        m_data->Release();
    m_data = nullptr;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect)
{
    if (!data || !effect)
        return E_INVALIDARG;
    releaseData();
    data->AddRef();
    m_data = data;
    if (m_helper) {
        POINT at = {point.x, point.y};
        m_helper->DragEnter(m_window, data, &at, *effect);
    }
    // A drag this program started keeps its source widget.
    UIWidget* source = manager().isOutgoingDrag() ? manager().source() : nullptr;
    manager().reset();
    manager().setSource(source);
    if (IsWindowEnabled(m_window))
        readDroppedData(data, manager().mimeData());
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

UIWidget* DropTarget::candidateAt(POINTL point) const
{
    UIWidget* candidate = m_owner->childAt(m_owner->mapFromGlobal(screenPoint(point)));
    return takesDrops(candidate) ? candidate : nullptr;
}

void DropTarget::sendEnterOrMove(UIWidget* widget, int type, DWORD offered)
{
    const std::uint32_t allowed = offered & allDropEffects;
    manager().setAction(singleDropAction(allowed));
    UIDragEvent event(type, allowed);
    if (!send(event, widget))
        manager().setAction(NoDropAction);
}

void DropTarget::sendLeave()
{
    UIWidget* receiver = manager().receiver();
    if (!receiver)
        return;
    manager().setReceiver(nullptr);
    UIDragEvent leave(DragLeaveEventType);
    send(leave, receiver);
}

HRESULT DropTarget::DragOver(DWORD keyState, POINTL point, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    if (m_helper) {
        POINT at = {point.x, point.y};
        m_helper->DragOver(&at, *effect);
    }
    UIDragManager& drag = manager();
    UIWidget* candidate = candidateAt(point);
    drag.setMouseButtons(dragButtonsOfKeyState(keyState));
    drag.setModifiers(modifiersOfKeyState(keyState));
    if (candidate)
        drag.setPos(candidate->mapFromGlobal(screenPoint(point)));
    if (candidate != drag.receiver()) {
        if (drag.receiver()) {
            sendLeave();
            drag.setAction(NoDropAction);
        }
        if (candidate) {
            drag.setReceiver(candidate);
            sendEnterOrMove(candidate, DragEnterEventType, *effect);
        }
    }
    if (drag.receiver())
        sendEnterOrMove(drag.receiver(), DragMoveEventType, *effect);
    else
        drag.setAction(NoDropAction);
    *effect = drag.action();
    return S_OK;
}

HRESULT DropTarget::DragLeave()
{
    if (m_helper)
        m_helper->DragLeave();
    sendLeave();
    releaseData();
    return S_OK;
}

// A drop that no widget takes reports no effect, so that a source never
// deletes what it moved when nothing received it.
HRESULT DropTarget::Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    if (!data || !effect)
        return E_INVALIDARG;
    if (m_helper) {
        POINT at = {point.x, point.y};
        m_helper->Drop(data, &at, *effect);
    }
    UIDragManager& drag = manager();
    UIWidget* candidate = candidateAt(point);
    if (candidate) {
        drag.setMouseButtons(dragButtonsOfKeyState(keyState));
        drag.setModifiers(modifiersOfKeyState(keyState));
        drag.setPos(candidate->mapFromGlobal(screenPoint(point)));
        drag.armDrop(candidate);
        candidate->setFocus();
    }
    *effect = candidate ? drag.action() : DROPEFFECT_NONE;
    drag.setReceiver(nullptr);
    releaseData();
    return S_OK;
}

// ---- DropSource ----

void DropSource::setButtons(DWORD dragButton, DWORD cancelButtons)
{
    m_dragButton = dragButton;
    m_cancelButtons = cancelButtons;
}

namespace {

// The cursor slot of one action: none, copy, move, link; -1 for any other
// value.
int cursorSlot(std::uint32_t action)
{
    if (action == DropLink)
        return 3;
    return action <= DropMove ? static_cast<int>(action) : -1;
}

} // namespace

void DropSource::setCursor(std::uint32_t action, HCURSOR cursor)
{
    const int slot = cursorSlot(action);
    if (slot >= 0)
        m_cursors[slot] = cursor;
}

// Alt is a modifier, never a reason to cancel.
HRESULT DropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState)
{
    if (escapePressed || (keyState & m_cancelButtons) || (keyState & (MK_MBUTTON | oleExtraButton)))
        return DRAGDROP_S_CANCEL;
    if (!(keyState & m_dragButton))
        return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT DropSource::GiveFeedback(DWORD effect)
{
    m_lastEffect = singleDropAction(effect);
    const HCURSOR cursor = m_cursors[cursorSlot(m_lastEffect)];
    if (!cursor)
        return DRAGDROP_S_USEDEFAULTCURSORS;
    SetCursor(cursor);
    return S_OK;
}

// ---- DataObject ----

namespace {

// A copy that the receiver releases on its own: handles duplicated,
// interfaces shared.
HRESULT copyMedium(const STGMEDIUM& source, CLIPFORMAT format, STGMEDIUM& copy)
{
    copy = STGMEDIUM{};
    switch (source.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
        copy.hGlobal = static_cast<HGLOBAL>(OleDuplicateData(source.hGlobal, format, 0));
        if (!copy.hGlobal)
            return E_OUTOFMEMORY;
        break;
    case TYMED_FILE: {
        // A name, not a handle: the copy gets its own string.
        if (!source.lpszFileName)
            break;
        const std::size_t bytes = (wcslen(source.lpszFileName) + 1) * sizeof(wchar_t);
        copy.lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
        if (!copy.lpszFileName)
            return E_OUTOFMEMORY;
        std::memcpy(copy.lpszFileName, source.lpszFileName, bytes);
        break;
    }
    case TYMED_ISTREAM:
        copy.pstm = source.pstm;
        copy.pstm->AddRef();
        break;
    case TYMED_ISTORAGE:
        copy.pstg = source.pstg;
        copy.pstg->AddRef();
        break;
    default:
        break;
    }
    copy.tymed = source.tymed;
    copy.pUnkForRelease = source.pUnkForRelease;
    if (copy.pUnkForRelease)
        copy.pUnkForRelease->AddRef();
    return S_OK;
}

} // namespace

DataObject::~DataObject()
{
    for (auto& entry : m_entries)
        ReleaseStgMedium(&entry.second);
}

HRESULT DataObject::GetData(FORMATETC* format, STGMEDIUM* medium)
{
    if (!format || !medium)
        return E_INVALIDARG;
    *medium = STGMEDIUM{};
    for (const auto& [held, heldMedium] : m_entries) {
        if ((held.tymed & format->tymed) && held.dwAspect == format->dwAspect && held.cfFormat == format->cfFormat)
            return copyMedium(heldMedium, held.cfFormat, *medium);
    }
    return DV_E_FORMATETC;
}

HRESULT DataObject::GetDataHere(FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

HRESULT DataObject::QueryGetData(FORMATETC* format)
{
    if (!format)
        return E_INVALIDARG;
    if (!(format->dwAspect & DVASPECT_CONTENT))
        return DV_E_DVASPECT;
    HRESULT answer = DV_E_TYMED;
    for (const auto& entry : m_entries) {
        const FORMATETC& held = entry.first;
        if (!(held.tymed & format->tymed)) {
            answer = DV_E_TYMED;
            continue;
        }
        if (held.cfFormat == format->cfFormat)
            return S_OK;
        answer = DV_E_CLIPFORMAT;
    }
    return answer;
}

HRESULT DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out)
{
    if (!out)
        return E_INVALIDARG;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT DataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release)
{
    if (!format || !medium)
        return E_INVALIDARG;
    STGMEDIUM held = *medium;
    if (release != TRUE) {
        const HRESULT copied = copyMedium(*medium, format->cfFormat, held);
        if (FAILED(copied))
            return copied;
    }
    m_entries.emplace_back(*format, held);
    return S_OK;
}

HRESULT DataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    std::vector<FORMATETC> formats;
    formats.reserve(m_entries.size());
    for (const auto& entry : m_entries)
        formats.push_back(entry.first);
    *out = new (std::nothrow) ::EnumFormatEtc(std::move(formats));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT DataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT DataObject::DUnadvise(DWORD)
{
    return E_NOTIMPL;
}

HRESULT DataObject::EnumDAdvise(IEnumSTATDATA**)
{
    return OLE_E_ADVISENOTSUPPORTED;
}

// ---- EnumFormatEtc ----

EnumFormatEtc::EnumFormatEtc(std::vector<FORMATETC> formats, std::size_t index)
    : m_formats(std::move(formats)), m_index(index)
{
}

HRESULT EnumFormatEtc::Next(ULONG count, FORMATETC* formats, ULONG* fetched)
{
    if (fetched)
        *fetched = 0;
    if (count == 0 || !formats || m_index >= m_formats.size() || (!fetched && count != 1))
        return S_FALSE;
    ULONG copied = 0;
    while (copied < count && m_index < m_formats.size())
        formats[copied++] = m_formats[m_index++];
    if (fetched)
        *fetched = copied;
    return copied == count ? S_OK : S_FALSE;
}

HRESULT EnumFormatEtc::Skip(ULONG count)
{
    if (m_index + count >= m_formats.size())
        return S_FALSE;
    m_index += count;
    return S_OK;
}

HRESULT EnumFormatEtc::Reset()
{
    m_index = 0;
    return S_OK;
}

HRESULT EnumFormatEtc::Clone(IEnumFORMATETC** out)
{
    if (!out)
        return E_POINTER;
    *out = new (std::nothrow) EnumFormatEtc(m_formats, m_index);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// ---- DragImageHelper ----

Point dragImageOffset(Size imageSize, Point hotSpot)
{
    const auto inside = [](int value, int extent) { return value >= 0 && value < extent ? value : extent / 2; };
    return Point(inside(hotSpot.x, imageSize.width), inside(hotSpot.y, imageSize.height));
}

DragImageHelper::DragImageHelper(IDataObject* dataObject) : m_dataObject(dataObject)
{
    CoCreateInstance(dragDropHelperClass, nullptr, CLSCTX_INPROC_SERVER, dragSourceHelperInterface,
                     reinterpret_cast<void**>(&m_helper));
}

DragImageHelper::~DragImageHelper()
{
    if (m_helper)
        m_helper->Release();
}

namespace {

// A top-down 32-bit DIB section holding the image's premultiplied pixels.
HBITMAP premultipliedSection(const Bitmap& image)
{
    // A copy: premultiplying works in place on shared pixels.
    Bitmap pixels = widenedTo32Bits(image).copy();
    if (pixels.isNull())
        return nullptr;
    pixels.setPremultiplied(true);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = pixels.width();
    info.bmiHeader.biHeight = -pixels.height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (section)
        std::memcpy(bits, pixels.bits(), pixels.byteCount());
    return section;
}

} // namespace

bool DragImageHelper::setImage(const Bitmap& image, Point hotSpot)
{
    if (!m_helper || image.isNull())
        return false;
    SHDRAGIMAGE dragImage = {};
    dragImage.sizeDragImage = {image.width(), image.height()};
    const Point offset = dragImageOffset(image.size(), hotSpot);
    dragImage.ptOffset = {offset.x, offset.y};
    dragImage.crColorKey = 0xFFFFFFFF;
    dragImage.hbmpDragImage = premultipliedSection(image);
    if (!dragImage.hbmpDragImage)
        return false;
    if (SUCCEEDED(m_helper->InitializeFromBitmap(&dragImage, m_dataObject)))
        return true;
    // The shell owns the bitmap only once it took it.
    DeleteObject(dragImage.hbmpDragImage);
    m_helper->Release();
    m_helper = nullptr;
    return false;
}
