#pragma once

// UIColorPicker: a small swatch button showing one colour. A left click
// opens the system's colour dialog on it; its context menu copies the
// colour into a slot shared by every picker of the process (not the
// clipboard) and pastes it from there.

#include "foundation/String.h"
#include "graphics/Colour.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"

class UIMenu;

class UIColorPicker : public UIWidget {
public:
    // Entries of the context menu.
    enum MenuEntry { CopyEntry = 0, PasteEntry = 1 };
    // Dialog modes: 1 opens the dialog with its custom-colour part expanded.
    enum DialogMode { DialogCompact = 0, DialogFullOpen = 1 };

    explicit UIColorPicker(UIWidget* parent);
    // Deletes the context menu.

    // Repaints when the colour changes; emits nothing.
    void setColor(Colour colour);
    Colour color() const { return m_color; }
    // "#AARRGGBB".
    const String& colorText() const { return m_colorText; }
    void setDefaultColor(Colour colour) { m_defaultColor = colour; }
    Colour defaultColor() const { return m_defaultColor; }
    void resetColor() { setColor(m_defaultColor); }
    void setDialogMode(int mode) { m_dialogMode = mode; }
    int dialogMode() const { return m_dialogMode; }
    // The swatch's size, centred in the picker.
    Size colorCellSize() const { return m_colorCellSize; }

    // The context menu's entries.
    void copyColor();
    // Nothing until some picker copied.
    void pasteColor();
    UIMenu* menu() const;

    void retranslate() override;
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    // The own tool tip, or with the automatic option the colour text.
    String toolTip(Point p) const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseClickEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;

private:
    void enablePaste(UIMenu* menu);
    void chooseWithDialog();

    Size m_colorCellSize = Size(16, 16);
    Size m_minimumSize = Size(44, 29);
    UISkin m_background;
    Colour m_color = Colour(0, 0, 0);
    String m_colorText;
    int m_dialogMode = DialogFullOpen;
    Colour m_defaultColor;
};
