#include "foundation/Crc32.h"

#include <windows.h>

#include <array>

namespace {

using Table = std::array<std::array<std::uint32_t, 256>, 8>;

// Table k gives the register's change for a byte followed by k zero bytes,
// so eight bytes are folded in with eight independent look-ups.
constexpr Table makeTables()
{
    Table tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::uint32_t n = 0; n < 256; ++n)
            tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
    }
    return tables;
}

constexpr Table tables = makeTables();

std::uint32_t updateByte(std::uint32_t crc, std::uint8_t byte)
{
    return tables[0][(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

// Works on the running (not yet complemented) register; every path of the
// library is hashed on load, so eight bytes go in per step.
std::uint32_t update(std::uint32_t crc, const std::uint8_t* bytes, std::size_t length)
{
    for (; length >= 8; bytes += 8, length -= 8) {
        const std::uint32_t low = crc ^ (std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                         std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24);
        crc = tables[7][low & 0xFF] ^ tables[6][(low >> 8) & 0xFF] ^ tables[5][(low >> 16) & 0xFF] ^
              tables[4][low >> 24] ^ tables[3][bytes[4]] ^ tables[2][bytes[5]] ^ tables[1][bytes[6]] ^
              tables[0][bytes[7]];
    }
    for (; length > 0; ++bytes, --length)
        crc = updateByte(crc, *bytes);
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

void Crc32Builder::add(const void* data, std::uint32_t length)
{
    if (!data || length == 0)
        return;
    m_register = update(m_register, static_cast<const std::uint8_t*>(data), length);
    m_added = true;
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
