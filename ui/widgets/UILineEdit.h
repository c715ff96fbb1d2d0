#pragma once

// UILineEdit: the one-line text field: search boxes, name fields, the
// editable part of combo and spin boxes. It keeps its text in a
// UITextDocument (no wrapping) and turns keys, mouse, drops, the clipboard
// and its context menu into document operations. It draws its background
// skin, a placeholder while empty and a blinking caret, scrolls
// horizontally to keep the cursor in sight, can mask its text, cut input to
// a maximum length, check it with a validator, and offer completions from a
// word list in a pop-up list under the field.
//
// Every editing command that cannot act (read only, nothing selected, an
// empty clipboard, no room left) changes nothing and plays message sound 1.

#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UICompleter.h"
#include "ui/widgets/UITextDocument.h"
#include "ui/widgets/UIValidator.h"

#include <cstdint>
#include <memory>

class UIList;
class UIListView;
class UIMenu;
class UIWindow;

class UILineEdit : public UIWidget {
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
    };

    explicit UILineEdit(UIWidget* parent = nullptr);
    ~UILineEdit() override;

    Signal textChanged;
    Signal editingFinished;
    // (old position, new position).
    Signal cursorPositionChanged;
    Signal selectionChanged;

    // ---- Text ----

    // Cut to the maximum length (with a sound); clears the history and puts
    // the cursor at the end.
    void setText(const String& text);
    // Without the document's end marker.
    String text() const;
    // The mask character once per character when masked.
    String displayText() const;
    // Undoable.
    void clear();
    bool isEmpty() const { return m_document->isEmpty(); }

    // Negative values are ignored; 0 is no limit.
    void setMaxLength(int length);
    int maxLength() const { return m_maxLength; }
    void setReadOnly(bool on);
    bool isReadOnly() const { return m_readOnly; }
    void setPlaceholderText(const String& text);
    const String& placeholderText() const { return m_placeholderText; }
    void setMasked(bool on);
    bool isMasked() const { return m_document->isMasked(); }
    void setMaskCharacter(wchar_t c);
    wchar_t maskCharacter() const { return m_document->maskCharacter(); }
    // Without a frame neither background nor skin is painted: the parent
    // shows through.
    void setFrame(bool on);
    bool hasFrame() const { return m_frame; }
    void setFontSize(float points);

    // ---- Cursor and selection ----

    bool hasSelectedText() const;
    String selectedText() const;
    // The anchor follows the cursor when moveAnchor is true.
    void setCursorPosition(int position, bool moveAnchor = true);
    int cursorPosition() const;
    int anchor() const;
    void setSelection(int start, int length);
    // Nothing when empty.
    void selectAll();
    void clearSelection();

    // ---- Editing commands ----

    // Line feeds are dropped; cut to the room left.
    void insert(const String& text);
    void deleteSelection();
    // The Delete key.
    void deleteForward();
    void backspace();
    void cut();
    void copy();
    void paste();
    void undo();
    void redo();
    void clearHistory();

    // ---- Validator and completion ----

    // Takes the validator (null for none), deletes the old one and checks
    // the text at once.
    void setValidator(UIValidator* validator);
    UIValidator* validator() const { return m_validator.get(); }
    UICompleter& completer() { return m_completer; }
    // The pop-up window of the completion list, and its view.
    UIWindow* completionPopup() const { return m_popup; }
    UIListView* completionView() const { return m_popupView; }
    bool isCompletionVisible() const;
    // The row current in the completion list; -1 without one.
    int completionRow() const;

    // ---- Inspection ----

    UITextDocument* document() const { return m_document.get(); }
    // Not scrolled, and the text as wide as the widget at most.
    bool textFits() const;
    bool isCaretShown() const { return m_caretShown; }
    UIMenu* menu() const;

    // ---- Widget overrides ----

    void retranslate() override;
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;
    Rect inputMethodRect() const override;
    Font inputMethodFont() const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseDoubleClickEvent(UIMouseEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusInEvent(UIFocusEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;
    void dragMoveEvent(UIDragEvent* event) override;
    void dragLeaveEvent(UIDragEvent* event) override;
    void dropEvent(UIDragEvent* event) override;

private:
    struct Style {
        FontDesc font;
        UITextDocumentStyle colours;
        FontDesc blankFont;
        Pen blankForeground;
        int minimumWidth = 0;
        int minimumHeight = 0;
    };

    void buildMenu();
    void buildCompletionPopup();
    void onMenuAboutToShow();
    void onTextChanged();
    void onCursorMoved(int oldPosition, int newPosition);
    void onSelectionChanged();
    void fixUpText();
    void refreshAutoToolTip();
    void ensureCursorVisible();
    int availableWidth() const;
    int textWidth() const;
    void setHorizontalOffset(int offset);
    bool isActive() const;
    bool canEdit() const;
    void refuse() const;
    void deleteAtCursor(bool forward);
    bool handleTypedText(UIKeyEvent* event);
    void handleControlKey(int key, bool shift);
    void handleKey(int key, bool shift, bool control);
    void changeCase(bool upper);
    void popupMenuAtCentre();
    bool acceptsDrag(UIDragEvent* event) const;
    void blinkCaret();
    Rect caretRect() const;
    void applyStyle();
    void onPopupHidden();

    // The completion pop-up.
    void refreshCompletion();
    void showCompletion(const StringList& matches);
    void hideCompletion();
    void moveCompletion(int step);
    void acceptCompletion();
    void dismissCompletion();
    void followTopLevel();
    void onTopLevelMoved();

    Style m_style;
    UISkin m_backgroundSkin;
    std::unique_ptr<UITextDocument> m_document;
    std::int64_t m_lastDoubleClick = 0;
    std::unique_ptr<UIValidator> m_validator;
    UICompleter m_completer;
    UIWindow* m_popup = nullptr;
    UIListView* m_popupView = nullptr;
    UIWidget* m_movedSource = nullptr;
    int m_maxLength = 0;
    bool m_frame = true;
    bool m_readOnly = false;
    bool m_selecting = false;
    bool m_caretShown = false;
    String m_placeholderText;
    bool m_dropCaret = false;
    Point m_dragPoint;
};
