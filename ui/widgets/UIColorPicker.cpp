#include "ui/widgets/UIColorPicker.h"

#include "foundation/Application.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/ColorDialog.h"
#include "ui/widgets/UIAbstractButton.h"
#include "ui/widgets/UIMenu.h"

namespace {

constexpr const wchar_t* translationContext = L"UserInterface/UIColorPicker";
constexpr const wchar_t* copyText = L"Copy color";
constexpr const wchar_t* pasteText = L"Paste color";

// The swatch's edge is the colour darkened by this much.
constexpr double edgeDarkening = 0.3;
constexpr Colour disabledEdge(200, 200, 200);
constexpr Colour disabledFace(220, 220, 220);

// The colour the pickers of this process pass between them.
struct CopiedColour {
    Colour colour;
    bool empty = true;
};

CopiedColour& copiedColour()
{
    static CopiedColour slot;
    return slot;
}

} // namespace

UIColorPicker::UIColorPicker(UIWidget* parent) : UIWidget(parent), m_colorText(m_color.toHex(true))
{
    setStyleName(L"UIColorPicker");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetHoverTracking, true);
    setSizePolicy(SizeFixed, SizeFixed);
    // A child of the picker, so that its window keeps the active frame
    // while the menu is open.
    auto* menu = new UIMenu(this);
    menu->addAction(translate(copyText, translationContext));
    menu->addAction(translate(pasteText, translationContext));
    menu->aboutToShow.connect(this, &UIColorPicker::enablePaste);
    menu->action(CopyEntry)->triggered.connect(this, &UIColorPicker::copyColor);
    menu->action(PasteEntry)->triggered.connect(this, &UIColorPicker::pasteColor);
    setContextMenu(menu);
}

UIMenu* UIColorPicker::menu() const
{
    return static_cast<UIMenu*>(contextMenu());
}

void UIColorPicker::setColor(Colour colour)
{
    if (colour == m_color)
        return;
    m_color = colour;
    m_colorText = colour.toHex(true);
    repaint();
}

void UIColorPicker::copyColor()
{
    copiedColour() = {m_color, false};
}

void UIColorPicker::pasteColor()
{
    if (!copiedColour().empty)
        setColor(copiedColour().colour);
}

void UIColorPicker::enablePaste(UIMenu* shown)
{
    shown->setActionEnabled(PasteEntry, !copiedColour().empty);
}

void UIColorPicker::retranslate()
{
    if (!menu())
        return;
    menu()->setActionText(CopyEntry, translate(copyText, translationContext));
    menu()->setActionText(PasteEntry, translate(pasteText, translationContext));
}

Size UIColorPicker::sizeHint() const
{
    return m_minimumSize;
}

void UIColorPicker::setStyleProperty(const String& name, const String& value)
{
    if (name == L"colorCellSize")
        m_colorCellSize = parseSizeValue(value);
    else if (name == L"minimumSize")
        m_minimumSize = parseSizeValue(value);
}

void UIColorPicker::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == L"UIColorPicker_Background")
        m_background = *skin;
}

String UIColorPicker::toolTip(Point p) const
{
    const String own = UIWidget::toolTip(p);
    if (own.isEmpty() && hasAutoToolTip())
        return m_colorText;
    return own;
}

// ---- Painting ----

void UIColorPicker::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    m_background.drawNineSlice(g, rect(), clickableSkinState(*this), SkinAllRegions);
    const Rect cell = rect().alignedRect(m_colorCellSize.width, m_colorCellSize.height, AlignCenter);
    const Rect face = cell.adjusted(1, 1, -1, -1);
    if (isEnabled()) {
        g.fillRectColour(cell, m_color.darker(edgeDarkening));
        g.fillRectColour(face, m_color);
    } else {
        g.fillRectColour(cell, disabledEdge);
        g.fillRectColour(face, disabledFace);
    }
}

// ---- Input ----

void UIColorPicker::mousePressEvent(UIMouseEvent*)
{
    repaint();
}

void UIColorPicker::mouseReleaseEvent(UIMouseEvent*)
{
    repaint();
}

void UIColorPicker::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIColorPicker::leaveEvent(UIMouseEvent*)
{
    repaint();
}

void UIColorPicker::mouseClickEvent(UIMouseEvent* e)
{
    repaint();
    if (e->button() == LeftButton && rect().contains(e->position()))
        chooseWithDialog();
    else if (e->button() == RightButton && !contextMenu())
        resetColor();
}

void UIColorPicker::chooseWithDialog()
{
    ColorDialog dialog(this);
    dialog.setFullOpen(m_dialogMode == DialogFullOpen);
    dialog.setInitialColor(m_color);
    if (dialog.exec())
        setColor(dialog.resultColor());
}
