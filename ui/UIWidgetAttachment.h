#pragma once

#include "foundation/Geometry.h"

class DrawingSurface;

// Something painted over a whole window after its widgets, such as the
// colour overlay of a window that a modal dialog covers. The window owns
// its attachments and paints the enabled ones in the order they were added.
class UIWidgetAttachment {
public:
    explicit UIWidgetAttachment(int kind) : m_kind(kind) {}
    virtual ~UIWidgetAttachment() = default;
    UIWidgetAttachment(const UIWidgetAttachment&) = delete;
    UIWidgetAttachment& operator=(const UIWidgetAttachment&) = delete;

    // Paints onto the surface inside r (window coordinates).
    virtual void paint(DrawingSurface* surface, const Rect& r) = 0;

    int kind() const { return m_kind; }
    void setEnabled(bool on) { m_enabled = on; }
    void enable() { m_enabled = true; }
    void disable() { m_enabled = false; }
    bool isEnabled() const { return m_enabled; }

private:
    int m_kind;
    bool m_enabled = true;
};
