#include "foundation/ChunkFile.h"

#include "foundation/BinaryReader.h"
#include "foundation/BinaryWriter.h"
#include "foundation/ByteArray.h"
#include "foundation/CharHelpers.h"
#include "foundation/FileStream.h"
#include "foundation/FileSystem.h"
#include "foundation/LittleEndian.h"
#include "foundation/MemoryStream.h"
#include "foundation/TextConversions.h"

#include <bit>
#include <climits>
#include <cstring>

namespace {

// Both headers start with a tag and a u32; the smallest node is 12 bytes,
// the smallest item 8.
constexpr std::uint64_t minNodeSize = 12;
constexpr std::uint64_t minItemSize = 8;

void copyTag(char (&target)[5], const char* tag)
{
    std::memset(target, 0, sizeof target);
    for (int i = 0; tag && i < 4 && tag[i]; ++i)
        target[i] = tag[i];
}

bool readTag(BinaryReader& reader, char (&target)[5])
{
    std::memset(target, 0, sizeof target);
    return reader.readBytes(target, 4) == 4;
}

// Unlike BinaryReader::readUInt32, tells a short read from a stored 0.
bool readU32(BinaryReader& reader, std::uint32_t& value)
{
    std::uint8_t bytes[4];
    if (reader.readBytes(bytes, 4) != 4)
        return false;
    value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
            std::uint32_t(bytes[3]) << 24;
    return true;
}

std::uint64_t remainingBytes(BinaryReader& reader)
{
    return reader.stream() ? reader.stream()->remaining() : 0;
}

bool sameTag(const char* a, const char* b)
{
    return strCompare(a, b) == 0;
}

template <typename T>
T* nthWithTag(const List<T*>& list, const char* tag, int index)
{
    char wanted[5];
    copyTag(wanted, tag);
    for (T* entry : list) {
        if (sameTag(entry->rawTag(), wanted) && index-- == 0)
            return entry;
    }
    return nullptr;
}

template <typename T>
void deleteAll(List<T*>& list)
{
    for (T* entry : list)
        delete entry;
    list.clear();
}

} // namespace

ChunkItem::ChunkItem(const char* tag)
{
    copyTag(m_tag, tag);
}

String ChunkItem::tag() const
{
    return String(m_tag);
}

void ChunkItem::setBytes(const void* data, std::uint32_t count)
{
    m_data.reset();
    m_size = 0;
    if (!data || count == 0)
        return;
    m_data = std::make_unique<std::uint8_t[]>(count);
    std::memcpy(m_data.get(), data, count);
    m_size = count;
}

void ChunkItem::setLittleEndian(std::uint64_t value, int width)
{
    std::uint8_t bytes[8];
    storeLittleEndian(bytes, value, width);
    setBytes(bytes, static_cast<std::uint32_t>(width));
}

void ChunkItem::setU8(std::uint8_t value)
{
    setLittleEndian(value, 1);
}

void ChunkItem::setBool(bool value)
{
    setLittleEndian(value ? 1 : 0, 1);
}

void ChunkItem::setU32(std::uint32_t value)
{
    setLittleEndian(value, 4);
}

void ChunkItem::setInt32(std::int32_t value)
{
    setLittleEndian(static_cast<std::uint32_t>(value), 4);
}

void ChunkItem::setFloat(float value)
{
    setLittleEndian(std::bit_cast<std::uint32_t>(value), 4);
}

void ChunkItem::setDouble(double value)
{
    setLittleEndian(std::bit_cast<std::uint64_t>(value), 8);
}

void ChunkItem::setU64(std::uint64_t value)
{
    setLittleEndian(value, 8);
}

