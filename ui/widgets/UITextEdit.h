#pragma once

// UITextEdit: the multi-line text editor, a widget over a UITextDocument.
// It takes line breaks, copies them to the clipboard as CR LF, zooms its
// font with Ctrl and the wheel or keys, highlights occurrences of a text,
// and keeps its caret visible by moving the scroll bars of the
// UITextEditView that holds it. Refused edits play the message sound and
// change nothing. Tab never reaches it: the focus moves on.
//
// UITextEditView: the scroll area that shows one UITextEdit, relayouts
// when the text or the zoom changes and scrolls on the editor's wheel
// turns. It keeps the scroll area's look ("UIScrollArea").

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIScrollArea.h"
#include "ui/widgets/UITextDocument.h"

#include <cstdint>
#include <memory>

class UIMenu;

class UITextEdit : public UIWidget {
public:
    // Context menu entries, by index.
    enum MenuEntry : int {
        MenuUndo = 0,
        MenuRedo = 1,
        MenuCut = 3,
        MenuCopy = 4,
        MenuPaste = 5,
        MenuDelete = 6,
        MenuSelectAll = 8,
        MenuTextSize = 10,
    };
    // Entries of the "Text Size" submenu.
    enum TextSizeEntry : int { TextSizeIncrease = 0, TextSizeDecrease = 1, TextSizeNormal = 3 };

    explicit UITextEdit(UIWidget* parent = nullptr);
    ~UITextEdit() override;

    Signal textChanged;
    Signal editingFinished;
    Signal zoomChanged;
    // (old position, new position).
    Signal cursorPositionChanged;
    Signal selectionChanged;

    // ---- Text ----

    // A text over the maximum length is cut to it, with the sound. Clears
    // the history, puts the cursor at the end and scrolls to the top left.
    void setText(const String& text);
    // The document's text WITH its final line feed (the end marker): a
    // text set as "abc" reads back as "abc\n".
    String text() const;
    bool isEmpty() const { return m_document->isEmpty(); }
    // Undoable: the history stays.
    void clear();
    // 0 means no limit; negative values are ignored.
    void setMaxLength(int length);
    int maxLength() const { return m_maxLength; }
    void setReadOnly(bool readOnly);
    bool isReadOnly() const { return m_readOnly; }
    // Shown centred while the editor is empty and not active.
    void setPlaceholderText(const String& text);
    const String& placeholderText() const { return m_placeholder; }
    void setFontSize(float points);
    void setWordWrap(bool on);
    bool wordWrap() const { return m_document->wordWrap(); }
    UITextDocument* document() const { return m_document.get(); }

    // ---- Cursor and selection ----

    bool hasSelection() const;
    String selectedText() const;
    // With moveAnchor the anchor follows, which drops the selection.
    void setCursorPosition(int position, bool moveAnchor = true);
    int cursorPosition() const;
    int anchor() const;
    void setSelection(int start, int length);
    // Nothing when empty.
    void selectAll();
    void clearSelection();

    // ---- Editing (each refused one sounds) ----

    // Replaces the selection; cut to the room the maximum length leaves.
    void insert(const String& text);
    void deleteSelection();
    void deleteForward();
    void backspace();
    // Line breaks go to the clipboard as CR LF.
    void copy();
    void cut();
    void paste();
    void undo();
    void redo();
    void clearHistory();

    // ---- Zoom (only while enabled) ----

    // Steps of the zoom step in pixels, within [zoomMinimum, zoomMaximum].
    void zoomIn();
    void zoomOut();
    // Back to the style font's size.
    void resetZoom();
    void setZoomEnabled(bool enabled) { m_zoomEnabled = enabled; }
    bool isZoomEnabled() const { return m_zoomEnabled; }
    // Clamped to 1..100 pixels.
    void setZoomStep(int pixels);
    int zoomStep() const { return m_zoomStep; }
    // In points; the style's "zoomMinimum" and "zoomMaximum", 6 and 72
    // without them.
    float zoomMinimum() const { return m_style.zoomMinimum; }
    float zoomMaximum() const { return m_style.zoomMaximum; }

    // ---- Highlighting ----

    // Gives every occurrence the pen, brush and font style; the count.
    int highlight(const String& text, bool caseSensitive, const Pen& pen, const Brush& brush,
                  std::uint32_t fontStyle);
    void clearHighlights();

    // Whether the last paint drew the caret.
    bool isCaretShown() const { return m_caretShown; }

    // ---- Widget overrides ----

    void retranslate() override;
    // (70, 70).
    Size sizeHint() const override;
    // The document's content size.
    Size minimumSizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    Rect inputMethodRect() const override;
    Font inputMethodFont() const override;

protected:
    // The sound of a refused edit (message sound 1).
    virtual void refuse();

    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseDoubleClickEvent(UIMouseEvent* event) override;
    void wheelEvent(UIWheelEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusInEvent(UIFocusEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;
    void dragEnterEvent(UIDragEvent* event) override;
    void dragMoveEvent(UIDragEvent* event) override;
    void dragLeaveEvent(UIDragEvent* event) override;
    void dropEvent(UIDragEvent* event) override;

private:
    struct Style {
        FontDesc font;
        UITextDocumentStyle colours;
        // The widget's fill while editable; the fills while disabled and
        // read-only are the brushes of those colour pairs. The document's
        // normal cells stay clear.
        Brush background;
        FontDesc blankFont;
        Pen blankForeground;
        float zoomMinimum = 6;
        float zoomMaximum = 72;
        UISkin backgroundSkin;
    };

    UITextCursor* cursor() const { return m_document->cursor(); }
    bool canEdit() const { return isEnabled() && !m_readOnly; }
    bool isActive() const;
    void buildContextMenu();
    void updateContextMenu();
    void applyDocumentStyle();
    bool setColourProperty(const String& name, const String& value);
    void onTextChanged();
    void onCursorMoved(int oldPosition, int newPosition);
    void onSelectionChanged();
    void ensureCursorVisible();
    void ensureCursorVisibleVertically();
    void ensureCursorVisibleHorizontally();
    UIScrollArea* view() const;
    void scrollTo(int horizontalOffset, int verticalOffset);
    bool handleControlKey(const UIKeyEvent& event);
    void handleKey(const UIKeyEvent& event);
    void moveCursor(int operation, bool extend);
    void deleteCharacter(bool (UITextCursor::*remove)());
    void changeCase(bool upper);
    void applyZoom(float points);
    void paintBackground(Graphics& g, bool active);
    void paintPlaceholder(Graphics& g);
    void paintCaret(Graphics& g, bool active);
    bool takesDrag(const UIDragEvent& event) const;
    int hitIndex(Point p, bool* found) const;

    Style m_style;
    std::unique_ptr<UITextDocument> m_document;
    UIMenu* m_menu = nullptr;
    int m_maxLength = 0;
    bool m_readOnly = false;
    int m_zoomStep = 2;
    bool m_zoomEnabled = true;
    String m_placeholder;
    bool m_caretShown = false;
    // Flipped by each blink tick; input shows the caret again at once.
    bool m_caretBlinkOff = false;
    bool m_selecting = false;
    bool m_dropCaret = false;
};

class UITextEditView : public UIScrollArea {
public:
    explicit UITextEditView(UIWidget* parent = nullptr);

    // The content, when it is a text editor.
    UITextEdit* textEdit() const;

    // Wires an editor before taking it.
    void setContentWidget(UIWidget* content) override;
    // One wheel step follows the editor's font height.
    void relayout() override;

private:
    void updateSingleStep();
};
