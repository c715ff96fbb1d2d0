#pragma once

// UITableView: the scroll area that shows a UITable under its header. It
// makes the table its content, relayouts whenever the room the table needs
// may have changed (columns resized or shown, rows added, hidden or shown;
// while the table's updates are suspended, once when they resume) and turns wheel turns over the table into scrolling, except while the
// table's rubber band is out. One page leaves out the header.

#include "ui/widgets/UIScrollArea.h"

class UITable;

class UITableView : public UIScrollArea {
public:
    explicit UITableView(UIWidget* parent = nullptr);

    // The content, when it is a table.
    UITable* table() const;

    // Wires a table before taking it.
    void setContentWidget(UIWidget* content) override;
    Size viewportSize() const override;
    // The scroll area's, with room for the header.
    Size sizeHint() const override;

private:
    void wire(UITable* table);
    void onRowCountChanged();
    void onTableWheel(UIWheelEvent* event);
};
