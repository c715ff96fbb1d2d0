#include "foundation/Crc32.h"

#include <windows.h>

#include <array>

namespace {

constexpr std::array<std::uint32_t, 256> makeTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> table = makeTable();

// Works on the running (not yet complemented) register.
std::uint32_t update(std::uint32_t crc, const std::uint8_t* bytes, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

} // namespace

bool crc32(const void* data, std::uint32_t length, std::uint32_t* value)
{
    if (!data || !value || length == 0 || length == 0xFFFFFFFFu)
        return false;
    *value = ~update(0xFFFFFFFFu, static_cast<const std::uint8_t*>(data), length);
    return true;
}

bool crc32OfFile(const String& path, std::uint32_t* value)
{
    if (!value)
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::uint32_t crc = 0xFFFFFFFFu;
    std::uint8_t block[4096];
    bool ok = true;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, block, sizeof(block), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        crc = update(crc, block, got);
    }
    CloseHandle(file);
    if (ok)
        *value = ~crc;
    return ok;
}

Crc32::Crc32(const void* data, std::uint32_t length)
{
    if (!crc32(data, length, &m_value))
        m_value = 0;
}

Crc32::Crc32(const String& filePath)
{
    if (!crc32OfFile(filePath, &m_value))
        m_value = 0;
}

String Crc32::toText() const
{
    return String::toHex(m_value);
}
