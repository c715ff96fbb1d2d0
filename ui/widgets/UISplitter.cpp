#include "ui/widgets/UISplitter.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/UIStyleValues.h"

#include <algorithm>
#include <cstdlib>

namespace {

SplitterOrientation opposite(SplitterOrientation orientation)
{
    return orientation == SplitterHorizontal ? SplitterVertical : SplitterHorizontal;
}

int panelLayoutIndex(int panel)
{
    return 2 * panel;
}

int separatorLayoutIndex(int separator)
{
    return 2 * separator + 1;
}

} // namespace

// ---- UISplitterPanel ----

UISplitterPanel::UISplitterPanel(UIWidget* parent) : UIWidget(parent)
{
    setFlag(WidgetSeeThrough, true);
    setSizePolicy(SizeResizable, SizeResizable);
    setStyleName(L"UISplitterPanel");
}

// ---- UISplitterSeparator ----

UISplitterSeparator::UISplitterSeparator(int index, SplitterOrientation orientation, UISplitter* splitter)
    : UIWidget(splitter), m_splitter(splitter), m_index(index)
{
    setStyleName(L"UISplitterSeparator");
    setFlag(WidgetSeeThrough, false);
    setOrientation(orientation);
}

void UISplitterSeparator::setOrientation(SplitterOrientation orientation)
{
    m_orientation = orientation;
    if (orientation == SplitterVertical)
        setSizePolicy(SizeFixed, SizeResizable);
    else
        setSizePolicy(SizeResizable, SizeFixed);
    setCursor(normalCursor());
}

void UISplitterSeparator::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"thickness"))
        m_thickness = parseIntValue(value);
}

void UISplitterSeparator::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == String(L"UISplitterSeparator_HorizontalBackground"))
        m_horizontalBackground = *skin;
    else if (skinName == String(L"UISplitterSeparator_VerticalBackground"))
        m_verticalBackground = *skin;
    else if (skinName == String(L"UISplitterSeparator_Gripper"))
        m_gripper = *skin;
}

void UISplitterSeparator::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const UISkin& background = m_orientation == SplitterVertical ? m_verticalBackground : m_horizontalBackground;
    background.drawNineSlice(g, rect(), 0, SkinAllRegions);
    m_gripper.drawAligned(g, rect(), AlignCenter, 0);
}

void UISplitterSeparator::mousePressEvent(UIMouseEvent* event)
{
    m_pressOffset = 0;
    if (event->button() != LeftButton)
        return;
    m_pressOffset = along(event->position()) - m_thickness / 2;
    // The drag starts where the separator is, so the first move is measured
    // from the press rather than from the splitter's edge.
    m_lastPosition = along(mapToParent(event->position())) - m_pressOffset;
    m_lastMouse = event->position();
    m_dragging = true;
}

void UISplitterSeparator::mouseReleaseEvent(UIMouseEvent*)
{
    m_dragging = false;
}

void UISplitterSeparator::mouseMoveEvent(UIMouseEvent* event)
{
    if (!m_dragging)
        return;
    const int q = along(mapToParent(event->position())) - m_pressOffset;
    if (std::abs(m_lastPosition - q) >= 2 && along(event->position()) != along(m_lastMouse)) {
        m_lastPosition = q;
        setCursor(m_splitter->moveSeparator(m_index, q) ? normalCursor() : refusedCursor());
    }
    m_lastMouse = event->position();
}

Cursor UISplitterSeparator::normalCursor() const
{
    return Cursor(m_orientation == SplitterVertical ? CursorSplitLeftRight : CursorSplitTopBottom);
}

Cursor UISplitterSeparator::refusedCursor() const
{
    const int c = along(mapFromGlobal(cursorPosition()));
    const bool vertical = m_orientation == SplitterVertical;
    if (c > m_thickness)
        return Cursor(vertical ? CursorSplitLeft : CursorSplitTop);
    if (c < 0)
        return Cursor(vertical ? CursorSplitRight : CursorSplitBottom);
    return normalCursor();
}

// ---- UISplitter ----

