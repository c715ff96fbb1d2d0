#include "library/Database.h"

#include "foundation/Application.h"
#include "foundation/BinaryReader.h"
#include "foundation/BinaryWriter.h"
#include "foundation/Crc32Stream.h"
#include "foundation/FileInUse.h"
#include "foundation/FileMovedAside.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/Hooks.h"
#include "foundation/LittleEndian.h"
#include "foundation/MemoryStream.h"
#include "foundation/System.h"
#include "library/LibraryModel.h"
#include "library/Tag.h"
#include "library/TaggedItem.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint8_t magic[2] = {'K', 'R'};
constexpr int nameOffset = 30;
constexpr int reservedOffset = 285;
constexpr int tagCountOffset = 301;
constexpr int itemCountOffset = 305;
constexpr int itemHeadSize = 30;
constexpr int tagHeadSize = 34;
constexpr int indexSize = 4;
// Records travel to and from the file in blocks of this size.
constexpr int blockSize = 1 << 20;

String translated(const wchar_t* text)
{
    return translate(String(text), String(L"Database"));
}

// The folder part of a full path, with its final '\'.
String folderOf(const String& path)
{
    return path.mid(0, path.lastIndexOf(L'\\') + 1);
}

void storeDate(std::uint8_t* at, const DateTime& date)
{
    const int fields[7] = {date.year(), date.month(), date.day(), date.hour(), date.minute(), date.second(),
                           date.millisecond()};
    for (int i = 0; i < 7; ++i)
        storeLittleEndian(at + 2 * i, static_cast<std::uint16_t>(fields[i]), 2);
}

DateTime loadDate(const std::uint8_t* at)
{
    int fields[7];
    for (int i = 0; i < 7; ++i)
        fields[i] = static_cast<std::int16_t>(loadLittleEndian(at + 2 * i, 2));
    return DateTime(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5], fields[6]);
}

std::int32_t loadInt32(const std::uint8_t* at)
{
    return static_cast<std::int32_t>(loadLittleEndian(at, 4));
}

// The head that item and tag records share: length, date, zero, usage.
struct RecordHead {
    std::int32_t length = 0;
    DateTime date;
    std::int64_t usage = 0;
};

void storeHead(std::uint8_t* at, const RecordHead& head)
{
    storeLittleEndian(at, static_cast<std::uint32_t>(head.length), 4);
    storeDate(at + 4, head.date);
    storeLittleEndian(at + 18, 0, 4);
    storeLittleEndian(at + 22, static_cast<std::uint64_t>(head.usage), 8);
}

RecordHead loadHead(const std::uint8_t* at)
{
    RecordHead head;
    head.length = loadInt32(at);
    head.date = loadDate(at + 4);
    head.usage = static_cast<std::int64_t>(loadLittleEndian(at + 22, 8));
    return head;
}

// The longest start of the UTF-8 bytes that holds at most limit bytes and
// ends on a character boundary.
int utf8PrefixLength(const ByteArray& text, int limit)
{
    int length = std::min(text.size(), limit);
    while (length > 0 && length < text.size() && (text.at(length) & 0xC0) == 0x80)
        --length;
    return length;
}

// Collects the file's bytes and hands them to the writer in large blocks,
// so a big library costs a few hundred writes rather than one per field.
class BlockWriter {
public:
    explicit BlockWriter(BinaryWriter& writer) : m_writer(writer) { m_block.reserve(blockSize); }

    void append(const void* data, int size)
    {
        if (m_block.size() + size > blockSize)
            flush();
        if (size > blockSize)
            writeThrough(data, size);
        else
            m_block.append(static_cast<const std::uint8_t*>(data), size);
    }

    // An ASCII text, whose UTF-8 bytes are its characters.
    void appendAscii(const String& text)
    {
        const int size = text.length();
        if (m_block.size() + size > blockSize)
            flush();
        const int start = m_block.size();
        m_block.resize(start + size);
        std::transform(text.constData(), text.constData() + size, m_block.data() + start,
                       [](wchar_t c) { return static_cast<std::uint8_t>(c); });
    }

    void appendIndex(std::int32_t index)
    {
        std::uint8_t bytes[indexSize];
        storeLittleEndian(bytes, static_cast<std::uint32_t>(index), indexSize);
        append(bytes, indexSize);
    }

