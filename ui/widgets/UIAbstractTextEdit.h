#pragma once

// UIAbstractTextEdit: what the one-line and the multi-line text editors
// share. Both edit a UITextDocument: this holds it with the options that
// act alike in both (maximum length, read only, placeholder), the cursor
// and selection calls, the edits both do the same way, the look both take
// from their style, the background skin they paint under the text, and the
// caret's state. Every edit that cannot act calls refuse(), which plays
// message sound 1.

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Bitmap.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UITextDocument.h"

#include <memory>

class Graphics;

class UIAbstractTextEdit : public UIWidget {
public:
    // The context menu entries both editors have, by index.
    enum MenuEntry : int {
        MenuUndo = 0,
        MenuRedo = 1,
        MenuCut = 3,
        MenuCopy = 4,
        MenuPaste = 5,
        MenuDelete = 6,
        MenuSelectAll = 8,
    };

    ~UIAbstractTextEdit() override;

    Signal textChanged;
    Signal editingFinished;
    // (old position, new position).
    Signal cursorPositionChanged;
    Signal selectionChanged;

    // ---- Text and options ----

    bool isEmpty() const { return m_document->isEmpty(); }
    // Negative values are ignored; 0 is no limit.
    void setMaxLength(int length);
    int maxLength() const { return m_maxLength; }
    void setReadOnly(bool on);
    bool isReadOnly() const { return m_readOnly; }
    // Shown while the editor is empty and not active (or read only).
    void setPlaceholderText(const String& text);
    const String& placeholderText() const { return m_placeholderText; }
    void setFontSize(float points);
    UITextDocument* document() const { return m_document.get(); }

    // ---- Cursor and selection ----

    String selectedText() const;
    // The anchor follows the cursor when moveAnchor is true.
    void setCursorPosition(int position, bool moveAnchor = true);
    int cursorPosition() const;
    int anchor() const;
    void setSelection(int start, int length);
    // Nothing when empty.
    void selectAll();
    void clearSelection();

    // ---- Editing (each refused one sounds) ----

    // Replaces the selection; cut to the room the maximum length leaves.
    virtual void insert(const String& text) = 0;
    void deleteSelection();
    // The Delete key.
    void deleteForward();
    void backspace();
    void paste();
    void undo();
    void redo();
    void clearHistory();

    // Whether the last paint drew the caret.
    bool isCaretShown() const { return m_caretShown; }

    // ---- Widget overrides ----

    // The keys both editors share; each sets only the part it changes.
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    Font inputMethodFont() const override;

protected:
    // The look both editors take from their style.
    struct TextStyle {
        FontDesc font;
        // The document's normal cells stay clear: the widget fills its own
        // background, with these brushes while disabled or read only.
        UITextDocumentStyle colours;
        Brush background;
        FontDesc blankFont;
        Pen blankForeground;
    };

    // backgroundSkin is the name of the skin painted under the text.
    UIAbstractTextEdit(UIWidget* parent, const wchar_t* backgroundSkin);

    // The sound of a refused edit (message sound 1).
    virtual void refuse();

    UITextCursor* cursor() const { return m_document->cursor(); }
    bool hasSelection() const;
    bool canEdit() const { return isEnabled() && !m_readOnly; }
    // The text kept of one set whole: cut to the maximum length, with the
    // sound when cut.
    String keptWithinMaxLength(const String& text);
    // Replaces the selection with piece, cut to the room left.
    void insertWithinMaxLength(String piece);
    // Hands the style's font and colours to the document.
    void applyTextStyle();
    const TextStyle& textStyle() const { return m_textStyle; }

    // The style's fill for the current state and the skin over it.
    void paintBackground(Graphics& g, bool active);
    // The same pixels, drawn once into an image kept for the widget's size
    // and state, since stretching the skin over a large editor costs more
    // than drawing a line of its text. keepBackground draws it when needed
    // and runs before the widget's painter begins (one painter at a time);
    // paintKeptBackground copies area of it.
    void keepBackground(bool active);
    void paintKeptBackground(Graphics& g, const Rect& area);
    // Tells the document the widget's state and offsets and paints it: all
    // of it, or only the lines that meet area.
    void paintDocument(Graphics& g, bool active);
    void paintDocument(Graphics& g, bool active, const Rect& area);
    // In box, while empty and not active (or read only).
    void paintPlaceholder(Graphics& g, bool active, const Rect& box, int alignment, int flags);

    void onSelectionChanged();

    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void focusInEvent(UIFocusEvent* event) override;
    void dragLeaveEvent(UIDragEvent* event) override;

    std::unique_ptr<UITextDocument> m_document;
    int m_maxLength = 0;
    bool m_readOnly = false;
    bool m_selecting = false;
    bool m_caretShown = false;
    bool m_dropCaret = false;

private:
    // One side of the cursor: the selection when there is one, else one
    // character.
    void deleteAtCursor(bool forward);
    void prepareDocumentPaint(bool active);

    struct BackgroundLook {
        const Brush* brush;
        int skinState;
    };
    BackgroundLook backgroundLook(bool active) const;
    // On a white surface, as a new back buffer starts.
    Bitmap drawnBackground(const BackgroundLook& look) const;

    TextStyle m_textStyle;
    UISkin m_backgroundSkin;
    String m_backgroundSkinName;
    // The kept background and the look it was drawn in; dropped when the
    // style changes.
    Bitmap m_backgroundImage;
    BackgroundLook m_backgroundImageLook{nullptr, -1};
    String m_placeholderText;
};
