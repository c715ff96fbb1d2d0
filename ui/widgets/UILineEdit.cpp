#include "ui/widgets/UILineEdit.h"

#include "foundation/Application.h"
#include "foundation/CharHelpers.h"
#include "foundation/DateTime.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/Clipboard.h"
#include "ui/MimeData.h"
#include "ui/TimerService.h"
#include "ui/UIDragManager.h"
#include "ui/UIManager.h"
#include "ui/UIPopupRegistry.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWindow.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIToolTip.h"

#include <windows.h>

#include <algorithm>

namespace {

constexpr int keyBackspace = 8;
constexpr int keyEnter = 13;
constexpr int keyEscape = 27;
constexpr int keyEnd = 35;
constexpr int keyHome = 36;
constexpr int keyLeft = 37;
constexpr int keyUp = 38;
constexpr int keyRight = 39;
constexpr int keyDown = 40;
constexpr int keyInsert = 45;
constexpr int keyDelete = 46;
constexpr int keyMenu = 93;

constexpr int leftMargin = 4;
constexpr int topMargin = 4;
constexpr int rightMargin = 2;
constexpr int bottomMargin = 2;
// A cursor scrolled into sight lands this far inside the edge it crossed.
constexpr int scrollSlack = 50;
// Two double clicks closer than this select the whole text.
constexpr std::int64_t tripleClickMs = 500;
constexpr int cursorShape = 4;

const wchar_t* const menuContext = L"UserInterface/UILineEdit";
const wchar_t* const menuTexts[] = {L"Undo", L"Redo", L"", L"Cut", L"Copy", L"Paste", L"Delete", L"", L"Select All"};

bool hasClipboardText()
{
    return Clipboard::contentKind() == ClipboardText;
}

} // namespace

UILineEdit::UILineEdit(UIWidget* parent) : UIAbstractTextEdit(parent, L"UILineEdit_Background")
{
    setStyleName(L"UILineEdit");
    setFlag(WidgetSeeThrough, false);
    setFlag(WidgetInputControl, true);
    setFlag(WidgetTakesDoubleClicks, true);
    setFlag(WidgetHoverTracking, true);
    setSizePolicy(SizeResizable, SizeFixed);
    setFocusPolicy(TabFocus | ClickFocus);
    setCursor(Cursor(cursorShape));
    setDragFlags(DragSourceFlag | DropTargetFlag);
    setFlag(WidgetTakesInputMethod, true);
    buildMenu();
    m_document->setWordWrap(false);
    m_document->setMargins(leftMargin, topMargin, rightMargin, bottomMargin);
    applyTextStyle();
    editingFinished.connect(this, &UILineEdit::fixUpText);
    cursor()->positionChanged.connect(this, &UILineEdit::onCursorMoved);
    cursor()->selectionChanged.connect(this, &UILineEdit::onSelectionChanged);
    m_document->connect(this, &UILineEdit::onTextChanged);
    setText(String());
    buildCompletionPopup();
}

UILineEdit::~UILineEdit()
{
    // The pop-up goes with the children, after this object's members.
    m_popup->hidden.disconnectReceiver(this);
    UIPopupRegistry::remove(m_popup);
}

void UILineEdit::buildMenu()
{
    auto* menu = new UIMenu(this);
    for (const wchar_t* text : menuTexts) {
        if (*text)
            menu->addAction(translate(text, menuContext));
        else
            menu->addSeparator();
    }
    menu->aboutToShow.connect(this, &UILineEdit::onMenuAboutToShow);
    menu->action(MenuUndo)->triggered.connect(this, &UILineEdit::undo);
    menu->action(MenuRedo)->triggered.connect(this, &UILineEdit::redo);
    menu->action(MenuCut)->triggered.connect(this, &UILineEdit::cut);
    menu->action(MenuCopy)->triggered.connect(this, &UILineEdit::copy);
    menu->action(MenuPaste)->triggered.connect(this, &UILineEdit::paste);
    menu->action(MenuDelete)->triggered.connect(this, &UILineEdit::deleteForward);
    menu->action(MenuSelectAll)->triggered.connect(this, &UILineEdit::selectAll);
    setContextMenu(menu);
}