    // True when every byte reached the stream.
    bool finish()
    {
        flush();
        return !m_failed;
    }

private:
    void flush()
    {
        writeThrough(m_block.data(), m_block.size());
        m_block.clear();
    }

    void writeThrough(const void* data, int size)
    {
        if (size > 0 && !m_failed && m_writer.writeBytes(data, size) != size)
            m_failed = true;
    }

    BinaryWriter& m_writer;
    ByteArray m_block;
    bool m_failed = false;
};

// Hands out the stream's bytes from large blocks read through the reader.
class BlockReader {
public:
    explicit BlockReader(BinaryReader& reader) : m_reader(reader) {}

    // The bytes not yet taken.
    std::uint64_t remaining() const { return (m_block.size() - m_next) + m_reader.stream()->remaining(); }

    // The next count bytes; null when fewer remain or a read fails.
    const std::uint8_t* take(int count)
    {
        if (static_cast<std::size_t>(count) > m_block.size() - m_next && !refill(count))
            return nullptr;
        const std::uint8_t* bytes = m_block.data() + m_next;
        m_next += static_cast<std::size_t>(count);
        return bytes;
    }

private:
    bool refill(int count)
    {
        if (static_cast<std::uint64_t>(count) > remaining())
            return false;
        m_block.erase(m_block.begin(), m_block.begin() + static_cast<std::ptrdiff_t>(m_next));
        m_next = 0;
        const std::uint64_t wanted = std::max<std::uint64_t>(count, blockSize) - m_block.size();
        const std::size_t toRead = static_cast<std::size_t>(std::min(wanted, m_reader.stream()->remaining()));
        const std::size_t kept = m_block.size();
        m_block.resize(kept + toRead);
        if (m_reader.readBytes(m_block.data() + kept, static_cast<std::int64_t>(toRead)) !=
            static_cast<std::int64_t>(toRead)) {
            m_block.resize(kept);
            return false;
        }
        return m_block.size() >= static_cast<std::size_t>(count);
    }

    BinaryReader& m_reader;
    std::vector<std::uint8_t> m_block;
    std::size_t m_next = 0;
};

// Sets the percent of the window only when the whole number changes, so a
// long loop does not repaint it for every record.
class ProgressSteps {
public:
    ProgressSteps(ProgressWindow& window, bool silent, int count) : m_window(window), m_silent(silent), m_count(count)
    {
    }

    void done(int finished)
    {
        if (m_silent)
            return;
        const int percent = static_cast<int>(static_cast<double>(finished) / m_count * 100.0);
        if (percent == m_shown)
            return;
        m_shown = percent;
        m_window.setPercent(percent);
    }

private:
    ProgressWindow& m_window;
    bool m_silent;
    int m_count;
    int m_shown = -1;
};

bool isAscii(const String& text)
{
    return std::all_of(text.constData(), text.constData() + text.length(), [](wchar_t c) { return c < 0x80; });
}

// An item's path as its record holds it: the length in UTF-8, 0 for an item
// left out, and the UTF-8 bytes unless the path is ASCII. Most paths are,
// and their records are then written from the text itself, which spares a
// conversion and an allocation for each.
struct StoredPath {
    int length = 0;
    ByteArray utf8;
};

StoredPath storedPath(const String& path)
{
    if (isAscii(path))
        return {path.length(), {}};
    StoredPath stored{0, path.toUtf8()};
    stored.length = stored.utf8.size();
    return stored;
}

// Numbers the items that can be stored by their position among the
// records, and gives their paths as stored. An item whose path is empty or
// too long for a record gets order index -1 and length 0; its links are
// left out with it.
std::vector<StoredPath> numberItems(const PointerArray<TaggedItem*>& items)
{
    std::vector<StoredPath> paths;
    paths.reserve(static_cast<std::size_t>(items.count()));
    std::int32_t position = 0;
    for (TaggedItem* item : items) {
        StoredPath path = storedPath(item->path());
        if (path.length == 0 || path.length > TaggedItem::maxPathBytes) {
            item->setOrderIndex(TaggedItem::NewItem);
            path = {};
        } else {
            item->setOrderIndex(position++);
        }
        paths.push_back(std::move(path));
    }
    return paths;
}

