#include "ui/widgets/UIToolBar.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/widgets/UIPicture.h"
#include "ui/widgets/UISpacer.h"
#include "ui/widgets/UIToolButton.h"

#include <vector>

namespace {

Bitmap transparentPixel()
{
    Bitmap pixel(1, 1, true);
    pixel.fill(Colour(0x00FFFFFFu));
    return pixel;
}

} // namespace

UIToolBar::UIToolBar(UIWidget* parent) : UIWidget(parent), m_separatorImage(transparentPixel())
{
    setStyleName(L"UIToolBar");
    setFlag(WidgetSeeThrough, false);
    setSizePolicy(SizeResizable, SizeFixed);
    setLayoutVertical(false);
    setPadding(m_padding);
    setButtonSpacing(m_buttonSpacing);
}

// The buttons are children: the widget tree deletes them.
UIToolBar::~UIToolBar() = default;

void UIToolBar::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"background"))
        m_background = parseBrushValue(value);
    else if (name == String(L"padding"))
        setPadding(parseMarginsValue(value));
    else if (name == String(L"buttonSpacing"))
        setButtonSpacing(parseIntValue(value));
    else if (name == String(L"buttonPadding"))
        m_buttonPadding = parseMarginsValue(value);
    else if (name == String(L"intervalThickness"))
        m_intervalThickness = parseIntValue(value);
}

void UIToolBar::setStyleImage(const String& skinName, UISkin* skin)
{
    if (!skin)
        return;
    if (skinName == String(L"UIToolBar_Background"))
        m_backgroundSkin = *skin;
    else if (skinName == String(L"UIToolBar_MenuIndicator"))
        m_menuIndicator = *skin;
}

UIToolButton* UIToolBar::addButton(const StateImages& icon, const String& text, const String& toolTip)
{
    auto* button = new UIToolButton(this, icon, text);
    button->setToolTip(toolTip);
    addButton(button);
    return button;
}

void UIToolBar::addButton(UIToolButton* button)
{
    button->show();
    insertButton(count(), button);
}

void UIToolBar::insertButton(int index, UIToolButton* added)
{
    added->setDisplayMode(m_displayMode);
    added->setPadding(m_buttonPadding);
    added->setToolTipOption(id());
    added->setParent(this);
    // A button inserted again moves rather than standing twice in the list.
    m_buttons.removeValue(added);
    UIToolButton* before = button(index);
    // The screen follows the child order: the button goes last, and at an
    // inner place the children from its successor on go after it.
    moveChildToEnd(added);
    if (!before) {
        m_buttons.append(added);
        return;
    }
    m_buttons.insertBefore(m_buttons.findNode(before), added);
    moveChildrenToEnd(before, added);
}

void UIToolBar::moveChildToEnd(UIWidget* child)
{
    child->setParent(nullptr);
    child->setParent(this);
}

void UIToolBar::moveChildrenToEnd(const UIWidget* from, const UIWidget* kept)
{
    std::vector<UIWidget*> moving;
    bool found = false;
    for (UIWidget* child : children()) {
        found = found || child == from;
        if (found && child != kept)
            moving.push_back(child);
    }
    for (UIWidget* child : moving)
        moveChildToEnd(child);
}

void UIToolBar::removeButton(UIToolButton* button)
{
    auto* node = m_buttons.findNode(button);
    if (!node)
        return;
    m_buttons.removeNode(node);
    delete button;
}

UIToolButton* UIToolBar::button(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return m_buttons.nodeAt(index)->value;
}

int UIToolBar::indexOf(const UIToolButton* button) const
{
    int index = 0;
    for (const UIToolButton* b : m_buttons) {
        if (b == button)
            return index;
        ++index;
    }
    return -1;
}

UIToolButton* UIToolBar::buttonAt(Point p) const
{
    for (UIToolButton* b : m_buttons) {
        if (b->isVisible() && b->geometry().contains(p))
            return b;
    }
    return nullptr;
}

int UIToolBar::indexAt(Point p) const
{
    return indexOf(buttonAt(p));
}

void UIToolBar::setButtonEnabled(int index, bool enabled)
{
    if (UIToolButton* b = button(index))
        b->setEnabledRecursive(enabled);
}

void UIToolBar::setButtonChecked(int index, bool checked)
{
    if (UIToolButton* b = button(index))
        b->setChecked(checked);
}

void UIToolBar::setButtonVisible(int index, bool visible)
{
    if (UIToolButton* b = button(index))
        b->setVisible(visible);
}

void UIToolBar::setChecked(int index, bool exclusive)
{
    UIToolButton* target = button(index);
    if (exclusive) {
        for (UIToolButton* b : m_buttons) {
            if (b != target && b->isCheckable() && b->isChecked())
                b->setChecked(false);
        }
    }
    if (target)
        target->setChecked(true);
}

UIPicture* UIToolBar::addSeparator()
{
    auto* separator = new UIPicture(this);
    separator->setImage(m_separatorImage, UIPicture::Unscaled, AlignLeft | AlignTop);
    separator->show();
    return separator;
}

UIExpander* UIToolBar::addExpander()
{
    auto* expander = new UIExpander(this);
    expander->show();
    return expander;
}

UISpacer* UIToolBar::addInterval()
{
    auto* interval = new UISpacer(m_intervalThickness, m_intervalThickness, this);
    interval->show();
    return interval;
}

void UIToolBar::setDisplayMode(int mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    for (UIToolButton* b : m_buttons)
        b->setDisplayMode(mode);
}

void UIToolBar::setPadding(const UIMargins& padding)
{
    m_padding = padding;
    setLayoutMargins(padding.left, padding.top, padding.right, padding.bottom);
}

void UIToolBar::setButtonSpacing(int spacing)
{
    m_buttonSpacing = spacing;
    setLayoutSpacing(spacing);
}

void UIToolBar::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    if (m_backgroundSkin.isNull())
        g.fillRect(rect(), m_background);
    else
        m_backgroundSkin.drawNineSlice(g, rect(), 0, SkinAllRegions);
}
