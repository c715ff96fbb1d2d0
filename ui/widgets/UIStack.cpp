#include "ui/widgets/UIStack.h"

#include <algorithm>

UIStackPage::UIStackPage(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeResizable, SizeResizable);
    setStyleName(L"UIStackPage");
}

UIStack::UIStack(int pageCount, UIWidget* parent) : UIWidget(parent)
{
    setStyleName(L"UIStack");
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeResizable, SizeResizable);
    applyLayoutMarginMetrics();
    for (int i = 0; i < pageCount; ++i)
        m_pages.append(new UIStackPage(this));
}

void UIStack::setCurrentIndex(int index)
{
    if (index == m_currentIndex || index < -1 || index >= pageCount())
        return;
    for (UIStackPage* page : m_pages)
        page->hide();
    if (index != -1)
        page(index)->show();
    m_currentIndex = index;
}

UIStackPage* UIStack::page(int index) const
{
    if (m_pages.isEmpty() || index >= pageCount())
        return nullptr;
    return m_pages.nodeAt(std::max(index, 0))->value;
}

Size UIStack::sizeHint() const
{
    Size largest;
    for (UIStackPage* page : m_pages) {
        const Size s = page->preferredSize();
        largest = {std::max(largest.width, s.width), std::max(largest.height, s.height)};
    }
    const LayoutMargins m = layoutMargins();
    return {largest.width + m.left + m.right, largest.height + m.top + m.bottom};
}
