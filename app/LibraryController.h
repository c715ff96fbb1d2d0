#pragma once

#include "foundation/Array.h"
#include "foundation/List.h"

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
    // The item array of the scan that runs; null outside a scan.
    PointerArray<TaggedItem*>* scanItems() const { return m_scanItems; }

private:
    PointerArray<TaggedItem*>* m_scanItems = nullptr;
};
