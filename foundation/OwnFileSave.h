#pragma once

#include "foundation/FileSystem.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <functional>
#include <optional>

class OutputStream;

// The one save rule of the program's own files, the library and the
// settings. A save writes over the file only while it is this run's
// (claimOwnFile: the file this run last read or wrote, unchanged, or none),
// looked at again once the new file is complete; otherwise, and when that
// write fails, the session goes to a name beside it (freeNameBeside with
// sessionExtension), passing over a name where the save fails, three names
// in all. Every save tries the file's own place first, so a file another
// program held for a while gets the session back; the copy this run left
// beside it is then removed while it is still exactly what this run wrote.
// The user is told, in one message per save, why and where whenever the
// place of the session changes; the texts name the kind of file.
class OwnFileSave {
public:
    enum class Kind { Library, Settings };
    using Writer = std::function<bool(OutputStream&)>;

    explicit OwnFileSave(Kind kind) : m_kind(kind) {}

    // What the user reads while the program waits for the file another
    // program holds, at a load and at a save.
    static String waitingText(Kind kind);

    // The file as this run last read or wrote it; none while this run has
    // no file of its own at the path. A load sets it.
    std::optional<FileVersion>& ownVersion() { return m_own; }
    // Forgets the own file and the session kept beside it.
    void reset();
    // Where the session is kept beside the file; empty while it is in its
    // place.
    const String& besidePath() const { return m_besidePath; }
    // The files the last save tried and could not write, in the order
    // tried: the file's place when another program held it or its replace
    // failed, then each name beside it.
    const StringList& unwrittenPaths() const { return m_unwritten; }

    // Writes what write puts out for the file at path (through a link, for
    // the file it leads to). A file of this run's that another program
    // holds is waited for first (heldFileWaitMs, with a progress window
    // unless silent). keptBeside says the session is what the last save
    // kept beside: only its way back into place is tried then, without a
    // wait. False when no file took the session.
    bool save(const String& path, const Writer& write, bool silent, bool keptBeside = false);

private:
    // Why a save left the file's place as it was.
    enum class KeptBecause { InUse, Changed, NotRead, NotWritten };
    std::optional<KeptBecause> writeInPlace(const String& target, const Writer& write, bool inUse);
    bool keepBeside(const String& target, const Writer& write, const String& reason);
    void tellBackInPlace();
    String keptText(const String& target, KeptBecause why) const;

    Kind m_kind;
    std::optional<FileVersion> m_own;
    String m_besidePath;
    // What this run last wrote at m_besidePath.
    std::optional<FileVersion> m_besideVersion;
    StringList m_unwritten;
};
