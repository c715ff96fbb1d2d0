#pragma once

// UIList: a sequence of UIListItem records shown either as a vertical list
// of rows (list mode) or as a grid of icons with a label and a detail line
// under each (icon mode). It keeps a current item and a selection (none,
// single or multiple), moves with the keys over the items that can be
// current (optionally wrapping round), selects with a rubber band, can
// follow the pointer (popup lists), draws a default icon for items without
// one and a blank text or image when empty.
// It always lives inside a UIListView: it never moves itself but draws its
// items shifted by the content offsets the view gives it, and reaches the
// view's vertical bar to bring an item into sight.
//
// Where the operations are defined:
//   UIList.cpp        items, current item, selection, modes, grid arithmetic
//   UIListPaint.cpp   style, painting, where items are, hit tests, tool tip
//   UIListInput.cpp   keys, mouse, rubber band, hover
//
// Item rectangles, icon rectangles, label-elided flags and which items are
// on screen are those of the last paint, as if it had walked every item. The paint draws
// only the items on screen: it writes their rectangles and flags and clears
// the flags it set before; the rectangle of any other item that was visible
// then is worked out from its place at that paint when the list reads it
// (itemRect; UIListItem::rect of such an item is not written).

#include "foundation/Signal.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/Colour.h"
#include "graphics/FontDesc.h"
#include "ui/UIListItem.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIItemSequence.h"
#include "ui/widgets/UIRubberBand.h"

#include <unordered_set>
#include <utility>
#include <vector>

class Graphics;
class UIItemNavigation;
class UIScrollArea;

class UIList : public UIWidget, public UIListItemOwner {
public:
    enum SelectionMode : int { NoSelection = 0, SingleSelection = 1, MultiSelection = 2 };
    enum ViewMode : int { ListMode = 0, IconMode = 1 };
    // Bits of the selection flags: select (else deselect), then repaint.
    enum SelectionFlag : int { SelectFlag = 1, RepaintFlag = 2 };

    explicit UIList(UIWidget* parent);
    ~UIList() override;

    // With the new index (-1: none).
    Signal currentItemChanged;
    Signal itemCountChanged;
    // Also when an item is shown or hidden.
    Signal visibleItemCountChanged;

    // ---- Items ----
    // The list takes the item (a hidden one is counted); its index.
    int addItem(UIListItem* item);
    UIListItem* addItem(const String& label);
    UIListItem* addItem(const String& label, const String& detailText, const Bitmap& image);
    // Before the item at index (appended at or past the end); a current
    // item at or after it stays current under its new index.
    void insertItem(int index, UIListItem* item);
    UIListItem* insertItem(int index, const String& label);
    UIListItem* insertItem(int index, const String& label, const String& detailText, const Bitmap& image);
    // One item per text at index, index + 1, ...
    void insertItems(int index, const StringList& labels);
    // Deletes the item; any current item becomes none.
    void removeItem(UIListItem* item);
    void removeItemAt(int index);
    // Hands the item back, no longer owned; null for an index that is no
    // item. Taking the current item leaves none, except that taking the
    // last one makes the new last item current.
    UIListItem* takeItem(int index);
    void clear();

    int count() const { return m_items.count(); }
    int visibleItemCount() const { return m_items.visibleCount(); }
    bool isEmpty() const { return m_items.isEmpty(); }
    const std::vector<UIListItem*>& items() const { return m_items.items(); }
    // Null for an index that is no item.
    UIListItem* item(int index) const;
    // -1 for null or an item of another list.
    int indexOf(const UIListItem* item) const;
    // Data 0 finds nothing.
    UIListItem* itemByData(int data) const;
    int indexOfItemByData(int data) const;
    // The first visible item whose rectangle holds the point.
    UIListItem* itemAt(Point p, int* index = nullptr) const;
    int indexAt(Point p) const;
    bool isItemOnScreen(int index) const;
    // The item's rectangle at the last paint (its own while it was not
    // placed by one); empty for an index that is no item.
    Rect itemRect(int index) const;

