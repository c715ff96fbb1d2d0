#include "foundation/StringList.h"

#include "foundation/CharHelpers.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace {

std::wstring_view viewOf(const String& s)
{
    return {s.c_str(), static_cast<std::size_t>(s.length())};
}

} // namespace

// Keeps the first of equal strings, as a pairwise scan would, in one pass.
int StringList::removeDuplicates()
{
    if (count() < 2)
        return 0;
    std::unordered_set<std::wstring_view> seen;
    int removed = 0;
    Node* node = first();
    while (node) {
        if (seen.insert(viewOf(node->value)).second) {
            node = node->next;
            continue;
        }
        removeNode(node);
        ++removed;
    }
    return removed;
}

// A stable sort ignoring case: equal strings keep their order, exactly as an
// adjacent-swap sort would leave them, without its quadratic cost. The nodes
// themselves move, so node pointers keep their values.
bool StringList::sort(int order)
{
    if (count() < 2)
        return false;
    std::vector<Node*> nodes;
    nodes.reserve(static_cast<std::size_t>(count()));
    for (Node* n = first(); n; n = n->next)
        nodes.push_back(n);
    const int before = order == 1 ? -1 : 1;
    std::stable_sort(nodes.begin(), nodes.end(), [before](const Node* a, const Node* b) {
        return wcsCompareNoCase(a->value.constData(), b->value.constData()) == before;
    });
    relink(nodes.data(), static_cast<int>(nodes.size()));
    return true;
}

bool StringList::containsIgnoreCase(const String& s) const
{
    for (const String& item : *this) {
        if (String::equalsIgnoreCase(item, s))
            return true;
    }
    return false;
}

bool StringList::containsSubstring(const String& s, bool caseSensitive) const
{
    for (const String& item : *this) {
        if (item.contains(s, caseSensitive))
            return true;
    }
    return false;
}

StringList StringList::filtered(const String& s, bool caseSensitive) const
{
    StringList result;
    for (const String& item : *this) {
        if (item.contains(s, caseSensitive))
            result.append(item);
    }
    return result;
}

int StringList::indexOf(const String& s) const
{
    int index = 0;
    for (const String& item : *this) {
        if (item == s)
            return index;
        ++index;
    }
    return -1;
}
