#pragma once

#include <cstddef>

// Raw memory functions for callers that work on bytes. A count of 0 does
// nothing, and then the pointers may be null.

void zeroMemory(void* pointer, std::size_t count);
void fillMemory(void* pointer, unsigned char value, std::size_t count);
// The ranges must not overlap.
void copyMemory(void* destination, const void* source, std::size_t count);
// The ranges may overlap.
void moveMemory(void* destination, const void* source, std::size_t count);
// Reverses the order of the blocks of blockSize bytes (the first swapped
// with the last, and so on inwards); the bytes inside a block keep their
// order. Nothing happens unless size is a positive whole multiple of
// blockSize.
void reverseBlocks(void* data, std::size_t size, std::size_t blockSize);
