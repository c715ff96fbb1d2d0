#pragma once

// UIMenu: the pop-up menu. A borderless, always-on-top window that lists
// UIAction entries, paints them from its style, opens cascading submenus
// and reports the chosen entry. Context menus, button and bar menus and the
// notification-area menu all show one through popup.
//
// Keys: Up and Down move the highlight only (the pointer's submenu delay
// does not apply); Right or Enter opens the current entry's submenu with its
// first entry highlighted; Left or Escape closes a submenu back to its
// entry; Escape in a root menu hides it.
//
// A submenu is a UIMenu made with its parent menu as parent widget and
// handed to setSubmenu. A menu without a parent widget (the notification
// area's) leaves every other window alone when it shows and hides.

#include "foundation/Geometry.h"
#include "foundation/List.h"
#include "foundation/Shortcut.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Brush.h"
#include "graphics/Font.h"
#include "graphics/Pen.h"
#include "graphics/Screen.h"
#include "graphics/StateImages.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIAction.h"
#include "ui/widgets/UITextStyle.h"

// Opens the current entry's submenu after the menu show delay.
constexpr int submenuTimerId = 100013;

class UIMenu : public UIWidget {
public:
    explicit UIMenu(UIWidget* parent = nullptr);
    // Deletes every entry, and so every submenu.
    ~UIMenu() override;

    // The menu itself (a UIMenu*), before it is sized for showing: the
    // owner's chance to update the entries.
    Signal aboutToShow;
    // The index of the activated entry; the entry's own triggered follows.
    Signal triggered;

    // ---- Building ----

    UIAction* addAction(const String& text, const StateImages& images = StateImages(),
                        const KeySequence& shortcut = KeySequence());
    UIAction* addAction(const Bitmap& image);
    UIAction* addAction(const Bitmap& image, const String& text);
    // Takes the action; its index.
    int addAction(UIAction* action);
    // One text entry per text.
    void addActions(const StringList& texts);
    // A disabled entry without text.
    UIAction* addSeparator();
    // menu must have this menu as its parent widget; the entry takes it.
    void setSubmenu(int index, UIMenu* menu);
    UIMenu* submenu(int index) const;
    void removeAction(UIAction* action);
    void clear();

    void setTitle(const String& title) { m_title = title; }
    const String& title() const { return m_title; }

    // ---- Entries by index (0 <= index < count) ----

    const List<UIAction*>& actions() const { return m_actions; }
    UIAction* action(int index) const;
    // -1 when absent.
    int indexOf(const UIAction* action) const;
    int count() const { return m_actions.count(); }
    bool isEmpty() const { return m_actions.isEmpty(); }
    void setActionText(int index, const String& text);
    const String& actionText(int index) const;
    void setActionImages(int index, const StateImages& images);
    const StateImages& actionImages(int index) const;
    void setActionVisible(int index, bool visible);
    void showAction(int index) { setActionVisible(index, true); }
    void hideAction(int index) { setActionVisible(index, false); }
    bool isActionVisible(int index) const;
    void setActionCheckable(int index, bool on);
    bool isActionCheckable(int index) const;
    void setActionChecked(int index, bool on);
    void checkAction(int index) { setActionChecked(index, true); }
    void uncheckAction(int index) { setActionChecked(index, false); }
    bool isActionChecked(int index) const;
    void setActionEnabled(int index, bool on);
    void enableAction(int index) { setActionEnabled(index, true); }
    void disableAction(int index) { setActionEnabled(index, false); }
    bool isActionEnabled(int index) const;
    // Every entry but the separators.
    void setAllCheckable(bool on);
    // Every checkable entry but the separators.
    void setAllCheckKind(std::int32_t kind);

    // ---- Showing and choosing ----

    // Top-left corner at the screen point; nothing when disabled or empty.
    void popup(Point globalPos);
    // What a click or Enter does; nothing for null, a separator or a
    // disabled entry.
    void activate(UIAction* action);
    int currentIndex() const { return m_currentIndex; }
    // The root of the open chain restarts its submenu timer.
    void setCurrentIndex(int index);
    // The parent widget is a menu.
    bool isSubmenu() const;
    // The submenu this menu popped up last, or null.
    UIMenu* openSubmenu() const { return m_openSubmenu; }
    int indexInParent() const { return m_indexInParent; }
    void hideParentMenu();

    // ---- Placement, pure ----

    // A submenu at point: to the left of its entry when too wide for the
    // work area, bottom-aligned with the entry when too tall.
    static Point submenuPosition(Point point, Size size, const Rect& workArea, const Rect& entry,
                                 const UIMargins& padding);
    // The shift that makes a bar's menu, when it has no room below, end at
    // the bar's top instead of at the point: the point's depth in the bar,
    // its own row included.
    static int barFlipOffset(const Rect& barGlobal, Point point);
    // A root menu kept in the work area under the point less the padding,
    // above the point (shifted by offset) when it overflows the bottom.
    static Rect rootMenuRect(Point point, Size size, const UIMargins& desktopPadding, int offset);

    // ---- Widget overrides ----

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    void setVisible(bool visible) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusInEvent(UIFocusEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    struct Style {
        Brush background;
        Colour borderColor;
        UIMargins padding;
        UIMargins desktopPadding;
        int minimumWidth = 0;
        UITextStyle text;
        Pen disabledForeground;
        Pen disabledShadowForeground;
        Pen hoveredForeground;
        Pen hoveredShadowForeground;
        UIMargins itemPadding;
        int itemIconSpace = 0;
        int itemArrowSpace = 0;
        bool forceIconSpace = false;
        int spacingBetweenImageAndText = 0;
    };

    UIMenu* parentMenu() const;
    // A submenu going away on its own detaches from its entry.
    void forgetSubmenu(UIMenu* menu);
    bool hasIconColumn() const;
    int itemHeight() const;
    Size entrySize(const UIAction* action, bool iconColumn) const;
    UIAction* actionAt(Point p) const;
    void stepCurrent(int step);
    void highlightByKey(int index);
    UIMenu* currentSubmenu() const;
    void openSubmenuByKey();
    bool closeToParentMenu();
    void popupSubmenuOf(UIAction* action);
    void hideOpenSubmenu();
    void hideVisibleSubmenus();
    bool hasVisibleSubmenu() const;
    void openCurrentSubmenu();
    void placeForShowing(Point globalPos);
    void setParentWindowFlag(std::uint32_t flag, bool on);
    void paintSeparator(Graphics& g, const Rect& item, bool iconColumn);
    void paintEntry(Graphics& g, UIAction* action, const Rect& item, bool current, bool iconColumn);
    void paintIndicator(Graphics& g, const UIAction* action, const Rect& cell, bool current);

    Style m_style;
    Font m_font;
    UISkin m_arrowSkin;
    UISkin m_checkSkin;
    UISkin m_radioSkin;
    UISkin m_separatorSkin;
    UISkin m_verticalLineSkin;
    UISkin m_hoveredSkin;
    String m_title;
    List<UIAction*> m_actions;
    int m_currentIndex = -1;
    bool m_iconColumn = false;
    int m_indexInParent = -1;
    UIMenu* m_openSubmenu = nullptr;
    // Set by the destructor for an activation that is still emitting.
    bool* m_destroyed = nullptr;
};
