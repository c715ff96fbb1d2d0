#pragma once

#include "foundation/ComObject.h"
#include "foundation/Geometry.h"
#include "graphics/Bitmap.h"

#include <ole2.h>

#include <cstdint>
#include <utility>
#include <vector>

class DropTarget;
class UIWidget;
// The shell's drag-image services, used only through pointers here.
struct IDragSourceHelper;
struct IDropTargetHelper;

// The toolkit's OLE drag-and-drop objects: the drop target of every native
// window, and the drop source, data object, format enumerator and drag
// image of an outgoing drag. Each COM object starts with one reference and
// deletes itself when Release takes the last. UI thread only.

// OLE key state to DragButton bits: 1 left, 2 right, 0x10 middle, 0x40
// extra. 0x20 is Alt in OLE's key state, not an extra button.
std::uint32_t dragButtonsOfKeyState(DWORD keyState);
// OLE key state to KeyboardModifier bits: 4 Shift, 8 Control, 0x20 Alt.
std::uint32_t modifiersOfKeyState(DWORD keyState);

// Registers or revokes the drop target of a native window whose root
// widget is owner. slot holds the target while registered and is cleared
// when revoked. The platform's result; S_OK when there is nothing to do.
HRESULT registerDropTarget(UIWidget* owner, void* window, DropTarget*& slot, bool on);

// Turns OLE's drag callbacks into drag events for the widget under the
// pointer; the drop itself reaches the widget a moment later through the
// drag manager.
class DropTarget final : public ComObject<IDropTarget> {
public:
    DropTarget(UIWidget* owner, HWND window);

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    ~DropTarget() override;
    // The deepest visible widget under the screen point that takes drops
    // now; never the owner itself.
    UIWidget* candidateAt(POINTL point) const;
    void sendEnterOrMove(UIWidget* widget, int type, DWORD offered);
    void sendLeave();
    void releaseData();

    UIWidget* m_owner;
    HWND m_window;
    // The shell's drag-image service; Wine may have none.
    IDropTargetHelper* m_helper = nullptr;
    IDataObject* m_data = nullptr;
};

// Ends the drag on Escape, on the other button or on a middle or extra
// button, and drops when the dragging button is let go.
class DropSource final : public ComObject<IDropSource> {
public:
    DropSource() = default;

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

    // MK_ masks of the button that drags and of those that cancel.
    void setButtons(DWORD dragButton, DWORD cancelButtons);
    // The cursor shown for one DropAction (0 for none); by default the
    // system's cursors show.
    void setCursor(std::uint32_t action, HCURSOR cursor);
    // The action of the last feedback.
    std::uint32_t lastEffect() const { return m_lastEffect; }

private:
    ~DropSource() override = default;

    DWORD m_dragButton = 0;
    DWORD m_cancelButtons = 0;
    std::uint32_t m_lastEffect = 0;
    // None, copy, move, link.
    HCURSOR m_cursors[4] = {};
};

// Holds the blocks of an outgoing drag in the order they were set; owns
// their media and hands out copies.
class DataObject final : public ComObject<IDataObject> {
public:
    DataObject() = default;

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

private:
    ~DataObject() override;

    std::vector<std::pair<FORMATETC, STGMEDIUM>> m_entries;
};

// Walks copies of a data object's formats.
class EnumFormatEtc final : public ComObject<IEnumFORMATETC> {
public:
    explicit EnumFormatEtc(std::vector<FORMATETC> formats, std::size_t index = 0);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

private:
    ~EnumFormatEtc() override = default;

    std::vector<FORMATETC> m_formats;
    std::size_t m_index;
};

// Where the pointer sits in a drag image: the hot spot, each coordinate
// outside the image moved to the middle of that axis.
Point dragImageOffset(Size imageSize, Point hotSpot);

// The image that follows the pointer during an outgoing drag, through the
// shell's drag-source helper (which Wine may lack: then there is none).
class DragImageHelper {
public:
    explicit DragImageHelper(IDataObject* dataObject);
    ~DragImageHelper();
    DragImageHelper(const DragImageHelper&) = delete;
    DragImageHelper& operator=(const DragImageHelper&) = delete;

    // False when there is no helper or the shell refused the image.
    bool setImage(const Bitmap& image, Point hotSpot);

private:
    IDataObject* m_dataObject;
    IDragSourceHelper* m_helper = nullptr;
};
