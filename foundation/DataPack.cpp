#include "foundation/DataPack.h"

#include "foundation/BinaryReader.h"
#include "foundation/BinaryWriter.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/MemoryStream.h"
#include "foundation/Path.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

namespace {

constexpr int headerSize = 20;
constexpr int folderRecordSize = 48;
constexpr int fileRecordSize = 52;
constexpr int maxNameBytes = 2 * (maxPackNameLength + 1);

// Field offsets shared by the folder and the file record.
constexpr int nameBytesOffset = 0;
constexpr int hashOffset = 4;
constexpr int extraOffset = 12;
constexpr int dateTimeOffset = 16;
constexpr int folderFileCountOffset = 44;
constexpr int fileDataSizeOffset = 44;

const wchar_t rootFolderName[] = L"/";

std::uint32_t u32At(const std::uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t i32At(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(u32At(p));
}

std::uint64_t u64At(const std::uint8_t* p)
{
    return u32At(p) | (static_cast<std::uint64_t>(u32At(p + 4)) << 32);
}

std::uint64_t remainingBytes(const BinaryReader& reader)
{
    return reader.stream()->remaining();
}

// Exactly count bytes, checked against what remains first.
bool readExactly(BinaryReader& reader, std::uint8_t* buffer, std::uint32_t count)
{
    if (count > remainingBytes(reader))
        return false;
    return reader.readBytes(buffer, count) == static_cast<std::int64_t>(count);
}

// The seven u32 fields go through int unchanged, so a save writes back the
// same bits even for values no calendar knows.
DateTime dateTimeAt(const std::uint8_t* p)
{
    int fields[7];
    for (int i = 0; i < 7; ++i)
        fields[i] = i32At(p + 4 * i);
    return DateTime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]);
}

void takeEntryFields(const std::uint8_t* record, PackEntry& entry)
{
    entry.setHash(u64At(record + hashOffset));
    entry.setExtra(u32At(record + extraOffset));
    entry.setDateTime(dateTimeAt(record + dateTimeOffset));
}

// The text up to the first zero unit of byteCount bytes of UTF-16LE. The
// bytes land in a zeroed buffer, so a name stored without its zero unit
// still ends; one that fills the whole buffer has no room for it and fails.
bool readName(BinaryReader& reader, std::uint32_t byteCount, String& name)
{
    if (byteCount > maxNameBytes)
        return false;
    std::uint8_t bytes[maxNameBytes] = {};
    if (!readExactly(reader, bytes, byteCount))
        return false;
    wchar_t units[maxNameBytes / 2];
    for (int i = 0; i < maxNameBytes / 2; ++i) {
        units[i] = static_cast<wchar_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
        if (units[i] == 0) {
            name = String(units, i);
            return true;
        }
    }
    return false;
}

std::unique_ptr<PackFile> readFile(BinaryReader& reader)
{
    std::uint8_t record[fileRecordSize];
    if (!readExactly(reader, record, fileRecordSize))
        return nullptr;
    auto file = std::make_unique<PackFile>();
    takeEntryFields(record, *file);
    String name;
    if (!readName(reader, u32At(record + nameBytesOffset), name))
        return nullptr;
    file->setName(name);
    const std::uint32_t size = u32At(record + fileDataSizeOffset);
    if (size > INT_MAX || size > remainingBytes(reader))
        return nullptr;
    ByteArray data = reader.readByteArray(static_cast<int>(size));
    if (data.size() != static_cast<int>(size))
        return nullptr;
    file->setData(std::move(data));
    return file;
}

// A negative file count reads as a folder without files.
std::unique_ptr<PackFolder> readFolder(BinaryReader& reader)
{
    std::uint8_t record[folderRecordSize];
    if (!readExactly(reader, record, folderRecordSize))
        return nullptr;
    auto folder = std::make_unique<PackFolder>();
    takeEntryFields(record, *folder);
    String name;
    if (!readName(reader, u32At(record + nameBytesOffset), name))
        return nullptr;
    folder->setName(name);
    const std::int32_t fileCount = i32At(record + folderFileCountOffset);
    if (fileCount > 0 && static_cast<std::uint64_t>(fileCount) * fileRecordSize > remainingBytes(reader))
        return nullptr;
    for (std::int32_t i = 0; i < fileCount; ++i) {
        std::unique_ptr<PackFile> file = readFile(reader);
        if (!file)
            return nullptr;
        folder->addFile(file.release());
    }
    return folder;
}

