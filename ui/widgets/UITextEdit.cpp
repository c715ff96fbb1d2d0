#include "ui/widgets/UITextEdit.h"

#include "foundation/Application.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/Clipboard.h"
#include "ui/PlatformServices.h"
#include "ui/TimerService.h"
#include "ui/UIDragManager.h"
#include "ui/UIManager.h"
#include "ui/UIStyleValues.h"
#include "ui/widgets/UIMenu.h"
#include "ui/widgets/UIToolTip.h"

#include <windows.h>

#include <algorithm>

namespace {

const wchar_t* const menuContext = L"UserInterface/UITextEdit";

// Where the cursor lands inside the edge it crossed when scrolling sideways.
constexpr int scrollMargin = 50;

enum Key : int {
    KeyBackspace = 8,
    KeyEnter = 13,
    KeyPageUp = 33,
    KeyPageDown = 34,
    KeyEnd = 35,
    KeyHome = 36,
    KeyLeft = 37,
    KeyUp = 38,
    KeyRight = 39,
    KeyDown = 40,
    KeyInsert = 45,
    KeyDelete = 46,
    KeyU = 85,
};

// What a Ctrl command needs of the editor, else it sounds.
enum class Need { Enabled, Editable };

struct ControlCommand {
    int key;
    Need need;
    void (UITextEdit::*run)();
};

const ControlCommand controlCommands[] = {
    {48, Need::Enabled, &UITextEdit::resetZoom},  {96, Need::Enabled, &UITextEdit::resetZoom},
    {65, Need::Enabled, &UITextEdit::selectAll},  {67, Need::Enabled, &UITextEdit::copy},
    {86, Need::Editable, &UITextEdit::paste},     {88, Need::Editable, &UITextEdit::cut},
    {89, Need::Editable, &UITextEdit::redo},      {90, Need::Editable, &UITextEdit::undo},
    {107, Need::Enabled, &UITextEdit::zoomIn},    {187, Need::Enabled, &UITextEdit::zoomIn},
    {109, Need::Enabled, &UITextEdit::zoomOut},   {189, Need::Enabled, &UITextEdit::zoomOut},
};

// One context menu entry by index: a separator without text; an entry
// without command opens a submenu.
struct MenuRow {
    const wchar_t* text;
    void (UITextEdit::*run)();
};

const MenuRow mainMenuRows[] = {
    {L"Undo", &UITextEdit::undo},
    {L"Redo", &UITextEdit::redo},
    {nullptr, nullptr},
    {L"Cut", &UITextEdit::cut},
    {L"Copy", &UITextEdit::copy},
    {L"Paste", &UITextEdit::paste},
    {L"Delete", &UITextEdit::deleteForward},
    {nullptr, nullptr},
    {L"Select All", &UITextEdit::selectAll},
    {nullptr, nullptr},
    {L"Text Size", nullptr},
};

const MenuRow textSizeMenuRows[] = {
    {L"Increase", &UITextEdit::zoomIn},
    {L"Decrease", &UITextEdit::zoomOut},
    {nullptr, nullptr},
    {L"Normal", &UITextEdit::resetZoom},
};

template <std::size_t n>
void fillMenu(UIMenu* menu, const MenuRow (&rows)[n], UITextEdit* edit)
{
    for (const MenuRow& row : rows) {
        if (!row.text) {
            menu->addSeparator();
            continue;
        }
        UIAction* action = menu->addAction(translate(row.text, menuContext));
        if (row.run)
            action->triggered.connect(edit, row.run);
    }
}

template <std::size_t n>
void retranslateMenu(UIMenu* menu, const MenuRow (&rows)[n])
{
    for (std::size_t i = 0; i < n; ++i) {
        if (rows[i].text)
            menu->setActionText(int(i), translate(rows[i].text, menuContext));
    }
}

Clipboard& clipboard()
{
    return UIManager::instance()->clipboard();
}

} // namespace

