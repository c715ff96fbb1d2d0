#pragma once

// UIListView: the scroll area that shows a UIList. It makes the list its
// content, relayouts whenever the number of visible items changes and turns
// wheel turns over the list into scrolling, except while the list's rubber
// band is out. One wheel step is one item's height.

#include "ui/widgets/UIScrollArea.h"

class UIList;

class UIListView : public UIScrollArea {
public:
    explicit UIListView(UIWidget* parent = nullptr);

    // The content, when it is a list.
    UIList* list() const;

    // Wires a list before taking it.
    void setContentWidget(UIWidget* content) override;

private:
    void wire(UIList* list);
    void onListWheel(UIWheelEvent* event);
};