UIMenu* UILineEdit::menu() const
{
    return static_cast<UIMenu*>(contextMenu());
}

void UILineEdit::retranslate()
{
    UIMenu* entries = menu();
    for (int i = 0; i < entries->count(); ++i) {
        if (*menuTexts[i])
            entries->setActionText(i, translate(menuTexts[i], menuContext));
    }
}

// ---- Text ----

void UILineEdit::setText(const String& text)
{
    m_document->setText(keptWithinMaxLength(text), UITextDocument::ClearHistory | UITextDocument::CursorToEnd);
    setHorizontalOffset(0);
}

String UILineEdit::text() const
{
    const String& all = m_document->text();
    return all.mid(0, all.length() - 1);
}

String UILineEdit::displayText() const
{
    if (!isMasked())
        return text();
    return String(maskCharacter(), characterCount(text().view()));
}

void UILineEdit::clear()
{
    if (isEmpty())
        return;
    m_document->clear();
    setHorizontalOffset(0);
}

void UILineEdit::setMasked(bool on)
{
    if (on == isMasked())
        return;
    m_document->setMasked(on);
    repaint();
}

void UILineEdit::setMaskCharacter(wchar_t c)
{
    m_document->setMaskCharacter(c);
}

// Without the frame nothing paints the background, so the parent's shows
// through; else the field's buffer would show whatever it last held.
void UILineEdit::setFrame(bool on)
{
    m_frame = on;
    setFlag(WidgetSeeThrough, !on);
}

// ---- Editing commands ----

void UILineEdit::insert(const String& text)
{
    if (text.isEmpty()) {
        refuse();
        return;
    }
    String piece(text);
    piece.removeAll(L'\n');
    insertWithinMaxLength(piece);
}

// A masked text never leaves the field, whoever asks.
void UILineEdit::copy()
{
    if (isMasked() || isEmpty() || !hasSelectedText()) {
        refuse();
        return;
    }
    UIManager::instance()->clipboard().setText(selectedText());
}

void UILineEdit::cut()
{
    if (m_readOnly || isMasked() || isEmpty() || !hasSelectedText()) {
        refuse();
        return;
    }
    copy();
    deleteSelection();
}

// ---- Validator ----

void UILineEdit::setValidator(UIValidator* validator)
{
    m_validator.reset(validator);
    if (m_validator)
        fixUpText();
}

void UILineEdit::fixUpText()
{
    if (!m_validator)
        return;
    String copy = text();
    int position = 0;
    if (m_validator->validate(copy, position) == UIValidator::Acceptable)
        return;
    setText(copy);
    refuse();
}

// ---- Document handlers ----

void UILineEdit::onTextChanged()
{
    UIToolTip::hideFor(this);
    m_document->history()->push(m_document->text());
    if (isEmpty()) {
        setContentOffset(0, 0);
        if (hasAutoToolTip())
            setToolTip(String());
    } else {
        const int available = availableWidth();
        const int offset = contentOffsetX();
        if (offset < 0 && offset + textWidth() < available)
            setHorizontalOffset(std::min(available - textWidth(), 0));
        refreshAutoToolTip();
    }
    repaint();
    textChanged.emit();
}

void UILineEdit::onCursorMoved(int oldPosition, int newPosition)
{
    ensureCursorVisible();
    repaint();
    cursorPositionChanged.emit(oldPosition, newPosition);
}

void UILineEdit::refreshAutoToolTip()
{
    if (!hasAutoToolTip())
        return;
    setToolTip(textFits() || isMasked() ? String() : text());
    setAutoToolTip(true);
}

// ---- Horizontal scrolling ----

