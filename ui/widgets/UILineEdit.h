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

#include "foundation/String.h"
#include "ui/widgets/UIAbstractTextEdit.h"
#include "ui/widgets/UICompleter.h"
#include "ui/widgets/UIValidator.h"

#include <cstdint>
#include <memory>

class UIList;
class UIListView;
class UIMenu;
class UIWindow;

class UILineEdit : public UIAbstractTextEdit {
public:
    explicit UILineEdit(UIWidget* parent = nullptr);
    ~UILineEdit() override;

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

    void setMasked(bool on);
    bool isMasked() const { return m_document->isMasked(); }
    void setMaskCharacter(wchar_t c);
    wchar_t maskCharacter() const { return m_document->maskCharacter(); }
    // Without a frame neither background nor skin is painted: the parent
    // shows through.
    void setFrame(bool on);
    bool hasFrame() const { return m_frame; }

    bool hasSelectedText() const { return hasSelection(); }

    // ---- Editing commands ----

    // Line feeds are dropped; cut to the room left.
    void insert(const String& text) override;
    void cut();
    void copy();

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

    // Not scrolled, and the text as wide as the widget at most.
    bool textFits() const;
    UIMenu* menu() const;

    // ---- Widget overrides ----

    void retranslate() override;
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    Rect inputMethodRect() const override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void mouseDoubleClickEvent(UIMouseEvent* event) override;
    void mouseMoveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;
    void dragMoveEvent(UIDragEvent* event) override;
    void dropEvent(UIDragEvent* event) override;

private:
    void buildMenu();
    void buildCompletionPopup();
    void onMenuAboutToShow();
    void onTextChanged();
    void onCursorMoved(int oldPosition, int newPosition);
    void fixUpText();
    void refreshAutoToolTip();
    void ensureCursorVisible();
    int availableWidth() const;
    int textWidth() const;
    void setHorizontalOffset(int offset);
    bool isActive() const;
    bool handleTypedText(UIKeyEvent* event);
    void handleControlKey(int key, bool shift);
    void handleKey(int key, bool shift, bool control);
    void changeCase(bool upper);
    void popupMenuAtCentre();
    bool acceptsDrag(UIDragEvent* event) const;
    void blinkCaret();
    Rect caretRect() const;
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

    // The style's smallest size.
    int m_minimumWidth = 0;
    int m_minimumHeight = 0;
    std::int64_t m_lastDoubleClick = 0;
    std::unique_ptr<UIValidator> m_validator;
    UICompleter m_completer;
    UIWindow* m_popup = nullptr;
    UIListView* m_popupView = nullptr;
    UIWidget* m_movedSource = nullptr;
    bool m_frame = true;
};
