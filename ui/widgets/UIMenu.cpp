#include "ui/widgets/UIMenu.h"

#include "graphics/DrawingSurface.h"
#include "graphics/Graphics.h"
#include "ui/PlatformServices.h"
#include "ui/UINativeWindow.h"
#include "ui/UIPopupRegistry.h"
#include "ui/widgets/ItemHitTest.h"

#include <algorithm>

namespace {

constexpr int keyEnter = 13;
constexpr int keyEscape = 27;
constexpr int keyLeft = 37;
constexpr int keyUp = 38;
constexpr int keyRight = 39;
constexpr int keyDown = 40;

constexpr int alignLeftCentred = 17;
constexpr int alignRightCentred = 18;

// Skin states of the indicators and the arrow.
constexpr int stateNormal = 0;
constexpr int stateCurrent = 1;
constexpr int stateDisabled = 3;

LayoutMargins layoutMarginsOf(const UIMargins& m)
{
    return {m.left, m.top, m.right, m.bottom};
}

Rect shrunk(const Rect& r, const UIMargins& m)
{
    return r.adjusted(m.left, m.top, -m.right, -m.bottom);
}

bool isBarStyle(const String& name)
{
    return name == L"UIMenuBar" || name == L"UIToolBar";
}

// Hears whether the menu was destroyed while a handler ran. Watches nest:
// a destruction seen here is passed on to the watch around this one, and
// the menu's slot, gone with the menu, is then left alone.
class DestructionWatch {
public:
    explicit DestructionWatch(bool*& slot) : m_slot(slot), m_outer(slot) { slot = &m_destroyed; }
    ~DestructionWatch()
    {
        if (!m_destroyed)
            m_slot = m_outer;
        else if (m_outer)
            *m_outer = true;
    }
    DestructionWatch(const DestructionWatch&) = delete;
    DestructionWatch& operator=(const DestructionWatch&) = delete;

    bool destroyed() const { return m_destroyed; }

private:
    bool*& m_slot;
    bool* m_outer;
    bool m_destroyed = false;
};

} // namespace

UIMenu::UIMenu(UIWidget* parent)
    : UIWidget(parent, WindowDropShadow | WindowStaysOnTop | WindowFrameless), m_font(FontDesc())
{
    setFlag(WidgetWindow, true);
    setFlag(WidgetHoverTracking, true);
    setFlag(WidgetSeeThrough, false);
    setSizePolicy(SizeFixed, SizeFixed);
    setFocusPolicy(ClickFocus);
    setStyleName(L"UIMenu");
    setLayoutVertical(true);
    setLayoutMargins(layoutMarginsOf(m_style.padding));
    setMinimumWidth(m_style.minimumWidth);
}

UIMenu::~UIMenu()
{
    if (m_destroyed)
        *m_destroyed = true;
    killTimer(submenuTimerId);
    UIPopupRegistry::remove(this);
    clear();
    if (UIMenu* parent = parentMenu())
        parent->forgetSubmenu(this);
}

// ---- Building ----

UIAction* UIMenu::addAction(const String& text, const StateImages& images, const KeySequence& shortcut)
{
    auto* action = new UIAction(text, images, shortcut);
    addAction(action);
    return action;
}

UIAction* UIMenu::addAction(const Bitmap& image)
{
    auto* action = new UIAction(image);
    addAction(action);
    return action;
}

UIAction* UIMenu::addAction(const Bitmap& image, const String& text)
{
    auto* action = new UIAction(image, text);
    addAction(action);
    return action;
}

int UIMenu::addAction(UIAction* action)
{
    action->setOwner(this);
    m_actions.append(action);
    return m_actions.count() - 1;
}

void UIMenu::addActions(const StringList& texts)
{
    for (const String& text : texts)
        addAction(text);
}

UIAction* UIMenu::addSeparator()
{
    UIAction* action = addAction(String());
    action->setSeparator(true);
    action->setEnabled(false);
    return action;
}

void UIMenu::setSubmenu(int index, UIMenu* menu)
{
    if (menu)
        menu->m_indexInParent = index;
    action(index)->setSubmenu(menu);
}

UIMenu* UIMenu::submenu(int index) const
{
    return action(index)->submenu();
}

void UIMenu::removeAction(UIAction* action)
{
    auto* node = m_actions.findNode(action);
    if (!node)
        return;
    m_actions.removeNode(node);
    delete action;
}

