#pragma once

// UIStack: a pile of pages of which at most one shows at a time, for
// dialogs that switch their content (option pages, wizard steps). The
// application fills each UIStackPage with its own widgets.

#include "foundation/List.h"
#include "ui/UIWidget.h"

class UIStackPage : public UIWidget {
public:
    explicit UIStackPage(UIWidget* parent);
};

class UIStack : public UIWidget {
public:
    // Makes pageCount hidden pages; none shows until setCurrentIndex.
    explicit UIStack(int pageCount, UIWidget* parent = nullptr);

    // Shows page index alone; -1 hides every page. An index past the pages
    // changes nothing.
    void setCurrentIndex(int index);
    // -1 until a page is shown.
    int currentIndex() const { return m_currentIndex; }
    // Index below 1 gives the first page; null past the pages.
    UIStackPage* page(int index) const;
    int pageCount() const { return m_pages.count(); }

    // The largest preferred width and height of the pages, plus the margins.
    Size sizeHint() const override;

private:
    List<UIStackPage*> m_pages;
    int m_currentIndex = -1;
};
