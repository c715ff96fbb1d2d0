// Measures what image files cost beyond their pixels. First the platform's
// decoder alone, the program's header check bypassed, on files of many
// small metadata blocks: a 24 x 16 png with n text or time chunks, a 1 x 1
// gif with n application extensions or n more 1 x 1 images. Then
// Bitmap::load, each in a fresh process so that its peak memory is its own,
// against the way load read files before (the whole file read, then
// decoded from memory): a 90 MB 24-bit bmp of 6,000 x 5,000 pixels, and
// 1 GB of zeros named .png. Then a bmp through load against the way load
// decoded it before (checked through the program's handle, then opened
// again by its name): the 90 MB bmp's time and peak memory, and the handles
// a thousand loads of a bmp the decoder refuses leave open. Then what only
// the first frame costs: damaged files (a jpeg whose frame header hides
// behind a stray byte, gif frames after the first, a compressed png text,
// progressive jpeg scans) each against a legal file of the same pixels, a
// tiff of 1,000 pages against one of one page, legal files the old counting
// bounds refused, and the blocks the first frame may still repeat (a png's
// data chunks, a gif's sub-blocks); the decoder alone on all the bytes
// shows what they cost before. Then what the decoder's copy costs a 21 MB
// png, icons whose entries share one png, and progressive jpegs at the
// bound on scans and past it, in the open and hidden behind a code the
// decoder searches past. Last the program's check alone on every one
// of those files, which the argument "checks" measures by itself.
#include "bench/BenchProcess.h"
#include "bench/BenchTiming.h"
#include "devkit/RawFiles.h"
#include "foundation/Crc32.h"
#include "graphics/Bitmap.h"
#include "graphics/BoundedMemoryStream.h"
#include "graphics/GdiplusCodecs.h"
#include "graphics/ImageCodec.h"
#include "graphics/ImageHeaderCheck.h"

#include <windows.h>
// The lean Windows header leaves out the property types GDI+ needs.
#include <objidl.h>

#include <gdiplus.h>
#include <psapi.h>

#include <cstdio>
#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

using namespace bench;

namespace {

void appendBigEndian(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

void appendLittleEndian(Bytes& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(value >> (8 * i)));
}

Bytes pngChunk(const char* type, const std::string& data)
{
    Bytes out;
    appendBigEndian(out, std::uint32_t(data.size()));
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    std::uint32_t check = 0;
    crc32(out.data() + 4, std::uint32_t(out.size() - 4), &check);
    appendBigEndian(out, check);
    return out;
}

Bytes pngWithChunks(const Bytes& png, const char* type, const std::string& data, int count)
{
    Bytes out(png.begin(), png.begin() + 33);
    const Bytes chunk = pngChunk(type, data);
    for (int i = 0; i < count; ++i)
        out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), png.begin() + 33, png.end());
    return out;
}

