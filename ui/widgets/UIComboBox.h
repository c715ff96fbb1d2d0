#pragma once

// UIComboBox: shows one entry of a list (icon and text) with a drop-down
// arrow; a press opens a pop-up window with the whole list, where the user
// picks an entry with the mouse or the keys. It can be sorted, and editable
// (a line edit in place of the current text). The wheel, type-ahead search
// and a right click (back to the default entry) select too. The pop-up
// joins the pop-up registry, so a press elsewhere closes it.

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "graphics/StateImages.h"
#include "ui/UIComboBoxItem.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"

#include <cstdint>
#include <vector>

class UILineEdit;
class UIListView;
class UIWindow;

class UIComboBox : public UIWidget {
public:
    // Milliseconds of the type-ahead clock; tests install their own.
    using Clock = std::int64_t (*)();
    // Null puts the precise millisecond clock back.
    static void setClock(Clock clock);

    // Where the pop-up of the given size goes for a box at boxOnScreen
    // inside the monitor rectangle (ignored when empty): under the box,
    // pushed inside the monitor sideways, above the box when it would pass
    // the monitor's bottom.
    static Rect popupPlacement(const Rect& boxOnScreen, Size popup, const Rect& monitor);

    explicit UIComboBox(UIWidget* parent = nullptr);
    ~UIComboBox() override;

    // With the new index (-1 for none).
    Signal currentIndexChanged;
    // With the index of the pop-up entry under the pointer.
    Signal itemHovered;

    // ---- Entries ----
    // Each add appends; the first entry that is no separator becomes
    // current when none is, then a sorted box sorts.
    void addItem(const String& text);
    void addItem(const String& text, const Bitmap& image);
    void addItem(const Bitmap& image);
    // Takes the entry.
    void addItem(UIComboBoxItem* item);
    void addItems(const StringList& texts);
    void addSeparator();
    // Removing the current entry leaves none (with the signal); removing
    // one before it keeps the same entry current (without).
    void removeItem(int index);
    void clear();

    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.empty(); }
    // Null for an index that is no entry.
    UIComboBoxItem* item(int index) const;
    String itemText(int index) const;
    void setItemText(int index, const String& text);
    void setItemIcon(int index, const StateImages& icon);

    int currentIndex() const { return m_currentIndex; }
    UIComboBoxItem* currentItem() const { return item(m_currentIndex); }
    String currentText() const;
    // Nothing for the current index, one outside -1 .. count - 1 or a
    // separator: a separator never becomes current.
    void setCurrentIndex(int index);

    // -1 when none, for an empty box or an empty text.
    int findText(const String& text, bool caseSensitive) const;
    int findTextStart(const String& text, bool caseSensitive) const;
    bool selectByText(const String& text, bool caseSensitive);
    // These select the first entry that matches; nothing when none does.
    void selectByData(int data);
    void selectById(std::int64_t id);
    // By the base record's text (UIItem::text).
    void selectByItemText(const String& text);

    // ---- Options ----
    void setSorted(bool sorted);
    bool isSorted() const { return m_sorted; }
    void setEditable(bool editable);
    bool isEditable() const { return m_editable; }
    void setWheelSelects(bool on) { m_wheelSelects = on; }
    bool wheelSelects() const { return m_wheelSelects; }
    // Kept at least 1.
    void setVisibleItemCount(int count);
    int visibleItemCount() const { return m_visibleItemCount; }
    Size iconSize() const { return m_iconSize; }
    // The entry a right click returns to.
    void setDefaultText(const String& text) { m_defaultText = text; }
    const String& defaultText() const { return m_defaultText; }
    UILineEdit* lineEdit() const { return m_lineEdit; }
    void setEditText(const String& text);
    void clearEditText();
    const String& searchText() const { return m_searchText; }

    // ---- Pop-up ----
    virtual void showPopup();
    virtual void hidePopup();
    bool isPopupVisible() const;
    // False for a moment after the pop-up closed by a press or a choice,
    // so that the same press does not open it again.
    bool popupMayOpen() const { return m_popupMayOpen; }
    UIWindow* popup() const { return m_popup; }
    UIListView* popupView() const { return m_popupView; }

    // ---- Widget overrides ----
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    String toolTip(Point p) const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseClickEvent(UIMouseEvent* event) override;
    void wheelEvent(UIWheelEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;

private:
    struct Style {
        FontDesc font;
        Pen foreground;
        Pen disabledForeground;
        int minimumHeight = 0;
        int minimumWidth = 0;
        // 0: no bound.
        int maximumWidth = 0;
        int spacing = 0;
        UIMargins padding;
        UIMargins popupPadding;
        Brush popupBackground;
        UISkin background;
        UISkin arrow;
    };

    void buildPopup();
    void appendItem(UIComboBoxItem* item);
    // The first entry that is no separator; -1 when none.
    int firstTextIndex() const;
    bool isSeparatorAt(int index) const;
    void sortItems();
    void showCurrentInLineEdit();
    void applyStyle();
    int paintState() const;
    void fillPopupList();
    void placePopup();
    void guardReopen();
    void search(const String& text);
    void step(int direction);

    void onCurrentIndexChanged();
    void onLineEditFocusOut();
    void onLineEditWheel(UIWheelEvent* event);
    void onListRelease(UIMouseEvent* event);
    void onListKey(UIKeyEvent* event);
    void onListMove(UIMouseEvent* event);
    void onListFocusOut();
    void onPopupHidden();

    Style m_style;
    std::vector<UIComboBoxItem*> m_items;
    int m_currentIndex = -1;
    bool m_sorted = false;
    bool m_editable = false;
    bool m_wheelSelects = true;
    Size m_iconSize = {16, 16};
    int m_visibleItemCount = 10;
    bool m_popupMayOpen = true;
    // Set while hidePopup hides the pop-up itself.
    bool m_hidingByCall = false;
    UILineEdit* m_lineEdit = nullptr;
    UIWindow* m_popup = nullptr;
    UIListView* m_popupView = nullptr;
    String m_searchText;
    std::int64_t m_lastSearchKey = 0;
    bool m_currentTextElided = false;
    String m_defaultText;
};