    // ---- Current item ----
    int currentIndex() const { return m_currentIndex; }
    UIListItem* currentItem() const { return m_currentItem; }
    // 0 without a current item.
    int currentItemData() const;
    // A hidden or disabled item, a separator or -1 makes the current item
    // none; on a change it scrolls when asked and emits.
    void setCurrentItem(int index, bool scroll);
    void setCurrentItemAndSelect(int index);
    // Scrolls the view until the item's painted rectangle (with the margins
    // in icon mode) shows; false when nothing scrolled.
    bool ensureItemVisible(int index);

    // ---- Selection (silent: repaints only; nothing in mode 0) ----
    void setSelectionMode(SelectionMode mode) { m_selectionMode = mode; }
    SelectionMode selectionMode() const { return m_selectionMode; }
    // SelectionFlag bits; mode 1 selects the item alone.
    void selectItem(UIListItem* item, int flags);
    void selectItemAt(int index, int flags);
    // Mode 2 only.
    void selectItems(const std::vector<UIListItem*>& items, int flags);
    void selectItemByData(int data);
    void selectCurrentItem();
    void selectAll();
    void clearSelection();
    // The rubber band's rule: visible items the rectangle touches are
    // selected, the others deselected unless Shift was held at the press.
    void selectItemsInRect(const Rect& r);
    bool isItemSelected(int index) const;
    bool hasSelection() const;
    int selectedItemCount() const;
    std::vector<UIListItem*> selectedItems() const;

    // ---- Modes and options ----
    // Stored only: the next paint lays the items out.
    void setViewMode(ViewMode mode) { m_viewMode = mode; }
    ViewMode viewMode() const { return m_viewMode; }
    // Also tracks the pointer while it hovers.
    void setHoverSelect(bool on);
    bool hoverSelect() const { return m_hoverSelect; }
    void setWrapAround(bool on) { m_wrapAround = on; }
    bool wrapAround() const { return m_wrapAround; }
    // Icon mode; 0: no limit.
    void setMaximumColumns(int columns) { m_maximumColumns = columns; }
    int maximumColumns() const { return m_maximumColumns; }
    void setClearSelectionOnBlankClick(bool on) { m_clearSelectionOnBlankClick = on; }
    bool clearSelectionOnBlankClick() const { return m_clearSelectionOnBlankClick; }
    // Drawn for items without an image.
    void setDefaultImage(const Bitmap& image);
    const Bitmap& defaultImage() const { return m_defaultImage; }
    void setBlankText(const String& text);
    const String& blankText() const { return m_blankText; }
    void setBlankImage(const Bitmap& image);
    const Bitmap& blankImage() const { return m_blankImage; }
    void setBlankTextVisible(bool on);
    bool isBlankTextVisible() const { return m_blankTextVisible; }
    void setBlankImageVisible(bool on);
    bool isBlankImageVisible() const { return m_blankImageVisible; }
    // The application's zoom: the row height in list mode, the item size in
    // icon mode; the view relayouts.
    void setItemSize(Size size);
    // List mode (0, row height); icon mode the item size.
    Size itemSize() const;

    // ---- Grid ----
    int columnCount() const;
    int rowCount() const;
    int visibleRowCount() const;
    int rowOf(int index) const { return index / columnCount(); }
    int columnOf(int index) const { return m_viewMode == IconMode ? index % columnCount() : 0; }

    bool isRubberBandActive() const { return m_band.active; }

    // While suspended, adding and removing items neither paints nor
    // relayouts the view; resuming does both once. For filling a shown
    // list with many items.
    void setUpdatesSuspended(bool on);
    bool updatesSuspended() const { return m_updatesSuspended; }

    Size sizeHint() const override;
    // The room the visible items need.
    Size minimumSizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    // The item's own tip; in list mode else its label when drawing shortened it.
    String toolTip(Point p) const override;

    // UIListItemOwner.
    void listItemVisibilityChanged(UIListItem* item) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    template <class View, class Item>
    friend void pressSelection(View& view, Item* item, int index, int anchor, const UIMouseEvent* event);