// A 1 x 1 gif of count blocks before its image: application extensions,
// or further 1 x 1 images.
Bytes gifWithBlocks(int count, bool images)
{
    const std::string screen("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00", 19);
    const std::string extension("\x21\xFF\x0BKESTROLATST\x01\x00\x00", 17);
    const std::string image("\x2C\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 15);
    std::string gif = screen;
    for (int i = 0; i < count; ++i)
        gif += images ? image : extension;
    gif += image + "\x3B";
    return Bytes(gif.begin(), gif.end());
}

// GDI+ straight on the bytes, as no file would reach it now.
bool decodeUnchecked(const Bytes& bytes)
{
    const BoundedMemoryStream stream(bytes.data(), bytes.size());
    Gdiplus::GpImage* image = nullptr;
    if (Gdiplus::DllExports::GdipLoadImageFromStream(stream.stream(), &image) != Gdiplus::Ok)
        return false;
    const bool decoded = !bitmapFromGdiplusImage(image).isNull();
    Gdiplus::DllExports::GdipDisposeImage(image);
    return decoded;
}

void measureDecoder(const char* what, int count, const Bytes& bytes)
{
    bool decoded = false;
    const double ms = timeOf([&] { decoded = decodeUnchecked(bytes); });
    printf("decoder alone, %-24s %6d blocks, %8zu bytes: %8.1f ms, decoded: %s\n", what, count, bytes.size(), ms,
           decoded ? "yes" : "no");
}

// The image as the platform's encoder writes it into a file of the name
// (whose extension picks the format).
Bytes encoded(const Bitmap& image, const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    image.save(path.c_str(), true);
    const Bytes bytes = readRaw(path.c_str());
    DeleteFileW(path.c_str());
    return bytes;
}

Bytes samplePng()
{
    Bitmap image(24, 16, true);
    image.fill(Colour(200, 30, 90, 160));
    return encoded(image, L"imageload_bench.png");
}

// Seeded noise, which no compression shrinks: at 32 bits a pixel, a png of
// about 4 bytes a pixel.
Bytes noisePng(int width, int height)
{
    Bitmap image(width, height, true);
    std::uint32_t state = 12345;
    for (std::uint32_t i = 0; i < image.byteCount(); ++i) {
        state = state * 1664525u + 1013904223u;
        image.bits()[i] = std::uint8_t(state >> 24);
    }
    return encoded(image, L"imageload_bench_noise.png");
}

// A bmp's headers for rows of rowBytes each, with tableBytes of colour
// masks or palette after them; bit fields at 16 bits.
Bytes bmpHead(std::uint32_t width, std::uint32_t height, std::uint32_t bits, std::uint32_t rowBytes,
              std::uint32_t tableBytes)
{
    const std::uint32_t pixelOffset = 54 + tableBytes;
    Bytes head = {'B', 'M'};
    appendLittleEndian(head, pixelOffset + rowBytes * height, 4);
    appendLittleEndian(head, 0, 4);
    appendLittleEndian(head, pixelOffset, 4);
    for (std::uint32_t value : {40u, width, height})
        appendLittleEndian(head, value, 4);
    appendLittleEndian(head, 1 | bits << 16, 4);
    appendLittleEndian(head, bits == 16 ? 3 : 0, 4);
    for (int i = 0; i < 5; ++i)
        appendLittleEndian(head, 0, 4);
    return head;
}

bool writeBmp(const std::wstring& path, std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t row = (width * 3 + 3) & ~3u;
    const Bytes head = bmpHead(width, height, 24, row, 0);
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    bool written = std::fwrite(head.data(), 1, head.size(), file) == head.size();
    Bytes pixels(row);
    for (std::uint32_t y = 0; y < height && written; ++y) {
        for (std::uint32_t x = 0; x < row; ++x)
            pixels[x] = std::uint8_t(x * 7 + y);
        written = std::fwrite(pixels.data(), 1, row, file) == row;
    }
    return std::fclose(file) == 0 && written;
}

// The old way: every byte read, then the check and the decoder.
Bitmap readWholeThenDecode(const wchar_t* path)
{
    Bytes bytes;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &size))
        return Bitmap::null();
    bytes.resize(std::size_t(size.QuadPart));
    DWORD read = 0;
    for (std::size_t at = 0; at < bytes.size(); at += read) {
        if (!ReadFile(file, bytes.data() + at, DWORD(std::min<std::size_t>(bytes.size() - at, 1 << 20)), &read,
                      nullptr) || read == 0)
            break;
    }
    CloseHandle(file);
    const wchar_t* dot = std::wcsrchr(path, L'.');
    return Bitmap::fromData(bytes.data(), std::int64_t(bytes.size()), dot ? dot + 1 : L"");
}

// The way load decoded a bmp before: its head checked through the program's
// handle, held open meanwhile, then the file opened again by its name.
Bitmap checkThenDecodeByName(const wchar_t* path)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size;
    std::uint8_t head[ImageHeaderCheck::headBytes];
    DWORD read = 0;
    const bool checked = file != INVALID_HANDLE_VALUE && GetFileSizeEx(file, &size)
                         && ReadFile(file, head, sizeof head, &read, nullptr)
                         && ImageHeaderCheck::checkHead(head, read, std::uint64_t(size.QuadPart))
                                == ImageHeaderCheck::HeadVerdict::Sound;
    Gdiplus::GpImage* image = nullptr;
    Bitmap bitmap;
    if (checked && Gdiplus::DllExports::GdipLoadImageFromFile(path, &image) == Gdiplus::Ok) {
        bitmap = bitmapFromGdiplusImage(image);
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return bitmap;
}

struct LoadWay {
    const wchar_t* how;
    const wchar_t* label;
    Bitmap (*load)(const wchar_t* path);
};

const LoadWay loadWays[] = {
    {L"load", L"Bitmap::load", [](const wchar_t* path) { return Bitmap::load(path); }},
    {L"whole", L"read whole, then decode", readWholeThenDecode},
    {L"byname", L"checked, then opened by name", checkThenDecodeByName},
};

const LoadWay& loadWay(const wchar_t* how)
{
    for (const LoadWay& way : loadWays) {
        if (std::wcscmp(how, way.how) == 0)
            return way;
    }
    return loadWays[0];
}

