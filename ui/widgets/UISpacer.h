#pragma once

// Fillers for layouts: UISpacer keeps a fixed gap, UIExpander takes up
// whatever room its neighbours leave. Neither draws anything.

#include "ui/UIWidget.h"

class UIExpander : public UIWidget {
public:
    explicit UIExpander(UIWidget* parent = nullptr);
};

class UISpacer : public UIWidget {
public:
    // A gap of that size the pointer passes through.
    UISpacer(int width, int height, UIWidget* parent = nullptr);
    // A square gap.
    explicit UISpacer(int size, UIWidget* parent = nullptr);

    Size sizeHint() const override { return m_size; }

private:
    Size m_size;
};
