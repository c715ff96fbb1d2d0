#pragma once

// UICompleter: the word list a line edit offers completions from. The
// matches of a prefix are the candidates, in list order, that are longer
// than it and start with it.

#include "foundation/StringList.h"

class UICompleter {
public:
    UICompleter() = default;
    virtual ~UICompleter() = default;
    UICompleter(const UICompleter&) = delete;
    UICompleter& operator=(const UICompleter&) = delete;

    void setEnabled(bool enabled) { m_enabled = enabled; }
    bool isEnabled() const { return m_enabled; }
    void setCaseSensitive(bool on) { m_caseSensitive = on; }
    bool isCaseSensitive() const { return m_caseSensitive; }
    void setCandidates(const StringList& candidates) { m_candidates = candidates; }
    const StringList& candidates() const { return m_candidates; }
    // Values below 1 become 1.
    void setMaximumMatches(int count);
    int maximumMatches() const { return m_maximumMatches; }

    // Empty when disabled, without candidates or for an empty prefix; the
    // result is also kept as matches.
    const StringList& complete(const String& prefix);
    const StringList& matches() const { return m_matches; }

private:
    bool m_enabled = true;
    bool m_caseSensitive = true;
    StringList m_candidates;
    StringList m_matches;
    int m_maximumMatches = 7;
};