// In the child process: one load, its time and the process's peak memory.
int loadOnce(const wchar_t* how, const wchar_t* path)
{
    initImageCodecs();
    PROCESS_MEMORY_COUNTERS before = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    const LoadWay& way = loadWay(how);
    Bitmap bitmap;
    const double ms = timeOf([&] { bitmap = way.load(path); });
    PROCESS_MEMORY_COUNTERS after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    printf("%-29ls %-34ls %5d x %5d: %8.1f ms, peak working set +%6.1f MB, peak commit +%6.1f MB\n", way.label,
           std::wcsrchr(path, L'\\') + 1, bitmap.width(), bitmap.height(), ms,
           double(after.PeakWorkingSetSize - before.WorkingSetSize) / 1e6,
           double(after.PeakPagefileUsage - before.PagefileUsage) / 1e6);
    std::fflush(stdout);
    shutdownImageCodecs();
    return 0;
}

void runChild(const wchar_t* how, const std::wstring& path)
{
    runSelf(std::wstring(how) + L" \"" + path + L"\"");
}

void measureDecoders()
{
    initImageCodecs();
    const Bytes png = samplePng();
    // The first decode starts the decoders: not a cost of the blocks.
    decodeUnchecked(png);
    for (int count : {1000, 5000})
        measureDecoder("png, text chunks", count, pngWithChunks(png, "tEXt", std::string("Comment\0x", 9), count));
    const std::string time("\x07\xEA\x0C\x08\x06\x25\x00", 7);
    measureDecoder("png, time chunks", 5000, pngWithChunks(png, "tIME", time, 5000));
    for (int count : {1000, 10000, 80000}) {
        measureDecoder("gif, application blocks", count, gifWithBlocks(count, false));
        measureDecoder("gif, 1 x 1 images", count, gifWithBlocks(count, true));
    }
    shutdownImageCodecs();
}

void measureLoads()
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring bmp = std::wstring(folder) + L"imageload_bench.bmp";
    const std::wstring video = std::wstring(folder) + L"imageload_bench_video.png";
    const bool written = writeBmp(bmp, 6000, 5000) && writeRaw(video.c_str(), {});
    if (!written || !extendRaw(video.c_str(), std::int64_t(1) << 30)) {
        printf("the sample files could not be written\n");
        return;
    }
    for (const std::wstring& path : {bmp, video}) {
        runChild(L"load", path);
        runChild(L"whole", path);
    }
    DeleteFileW(bmp.c_str());
    DeleteFileW(video.c_str());
}

// ---- What only the first frame costs: damaged files against legal ones ----

// Bits written from the lowest up, as gif codes and deflate streams take
// them.
class BitWriter {
public:
    void put(std::uint32_t value, int bits)
    {
        for (int i = 0; i < bits; ++i) {
            if (m_used == 0)
                m_bytes.push_back(0);
            m_bytes.back() |= std::uint8_t(((value >> i) & 1) << m_used);
            m_used = (m_used + 1) % 8;
        }
    }
    // A Huffman code, written from its highest bit.
    void putCode(std::uint32_t code, int bits)
    {
        for (int i = bits - 1; i >= 0; --i)
            put(code >> i, 1);
    }
    Bytes& bytes() { return m_bytes; }

private:
    Bytes m_bytes;
    int m_used = 0;
};

// The codes of width x height pixels of colour 0, 8-bit codes at the start:
// each code one pixel longer than the last, the table cleared when full.
Bytes gifCodesOfOneColour(std::uint64_t pixels)
{
    constexpr std::uint32_t clear = 256;
    constexpr std::uint32_t end = 257;
    BitWriter out;
    std::uint32_t next = end + 1;
    int bits = 9;
    std::uint32_t limit = 1u << bits;
    std::uint64_t length = 1;
    const auto emit = [&](std::uint32_t code) {
        out.put(code, bits);
        if (next >= limit && code <= 4095 && bits < 12)
            limit = 1u << ++bits;
    };
    emit(clear);
    while (pixels > 0) {
        const std::uint64_t run = std::min(length, pixels);
        emit(run == 1 ? 0 : end + std::uint32_t(run) - 1);
        pixels -= run;
        if (next >= 4095) {
            emit(clear);
            next = end + 1;
            bits = 9;
            limit = 1u << bits;
            length = 1;
        } else {
            ++next;
            ++length;
        }
    }
    emit(end);
    Bytes blocks = {8};
    const Bytes& codes = out.bytes();
    for (std::size_t at = 0; at < codes.size(); at += 255) {
        const std::size_t count = std::min<std::size_t>(255, codes.size() - at);
        blocks.push_back(std::uint8_t(count));
        blocks.insert(blocks.end(), codes.begin() + std::ptrdiff_t(at), codes.begin() + std::ptrdiff_t(at + count));
    }
    blocks.push_back(0);
    return blocks;
}

