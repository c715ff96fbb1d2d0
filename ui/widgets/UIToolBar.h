#pragma once

// UIToolBar: a row of UIToolButtons laid out left to right, with pictures
// as separators, expanders and fixed gaps between them. It draws only its
// background; the buttons are its child widgets. It hands its button
// padding and display mode to every button and can check one button
// exclusively.

#include "foundation/List.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/StateImages.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"

class UIExpander;
class UIPicture;
class UISpacer;
class UIToolButton;

class UIToolBar : public UIWidget {
public:
    explicit UIToolBar(UIWidget* parent);
    ~UIToolBar() override;

    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

    // ---- Buttons ----

    // A new shown button at the end, with the tool tip.
    UIToolButton* addButton(const StateImages& icon, const String& text, const String& toolTip);
    // Shows the button and puts it at the end; the bar becomes its parent.
    void addButton(UIToolButton* button);
    // The button takes the bar's display mode, button padding and, as its
    // tool-tip option, the bar's widget id, and goes before the button at
    // index, on screen too; an index outside 0 .. count - 1 appends.
    void insertButton(int index, UIToolButton* button);
    // Unlinks and deletes the button; nothing for one the bar does not hold.
    void removeButton(UIToolButton* button);

    // Null, resp. -1, for an index, a button or a point the bar does not
    // hold; points are in bar coordinates.
    UIToolButton* button(int index) const;
    int indexOf(const UIToolButton* button) const;
    int count() const { return m_buttons.count(); }
    UIToolButton* buttonAt(Point p) const;
    int indexAt(Point p) const;

    // Per index; nothing for an index the bar does not hold.
    void setButtonEnabled(int index, bool enabled);
    // UIAbstractButton::setChecked: only a checkable button takes it.
    void setButtonChecked(int index, bool checked);
    void setButtonVisible(int index, bool visible);
    // Checks the button at index; exclusive first unchecks every other
    // checked button, also when the one at index is not checkable.
    void setChecked(int index, bool exclusive);

    // ---- Separators and gaps, after the widgets added before them ----

    // A picture showing the separator image.
    UIPicture* addSeparator();
    // Takes the free width: what follows sits at the far end.
    UIExpander* addExpander();
    // A fixed gap of intervalThickness in both directions.
    UISpacer* addInterval();

    // ---- Look ----

    // Handed to every button when it changes (UIToolButtonDisplayMode).
    void setDisplayMode(int mode);
    int displayMode() const { return m_displayMode; }
    // The layout margins, applied at once.
    void setPadding(const UIMargins& padding);
    const UIMargins& padding() const { return m_padding; }
    // For buttons inserted later.
    void setButtonPadding(const UIMargins& padding) { m_buttonPadding = padding; }
    const UIMargins& buttonPadding() const { return m_buttonPadding; }
    // The layout spacing in both directions.
    void setButtonSpacing(int spacing);
    int buttonSpacing() const { return m_buttonSpacing; }
    void setIntervalThickness(int thickness) { m_intervalThickness = thickness; }
    int intervalThickness() const { return m_intervalThickness; }
    // Shown by the separators added later; starts fully transparent, 1 x 1.
    void setSeparatorImage(const Bitmap& image) { m_separatorImage = image; }
    const Bitmap& separatorImage() const { return m_separatorImage; }
    // Kept for the owner; the bar does not read it.
    void setOption(int option) { m_option = option; }
    int option() const { return m_option; }

protected:
    void paintEvent(UIPaintEvent* event) override;

private:
    // Moves the children from the one given to the end, all but kept, so
    // that kept comes before them on screen.
    void moveChildrenToEnd(const UIWidget* from, const UIWidget* kept);
    void moveChildToEnd(UIWidget* child);

    Brush m_background;
    UIMargins m_padding;
    int m_buttonSpacing = 0;
    UIMargins m_buttonPadding;
    int m_intervalThickness = 0;
    UISkin m_backgroundSkin;
    // Read from the style; the buttons draw their own arrows.
    UISkin m_menuIndicator;

    List<UIToolButton*> m_buttons;
    int m_option = 0;
    int m_displayMode = 0;
    Bitmap m_separatorImage;
};