// The tag names in UTF-8, cut at a character boundary to the longest name
// a record holds; a tag whose name gives no bytes is left out.
std::vector<ByteArray> storedTagNames(const PointerArray<Tag*>& tags)
{
    std::vector<ByteArray> names;
    names.reserve(static_cast<std::size_t>(tags.count()));
    for (const Tag* tag : tags) {
        ByteArray name = tag->name().toUtf8();
        name.resize(utf8PrefixLength(name, Tag::maxNameBytes));
        names.push_back(std::move(name));
    }
    return names;
}

int storedCount(const std::vector<ByteArray>& texts)
{
    return static_cast<int>(std::count_if(texts.begin(), texts.end(), [](const ByteArray& t) { return !t.isEmpty(); }));
}

int storedPathCount(const std::vector<StoredPath>& paths)
{
    return static_cast<int>(std::count_if(paths.begin(), paths.end(), [](const StoredPath& p) { return p.length > 0; }));
}

void writeItems(BlockWriter& out, const PointerArray<TaggedItem*>& items, const std::vector<StoredPath>& paths)
{
    for (int i = 0; i < items.count(); ++i) {
        const StoredPath& path = paths[static_cast<std::size_t>(i)];
        if (path.length == 0)
            continue;
        std::uint8_t head[itemHeadSize];
        storeHead(head, {path.length, items[i]->date(), items[i]->usage()});
        out.append(head, itemHeadSize);
        if (path.utf8.isEmpty())
            out.appendAscii(items[i]->path());
        else
            out.append(path.utf8.data(), path.length);
    }
}

int storedItemCount(const Tag& tag)
{
    const PointerArray<TaggedItem*>& items = tag.items();
    return static_cast<int>(
        std::count_if(items.begin(), items.end(), [](const TaggedItem* item) { return item->orderIndex() >= 0; }));
}

void writeTags(BlockWriter& out, const PointerArray<Tag*>& tags, const std::vector<ByteArray>& names)
{
    for (int i = 0; i < tags.count(); ++i) {
        const ByteArray& name = names[static_cast<std::size_t>(i)];
        const Tag& tag = *tags[i];
        if (!name.isEmpty()) {
            std::uint8_t head[tagHeadSize];
            storeHead(head, {name.size(), tag.date(), tag.usage()});
            storeLittleEndian(head + itemHeadSize, static_cast<std::uint32_t>(storedItemCount(tag)), 4);
            out.append(head, tagHeadSize);
            out.append(name.data(), name.size());
            for (const TaggedItem* item : tag.items()) {
                if (item->orderIndex() >= 0)
                    out.appendIndex(item->orderIndex());
            }
        }
    }
}

// A tag read from the file and the item positions it lists.
struct PendingLinks {
    Tag* tag;
    std::vector<std::uint32_t> indices;
};

String textOf(const std::uint8_t* bytes, int length)
{
    return String::fromUtf8(reinterpret_cast<const char*>(bytes), length);
}

// One record as read: its head bytes, their fields and its text.
struct Record {
    std::uint8_t head[tagHeadSize];
    RecordHead fields;
    String text;
};

// Takes a record's head and text; false when either is cut short or the
// text length is outside 1..limit, which is checked before the text is read.
bool takeRecord(BlockReader& in, int headSize, int limit, Record& record)
{
    const std::uint8_t* head = in.take(headSize);
    if (!head)
        return false;
    std::memcpy(record.head, head, static_cast<std::size_t>(headSize));
    record.fields = loadHead(record.head);
    if (record.fields.length < 1 || record.fields.length > limit)
        return false;
    const std::uint8_t* text = in.take(record.fields.length);
    if (!text)
        return false;
    record.text = textOf(text, record.fields.length);
    return true;
}

// The model makes room for the records the header announces, but no more
// than the bytes left could hold: a header whose counts lie must neither
// allocate beyond the file nor fail a load it would not fail otherwise.
void reserveRecords(const BlockReader& in, LibraryModel& model, std::int32_t tagCount, std::int32_t itemCount)
{
    const std::uint64_t left = in.remaining();
    const std::uint64_t items = std::min<std::uint64_t>(std::uint64_t(itemCount), left / (itemHeadSize + 1));
    const std::uint64_t tags = std::min<std::uint64_t>(std::uint64_t(tagCount), left / (tagHeadSize + 1));
    model.reserve(static_cast<int>(tags), static_cast<int>(items));
}

