#include "foundation/Crc32.h"

#include <windows.h>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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
std::uint32_t updateByTables(std::uint32_t crc, const std::uint8_t* bytes, std::size_t length)
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

#if defined(__x86_64__)

// x^n modulo the polynomial, bit-reflected and shifted once, as carry-less
// multiplication wants it: a block of 16 bytes folds onto the one d bits
// after it by multiplying its low half by the factor of d + 32 and its high
// half by that of d - 32.
constexpr std::uint64_t foldFactor(int n)
{
    std::uint64_t remainder = 1;
    for (int i = 0; i < n; ++i) {
        remainder <<= 1;
        if (remainder & (1ull << 32))
            remainder ^= 0x104C11DB7ull;
    }
    std::uint64_t reflected = 0;
    for (int bit = 0; bit < 32; ++bit)
        reflected |= ((remainder >> bit) & 1) << (31 - bit);
    return reflected << 1;
}

// For four blocks of 16 folded onto the next four, and for one onto the next.
constexpr long long fourLow = foldFactor(4 * 128 + 32);
constexpr long long fourHigh = foldFactor(4 * 128 - 32);
constexpr long long oneLow = foldFactor(128 + 32);
constexpr long long oneHigh = foldFactor(128 - 32);

__attribute__((target("pclmul"))) __m128i foldOnto(__m128i block, __m128i factors, __m128i next)
{
    const __m128i low = _mm_clmulepi64_si128(block, factors, 0x00);
    const __m128i high = _mm_clmulepi64_si128(block, factors, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__m128i load16(const std::uint8_t* bytes)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
}

// At least 64 bytes: four blocks of 16 are folded onto the next 64 bytes
// at a time by carry-less multiplication, then onto each other and any
// further 16. The 16 bytes left have the same sum from a zero register as
// everything folded into them had from crc, so the tables finish.
__attribute__((target("pclmul"))) std::uint32_t updateByFolding(std::uint32_t crc, const std::uint8_t* bytes,
                                                                  std::size_t length)
{
    const __m128i byFour = _mm_set_epi64x(fourHigh, fourLow);
    const __m128i byOne = _mm_set_epi64x(oneHigh, oneLow);
    __m128i lanes[4];
    for (int i = 0; i < 4; ++i)
        lanes[i] = load16(bytes + 16 * i);
    lanes[0] = _mm_xor_si128(lanes[0], _mm_cvtsi32_si128(static_cast<int>(crc)));
    for (bytes += 64, length -= 64; length >= 64; bytes += 64, length -= 64) {
        for (int i = 0; i < 4; ++i)
            lanes[i] = foldOnto(lanes[i], byFour, load16(bytes + 16 * i));
    }
    __m128i folded = lanes[0];
    for (int i = 1; i < 4; ++i)
        folded = foldOnto(folded, byOne, lanes[i]);
    for (; length >= 16; bytes += 16, length -= 16)
        folded = foldOnto(folded, byOne, load16(bytes));
    std::uint8_t rest[16];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(rest), folded);
    return updateByTables(updateByTables(0, rest, sizeof(rest)), bytes, length);
}

// Shorter runs, such as the paths hashed on load, are as fast through the
// tables.
std::uint32_t update(std::uint32_t crc, const std::uint8_t* bytes, std::size_t length)
{
    static const bool canFold = __builtin_cpu_supports("pclmul");
    if (length >= 256 && canFold)
        return updateByFolding(crc, bytes, length);
    return updateByTables(crc, bytes, length);
}

#else

std::uint32_t update(std::uint32_t crc, const std::uint8_t* bytes, std::size_t length)
{
    return updateByTables(crc, bytes, length);
}

#endif

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
