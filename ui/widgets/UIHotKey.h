#pragma once

// UIHotKey: a one-line field that records a key combination as the user
// presses it, for the global show-and-hide hot key. It shows the
// combination as "Control + Shift + F5" (modifier words are not
// translated), or the translated "None" when empty, and blinks a caret
// while it has the focus.

#include "graphics/Brush.h"
#include "graphics/FontDesc.h"
#include "graphics/Pen.h"
#include "ui/HotKey.h"
#include "ui/UISkin.h"
#include "ui/UIStyleValues.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UITextStyle.h"

class UIHotKey : public UIWidget {
public:
    explicit UIHotKey(UIWidget* parent);
    ~UIHotKey() override;

    // A combination without a key is taken as none.
    void setHotKey(const HotKey& hotKey);
    void clear();
    // Id 0, with the last complete combination recorded: never modifiers
    // without a key, even while the user still holds them (the text shows
    // "Shift + " then).
    HotKey hotKey() const { return m_kept; }

    const String& text() const { return m_text; }
    void setSeparator(const String& separator) { m_separator = separator; }
    const String& separator() const { return m_separator; }
    void setTextAlignment(int flags) { m_textAlignment = flags; }
    int textAlignment() const { return m_textAlignment; }
    bool isCaretVisible() const { return m_caretVisible; }

    void retranslate() override;
    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void keyPressEvent(UIKeyEvent* event) override;
    void keyReleaseEvent(UIKeyEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;
    void focusInEvent(UIFocusEvent* event) override;
    void focusOutEvent(UIFocusEvent* event) override;

private:
    void updateText();
    void takeKey(int key);
    void keepShown();
    void showKept();
    int skinState() const;
    int textWidth() const;

    UITextStyle m_textStyle;
    Brush m_background;
    Pen m_blankForeground;
    Size m_minimumSize;
    UIMargins m_padding;
    UISkin m_backgroundSkin;
    std::uint32_t m_modifiers = 0;
    std::uint32_t m_key = 0;
    // The last complete combination (or none): what the field returns to
    // when modifiers alone are released or the focus leaves meanwhile.
    HotKey m_kept;
    // Set once every key is up: the next press starts a new combination.
    bool m_fresh = true;
    String m_text;
    String m_separator = String(L" + ");
    int m_textAlignment = AlignLeft | AlignVCenter;
    bool m_caretVisible = false;
    int m_caretBlinkInterval = 0;
    int m_caretWidth = 0;
};