bool readItems(BlockReader& in, LibraryModel& model, int count, ProgressSteps& steps)
{
    // Each path without an extension asks the disk whether it is a folder;
    // items on a drive that is gone then cost one query per missing folder.
    FolderExistenceScope folders;
    Record record;
    for (int i = 0; i < count; ++i) {
        if (!takeRecord(in, itemHeadSize, TaggedItem::maxPathBytes, record))
            return false;
        TaggedItem* item = model.addItem(std::move(record.text), record.fields.usage, record.fields.date);
        if (item)
            item->setOrderIndex(i);
        steps.done(i + 1);
    }
    return true;
}

// The index list is checked against the bytes that remain before anything
// is allocated for it.
bool readTagIndices(BlockReader& in, Tag* tag, std::int32_t count, std::vector<PendingLinks>& pending)
{
    if (count <= 0)
        return true;
    if (count > INT32_MAX / indexSize || std::uint64_t(count) * indexSize > in.remaining())
        return false;
    const std::uint8_t* at = in.take(count * indexSize);
    if (!at)
        return false;
    std::vector<std::uint32_t> indices(static_cast<std::size_t>(count));
    for (std::uint32_t& index : indices) {
        index = static_cast<std::uint32_t>(loadLittleEndian(at, indexSize));
        at += indexSize;
    }
    pending.push_back({tag, std::move(indices)});
    return true;
}

bool readTags(BlockReader& in, LibraryModel& model, int count, ProgressSteps& steps, std::vector<PendingLinks>& pending)
{
    Record record;
    for (int i = 0; i < count; ++i) {
        if (!takeRecord(in, tagHeadSize, Tag::maxNameBytes, record))
            return false;
        Tag* tag = model.addTagWithUsage(record.text, record.fields.usage, record.fields.date);
        if (!readTagIndices(in, tag, loadInt32(record.head + itemHeadSize), pending))
            return false;
        steps.done(i + 1);
    }
    return true;
}

// Links each model item, in array order, to the pending tags (in file
// order) whose lists hold its order index, each pair once. The tags are
// first sorted into one bucket per index, so the work grows with the links
// rather than with items times tags; the links come out in the same order
// as a walk over every tag's list for every item.
void linkItems(const PointerArray<TaggedItem*>& items, const std::vector<PendingLinks>& pending, ProgressSteps& steps)
{
    std::int32_t positions = 0;
    for (const TaggedItem* item : items)
        positions = std::max(positions, item->orderIndex() + 1);
    const std::size_t bucketCount = static_cast<std::size_t>(positions);
    std::vector<std::size_t> start(bucketCount + 1, 0);
    std::vector<std::size_t> lastTag(bucketCount, SIZE_MAX);
    const auto eachNewPair = [&](const auto& visit) {
        std::fill(lastTag.begin(), lastTag.end(), SIZE_MAX);
        for (std::size_t t = 0; t < pending.size(); ++t) {
            for (std::uint32_t index : pending[t].indices) {
                if (index < bucketCount && lastTag[index] != t) {
                    lastTag[index] = t;
                    visit(index, pending[t].tag);
                }
            }
        }
    };
    eachNewPair([&](std::uint32_t index, Tag*) { ++start[index + 1]; });
    for (std::size_t i = 0; i < bucketCount; ++i)
        start[i + 1] += start[i];
    std::vector<Tag*> buckets(start[bucketCount]);
    std::vector<std::size_t> next(start.begin(), start.end() - 1);
    eachNewPair([&](std::uint32_t index, Tag* tag) { buckets[next[index]++] = tag; });
    for (int k = 0; k < items.count(); ++k) {
        TaggedItem* item = items[k];
        if (item->orderIndex() >= 0) {
            const std::size_t index = static_cast<std::size_t>(item->orderIndex());
            Tag::reserveLinks(item, static_cast<int>(start[index + 1] - start[index]));
            for (std::size_t b = start[index]; b < start[index + 1]; ++b)
                Tag::linkItem(buckets[b], item);
        }
        steps.done(k + 1);
    }
}

