#pragma once

#include "foundation/ByteArray.h"
#include "foundation/String.h"
#include "foundation/StringList.h"
#include "graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <optional>

class MimeData;
struct IDataObject;

// The byte layouts in which MimeData travels through the platform's
// transfer blocks (drag and drop, the clipboard, the shell's data objects).
// Numbers are little-endian. Writers return an empty ByteArray when the
// payload cannot be laid out; readers check every size against the block
// and answer nothing for a block that fails a check.

// The private clipboard format "CF_DE4C14DD-E9D4-44f6-BC72-7DCC4309BBEF",
// registered on first use and kept for the whole run.
std::uint16_t privateTransferFormat();

// Longest format name a private block holds, in UTF-16 units.
constexpr int privateFormatNameLimit = 255;
// The private block's header: 512 bytes of name, then the payload length.
constexpr int privateBlockHeaderSize = 516;
constexpr int dibHeaderSize = 40;

// CF_UNICODETEXT: the units, a zero unit and two spare zero bytes.
ByteArray textBlock(const String& text);
// The text up to the first zero unit; nothing when no complete zero unit
// lies inside the block.
std::optional<String> textFromBlock(const std::uint8_t* block, std::size_t size);

// CF_HDROP: a 20-byte header (list offset 20, wide flag 1), each path with
// a zero unit, and a final zero unit.
ByteArray fileListBlock(const StringList& paths);
// The names of a wide or ANSI list, up to the first empty name; a name
// that runs past the block is left out. Empty when nothing is read.
StringList fileListFromBlock(const std::uint8_t* block, std::size_t size);

// The image itself at 32 bits per pixel (the pixels shared); a 24-bit one
// as a new 32-bit image with alpha 255.
Bitmap widenedTo32Bits(const Bitmap& image);

// CF_DIB: a BITMAPINFOHEADER for 32 bits bottom-up, then the rows
// bottom-up. A 24-bit image is widened to 32 bits first. Empty for a null
// image.
ByteArray dibBlock(const Bitmap& image);
// Bottom-up, uncompressed 24- or 32-bit DIBs with stride x height pixel
// bytes after the header (more may follow); a 32-bit image with alpha as
// stored, a 24-bit one with alpha 255. The empty Bitmap otherwise.
Bitmap bitmapFromDibBlock(const std::uint8_t* block, std::size_t size);

// The private format: the name (cut to privateFormatNameLimit units,
// zero-padded to 512 bytes), the payload length as 32 bits, the payload.
ByteArray privateBlock(const String& format, const ByteArray& payload);
struct PrivateTransferEntry {
    String format;
    ByteArray bytes;
};
// Nothing for a block shorter than the header or whose stated length runs
// past its end.
std::optional<PrivateTransferEntry> privateEntryFromBlock(const std::uint8_t* block, std::size_t size);

// Global memory (HGLOBAL) for the platform's transfer calls. A new
// movable, zero-filled block holding the bytes; null for no bytes or when
// the allocation fails.
void* globalBlockOf(const ByteArray& bytes);
// A copy of a global block's bytes; empty when it cannot be locked or
// holds 2^31 bytes or more.
ByteArray bytesOfGlobalBlock(void* block);

// Writes one HGLOBAL block per entry, in entry order, into the data
// object, which takes each block over; returns how many it took.
int renderDragData(IDataObject* dataObject, const MimeData& data);
// Reads text, the file list, the image and the private block, in that
// order, from what the data object offers, into data; returns data's
// entry count. Every medium goes back with ReleaseStgMedium.
int readDroppedData(IDataObject* dataObject, MimeData& data);