// Folders read so far; deleted unless handed over.
class FolderBatch {
public:
    FolderBatch() = default;
    ~FolderBatch()
    {
        for (PackFolder* folder : m_folders)
            delete folder;
    }
    FolderBatch(const FolderBatch&) = delete;
    FolderBatch& operator=(const FolderBatch&) = delete;

    void append(std::unique_ptr<PackFolder> folder) { m_folders.append(folder.release()); }
    void handOver(List<PackFolder*>& target)
    {
        for (PackFolder* folder : m_folders)
            target.append(folder);
        m_folders.clear();
    }

private:
    List<PackFolder*> m_folders;
};

bool writeDateTime(BinaryWriter& writer, const DateTime& value)
{
    const int fields[7] = {value.year(),   value.month(),  value.day(),        value.hour(),
                           value.minute(), value.second(), value.millisecond()};
    for (const int field : fields) {
        if (!writer.writeUInt32(static_cast<std::uint32_t>(field)))
            return false;
    }
    return true;
}

std::uint32_t nameByteCount(const String& name)
{
    return static_cast<std::uint32_t>(name.byteCountWithTerminator());
}

// The name's units and one zero unit, nothing for an empty name.
bool writeName(BinaryWriter& writer, const String& name)
{
    if (name.isEmpty())
        return true;
    std::uint8_t bytes[maxNameBytes] = {};
    for (int i = 0; i < name.length(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(name[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
    }
    const int count = static_cast<int>(nameByteCount(name));
    return writer.writeBytes(bytes, count) == count;
}

bool writeEntryFields(BinaryWriter& writer, const PackEntry& entry)
{
    return writer.writeUInt32(nameByteCount(entry.name())) && writer.writeUInt64(entry.name().hash()) &&
           writer.writeUInt32(entry.extra()) && writeDateTime(writer, entry.dateTime());
}

bool writeFile(BinaryWriter& writer, const PackFile& file)
{
    if (!writeEntryFields(writer, file) || !writer.writeUInt32(static_cast<std::uint32_t>(file.size())) ||
        !writer.writeUInt32(0) || !writeName(writer, file.name()))
        return false;
    return file.size() == 0 || writer.writeBytes(file.data(), file.size()) == file.size();
}

bool writeFolder(BinaryWriter& writer, const PackFolder& folder)
{
    if (!writeEntryFields(writer, folder) || !writer.writeInt32(folder.fileCount()) ||
        !writeName(writer, folder.name()))
        return false;
    for (const PackFile* file : folder.files()) {
        if (!writeFile(writer, *file))
            return false;
    }
    return true;
}

bool fitsInPack(const String& name)
{
    return name.length() <= maxPackNameLength;
}

bool allNamesFit(const List<PackFolder*>& folders)
{
    for (const PackFolder* folder : folders) {
        if (!fitsInPack(folder->name()))
            return false;
        for (const PackFile* file : folder->files()) {
            if (!fitsInPack(file->name()))
                return false;
        }
    }
    return true;
}

template <typename Entry>
Entry* firstNamed(const List<Entry*>& entries, const String& name)
{
    for (Entry* entry : entries) {
        if (entry->name() == name)
            return entry;
    }
    return nullptr;
}

template <typename Entry>
Entry* firstWithHash(const List<Entry*>& entries, std::uint64_t hash)
{
    for (Entry* entry : entries) {
        if (entry->hash() == hash)
            return entry;
    }
    return nullptr;
}

// Ordinal order, so the same tree always gives the same pack.
std::vector<String> sortedFilesUnder(const String& folder, bool& listed)
{
    StringList paths;
    listed = listFiles(paths, folder, ListFiles | Recurse);
    std::vector<String> sorted;
    for (const String& path : paths)
        sorted.push_back(path);
    std::sort(sorted.begin(), sorted.end(), [](const String& a, const String& b) {
        return compareStrings(a.c_str(), b.c_str(), 1) < 0;
    });
    return sorted;
}

bool isDotsAndBlanks(const String& part)
{
    for (int i = 0; i < part.length(); ++i) {
        if (part[i] != L'.' && part[i] != L' ')
            return false;
    }
    return true;
}

// One component of a path below the target folder. Windows drops trailing
// dots and blanks, so ". ." would still climb out; a device name would send
// the bytes to a port or the console instead of a file.
bool isSafeNamePart(const String& part)
{
    if (!isValidFileName(part) || isDotsAndBlanks(part) || isReservedDeviceName(part))
        return false;
    for (int i = 0; i < part.length(); ++i) {
        if (part[i] < L' ')
            return false;
    }
    return true;
}

// The folder an entry of the pack folder goes to, ending in '\'; empty when
// the name is unsafe.
String extractionFolder(const String& destination, const String& folderName)
{
    if (folderName == rootFolderName)
        return destination;
    if (!isSafePackPath(folderName))
        return {};
    return destination + folderName.replaceChar(L'/', L'\\') + L'\\';
}

bool writeWholeFile(const String& path, const PackFile& file)
{
    FileOutputStream stream(path, false);
    if (!stream.isOpen())
        return false;
    if (file.size() > 0 && stream.write(file.data(), file.size()) != file.size())
        return false;
    return stream.flush();
}

} // namespace

PackFolder::~PackFolder()
{
    for (PackFile* file : m_files)
        delete file;
}

PackFile* PackFolder::findFile(const String& name) const
{
    return firstNamed(m_files, name);
}

PackFile* PackFolder::findFileByHash(std::uint64_t hash) const
{
    return firstWithHash(m_files, hash);
}

void PackFolder::addFile(PackFile* file)
{
    if (file)
        m_files.append(file);
}

DataPack::~DataPack()
{
    clear();
}

bool DataPack::openFile(const String& path)
{
    m_fileName.clear();
    clear();
    if (path.isEmpty() || !fileExists(path))
        return false;
    FileInputStream stream(path);
    if (!readStream(stream))
        return false;
    m_fileName = path;
    return true;
}

bool DataPack::openMemory(const std::uint8_t* data, std::int64_t size)
{
    m_fileName.clear();
    clear();
    if (!data || size <= 0)
        return false;
    MemoryStream stream(data, static_cast<std::uint64_t>(size), false);
    return readStream(stream);
}

bool DataPack::readStream(InputStream& stream)
{
    BinaryReader reader(&stream);
    return reader.attach() && readPack(reader);
}

bool DataPack::readPack(BinaryReader& reader)
{
    if (!reader.stream() || !reader.stream()->isOpen())
        return false;
    std::uint8_t header[headerSize];
    if (!readExactly(reader, header, headerSize) || header[0] != 'F' || header[1] != 'A')
        return false;
    const std::int32_t folderCount = i32At(header + 12);
    // Only its sign is tested: each folder's own count is checked as its
    // files are read, so a wrong total harms nothing.
    const std::int32_t totalFileCount = i32At(header + 16);
    if (folderCount < 0 || totalFileCount < 0)
        return false;
    if (static_cast<std::uint64_t>(folderCount) * folderRecordSize > remainingBytes(reader))
        return false;

    FolderBatch batch;
    for (std::int32_t i = 0; i < folderCount; ++i) {
        std::unique_ptr<PackFolder> folder = readFolder(reader);
        if (!folder)
            return false;
        batch.append(std::move(folder));
    }
    m_headerWord1 = u32At(header + 4);
    m_headerWord2 = u32At(header + 8);
    batch.handOver(m_folders);
    return true;
}

bool DataPack::savePack(BinaryWriter& writer) const
{
    if (!writer.stream() || !allNamesFit(m_folders))
        return false;
    if (!writer.writeUInt8('F') || !writer.writeUInt8('A') || !writer.writeUInt16(0) ||
        !writer.writeUInt32(m_headerWord1) || !writer.writeUInt32(m_headerWord2) ||
        !writer.writeInt32(folderCount()) || !writer.writeInt32(fileCount()))
        return false;
    for (const PackFolder* folder : m_folders) {
        if (!writeFolder(writer, *folder))
            return false;
    }
    return true;
}

bool DataPack::saveFile(const String& path) const
{
    return writeFileAtomically(path, [this](FileOutputStream& stream) {
        BinaryWriter writer(&stream);
        return writer.attach() && savePack(writer);
    });
}

PackFolder* DataPack::findFolder(const String& name) const
{
    return firstNamed(m_folders, name);
}

PackFolder* DataPack::findFolderByHash(std::uint64_t hash) const
{
    return firstWithHash(m_folders, hash);
}

PackFile* DataPack::findFile(const String& folderName, const String& fileName) const
{
    const PackFolder* folder = findFolder(folderName);
    return folder ? folder->findFile(fileName) : nullptr;
}

PackFile* DataPack::findFileByHash(std::uint64_t folderHash, std::uint64_t fileHash) const
{
    const PackFolder* folder = findFolderByHash(folderHash);
    return folder ? folder->findFileByHash(fileHash) : nullptr;
}

PackFile* DataPack::addFile(const String& sourcePath, const String& folderName, const String& fileName)
{
    if (!fitsInPack(folderName) || !fitsInPack(fileName) || !fileExists(sourcePath))
        return nullptr;
    PackFolder* folder = findFolder(folderName);
    if (folder && folder->findFile(fileName))
        return nullptr;
    ByteArray bytes;
    bytes.fromFile(sourcePath);
    if (bytes.isEmpty())
        return nullptr;
    const DateTime now = DateTime::currentUtc();
    if (!folder) {
        folder = new PackFolder;
        folder->setName(folderName);
        folder->setHash(folderName.hash());
        folder->setDateTime(now);
        m_folders.append(folder);
    }
    auto* file = new PackFile;
    file->setName(fileName);
    file->setHash(fileName.hash());
    file->setDateTime(now);
    file->setData(std::move(bytes));
    folder->addFile(file);
    return file;
}

void DataPack::removeFolder(const String& name)
{
    for (ListNode<PackFolder*>* node = m_folders.first(); node; node = node->next) {
        if (node->value->name() == name) {
            delete node->value;
            m_folders.removeNode(node);
            return;
        }
    }
}

void DataPack::clear()
{
    for (PackFolder* folder : m_folders)
        delete folder;
    m_folders.clear();
}

bool DataPack::hasFiles() const
{
    for (const PackFolder* folder : m_folders) {
        if (folder->fileCount() > 0)
            return true;
    }
    return false;
}

int DataPack::fileCount() const
{
    int total = 0;
    for (const PackFolder* folder : m_folders)
        total += folder->fileCount();
    return total;
}

bool isSafePackPath(const String& name)
{
    if (name.isEmpty())
        return false;
    int start = 0;
    while (start <= name.length()) {
        int end = name.indexOf(L'/', start);
        if (end < 0)
            end = name.length();
        if (!isSafeNamePart(name.mid(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

bool packFolder(const String& sourceFolder, const String& packPath, int& fileCount)
{
    fileCount = 0;
    const String normalized = Path::normalized(sourceFolder);
    if (packPath.isEmpty() || !directoryExists(normalized))
        return false;
    if (fileExists(packPath) && !deleteFile(packPath))
        return false;
    const String root = Path::withTrailingSeparator(normalized);
    bool listed = false;
    const std::vector<String> paths = sortedFilesUnder(root, listed);
    if (!listed)
        return false;

    DataPack pack;
    for (const String& path : paths) {
        const String relative = path.substringFrom(root.length());
        const int slash = relative.lastIndexOf(L'\\');
        const String folderName = slash < 0 ? String(rootFolderName) : relative.mid(0, slash).replaceChar(L'\\', L'/');
        if (pack.addFile(path, folderName, relative.substringFrom(slash + 1)))
            ++fileCount;
    }
    if (pack.saveFile(packPath))
        return true;
    deleteFile(packPath);
    fileCount = 0;
    return false;
}

bool extractPack(const String& packPath, const String& destinationFolder, int& fileCount)
{
    fileCount = 0;
    if (destinationFolder.isEmpty() || !fileExists(packPath))
        return false;
    const String destination = Path::withTrailingSeparator(destinationFolder);
    if (!createPath(destination))
        return false;
    DataPack pack;
    if (!pack.openFile(packPath))
        return false;
    for (const PackFolder* folder : pack.folders()) {
        const String folderPath = extractionFolder(destination, folder->name());
        if (folderPath.isEmpty() || !createPath(folderPath))
            return false;
        for (const PackFile* file : folder->files()) {
            if (!isSafeNamePart(file->name()) || !writeWholeFile(folderPath + file->name(), *file))
                return false;
            ++fileCount;
        }
    }
    return true;
}