class UITextEdit::PaintBatch {
public:
    explicit PaintBatch(UITextEdit& edit) : m_edit(edit) { ++m_edit.m_batchDepth; }
    ~PaintBatch()
    {
        if (--m_edit.m_batchDepth == 0)
            m_edit.flushRepaint();
    }
    PaintBatch(const PaintBatch&) = delete;
    PaintBatch& operator=(const PaintBatch&) = delete;

private:
    UITextEdit& m_edit;
};

// ---- Construction ----

UITextEdit::UITextEdit(UIWidget* parent) : UIAbstractTextEdit(parent, L"UITextEdit_Background")
{
    setStyleName(L"UITextEdit");
    setFlag(WidgetSeeThrough, false);
    setFlag(WidgetTakesDoubleClicks, true);
    setFlag(WidgetHoverTracking, true);
    setFlag(WidgetTakesInputMethod, true);
    setSizePolicy(SizeResizable, SizeResizable);
    // Mouse press only, so Tab never enters it.
    setFocusPolicy(ClickFocus);
    setCursor(Cursor(CursorIBeam));
    setDragFlags(DragSourceFlag | DropTargetFlag);
    buildContextMenu();
    applyTextStyle();
    m_document->setWordWrap(false);
    m_document->setMargins(3, 2, 2, 2);
    cursor()->positionChanged.connect(this, &UITextEdit::onCursorMoved);
    cursor()->selectionChanged.connect(this, &UITextEdit::onSelectionMoved);
    m_document->connect(this, &UITextEdit::onTextChanged);
    setText(String());
}

void UITextEdit::buildContextMenu()
{
    // Without a parent: the widget owns it through setContextMenu, and its
    // base destructor reads the menu after deleting the children.
    m_menu = new UIMenu(nullptr);
    fillMenu(m_menu, mainMenuRows, this);
    auto* sizes = new UIMenu(m_menu);
    fillMenu(sizes, textSizeMenuRows, this);
    m_menu->setSubmenu(MenuTextSize, sizes);
    m_menu->aboutToShow.connect(this, &UITextEdit::updateContextMenu);
    setContextMenu(m_menu);
}

void UITextEdit::retranslate()
{
    retranslateMenu(m_menu, mainMenuRows);
    retranslateMenu(m_menu->submenu(MenuTextSize), textSizeMenuRows);
}

void UITextEdit::updateContextMenu()
{
    const bool enabled = isEnabled();
    const bool edit = canEdit();
    const bool selection = hasSelection();
    m_menu->setActionEnabled(MenuUndo, edit && m_document->canUndo());
    m_menu->setActionEnabled(MenuRedo, edit && m_document->canRedo());
    m_menu->setActionEnabled(MenuCut, edit && selection);
    m_menu->setActionEnabled(MenuCopy, enabled && selection);
    m_menu->setActionEnabled(MenuPaste, edit && Clipboard::contentKind() == ClipboardText);
    m_menu->setActionEnabled(MenuDelete, edit && selection);
    m_menu->setActionEnabled(MenuSelectAll, enabled && !isEmpty());
    UIMenu* sizes = m_menu->submenu(MenuTextSize);
    const float size = m_document->fontSize();
    const bool zoom = enabled && m_zoomEnabled;
    sizes->setActionEnabled(TextSizeIncrease, zoom && size < m_zoomMaximum);
    sizes->setActionEnabled(TextSizeDecrease, zoom && size > m_zoomMinimum);
}

// ---- Style ----

void UITextEdit::setStyleProperty(const String& name, const String& value)
{
    UIAbstractTextEdit::setStyleProperty(name, value);
    if (name == L"zoomMinimum")
        m_zoomMinimum = parseFloatValue(value);
    else if (name == L"zoomMaximum")
        m_zoomMaximum = parseFloatValue(value);
}

Size UITextEdit::sizeHint() const
{
    return {70, 70};
}

