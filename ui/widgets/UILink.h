#pragma once

// UILink: a one-line clickable text that opens a web address or a path
// with the shell and emits clicked. It changes its font and colours while
// the pointer is over it and shows the hand cursor.

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Font.h"
#include "graphics/Pen.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIAbstractButton.h"

#include <cstdint>

// What the link reads of the platform: the clock of its double-click
// guard and the shell that opens its target. Tests install their own.
class UILinkServices {
public:
    UILinkServices() = default;
    virtual ~UILinkServices() = default;
    UILinkServices(const UILinkServices&) = delete;
    UILinkServices& operator=(const UILinkServices&) = delete;

    // preciseMilliseconds.
    virtual std::int64_t milliseconds() const;
    // The shell's "open" verb on the path or address; the result is not
    // looked at.
    virtual void shellOpen(const String& target);
};

// When the link takes its hovered look.
enum UILinkHoverMode : int {
    // Font and text colour follow the pointer; the shadow stays.
    LinkHoverKeepsShadow = 0,
    // Font, text colour and shadow follow the pointer.
    LinkHoverChangesAll = 1,
    // Always the hovered font and shadow; the text colour follows the
    // pointer.
    LinkAlwaysHovered = 2,
};

// The font and pens a link paints with.
struct UILinkLook {
    FontDesc font;
    Pen shadow;
    Pen text;
};

class UILink : public UIWidget {
public:
    explicit UILink(UIWidget* parent, const String& text = String(), const String& target = String());
    ~UILink() override;

    // The link's own signal, without argument, after every left click,
    // also when nothing was opened.
    Signal clicked;

    // Relayouts when it changes.
    void setText(const String& text);
    const String& text() const { return m_text; }
    // The tool tip becomes the prefix followed by the target.
    void setToolTipPrefix(const String& prefix);
    const String& toolTipPrefix() const { return m_toolTipPrefix; }
    // Also names the target in the tool tip when the tip is empty (or the
    // link's own) and automatic tips are on.
    void setTarget(const String& target);
    const String& target() const { return m_target; }
    // UILinkHoverMode; the next paint uses it.
    void setHoverMode(int mode) { m_hoverMode = mode; }
    int hoverMode() const { return m_hoverMode; }
    void setFont(const FontDesc& font);
    void setHoveredFont(const FontDesc& font);
    // Both fonts.
    void setFontSize(float points);

    // The look with the pointer over the link or not; a disabled link is
    // never hovered.
    UILinkLook look(bool pointerOver) const;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;

    // Null puts the platform's services back. Not owned.
    static void setServices(UILinkServices* services);

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mouseClickEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;

private:
    // Its disabled shadow pen is drawn too: a disabled link keeps a shadow.
    UIButtonTextStyle m_style;
    Font m_hoveredFont{FontDesc()};
    Pen m_hoveredForeground;
    Pen m_hoveredShadowForeground;
    String m_text;
    String m_toolTipPrefix;
    String m_target;
    int m_hoverMode = LinkHoverChangesAll;
    std::int64_t m_lastOpening = 0;
};
