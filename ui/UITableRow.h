#pragma once

// A row of a table and the cells it owns.

#include "foundation/Geometry.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/UIItem.h"

#include <memory>
#include <vector>

class UITableRow;

// What a row tells the table that holds it.
class UITableRowOwner {
public:
    virtual ~UITableRowOwner() = default;
    // The row was hidden or shown: the table counts its hidden rows and
    // reports its visible row count.
    virtual void rowVisibilityChanged(UITableRow* row, bool hidden) = 0;
    // A hidden row is being deleted: the table counts one hidden row less.
    virtual void hiddenRowDeleted(UITableRow* row) = 0;
};

struct ItemMargins {
    int left = 4;
    int top = 4;
    int right = 4;
    int bottom = 4;

    bool operator==(const ItemMargins&) const = default;
};

// The cell's text is the record's own (UIItem::text).
class UIItemCell : public UIItem, public UIItemLook {
public:
    enum Kind { TextCell = 0, ImageCell = 1 };

    UIItemCell();

    void setKind(int kind) { m_kind = kind; }
    int kind() const { return m_kind; }
    void setOwner(UITableRow* row) { m_owner = row; }
    UITableRow* owner() const { return m_owner; }
    Rect* rect() { return &m_rect; }
    Rect* textRect() { return &m_textRect; }
    // FontDesc style flags.
    void setFontStyle(std::uint32_t style) { m_font.setStyle(style); }
    void setMargins(int left, int top, int right, int bottom) { m_margins = {left, top, right, bottom}; }
    const ItemMargins& margins() const { return m_margins; }
    void setSortText(const String& text) { m_sortText = text; }
    const String& sortText() const { return m_sortText; }
    void setSortValue(double value) { m_sortValue = value; }
    double sortValue() const { return m_sortValue; }
    void setTextElided(bool on) { m_textElided = on; }
    bool isTextElided() const { return m_textElided; }
    // Hiding resets the rectangle; the table's hit test skips hidden cells.
    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }

private:
    bool m_visible = true;
    UITableRow* m_owner = nullptr;
    Rect m_rect;
    int m_kind = TextCell;
    ItemMargins m_margins;
    String m_sortText;
    double m_sortValue = 0.0;
    Rect m_textRect;
    bool m_textElided = false;
};

class UITableRow : public UISelectableItem {
public:
    UITableRow() = default;
    // Deletes the cells; a hidden row tells its owner.
    ~UITableRow() override;

    void setOwner(UITableRowOwner* owner) { m_owner = owner; }
    UITableRowOwner* owner() const { return m_owner; }

    const std::vector<std::unique_ptr<UIItemCell>>& cells() const { return m_cells; }
    // i must be below cellCount().
    UIItemCell* cell(int i) const { return m_cells[static_cast<std::size_t>(i)].get(); }
    int cellCount() const { return static_cast<int>(m_cells.size()); }
    // Takes the cell; its index.
    int addCell(UIItemCell* cell);
    UIItemCell* addTextCell(const String& text);
    // An image cell, centred.
    UIItemCell* addImageCell(const Bitmap& image);

    void setBackground(const Brush& brush) { m_background = brush; }
    const Brush& background() const { return m_background; }
    int rowHeight() const { return m_rect.height; }

    // Hiding resets the rectangle and deselects; a change reaches the owner.
    void setVisible(bool visible);
    void show() { setVisible(true); }
    void hide() { setVisible(false); }
    bool select()
    {
        setSelected(true);
        return true;
    }
    // Set by the table's paint for the rows it draws.
    void setOnScreen(bool on) { m_onScreen = on; }
    bool isOnScreen() const { return m_onScreen; }

private:
    UITableRowOwner* m_owner = nullptr;
    std::vector<std::unique_ptr<UIItemCell>> m_cells;
    Brush m_background = Brush(Colour(unsetItemColour));
    bool m_onScreen = false;
};