UISplitter::UISplitter(int panelCount, SplitterOrientation orientation, UIWidget* parent) : UIWidget(parent)
{
    setStyleName(L"UISplitter");
    setFlag(WidgetSeeThrough, false);
    setSizePolicy(SizeResizable, SizeResizable);
    const int count = std::clamp(panelCount, 1, maxPanels);
    for (int k = 0; k < count; ++k) {
        auto* panel = new UISplitterPanel(this);
        panel->show();
        m_panels.append(panel);
        if (k == count - 1)
            break;
        auto* separator = new UISplitterSeparator(k, opposite(m_orientation), this);
        separator->show();
        m_separators.append(separator);
    }
    setOrientation(orientation);
}

void UISplitter::setOrientation(SplitterOrientation orientation)
{
    m_orientation = orientation;
    setLayoutVertical(orientation == SplitterVertical);
    for (UISplitterSeparator* separator : m_separators)
        separator->setOrientation(opposite(orientation));
    const float share = static_cast<float>(100.0 / panelCount());
    for (int k = 0; k < panelCount(); ++k)
        setStretchAt(panelLayoutIndex(k), share);
    updateLayout();
}

UISplitterPanel* UISplitter::panel(int index) const
{
    if (index >= panelCount())
        return nullptr;
    return m_panels.nodeAt(std::max(index, 0))->value;
}

UISplitterSeparator* UISplitter::separator(int index) const
{
    if (index < 0 || index >= separatorCount())
        return nullptr;
    return m_separators.nodeAt(index)->value;
}

void UISplitter::setSeparatorThickness(int index, int thickness)
{
    if (UISplitterSeparator* s = separator(index))
        s->setThickness(thickness);
}

int UISplitter::separatorThickness(int index) const
{
    const UISplitterSeparator* s = separator(index);
    return s ? s->thickness() : 0;
}

int UISplitter::separatorPosition(int index) const
{
    const UISplitterSeparator* s = separator(index);
    return s ? start(s) : 0;
}

bool UISplitter::moveSeparator(int index, int position)
{
    const UISplitterSeparator* s = separator(index);
    if (!s)
        return false;
    const int k = separatorLayoutIndex(index);
    UIWidget* a = child(k - 1);
    UIWidget* b = child(k + 1);
    const int minA = extent(a->preferredSize());
    const int minB = extent(b->preferredSize());
    int room = extent(size());
    float others = 0.0f;
    int i = 0;
    for (const UIWidget* c : children()) {
        if (c != a && c != b) {
            room -= extent(c->size());
            others += stretchAt(i);
        }
        ++i;
    }
    const int free = room - minA - minB;
    if (free <= 0)
        return false;
    const int p = std::clamp(position, start(a), std::max(start(a), start(b) + extent(b->size())));
    const int share = std::clamp(p - s->thickness() / 2 - minA - start(a), 0, free);
    const float factorA = snappedFactor(share * (100.0 - others) / free);
    const float factorB = snappedFactor((100.0 - others) - factorA);
    if (stretchAt(k - 1) == factorA && stretchAt(k + 1) == factorB)
        return false;
    setStretchAt(k - 1, factorA);
    setStretchAt(k + 1, factorB);
    updateLayout();
    return true;
}

float UISplitter::snappedFactor(double factor)
{
    // The bounds are the nearest floats to 0.00001 and to 100 -+ 0.00001.
    if (factor > -0.00001f && factor < 0.00001f)
        return 0.0f;
    if (factor > 99.99999f && factor < 100.00001f)
        return 100.0f;
    return static_cast<float>(factor);
}

float UISplitter::stretchAt(int layoutIndex) const
{
    return m_orientation == SplitterVertical ? rowStretch(layoutIndex) : columnStretch(layoutIndex);
}

void UISplitter::setStretchAt(int layoutIndex, float factor)
{
    if (m_orientation == SplitterVertical)
        setRowStretch(layoutIndex, factor);
    else
        setColumnStretch(layoutIndex, factor);
}

void UISplitter::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_background);
}