Size UITextEdit::minimumSizeHint() const
{
    return m_document->contentSize();
}

Rect UITextEdit::inputMethodRect() const
{
    return m_document->cursorRect();
}

// ---- Text and options ----

void UITextEdit::setText(const String& text)
{
    const PaintBatch batch(*this);
    const String kept = keptWithinMaxLength(text);
    scrollTo(0, 0);
    m_document->setText(kept, UITextDocument::ClearHistory | UITextDocument::CursorToEnd);
}

String UITextEdit::text() const
{
    return m_document->text();
}

void UITextEdit::clear()
{
    if (isEmpty())
        return;
    const PaintBatch batch(*this);
    m_document->clear();
    scrollTo(0, 0);
}

void UITextEdit::setWordWrap(bool on)
{
    m_document->setWordWrap(on);
    repaint();
}

// ---- Editing ----

void UITextEdit::insert(const String& text)
{
    String piece = text;
    piece.removeAll(L'\r');
    if (piece.isEmpty() || m_readOnly) {
        refuse();
        return;
    }
    const PaintBatch batch(*this);
    insertWithinMaxLength(piece);
}

void UITextEdit::copy()
{
    if (isEmpty() || !hasSelection()) {
        refuse();
        return;
    }
    clipboard().setText(m_document->externalText(selectedText()));
}

void UITextEdit::cut()
{
    if (m_readOnly) {
        refuse();
        return;
    }
    const PaintBatch batch(*this);
    copy();
    deleteSelection();
}

void UITextEdit::changeCase(bool upper)
{
    if (!canEdit() || !hasSelection()) {
        refuse();
        return;
    }
    const int anchorBefore = anchor();
    const int positionBefore = cursorPosition();
    const String selected = selectedText();
    insert(upper ? selected.toUpper() : selected.toLower());
    cursor()->setPosition(anchorBefore);
    cursor()->setPosition(positionBefore, true);
}

// ---- Document signals ----

void UITextEdit::onTextChanged()
{
    UIToolTip::hideFor(this);
    m_document->history()->push(m_document->text());
    textChanged.emit();
    ensureCursorVisible();
    requestRepaint(changedLinesArea());
}

void UITextEdit::onCursorMoved(int oldPosition, int newPosition)
{
    m_caretBlinkOff = false;
    ensureCursorVisible();
    requestRepaint(linesBand(cursor()->lineIndex(), cursor()->lineIndex()));
    cursorPositionChanged.emit(oldPosition, newPosition);
}

void UITextEdit::onSelectionMoved()
{
    requestRepaint(selectionChangeArea());
    selectionChanged.emit();
}

// ---- Partial repaints ----

void UITextEdit::requestRepaint(const Rect& area)
{
    m_dirty = m_dirty.united(area.intersected(rect()));
    if (m_batchDepth == 0)
        flushRepaint();
}

// The caret leaves its old place and shows on the cursor's line, so both
// are painted with whatever else changed.
void UITextEdit::flushRepaint()
{
    if (m_dirty.isEmpty())
        return;
    const int line = cursor()->lineIndex();
    const Rect area = m_dirty.united(m_caretPainted).united(linesBand(line, line));
    m_dirty = Rect();
    repaint(area);
}

Rect UITextEdit::linesBand(int first, int last) const
{
    if (first < 0)
        return {};
    const int h = m_document->fontHeight();
    const int top = contentOffsetY() + m_document->margins().top + h * first;
    const int bottom = last < 0 ? height() : top + h * (last - first + 1);
    return Rect(0, top, width(), bottom - top).intersected(rect());
}

// Indices the text no longer holds (a selection an edit shortened) give
// everything from the first line on.
Rect UITextEdit::charactersBand(int start, int end) const
{
    if (start >= end)
        return {};
    const int first = m_document->lineOf(start);
    const int last = m_document->lineOf(end - 1);
    return linesBand(first < 0 ? 0 : first, last);
}