// frames frames of side x side pixels of one colour, each with its control
// block, and a loop block.
Bytes gifOfFrames(int frames, std::uint32_t side)
{
    Bytes gif = {'G', 'I', 'F', '8', '9', 'a'};
    appendLittleEndian(gif, side, 2);
    appendLittleEndian(gif, side, 2);
    gif.insert(gif.end(), {0xF7, 0, 0});
    for (int i = 0; i < 256; ++i)
        gif.insert(gif.end(), {std::uint8_t(i), 90, std::uint8_t(255 - i)});
    const std::string loop("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    gif.insert(gif.end(), loop.begin(), loop.end());
    Bytes frame = {0x21, 0xF9, 4, 0, 10, 0, 0, 0, 0x2C, 0, 0, 0, 0};
    appendLittleEndian(frame, side, 2);
    appendLittleEndian(frame, side, 2);
    frame.push_back(0);
    const Bytes codes = gifCodesOfOneColour(std::uint64_t(side) * side);
    frame.insert(frame.end(), codes.begin(), codes.end());
    for (int i = 0; i < frames; ++i)
        gif.insert(gif.end(), frame.begin(), frame.end());
    gif.push_back(0x3B);
    return gif;
}

std::uint32_t adlerOfOneByte(std::uint64_t count, std::uint32_t value)
{
    constexpr std::uint64_t base = 65521;
    const std::uint64_t a = (1 + count % base * value) % base;
    const std::uint64_t triangle = (count % (2 * base)) * ((count + 1) % (2 * base)) / 2 % base;
    const std::uint64_t b = (count + triangle * value) % base;
    return std::uint32_t(b << 16 | a);
}

// A zlib stream of one fixed-code block: a literal, then matches of 258
// bytes one back, 13 bits each.
std::string deflatedRepeats(int matches)
{
    BitWriter out;
    out.bytes() = {0x78, 0x01};
    out.put(1, 1);
    out.put(1, 2);
    out.putCode(0x30 + 'a', 8);
    for (int i = 0; i < matches; ++i) {
        out.putCode(0xC5, 8);
        out.putCode(0, 5);
    }
    out.putCode(0, 7);
    Bytes stream = out.bytes();
    appendBigEndian(stream, adlerOfOneByte(1 + 258 * std::uint64_t(matches), 'a'));
    return std::string(stream.begin(), stream.end());
}

// Entropy-coded zero bits, the last byte filled out with ones.
Bytes zeroBits(std::uint64_t bits)
{
    Bytes out(bits / 8, 0);
    if (bits % 8 != 0)
        out.push_back(std::uint8_t(0xFF >> (bits % 8)));
    return out;
}

// A grey progressive jpeg of width x height pixels (multiples of 128) in
// one shade: a DC scan of one-bit codes, then acScans scans each ending
// every block's band in runs of 2^14 blocks. A first scan only counts a
// run's blocks down; a refining one (successive approximation, after a
// first one) looks at each block's every coefficient.
Bytes progressiveJpeg(std::uint32_t width, std::uint32_t height, int acScans, bool refining)
{
    const std::uint64_t blocks = std::uint64_t(width / 8) * (height / 8);
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0};
    jpeg.insert(jpeg.end(), 64, 1);
    jpeg.insert(jpeg.end(), {0xFF, 0xC2, 0, 11, 8});
    for (std::uint32_t side : {height, width})
        jpeg.insert(jpeg.end(), {std::uint8_t(side >> 8), std::uint8_t(side)});
    jpeg.insert(jpeg.end(), {1, 1, 0x11, 0});
    // One code of one bit in each table: DC difference 0, and AC run of
    // 2^14 blocks ending their band.
    for (std::uint8_t table : {0x00, 0x10}) {
        jpeg.insert(jpeg.end(), {0xFF, 0xC4, 0, 20, table, 1});
        jpeg.insert(jpeg.end(), 15, 0);
        jpeg.push_back(table == 0 ? 0x00 : 0xE0);
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 0, 0, 0});
    const Bytes dc = zeroBits(blocks);
    jpeg.insert(jpeg.end(), dc.begin(), dc.end());
    const Bytes bands = zeroBits(15 * (blocks >> 14));
    for (int i = 0; i < acScans; ++i) {
        const std::uint8_t approximation = !refining ? 0x00 : i == 0 ? 0x01 : 0x10;
        jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0x00, 1, 63, approximation});
        jpeg.insert(jpeg.end(), bands.begin(), bands.end());
    }
    jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

