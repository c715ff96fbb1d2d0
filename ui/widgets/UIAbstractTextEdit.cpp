#include "ui/widgets/UIAbstractTextEdit.h"

#include "foundation/CharHelpers.h"
#include "graphics/DrawingSurface.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "ui/Clipboard.h"
#include "ui/TimerService.h"
#include "ui/UIManager.h"
#include "ui/UIStyleValues.h"

#include <windows.h>

#include <iterator>

namespace {

// Skin states of the background.
constexpr int skinNormal = 0;
constexpr int skinActive = 2;
constexpr int skinDisabled = 3;

// The colour keys, each filling one pen or brush of a colour pair.
struct ColourKey {
    const wchar_t* name;
    int pair;
    bool isPen;
};

const ColourKey colourKeys[] = {
    {L"foreground", UITextDocumentStyle::Normal, true},
    {L"selectedForeground", UITextDocumentStyle::SelectedActive, true},
    {L"selectedBackground", UITextDocumentStyle::SelectedActive, false},
    {L"unfocusedSelectedForeground", UITextDocumentStyle::SelectedInactive, true},
    {L"unfocusedSelectedBackground", UITextDocumentStyle::SelectedInactive, false},
    {L"disabledForeground", UITextDocumentStyle::Disabled, true},
    {L"disabledBackground", UITextDocumentStyle::Disabled, false},
    {L"readonlyForeground", UITextDocumentStyle::ReadOnly, true},
    {L"readonlyBackground", UITextDocumentStyle::ReadOnly, false},
};

// The first units of a text, one fewer where the cut would part a pair.
String headOf(const String& text, int units)
{
    return text.mid(0, splitsSurrogatePair(text.view(), std::size_t(units)) ? units - 1 : units);
}

const ColourKey* findColourKey(const String& name)
{
    for (const ColourKey& key : colourKeys) {
        if (name == key.name)
            return &key;
    }
    return nullptr;
}

} // namespace

UIAbstractTextEdit::UIAbstractTextEdit(UIWidget* parent, const wchar_t* backgroundSkin)
    : UIWidget(parent), m_document(std::make_unique<UITextDocument>(this)), m_backgroundSkinName(backgroundSkin)
{
}

UIAbstractTextEdit::~UIAbstractTextEdit()
{
    killTimer(TextCursorBlinkTimerId);
}

// ---- Text and options ----

void UIAbstractTextEdit::setMaxLength(int length)
{
    if (length >= 0)
        m_maxLength = length;
}

void UIAbstractTextEdit::setReadOnly(bool on)
{
    if (on == m_readOnly)
        return;
    setFlag(WidgetTakesInputMethod, !on);
    m_readOnly = on;
    repaint();
}

void UIAbstractTextEdit::setPlaceholderText(const String& text)
{
    if (text == m_placeholderText)
        return;
    m_placeholderText = text;
    if (isEmpty())
        repaint();
}

void UIAbstractTextEdit::setFontSize(float points)
{
    m_document->setFontSize(points);
}

// ---- Cursor and selection ----

bool UIAbstractTextEdit::hasSelection() const
{
    return cursor()->hasSelection();
}

String UIAbstractTextEdit::selectedText() const
{
    return cursor()->selectedText();
}

void UIAbstractTextEdit::setCursorPosition(int position, bool moveAnchor)
{
    cursor()->setPosition(position, !moveAnchor);
}

int UIAbstractTextEdit::cursorPosition() const
{
    return cursor()->position();
}

int UIAbstractTextEdit::anchor() const
{
    return cursor()->anchor();
}

void UIAbstractTextEdit::setSelection(int start, int length)
{
    cursor()->setSelection(start, length);
}

void UIAbstractTextEdit::selectAll()
{
    if (!isEmpty())
        cursor()->select(UITextCursor::SelectAll);
}

void UIAbstractTextEdit::clearSelection()
{
    cursor()->clearSelection();
}

void UIAbstractTextEdit::onSelectionChanged()
{
    repaint();
    selectionChanged.emit();
}

// ---- Editing ----

void UIAbstractTextEdit::refuse()
{
    UIManager::instance()->playMessageSound(1);
}

String UIAbstractTextEdit::keptWithinMaxLength(const String& text)
{
    if (m_maxLength <= 0 || text.length() <= m_maxLength)
        return text;
    refuse();
    return headOf(text, m_maxLength);
}

void UIAbstractTextEdit::insertWithinMaxLength(String piece)
{
    deleteSelection();
    if (m_maxLength >= 1) {
        const int room = m_maxLength - (m_document->length() - 1);
        if (room < 1) {
            refuse();
            return;
        }
        if (piece.length() > room) {
            piece = headOf(piece, room);
            refuse();
        }
    }
    cursor()->insertText(piece);
}

void UIAbstractTextEdit::deleteSelection()
{
    if (m_readOnly) {
        refuse();
        return;
    }
    if (hasSelection() && !cursor()->removeSelectedText())
        refuse();
}

void UIAbstractTextEdit::deleteForward()
{
    deleteAtCursor(true);
}

void UIAbstractTextEdit::backspace()
{
    deleteAtCursor(false);
}

void UIAbstractTextEdit::deleteAtCursor(bool forward)
{
    if (m_readOnly || isEmpty()) {
        refuse();
        return;
    }
    if (hasSelection())
        deleteSelection();
    else if (!(forward ? cursor()->deleteNext() : cursor()->deletePrevious()))
        refuse();
}

