#pragma once

// UITextHistory: the undo history of a text document as whole-text
// snapshots. The owner pushes one after every change; a push of the text
// the current snapshot already holds records nothing, and at most limit
// snapshots are kept. A snapshot keeps no cursor: an undo selects what it
// gave back, found by comparing the texts.
//
// A push follows every typed key, so it costs no more than one copy of the
// text: texts are compared directly (a differing length settles it at
// once, where a hash would read every character), and the oldest
// snapshot's buffer takes the new copy.

#include "foundation/String.h"

#include <deque>

class UITextHistory {
public:
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    int limit() const { return m_limit; }
    int count() const { return int(m_snapshots.size()); }
    bool isEmpty() const { return m_snapshots.empty(); }

    void push(const String& text);
    bool canUndo() const;
    bool canRedo() const;
    // Steps back (forward) and gives the text of the snapshot now current;
    // null when there is none to go to.
    const String* undo();
    const String* redo();
    void clear();

private:
    bool m_enabled = true;
    int m_limit = 5;
    std::deque<String> m_snapshots;
    // Index of the current snapshot, -1 when empty.
    int m_current = -1;
};
