#include "app/LibraryController.h"

#include "foundation/Hooks.h"
#include "library/Scanner.h"

bool LibraryController::scan(const List<ScanRule*>& rules, PointerArray<Tag*>& tags, PointerArray<TaggedItem*>& items,
                             bool silent, bool clearBeforeScan)
{
    m_scanItems = &items;
    Scanner scanner(shellHooks().libraryModel(), tags, items);
    const bool found = scanner.scan(rules, silent, clearBeforeScan);
    m_scanItems = nullptr;
    return found;
}

bool LibraryController::matchesWord(const String& text, const String& word, bool matchCase, bool wholeWords)
{
    return Scanner::matchesWord(text, word, matchCase, wholeWords);
}