int UILineEdit::availableWidth() const
{
    return width() - leftMargin - rightMargin;
}

int UILineEdit::textWidth() const
{
    return m_document->layout().textWidth(m_document->text(), 0, m_document->length() - 1);
}

void UILineEdit::setHorizontalOffset(int offset)
{
    setContentOffset(offset, 0);
    m_document->setHorizontalOffset(offset);
    m_document->setVerticalOffset(0);
}

void UILineEdit::ensureCursorVisible()
{
    if (isEmpty() || !isVisible())
        return;
    const int x = m_document->layout().textWidth(m_document->text(), 0, cursorPosition());
    const int available = availableWidth();
    const int offset = contentOffsetX();
    const int v = offset + x;
    if (v > available)
        setHorizontalOffset(std::max(offset + available - v - scrollSlack, available - textWidth()));
    else if (v < 0)
        setHorizontalOffset(std::min(offset + scrollSlack - v, 0));
}

bool UILineEdit::textFits() const
{
    return contentOffsetX() == 0 && width() >= m_document->widestLineWidth();
}

// The viewport also bounds what the document paints, so it follows every
// size, shown or not.
void UILineEdit::resizeEvent(UIResizeEvent*)
{
    m_document->setViewport(rect());
    if (!isVisible())
        return;
    const int offset = contentOffsetX();
    if (!isEmpty() && offset < 0)
        setHorizontalOffset(std::min(std::max(offset, availableWidth() - textWidth()), 0));
}

// ---- Style ----

Size UILineEdit::sizeHint() const
{
    const int height = m_document->fontHeight() + topMargin + bottomMargin + 2;
    return {std::max(m_minimumWidth, leftMargin + rightMargin), std::max(m_minimumHeight, height)};
}

// Every key puts the style's font back, also over a size from setFontSize.
void UILineEdit::setStyleProperty(const String& name, const String& value)
{
    UIAbstractTextEdit::setStyleProperty(name, value);
    if (name == L"minimumWidth")
        m_minimumWidth = parseIntValue(value);
    else if (name == L"minimumHeight")
        m_minimumHeight = parseIntValue(value);
    applyTextStyle();
}

// The caret's own rectangle: the document's is stale while the field is
// empty.
Rect UILineEdit::inputMethodRect() const
{
    return caretRect();
}

// ---- Painting ----

bool UILineEdit::isActive() const
{
    return (contextMenu() && contextMenu()->isVisible()) || hasFocus();
}

void UILineEdit::paintEvent(UIPaintEvent*)
{
    Graphics g(backBuffer());
    g.setFont(m_document->font());
    g.setBrush(Brush(Colour(0x00FFFFFFu)));
    const bool active = isActive();
    if (m_frame)
        paintBackground(g, active);
    g.setClipRect(rect().adjusted(1, 1, -1, -1));
    paintDocument(g, active);
    paintPlaceholder(g, active, rect().adjusted(leftMargin, topMargin, -rightMargin, -bottomMargin),
                     AlignLeft | AlignVCenter, 1);
    g.resetClip();
    refreshAutoToolTip();
    m_caretShown = false;
    const bool wantsCaret = m_dropCaret || active;
    if (wantsCaret && !m_readOnly && !testFlag(WidgetComposing) && (active || m_dropCaret)) {
        g.invertRect(caretRect().intersected(rect().adjusted(1, 1, -1, -1)), true);
        m_caretShown = true;
    }
}

// The document leaves its cursor rectangle alone while empty: the caret's
// place is measured here, on the one line.
Rect UILineEdit::caretRect() const
{
    const int x = m_document->layout().textWidth(m_document->text(), 0, cursorPosition());
    return {contentOffsetX() + leftMargin + x, topMargin, m_document->cursorWidth(), m_document->fontHeight()};
}

