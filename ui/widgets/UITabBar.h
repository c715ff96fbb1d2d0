#pragma once

// UITabBar: a horizontal strip of tabs, each an icon, a text or both, drawn
// from skins. One checkable tab is current (or none); a click on a tab
// makes it current and tells the owner through currentChanged and
// tabClicked. The bar owns its UITabBarItem records.
//
// Per-index operations ignore an index outside 0 .. count() - 1: setters
// do nothing and readers answer an empty value.

#include "foundation/List.h"
#include "graphics/StateImages.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UITabBarItem.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIAbstractButton.h"

#include <cstdint>

class Font;
class Graphics;

class UITabBar : public UIWidget {
public:
    enum DisplayMode : int { TextOnly = 0, IconOnly = 1, IconAndText = 2 };

    explicit UITabBar(UIWidget* parent);
    ~UITabBar() override;

    // Emitted with the new current index, -1 for none.
    Signal currentChanged;
    // Emitted with the index of a clicked tab, after any currentChanged.
    Signal tabClicked;

    // Appends a tab; on a bar that keeps one current and has none, the new
    // tab becomes current.
    void addTab(const String& text, const StateImages& icon = StateImages());
    // Deletes the tab. Tabs after it move down by one, and so does the
    // current index when the current tab lay after it.
    void removeTab(int index);
    int count() const { return m_tabs.count(); }
    bool isEmpty() const { return m_tabs.isEmpty(); }
    int visibleCount() const;
    // Null outside the range.
    UITabBarItem* tab(int index) const;

    // Where the tab was last laid out; empty for a hidden tab.
    Rect tabRect(int index) const;
    void setTabText(int index, const String& text);
    String tabText(int index) const;
    void setTabIcon(int index, const StateImages& icon);
    StateImages tabIcon(int index) const;
    void setTabToolTip(int index, const String& text);
    String tabToolTip(int index) const;
    void setTabVisible(int index, bool visible);
    bool isTabVisible(int index) const;
    void setTabEnabled(int index, bool enabled);
    bool isTabEnabled(int index) const;
    // Only a checkable tab can become current.
    void setTabCheckable(int index, bool checkable);
    void setTabChecked(int index, bool checked);
    void setTabId(int index, std::uint32_t low, std::uint32_t high);

    // The tab whose rectangle holds p; null (or -1) when none.
    UITabBarItem* tabAt(Point p) const;
    int tabIndexAt(Point p) const;

    int currentIndex() const { return m_currentIndex; }
    int hoverIndex() const { return m_hoverIndex; }
    // Refused (nothing happens) for a tab that is not checkable and enabled.
    // Without keep-one-current, choosing the current tab again leaves none.
    void setCurrentIndex(int index);

    // Takes effect at the next paint.
    void setDisplayMode(DisplayMode mode) { m_displayMode = mode; }
    DisplayMode displayMode() const { return m_displayMode; }
    void setKeepOneCurrent(bool on) { m_keepOneCurrent = on; }
    bool keepOneCurrent() const { return m_keepOneCurrent; }

    // The skin state and region mask the tab's background is drawn with.
    int tabBackgroundState(int index) const;
    int tabBackgroundMask(int index) const;

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    String toolTip(Point p) const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseClickEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;

private:
    // A flag of the tab records, read and written.
    struct TabFlag {
        bool (UITabBarItem::*read)() const;
        void (UITabBarItem::*write)(bool);
    };
    static constexpr TabFlag visibleFlag{&UITabBarItem::isVisible, &UITabBarItem::setVisible};
    static constexpr TabFlag enabledFlag{&UITabBarItem::isEnabled, &UITabBarItem::setEnabled};

    // Repaints when the flag changes.
    void changeTabFlag(int index, bool on, TabFlag flag);
    bool tabFlag(int index, TabFlag flag) const;
    bool canBeCurrent(int index) const;
    void changeCurrent(int index);
    void currentTabRemoved(int index);
    void setHoverIndex(int index);
    int tabWidth(const UITabBarItem& tab, const Font& font) const;
    int contentHeight(const Font& font) const;
    // The preferred size placed in the bar by the strip alignment.
    Rect stripRect() const;
    // Stores every tab's rectangle for the present size, style and tabs.
    void layoutTabs() const;
    int separatorState(const List<UITabBarItem*>::Node* node) const;
    void paintTab(Graphics& g, int index, UITabBarItem& tab) const;
    int iconState(int index, const UITabBarItem& tab) const;
    void drawTabText(Graphics& g, const UITabBarItem& tab, const Rect& box) const;

    UIButtonTextStyle m_text;
    int m_itemIconAndTextSpacing = 0;
    int m_itemSpacing = 0;
    // Accepted from the style and kept; nothing lays out or paints by them.
    int m_itemHorizontalShift = 0;
    int m_itemVerticalShift = 0;
    int m_itemOverlapSize = 0;
    UIMargins m_padding;
    UIMargins m_itemPadding;
    int m_stripAlignment = AlignHCenter | AlignTop;
    int m_minimumHeight = 0;
    UISkin m_separator;
    UISkin m_itemBackground;

    List<UITabBarItem*> m_tabs;
    int m_currentIndex = -1;
    int m_hoverIndex = -1;
    DisplayMode m_displayMode = TextOnly;
    bool m_keepOneCurrent = true;
};
