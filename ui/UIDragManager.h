#pragma once

#include "foundation/Event.h"
#include "foundation/Geometry.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "ui/MimeData.h"

#include <cstdint>

class UIWidget;

// Drag actions; the same bits as OLE's DROPEFFECT values.
enum DropAction : std::uint32_t { NoDropAction = 0, DropCopy = 1, DropMove = 2, DropLink = 4 };

// Mouse buttons of a drag: 1 left, 2 right, 4 middle, 8 either extra button.
enum DragButton : std::uint32_t { DragLeftButton = 1, DragRightButton = 2, DragMiddleButton = 4, DragExtraButton = 8 };

// The one action of a set of action bits: copy before move before link;
// 0 when none is set.
std::uint32_t singleDropAction(std::uint32_t actions);

// The state of the drag in progress, shared by the drop targets of every
// window, the drag events and an outgoing drag. One process-wide instance,
// made on first use. UI thread only.
class UIDragManager {
public:
    static UIDragManager& instance();
    UIDragManager(const UIDragManager&) = delete;
    UIDragManager& operator=(const UIDragManager&) = delete;

    // Source, target and action 0, position (0, 0), buttons and modifiers
    // 0, data cleared.
    void reset();

    // The widget that started an in-program drag.
    UIWidget* source() const { return m_source; }
    void setSource(UIWidget* source) { m_source = source; }
    // The widget the pending drop goes to.
    UIWidget* target() const { return m_target; }
    // A DropAction, 0 for none.
    std::uint32_t action() const { return m_action; }
    void setAction(std::uint32_t action) { m_action = action; }
    MimeData& mimeData() { return m_data; }
    const MimeData& mimeData() const { return m_data; }
    // Replaces the data by a copy of every entry of data.
    void setMimeData(const MimeData& data) { m_data.copyFrom(data); }
    // In the target widget's coordinates.
    Point pos() const { return m_pos; }
    void setPos(Point pos) { m_pos = pos; }
    // DragButton bits.
    std::uint32_t mouseButtons() const { return m_mouseButtons; }
    void setMouseButtons(std::uint32_t buttons) { m_mouseButtons = buttons; }
    // KeyboardModifier bits.
    std::uint32_t modifiers() const { return m_modifiers; }
    void setModifiers(std::uint32_t modifiers) { m_modifiers = modifiers; }
    // How far the pointer moves with a button held before a drag starts.
    int dragDistanceX() const { return m_dragDistanceX; }
    int dragDistanceY() const { return m_dragDistanceY; }

    // The widget that receives the drag events now, null when none.
    UIWidget* receiver() const { return m_receiver; }
    void setReceiver(UIWidget* receiver) { m_receiver = receiver; }

    // A widget being destroyed stops being the source, target or receiver;
    // nothing once the manager itself is gone.
    static void forgetWidget(const UIWidget* widget);

    // While this program's own drag loop runs.
    bool isOutgoingDrag() const { return m_outgoingDrag; }
    void setOutgoingDrag(bool on) { m_outgoingDrag = on; }

    // Sends the drop event to the target a short moment later, once the
    // platform's drop call has returned to the dragging program. A drop
    // still pending is replaced.
    void armDrop(UIWidget* target);
    bool isDropPending() const { return m_dropTimer != 0; }
    // Milliseconds between armDrop and the drop event.
    static constexpr int dropDelay = 10;

private:
    friend void deliverArmedDrop(std::uintptr_t timer);

    UIDragManager();
    ~UIDragManager();
    void cancelDrop();

    UIWidget* m_source = nullptr;
    UIWidget* m_target = nullptr;
    UIWidget* m_receiver = nullptr;
    std::uint32_t m_action = 0;
    MimeData m_data;
    Point m_pos;
    std::uint32_t m_mouseButtons = 0;
    std::uint32_t m_modifiers = 0;
    int m_dragDistanceX;
    int m_dragDistanceY;
    std::uintptr_t m_dropTimer = 0;
    bool m_outgoingDrag = false;
};

// The drag events: 118 enter, 119 move, 120 leave, 121 drop. Only enter and
// move carry the allowed actions; everything else is read from the drag
// manager. A widget takes an enter or move event with accept(), and may
// pick another allowed action with acceptAction().
class UIDragEvent : public UIEvent {
public:
    explicit UIDragEvent(int type, std::uint32_t allowedActions = 0) : UIEvent(type), m_allowedActions(allowedActions)
    {
    }

    UIWidget* source() const;
    const MimeData& currentDragData() const;
    // In the receiving widget's coordinates.
    Point pos() const;
    std::uint32_t mouseButtons() const;
    std::uint32_t modifiers() const;
    std::uint32_t action() const;
    std::uint32_t allowedActions() const { return m_allowedActions; }
    // Becomes the manager's action when it is among the allowed ones.
    void acceptAction(std::uint32_t action);

private:
    std::uint32_t m_allowedActions;
};

// A drag that a widget starts: the image under the pointer with its hot
// spot, and a description text (kept, not shown). Making one names the
// source widget to the drag manager; the data to carry is the manager's.
class UIDrag {
public:
    explicit UIDrag(UIWidget* source);

    void setImage(const Bitmap& image) { m_image = image; }
    const Bitmap& image() const { return m_image; }
    void setHotSpot(Point hotSpot) { m_hotSpot = hotSpot; }
    Point hotSpot() const { return m_hotSpot; }
    void setText(const String& text) { m_text = text; }
    const String& text() const { return m_text; }

    // Runs the platform's drag loop; the action taken, 0 when the drag did
    // not start or did not end in a drop.
    std::uint32_t exec(std::uint32_t allowedActions);

    static UIWidget* source() { return UIDragManager::instance().source(); }
    static UIWidget* target() { return UIDragManager::instance().target(); }
    static int dragDistanceX() { return UIDragManager::instance().dragDistanceX(); }
    static int dragDistanceY() { return UIDragManager::instance().dragDistanceY(); }

private:
    Bitmap m_image;
    Point m_hotSpot;
    String m_text;
};

// 0 unless there is a request, the manager has a source that may start
// drags and data, and some action is allowed. Resets the manager after.
std::uint32_t startDrag(UIDrag* request, std::uint32_t allowedActions);
