#include "ui/widgets/UIListView.h"

#include "ui/widgets/UIList.h"

UIListView::UIListView(UIWidget* parent) : UIScrollArea(parent)
{
    storeStyleName(L"UIListView");
    auto* content = new UIList(viewport());
    content->show();
    wire(content);
    UIScrollArea::setContentWidget(content);
    setVerticalSingleStep(content->itemSize().height);
}

UIList* UIListView::list() const
{
    return dynamic_cast<UIList*>(contentWidget());
}

void UIListView::setContentWidget(UIWidget* content)
{
    if (auto* newList = dynamic_cast<UIList*>(content))
        wire(newList);
    UIScrollArea::setContentWidget(content);
}

void UIListView::wire(UIList* list)
{
    list->visibleItemCountChanged.connect(this, &UIListView::relayout);
    list->wheelTurned.connect(this, &UIListView::onListWheel);
}

void UIListView::onListWheel(UIWheelEvent* event)
{
    const UIList* content = list();
    if (content && !content->isRubberBandActive())
        scrollByWheel(event);
}
