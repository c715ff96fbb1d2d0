#pragma once

// UISpinBox: edits one number between a minimum and a maximum. It owns a
// line edit for typing and draws a column of two arrow buttons at its right
// edge. The value is a double shown with a fixed number of decimals between
// an optional prefix and suffix, in the user's number format. It changes by
// the arrows (with auto-repeat that speeds up), the wheel, typing, a right
// click (the default value, with Ctrl the maximum), and by holding a button
// and moving the pointer above or below the box, which maps the pointer's
// height onto the whole range.

#include "foundation/Geometry.h"
#include "foundation/Signal.h"
#include "foundation/String.h"
#include "graphics/FontDesc.h"
#include "ui/UISkin.h"
#include "ui/UIWidget.h"
#include "ui/widgets/UIValidator.h"

class Locale;
class UILineEdit;
class UISpinBox;

// What the spin box reads of the platform: the pointer's screen position
// (repeat and drag) and the user's number format. Tests install their own.
class UISpinBoxServices {
public:
    UISpinBoxServices() = default;
    virtual ~UISpinBoxServices() = default;
    UISpinBoxServices(const UISpinBoxServices&) = delete;
    UISpinBoxServices& operator=(const UISpinBoxServices&) = delete;

    virtual Point cursorPosition() const;
    // Locale::system.
    virtual const Locale& locale() const;
};

// The spin box's validator, named "spinbox": UISpinBox::interpretText.
class UISpinBoxValidator : public UIValidator {
public:
    explicit UISpinBoxValidator(const UISpinBox* spinBox);

    State validate(String& text, int& position) const override;

private:
    const UISpinBox* m_spinBox;
};

class UISpinBox : public UIWidget {
public:
    explicit UISpinBox(UIWidget* parent = nullptr);
    ~UISpinBox() override;

    // Null puts the platform's services back.
    static void setServices(const UISpinBoxServices* services);

    // The new value.
    Signal valueChanged;
    Signal editingFinished;

    // ---- Value and range ----

    // Clamped to the range; nothing when equal to the value.
    void setValue(double value);
    void setValue(int value) { setValue(double(value)); }
    double value() const { return m_value; }
    // Truncated toward zero.
    int valueInt() const;
    float valueFloat() const { return float(m_value); }
    // The arguments in either order. The default value is clamped into the
    // new range; a value outside it becomes the default value.
    void setRange(double a, double b);
    void setMinimum(double minimum) { setRange(minimum, m_maximum); }
    void setMaximum(double maximum) { setRange(m_minimum, maximum); }
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    // What a right click and a range change fall back to; clamped.
    void setDefaultValue(double value);
    double defaultValue() const { return m_defaultValue; }
    void setToMinimum() { setValue(m_minimum); }
    void setToMaximum() { setValue(m_maximum); }
    void reset() { setValue(m_defaultValue); }

    // value + steps x singleStep; with wrapping a step past one end lands
    // on the other.
    void stepBy(int steps);
    void stepUp() { stepBy(1); }
    void stepDown() { stepBy(-1); }
    void setSingleStep(double step) { m_singleStep = step; }
    double singleStep() const { return m_singleStep; }
    void setWrapping(bool on) { m_wrapping = on; }
    bool wrapping() const { return m_wrapping; }

    // ---- Text ----

    // Kept within 0..9.
    void setDecimals(int decimals);
    int decimals() const { return m_decimals; }
    void setPrefix(const String& prefix);
    const String& prefix() const { return m_prefix; }
    void setSuffix(const String& suffix);
    const String& suffix() const { return m_suffix; }
    // Shown instead of the number while the value is the minimum.
    void setSpecialValueText(const String& text);
    const String& specialValueText() const { return m_specialValueText; }
    bool isSpecialValueShown() const;
    void setReadOnly(bool on);
    bool isReadOnly() const { return m_readOnly; }
    UILineEdit* lineEdit() const { return m_lineEdit; }

    // The typed text without prefix, suffix and surrounding white space.
    String cleanText() const;
    // Prefix and suffix off (unless the text is the special text), then
    // white space trimmed; the cursor follows the trim.
    String stripAffixes(const String& text, int* cursor = nullptr) const;
    // The number the text stands for, and how acceptable it is; the text
    // gets prefix and suffix back, and may lose a doubled decimal point at
    // the cursor. Not acceptable gives the minimum (maximum when the
    // maximum is not above 0).
    double validateAndInterpret(String& text, int& cursor, UIValidator::State& state) const;
    // What the validator does: the special text stands for the minimum; a
    // missing prefix or suffix is put back, then the number is judged.
    double interpretText(String& text, int& position, UIValidator::State& state) const;
    // The line edit's text rewritten from the value.
    void updateText();
    // The line edit's tool tip shows the range, when automatic tips are on.
    void updateToolTip();
    // Emits editingFinished; the argument is not read.
    virtual void finishEditing(int unused);

    // ---- Geometry ----

    // The column of the two arrow buttons at the right edge.
    Rect buttonRect() const;
    Rect upButtonRect() const;
    Rect downButtonRect() const;
    // Pixels of pointer travel that cover the whole range.
    int dragRange() const { return m_dragRange; }

    Size sizeHint() const override;
    void setStyleProperty(const String& name, const String& value) override;
    void setStyleImage(const String& skinName, UISkin* skin) override;

protected:
    void paintEvent(UIPaintEvent* event) override;
    void resizeEvent(UIResizeEvent* event) override;
    void mousePressEvent(UIMouseEvent* event) override;
    void mouseReleaseEvent(UIMouseEvent* event) override;
    void wheelEvent(UIWheelEvent* event) override;
    void enterEvent(UIMouseEvent* event) override;
    void leaveEvent(UIMouseEvent* event) override;
    void customEvent(UICustomEvent* event) override;

private:
    struct Style {
        FontDesc font;
        int buttonWidth = 0;
        int spacing = 0;
        int minimumHeight = 0;
        UISkin button;
        UISkin arrowUp;
        UISkin arrowDown;
    };

    String numberText(double value) const;
    String valueText() const;
    void setLineEditText(const String& text);
    void applyButtonMargin();
    int paintState() const;
    void repeatStep();
    void dragStep();
    void onTextChanged();
    void onLineEditWheel(UIWheelEvent* event);
    void onLineEditFinished();
    void onLineEditReleased(UIMouseEvent* event);
    void onLineEditEntered(UIMouseEvent* event);
    void onLineEditLeft(UIMouseEvent* event);

    Style m_style;
    UILineEdit* m_lineEdit = nullptr;
    bool m_readOnly = false;
    bool m_wrapping = false;
    String m_specialValueText;
    double m_minimum = 0.0;
    double m_maximum = 1.0;
    double m_value = 0.0;
    double m_defaultValue = -1000000.0;
    double m_singleStep = 1.0;
    int m_decimals = 0;
    String m_prefix;
    String m_suffix;
    int m_dragOffset = 0;
    int m_dragRange = 200;
    int m_repeatInterval = 500;
    int m_repeatMinimum;
    int m_repeatDelay = 500;
    bool m_updating = false;
};