void UIMenu::clear()
{
    // Each entry leaves the list before it goes, so a submenu that dies
    // with it finds no entry to detach from.
    while (!m_actions.isEmpty()) {
        auto* node = m_actions.first();
        UIAction* action = node->value;
        m_actions.removeNode(node);
        delete action;
    }
    m_currentIndex = -1;
}

void UIMenu::forgetSubmenu(UIMenu* menu)
{
    if (m_openSubmenu == menu)
        m_openSubmenu = nullptr;
    for (UIAction* action : m_actions) {
        if (action->submenu() == menu)
            action->takeSubmenu();
    }
}

// ---- Entries by index ----

UIAction* UIMenu::action(int index) const
{
    auto* node = m_actions.nodeAt(index);
    return node ? node->value : nullptr;
}

int UIMenu::indexOf(const UIAction* action) const
{
    int index = 0;
    for (const UIAction* a : m_actions) {
        if (a == action)
            return index;
        ++index;
    }
    return -1;
}

void UIMenu::setActionText(int index, const String& text)
{
    action(index)->setText(text);
}

const String& UIMenu::actionText(int index) const
{
    return action(index)->text();
}

void UIMenu::setActionImages(int index, const StateImages& images)
{
    action(index)->setImages(images);
}

const StateImages& UIMenu::actionImages(int index) const
{
    return action(index)->images();
}

void UIMenu::setActionVisible(int index, bool visible)
{
    action(index)->setVisible(visible);
}

bool UIMenu::isActionVisible(int index) const
{
    return action(index)->isVisible();
}

void UIMenu::setActionCheckable(int index, bool on)
{
    action(index)->setCheckable(on);
}

bool UIMenu::isActionCheckable(int index) const
{
    return action(index)->isCheckable();
}

void UIMenu::setActionChecked(int index, bool on)
{
    action(index)->setChecked(on);
}

bool UIMenu::isActionChecked(int index) const
{
    return action(index)->isChecked();
}

void UIMenu::setActionEnabled(int index, bool on)
{
    action(index)->setEnabled(on);
}

bool UIMenu::isActionEnabled(int index) const
{
    return action(index)->isEnabled();
}

void UIMenu::setAllCheckable(bool on)
{
    for (UIAction* action : m_actions) {
        if (!action->isSeparator())
            action->setCheckable(on);
    }
}

void UIMenu::setAllCheckKind(std::int32_t kind)
{
    for (UIAction* action : m_actions) {
        if (action->isCheckable() && !action->isSeparator())
            action->setCheckKind(kind);
    }
}

// ---- Showing ----

UIMenu* UIMenu::parentMenu() const
{
    return isSubmenu() ? static_cast<UIMenu*>(parent()) : nullptr;
}

bool UIMenu::isSubmenu() const
{
    return parent() && parent()->styleName() == styleName();
}

void UIMenu::hideParentMenu()
{
    UIMenu* parent = parentMenu();
    if (parent && parent->isVisible())
        parent->hide();
}

// The window the menu belongs to keeps its active frame while the menu has
// the activation; the notification area's menu belongs to no window.
void UIMenu::setParentWindowFlag(std::uint32_t flag, bool on)
{
    if (UIWidget* p = parent())
        p->topLevelWidget()->setWindowFlag(flag, on);
}

void UIMenu::popup(Point globalPos)
{
    if (!isEnabled() || isEmpty())
        return;
    setParentWindowFlag(WindowKeepActiveFrame, true);
    aboutToShow.emit(this);
    updateLayout();
    resize(preferredFrameSize());
    placeForShowing(globalPos);
    show();
    UIPopupRegistry::add(this);
    setFocus();
    repaint();
}

void UIMenu::placeForShowing(Point globalPos)
{
    const Size size = frameSize();
    if (UIMenu* parent = parentMenu()) {
        const UIAction* entry = parent->action(m_indexInParent);
        const Point entryCorner = entry ? parent->mapToGlobal(entry->rect().topLeft()) : globalPos;
        const Size entrySize = entry ? entry->rect().size() : Size();
        const Rect entryRect(entryCorner.x, entryCorner.y, entrySize.width, entrySize.height);
        move(submenuPosition(globalPos, size, Screen::monitorRectAt(globalPos, true), entryRect, m_style.padding));
        return;
    }
    const UIWidget* bar = parent() && isBarStyle(parent()->styleName()) ? parent() : nullptr;
    const int offset = bar ? barFlipOffset(bar->globalRect(), globalPos) : 0;
    move(rootMenuRect(globalPos, size, m_style.desktopPadding, offset).topLeft());
}