// Lines after the changed ones that moved up or down are painted too; the
// placeholder, centred in the whole editor, comes and goes with the text.
Rect UITextEdit::changedLinesArea()
{
    const bool emptinessChanged = isEmpty() != m_shownEmpty;
    m_shownEmpty = isEmpty();
    if (emptinessChanged && !placeholderText().isEmpty())
        return rect();
    const UITextLineChange& change = m_document->lastLineChange();
    if (change.removed != change.inserted)
        return linesBand(change.first, -1);
    return change.inserted > 0 ? linesBand(change.first, change.first + change.inserted - 1) : Rect();
}

// The characters whose selected state changed: between the old and the
// new start, and between the old and the new end.
Rect UITextEdit::selectionChangeArea()
{
    const int oldStart = m_shownSelectionStart;
    const int oldEnd = m_shownSelectionEnd;
    const int start = cursor()->selectionStart();
    const int end = cursor()->selectionEnd();
    m_shownSelectionStart = start;
    m_shownSelectionEnd = end;
    if (oldStart >= oldEnd || start >= end)
        return charactersBand(oldStart, oldEnd).united(charactersBand(start, end));
    return charactersBand(std::min(oldStart, start), std::max(oldStart, start))
        .united(charactersBand(std::min(oldEnd, end), std::max(oldEnd, end)));
}

// ---- Scrolling ----

UIScrollArea* UITextEdit::view() const
{
    UIWidget* viewport = parent();
    auto* area = viewport ? dynamic_cast<UIScrollArea*>(viewport->parent()) : nullptr;
    return area && area->contentWidget() == this ? area : nullptr;
}

// Offsets are 0 or negative; a view moves its bars and hands them back.
void UITextEdit::scrollTo(int horizontalOffset, int verticalOffset)
{
    UIScrollArea* area = view();
    if (!area) {
        setContentOffset(horizontalOffset, verticalOffset);
        return;
    }
    area->setHorizontalValue(-horizontalOffset);
    area->setVerticalValue(-verticalOffset);
    // An unchanged bar moves nothing, yet the content may not follow it yet.
    area->updateContentPosition(0, 0);
}

// Only once shown: before that the widget has no size to keep it in.
void UITextEdit::ensureCursorVisible()
{
    if (cursor()->lineIndex() < 0 || !isVisible())
        return;
    ensureCursorVisibleVertically();
    ensureCursorVisibleHorizontally();
}

void UITextEdit::ensureCursorVisibleVertically()
{
    const UIMargins margins = m_document->margins();
    const int h = m_document->fontHeight();
    const int top = h * cursor()->lineIndex();
    const int y = top + contentOffsetY() + margins.top;
    int value;
    if (y < margins.top)
        value = top;
    else if (y + h > height() - (margins.top + margins.bottom))
        value = top + margins.top - (height() - margins.top - h);
    else
        return;
    scrollTo(contentOffsetX(), -value);
}

void UITextEdit::ensureCursorVisibleHorizontally()
{
    const UITextLine* line = cursor()->currentLine();
    if (isEmpty() || !line)
        return;
    const UIMargins margins = m_document->margins();
    const UITextLayout& layout = m_document->layout();
    const String& text = m_document->text();
    const int x = layout.textWidth(text, line->start, cursorPosition());
    const int available = width() - margins.left - margins.right;
    const int offset = contentOffsetX();
    const int v = offset + x;
    const int lineWidth = layout.textWidth(text, line->start, line->end());
    int wanted = offset;
    if (v > available)
        wanted = std::max(offset + available - v - scrollMargin, available - lineWidth);
    else if (v < 0)
        wanted = std::min(offset + scrollMargin - v, 0);
    if (wanted != offset)
        scrollTo(wanted, contentOffsetY());
}

// ---- Zoom ----

