#include "ui/widgets/UIComboBox.h"

#include "foundation/CharHelpers.h"
#include "foundation/DateTime.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Screen.h"
#include "ui/TimerService.h"
#include "ui/UIListItem.h"
#include "ui/UINativeWindow.h"
#include "ui/UIPopupRegistry.h"
#include "ui/UIWindow.h"
#include "ui/widgets/SkinParts.h"
#include "ui/widgets/UILineEdit.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"
#include "ui/widgets/UIScrollBar.h"
#include "ui/widgets/UIToolTip.h"

#include <algorithm>
#include <iterator>

namespace {

// Skin states.
enum ComboState : int { StateNormal = 0, StateHot = 1, StatePressed = 2, StateDisabled = 3 };

// Keys with a meaning of their own on the box and in the pop-up.
constexpr int keyEnter = 13;
constexpr int keyEscape = 27;
constexpr int keySpace = 32;
constexpr int keyDown = 40;
constexpr int keyNumpad2 = 98;

// Type-ahead keys further apart than this start a new search.
constexpr std::int64_t searchPause = 2000;
constexpr int guardInterval = 10;

UIComboBox::Clock searchClock = &preciseMilliseconds;

} // namespace

// ---- Placement and clock ----

void UIComboBox::setClock(Clock clock)
{
    searchClock = clock ? clock : &preciseMilliseconds;
}

Rect UIComboBox::popupPlacement(const Rect& boxOnScreen, Size popup, const Rect& monitor)
{
    Rect r(boxOnScreen.x, boxOnScreen.bottom(), popup.width, popup.height);
    if (monitor.width < 1 || monitor.height < 1)
        return r;
    if (r.x < monitor.x)
        r.x = monitor.x;
    else if (r.right() > monitor.right())
        r.x = monitor.right() - r.width;
    if (r.bottom() > monitor.bottom())
        r.y = boxOnScreen.y - r.height;
    return r;
}

// ---- Construction ----

UIComboBox::UIComboBox(UIWidget* parent) : UIWidget(parent)
{
    m_lineEdit = new UILineEdit(this);
    m_lineEdit->setFrame(false);
    m_lineEdit->hide();
    buildPopup();
    setStyleName(L"UIComboBox");
    setFlag(WidgetSeeThrough, true);
    setFlag(WidgetInputControl, true);
    setFlag(WidgetHoverTracking, true);
    setFocusPolicy(ClickFocus | TabFocus | WheelFocus);
    setLayoutVertical(false);
    currentIndexChanged.connect(this, &UIComboBox::onCurrentIndexChanged);
    m_lineEdit->focusedOut.connect(this, &UIComboBox::onLineEditFocusOut);
    m_lineEdit->wheelTurned.connect(this, &UIComboBox::onLineEditWheel);
    UIList* list = m_popupView->list();
    list->mouseReleased.connect(this, &UIComboBox::onListRelease);
    list->keyPressed.connect(this, &UIComboBox::onListKey);
    list->mouseMoved.connect(this, &UIComboBox::onListMove);
    list->focusedOut.connect(this, &UIComboBox::onListFocusOut);
}

UIComboBox::~UIComboBox()
{
    killTimer(ComboBoxReopenGuardTimerId);
    killTimer(ComboBoxFocusCheckTimerId);
    // The pop-up and the line edit go with the children, after this
    // object's members: their hiding and focus loss must not call back.
    UIList* list = m_popupView->list();
    for (Signal* signal : {&m_popup->hidden, &list->mouseReleased, &list->keyPressed, &list->mouseMoved,
                           &list->focusedOut, &m_lineEdit->focusedOut, &m_lineEdit->wheelTurned})
        signal->disconnectReceiver(this);
    UIPopupRegistry::remove(m_popup);
    for (UIComboBoxItem* entry : m_items)
        delete entry;
}

void UIComboBox::buildPopup()
{
    m_popup = new UIWindow(this, WindowDropShadow | WindowNoActivate | WindowStaysOnTop | WindowFrameless);
    m_popupView = new UIListView(m_popup);
    m_popupView->setHorizontalScrollBarPolicy(UIScrollArea::ScrollBarNever);
    m_popupView->setVerticalScrollBarPolicy(UIScrollArea::ScrollBarAsNeeded);
    m_popupView->show();
    m_popupView->list()->setHoverSelect(true);
    m_popupView->list()->setWrapAround(true);
    m_popup->hidden.connect(this, &UIComboBox::onPopupHidden);
}

// ---- Entries ----

void UIComboBox::addItem(const String& text)
{
    appendItem(new UIComboBoxItem(text));
}

