// Measures what image files cost beyond their pixels. First the platform's
// decoder alone, the program's header check bypassed, on files of many
// small metadata blocks: a 24 x 16 png with n text or time chunks, a 1 x 1
// gif with n application extensions or n more 1 x 1 images. Then
// Bitmap::load, each in a fresh process so that its peak memory is its own,
// against the way load read files before (the whole file read, then
// decoded from memory): a 90 MB 24-bit bmp of 6,000 x 5,000 pixels, and
// 1 GB of zeros named .png.
#include "bench/BenchTiming.h"
#include "devkit/RawFiles.h"
#include "foundation/Crc32.h"
#include "graphics/Bitmap.h"
#include "graphics/BoundedMemoryStream.h"
#include "graphics/GdiplusCodecs.h"
#include "graphics/ImageCodec.h"

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

bool writeBmp(const std::wstring& path, std::uint32_t width, std::uint32_t height)
{
    const std::uint32_t row = (width * 3 + 3) & ~3u;
    Bytes head = {'B', 'M'};
    appendLittleEndian(head, 54 + row * height, 4);
    appendLittleEndian(head, 0, 4);
    appendLittleEndian(head, 54, 4);
    for (std::uint32_t value : {40u, width, height})
        appendLittleEndian(head, value, 4);
    appendLittleEndian(head, 1 | 24 << 16, 4);
    for (int i = 0; i < 6; ++i)
        appendLittleEndian(head, 0, 4);
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

// In the child process: one load, its time and the process's peak memory.
int loadOnce(const wchar_t* how, const wchar_t* path)
{
    initImageCodecs();
    PROCESS_MEMORY_COUNTERS before = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    const bool whole = std::wcscmp(how, L"whole") == 0;
    Bitmap bitmap;
    const double ms = timeOf([&] { bitmap = whole ? readWholeThenDecode(path) : Bitmap::load(path); });
    PROCESS_MEMORY_COUNTERS after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    printf("%-28ls %-34ls %5d x %5d: %8.1f ms, peak working set +%6.1f MB, peak commit +%6.1f MB\n",
           whole ? L"read whole, then decode" : L"Bitmap::load", std::wcsrchr(path, L'\\') + 1, bitmap.width(),
           bitmap.height(), ms, double(after.PeakWorkingSetSize - before.WorkingSetSize) / 1e6,
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
    return 0;
}
