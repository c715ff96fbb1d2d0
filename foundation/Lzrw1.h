#pragma once

#include <cstdint>

class ByteArray;

// LZRW1 compression. A block starts with a 4-byte field whose first byte is
// the flag: 1 stored, anything else (the compressor writes 0) compressed. A
// compressed block then holds groups of a 16-bit control word (low byte
// first, bit 0 for the first item) and up to 16 items: a literal byte (bit
// clear) or a two-byte copy item (bit set) of (b0 & 0x0F) + 1 bytes from
// ((b0 & 0xF0) << 4) | b1 bytes back in the output.

// Compresses length bytes into destination, which must hold length + 255
// bytes, and returns the block length. Never fails: data that does not
// shrink is stored (flag 1, length + 4 bytes). -1 for a negative length or a
// null pointer.
int lzrw1Compress(const std::uint8_t* source, int length, std::uint8_t* destination);

// Expands a block into destination, which holds capacity bytes, and returns
// the number of bytes produced. -1 for a block that is malformed or would
// write past capacity; nothing is ever read or written outside the two
// buffers.
int lzrw1Decompress(const std::uint8_t* block, int blockLength, std::uint8_t* destination, int capacity);

// The compressed container: the uncompressed length as u32 little-endian,
// then one block. False for a negative or too large length.
bool compressToByteArray(const std::uint8_t* data, int length, ByteArray& out);
// False, with out empty, for a container that is malformed or whose block
// does not expand to exactly the stated length.
bool decompressFromByteArray(const std::uint8_t* data, int size, ByteArray& out);
