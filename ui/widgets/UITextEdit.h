#pragma once

// UITextEdit: the multi-line text editor, a widget over a UITextDocument.
// It takes line breaks, copies them to the clipboard as CR LF, zooms its
// font with Ctrl and the wheel or keys, highlights occurrences of a text,
// and keeps its caret visible by moving the scroll bars of the
// UITextEditView that holds it. Refused edits play the message sound and
// change nothing. Tab never reaches it: the focus moves on.
//
// An edit, a cursor move or a new selection repaints only the lines it
// changed and the caret's line; the changes an input event makes are
// painted once, when it has been handled.
//
// UITextEditView: the scroll area that shows one UITextEdit, relayouts
// when the text or the zoom changes and scrolls on the editor's wheel
// turns. It keeps the scroll area's look ("UIScrollArea").

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/Pen.h"
#include "ui/widgets/UIAbstractTextEdit.h"
#include "ui/widgets/UIScrollArea.h"

#include <cstdint>

class UIMenu;

class UITextEdit : public UIAbstractTextEdit {
public:
    // The context menu's own entry after the shared ones, by index.
    enum TextEditMenuEntry : int { MenuTextSize = 10 };
    // Entries of the "Text Size" submenu.
    enum TextSizeEntry : int { TextSizeIncrease = 0, TextSizeDecrease = 1, TextSizeNormal = 3 };

    explicit UITextEdit(UIWidget* parent = nullptr);

    Signal zoomChanged;

    // ---- Text ----

    // A text over the maximum length is cut to it, with the sound. Clears
    // the history, puts the cursor at the end and scrolls to the top left.
    void setText(const String& text);
    // The document's text WITH its final line feed (the end marker): a
    // text set as "abc" reads back as "abc\n".
    String text() const;
    // Undoable: the history stays.
    void clear();
    void setWordWrap(bool on);
    bool wordWrap() const { return m_document->wordWrap(); }

    // ---- Selection ----

    // Public here (the line edit names it hasSelectedText).
    using UIAbstractTextEdit::hasSelection;

    // ---- Editing (each refused one sounds) ----

    // Carriage returns are dropped.
    void insert(const String& text) override;
    // Line breaks go to the clipboard as CR LF.
    void copy();
    void cut();

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
    float zoomMinimum() const { return m_zoomMinimum; }
    float zoomMaximum() const { return m_zoomMaximum; }

    // ---- Highlighting ----

    // Gives every occurrence the pen, brush and font style; the count.
    int highlight(const String& text, bool caseSensitive, const Pen& pen, const Brush& brush,
                  std::uint32_t fontStyle);
    void clearHighlights();

    // ---- Widget overrides ----

    void retranslate() override;
    // (70, 70).
    Size sizeHint() const override;
    // The document's content size.
    Size minimumSizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    Rect inputMethodRect() const override;
    // Scrolled content is painted whole, with the rest of the event's changes.
    void setContentOffset(int horizontal, int vertical) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseDoubleClickEvent(UIMouseEvent* event) override;
    void wheelEvent(UIWheelEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusInEvent(UIFocusEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;
    void dragEnterEvent(UIDragEvent* event) override;
    void dragMoveEvent(UIDragEvent* event) override;
    void dropEvent(UIDragEvent* event) override;

private:
    // Gathers the repaints asked for while it lives; the outermost one
    // paints them once as it ends.
    class PaintBatch;

    bool isActive() const;
    void buildContextMenu();
    void updateContextMenu();
    void onTextChanged();
    void onCursorMoved(int oldPosition, int newPosition);
    void onSelectionMoved();
    // Paints area now, or when the current batch ends.
    void requestRepaint(const Rect& area);
    void flushRepaint();
    // The full-width band of lines [first, last] (last -1: down to the
    // bottom), in widget coordinates.
    Rect linesBand(int first, int last) const;
    // The band of the lines that hold the characters [start, end).
    Rect charactersBand(int start, int end) const;
    Rect changedLinesArea();
    Rect selectionChangeArea();
    void ensureCursorVisible();
    void ensureCursorVisibleVertically();
    void ensureCursorVisibleHorizontally();
    UIScrollArea* view() const;
    void scrollTo(int horizontalOffset, int verticalOffset);
    bool handleControlKey(const UIKeyEvent& event);
    void handleKey(const UIKeyEvent& event);
    void moveCursor(int operation, bool extend);
    void changeCase(bool upper);
    void applyZoom(float points);
    void paintCaret(Graphics& g, bool active, const Rect& area);
    bool takesDrag(const UIDragEvent& event) const;
    int hitIndex(Point p, bool* found) const;

    UIMenu* m_menu = nullptr;
    // The style's zoom range, in points.
    float m_zoomMinimum = 6;
    float m_zoomMaximum = 72;
    int m_zoomStep = 2;
    bool m_zoomEnabled = true;
    // Flipped by each blink tick; input shows the caret again at once.
    bool m_caretBlinkOff = false;
    // What waits for the end of the batch, and how deep batches nest.
    Rect m_dirty;
    int m_batchDepth = 0;
    // Where the last paint inverted the caret; empty when it drew none.
    Rect m_caretPainted;
    // The selection and the emptiness the screen shows (or the pending
    // repaints will show).
    int m_shownSelectionStart = 0;
    int m_shownSelectionEnd = 0;
    bool m_shownEmpty = true;
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