Point UIMenu::submenuPosition(Point point, Size size, const Rect& workArea, const Rect& entry,
                              const UIMargins& padding)
{
    Point p(point.x, point.y - padding.top);
    if (workArea.isEmpty())
        return p;
    if (point.x + size.width > workArea.right())
        p.x = entry.left() - size.width;
    if (point.y + size.height > workArea.bottom())
        p.y = entry.bottom() - size.height + padding.bottom;
    return p;
}

int UIMenu::barFlipOffset(const Rect& barGlobal, Point point)
{
    return point.y + 1 - barGlobal.top();
}

Rect UIMenu::rootMenuRect(Point point, Size size, const UIMargins& desktopPadding, int offset)
{
    const Margins margins{desktopPadding.left, desktopPadding.top, desktopPadding.right, desktopPadding.bottom};
    return Screen::fitRect(point, Rect(point.x, point.y, size.width, size.height), margins, offset, true);
}

void UIMenu::setVisible(bool visible)
{
    if (visible || !isVisible()) {
        UIWidget::setVisible(visible);
        return;
    }
    UIWidget::setVisible(false);
    UIPopupRegistry::remove(this);
    killTimer(submenuTimerId);
    m_currentIndex = -1;
    setParentWindowFlag(WindowKeepActiveFrame, false);
    setParentWindowFlag(WindowNoActivate, false);
}

// ---- Highlight and submenus ----

void UIMenu::setCurrentIndex(int index)
{
    if (index == m_currentIndex)
        return;
    m_currentIndex = index;
    repaint();
    UIMenu* menu = this;
    while (UIMenu* parent = menu->parentMenu()) {
        if (!parent->isVisible())
            break;
        if (parent->m_currentIndex == menu->m_indexInParent)
            return;
        parent->m_currentIndex = menu->m_indexInParent;
        parent->repaint();
        menu = parent;
    }
    menu->restartTimer(submenuTimerId, menuShowDelay());
}

void UIMenu::openCurrentSubmenu()
{
    killTimer(submenuTimerId);
    UIAction* current = m_currentIndex >= 0 ? action(m_currentIndex) : nullptr;
    if (m_openSubmenu && m_openSubmenu->isVisible() && current && current->submenu() == m_openSubmenu)
        return;
    hideOpenSubmenu();
    if (current && current->submenu())
        popupSubmenuOf(current);
}

void UIMenu::hideOpenSubmenu()
{
    if (!m_openSubmenu)
        return;
    m_openSubmenu->hide();
    m_openSubmenu = nullptr;
    setFocus();
}

void UIMenu::popupSubmenuOf(UIAction* action)
{
    const Rect& r = action->rect();
    action->submenu()->popup(mapToGlobal(Point(r.right(), r.top())));
    m_openSubmenu = action->submenu();
}

bool UIMenu::hasVisibleSubmenu() const
{
    for (const UIAction* action : m_actions) {
        if (action->submenu() && action->submenu()->isVisible())
            return true;
    }
    return false;
}

void UIMenu::hideVisibleSubmenus()
{
    for (UIAction* action : m_actions) {
        if (action->submenu() && action->submenu()->isVisible())
            action->submenu()->hide();
    }
}

void UIMenu::activate(UIAction* action)
{
    if (!action || action->isSeparator() || !action->isEnabled())
        return;
    const int index = indexOf(action);
    if (index < 0)
        return;
    if (UIMenu* sub = action->submenu()) {
        hideOpenSubmenu();
        if (sub->isVisible()) {
            sub->setWindowState(WindowActive);
            sub->setFocus();
        } else {
            popupSubmenuOf(action);
        }
    } else {
        action->setChecked(!action->isChecked());
        hideVisibleSubmenus();
        hide();
        if (UIMenu* parent = parentMenu(); parent && parent->isVisible())
            parent->hide();
    }
    // A handler may clear the menu, or delete it; an activation running
    // around this one must hear of a deletion too.
    const DestructionWatch watch(m_destroyed);
    triggered.emit(index);
    if (!watch.destroyed() && indexOf(action) >= 0)
        action->triggered.emit();
}

// ---- Size and painting ----

bool UIMenu::hasIconColumn() const
{
    if (m_style.forceIconSpace)
        return true;
    for (const UIAction* action : m_actions) {
        if (action->isVisible() && (!action->images().isNull() || action->isCheckable()))
            return true;
    }
    return false;
}

