#include "ui/TransferFormats.h"

#include "foundation/LittleEndian.h"
#include "ui/MimeData.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

constexpr int dropFilesHeaderSize = 20;
constexpr int privateNameBytes = 512;

// A zero-filled array of exactly size bytes; empty when size does not fit.
ByteArray zeroedBytes(std::int64_t size)
{
    ByteArray bytes;
    if (size > 0 && size <= INT_MAX)
        bytes.resize(static_cast<int>(size));
    return bytes;
}

void storeUnits(std::uint8_t* at, const String& text, int count)
{
    for (int i = 0; i < count; ++i)
        storeLittleEndian(at + 2 * std::size_t(i), text.at(i), 2);
}

std::uint32_t load32(const std::uint8_t* at)
{
    return static_cast<std::uint32_t>(loadLittleEndian(at, 4));
}

std::int32_t loadSigned32(const std::uint8_t* at)
{
    return static_cast<std::int32_t>(load32(at));
}

// The units from begin up to the first zero unit before end, and where
// that zero unit lies; nothing when none does.
struct UnitRun {
    String text;
    std::size_t next;
};

std::optional<UnitRun> unitsToZero(const std::uint8_t* block, std::size_t begin, std::size_t end)
{
    String text;
    for (std::size_t at = begin; at + 2 <= end; at += 2) {
        const auto unit = static_cast<wchar_t>(loadLittleEndian(block + at, 2));
        if (unit == 0)
            return UnitRun{text, at + 2};
        text.append(unit);
    }
    return std::nullopt;
}

std::optional<UnitRun> bytesToZero(const std::uint8_t* block, std::size_t begin, std::size_t end)
{
    const void* zero = std::memchr(block + begin, 0, end - begin);
    if (!zero)
        return std::nullopt;
    const std::size_t length = static_cast<const std::uint8_t*>(zero) - (block + begin);
    const auto* start = reinterpret_cast<const char*>(block + begin);
    return UnitRun{String::fromAnsi(start, static_cast<int>(length)), begin + length + 1};
}

FORMATETC hglobalFormat(std::uint16_t format)
{
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

std::uint16_t formatOf(const MimeEntry& entry)
{
    if (entry.format() == mimeTextFormat)
        return CF_UNICODETEXT;
    if (entry.format() == mimeFileListFormat)
        return CF_HDROP;
    if (entry.format() == mimeImageFormat)
        return CF_DIB;
    return privateTransferFormat();
}

ByteArray blockOf(const MimeEntry& entry)
{
    if (entry.format() == mimeTextFormat)
        return textBlock(static_cast<const MimeTextEntry&>(entry).text);
    if (entry.format() == mimeFileListFormat)
        return fileListBlock(static_cast<const MimeFileListEntry&>(entry).paths);
    if (entry.format() == mimeImageFormat)
        return dibBlock(static_cast<const MimeImageEntry&>(entry).image);
    return privateBlock(entry.format(), static_cast<const MimeBytesEntry&>(entry).bytes);
}

bool storeBlock(IDataObject* dataObject, std::uint16_t format, const ByteArray& bytes)
{
    void* block = globalBlockOf(bytes);
    if (!block)
        return false;
    FORMATETC formatEtc = hglobalFormat(format);
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = static_cast<HGLOBAL>(block);
    if (SUCCEEDED(dataObject->SetData(&formatEtc, &medium, TRUE)))
        return true;
    GlobalFree(block);
    return false;
}

// The bytes of one offered format; empty when it is not offered as
// global memory or cannot be read.
ByteArray fetchBlock(IDataObject* dataObject, std::uint16_t format)
{
    FORMATETC formatEtc = hglobalFormat(format);
    if (dataObject->QueryGetData(&formatEtc) != S_OK)
        return ByteArray();
    STGMEDIUM medium = {};
    if (FAILED(dataObject->GetData(&formatEtc, &medium)))
        return ByteArray();
    ByteArray bytes = medium.tymed == TYMED_HGLOBAL ? bytesOfGlobalBlock(medium.hGlobal) : ByteArray();
    ReleaseStgMedium(&medium);
    return bytes;
}

void readBlock(const ByteArray& bytes, std::uint16_t format, MimeData& data)
{
    const std::uint8_t* block = bytes.data();
    const auto size = static_cast<std::size_t>(bytes.size());
    if (format == CF_UNICODETEXT) {
        if (std::optional<String> text = textFromBlock(block, size))
            data.setText(*text);
    } else if (format == CF_HDROP) {
        const StringList paths = fileListFromBlock(block, size);
        if (!paths.isEmpty())
            data.setFilePaths(paths);
    } else if (format == CF_DIB) {
        const Bitmap image = bitmapFromDibBlock(block, size);
        if (!image.isNull())
            data.setImage(image);
    } else if (std::optional<PrivateTransferEntry> entry = privateEntryFromBlock(block, size)) {
        data.setData(entry->format, entry->bytes);
    }
}

} // namespace

