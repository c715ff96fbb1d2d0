#pragma once

// Lets GoogleTest print the program's String in failure messages, turns
// texts into std::wstring for comparisons with literals, and builds lists
// from literals.

#include "foundation/String.h"
#include "foundation/StringList.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

inline std::wstring wide(const String& s)
{
    return std::wstring(s.c_str(), static_cast<std::size_t>(s.length()));
}

// Found by argument-dependent lookup: String lives in the global namespace.
inline void PrintTo(const String& s, std::ostream* os)
{
    *os << '"';
    for (int i = 0; i < s.length(); ++i) {
        const wchar_t c = s.at(i);
        if (c >= 0x20 && c < 0x7f) {
            *os << static_cast<char>(c);
            continue;
        }
        static const char digits[] = "0123456789abcdef";
        *os << "\\u";
        for (int shift = 12; shift >= 0; shift -= 4)
            *os << digits[(c >> shift) & 0xf];
    }
    *os << '"';
}

inline std::set<std::wstring> setOf(const StringList& list)
{
    std::set<std::wstring> out;
    for (const String& s : list)
        out.insert(wide(s));
    return out;
}

inline std::vector<std::wstring> vectorOf(const StringList& list)
{
    std::vector<std::wstring> out;
    for (const String& s : list)
        out.push_back(wide(s));
    return out;
}

inline StringList listOf(const std::vector<const wchar_t*>& items)
{
    StringList list;
    for (const wchar_t* item : items)
        list.append(String(item));
    return list;
}
