#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Answers "the first node, in list order, whose key is this" without walking
// the list, for lists that repeat keys and must keep first-wins lookups.
// Each key keeps its nodes in list order, so removing the first one leaves
// the next in line. The owner adds every node it appends, removes every node
// it unlinks, and rebuilds after reordering the list.
template <typename Key, typename Node, typename Hash = std::hash<Key>, typename Equal = std::equal_to<>>
class ListIndex {
public:
    // For a node appended at the end of the list.
    void add(Key key, Node* node) { m_nodes[std::move(key)].push_back(node); }

    // False when the node is not under that key.
    template <typename K>
    bool remove(const K& key, Node* node)
    {
        const auto found = m_nodes.find(key);
        if (found == m_nodes.end())
            return false;
        std::vector<Node*>& nodes = found->second;
        const auto position = std::find(nodes.begin(), nodes.end(), node);
        if (position == nodes.end())
            return false;
        nodes.erase(position);
        if (nodes.empty())
            m_nodes.erase(found);
        return true;
    }

    // Every node with the key, in list order; null when there is none.
    template <typename K>
    const std::vector<Node*>* nodes(const K& key) const
    {
        const auto found = m_nodes.find(key);
        return found == m_nodes.end() ? nullptr : &found->second;
    }

    template <typename K>
    Node* first(const K& key) const
    {
        const std::vector<Node*>* all = nodes(key);
        return all ? all->front() : nullptr;
    }

    void clear() { m_nodes.clear(); }

private:
    std::unordered_map<Key, std::vector<Node*>, Hash, Equal> m_nodes;
};

// Hashes owned and viewed texts alike, so lookups need no copy of the text.
struct TextKeyHash {
    using is_transparent = void;
    std::size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>{}(text); }
};

template <typename Node>
using TextListIndex = ListIndex<std::wstring, Node, TextKeyHash>;