    struct Style {
        FontDesc font;
        Brush background;
        FontDesc detailedFont;
        Colour detailedForeground;
        Colour selectedDetailedForeground;
        Colour disabledDetailedForeground;
        Colour disabledForeground;
        Brush defaultItemBackground;
        Brush alternateItemBackground;
        Brush selectedItemBackground;
        Colour defaultItemForeground;
        Colour alternateItemForeground;
        Colour selectedItemForeground;
        Colour gridColor;
        Colour borderColor;
        int listModeItemHeight = 0;
        UIMargins listModeItemPadding;
        int listModeItemSpacing = 0;
        Size iconModeItemSize;
        UIMargins iconModeItemPadding;
        UIMargins iconModeItemMargin;
        bool drawGrid = false;
        Colour blankForeground;
        Colour shadowBlankForeground;
        FontDesc blankFont;
        int spacingBetweenIconAndText = 0;
        int spacingBetweenTextAndDetailedText = 0;
        UISkin backgroundSkin;
        UISkin selectionSkin;
        UISkin selectionRectSkin;
        UISkin shadowSkin;
        // The background skin's regions worth drawing.
        int backgroundRegions = SkinAllRegions;
    };

    // Where the last paint placed the visible items: their order then and
    // the grid of that paint; the items' sequence keeps their order then.
    struct Placement {
        bool valid = false;
        bool iconMode = false;
        // The first item's rectangle and the step to the next column and row.
        Rect first;
        int columnStep = 0;
        int rowStep = 0;
        int columns = 1;
    };

    // The label and detail heights of one icon-mode paint.
    struct TextHeights {
        int label = 0;
        int detail = 0;
    };

    // UIList.cpp
    void onItemCountChanged();
    void linkItem(int index, UIListItem* item);
    void unlinkItem(int index);
    void itemsChanged();
    void setCurrentPair(int index, UIListItem* item, bool scroll);
    void rederiveCurrentAfterTake(int index);
    bool isUsable(const UIListItem* item) const;
    // Icon mode: item width and the mean of the side margins.
    int iconColumnStep() const;
    void setBlankSwitch(bool& flag, bool on);
    void selectIndexRange(int lo, int hi);
    // What a press selects: pressSelection's side of the list.
    void selectPressed(UIListItem* item, int flags) { selectItem(item, flags); }
    void clearForPress() { clearSelection(); }
    int selectedCount() const { return selectedItemCount(); }
    UIScrollArea* scrollArea() const;

    // UIListPaint.cpp
    void forgetItem(UIListItem* item);
    void placeGrid();
    Rect placedRect(int rank) const;
    Rect rectOf(UIListItem* item) const;
    // Ranks whose placed rectangle may reach into r, in order.
    std::vector<int> ranksNear(const Rect& r) const;
    std::vector<UIListItem*> itemsTouching(const Rect& r) const;
    void paintItems(Graphics& g);
    void paintListItem(Graphics& g, UIListItem* item, const Rect& r);
    void paintIconItem(Graphics& g, UIListItem* item, const Rect& r, const TextHeights& heights);
    void drawIcon(Graphics& g, UIListItem* item, const Rect& r, const TextHeights& heights);
    void paintBlank(Graphics& g);

    // UIListInput.cpp
    UIItemNavigation navigation() const;
    void moveCurrentAndSelect(int index);
    void stepItem(int direction);
    void stepRow(int direction);
    void pageBy(int direction, int probeY);
    void dragRubberBand(const UIMouseEvent* event);
    void hoverSelectAt(Point p);

    Style m_style;
    UIItemSequence<UIListItem> m_items;
    SelectionMode m_selectionMode = SingleSelection;
    int m_currentIndex = -1;
    UIListItem* m_currentItem = nullptr;
    bool m_hoverSelect = false;
    ViewMode m_viewMode = ListMode;
    bool m_wrapAround = false;
    String m_blankText;
    Bitmap m_blankImage;
    bool m_blankTextVisible = true;
    bool m_blankImageVisible = true;
    bool m_clearSelectionOnBlankClick = true;
    bool m_updatesSuspended = false;
    int m_maximumColumns = 0;
    Bitmap m_defaultImage;
    UIRubberBand m_band;

    Placement m_placement;
    // The items the last paint drew.
    std::unordered_set<const UIListItem*> m_onScreen;
    // Items whose label-elided flag may be set.
    std::vector<UIListItem*> m_elided;
};