Bitmap widenedTo32Bits(const Bitmap& image)
{
    if (image.isNull() || image.bitsPerPixel() == 32)
        return image;
    return Bitmap::fromPixels(image.bits(), image.width(), image.height(), false, image.byteCount());
}

std::uint16_t privateTransferFormat()
{
    static const auto format =
        static_cast<std::uint16_t>(RegisterClipboardFormatW(L"CF_DE4C14DD-E9D4-44f6-BC72-7DCC4309BBEF"));
    return format;
}

ByteArray textBlock(const String& text)
{
    ByteArray bytes = zeroedBytes(2 * std::int64_t(text.length()) + 4);
    if (!bytes.isEmpty())
        storeUnits(bytes.data(), text, text.length());
    return bytes;
}

std::optional<String> textFromBlock(const std::uint8_t* block, std::size_t size)
{
    if (!block)
        return std::nullopt;
    std::optional<UnitRun> run = unitsToZero(block, 0, size);
    if (!run)
        return std::nullopt;
    return run->text;
}

ByteArray fileListBlock(const StringList& paths)
{
    std::int64_t units = 0;
    for (const String& path : paths)
        units += path.length() + 1;
    ByteArray bytes = zeroedBytes(2 * units + dropFilesHeaderSize + 2);
    if (bytes.isEmpty())
        return bytes;
    std::uint8_t* at = bytes.data();
    storeLittleEndian(at, dropFilesHeaderSize, 4);
    storeLittleEndian(at + 16, 1, 4);
    at += dropFilesHeaderSize;
    for (const String& path : paths) {
        storeUnits(at, path, path.length());
        at += 2 * (std::size_t(path.length()) + 1);
    }
    return bytes;
}

StringList fileListFromBlock(const std::uint8_t* block, std::size_t size)
{
    StringList paths;
    if (!block || size < dropFilesHeaderSize)
        return paths;
    const std::size_t listStart = load32(block);
    const bool wide = load32(block + 16) != 0;
    if (listStart < dropFilesHeaderSize || listStart > size)
        return paths;
    std::size_t at = listStart;
    while (true) {
        std::optional<UnitRun> name = wide ? unitsToZero(block, at, size) : bytesToZero(block, at, size);
        if (!name || name->text.isEmpty())
            return paths;
        paths.append(name->text);
        at = name->next;
    }
}

ByteArray dibBlock(const Bitmap& image)
{
    if (image.isNull())
        return ByteArray();
    const Bitmap flipped = widenedTo32Bits(image).mirrored(false, true);
    if (flipped.isNull())
        return ByteArray();
    ByteArray bytes = zeroedBytes(std::int64_t(dibHeaderSize) + flipped.byteCount());
    if (bytes.isEmpty())
        return bytes;
    std::uint8_t* at = bytes.data();
    storeLittleEndian(at, dibHeaderSize, 4);
    storeLittleEndian(at + 4, std::uint32_t(flipped.width()), 4);
    storeLittleEndian(at + 8, std::uint32_t(flipped.height()), 4);
    storeLittleEndian(at + 12, 1, 2);
    storeLittleEndian(at + 14, 32, 2);
    std::memcpy(at + dibHeaderSize, flipped.bits(), flipped.byteCount());
    return bytes;
}

