#include "ui/widgets/UITableView.h"

#include "ui/widgets/UIHeader.h"
#include "ui/widgets/UITable.h"

UITableView::UITableView(UIWidget* parent) : UIScrollArea(parent)
{
    storeStyleName(L"UITableView");
    auto* content = new UITable(viewport());
    wire(content);
    UIScrollArea::setContentWidget(content);
    content->show();
    setVerticalSingleStep(content->rowHeight());
}

UITable* UITableView::table() const
{
    return dynamic_cast<UITable*>(contentWidget());
}

void UITableView::setContentWidget(UIWidget* content)
{
    if (auto* newTable = dynamic_cast<UITable*>(content))
        wire(newTable);
    UIScrollArea::setContentWidget(content);
}

void UITableView::wire(UITable* table)
{
    table->header()->sectionResized.connect(this, &UITableView::relayout);
    table->visibleRowCountChanged.connect(this, &UITableView::onRowCountChanged);
    table->columnsChanged.connect(this, &UITableView::relayout);
    table->wheelTurned.connect(this, &UITableView::onTableWheel);
}

// A mass insert relayouts once, when the table's updates resume: the bars
// repaint on every change of their range.
void UITableView::onRowCountChanged()
{
    const UITable* content = table();
    if (!content || !content->updatesSuspended())
        relayout();
}

void UITableView::onTableWheel(UIWheelEvent* event)
{
    const UITable* content = table();
    if (content && !content->isRubberBandActive())
        scrollByWheel(event);
}

Size UITableView::viewportSize() const
{
    Size size = UIScrollArea::viewportSize();
    const UITable* content = table();
    const int header = content ? content->headerHeight() : 0;
    if (header >= 1)
        size.height -= header;
    return size;
}

Size UITableView::sizeHint() const
{
    Size hint = UIScrollArea::sizeHint();
    if (const UITable* content = table())
        hint.height += content->header()->height();
    return hint;
}
