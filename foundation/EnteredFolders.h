#pragma once

#include "foundation/String.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

// What identifies a folder whichever path or link leads to it: its volume's
// serial number and its 128-bit file id (the 64-bit file index where the
// system gives no more; on some file systems that one is not unique). An id
// of 0 is no identity: some network redirectors give it to every folder.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t idHigh = 0;
    std::uint64_t idLow = 0;

    bool isKnown() const { return idHigh != 0 || idLow != 0; }

    auto operator<=>(const FolderIdentity&) const = default;
};

// The folder's identity as the file system gives it (a link is followed);
// none when it cannot be read.
std::optional<FolderIdentity> readFolderIdentity(const String& folder);

// The folders a walk has entered. Junctions and symbolic links are
// followed, so one that points back up the tree, or a second link to a
// folder already walked, must not be entered again. Reading an identity
// costs far more than listing a folder under Wine, so a walk reads none
// until it meets its first link, and then reads those it passed.
class EnteredFolders {
public:
    using IdentityReader = std::optional<FolderIdentity> (*)(const String& folder);

    explicit EnteredFolders(IdentityReader read = readFolderIdentity) : m_read(read) {}

    // False when the folder was entered before, and for a link whose
    // identity is unknown, which might lead anywhere. Any other folder
    // whose identity is unknown is entered and not recorded, so it can
    // never be mistaken for another.
    bool enter(const String& folder, bool isLink);

private:
    std::optional<FolderIdentity> knownIdentity(const String& folder) const;
    void startTracking();

    IdentityReader m_read;
    bool m_tracking = false;
    // The folders passed before the first link, in walk order, each kept as
    // the length it shares with the one before and the rest: a depth-first
    // walk's neighbours share all but a name or so.
    std::vector<std::pair<std::size_t, std::size_t>> m_passed;
    std::wstring m_passedTails;
    std::wstring m_lastPassed;
    std::set<FolderIdentity> m_identities;
};