// The whole file body through a writer of its own.
bool writeBody(Database& database, OutputStream& stream)
{
    BinaryWriter writer(&stream);
    return writer.attach() && database.write(writer);
}

// The bytes built in memory go to the file while the progress window shows.
bool writeBuilt(const MemoryOutputStream& built, OutputStream& stream, bool silent)
{
    const std::unique_ptr<ProgressWindow> progressWindow = uiHooks().createProgressWindow();
    if (!silent) {
        progressWindow->setMessage(translated(L"Saving the library..."));
        progressWindow->show();
    }
    ProgressSteps steps(*progressWindow, silent, static_cast<int>(built.blocks().size()));
    return built.writeTo(stream, [&steps](int blocksWritten) { steps.done(blocksWritten); });
}

} // namespace

Database::Database(LibraryModel* model) : m_model(model) {}

Database::~Database()
{
    reset();
}

String Database::errorText() const
{
    return errorText(m_lastError);
}

String Database::errorText(std::uint32_t code)
{
    switch (code) {
    case CannotCreate:
        return translated(L"Cannot create database file.");
    case InvalidFormat:
        return translated(L"Database format is invalid.");
    case Corrupted:
        return translated(L"Database is corrupted.");
    case UnsupportedVersion:
        return translated(L"Database version is not supported.");
    default:
        return translated(L"Unknown database error.");
    }
}

String Database::dataFolder()
{
    const Application* application = Application::instance();
    const String base = specialFolderPath(SpecialFolder::AppData);
    if (!application || application->productName().isEmpty() || base.isEmpty())
        return {};
    return base + L'\\' + application->productName() + L'\\';
}

const wchar_t* Database::defaultFileName()
{
    return L"kestrola.database";
}

String Database::defaultPath()
{
    const String folder = dataFolder();
    return folder.isEmpty() ? String() : folder + defaultFileName();
}

void Database::version(std::uint32_t& major, std::uint32_t& minor) const
{
    major = m_formatVersion[0];
    minor = m_formatVersion[1];
}

void Database::setReservedBlock(const ByteArray& block)
{
    if (&block != &m_reservedBlock)
        m_reservedBlock = block;
}

void Database::reset()
{
    m_model->clear();
    forgetFile();
}

void Database::forgetFile()
{
    m_path.clear();
    m_name.clear();
    m_created = DateTime();
    m_reservedBlock.clear();
    m_save.reset();
    m_savedContent.reset();
}

bool Database::open(const String& fileName, bool silent)
{
    const String folder = dataFolder();
    if (folder.isEmpty()) {
        reset();
        m_keptUnreadablePath.clear();
        m_lastError = CannotCreate;
        return false;
    }
    return openFile(folder + fileName, silent);
}

bool Database::openFile(const String& path, bool silent)
{
    reset();
    m_keptUnreadablePath.clear();
    m_lastError = UnknownError;
    m_path = path;
    if (!FileSystem::exists(path)) {
        createPath(folderOf(path));
        FileSystem::createNew(path);
        if (!FileSystem::exists(path)) {
            // A folder that cannot be reached now may hold the user's
            // library once it can: nothing this run did not add goes there.
            m_savedContent = contentFingerprint();
            m_lastError = CannotCreate;
            return false;
        }
    }
    const std::unique_ptr<ProgressWindow> progressWindow = uiHooks().createProgressWindow();
    // Wine reads a range another program has locked (it may be writing it)
    // as if it were free: the lock is looked for before the read.
    bool wasRead = !isFileInUse(path) && readFile(path, silent, *progressWindow);
    if (!wasRead && isFileInUse(path))
        wasRead = waitAndRead(path, silent, *progressWindow);
    if (wasRead && String::equalsIgnoreCase(path, m_heldPath))
        m_heldPath.clear();
    if (!wasRead) {
        reset();
        const bool inUse = isFileInUse(path);
        keepUnreadableFile(path, inUse);
        // A held file stays the library's place: save keeps to it.
        if (!m_heldPath.isEmpty())
            m_path = path;
        reportOpenFailure(path, inUse);
    }
    m_model->runStartupScan(silent, *progressWindow);
    if (!wasRead)
        m_savedContent = contentFingerprint();
    return wasRead;
}