// The jpeg with a comment segment of length 0 before its second scan: the
// decoder skips the segment's length bytes and reads every scan after it.
Bytes withEmptyCommentBeforeSecondScan(const Bytes& jpeg)
{
    const std::uint8_t scan[] = {0xFF, 0xDA};
    const auto first = std::search(jpeg.begin(), jpeg.end(), std::begin(scan), std::end(scan));
    const auto second = std::search(first + 2, jpeg.end(), std::begin(scan), std::end(scan));
    Bytes out(jpeg.begin(), second);
    out.insert(out.end(), {0xFF, 0xFE, 0, 0});
    out.insert(out.end(), second, jpeg.end());
    return out;
}

// The jpeg with a restart interval of 1,024 blocks, and inside its first
// scan's data the unknown code 0x02 with a "length" of 65,535 bytes: the
// decoder, finding no restart marker where one is due, searches past the
// code and reads every scan after it.
Bytes withScansBehindUnknownCode(const Bytes& jpeg)
{
    const std::uint8_t scan[] = {0xFF, 0xDA};
    const auto first = std::search(jpeg.begin(), jpeg.end(), std::begin(scan), std::end(scan));
    Bytes out(jpeg.begin(), first);
    out.insert(out.end(), {0xFF, 0xDD, 0, 4, 0x04, 0x00});
    out.insert(out.end(), first, first + 11);
    out.insert(out.end(), {0xFF, 0x02, 0xFF, 0xFF});
    out.insert(out.end(), first + 11, jpeg.end());
    return out;
}

// The encoder's own 24 x 16 jpeg, its frame header claiming 20000 x 20000
// and one stray byte before it.
Bytes strayByteJpeg()
{
    Bitmap image(24, 16, false);
    image.fill(Colour(40, 120, 200));
    Bytes jpeg = encoded(image, L"imageload_bench.jpg");
    std::size_t at = 2;
    while (at + 9 < jpeg.size() && jpeg[at + 1] != 0xC0)
        at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
    if (at + 9 >= jpeg.size())
        return {};
    for (std::size_t field : {at + 5, at + 7}) {
        jpeg[field] = std::uint8_t(20000 >> 8);
        jpeg[field + 1] = std::uint8_t(20000 & 0xFF);
    }
    jpeg.insert(jpeg.begin() + std::ptrdiff_t(at), 0);
    return jpeg;
}

void appendTiffEntry(Bytes& out, std::uint32_t tag, std::uint32_t type, std::uint32_t count, std::uint32_t value)
{
    appendLittleEndian(out, tag, 2);
    appendLittleEndian(out, type, 2);
    appendLittleEndian(out, count, 4);
    appendLittleEndian(out, value, 4);
}

// pages pages of side x side grey pixels, every page's one strip the same
// bytes.
Bytes tiffOfPages(int pages, std::uint32_t side)
{
    Bytes tiff = {'I', 'I', 42, 0};
    appendLittleEndian(tiff, 8 + side * side, 4);
    for (std::uint32_t i = 0; i < side * side; ++i)
        tiff.push_back(std::uint8_t(i * 7));
    for (int page = 0; page < pages; ++page) {
        appendLittleEndian(tiff, 8, 2);
        for (std::uint32_t tag : {256u, 257u})
            appendTiffEntry(tiff, tag, 4, 1, side);
        appendTiffEntry(tiff, 258, 3, 1, 8);
        appendTiffEntry(tiff, 259, 3, 1, 1);
        appendTiffEntry(tiff, 262, 3, 1, 1);
        appendTiffEntry(tiff, 273, 4, 1, 8);
        appendTiffEntry(tiff, 278, 4, 1, side);
        appendTiffEntry(tiff, 279, 4, 1, side * side);
        appendLittleEndian(tiff, page + 1 < pages ? std::uint32_t(tiff.size() + 4) : 0, 4);
    }
    return tiff;
}

std::uint32_t bigEndianAt(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t(bytes[at]) << 24 | std::uint32_t(bytes[at + 1]) << 16 | std::uint32_t(bytes[at + 2]) << 8
           | bytes[at + 3];
}

// Where the png's first data chunk starts.
std::size_t pngDataChunk(const Bytes& png)
{
    std::size_t at = 8;
    while (at + 12 < png.size() && bigEndianAt(png, at + 4) != 0x49444154)
        at += 12 + bigEndianAt(png, at);
    return at;
}

