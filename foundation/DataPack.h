#pragma once

#include "foundation/ByteArray.h"
#include "foundation/DateTime.h"
#include "foundation/List.h"
#include "foundation/String.h"

#include <cstdint>
#include <utility>

class BinaryReader;
class InputStream;
class BinaryWriter;

// Data packs (".pak", and the toolkit's ".style" files): a flat list of named
// folders, each holding named files whose bytes stay in memory. The program
// only reads packs; writing and adding files serve the pack tool.
//
// File layout, little-endian, names in UTF-16LE:
//   header (20 bytes): "FA", 2 unused bytes, u32 headerWord1, u32 headerWord2,
//     i32 folder count, i32 file count over all folders (written correctly,
//     but a reader takes only the folders' own counts);
//   per folder: a 48-byte record (u32 name byte count, u64 name hash,
//     u32 extra, seven u32 date-time fields, i32 file count), the name,
//     then per file: a 52-byte record (u32 name byte count, u64 name hash,
//     u32 extra, seven u32 date-time fields, u32 data size, u32 reserved),
//     the name and the data.
// Names are written with one zero unit, counted in the byte count (0 for an
// empty name); the count is at most 512.

// The longest name a pack can hold, in characters.
constexpr int maxPackNameLength = 255;

// Name, hash, extra word and time stamp, shared by files and folders.
class PackEntry {
public:
    const String& name() const { return m_name; }
    void setName(const String& name) { m_name = name; }
    // As read from the pack, or computed when the entry was added; a save
    // computes it again from the name.
    std::uint64_t hash() const { return m_hash; }
    void setHash(std::uint64_t hash) { m_hash = hash; }
    // Stored and written back, never interpreted.
    std::uint32_t extra() const { return m_extra; }
    void setExtra(std::uint32_t extra) { m_extra = extra; }
    // UTC.
    const DateTime& dateTime() const { return m_dateTime; }
    void setDateTime(const DateTime& dateTime) { m_dateTime = dateTime; }

protected:
    ~PackEntry() = default;

private:
    String m_name;
    std::uint64_t m_hash = 0;
    std::uint32_t m_extra = 0;
    DateTime m_dateTime;
};

class PackFile : public PackEntry {
public:
    // Null when the file is empty.
    const std::uint8_t* data() const { return m_data.data(); }
    int size() const { return m_data.size(); }
    // Copies size bytes.
    void setData(const std::uint8_t* data, int size) { m_data.assign(data, size); }
    void setData(ByteArray&& data) { m_data = std::move(data); }

private:
    ByteArray m_data;
};

class PackFolder : public PackEntry {
public:
    PackFolder() = default;
    ~PackFolder();
    PackFolder(const PackFolder&) = delete;
    PackFolder& operator=(const PackFolder&) = delete;

    // Owned, in file order.
    const List<PackFile*>& files() const { return m_files; }
    int fileCount() const { return m_files.count(); }
    // The first entry whose name matches exactly (case-sensitive).
    PackFile* findFile(const String& name) const;
    PackFile* findFileByHash(std::uint64_t hash) const;
    // Appends the file and takes ownership of it.
    void addFile(PackFile* file);

private:
    List<PackFile*> m_files;
};

class DataPack {
public:
    DataPack() = default;
    ~DataPack();
    DataPack(const DataPack&) = delete;
    DataPack& operator=(const DataPack&) = delete;

    // Both start from an empty pack. A pack that fails to load leaves the
    // pack empty and fileName() empty.
    bool openFile(const String& path);
    // Reads the bytes in place and copies them into the entries.
    bool openMemory(const std::uint8_t* data, std::int64_t size);
    // Reads a pack from the reader's position and appends its folders.
    // Every size and count is checked against the bytes that remain before
    // anything is allocated; on any fault nothing is appended and the header
    // words stay as they were.
    bool readPack(BinaryReader& reader);
    // False when a name is longer than maxPackNameLength or a write fails.
    bool savePack(BinaryWriter& writer) const;
    // Replaces the file through a temporary file, so a failed save keeps
    // the old one.
    bool saveFile(const String& path) const;

    // The first folder (in file order) whose name matches exactly.
    PackFolder* findFolder(const String& name) const;
    PackFolder* findFolderByHash(std::uint64_t hash) const;
    PackFile* findFile(const String& folderName, const String& fileName) const;
    PackFile* findFileByHash(std::uint64_t folderHash, std::uint64_t fileHash) const;

    // Adds the bytes of an existing, non-empty file as folderName/fileName,
    // creating the folder at the end when it is missing. Null for a missing,
    // empty or unreadable source and for a name already taken (an entry is
    // never replaced).
    PackFile* addFile(const String& sourcePath, const String& folderName, const String& fileName);
    // Removes the first folder of that name with its files.
    void removeFolder(const String& name);
    void clear();

    bool isEmpty() const { return m_folders.isEmpty(); }
    bool hasFiles() const;
    int folderCount() const { return m_folders.count(); }
    int fileCount() const;
    // Owned, in file order.
    const List<PackFolder*>& folders() const { return m_folders; }

    // The path the pack was opened from; empty when opened from memory.
    const String& fileName() const { return m_fileName; }
    std::uint32_t headerWord1() const { return m_headerWord1; }
    void setHeaderWord1(std::uint32_t value) { m_headerWord1 = value; }
    std::uint32_t headerWord2() const { return m_headerWord2; }
    void setHeaderWord2(std::uint32_t value) { m_headerWord2 = value; }

private:
    bool readStream(InputStream& stream);
    String m_fileName;
    std::uint32_t m_headerWord1 = 1;
    std::uint32_t m_headerWord2 = 0;
    List<PackFolder*> m_folders;
};

// The pack tool's two operations. Folder names in a pack are paths relative
// to the packed folder with '/' between their parts and no separator at
// either end; files directly in the packed folder go into the folder "/".

// Replaces the pack at packPath with every non-empty file under sourceFolder,
// in name order. fileCount receives the number of files stored.
bool packFolder(const String& sourceFolder, const String& packPath, int& fileCount);
// Writes every file of the pack under destinationFolder, creating folders as
// needed. A folder or file name that could lead outside destinationFolder
// ("..", a drive, a leading separator, a device name) ends the run with
// false, as does the first folder or file that cannot be written. fileCount
// receives the number of files written.
bool extractPack(const String& packPath, const String& destinationFolder, int& fileCount);
// Whether a pack's folder or file name stays inside the folder it is
// extracted to: no part that is empty or only dots and blanks, no drive,
// no leading separator, no character a file name cannot hold, no device
// name ("nul", "com1.txt").
bool isSafePackPath(const String& name);