int UIMenu::itemHeight() const
{
    return m_font.height() + m_style.itemPadding.top + m_style.itemPadding.bottom;
}

Size UIMenu::entrySize(const UIAction* action, bool iconColumn) const
{
    const UIMargins& ip = m_style.itemPadding;
    if (action->isSeparator())
        return {0, m_separatorSkin.stateHeight() + ip.top + ip.bottom};
    int width = ip.left + ip.right + (iconColumn ? m_style.itemIconSpace : 0);
    const int textWidth = m_font.textSize(action->text()).width;
    switch (action->displayKind()) {
    case ActionImageOnly:
        width += action->image().width();
        break;
    case ActionImageAndText:
        width += action->image().width() + m_style.spacingBetweenImageAndText + textWidth;
        break;
    default:
        width += textWidth;
        break;
    }
    // The shortcut is painted clear of the arrow space and the padding;
    // reserving them keeps it off the text of the widest entry.
    if (action->showsShortcut() && !action->shortcutText().isEmpty())
        width += m_font.textSize(action->shortcutText()).width + m_style.itemArrowSpace + m_style.padding.right;
    if (action->submenu())
        width += m_style.itemArrowSpace;
    return {width, itemHeight()};
}

Size UIMenu::sizeHint() const
{
    const bool iconColumn = hasIconColumn();
    int width = 0;
    int height = 0;
    for (const UIAction* action : m_actions) {
        if (!action->isVisible())
            continue;
        const Size s = entrySize(action, iconColumn);
        width = std::max(width, s.width);
        height += s.height;
    }
    const UIMargins& p = m_style.padding;
    return {width + p.left + p.right, height + p.top + p.bottom};
}

void UIMenu::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.fillRect(rect(), m_style.background);
    g.setPen(Pen(m_style.borderColor));
    g.drawRect(Rect(0, 0, width() - 1, height() - 1));
    const UIMargins& p = m_style.padding;
    m_iconColumn = hasIconColumn();
    if (m_iconColumn) {
        const Rect line(p.left + m_style.itemIconSpace, p.top, m_verticalLineSkin.stateWidth(),
                        height() - p.top - p.bottom);
        m_verticalLineSkin.drawNineSlice(g, line, 0, SkinAllRegions);
    }
    g.setFont(m_style.text.font);
    int y = p.top;
    int index = 0;
    for (UIAction* action : m_actions) {
        const int i = index++;
        if (!action->isVisible())
            continue;
        Rect item(p.left, y, width() - p.left - p.right, itemHeight());
        if (action->isSeparator()) {
            item.height = m_style.itemPadding.top + m_style.itemPadding.bottom + m_separatorSkin.stateHeight();
            action->setRect(item);
            paintSeparator(g, item, m_iconColumn);
        } else {
            action->setRect(item);
            paintEntry(g, action, item, i == m_currentIndex, m_iconColumn);
        }
        y += item.height;
    }
}

void UIMenu::paintSeparator(Graphics& g, const Rect& item, bool iconColumn)
{
    const int inset = iconColumn ? m_style.itemIconSpace + m_verticalLineSkin.stateWidth() : 0;
    const Rect band = item.alignedRect(item.width - inset, m_separatorSkin.stateHeight(), alignRightCentred);
    m_separatorSkin.drawNineSlice(g, band, 0, SkinAllRegions);
}

void UIMenu::paintIndicator(Graphics& g, const UIAction* action, const Rect& cell, bool current)
{
    if (action->isCheckable()) {
        if (!action->isChecked())
            return;
        const UISkin& skin = action->checkKind() == ActionCheckBox ? m_checkSkin : m_radioSkin;
        const bool disabled = !isEnabled() || !action->isEnabled();
        skin.drawAligned(g, cell, alignLeftCentred,
                         disabled ? stateDisabled : (current ? stateCurrent : stateNormal));
        return;
    }
    if (!action->images().isNull())
        action->images().draw(g, cell, alignLeftCentred, action->isEnabled() ? StateImages::Normal : StateImages::Disabled);
}

