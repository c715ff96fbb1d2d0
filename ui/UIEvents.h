#pragma once

#include "foundation/Event.h"
#include "foundation/Geometry.h"

// The toolkit's own event records on the foundation's UIEvent base. The
// custom (100), mouse (106-112), hot-key (117) and key (122, 123) records
// live in foundation/Event.h.

// 101: what to paint. The toolkit's painting hands it to paintEvent directly.
class UIPaintEvent : public UIEvent {
public:
    UIPaintEvent(Point origin, const Rect& rect) : UIEvent(PaintEventType), m_rect(rect), m_origin(origin) {}
    const Rect& rect() const { return m_rect; }
    Point origin() const { return m_origin; }

private:
    Rect m_rect;
    Point m_origin;
};

// 102: the asked-for size and the size before.
class UIResizeEvent : public UIEvent {
public:
    UIResizeEvent(Size size, Size oldSize) : UIEvent(ResizeEventType), m_size(size), m_oldSize(oldSize) {}
    Size size() const { return m_size; }
    Size oldSize() const { return m_oldSize; }

private:
    Size m_size;
    Size m_oldSize;
};

// 105: the new position and the position before.
class UIMoveEvent : public UIEvent {
public:
    UIMoveEvent(Point position, Point oldPosition)
        : UIEvent(MoveEventType), m_position(position), m_oldPosition(oldPosition)
    {
    }
    Point position() const { return m_position; }
    Point oldPosition() const { return m_oldPosition; }

private:
    Point m_position;
    Point m_oldPosition;
};

// 103.
class UIShowEvent : public UIEvent {
public:
    UIShowEvent() : UIEvent(ShowEventType) {}
};

// 104.
class UIHideEvent : public UIEvent {
public:
    UIHideEvent() : UIEvent(HideEventType) {}
};

// 113: the close goes ahead unless a handler marks it not accepted. A
// close by the window's own close command (Alt+F4, the close button, the
// system menu) is the user's; WM_CLOSE may come from anywhere.
class UICloseEvent : public UIEvent {
public:
    explicit UICloseEvent(bool byCloseCommand = false) : UIEvent(CloseEventType), m_byCloseCommand(byCloseCommand) {}
    bool isByCloseCommand() const { return m_byCloseCommand; }

private:
    bool m_byCloseCommand;
};

// 114, an input event: where the context menu was asked for.
class UIContextMenuEvent : public UIEvent {
public:
    UIContextMenuEvent(int reason, Point pos, Point globalPos)
        : UIEvent(ContextMenuEventType), m_reason(reason), m_pos(pos), m_globalPos(globalPos)
    {
        setInput(true);
    }
    int reason() const { return m_reason; }
    Point pos() const { return m_pos; }
    Point globalPos() const { return m_globalPos; }
    int x() const { return m_pos.x; }
    int y() const { return m_pos.y; }
    int globalX() const { return m_globalPos.x; }
    int globalY() const { return m_globalPos.y; }

private:
    int m_reason;
    Point m_pos;
    Point m_globalPos;
};

// 115 focus in, 116 focus out. The toolkit always gives reason 0.
class UIFocusEvent : public UIEvent {
public:
    UIFocusEvent(int type, int reason = 0) : UIEvent(type), m_reason(reason) {}
    int reason() const { return m_reason; }

private:
    int m_reason;
};

// 118 drag enter, 119 drag move, 120 drag leave, 121 drop: see UIDragManager.h.
class UIDragEvent;

// Direction of a wheel turn.
enum WheelDirection : int {
    WheelLeft = 1,
    WheelRight = 2,
    WheelDown = 3,
    WheelUp = 4,
};

// 125, an input event.
class UIWheelEvent : public UIEvent {
public:
    UIWheelEvent(int count, Point position, int delta, KeyboardModifiers modifiers, int direction)
        : UIEvent(WheelEventType), m_count(count), m_position(position), m_delta(delta), m_modifiers(modifiers),
          m_direction(direction)
    {
        setInput(true);
    }
    // Always 1.
    int count() const { return m_count; }
    Point position() const { return m_position; }
    int x() const { return m_position.x; }
    int y() const { return m_position.y; }
    int delta() const { return m_delta; }
    KeyboardModifiers modifiers() const { return m_modifiers; }
    // A WheelDirection.
    int direction() const { return m_direction; }

private:
    int m_count;
    Point m_position;
    int m_delta;
    KeyboardModifiers m_modifiers;
    int m_direction;
};

// 126 enabled state changed, 127 window state changed.
class UIChangeEvent : public UIEvent {
public:
    explicit UIChangeEvent(int type) : UIEvent(type) {}
};

// 128: the lParam of the private window message 0xD000.
class UIMessageEvent : public UIEvent {
public:
    explicit UIMessageEvent(int value) : UIEvent(MessageEventType), m_value(value) {}
    int value() const { return m_value; }

private:
    int m_value;
};