// An empty file is one whose first run ended before its first save: it gets
// the first-run content as well, which reaches the file with the next save.
// Its length is taken from the open file, so a file that cannot be opened
// never gets that content on top of what a later read would find. The
// version read is taken through the same open file, which nobody can write
// meanwhile.
bool Database::readFile(const String& path, bool silent, ProgressWindow& progressWindow)
{
    FileInputStream file(path);
    if (file.isOpen() && file.size() == 0)
        m_model->createDefaults();
    // The bytes are summed as they are read, so the version costs no second
    // read of the file.
    Crc32InputStream stream(file);
    BinaryReader reader(&stream);
    if (!file.isOpen() || !reader.attach() || !read(reader, silent, progressWindow))
        return false;
    // A version that cannot be taken only makes the file not this run's.
    m_save.ownVersion() = file.version(stream);
    if (m_save.ownVersion())
        m_savedContent = m_save.ownVersion()->content;
    return true;
}

// Locks at logon (backup, sync and scanning tools) are short: the file is
// asked for again for a little while before the user is told.
bool Database::waitAndRead(const String& path, bool silent, ProgressWindow& progressWindow)
{
    const String waiting = OwnFileSave::waitingText(OwnFileSave::Kind::Library);
    if (!waitForHeldFile(path, waiting, silent, progressWindow))
        return false;
    m_model->clear();
    m_lastError = UnknownError;
    return readFile(path, silent, progressWindow);
}

// Moves the file that could not be read to a free name beside it, so that
// the next save, which writes to the default path, cannot overwrite it. A
// file in use is only busy, not damaged, and stays where it is; so does one
// that cannot be moved. Either is then never written over in this run.
void Database::keepUnreadableFile(const String& path, bool inUse)
{
    if (!inUse)
        m_keptUnreadablePath = moveAsideAsBad(path);
    if (m_keptUnreadablePath.isEmpty() && FileSystem::exists(path))
        m_heldPath = path;
}

void Database::reportOpenFailure(const String& path, bool inUse) const
{
    String text = inUse ? translated(L"The library file ^ is in use by another program.").arg(path) : errorText();
    if (!m_keptUnreadablePath.isEmpty())
        text += L'\n' + translated(L"The file was kept as ^.").arg(m_keptUnreadablePath);
    else if (!m_heldPath.isEmpty())
        text += L'\n' + translated(L"It is left as it is; what this session changes is saved beside it.");
    uiHooks().information(String(), text, String(), UiHooks::OkButton, 0);
}

bool Database::save(bool silent)
{
    // A merge that processes events must not see its items written away.
    const LibraryModel::BusyScope busy(m_model);
    if (!busy.acquired())
        return false;
    if (m_path.isEmpty())
        m_path = defaultPath();
    m_lastError = UnknownError;
    if (m_path.isEmpty())
        return false;
    // The library's bytes are built once: their checksum tells whether
    // there is anything to write, and every file written gets those bytes.
    const Built built(*this);
    const auto writeBuiltBytes = [&built, silent](OutputStream& stream) { return built.writeTo(stream, silent); };
    if (!m_save.save(m_path, writeBuiltBytes, silent, built.content == m_savedContent))
        return false;
    m_savedContent = built.content;
    return true;
}

ContentChecksum Database::contentFingerprint()
{
    return checksumOfWrite([this](OutputStream& stream) { return writeBody(*this, stream); });
}

// Whether the bytes reached memory needs no answer: only an allocation can
// fail there, and that throws.
Database::Built::Built(Database& database)
{
    Crc32Stream summed(&bytes);
    writeBody(database, summed);
    content = summed.checksum();
}

bool Database::Built::writeTo(OutputStream& stream, bool silent) const
{
    return writeBuilt(bytes, stream, silent);
}

bool Database::write(BinaryWriter& writer)
{
    const PointerArray<TaggedItem*>& items = m_model->items();
    const PointerArray<Tag*>& tags = m_model->tags();
    const std::vector<StoredPath> paths = numberItems(items);
    const std::vector<ByteArray> names = storedTagNames(tags);
    if (m_created.isNull())
        m_created = DateTime::currentUtc();
    std::uint8_t header[headerSize];
    fillHeader(header, storedCount(names), storedPathCount(paths));
    BlockWriter out(writer);
    out.append(header, headerSize);
    writeItems(out, items, paths);
    writeTags(out, tags, names);
    return out.finish();
}