void UIAbstractTextEdit::paste()
{
    if (m_readOnly) {
        refuse();
        return;
    }
    if (Clipboard::contentKind() == ClipboardText)
        insert(UIManager::instance()->clipboard().text());
}

void UIAbstractTextEdit::undo()
{
    if (!m_readOnly && m_document->canUndo())
        m_document->undo();
}

void UIAbstractTextEdit::redo()
{
    if (!m_readOnly && m_document->canRedo())
        m_document->redo();
}

void UIAbstractTextEdit::clearHistory()
{
    m_document->clearHistory();
}

// ---- Style ----

void UIAbstractTextEdit::setStyleProperty(const String& name, const String& value)
{
    m_backgroundImage = Bitmap();
    if (const ColourKey* key = findColourKey(name)) {
        if (key->isPen)
            m_textStyle.colours.pens[std::size_t(key->pair)] = parsePenValue(value);
        else
            m_textStyle.colours.brushes[std::size_t(key->pair)] = parseBrushValue(value);
        m_document->setStyle(m_textStyle.colours);
    } else if (name == L"font") {
        m_textStyle.font = parseFontValue(value);
        m_document->setFont(m_textStyle.font);
    } else if (name == L"background") {
        m_textStyle.background = parseBrushValue(value);
    } else if (name == L"blankFont") {
        m_textStyle.blankFont = parseFontValue(value);
    } else if (name == L"blankForeground") {
        m_textStyle.blankForeground = parsePenValue(value);
    }
}

void UIAbstractTextEdit::applyTextStyle()
{
    m_document->setFont(m_textStyle.font);
    m_document->setStyle(m_textStyle.colours);
}

void UIAbstractTextEdit::setStyleImage(const String& skinName, UISkin* skin)
{
    if (skinName != m_backgroundSkinName)
        return;
    m_backgroundSkin = *skin;
    m_backgroundImage = Bitmap();
}

Font UIAbstractTextEdit::inputMethodFont() const
{
    return Font(m_document->font());
}

// ---- Painting ----

UIAbstractTextEdit::BackgroundLook UIAbstractTextEdit::backgroundLook(bool active) const
{
    if (!isEnabled())
        return {&m_textStyle.colours.brushes[UITextDocumentStyle::Disabled], skinDisabled};
    if (m_readOnly)
        return {&m_textStyle.colours.brushes[UITextDocumentStyle::ReadOnly], skinNormal};
    return {&m_textStyle.background, active || isUnderMouse() ? skinActive : skinNormal};
}

void UIAbstractTextEdit::paintBackground(Graphics& g, bool active)
{
    const BackgroundLook look = backgroundLook(active);
    g.fillRect(rect(), *look.brush);
    m_backgroundSkin.drawNineSlice(g, rect(), look.skinState, SkinAllRegions);
}

void UIAbstractTextEdit::keepBackground(bool active)
{
    const BackgroundLook look = backgroundLook(active);
    if (m_backgroundImage.size() == size() && look.brush == m_backgroundImageLook.brush &&
        look.skinState == m_backgroundImageLook.skinState)
        return;
    m_backgroundImage = drawnBackground(look);
    m_backgroundImageLook = look;
}

void UIAbstractTextEdit::paintKeptBackground(Graphics& g, const Rect& area)
{
    const Rect part = area.intersected(rect()).intersected(m_backgroundImage.rect());
    if (!part.isEmpty())
        g.drawBitmapPart(m_backgroundImage, part.topLeft(), part.topLeft(), part.width, part.height);
}

Bitmap UIAbstractTextEdit::drawnBackground(const BackgroundLook& look) const
{
    GdiDrawingSurface surface(width(), height());
    surface.fill(Colour(255, 255, 255));
    {
        Graphics g(&surface);
        g.fillRect(rect(), *look.brush);
        m_backgroundSkin.drawNineSlice(g, rect(), look.skinState, SkinAllRegions);
    }
    return surface.toBitmap(false);
}

void UIAbstractTextEdit::paintDocument(Graphics& g, bool active)
{
    prepareDocumentPaint(active);
    m_document->paint(g);
}

void UIAbstractTextEdit::paintDocument(Graphics& g, bool active, const Rect& area)
{
    prepareDocumentPaint(active);
    m_document->paint(g, area);
}

void UIAbstractTextEdit::prepareDocumentPaint(bool active)
{
    int flags = isEnabled() ? UITextDocument::StateEnabled : 0;
    if (m_readOnly)
        flags |= UITextDocument::StateReadOnly;
    if (active)
        flags |= UITextDocument::StateActive;
    m_document->setStateFlags(flags);
    m_document->setHorizontalOffset(contentOffsetX());
    m_document->setVerticalOffset(contentOffsetY());
}

void UIAbstractTextEdit::paintPlaceholder(Graphics& g, bool active, const Rect& box, int alignment, int flags)
{
    if (!isEmpty() || m_placeholderText.isEmpty() || (active && !m_readOnly))
        return;
    g.setFont(m_textStyle.blankFont);
    g.setPen(m_textStyle.blankForeground);
    g.drawText(m_placeholderText, box, alignment, 0, flags);
}

// ---- Events ----

void UIAbstractTextEdit::enterEvent(UIMouseEvent*)
{
    repaint();
}

void UIAbstractTextEdit::leaveEvent(UIMouseEvent*)
{
    repaint();
}

void UIAbstractTextEdit::focusInEvent(UIFocusEvent*)
{
    repaint();
    startTimer(TextCursorBlinkTimerId, int(GetCaretBlinkTime()));
}

void UIAbstractTextEdit::dragLeaveEvent(UIDragEvent*)
{
    repaint();
}