void UIComboBox::addItem(const String& text, const Bitmap& image)
{
    auto* entry = new UIComboBoxItem(text);
    entry->setIcon(StateImages(image));
    appendItem(entry);
}

void UIComboBox::addItem(const Bitmap& image)
{
    addItem(String(), image);
}

void UIComboBox::addItem(UIComboBoxItem* item)
{
    if (item)
        appendItem(item);
}

void UIComboBox::addItems(const StringList& texts)
{
    for (const String& text : texts)
        addItem(text);
}

void UIComboBox::addSeparator()
{
    auto* entry = new UIComboBoxItem(String());
    entry->setSeparator(true);
    appendItem(entry);
}

// A box without a current entry takes the first text entry, never a
// separator that came before it.
void UIComboBox::appendItem(UIComboBoxItem* item)
{
    m_items.push_back(item);
    if (m_currentIndex < 0 && !item->isSeparator())
        setCurrentIndex(firstTextIndex());
    if (m_sorted)
        sortItems();
}

int UIComboBox::firstTextIndex() const
{
    const auto first =
        std::find_if(m_items.begin(), m_items.end(), [](const UIComboBoxItem* e) { return !e->isSeparator(); });
    return first == m_items.end() ? -1 : int(first - m_items.begin());
}

bool UIComboBox::isSeparatorAt(int index) const
{
    const UIComboBoxItem* entry = item(index);
    return entry && entry->isSeparator();
}

void UIComboBox::removeItem(int index)
{
    UIComboBoxItem* entry = item(index);
    if (!entry)
        return;
    m_items.erase(m_items.begin() + index);
    delete entry;
    if (index < m_currentIndex)
        --m_currentIndex;
    else if (index == m_currentIndex)
        setCurrentIndex(-1);
    repaint();
}

void UIComboBox::clear()
{
    for (UIComboBoxItem* entry : m_items)
        delete entry;
    m_items.clear();
    if (m_currentIndex >= 0)
        setCurrentIndex(-1);
}

UIComboBoxItem* UIComboBox::item(int index) const
{
    return index >= 0 && index < count() ? m_items[std::size_t(index)] : nullptr;
}

String UIComboBox::itemText(int index) const
{
    const UIComboBoxItem* entry = item(index);
    return entry ? entry->text() : String();
}

void UIComboBox::setItemText(int index, const String& text)
{
    UIComboBoxItem* entry = item(index);
    if (!entry)
        return;
    entry->setText(text);
    if (index == m_currentIndex)
        repaint();
}

void UIComboBox::setItemIcon(int index, const StateImages& icon)
{
    if (UIComboBoxItem* entry = item(index))
        entry->setIcon(icon);
}

String UIComboBox::currentText() const
{
    return itemText(m_currentIndex);
}

void UIComboBox::setCurrentIndex(int index)
{
    if (index == m_currentIndex || index < -1 || index >= count() || isSeparatorAt(index))
        return;
    m_currentIndex = index;
    UIList* list = m_popupView->list();
    if (index < 0) {
        if (m_editable)
            m_lineEdit->setText(String());
        if (m_popup->isVisible()) {
            list->setCurrentItem(-1, false);
            list->clearSelection();
        }
    } else {
        if (m_editable)
            m_lineEdit->setText(currentText());
        if (m_popup->isVisible())
            list->setCurrentItemAndSelect(index);
    }
    repaint();
    currentIndexChanged.emit(index);
}

// ---- Finding ----

int UIComboBox::findText(const String& text, bool caseSensitive) const
{
    if (text.isEmpty())
        return -1;
    const auto found = std::find_if(m_items.begin(), m_items.end(), [&](const UIComboBoxItem* e) {
        return compareStrings(e->text().c_str(), text.c_str(), caseSensitive ? 1 : 0) == 0;
    });
    return found == m_items.end() ? -1 : int(found - m_items.begin());
}

int UIComboBox::findTextStart(const String& text, bool caseSensitive) const
{
    if (text.isEmpty())
        return -1;
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [&](const UIComboBoxItem* e) { return e->text().startsWith(text, caseSensitive); });
    return found == m_items.end() ? -1 : int(found - m_items.begin());
}

bool UIComboBox::selectByText(const String& text, bool caseSensitive)
{
    const int index = findText(text, caseSensitive);
    if (index >= 0)
        setCurrentIndex(index);
    return index >= 0;
}

void UIComboBox::selectByData(int data)
{
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [&](const UIComboBoxItem* e) { return e->data() == data; });
    if (found != m_items.end())
        setCurrentIndex(int(found - m_items.begin()));
}

