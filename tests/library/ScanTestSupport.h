#pragma once

// Shared pieces of the scanner, merge and model settings tests: hooks with
// their own settings store that record the status line, a model that the
// rules reach through them, and a temp tree written file by file.

#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/Settings.h"
#include "library/LibraryModel.h"
#include "library/Scanner.h"

#include "LibraryTestSupport.h"
#include "tests/support/TempFolder.h"

#include <initializer_list>
#include <set>
#include <string>
#include <vector>

inline StringList listOf(std::initializer_list<const wchar_t*> texts)
{
    StringList list;
    for (const wchar_t* text : texts)
        list.append(String(text));
    return list;
}

class ScanHooks : public FakeLibraryHooks {
public:
    Settings& settings() override { return store; }
    void setStatus(int state) override { statuses.push_back(state); }
    void setOverrideCursor(int) override { ++cursorDepth; }
    void restoreOverrideCursor() override { --cursorDepth; }

    Settings store{String(), String(), Settings::NoLocation, Settings::NoFormat};
    std::vector<int> statuses;
    int cursorDepth = 0;
};

// A model installed as the shell's, a temp tree and result arrays that the
// fixture frees.
class ScanFixture : public ::testing::Test {
protected:
    ScanFixture() { hooks.model = &model; }
    ~ScanFixture() override { Scanner::deleteResults(resultTags, resultItems); }

    // Writes an empty file (path relative to the tree, '\' separated) whose
    // last-write time lies hoursOld hours back.
    String file(const wchar_t* relative, double hoursOld = 0) const
    {
        const String path = tree.writeFile(relative, Bytes());
        const auto back = static_cast<std::uint64_t>(hoursOld * 36000000000.0);
        FileSystem::setFileTime(path, DateTime::fromFileTime(DateTime::currentUtc().toFileTime() - back), false);
        return path;
    }
    String folder(const wchar_t* relative) const { return tree.makeFolder(relative); }

    // A checked automatic-free rule over the tree giving the names.
    ScanRule rule(std::initializer_list<const wchar_t*> names, int kind = Filter::Files) const
    {
        ScanRule made;
        made.setScanPath(tree.path());
        made.assignableTags().setNames(listOf(names));
        made.filter().addKind(kind);
        made.setHasContentCondition(false);
        return made;
    }

    bool scan(std::initializer_list<ScanRule*> rules, bool silent = true)
    {
        List<ScanRule*> list;
        for (ScanRule* one : rules)
            list.append(one);
        Scanner scanner(&model, resultTags, resultItems);
        return scanner.scan(list, silent, false);
    }

    // The result paths of the rule alone, relative to the tree.
    std::set<std::wstring> foundBy(ScanRule& one)
    {
        Scanner::deleteResults(resultTags, resultItems);
        scan({&one});
        std::set<std::wstring> paths;
        for (const TaggedItem* item : resultItems)
            paths.insert(wide(item->path().mid(tree.path().length())));
        return paths;
    }

    ScanHooks hooks;
    LibraryModel model;
    TempFolder tree;
    PointerArray<Tag*> resultTags;
    PointerArray<TaggedItem*> resultItems;
};
