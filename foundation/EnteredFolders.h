#pragma once

#include "foundation/FileSystem.h"
#include "foundation/String.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The folders a walk has entered. Junctions and symbolic links are
// followed, so one that points back up the tree, or a second link to a
// folder already walked, must not be entered again. Reading an identity
// costs far more than listing a folder under Wine, so a walk reads none
// until it meets its first link, and then reads those it passed.
class EnteredFolders {
public:
    using IdentityReader = std::optional<FileId> (*)(const String& folder);

    explicit EnteredFolders(IdentityReader read = FileSystem::id) : m_read(read) {}

    // False when the folder was entered before, and for a link whose
    // identity is unknown, which might lead anywhere. Any other folder
    // whose identity is unknown is entered and not recorded, so it can
    // never be mistaken for another.
    bool enter(const String& folder, bool isLink);

private:
    std::optional<FileId> knownIdentity(const String& folder) const;
    void startTracking();

    IdentityReader m_read;
    bool m_tracking = false;
    // The folders passed before the first link, in walk order, each kept as
    // the length it shares with the one before and the rest: a depth-first
    // walk's neighbours share all but a name or so.
    std::vector<std::pair<std::size_t, std::size_t>> m_passed;
    std::wstring m_passedTails;
    std::wstring m_lastPassed;
    std::set<FileId> m_identities;
};
