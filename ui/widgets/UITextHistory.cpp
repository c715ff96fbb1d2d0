#include "ui/widgets/UITextHistory.h"

void UITextHistory::push(int anchor, int position, const String& text)
{
    if (!m_enabled)
        return;
    const std::uint64_t hash = text.hash();
    if (!isEmpty() && m_snapshots[std::size_t(m_current)].hash == hash)
        return;
    m_snapshots.erase(m_snapshots.begin() + m_current + 1, m_snapshots.end());
    m_snapshots.push_back({anchor, position, text, hash});
    if (count() > m_limit)
        m_snapshots.pop_front();
    m_current = count() - 1;
}

bool UITextHistory::canUndo() const
{
    return m_enabled && !isEmpty() && m_current > 0;
}

bool UITextHistory::canRedo() const
{
    return m_enabled && !isEmpty() && m_current + 1 < count();
}

const UITextSnapshot* UITextHistory::undo()
{
    if (!canUndo())
        return nullptr;
    return &m_snapshots[std::size_t(--m_current)];
}

const UITextSnapshot* UITextHistory::redo()
{
    if (!canRedo())
        return nullptr;
    return &m_snapshots[std::size_t(++m_current)];
}

void UITextHistory::clear()
{
    m_snapshots.clear();
    m_current = -1;
}
