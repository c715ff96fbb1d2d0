#pragma once

#include "foundation/List.h"
#include "foundation/String.h"

#include <cstdint>
#include <memory>

class BinaryReader;
class BinaryWriter;
class ByteArray;
class InputStream;

// A small binary container: a 4-byte format tag, then one tree of tagged
// nodes, each holding child nodes and tagged data items. Little-endian,
// no gaps, no checksum:
//   file = format tag (4), root node
//   node = tag (4), child count (u32), children, item count (u32), items
//   item = tag (4), data size (u32), data
// Tags are four ASCII characters compared exactly as zero-terminated 8-bit
// texts. Items hold bytes only; the reader knows their type.

// The u32 of a four-character tag as it lies in the file: "LANG" is the
// bytes 4C 41 4E 47, read little-endian.
constexpr std::uint32_t chunkTag(const char (&text)[5])
{
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[0])) |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<std::uint8_t>(text[3])) << 24;
}

// Nodes nested deeper than this below the root fail a load, so a hostile
// file cannot exhaust the stack.
constexpr int maxChunkDepth = 256;

class ChunkItem {
public:
    // The first four characters of the tag are kept.
    explicit ChunkItem(const char* tag);
    virtual ~ChunkItem() = default;
    ChunkItem(const ChunkItem&) = delete;
    ChunkItem& operator=(const ChunkItem&) = delete;

    String tag() const;
    const char* rawTag() const { return m_tag; }
    bool isEmpty() const { return m_size == 0; }
    std::uint32_t size() const { return m_size; }
    // Null when empty.
    const std::uint8_t* data() const { return m_data.get(); }
    std::uint64_t totalSize() const { return std::uint64_t(m_size) + 8; }

    // Each setter replaces the data with a copy of the value's bytes.
    void setBytes(const void* data, std::uint32_t count);
    void setU8(std::uint8_t value);
    void setBool(bool value);
    void setU32(std::uint32_t value);
    void setInt32(std::int32_t value);
    void setFloat(float value);
    void setDouble(double value);
    void setU64(std::uint64_t value);
    // UTF-8 without terminator; an empty text, or one that cannot be
    // converted, leaves the data as it was.
    void setString(const String& text);

    // The typed getters read the first bytes of the data; an item shorter
    // than the type gives 0 (false).
    std::uint8_t getU8() const;
    bool getBool() const;
    std::int32_t getInt32() const;
    std::uint32_t getU32() const;
    float getFloat() const;
    double getDouble() const;
    std::int64_t getInt64() const;
    // The data decoded as UTF-8; empty for an empty item or bytes that do
    // not decode.
    String getString() const;
    // Copies count bytes, at most the item's size.
    void copyTo(void* destination, std::uint32_t count) const;
    ByteArray toByteArray() const;

    // Bytes consumed, or -1 when the input is short or claims more data
    // than remains (nothing is allocated then).
    std::int64_t read(BinaryReader& reader);
    bool write(BinaryWriter& writer) const;

private:
    std::uint64_t readLittleEndian(int width) const;
    void setLittleEndian(std::uint64_t value, int width);

    char m_tag[5] = {};
    std::unique_ptr<std::uint8_t[]> m_data;
    std::uint32_t m_size = 0;
};

class ChunkNode {
public:
    ChunkNode();
    explicit ChunkNode(const char* tag);
    virtual ~ChunkNode();
    ChunkNode(const ChunkNode&) = delete;
    ChunkNode& operator=(const ChunkNode&) = delete;

    String tag() const;
    const char* rawTag() const { return m_tag; }
    const List<ChunkNode*>& children() const { return m_children; }
    const List<ChunkItem*>& items() const { return m_items; }
    bool hasChildren() const { return !m_children.isEmpty(); }
    bool hasItems() const { return !m_items.isEmpty(); }

    // The index-th (from 0) child or item with this tag; null when there
    // are fewer.
    ChunkNode* childNode(const char* tag, int index = 0) const;
    ChunkItem* item(const char* tag, int index = 0) const;

    ChunkNode* addChildNode(const char* tag);
    ChunkItem* addItem(const char* tag);
    // Takes ownership.
    void appendChildNode(ChunkNode* node);

    void clearChildren();
    void clearItems();
    void clear();

    // Children (each 12 bytes plus its content) and items (each 8 bytes
    // plus its data).
    std::uint64_t contentSize() const;
    std::uint64_t totalSize() const { return contentSize() + 12; }

    // Empties the node, then reads it with its subtree. Bytes consumed, or
    // -1 when the input is short, a count or size cannot be satisfied by
    // the bytes that remain, or nesting exceeds maxChunkDepth.
    std::int64_t read(BinaryReader& reader);
    bool write(BinaryWriter& writer) const;

private:
    std::int64_t read(BinaryReader& reader, int depth);
    std::int64_t readChildren(BinaryReader& reader, int depth);
    std::int64_t readItems(BinaryReader& reader);

    char m_tag[5] = {};
    List<ChunkItem*> m_items;
    List<ChunkNode*> m_children;
};

class ChunkFile {
public:
    ChunkFile();
    virtual ~ChunkFile() = default;
    ChunkFile(const ChunkFile&) = delete;
    ChunkFile& operator=(const ChunkFile&) = delete;

    void setFormatTag(std::uint32_t tag) { m_formatTag = tag; }
    std::uint32_t formatTag() const { return m_formatTag; }
    ChunkNode* root() { return &m_root; }
    const ChunkNode* root() const { return &m_root; }
    // The file last loaded; empty unless loaded from a path.
    const String& path() const { return m_path; }
    bool isLoaded() const { return m_loaded; }
    std::uint64_t fileSize() const { return m_root.totalSize() + 4; }

    // False without a format tag, for a missing file, a different format
    // tag, a malformed tree or bytes after the tree. A failed load leaves
    // the tree empty.
    bool load(const String& path);
    // The same over bytes that the caller keeps alive during the call.
    bool loadFromMemory(const void* data, std::uint64_t size);
    // Replaces the file through a temporary file, so a failed save keeps the
    // old one; false for an empty path or any failed write.
    bool save(const String& path) const;
    // When loaded: empties the tree and the path.
    void close();

private:
    bool readFrom(InputStream& stream);
    bool readTree(InputStream& stream);

    String m_path;
    std::uint32_t m_formatTag = 0;
    ChunkNode m_root;
    bool m_loaded = false;
};