void UIComboBox::selectById(std::int64_t id)
{
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [&](const UIComboBoxItem* e) { return e->id() == id; });
    if (found != m_items.end())
        setCurrentIndex(int(found - m_items.begin()));
}

void UIComboBox::selectByItemText(const String& text)
{
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [&](const UIComboBoxItem* e) { return e->UIItem::text() == text; });
    if (found != m_items.end())
        setCurrentIndex(int(found - m_items.begin()));
}

// ---- Options ----

void UIComboBox::setSorted(bool sorted)
{
    m_sorted = sorted;
    if (sorted)
        sortItems();
}

// A stable sort by the plain wide-string order; the current entry keeps
// being current under its new index, without a signal.
void UIComboBox::sortItems()
{
    if (m_items.size() < 2)
        return;
    const UIComboBoxItem* current = currentItem();
    std::stable_sort(m_items.begin(), m_items.end(), [](const UIComboBoxItem* a, const UIComboBoxItem* b) {
        return wcsCompare(a->text().constData(), b->text().constData()) < 0;
    });
    if (current)
        m_currentIndex = int(std::find(m_items.begin(), m_items.end(), current) - m_items.begin());
    repaint();
}

void UIComboBox::setEditable(bool editable)
{
    if (editable == m_editable)
        return;
    m_editable = editable;
    m_lineEdit->setVisible(editable);
    if (editable)
        m_lineEdit->setText(currentText());
    updateLayout();
    repaint();
}

void UIComboBox::setVisibleItemCount(int count)
{
    m_visibleItemCount = std::max(count, 1);
}

void UIComboBox::setEditText(const String& text)
{
    m_lineEdit->setText(text);
}

void UIComboBox::clearEditText()
{
    m_lineEdit->clear();
}

void UIComboBox::showCurrentInLineEdit()
{
    m_lineEdit->setText(currentText());
}

// ---- Style and size ----

void UIComboBox::setStyleProperty(const String& name, const String& value)
{
    if (name == String(L"font"))
        m_style.font = parseFontValue(value);
    else if (name == String(L"foreground"))
        m_style.foreground = parsePenValue(value);
    else if (name == String(L"disabledForeground"))
        m_style.disabledForeground = parsePenValue(value);
    else if (name == String(L"minimumHeight"))
        m_style.minimumHeight = parseIntValue(value);
    else if (name == String(L"minimumWidth"))
        m_style.minimumWidth = parseIntValue(value);
    else if (name == String(L"maximumWidth"))
        m_style.maximumWidth = parseIntValue(value);
    else if (name == String(L"spacing"))
        m_style.spacing = parseIntValue(value);
    else if (name == String(L"padding"))
        m_style.padding = parseMarginsValue(value);
    else if (name == String(L"popupPadding"))
        m_style.popupPadding = parseMarginsValue(value);
    else if (name == String(L"popupBackground"))
        m_style.popupBackground = parseBrushValue(value);
    else
        return;
    applyStyle();
}

void UIComboBox::setStyleImage(const String& skinName, UISkin* skin)
{
    static constexpr SkinPart<Style> parts[] = {
        {L"UIComboBox_Background", &Style::background},
        {L"UIComboBox_Arrow", &Style::arrow},
    };
    if (skin)
        takeSkinPart<Style>(parts, m_style, skinName, *skin);
    applyStyle();
}

// The line edit fills the box between the padding and the arrow; the
// pop-up takes its brush and padding.
void UIComboBox::applyStyle()
{
    const UIMargins& p = m_style.padding;
    setLayoutMargins(p.left, 0, p.right + m_style.spacing + m_style.arrow.stateWidth(), 0);
    m_lineEdit->setMinimumHeight(m_style.minimumHeight);
    m_popup->setBackground(m_style.popupBackground);
    m_popup->setBorderColor(m_style.popupBackground.colour());
    const UIMargins& q = m_style.popupPadding;
    m_popup->setLayoutMargins(q.left, q.top, q.right, q.bottom);
}

Size UIComboBox::sizeHint() const
{
    const Font font(m_style.font);
    int textWidth = 0;
    int iconWidth = 0;
    for (const UIComboBoxItem* entry : m_items) {
        textWidth = std::max(textWidth, font.textSize(entry->text()).width);
        iconWidth = std::max(iconWidth, entry->icon().width());
    }
    int width = textWidth + m_style.padding.left + m_style.padding.right;
    if (iconWidth > 0)
        width += m_style.spacing + iconWidth;
    width += m_style.spacing + m_style.arrow.stateWidth();
    if (m_style.maximumWidth > 0 && width > m_style.maximumWidth)
        width = m_style.maximumWidth;
    else if (width < m_style.minimumWidth)
        width = m_style.minimumWidth;
    return {width, m_style.minimumHeight};
}

