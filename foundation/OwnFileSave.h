#pragma once

#include "foundation/FileSystem.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <functional>
#include <optional>

class OutputStream;

// The one save rule of the program's own files, the library and the
// settings. A save writes over the file only while it is this run's (the
// file this run last read or wrote, unchanged, or none), looked at again
// once the new file is complete, and a file it makes where none was appears
// only whole; otherwise, and when that write fails, the session goes to a
// name beside it (freeNameBeside with sessionExtension), passing over a
// name where the save fails, three names in all. The copy beside is the
// program's own under the same rule: written over only while it is still
// exactly what this run wrote there (or gone), else kept, and the session
// goes to the next free name. Every save tries the file's own place first,
// so a file another program held for a while gets the session back; the
// copy this run left beside it is then removed through the one handle that
// compared it. The user is told, in one message per save, why and where
// whenever the place of the session changes or the copy beside was not as
// this run left it; the texts name the kind of file.
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
    // unless silent). unchanged says the session is what this run last read
    // or saved: while the file holding it is as this run left it
    // (keepsWhatWasWritten), nothing is written, or, for a session kept
    // beside, only its way back into place is tried, without a wait. False
    // when no file took the session.
    bool save(const String& path, const Writer& write, bool silent, bool unchanged = false);

private:
    // Whether the file that holds the session still holds exactly what this
    // run last wrote there (keepsVersion: a file another program holds
    // counts by its identity): the copy beside, not a link at its name,
    // while the session is kept beside, else the file a save of this run
    // wrote in the file's place. True while this run wrote neither: a
    // session that changed nothing since its load has nothing of its own to
    // keep. Reads the file.
    bool keepsWhatWasWritten() const;
    // Why a save left the file's place as it was.
    enum class KeptBecause { InUse, Changed, NotRead, NotWritten };
    std::optional<KeptBecause> writeInPlace(const String& target, const Writer& write, bool inUse);
    bool keepBeside(const String& target, const Writer& write, const String& reason);
    // Where a save beside went: the name written (none when every name
    // failed) and the names that failed.
    struct Beside {
        String name;
        std::optional<FileVersion> written;
        StringList failed;
    };
    Beside writeBeside(const String& target, const Writer& write, StringList passedOver) const;
    void tellBackInPlace();
    String keptText(const String& target, KeptBecause why) const;

    Kind m_kind;
    std::optional<FileVersion> m_own;
    // Where a save of this run last wrote m_own (the file a link leads to);
    // empty while m_own is what a load read.
    String m_ownWrittenPath;
    String m_besidePath;
    // What this run last wrote at m_besidePath.
    std::optional<FileVersion> m_besideVersion;
    StringList m_unwritten;
};