void UILineEdit::blinkCaret()
{
    const bool mayBlink = isVisible() && isEnabled() && !m_readOnly && hasFocus() && !testFlag(WidgetComposing) &&
                          !testFlag(WidgetKeyHeld);
    if (!mayBlink && !m_caretShown)
        return;
    m_caretShown = !m_caretShown;
    Graphics g(backBuffer());
    g.invertRect(caretRect().intersected(rect().adjusted(1, 1, -1, -1)), true);
    const Point origin = mapToWindow(Point(0, 0));
    flushRect(Rect(origin.x, origin.y, width(), height()));
}

void UILineEdit::customEvent(UICustomEvent* event)
{
    if (event->code() == TextCursorBlinkTimerId)
        blinkCaret();
}

void UILineEdit::focusOutEvent(UIFocusEvent*)
{
    killTimer(TextCursorBlinkTimerId);
    repaint();
    acceptCompletion();
    editingFinished.emit();
}

// ---- Keys ----

bool UILineEdit::handleTypedText(UIKeyEvent* event)
{
    if (event->text().isEmpty())
        return false;
    if (canEdit())
        insert(event->text());
    else
        refuse();
    refreshCompletion();
    return true;
}

void UILineEdit::keyPressEvent(UIKeyEvent* event)
{
    if (m_selecting)
        return;
    handleTypedText(event);
    const KeyboardModifiers modifiers = event->modifiers();
    const bool shift = modifiers.testFlag(ShiftModifier);
    // AltGr arrives as Ctrl + Alt and types text: only Ctrl alone commands.
    const bool command = modifiers.testFlag(ControlModifier) && !modifiers.testFlag(AltModifier);
    if (command)
        handleControlKey(event->key(), shift);
    handleKey(event->key(), shift, command);
}

void UILineEdit::handleKey(int key, bool shift, bool control)
{
    switch (key) {
    case keyBackspace:
        canEdit() ? backspace() : refuse();
        refreshCompletion();
        return;
    case keyEnter:
        acceptCompletion();
        editingFinished.emit();
        return;
    case keyEscape:
        dismissCompletion();
        return;
    case keyEnd:
        cursor()->move(UITextCursor::MoveLineEnd);
        return;
    case keyHome:
        cursor()->move(UITextCursor::MoveLineStart);
        return;
    case keyLeft:
    case keyRight:
        if (!isEnabled())
            return;
        if (control)
            cursor()->move(key == keyLeft ? UITextCursor::MovePreviousWordStart : UITextCursor::MoveNextWordStart, shift);
        else
            cursor()->move(key == keyLeft ? UITextCursor::MoveLeft : UITextCursor::MoveRight, shift);
        return;
    case keyUp:
    case keyDown:
        moveCompletion(key == keyUp ? -1 : 1);
        return;
    case keyInsert:
        if (shift)
            canEdit() ? paste() : refuse();
        else if (control)
            isEnabled() && !isMasked() ? copy() : refuse();
        return;
    case keyDelete:
        if (shift) {
            canEdit() && !isMasked() ? cut() : refuse();
            return;
        }
        canEdit() ? deleteForward() : refuse();
        refreshCompletion();
        return;
    case keyMenu:
        if (isEnabled())
            popupMenuAtCentre();
        return;
    default:
        return;
    }
}

void UILineEdit::handleControlKey(int key, bool shift)
{
    switch (key) {
    case 'A':
        isEnabled() ? selectAll() : refuse();
        return;
    case 'C':
        isEnabled() && !isMasked() ? copy() : refuse();
        return;
    case 'U':
        changeCase(shift);
        return;
    case 'V':
        canEdit() ? paste() : refuse();
        return;
    case 'X':
        canEdit() && !isMasked() ? cut() : refuse();
        return;
    case 'Y':
        canEdit() ? redo() : refuse();
        return;
    case 'Z':
        canEdit() ? undo() : refuse();
        return;
    default:
        return;
    }
}

