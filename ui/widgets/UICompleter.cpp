#include "ui/widgets/UICompleter.h"

void UICompleter::setMaximumMatches(int count)
{
    m_maximumMatches = count < 1 ? 1 : count;
}

const StringList& UICompleter::complete(const String& prefix)
{
    m_matches.clear();
    if (!m_enabled || m_candidates.isEmpty() || prefix.isEmpty())
        return m_matches;
    for (const String& candidate : m_candidates) {
        if (m_matches.count() >= m_maximumMatches)
            break;
        if (candidate.length() > prefix.length() && candidate.startsWith(prefix, m_caseSensitive))
            m_matches.append(candidate);
    }
    return m_matches;
}