// An animation of frames more 24 x 16 frames of the image's own pixels.
Bytes animatedPngOf(const Bytes& png, std::uint32_t frames)
{
    const std::size_t data = pngDataChunk(png);
    const auto from = png.begin() + std::ptrdiff_t(data + 8);
    const std::string pixels(from, from + std::ptrdiff_t(bigEndianAt(png, data)));
    Bytes frameChunks;
    for (std::uint32_t i = 0; i < frames; ++i) {
        Bytes control;
        for (std::uint32_t value : {2 * i, 24u, 16u, 0u, 0u, 0x00010000u})
            appendBigEndian(control, value);
        control.insert(control.end(), {0, 0});
        Bytes sequence;
        appendBigEndian(sequence, 2 * i + 1);
        for (const Bytes& chunk : {pngChunk("fcTL", std::string(control.begin(), control.end())),
                                   pngChunk("fdAT", std::string(sequence.begin(), sequence.end()) + pixels)})
            frameChunks.insert(frameChunks.end(), chunk.begin(), chunk.end());
    }
    Bytes counts;
    for (std::uint32_t value : {frames + 1, 0u})
        appendBigEndian(counts, value);
    Bytes out = pngWithChunks(png, "acTL", std::string(counts.begin(), counts.end()), 1);
    out.insert(out.end() - 12, frameChunks.begin(), frameChunks.end());
    return out;
}

// In the child process: the platform's decoder alone on the file's bytes,
// as the program handed them over before it gave only the first frame.
int decodeOnce(const wchar_t* path)
{
    initImageCodecs();
    const Bytes bytes = readRaw(path);
    PROCESS_MEMORY_COUNTERS before = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    bool decoded = false;
    const double ms = timeOf([&] { decoded = decodeUnchecked(bytes); });
    PROCESS_MEMORY_COUNTERS after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    printf("%-28ls %-34ls decoded: %-3s   : %8.1f ms, peak working set +%6.1f MB, peak commit +%6.1f MB\n",
           L"decoder alone, all bytes", std::wcsrchr(path, L'\\') + 1, decoded ? "yes" : "no", ms,
           double(after.PeakWorkingSetSize - before.WorkingSetSize) / 1e6,
           double(after.PeakPagefileUsage - before.PagefileUsage) / 1e6);
    std::fflush(stdout);
    shutdownImageCodecs();
    return 0;
}

struct FrameSample {
    const wchar_t* name;
    Bytes bytes;
    // Whether the decoder alone is measured too, as before.
    bool decoderAlone;
};

// Each sample loaded in a fresh process, and where asked the decoder alone
// on all its bytes.
void loadSamples(const std::vector<FrameSample>& samples)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    for (const FrameSample& sample : samples) {
        const std::wstring path = std::wstring(folder) + sample.name;
        if (sample.bytes.empty() || !writeRaw(path.c_str(), sample.bytes)) {
            printf("%ls could not be written\n", sample.name);
            continue;
        }
        printf("%ls: %zu bytes\n", sample.name, sample.bytes.size());
        runChild(L"load", path);
        if (sample.decoderAlone)
            runChild(L"decoder", path);
        DeleteFileW(path.c_str());
    }
}

// Legal, and each read on its own: count empty data chunks before the
// png's data.
Bytes pngWithEmptyDataChunks(const Bytes& png, int count)
{
    const Bytes chunk = pngChunk("IDAT", "");
    Bytes out(png.begin(), png.begin() + std::ptrdiff_t(pngDataChunk(png)));
    for (int i = 0; i < count; ++i)
        out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), png.begin() + std::ptrdiff_t(pngDataChunk(png)), png.end());
    return out;
}

// A 64 x 64 gif whose image data ends in count empty-but-one sub-blocks.
Bytes gifWithSubBlocks(int count)
{
    Bytes gif = gifOfFrames(1, 64);
    gif.resize(gif.size() - 2);
    for (int i = 0; i < count; ++i)
        gif.insert(gif.end(), {1, 0});
    gif.insert(gif.end(), {0, 0x3B});
    return gif;
}