void UITextEdit::zoomIn()
{
    const float current = m_document->fontSize();
    if (!m_zoomEnabled || current >= m_zoomMaximum)
        return;
    FontDesc desc = m_document->font();
    desc.setPixelSize(desc.pixelSize() + m_zoomStep);
    const float size = std::clamp(desc.size(), m_zoomMinimum, m_zoomMaximum);
    if (size > current)
        applyZoom(size);
}

void UITextEdit::zoomOut()
{
    const float current = m_document->fontSize();
    if (!m_zoomEnabled || current <= m_zoomMinimum)
        return;
    FontDesc desc = m_document->font();
    desc.setPixelSize(desc.pixelSize() - m_zoomStep);
    const float size = std::clamp(desc.size(), m_zoomMinimum, m_zoomMaximum);
    if (size < current)
        applyZoom(size);
}

void UITextEdit::resetZoom()
{
    if (m_zoomEnabled && textStyle().font.size() != m_document->fontSize())
        applyZoom(textStyle().font.size());
}

void UITextEdit::applyZoom(float points)
{
    m_document->setFontSize(points);
    repaint();
    zoomChanged.emit();
}

void UITextEdit::setZoomStep(int pixels)
{
    m_zoomStep = std::clamp(pixels, 1, 100);
}

// ---- Highlighting ----

int UITextEdit::highlight(const String& text, bool caseSensitive, const Pen& pen, const Brush& brush,
                          std::uint32_t fontStyle)
{
    const int count = m_document->highlight(text, caseSensitive, pen, brush, fontStyle);
    if (count > 0)
        repaint();
    return count;
}

void UITextEdit::clearHighlights()
{
    if (!m_document->hasFormats())
        return;
    m_document->clearHighlights();
    repaint();
}

// ---- Keys ----

void UITextEdit::keyPressEvent(UIKeyEvent* event)
{
    if (m_selecting)
        return;
    const PaintBatch batch(*this);
    m_caretBlinkOff = false;
    const KeyboardModifiers modifiers = event->modifiers();
    // Ctrl without Alt makes a command; Ctrl with Alt (AltGr) still types.
    const bool command = modifiers.testFlag(ControlModifier) && !modifiers.testFlag(AltModifier);
    if (!event->text().isEmpty() && !command) {
        if (canEdit())
            insert(event->text());
        else
            refuse();
    }
    if (command && handleControlKey(*event))
        return;
    handleKey(*event);
}

bool UITextEdit::handleControlKey(const UIKeyEvent& event)
{
    if (event.key() == KeyU) {
        changeCase(event.modifiers().testFlag(ShiftModifier));
        return true;
    }
    for (const ControlCommand& c : controlCommands) {
        if (c.key != event.key())
            continue;
        if (c.need == Need::Enabled ? isEnabled() : canEdit())
            (this->*c.run)();
        else
            refuse();
        return true;
    }
    return false;
}

void UITextEdit::handleKey(const UIKeyEvent& event)
{
    const bool shift = event.modifiers().testFlag(ShiftModifier);
    const bool control = event.modifiers().testFlag(ControlModifier);
    switch (event.key()) {
    case KeyBackspace:
        canEdit() ? backspace() : refuse();
        return;
    case KeyEnter:
        if (canEdit())
            insert(String(L"\n"));
        editingFinished.emit();
        return;
    case KeyPageUp:
        moveCursor(UITextCursor::MoveDocumentStart, false);
        return;
    case KeyPageDown:
        moveCursor(UITextCursor::MoveDocumentEnd, false);
        return;
    case KeyEnd:
        moveCursor(UITextCursor::MoveLineEnd, false);
        return;
    case KeyHome:
        moveCursor(UITextCursor::MoveLineStart, false);
        return;
    case KeyLeft:
        moveCursor(control ? UITextCursor::MovePreviousWordStart : UITextCursor::MoveLeft, shift);
        return;
    case KeyRight:
        moveCursor(control ? UITextCursor::MoveNextWordStart : UITextCursor::MoveRight, shift);
        return;
    case KeyUp:
        moveCursor(UITextCursor::MoveUp, shift);
        return;
    case KeyDown:
        moveCursor(UITextCursor::MoveDown, shift);
        return;
    case KeyInsert:
        if (control)
            isEnabled() ? copy() : refuse();
        else if (shift)
            canEdit() ? paste() : refuse();
        return;
    case KeyDelete:
        if (!canEdit())
            refuse();
        else if (shift)
            cut();
        else
            deleteForward();
        return;
    default:
        return;
    }
}