void UILineEdit::changeCase(bool upper)
{
    if (!canEdit() || isMasked() || !hasSelectedText()) {
        refuse();
        return;
    }
    const int start = cursor()->selectionStart();
    const String selected = selectedText();
    insert(upper ? selected.toUpper() : selected.toLower());
    setSelection(start, selected.length());
}

void UILineEdit::popupMenuAtCentre()
{
    UIMenu* entries = menu();
    const Point centre = mapToGlobal(Point(width() / 2, height() / 2));
    entries->popup(Point(centre.x - entries->sizeHint().width / 2, centre.y));
}

// ---- Mouse ----

void UILineEdit::mousePressEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton) {
        m_selecting = false;
        return;
    }
    int index = 0;
    if (!m_document->hitTest(event->position(), &index)) {
        clearSelection();
        return;
    }
    setCursorPosition(index, !event->modifiers().testFlag(ShiftModifier));
    m_selecting = true;
}

void UILineEdit::mouseMoveEvent(UIMouseEvent* event)
{
    int index = 0;
    if (m_selecting && m_document->hitTest(event->position(), &index)) {
        setCursorPosition(index, false);
        return;
    }
    if (!m_selecting)
        setCursor(Cursor(cursorShape));
}

void UILineEdit::mouseReleaseEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton)
        return;
    m_selecting = false;
}

void UILineEdit::mouseDoubleClickEvent(UIMouseEvent*)
{
    const std::int64_t now = preciseMilliseconds();
    if (now - m_lastDoubleClick < tripleClickMs || isMasked())
        selectAll();
    else
        cursor()->select(UITextCursor::SelectWord);
    m_lastDoubleClick = now;
}

// ---- Drag and drop ----

bool UILineEdit::acceptsDrag(UIDragEvent* event) const
{
    return !m_readOnly && !m_validator && event->currentDragData().hasText();
}

void UILineEdit::dragMoveEvent(UIDragEvent* event)
{
    if (!acceptsDrag(event))
        return;
    event->acceptAction(event->action());
    event->setAccepted(true);
    int index = 0;
    if (!m_document->hitTest(event->pos(), &index))
        return;
    m_dropCaret = true;
    setCursorPosition(index);
    m_dropCaret = false;
}

void UILineEdit::dropEvent(UIDragEvent* event)
{
    if (!acceptsDrag(event))
        return;
    event->acceptAction(event->action());
    event->setAccepted(true);
    insert(event->currentDragData().text());
}

// ---- Context menu ----

void UILineEdit::onMenuAboutToShow()
{
    UIMenu* entries = menu();
    const bool edit = canEdit();
    const bool selection = hasSelectedText();
    for (int i = 0; i < entries->count(); ++i)
        entries->showAction(i);
    entries->setActionEnabled(MenuPaste, edit && hasClipboardText());
    if (m_validator) {
        for (int i : {int(MenuUndo), int(MenuRedo), 2, int(MenuCut), int(MenuDelete), 7})
            entries->hideAction(i);
        entries->setActionEnabled(MenuCopy, isEnabled() && !isEmpty() && selection);
        entries->setActionEnabled(MenuSelectAll, isEnabled() && !isEmpty());
        return;
    }
    if (isMasked()) {
        for (int i : {int(MenuUndo), int(MenuRedo), 2, int(MenuCut), int(MenuCopy), 7, int(MenuSelectAll)})
            entries->hideAction(i);
        entries->setActionEnabled(MenuDelete, edit && selection);
        return;
    }
    entries->setActionEnabled(MenuUndo, edit && m_document->canUndo());
    entries->setActionEnabled(MenuRedo, edit && m_document->canRedo());
    entries->setActionEnabled(MenuCut, edit && selection);
    entries->setActionEnabled(MenuCopy, isEnabled() && selection);
    entries->setActionEnabled(MenuDelete, edit && selection);
    entries->setActionEnabled(MenuSelectAll, isEnabled() && !isEmpty());
}