void ChunkItem::setString(const String& text)
{
    ByteArray bytes;
    if (!text.toEncoding(CodePageUtf8, bytes) || bytes.isEmpty())
        return;
    setBytes(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

std::uint64_t ChunkItem::readLittleEndian(int width) const
{
    if (m_size < static_cast<std::uint32_t>(width))
        return 0;
    return loadLittleEndian(m_data.get(), width);
}

std::uint8_t ChunkItem::getU8() const
{
    return static_cast<std::uint8_t>(readLittleEndian(1));
}

bool ChunkItem::getBool() const
{
    return readLittleEndian(1) != 0;
}

std::int32_t ChunkItem::getInt32() const
{
    return static_cast<std::int32_t>(readLittleEndian(4));
}

std::uint32_t ChunkItem::getU32() const
{
    return static_cast<std::uint32_t>(readLittleEndian(4));
}

float ChunkItem::getFloat() const
{
    return std::bit_cast<float>(static_cast<std::uint32_t>(readLittleEndian(4)));
}

double ChunkItem::getDouble() const
{
    return std::bit_cast<double>(readLittleEndian(8));
}

std::int64_t ChunkItem::getInt64() const
{
    return static_cast<std::int64_t>(readLittleEndian(8));
}

String ChunkItem::getString() const
{
    String text;
    if (m_size == 0 || m_size > INT_MAX)
        return text;
    if (!decodeText(CodePageUtf8, reinterpret_cast<const char*>(m_data.get()), static_cast<int>(m_size), text))
        return String();
    return text;
}

void ChunkItem::copyTo(void* destination, std::uint32_t count) const
{
    if (!destination || m_size == 0)
        return;
    std::memcpy(destination, m_data.get(), count < m_size ? count : m_size);
}

ByteArray ChunkItem::toByteArray() const
{
    if (m_size > INT_MAX)
        return ByteArray();
    return ByteArray(m_data.get(), static_cast<int>(m_size));
}

std::int64_t ChunkItem::read(BinaryReader& reader)
{
    setBytes(nullptr, 0);
    std::uint32_t size = 0;
    if (!readTag(reader, m_tag) || !readU32(reader, size))
        return -1;
    if (size == 0)
        return std::int64_t(minItemSize);
    if (size > INT_MAX || size > remainingBytes(reader))
        return -1;
    auto data = std::make_unique<std::uint8_t[]>(size);
    if (reader.readBytes(data.get(), size) != size)
        return -1;
    m_data = std::move(data);
    m_size = size;
    return std::int64_t(minItemSize) + size;
}

bool ChunkItem::write(BinaryWriter& writer) const
{
    if (writer.writeBytes(m_tag, 4) != 4 || !writer.writeUInt32(m_size))
        return false;
    return m_size == 0 || writer.writeBytes(m_data.get(), m_size) == std::int64_t(m_size);
}

ChunkNode::ChunkNode() = default;

ChunkNode::ChunkNode(const char* tag)
{
    copyTag(m_tag, tag);
}

ChunkNode::~ChunkNode()
{
    clear();
}

String ChunkNode::tag() const
{
    return String(m_tag);
}

ChunkNode* ChunkNode::childNode(const char* tag, int index) const
{
    return nthWithTag(m_children, tag, index);
}

ChunkItem* ChunkNode::item(const char* tag, int index) const
{
    return nthWithTag(m_items, tag, index);
}

ChunkNode* ChunkNode::addChildNode(const char* tag)
{
    auto* node = new ChunkNode(tag);
    m_children.append(node);
    return node;
}

ChunkItem* ChunkNode::addItem(const char* tag)
{
    auto* item = new ChunkItem(tag);
    m_items.append(item);
    return item;
}

void ChunkNode::appendChildNode(ChunkNode* node)
{
    if (node)
        m_children.append(node);
}

void ChunkNode::clearChildren()
{
    deleteAll(m_children);
}

void ChunkNode::clearItems()
{
    deleteAll(m_items);
}

void ChunkNode::clear()
{
    clearChildren();
    clearItems();
}

std::uint64_t ChunkNode::contentSize() const
{
    std::uint64_t size = 0;
    for (const ChunkNode* child : m_children)
        size += child->totalSize();
    for (const ChunkItem* item : m_items)
        size += item->totalSize();
    return size;
}

std::int64_t ChunkNode::read(BinaryReader& reader)
{
    return read(reader, 0);
}

std::int64_t ChunkNode::read(BinaryReader& reader, int depth)
{
    clear();
    if (depth > maxChunkDepth || !readTag(reader, m_tag))
        return -1;
    const std::int64_t children = readChildren(reader, depth);
    if (children < 0)
        return -1;
    const std::int64_t items = readItems(reader);
    if (items < 0)
        return -1;
    return 4 + children + items;
}

// The count and every child; a count that the remaining bytes cannot hold
// fails before any child is made.
std::int64_t ChunkNode::readChildren(BinaryReader& reader, int depth)
{
    std::uint32_t count = 0;
    if (!readU32(reader, count) || count > remainingBytes(reader) / minNodeSize)
        return -1;
    std::int64_t consumed = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        auto* child = new ChunkNode;
        m_children.append(child);
        const std::int64_t size = child->read(reader, depth + 1);
        if (size < 0)
            return -1;
        consumed += size;
    }
    return consumed;
}

std::int64_t ChunkNode::readItems(BinaryReader& reader)
{
    std::uint32_t count = 0;
    if (!readU32(reader, count) || count > remainingBytes(reader) / minItemSize)
        return -1;
    std::int64_t consumed = 4;
    for (std::uint32_t i = 0; i < count; ++i) {
        ChunkItem* item = addItem(nullptr);
        const std::int64_t size = item->read(reader);
        if (size < 0)
            return -1;
        consumed += size;
    }
    return consumed;
}

bool ChunkNode::write(BinaryWriter& writer) const
{
    if (writer.writeBytes(m_tag, 4) != 4 || !writer.writeUInt32(static_cast<std::uint32_t>(m_children.count())))
        return false;
    for (const ChunkNode* child : m_children) {
        if (!child->write(writer))
            return false;
    }
    if (!writer.writeUInt32(static_cast<std::uint32_t>(m_items.count())))
        return false;
    for (const ChunkItem* item : m_items) {
        if (!item->write(writer))
            return false;
    }
    return true;
}

ChunkFile::ChunkFile() : m_root("ROOT") {}

bool ChunkFile::load(const String& path)
{
    close();
    if (m_formatTag == 0 || !fileExists(path))
        return false;
    FileInputStream stream(path);
    m_loaded = readFrom(stream);
    if (m_loaded)
        m_path = path;
    return m_loaded;
}

bool ChunkFile::loadFromMemory(const void* data, std::uint64_t size)
{
    close();
    if (m_formatTag == 0)
        return false;
    MemoryStream stream(data, size, false);
    m_loaded = readFrom(stream);
    return m_loaded;
}

// A failure empties the tree, so no caller ever sees half of a file.
bool ChunkFile::readFrom(InputStream& stream)
{
    if (readTree(stream))
        return true;
    m_root.clear();
    return false;
}

bool ChunkFile::readTree(InputStream& stream)
{
    m_root.clear();
    BinaryReader reader(&stream);
    if (!reader.attach())
        return false;
    const std::uint64_t total = stream.size();
    std::uint32_t tag = 0;
    if (!readU32(reader, tag) || tag != m_formatTag)
        return false;
    const std::int64_t consumed = m_root.read(reader);
    return consumed >= 0 && std::uint64_t(consumed) == total - 4;
}

bool ChunkFile::save(const String& path) const
{
    return writeFileAtomically(path, [this](FileOutputStream& stream) {
        BinaryWriter writer(&stream);
        return writer.attach() && writer.writeUInt32(m_formatTag) && m_root.write(writer);
    });
}

void ChunkFile::close()
{
    if (!m_loaded)
        return;
    m_root.clear();
    m_path.clear();
    m_loaded = false;
}
