// UILineEdit's completion pop-up: a frameless window under the field with a
// list of the completer's matches.

#include "ui/UIListItem.h"
#include "ui/UIManager.h"
#include "ui/UINativeWindow.h"
#include "ui/UIPopupRegistry.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UILineEdit.h"
#include "ui/widgets/UIList.h"
#include "ui/widgets/UIListView.h"

namespace {

constexpr Colour popupBorder(162, 191, 240);
// Labels too wide for the pop-up are shortened at their end.
constexpr int matchElideMode = 2;

bool listShows(const UIList* list, const StringList& texts)
{
    if (list->count() != texts.count())
        return false;
    int i = 0;
    for (const String& text : texts) {
        if (list->item(i++)->label() != text)
            return false;
    }
    return true;
}

} // namespace

void UILineEdit::buildCompletionPopup()
{
    m_popup = new UIWindow(this, WindowFrameless | WindowStaysOnTop | WindowNoActivate | WindowDropShadow);
    m_popup->setBorderColor(popupBorder);
    m_popup->setLayoutMargin(1);
    m_popup->setLayoutVertical(true);
    m_popupView = new UIListView(m_popup);
    m_popupView->setHorizontalScrollBarPolicy(UIScrollArea::ScrollBarNever);
    m_popupView->setVerticalScrollBarPolicy(UIScrollArea::ScrollBarAsNeeded);
    m_popupView->show();
    m_popupView->list()->setHoverSelect(true);
    m_popupView->list()->setWrapAround(true);
    m_popup->hidden.connect(this, &UILineEdit::onPopupHidden);
    followTopLevel();
}

// A field may be made without a parent, or move to another window later:
// the pop-up closes when whichever window holds the field now moves.
void UILineEdit::followTopLevel()
{
    UIWidget* top = topLevelWidget();
    if (m_movedSource != top && UIManager::instance()->isRegistered(m_movedSource))
        m_movedSource->moved.disconnectReceiver(this);
    m_movedSource = top;
    if (top && top != this && !top->moved.isConnected(this))
        top->moved.connect(this, &UILineEdit::onTopLevelMoved);
}

bool UILineEdit::isCompletionVisible() const
{
    return m_popup->isVisible();
}

int UILineEdit::completionRow() const
{
    return m_popupView->list()->currentIndex();
}

void UILineEdit::refreshCompletion()
{
    const StringList& matches = m_completer.complete(text());
    // A field in no window has nowhere to hang its list.
    if (matches.isEmpty() || !topLevelWidget()) {
        hideCompletion();
        return;
    }
    showCompletion(matches);
}

void UILineEdit::showCompletion(const StringList& matches)
{
    UIList* list = m_popupView->list();
    if (!listShows(list, matches)) {
        list->clear();
        for (const String& match : matches)
            list->addItem(match)->setElideMode(matchElideMode);
    }
    m_popupView->setHorizontalScrollBarPolicy(UIScrollArea::ScrollBarNever);
    m_popupView->setVerticalScrollBarPolicy(UIScrollArea::ScrollBarNever);
    const int margins = m_popup->layoutMargins().top + m_popup->layoutMargins().bottom;
    m_popup->resize(width(), list->minimumSizeHint().height + margins);
    m_popup->move(mapToGlobal(Point(0, height())));
    followTopLevel();
    if (m_movedSource)
        m_movedSource->setWindowFlag(WindowKeepActiveFrame, true);
    m_popup->show();
    UIPopupRegistry::add(m_popup);
}

void UILineEdit::hideCompletion()
{
    if (m_popup->isVisible())
        m_popup->hide();
}

// Also when the registry closes the pop-up for a press elsewhere.
void UILineEdit::onPopupHidden()
{
    UIPopupRegistry::remove(m_popup);
    m_popupView->list()->setCurrentItem(-1, false);
    if (UIWidget* top = topLevelWidget()) {
        top->setWindowFlag(WindowKeepActiveFrame, false);
        top->setWindowFlag(WindowNoActivate, false);
    }
    repaint();
}

void UILineEdit::moveCompletion(int step)
{
    UIList* list = m_popupView->list();
    if (!m_popup->isVisible() || list->isEmpty())
        return;
    const int count = list->count();
    int row = list->currentIndex();
    if (row < 0)
        row = step > 0 ? 0 : count - 1;
    else
        row = (row + step + count) % count;
    list->setCurrentItemAndSelect(row);
}

void UILineEdit::acceptCompletion()
{
    const UIListItem* current = m_popupView->list()->currentItem();
    if (m_popup->isVisible() && current)
        setText(current->label());
    hideCompletion();
}

void UILineEdit::dismissCompletion()
{
    hideCompletion();
}

void UILineEdit::onTopLevelMoved()
{
    dismissCompletion();
}
