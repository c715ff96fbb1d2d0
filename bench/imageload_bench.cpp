// Measures what image files cost beyond their pixels. First the platform's
// decoder alone, the program's header check bypassed, on files of many
// small metadata blocks: a 24 x 16 png with n text or time chunks, a 1 x 1
// gif with n application extensions or n more 1 x 1 images. Then
// Bitmap::load, each in a fresh process so that its peak memory is its own,
// against the way load read files before (the whole file read, then
// decoded from memory): a 90 MB 24-bit bmp of 6,000 x 5,000 pixels, and
// 1 GB of zeros named .png. Last, a bmp through load against the way load
// decoded it before (checked through the program's handle, then opened
// again by its name): the 90 MB bmp's time and peak memory, and the handles
// a thousand loads of a bmp the decoder refuses leave open.
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

Bytes pngWithChunks(const Bytes& png, const char* type, const std::string& data, int count)
{
    Bytes out(png.begin(), png.begin() + 33);
    for (int i = 0; i < count; ++i) {
        appendBigEndian(out, std::uint32_t(data.size()));
        const std::size_t body = out.size();
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        std::uint32_t check = 0;
        crc32(out.data() + body, std::uint32_t(out.size() - body), &check);
        appendBigEndian(out, check);
    }
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

Bytes samplePng()
{
    Bitmap image(24, 16, true);
    image.fill(Colour(200, 30, 90, 160));
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"imageload_bench.png";
    image.save(path.c_str(), true);
    const Bytes bytes = readRaw(path.c_str());
    DeleteFileW(path.c_str());
    return bytes;
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
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + how + L" \"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::fflush(stdout);
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return;
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
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
        return loadOnce(std::wstring(how.begin(), how.end()).c_str(), std::wstring(path.begin(), path.end()).c_str());
    }
    measureDecoders();
    measureLoads();
    measureBmpThroughItsHandle();
    measureRefusedBmpHandles();
    return 0;
}