void UITextEdit::moveCursor(int operation, bool extend)
{
    cursor()->move(operation, extend);
}

// ---- Mouse and wheel ----

int UITextEdit::hitIndex(Point p, bool* found) const
{
    m_document->setHorizontalOffset(contentOffsetX());
    m_document->setVerticalOffset(contentOffsetY());
    int index = 0;
    *found = m_document->hitTest(p, &index);
    return index;
}

void UITextEdit::mousePressEvent(UIMouseEvent* event)
{
    if (event->button() != LeftButton) {
        m_selecting = false;
        return;
    }
    const PaintBatch batch(*this);
    bool found = false;
    const int index = hitIndex(event->position(), &found);
    if (!found) {
        clearSelection();
        return;
    }
    cursor()->setPosition(index, event->modifiers().testFlag(ShiftModifier));
    m_selecting = true;
}

void UITextEdit::mouseMoveEvent(UIMouseEvent* event)
{
    if (!m_selecting) {
        setCursor(Cursor(CursorIBeam));
        return;
    }
    const PaintBatch batch(*this);
    bool found = false;
    const int index = hitIndex(event->position(), &found);
    if (found)
        cursor()->setPosition(index, true);
}

void UITextEdit::mouseReleaseEvent(UIMouseEvent* event)
{
    if (event->button() == LeftButton)
        m_selecting = false;
}

// Always the word: a second double click does not select everything here.
void UITextEdit::mouseDoubleClickEvent(UIMouseEvent*)
{
    const PaintBatch batch(*this);
    cursor()->select(UITextCursor::SelectWord);
}

// The view scrolls on the same turn through the wheel signal.
void UITextEdit::wheelEvent(UIWheelEvent* event)
{
    if (!m_zoomEnabled || !event->modifiers().testFlag(ControlModifier) || !isEnabled())
        return;
    if (event->direction() == WheelUp)
        zoomOut();
    else
        zoomIn();
}

// ---- Focus and caret ----

void UITextEdit::focusInEvent(UIFocusEvent* event)
{
    m_caretBlinkOff = false;
    UIAbstractTextEdit::focusInEvent(event);
}

void UITextEdit::focusOutEvent(UIFocusEvent*)
{
    killTimer(TextCursorBlinkTimerId);
    repaint();
    editingFinished.emit();
}

void UITextEdit::customEvent(UICustomEvent* event)
{
    if (event->code() != TextCursorBlinkTimerId)
        return;
    const bool canBlink = isVisible() && isEnabled() && !m_readOnly && hasFocus() &&
                          !testFlag(WidgetComposing | WidgetKeyHeld);
    if (!canBlink && !m_caretShown)
        return;
    m_caretBlinkOff = !m_caretBlinkOff;
    requestRepaint(linesBand(cursor()->lineIndex(), cursor()->lineIndex()));
}

// ---- Drag and drop ----

bool UITextEdit::takesDrag(const UIDragEvent& event) const
{
    return !m_readOnly && event.currentDragData().hasText();
}

void UITextEdit::dragEnterEvent(UIDragEvent* event)
{
    if (takesDrag(*event))
        event->accept();
}

void UITextEdit::dragMoveEvent(UIDragEvent* event)
{
    if (!takesDrag(*event))
        return;
    event->accept();
    bool found = false;
    const int index = hitIndex(event->pos(), &found);
    if (!found)
        return;
    // The batch paints before the drop caret goes off again.
    m_dropCaret = true;
    {
        const PaintBatch batch(*this);
        cursor()->setPosition(index);
    }
    m_dropCaret = false;
}