// Each damaged file against a legal one of the same pixels, each load in
// a fresh process; then the legal files the counting bounds once refused.
std::vector<FrameSample> firstFrameSamples()
{
    initImageCodecs();
    const Bytes png = samplePng();
    const Bytes stray = strayByteJpeg();
    shutdownImageCodecs();
    const std::string comment("Comment\0\0", 9);
    return {
        {L"jpeg_stray_byte_20000x20000.jpg", stray, false},
        {L"gif_1_frame_4096x4096.gif", gifOfFrames(1, 4096), false},
        {L"gif_100_frames_4096x4096.gif", gifOfFrames(100, 4096), true},
        {L"png_24x16.png", png, false},
        {L"png_24x16_ztxt_335MB.png", pngWithChunks(png, "zTXt", comment + deflatedRepeats(1300000), 1), true},
        {L"jpeg_2048x2048_2_scans.jpg", progressiveJpeg(2048, 2048, 1, false), false},
        {L"jpeg_2048x2048_200_scans.jpg", progressiveJpeg(2048, 2048, 199, false), true},
        {L"jpeg_2048x2048_1000_scans.jpg", progressiveJpeg(2048, 2048, 999, false), true},
        {L"tiff_1_page_2048x2048.tif", tiffOfPages(1, 2048), false},
        {L"tiff_1000_pages_2048x2048.tif", tiffOfPages(1000, 2048), false},
        {L"apng_601_frames_24x16.png", animatedPngOf(png, 600), false},
        {L"png_5000_text_chunks.png", pngWithChunks(png, "tEXt", std::string("Comment\0x", 9), 5000), false},
        {L"gif_10000_frames_1x1_loop.gif", gifOfFrames(10000, 1), false},
        {L"png_1000000_empty_data_chunks.png", pngWithEmptyDataChunks(png, 1000000), true},
        {L"gif_1000000_sub_blocks.gif", gifWithSubBlocks(1000000), true},
    };
}

// A chunk of the type after the png's data, before its end chunk.
Bytes pngWithChunkBeforeEnd(const Bytes& png, const char* type, const std::string& data)
{
    const Bytes chunk = pngChunk(type, data);
    Bytes out = png;
    out.insert(out.end() - 12, chunk.begin(), chunk.end());
    return out;
}

// An icon of count directory entries, all pointing at the one png after
// them; with growing sizes, each entry's a byte longer than the last (the
// file that much longer), so that no two entries are the same image.
Bytes iconSharingPng(const Bytes& png, int count, bool growingSizes)
{
    Bytes icon = {0, 0, 1, 0};
    appendLittleEndian(icon, std::uint32_t(count), 2);
    const std::uint32_t offset = 6 + 16 * std::uint32_t(count);
    for (int i = 0; i < count; ++i) {
        icon.insert(icon.end(), {24, 16, 0, 0, 1, 0, 32, 0});
        appendLittleEndian(icon, std::uint32_t(png.size()) + (growingSizes ? std::uint32_t(i) : 0), 4);
        appendLittleEndian(icon, offset, 4);
    }
    icon.insert(icon.end(), png.begin(), png.end());
    if (growingSizes)
        icon.resize(icon.size() + std::size_t(count) - 1);
    return icon;
}

// What a copy for the decoder costs a large png: as the encoder wrote it
// (its pixel size left out before the data), with a text chunk left out
// before the data and after it (which copies the data); icons whose
// entries share one png; and progressive jpegs at the bound on scans and
// beyond it, also behind an unknown code (the decoder's time at the bound
// is the most a jpeg the check lets through costs).
std::vector<FrameSample> copyAndScanSamples()
{
    initImageCodecs();
    const Bytes png = samplePng();
    const Bytes noise = noisePng(2560, 2048);
    shutdownImageCodecs();
    const std::string comment("Comment\0x", 9);
    const Bytes chunky = pngWithEmptyDataChunks(png, 100000);
    return {
        {L"png_noise_2560x2048.png", noise, false},
        {L"png_noise_2560x2048_text_chunk.png", pngWithChunks(noise, "tEXt", comment, 1), false},
        {L"png_noise_2560x2048_text_chunk_after_data.png", pngWithChunkBeforeEnd(noise, "tEXt", comment), false},
        {L"icon_2_entries_one_png.png", iconSharingPng(png, 2, false), false},
        {L"icon_65535_entries_one_png_of_100000_chunks.png", iconSharingPng(chunky, 65535, false), true},
        {L"icon_65535_entries_one_png_of_100000_chunks_sizes_growing.png", iconSharingPng(chunky, 65535, true),
         false},
        {L"jpeg_4096x4096_200_scans.jpg", progressiveJpeg(4096, 4096, 199, false), false},
        {L"jpeg_4096x4096_200_refining_scans.jpg", progressiveJpeg(4096, 4096, 199, true), false},
        {L"jpeg_16384x8192_25_refining_scans.jpg", progressiveJpeg(16384, 8192, 24, true), false},
        {L"jpeg_16384x8192_200_scans.jpg", progressiveJpeg(16384, 8192, 199, false), true},
        {L"jpeg_2048x2048_10000_scans_behind_empty_comment.jpg",
         withEmptyCommentBeforeSecondScan(progressiveJpeg(2048, 2048, 9999, false)), true},
        {L"jpeg_2048x2048_3000_scans_behind_unknown_code.jpg",
         withScansBehindUnknownCode(progressiveJpeg(2048, 2048, 2999, false)), true},
    };
}