void UIMenu::paintEntry(Graphics& g, UIAction* action, const Rect& item, bool current, bool iconColumn)
{
    if (current)
        m_hoveredSkin.drawNineSlice(g, item, 0, SkinAllRegions);
    const Rect content = shrunk(item, m_style.itemPadding);
    int textLeft = content.x;
    if (iconColumn) {
        paintIndicator(g, action, Rect(content.x, item.y, m_style.itemIconSpace, item.height), current);
        textLeft += m_style.itemIconSpace;
    }
    const int kind = action->displayKind();
    if (kind != ActionTextOnly) {
        g.drawBitmapAligned(action->image(), Rect(textLeft, content.y, content.right() - textLeft, content.height),
                            alignLeftCentred);
        if (kind == ActionImageAndText)
            textLeft += action->image().width() + m_style.spacingBetweenImageAndText;
    }
    const Rect textRect(textLeft, content.y, content.right() - textLeft, content.height);
    const bool enabled = action->isEnabled();
    const UITextStyle& text = m_style.text;
    const Pen& pen = !enabled ? m_style.disabledForeground : (current ? m_style.hoveredForeground : text.foreground);
    if (kind != ActionImageOnly) {
        if (enabled) {
            const Point shadow = text.shadowOffset;
            g.setPen(current ? m_style.hoveredShadowForeground : text.shadowForeground);
            g.drawText(action->text(), textRect.adjusted(shadow.x, shadow.y, shadow.x, shadow.y),
                       alignLeftCentred, 0, 1);
        }
        g.setPen(pen);
        g.drawText(action->text(), textRect, alignLeftCentred, 0, 1);
    }
    if (action->showsShortcut()) {
        g.setPen(pen);
        const int narrower = m_style.itemArrowSpace + m_style.padding.right;
        const Rect keys(textLeft, item.y, item.right() - narrower - textLeft, item.height);
        g.drawText(action->shortcutText(), keys, alignRightCentred, 0, 1);
    }
    if (action->submenu()) {
        const Rect arrowBox(item.x, item.y, item.width - m_style.padding.right, item.height);
        m_arrowSkin.drawAligned(g, arrowBox, alignRightCentred,
                                !enabled ? stateDisabled : (current ? stateCurrent : stateNormal));
    }
}

// ---- Style ----

void UIMenu::setStyleProperty(const String& name, const String& value)
{
    Style& s = m_style;
    if (s.text.setProperty(name, value)) {
        m_font.setDesc(s.text.font);
        return;
    }
    if (name == L"background")
        s.background = parseBrushValue(value);
    else if (name == L"borderColor")
        s.borderColor = parseColourValue(value);
    else if (name == L"padding") {
        s.padding = parseMarginsValue(value);
        setLayoutMargins(layoutMarginsOf(s.padding));
    } else if (name == L"desktopPadding")
        s.desktopPadding = parseMarginsValue(value);
    else if (name == L"minimumWidth") {
        s.minimumWidth = parseIntValue(value);
        setMinimumWidth(s.minimumWidth);
    } else if (name == L"disabledForeground")
        s.disabledForeground = parsePenValue(value);
    else if (name == L"disabledShadowForeground")
        s.disabledShadowForeground = parsePenValue(value);
    else if (name == L"hoveredForeground")
        s.hoveredForeground = parsePenValue(value);
    else if (name == L"hoveredShadowForeground")
        s.hoveredShadowForeground = parsePenValue(value);
    else if (name == L"itemPadding")
        s.itemPadding = parseMarginsValue(value);
    else if (name == L"itemIconSpace")
        s.itemIconSpace = parseIntValue(value);
    else if (name == L"itemArrowSpace")
        s.itemArrowSpace = parseIntValue(value);
    else if (name == L"isForceIconSpace")
        s.forceIconSpace = parseSwitchValue(value);
    else if (name == L"spacingBetweenImageAndText")
        s.spacingBetweenImageAndText = parseIntValue(value);
}

void UIMenu::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName == L"UIMenu_ItemArrow")
        m_arrowSkin = *skin;
    else if (skinName == L"UIMenu_ItemCheckIndicator")
        m_checkSkin = *skin;
    else if (skinName == L"UIMenu_ItemRadioIndicator")
        m_radioSkin = *skin;
    else if (skinName == L"UIMenu_ItemSeparator")
        m_separatorSkin = *skin;
    else if (skinName == L"UIMenu_VerticalLine")
        m_verticalLineSkin = *skin;
    else if (skinName == L"UIMenu_HoveredItemBackground")
        m_hoveredSkin = *skin;
}

// ---- Events ----

UIAction* UIMenu::actionAt(Point p) const
{
    return visibleItemAt(m_actions, p);
}