void UITextEdit::dropEvent(UIDragEvent* event)
{
    if (takesDrag(*event))
        insert(event->currentDragData().text());
}

// ---- Painting ----

void UITextEdit::resizeEvent(UIResizeEvent*)
{
    m_document->setViewport(rect());
}

bool UITextEdit::isActive() const
{
    if (hasFocus() || m_menu->isVisible())
        return true;
    const UIScrollArea* area = view();
    return area && (area->horizontalScrollBar()->isPressed() || area->verticalScrollBar()->isPressed());
}

void UITextEdit::setContentOffset(int horizontal, int vertical)
{
    if (storeContentOffset(horizontal, vertical))
        requestRepaint(rect());
}

// Only the event's rectangle is drawn; outside it the back buffer keeps
// what earlier paints left, which is what they would draw now.
void UITextEdit::paintEvent(UIPaintEvent* event)
{
    const Rect area = event->rect().intersected(rect());
    if (area == rect()) {
        m_dirty = Rect();
        m_shownSelectionStart = cursor()->selectionStart();
        m_shownSelectionEnd = cursor()->selectionEnd();
        m_shownEmpty = isEmpty();
    }
    const bool active = isActive();
    keepBackground(active);
    Graphics g(backBuffer());
    g.setClipRect(area);
    g.setFont(m_document->font());
    g.setBrush(Brush(unsetStyleColour));
    paintKeptBackground(g, area);
    g.setClipRect(Rect(1, 1, width() - 2, height() - 2).intersected(area));
    paintDocument(g, active, area);
    const UIMargins m = m_document->margins();
    paintPlaceholder(g, active, rect().adjusted(m.left, m.top, -m.right, -m.bottom), AlignCenter, 0);
    g.resetClip();
    paintCaret(g, active, area);
}

void UITextEdit::paintCaret(Graphics& g, bool active, const Rect& area)
{
    m_caretShown = false;
    m_caretPainted = Rect();
    const bool blinkingOn = m_dropCaret || (active && !m_caretBlinkOff);
    if (!blinkingOn || m_readOnly || testFlag(WidgetComposing))
        return;
    const Rect caret = m_document->cursorRect().intersected(rect().adjusted(1, 1, -1, -1)).intersected(area);
    if (caret.isEmpty())
        return;
    g.invertRect(caret, true);
    m_caretShown = true;
    m_caretPainted = caret;
}

// ---- The view ----

UITextEditView::UITextEditView(UIWidget* parent) : UIScrollArea(parent)
{
    storeStyleName(L"UITextEditView");
    setFlag(WidgetSeeThrough, false);
    auto* edit = new UITextEdit(viewport());
    edit->show();
    setContentWidget(edit);
    setViewportBackground(Brush(Colour(0xFFFFFFFFu)));
    updateSingleStep();
}

UITextEdit* UITextEditView::textEdit() const
{
    return dynamic_cast<UITextEdit*>(contentWidget());
}

void UITextEditView::setContentWidget(UIWidget* content)
{
    if (auto* edit = dynamic_cast<UITextEdit*>(content)) {
        edit->textChanged.connect(this, &UITextEditView::relayout);
        edit->zoomChanged.connect(this, &UITextEditView::relayout);
        edit->wheelTurned.connect(this, &UITextEditView::scrollByWheel);
    }
    UIScrollArea::setContentWidget(content);
}

void UITextEditView::relayout()
{
    updateSingleStep();
    UIScrollArea::relayout();
}

// One wheel notch scrolls the platform's number of lines, also after a zoom.
void UITextEditView::updateSingleStep()
{
    if (const UITextEdit* edit = textEdit())
        setVerticalSingleStep(edit->document()->fontHeight() * wheelScrollLines());
}