void Database::fillHeader(std::uint8_t* header, int tagCount, int itemCount) const
{
    std::memset(header, 0, headerSize);
    std::memcpy(header, magic, sizeof(magic));
    storeLittleEndian(header + 4, m_formatVersion[0], 4);
    storeLittleEndian(header + 8, m_formatVersion[1], 4);
    storeLittleEndian(header + 12, 1, 4);
    storeDate(header + 16, m_created);
    const ByteArray name = m_name.toUtf8();
    const int nameLength = utf8PrefixLength(name, maxLibraryNameBytes);
    if (nameLength > 0)
        std::memcpy(header + nameOffset, name.data(), static_cast<std::size_t>(nameLength));
    if (!m_reservedBlock.isEmpty() && !m_reservedBlock.isAllZero())
        std::memcpy(header + reservedOffset, m_reservedBlock.data(),
                    static_cast<std::size_t>(std::min(m_reservedBlock.size(), reservedBlockSize)));
    storeLittleEndian(header + tagCountOffset, static_cast<std::uint32_t>(tagCount), 4);
    storeLittleEndian(header + itemCountOffset, static_cast<std::uint32_t>(itemCount), 4);
}

bool Database::read(BinaryReader& reader, bool silent, ProgressWindow& progressWindow)
{
    const InputStream* stream = reader.stream();
    if (!stream)
        return fail(Corrupted);
    if (stream->size() == 0)
        return true;
    BlockReader in(reader);
    const std::uint8_t* header = stream->size() < headerSize ? nullptr : in.take(headerSize);
    if (!header)
        return fail(Corrupted);
    const std::int32_t tagCount = loadInt32(header + tagCountOffset);
    const std::int32_t itemCount = loadInt32(header + itemCountOffset);
    if (std::memcmp(header, magic, sizeof(magic)) != 0 || tagCount < 0 || itemCount < 0)
        return fail(InvalidFormat);
    if (loadLittleEndian(header + 4, 4) != m_formatVersion[0] || loadLittleEndian(header + 8, 4) != m_formatVersion[1])
        return fail(UnsupportedVersion);
    takeHeader(header);
    reserveRecords(in, *m_model, tagCount, itemCount);
    if (!silent) {
        progressWindow.setMessage(translated(L"Loading items..."));
        progressWindow.show();
    }
    ProgressSteps itemSteps(progressWindow, silent, itemCount);
    if (!readItems(in, *m_model, itemCount, itemSteps))
        return fail(Corrupted);
    if (!silent)
        progressWindow.setMessage(translated(L"Loading tags..."));
    std::vector<PendingLinks> pending;
    ProgressSteps tagSteps(progressWindow, silent, tagCount);
    if (!readTags(in, *m_model, tagCount, tagSteps, pending))
        return fail(Corrupted);
    if (!silent) {
        progressWindow.setMessage(translated(L"Preparing data..."));
        progressWindow.setPercent(0);
    }
    ProgressSteps linkSteps(progressWindow, silent, m_model->itemCount());
    linkItems(m_model->items(), pending, linkSteps);
    return true;
}

bool Database::fail(ErrorCode code)
{
    m_lastError = code;
    return false;
}

// The name runs from its offset to the first zero byte; the field's last
// byte counts as zero whatever it holds.
void Database::takeHeader(const std::uint8_t* header)
{
    m_created = loadDate(header + 16);
    const std::uint8_t* name = header + nameOffset;
    const std::uint8_t* nameEnd = std::find(name, name + maxLibraryNameBytes, 0);
    m_name = textOf(name, static_cast<int>(nameEnd - name));
    m_reservedBlock.assign(header + reservedOffset, reservedBlockSize);
}

bool LibraryModel::openDatabase()
{
    const DatabaseDeleter deleter{[](Database* database) { delete database; }};
    m_database = std::unique_ptr<Database, DatabaseDeleter>(new Database(this), deleter);
    const bool opened = m_database->open(Database::defaultFileName(), false);
    recomputeTagUsage();
    recomputeItemUsage();
    return opened;
}