// The program's check alone on each sample, in this process, and the
// decoder's input it makes: the best of five (of one, past a second), so
// that a change to the check shows apart from the decoder's far larger and
// noisier time.
void measureChecks(const std::vector<FrameSample>& samples)
{
    for (const FrameSample& sample : samples) {
        bool refused = false;
        double best = 1e9;
        for (int i = 0; i < 5 && (i == 0 || best < 1000); ++i) {
            const auto check = [&] {
                refused = ImageHeaderCheck::decoderInput(sample.bytes.data(), sample.bytes.size()).isRefused();
            };
            best = std::min(best, timeOf(check));
        }
        printf("check alone %-62ls %9zu bytes: %9.3f ms, %s\n", sample.name, sample.bytes.size(), best,
               refused ? "refused" : "sound");
    }
}

std::wstring tempFile(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// The 90 MB bmp through load and the way before it, side by side.
void measureBmpThroughItsHandle()
{
    const std::wstring bmp = tempFile(L"imageload_bench_handle.bmp");
    if (!writeBmp(bmp, 6000, 5000)) {
        printf("the sample bmp could not be written\n");
        return;
    }
    runChild(L"load", bmp);
    runChild(L"byname", bmp);
    DeleteFileW(bmp.c_str());
}

// A 24 x 16 bmp of 16 bits whose colour masks are zero: the header check
// lets it through, and the decoder refuses it.
Bytes bmpTheDecoderRefuses()
{
    Bytes bmp = bmpHead(24, 16, 16, 48, 12);
    bmp.resize(bmp.size() + 12 + 48 * 16, 0x5A);
    std::fill(bmp.begin() + 54, bmp.begin() + 66, 0);
    return bmp;
}

// The handles open in this process, found by asking after every handle
// value up to 2^16: GetProcessHandleCount answers 0 under Wine.
int openHandles()
{
    int count = 0;
    DWORD flags = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4)
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    return count;
}

// Bitmap::load first: the way before it leaves its handles in this process.
// Each way loads once before it is counted, so that starting the decoder
// is no part of its time.
void measureRefusedBmpHandles()
{
    const std::wstring path = tempFile(L"imageload_bench_refused.bmp");
    const Bytes bmp = bmpTheDecoderRefuses();
    if (!writeRaw(path.c_str(), bmp)) {
        printf("the refused bmp could not be written\n");
        return;
    }
    initImageCodecs();
    for (const wchar_t* how : {L"load", L"byname"}) {
        const LoadWay& way = loadWay(how);
        way.load(path.c_str());
        const int before = openHandles();
        int decoded = 0;
        const double ms = timeOf([&] {
            for (int i = 0; i < 1000; ++i)
                decoded += way.load(path.c_str()).isNull() ? 0 : 1;
        });
        printf("%-29ls 1,000 loads of a %zu-byte 16-bit bmp the decoder refuses: %d decoded, %7.1f ms, "
               "open handles %d -> %d\n",
               way.label, bmp.size(), decoded, ms, before, openHandles());
    }
    shutdownImageCodecs();
    printf("the refused bmp deleted afterwards: %s\n", DeleteFileW(path.c_str()) ? "yes" : "no (still open)");
}

} // namespace

// The child's arguments are the way of loading and the path, both ASCII.
int main(int argc, char** argv)
{
    if (argc == 3) {
        const std::string how = argv[1];
        const std::string path = argv[2];
        const std::wstring widePath(path.begin(), path.end());
        if (how == "decoder")
            return decodeOnce(widePath.c_str());
        return loadOnce(std::wstring(how.begin(), how.end()).c_str(), widePath.c_str());
    }
    std::vector<FrameSample> samples = firstFrameSamples();
    const std::vector<FrameSample> more = copyAndScanSamples();
    // "checks" measures the check alone.
    if (argc == 2 && std::string(argv[1]) == "checks") {
        samples.insert(samples.end(), more.begin(), more.end());
        measureChecks(samples);
        return 0;
    }
    measureDecoders();
    measureLoads();
    measureBmpThroughItsHandle();
    measureRefusedBmpHandles();
    loadSamples(samples);
    loadSamples(more);
    measureChecks(samples);
    measureChecks(more);
    return 0;
}
