#pragma once

// UIMenuBar: the strip of titled entries at the top of a main window, each
// opening a pop-up menu below itself. One entry is open at a time; while
// one is open, moving the pointer over another entry switches to that
// entry's menu. A menu that closes itself (a choice, Escape, focus loss, a
// press elsewhere) is noticed by a short poll, which closes the entry.
//
// Give an entry's menu the bar as its parent widget: it then dies with the
// bar and, near the bottom of the screen, opens above the bar.

#include "foundation/Geometry.h"
#include "foundation/List.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/Font.h"
#include "graphics/Pen.h"
#include "ui/UIItem.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UITextStyle.h"

class Graphics;
class UIMenu;
class UIMenuBar;

// Polls whether the open entry's menu is still shown.
constexpr int menuBarTimerId = 100014;

// One entry of a menu bar: a title and the menu it opens.
class UIMenuBarItem : public UIItem {
public:
    explicit UIMenuBarItem(UIMenuBar* owner) : m_owner(owner) {}

    UIMenuBar* owner() const { return m_owner; }
    // Not taken: the bar's widget tree owns the menu.
    void setMenu(UIMenu* menu) { m_menu = menu; }
    UIMenu* menu() const { return m_menu; }

    // Repaints the bar when the text changes.
    void setText(const String& text);
    // A disabled entry neither highlights nor opens.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // A hidden entry takes no room; hiding empties its rectangle.
    void setVisible(bool on);
    bool isVisible() const { return m_visible; }

    // In bar coordinates, written when the bar lays out its entries.
    const Rect& rect() const { return m_rect; }
    void setRect(const Rect& r) { m_rect = r; }

private:
    void repaintOwner();

    UIMenuBar* m_owner;
    UIMenu* m_menu = nullptr;
    Rect m_rect;
    bool m_enabled = true;
    bool m_visible = true;
};

class UIMenuBar : public UIWidget {
public:
    explicit UIMenuBar(UIWidget* parent);
    // Deletes the entries; the menus go with the widget tree.
    ~UIMenuBar() override;

    // Appends an entry without a menu; the caller gives it one.
    UIMenuBarItem* addItem(const String& text);
    const List<UIMenuBarItem*>& items() const { return m_items; }
    int count() const { return m_items.count(); }
    // 0 <= index < count.
    UIMenuBarItem* item(int index) const;

    // Opens the item's menu under its entry, closing the one open before;
    // null, or an item without a menu or disabled, closes only.
    void setOpenItem(UIMenuBarItem* item);
    UIMenuBarItem* openItem() const { return m_openItem; }
    UIMenuBarItem* hoveredItem() const { return m_hoveredItem; }
    // The visible entry whose rectangle holds the point, or null.
    UIMenuBarItem* itemAt(Point p) const;
    // Writes each visible entry's rectangle: its text width plus the item
    // padding, side by side from the left edge, the bar's height high.
    void layoutItems();

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;

private:
    struct Style {
        UITextStyle text;
        Brush background;
        UIMargins padding;
        UIMargins itemPadding;
        Brush hoveredItemBackground;
        Pen hoveredItemForeground;
        Pen hoveredItemShadowForeground;
        Brush selectedItemBackground;
        Pen selectedItemForeground;
        Pen selectedItemShadowForeground;
        UISkin backgroundSkin;
    };

    void closeOpenMenu();
    bool anyMenuVisible() const;
    void paintItem(Graphics& g, const UIMenuBarItem* item);

    Style m_style;
    Font m_font;
    List<UIMenuBarItem*> m_items;
    UIMenuBarItem* m_openItem = nullptr;
    UIMenuBarItem* m_hoveredItem = nullptr;
};
