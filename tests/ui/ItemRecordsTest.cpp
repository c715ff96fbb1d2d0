#include "ui/UIComboBoxItem.h"
#include "ui/UIHeaderSection.h"
#include "ui/UIListItem.h"
#include "ui/UITabBarItem.h"
#include "ui/UITableRow.h"

#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CountingTable : public UITableRowOwner {
public:
    void rowVisibilityChanged(UITableRow*, bool hidden) override
    {
        hiddenRows += hidden ? 1 : -1;
        ++reports;
    }
    void hiddenRowDeleted(UITableRow*) override { --hiddenRows; }

    int hiddenRows = 0;
    int reports = 0;
};

class CountingList : public UIListItemOwner {
public:
    void listItemVisibilityChanged(UIListItem*) override { ++reports; }

    int reports = 0;
};

} // namespace

TEST(ItemRecords, HeaderWidthRule)
{
    struct Row {
        int minimumWidth;
        int lowerBound;
        int requested;
        int width;
    };
    const Row rows[] = {
        {40, 0, 10, 40}, {0, 60, 50, 60}, {40, 0, 200, 200}, {0, 60, 200, 200}, {0, 0, -5, -5}, {40, 60, 45, 60},
    };
    forEachRow(rows, [](const Row& row) {
        UIHeaderSection section(L"Name");
        section.setMinimumWidth(row.minimumWidth);
        section.setLowerBound(row.lowerBound);
        section.setWidth(row.requested);
        EXPECT_EQ(section.width(), row.width);
    });
    UIHeaderSection section(L"Name");
    section.setWidth(50);
    section.setLowerBound(70);
    EXPECT_EQ(section.width(), 70) << "a new limit re-applies to the current width";
}

TEST(ItemRecords, HidingASelectedRowDeselectsAndCountsOnce)
{
    CountingTable table;
    auto row = std::make_unique<UITableRow>();
    row->setOwner(&table);
    row->rect()->height = 20;
    row->select();
    row->hide();
    EXPECT_FALSE(row->isSelected());
    EXPECT_EQ(row->rowHeight(), 0);
    EXPECT_EQ(table.hiddenRows, 1);
    row->hide();
    EXPECT_EQ(table.reports, 1) << "hiding a hidden row emits nothing";
    row.reset();
    EXPECT_EQ(table.hiddenRows, 0) << "deleting a hidden row lowers the count";
    auto visible = std::make_unique<UITableRow>();
    visible->setOwner(&table);
    visible.reset();
    EXPECT_EQ(table.hiddenRows, 0);
}

TEST(ItemRecords, RowOwnsItsCells)
{
    UITableRow row;
    UIItemCell* text = row.addTextCell(L"a");
    UIItemCell* image = row.addImageCell(Bitmap());
    EXPECT_EQ(row.addCell(new UIItemCell), 2);
    EXPECT_EQ(row.cellCount(), 3);
    EXPECT_EQ(row.cell(0), text);
    EXPECT_EQ(text->kind(), UIItemCell::TextCell);
    EXPECT_EQ(image->kind(), UIItemCell::ImageCell);
    EXPECT_EQ(image->alignment(), itemAlignCentred);
    for (int i = 0; i < row.cellCount(); ++i)
        EXPECT_EQ(row.cell(i)->owner(), &row);
}

TEST(ItemRecords, ListItemTellsItsOwnerOnlyWhenItHasOne)
{
    UIListItem loose(L"label", L"detail", Bitmap());
    loose.select();
    loose.setVisible(false);
    EXPECT_FALSE(loose.isSelected());
    CountingList list;
    UIListItem item;
    item.setOwner(&list);
    item.setVisible(true);
    item.setVisible(false);
    item.setVisible(true);
    EXPECT_EQ(list.reports, 2);
}

TEST(ItemRecords, TabCheckedOnlyWhenCheckable)
{
    UITabBarItem tab(L"Tab");
    tab.setCheckable(false);
    tab.setChecked(true);
    EXPECT_FALSE(tab.isChecked());
    tab.setCheckable(true);
    tab.setChecked(true);
    EXPECT_TRUE(tab.isChecked());
}

TEST(ItemRecords, ColoursStartUnsetSoTheStyleApplies)
{
    EXPECT_FALSE(UIComboBoxItem(L"x").background().isVisible());
    EXPECT_FALSE(UIListItem().textPen().colour().isVisible());
    EXPECT_FALSE(UIItemCell().background().isVisible());
}
