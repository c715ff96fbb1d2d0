#include "foundation/Memory.h"

#include <algorithm>
#include <cstring>

void zeroMemory(void* pointer, std::size_t count)
{
    if (count > 0)
        std::memset(pointer, 0, count);
}

void fillMemory(void* pointer, unsigned char value, std::size_t count)
{
    if (count > 0)
        std::memset(pointer, value, count);
}

void copyMemory(void* destination, const void* source, std::size_t count)
{
    if (count > 0)
        std::memcpy(destination, source, count);
}

void moveMemory(void* destination, const void* source, std::size_t count)
{
    if (count > 0)
        std::memmove(destination, source, count);
}

// Blocks are swapped in place, so no scratch copy of the data is left in
// freed memory.
void reverseBlocks(void* data, std::size_t size, std::size_t blockSize)
{
    if (!data || size == 0 || blockSize == 0 || size % blockSize != 0)
        return;
    auto* bytes = static_cast<unsigned char*>(data);
    std::size_t front = 0;
    std::size_t back = size - blockSize;
    while (front < back) {
        std::swap_ranges(bytes + front, bytes + front + blockSize, bytes + back);
        front += blockSize;
        back -= blockSize;
    }
}
