#pragma once

#include "foundation/ByteArray.h"
#include "foundation/DateTime.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"
#include "foundation/OwnFileSave.h"
#include "foundation/String.h"
#include "foundation/StringList.h"

#include <cstdint>
#include <optional>

class BinaryReader;
class BinaryWriter;
class LibraryModel;
class ProgressWindow;

// The library file "kestrola.database": every tag and item of the model
// with their links, usage counts and dates. Little-endian, no gaps:
//   header (309 bytes): "KR", 0 (u16), 1, 1, 1 (u32 each), creation date,
//     name (255 bytes, UTF-8, zero-filled), reserved (16 bytes),
//     tag count (i32), item count (i32)
//   item record: path length L (i32), date, 0 (u32), usage (i64), path
//   tag record: name length L (i32), date, 0 (u32), usage (i64),
//     index count N (i32), name, N item positions (u32 each)
// A date is seven i16: year, month, day, hour, minute, second, millisecond.
// Texts are UTF-8 without a terminator, at most TaggedItem::maxPathBytes
// for a path and Tag::maxNameBytes for a name. Links are stored on the tag
// side as the positions of the item records.
//
// Saving replaces the file only once the new one is complete, so a failed
// save leaves the old file as it was. A file that cannot be read is moved
// aside before anything could overwrite it. A save writes over a file only
// when this run read it (and it is unchanged since) or there is none; any
// other file stays as it is, and what the session did goes beside it.
class Database {
public:
    // The codes of lastError; errorText gives their messages.
    enum ErrorCode : std::uint32_t {
        UnknownError = 0,
        CannotCreate = 1,
        InvalidFormat = 2,
        Corrupted = 3,
        UnsupportedVersion = 4,
    };

    static constexpr int headerSize = 309;
    // The header's name field keeps its last byte zero.
    static constexpr int maxLibraryNameBytes = 254;
    static constexpr int reservedBlockSize = 16;

    // Fills and writes the model, which must outlive it.
    explicit Database(LibraryModel* model);
    // Clears the model.
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    std::uint32_t lastError() const { return m_lastError; }
    // The translated message of lastError.
    String errorText() const;
    static String errorText(std::uint32_t code);

    // The user's application data folder + "\" + product name + "\"; empty
    // while no Application names the product or the folder is unknown.
    static String dataFolder();
    // dataFolder + "kestrola.database".
    static String defaultPath();
    static const wchar_t* defaultFileName();

    String path() const { return m_path; }
    bool hasPath() const { return !m_path.isEmpty(); }
    void version(std::uint32_t& major, std::uint32_t& minor) const;
    // The library name and creation date of the header.
    const String& name() const { return m_name; }
    const DateTime& created() const { return m_created; }
    // Empty, or the 16 reserved header bytes of the file last read.
    const ByteArray& reservedBlock() const { return m_reservedBlock; }
    void setReservedBlock(const ByteArray& block);
    // Where the last failed open moved the unreadable file; empty when it
    // was not moved.
    const String& keptUnreadablePath() const { return m_keptUnreadablePath; }
    // A file that could not be read and stayed in its place (in use by
    // another program, or not movable): save never writes over it until an
    // open reads it. Empty when there is none.
    const String& heldPath() const { return m_heldPath; }
    // Where save kept this run's library because its place held a file this
    // run may not write over, or could not be written; empty while the
    // library is in its place.
    const String& besidePath() const { return m_save.besidePath(); }
    // The files the last save tried and could not write, in the order
    // tried: the library's place when another program held it or its
    // replace failed, then each name beside it.
    const StringList& unwrittenPaths() const { return m_save.unwrittenPaths(); }

    // Clears the model and forgets path, name, date and reserved block.
    void reset();

    // Opens fileName in dataFolder: openFile(dataFolder() + fileName).
    bool open(const String& fileName, bool silent);
    // Clears the model and reads the file at the full path into it,
    // creating the folder and an empty file when missing; an empty file
    // gets the first-run content. A file another program holds is waited
    // for (heldFileWaitMs, with the progress window unless silent). A file that
    // cannot be read is moved aside (or, when in use or not movable, held:
    // see heldPath) and the user told; the model is then left empty, and
    // the path too unless the file is held or could not be created (a
    // folder out of reach). True when the file was read.
    bool openFile(const String& path, bool silent);
    // Writes the model to the path (defaultPath when none is set yet)
    // by the rule of OwnFileSave: through a temporary file beside the file a
    // link leads to, which it replaces, only while that is the file this run
    // read or wrote, unchanged, or none, not even a link whose file is out
    // of reach; otherwise, and when the replace fails, to a free name beside
    // it (besidePath), until a later save finds the place this run's again.
    // A file another program holds is waited for as at open. The user is
    // told why and where whenever that place changes. Nothing is written
    // while the library is what this run last read or saved (after an open
    // that read nothing: what the open left) and the file that holds it is
    // as the last save left it, except the way back into place of a session
    // kept beside; a session whose saved file or copy beside another program
    // removed or changed is saved again. A file made where none was appears
    // only whole. False, with the old file intact, when no file took the
    // library (unwrittenPaths names those tried).
    bool save(bool silent);

    // The library's file bytes, built once in memory, and their checksum:
    // save writes every file it tries from them.
    struct Built {
        explicit Built(Database& database);
        // The bytes to the stream, with the progress window unless silent;
        // false when the stream refuses them or takes them only in part (a
        // full disk), so that a cut file never passes for the whole.
        bool writeTo(OutputStream& stream, bool silent) const;

        MemoryOutputStream bytes;
        ContentChecksum content;
    };

    // The whole file body through the writer; false when a write fails or
    // comes up short. Items whose path cannot be stored are left out.
    bool write(BinaryWriter& writer);
    // Reads a file body into the model, appending tags and items; false
    // with lastError set when the bytes are not a readable library. What
    // was read before the failure stays in the model.
    bool read(BinaryReader& reader, bool silent, ProgressWindow& progressWindow);

private:
    bool fail(ErrorCode code);
    void fillHeader(std::uint8_t* header, int tagCount, int itemCount) const;
    void takeHeader(const std::uint8_t* header);
    void forgetFile();
    bool readFile(const String& path, bool silent, ProgressWindow& progressWindow);
    bool waitAndRead(const String& path, bool silent, ProgressWindow& progressWindow);
    ContentChecksum contentFingerprint();
    void keepUnreadableFile(const String& path, bool inUse);
    void reportOpenFailure(const String& path, bool inUse) const;

    LibraryModel* m_model;
    std::uint32_t m_lastError = UnknownError;
    std::uint32_t m_formatVersion[2] = {1, 1};
    String m_path;
    String m_name;
    DateTime m_created;
    ByteArray m_reservedBlock;
    String m_keptUnreadablePath;
    String m_heldPath;
    // The file at m_path as this run last read or wrote it, and where the
    // session went when it could not go there.
    OwnFileSave m_save{OwnFileSave::Kind::Library};
    // The checksum of the library as this run last read or saved it (in
    // place or beside), or as an open that read no file left it: a save of
    // the same has nothing of the session to keep.
    std::optional<ContentChecksum> m_savedContent;
};