Bitmap bitmapFromDibBlock(const std::uint8_t* block, std::size_t size)
{
    if (!block || size < dibHeaderSize)
        return Bitmap();
    const std::int32_t width = loadSigned32(block + 4);
    const std::int32_t height = loadSigned32(block + 8);
    const auto planes = loadLittleEndian(block + 12, 2);
    const auto bitCount = loadLittleEndian(block + 14, 2);
    const std::uint32_t compression = load32(block + 16);
    if (load32(block) != dibHeaderSize || width <= 0 || height <= 0 || planes != 1 || compression != BI_RGB ||
        (bitCount != 24 && bitCount != 32))
        return Bitmap();
    const std::uint64_t stride = (std::uint64_t(width) * bitCount + 31) / 32 * 4;
    const std::uint64_t pixelBytes = stride * std::uint64_t(height);
    if (pixelBytes > size - dibHeaderSize || pixelBytes > INT_MAX)
        return Bitmap();
    const Bitmap bottomUp = Bitmap::fromPixels(block + dibHeaderSize, width, height, bitCount == 32,
                                               static_cast<std::int64_t>(pixelBytes));
    return bottomUp.isNull() ? Bitmap() : bottomUp.mirrored(false, true);
}

ByteArray privateBlock(const String& format, const ByteArray& payload)
{
    ByteArray bytes = zeroedBytes(std::int64_t(privateBlockHeaderSize) + payload.size());
    if (bytes.isEmpty())
        return bytes;
    std::uint8_t* at = bytes.data();
    storeUnits(at, format, std::min(format.length(), privateFormatNameLimit));
    storeLittleEndian(at + privateNameBytes, std::uint32_t(payload.size()), 4);
    if (!payload.isEmpty())
        std::memcpy(at + privateBlockHeaderSize, payload.data(), std::size_t(payload.size()));
    return bytes;
}

std::optional<PrivateTransferEntry> privateEntryFromBlock(const std::uint8_t* block, std::size_t size)
{
    if (!block || size < privateBlockHeaderSize)
        return std::nullopt;
    // The unit after the longest name counts as zero whatever it holds.
    String format;
    for (int i = 0; i < privateFormatNameLimit; ++i) {
        const auto unit = static_cast<wchar_t>(loadLittleEndian(block + 2 * std::size_t(i), 2));
        if (unit == 0)
            break;
        format.append(unit);
    }
    const std::uint32_t length = load32(block + privateNameBytes);
    if (length > size - privateBlockHeaderSize)
        return std::nullopt;
    return PrivateTransferEntry{format, ByteArray(block + privateBlockHeaderSize, static_cast<int>(length))};
}

void* globalBlockOf(const ByteArray& bytes)
{
    if (bytes.isEmpty())
        return nullptr;
    HGLOBAL block = GlobalAlloc(GHND, std::size_t(bytes.size()));
    if (!block)
        return nullptr;
    void* at = GlobalLock(block);
    if (!at) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(at, bytes.data(), std::size_t(bytes.size()));
    GlobalUnlock(block);
    return block;
}

ByteArray bytesOfGlobalBlock(void* block)
{
    const std::size_t size = block ? GlobalSize(block) : 0;
    if (size == 0 || size > INT_MAX)
        return ByteArray();
    const void* at = GlobalLock(block);
    if (!at)
        return ByteArray();
    ByteArray bytes(static_cast<const std::uint8_t*>(at), static_cast<int>(size));
    GlobalUnlock(block);
    return bytes;
}

int renderDragData(IDataObject* dataObject, const MimeData& data)
{
    if (!dataObject)
        return 0;
    int stored = 0;
    for (const MimeEntry* entry : data.entries()) {
        if (storeBlock(dataObject, formatOf(*entry), blockOf(*entry)))
            ++stored;
    }
    return stored;
}

int readDroppedData(IDataObject* dataObject, MimeData& data)
{
    if (!dataObject)
        return data.count();
    const std::uint16_t formats[] = {CF_UNICODETEXT, CF_HDROP, CF_DIB, privateTransferFormat()};
    for (std::uint16_t format : formats)
        readBlock(fetchBlock(dataObject, format), format, data);
    return data.count();
}