String UIComboBox::toolTip(Point) const
{
    if (!toolTipText().isEmpty())
        return toolTipText();
    return m_currentTextElided ? currentText() : String();
}

// ---- Paint ----

int UIComboBox::paintState() const
{
    if (!isEnabled())
        return StateDisabled;
    if ((isPressed() && isUnderMouse()) || isPopupVisible())
        return StatePressed;
    if (isPressed() || isUnderMouse())
        return StateHot;
    return StateNormal;
}

void UIComboBox::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    const int state = paintState();
    m_style.background.drawNineSlice(g, rect(), state, SkinAllRegions);
    Rect content = rect().adjusted(m_style.padding.left, 0, -m_style.padding.right, 0);
    const int arrowWidth = m_style.arrow.stateWidth();
    const Rect arrowBox = content.alignedRect(arrowWidth, content.height, AlignRight, true);
    m_style.arrow.drawAligned(g, arrowBox, AlignCenter, state);
    content.width -= arrowWidth;
    const UIComboBoxItem* current = currentItem();
    if (m_editable || !current)
        return;
    const StateImages& icon = current->icon();
    if (!icon.isNull()) {
        icon.draw(g, content, AlignLeft | AlignVCenter, isEnabled() ? StateImages::Normal : StateImages::Disabled);
        content.setLeft(content.left() + icon.width() + m_style.spacing);
    }
    g.setFont(m_style.font);
    g.setPen(isEnabled() ? m_style.foreground : m_style.disabledForeground);
    m_currentTextElided =
        g.drawText(current->text(), content, AlignLeft | AlignVCenter, ElideRightWithEllipsis, 0);
}

// ---- Input on the box ----

void UIComboBox::keyPressEvent(UIKeyEvent* event)
{
    const int key = event->key();
    if (key == keyEnter || key == keySpace || key == keyDown || key == keyNumpad2) {
        showPopup();
        return;
    }
    if (!event->text().isEmpty())
        search(event->text());
}

void UIComboBox::mousePressEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton)
        return;
    if (isPopupVisible())
        hidePopup();
    else if (m_popupMayOpen)
        showPopup();
}

void UIComboBox::mouseReleaseEvent(UIMouseEvent*)
{
    repaint();
}

void UIComboBox::mouseClickEvent(UIMouseEvent* event)
{
    if (event->button() != RightButton || isEmpty())
        return;
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [&](const UIComboBoxItem* e) { return e->text() == m_defaultText; });
    const bool useDefault = !m_defaultText.isEmpty() && found != m_items.end();
    setCurrentIndex(useDefault ? int(found - m_items.begin()) : firstTextIndex());
}

void UIComboBox::wheelEvent(UIWheelEvent* event)
{
    if (m_editable || !hasFocus() || !isUnderMouse() || !m_wheelSelects)
        return;
    step(event->direction() == WheelUp ? -1 : 1);
}

// To the next entry back or forth over any separators, never past either
// end.
void UIComboBox::step(int direction)
{
    int index = m_currentIndex + direction;
    while (isSeparatorAt(index))
        index += direction;
    if (item(index))
        setCurrentIndex(index);
}

void UIComboBox::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIComboBox::leaveEvent(UIMouseEvent*)
{
    repaint();
}

void UIComboBox::search(const String& text)
{
    const std::int64_t now = searchClock();
    if (now - m_lastSearchKey > searchPause)
        m_searchText = String();
    m_searchText += text;
    m_lastSearchKey = now;
    const int found = findTextStart(m_searchText, false);
    if (found >= 0)
        setCurrentIndex(found);
}

void UIComboBox::customEvent(UICustomEvent* event)
{
    if (event->code() == ComboBoxReopenGuardTimerId) {
        killTimer(ComboBoxReopenGuardTimerId);
        m_popupMayOpen = true;
    } else if (event->code() == ComboBoxFocusCheckTimerId) {
        killTimer(ComboBoxFocusCheckTimerId);
        if (focusWidget() != m_popupView->verticalScrollBar()) {
            hidePopup();
            guardReopen();
        }
    }
}

void UIComboBox::guardReopen()
{
    m_popupMayOpen = false;
    restartTimer(ComboBoxReopenGuardTimerId, guardInterval);
}

// ---- Pop-up ----

bool UIComboBox::isPopupVisible() const
{
    return m_popup->isVisible();
}

