#pragma once

#include "foundation/List.h"
#include "foundation/String.h"

// A linked list of strings with the text operations the program needs.
class StringList : public List<String> {
public:
    StringList() = default;
    StringList(const StringList& other) = default;
    StringList& operator=(const StringList& other) = default;
    ~StringList() override = default;

    static StringList split(const String& text, const String& separator, int flags = 0)
    {
        return String::split(text, separator, flags);
    }
    String join(const String& separator, int flags = 0) const { return String::join(*this, separator, flags); }

    // Keeps the first of each run of equal strings (case-sensitive); returns
    // how many were removed.
    int removeDuplicates();
    // Stable sort ignoring case; order 1 ascending, anything else descending.
    // False when there are fewer than two strings.
    bool sort(int order = 1);
    bool containsIgnoreCase(const String& s) const;
    bool containsSubstring(const String& s, bool caseSensitive = true) const;
    StringList filtered(const String& s, bool caseSensitive = true) const;
    // Index of the first string equal to s, or -1.
    int indexOf(const String& s) const;

    // The lines of a text file, empty lines kept; empty on any failure.
    static StringList fromFile(const String& path, int encoding);
    // Replaces the file with each string followed by "\r\n".
    void saveToFile(const String& path, int encoding) const;
};
