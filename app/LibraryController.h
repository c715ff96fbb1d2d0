#pragma once

#include "foundation/Array.h"
#include "foundation/List.h"
#include "foundation/String.h"

class ScanRule;
class Tag;
class TaggedItem;

// The shell's controller of the tag library. Its windows start scans here;
// the tag library's Scanner does the work on the shell's model.
class LibraryController {
public:
    LibraryController() = default;
    LibraryController(const LibraryController&) = delete;
    LibraryController& operator=(const LibraryController&) = delete;

    // Runs the rules into the result arrays, which own what they receive
    // (Scanner::scan); true when the item array holds an item at the end.
    bool scan(const List<ScanRule*>& rules, PointerArray<Tag*>& tags, PointerArray<TaggedItem*>& items, bool silent,
              bool clearBeforeScan);
    // Whether the word occurs in the text, with whole words only at word
    // boundaries (Scanner::matchesWord, which the scan uses).
    static bool matchesWord(const String& text, const String& word, bool matchCase, bool wholeWords);

    // The item array of the scan that runs; null outside a scan.
    PointerArray<TaggedItem*>* scanItems() const { return m_scanItems; }

private:
    PointerArray<TaggedItem*>* m_scanItems = nullptr;
};