void UIComboBox::showPopup()
{
    if (isPopupVisible() || isEmpty())
        return;
    topLevelWidget()->setWindowFlag(WindowKeepActiveFrame, true);
    fillPopupList();
    placePopup();
    m_popup->show();
    UIPopupRegistry::add(m_popup);
    UIList* list = m_popupView->list();
    m_popupView->scrollToBottom();
    list->setCurrentItemAndSelect(m_currentIndex);
    m_popupView->relayout();
    m_popup->activateWindow();
    list->setFocus();
    m_popupMayOpen = false;
    repaint();
}

void UIComboBox::fillPopupList()
{
    UIList* list = m_popupView->list();
    list->clear();
    for (const UIComboBoxItem* entry : m_items) {
        UIListItem* row = list->addItem(entry->text());
        row->setImage(entry->icon().image(StateImages::Normal));
        row->setToolTip(entry->secondText());
        row->setElideMode(ElideRightWithEllipsis);
        row->setBackground(entry->background());
        row->setSeparator(entry->isSeparator());
    }
}

// The scroll bar shows only when the rows do not all fit; the pop-up is
// as wide as the box and at most the visible item count high.
void UIComboBox::placePopup()
{
    const UIList* list = m_popupView->list();
    const int rowsHeight = list->minimumSizeHint().height;
    const int visibleHeight = m_visibleItemCount * list->itemSize().height;
    m_popupView->setVerticalScrollBarPolicy(rowsHeight > visibleHeight ? UIScrollArea::ScrollBarAsNeeded
                                                                       : UIScrollArea::ScrollBarNever);
    const int margins = m_style.popupPadding.top + m_style.popupPadding.bottom;
    const Size size(width(), std::min(visibleHeight, rowsHeight) + margins);
    m_popup->resize(size);
    const Rect box = globalRect();
    const Rect monitor = Screen::monitorRectAt(Point(box.x, box.bottom()), false);
    const Rect placed = popupPlacement(box, size, monitor);
    m_popup->move(placed.x, placed.y);
}

void UIComboBox::hidePopup()
{
    if (!isPopupVisible())
        return;
    m_hidingByCall = true;
    m_popup->hide();
    m_hidingByCall = false;
    setFocus();
    killTimer(ComboBoxReopenGuardTimerId);
    m_popupMayOpen = true;
}

// Also when the registry closes the pop-up for a press elsewhere: that
// press may be on the box itself, which must not open it again at once.
void UIComboBox::onPopupHidden()
{
    UIPopupRegistry::remove(m_popup);
    m_searchText = String();
    m_popupView->list()->clear();
    UIWidget* top = topLevelWidget();
    top->setWindowFlag(WindowKeepActiveFrame, false);
    top->setWindowFlag(WindowNoActivate, false);
    repaint();
    if (!m_hidingByCall)
        guardReopen();
}

// ---- Connections ----

void UIComboBox::onCurrentIndexChanged()
{
    repaint();
    UIToolTip::hideFor(this);
}

void UIComboBox::onLineEditFocusOut()
{
    showCurrentInLineEdit();
}

void UIComboBox::onLineEditWheel(UIWheelEvent* event)
{
    step(event->direction() == WheelUp ? -1 : 1);
}

void UIComboBox::onListRelease(UIMouseEvent* event)
{
    const UIList* list = m_popupView->list();
    if (event->button() != LeftButton || !list->rect().contains(event->position()))
        return;
    const int row = list->indexAt(event->position());
    // A separator's row is no choice: the pop-up stays open.
    if (row < 0 || row >= count() || isSeparatorAt(row))
        return;
    m_lineEdit->setText(list->item(row)->label());
    hidePopup();
    setCurrentIndex(row);
    guardReopen();
}

void UIComboBox::onListKey(UIKeyEvent* event)
{
    if (event->key() == keyEnter) {
        const int row = m_popupView->list()->currentIndex();
        if (row >= 0)
            setCurrentIndex(row);
        hidePopup();
    } else if (event->key() == keyEscape) {
        hidePopup();
    } else if (!event->text().isEmpty()) {
        search(event->text());
    }
}

void UIComboBox::onListMove(UIMouseEvent* event)
{
    const int row = m_popupView->list()->indexAt(event->position());
    if (row >= 0)
        itemHovered.emit(row);
}

void UIComboBox::onListFocusOut()
{
    if (!isPopupVisible())
        return;
    const UIScrollBar* bar = m_popupView->verticalScrollBar();
    if (bar->isVisible() && bar->globalRect().contains(cursorPosition())) {
        restartTimer(ComboBoxFocusCheckTimerId, guardInterval);
        return;
    }
    hidePopup();
    guardReopen();
}
