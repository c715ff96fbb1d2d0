#pragma once

// UITextHistory: the undo history of a text document as whole-text
// snapshots with the anchor and position of their moment. The owner pushes
// one after every change; a push of the text the current snapshot already
// holds records nothing, and at most limit snapshots are kept.
//
// A push follows every typed key, so it costs no more than one copy of the
// text: texts are compared directly (a differing length settles it at
// once, where a hash would read every character), and the oldest
// snapshot's buffer takes the new copy.

#include "foundation/String.h"

#include <deque>

struct UITextSnapshot {
    int anchor = 0;
    int position = 0;
    String text;
};

class UITextHistory {
public:
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    int limit() const { return m_limit; }
    int count() const { return int(m_snapshots.size()); }
    bool isEmpty() const { return m_snapshots.empty(); }

    void push(int anchor, int position, const String& text);
    bool canUndo() const;
    bool canRedo() const;
    // Steps back (forward) and gives the snapshot now current; null when
    // there is none to go to.
    const UITextSnapshot* undo();
    const UITextSnapshot* redo();
    void clear();

private:
    bool m_enabled = true;
    int m_limit = 5;
    std::deque<UITextSnapshot> m_snapshots;
    // Index of the current snapshot, -1 when empty.
    int m_current = -1;
};