void UIMenu::mouseMoveEvent(UIMouseEvent* e)
{
    UIAction* action = actionAt(e->position());
    const int index = action ? indexOf(action) : -1;
    if (action && index == m_currentIndex)
        return;
    setCurrentIndex(action && action->isEnabled() && !action->isSeparator() ? index : -1);
}

void UIMenu::enterEvent(UIMouseEvent*) {}

void UIMenu::leaveEvent(UIMouseEvent*)
{
    if (m_currentIndex < 0)
        return;
    const UIMenu* sub = action(m_currentIndex)->submenu();
    if (!sub || !sub->isVisible())
        setCurrentIndex(-1);
}

void UIMenu::mouseReleaseEvent(UIMouseEvent* e)
{
    if (e->button() == LeftButton)
        activate(actionAt(e->position()));
}

// Keys move the highlight only; a submenu opens by Right or Enter and
// closes back to its entry by Left or Escape.
void UIMenu::keyPressEvent(UIKeyEvent* e)
{
    switch (e->key()) {
    case keyEnter:
        if (currentSubmenu())
            openSubmenuByKey();
        else if (m_currentIndex >= 0)
            activate(action(m_currentIndex));
        return;
    case keyRight:
        openSubmenuByKey();
        return;
    case keyEscape:
        if (!closeToParentMenu())
            hide();
        return;
    case keyLeft:
        closeToParentMenu();
        return;
    case keyUp:
        stepCurrent(-1);
        return;
    case keyDown:
        stepCurrent(1);
        return;
    default:
        return;
    }
}

// The next entry that can be highlighted, wrapping around; none moves
// nothing.
void UIMenu::stepCurrent(int step)
{
    const int n = count();
    const int start = m_currentIndex >= 0 ? m_currentIndex : (step > 0 ? -1 : n);
    for (int k = 1; k <= n; ++k) {
        const int index = ((start + step * k) % n + n) % n;
        const UIAction* a = action(index);
        if (a->isVisible() && a->isEnabled() && !a->isSeparator()) {
            highlightByKey(index);
            return;
        }
    }
}

// Unlike the pointer, a key arms no submenu timer: a submenu passed over
// with the arrows must not open, nor take the focus, a moment later. A
// submenu left open by another entry closes.
void UIMenu::highlightByKey(int index)
{
    setCurrentIndex(index);
    UIMenu* root = this;
    while (UIMenu* parent = root->parentMenu())
        root = parent;
    root->killTimer(submenuTimerId);
    if (m_openSubmenu && action(index)->submenu() != m_openSubmenu)
        hideOpenSubmenu();
}

UIMenu* UIMenu::currentSubmenu() const
{
    const UIAction* current = m_currentIndex >= 0 ? action(m_currentIndex) : nullptr;
    return current && current->isEnabled() ? current->submenu() : nullptr;
}

// Opens the current entry's submenu as Enter does, with its first entry
// highlighted so that the keys carry on there.
void UIMenu::openSubmenuByKey()
{
    UIMenu* sub = currentSubmenu();
    if (!sub)
        return;
    const DestructionWatch watch(m_destroyed);
    activate(action(m_currentIndex));
    if (!watch.destroyed() && sub->isVisible() && sub->currentIndex() < 0)
        sub->stepCurrent(1);
}

// A submenu hides and hands the focus back to its parent, whose entry
// stays highlighted; false for a menu without a visible parent menu.
bool UIMenu::closeToParentMenu()
{
    UIMenu* parent = parentMenu();
    if (!parent || !parent->isVisible())
        return false;
    // The parent takes the activation first: a submenu losing it to any
    // other window closes the whole chain.
    parent->setWindowState(WindowActive);
    if (parent->m_openSubmenu == this) {
        parent->hideOpenSubmenu();
        return true;
    }
    hide();
    parent->setFocus();
    return true;
}

void UIMenu::customEvent(UICustomEvent* e)
{
    if (e->code() == submenuTimerId)
        openCurrentSubmenu();
}

void UIMenu::focusInEvent(UIFocusEvent*) {}

void UIMenu::focusOutEvent(UIFocusEvent*)
{
    if (UIMenu* parent = parentMenu(); parent && parent->isVisible()) {
        if (parent->isActiveWindow())
            return;
        hide();
        parent->hide();
        return;
    }
    if (hasVisibleSubmenu()) {
        for (const UIAction* action : m_actions) {
            if (action->submenu() && action->submenu()->isVisible() && action->submenu()->isActiveWindow())
                return;
        }
        hideVisibleSubmenus();
    }
    hide();
}
