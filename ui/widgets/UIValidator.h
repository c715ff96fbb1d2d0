#pragma once

// UIValidator: checks (and may correct) the text of a line edit as it is
// typed and when editing finishes. The line edit owns the validator it is
// given. The spin box derives its own.

#include "foundation/String.h"

class UIValidator {
public:
    enum State : int { Invalid = 0, Intermediate = 1, Acceptable = 2 };

    explicit UIValidator(const String& name = String()) : m_name(name) {}
    virtual ~UIValidator() = default;
    UIValidator(const UIValidator&) = delete;
    UIValidator& operator=(const UIValidator&) = delete;

    // The text and the cursor position may both be corrected in place.
    virtual State validate(String& text, int& position) const = 0;

    void setName(const String& name) { m_name = name; }
    const String& name() const { return m_name; }
    // Two free texts for the validator's owner; the toolkit reads neither.
    void setFirstText(const String& text) { m_firstText = text; }
    const String& firstText() const { return m_firstText; }
    void setSecondText(const String& text) { m_secondText = text; }
    const String& secondText() const { return m_secondText; }

private:
    String m_name;
    String m_firstText;
    String m_secondText;
};
