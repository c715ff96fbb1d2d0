#include "ui/widgets/UITextHistory.h"

void UITextHistory::push(const String& text)
{
    if (!m_enabled)
        return;
    if (!isEmpty() && m_snapshots[std::size_t(m_current)] == text)
        return;
    m_snapshots.erase(m_snapshots.begin() + m_current + 1, m_snapshots.end());
    if (count() < m_limit) {
        m_snapshots.push_back(text);
    } else {
        String oldest = std::move(m_snapshots.front());
        m_snapshots.pop_front();
        oldest = text;
        m_snapshots.push_back(std::move(oldest));
    }
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

const String* UITextHistory::undo()
{
    if (!canUndo())
        return nullptr;
    return &m_snapshots[std::size_t(--m_current)];
}

const String* UITextHistory::redo()
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
