#include "graphics/ImageHeaderCheck.h"

#include "tests/support/DamagedImages.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The platform's decoders cope with most malformed files, so a loosened
// check went unseen through them: these call the check itself.
using ImageHeaderCheckTest = ImageCodecSuite;

namespace {

using namespace damagedImages;

struct CheckRow {
    std::string rule;
    Bytes bytes;
    bool sound;
};

Bytes changed(Bytes bytes, ImageField field, std::uint32_t value)
{
    writeField(bytes, field, value);
    return bytes;
}

Bytes cut(Bytes bytes, std::size_t count)
{
    bytes.resize(bytes.size() - count);
    return bytes;
}

Bytes inserted(const Bytes& bytes, std::size_t at, const Bytes& block)
{
    return insertedCopies(bytes, at, block, 1);
}

// The rows at the pixel limit, and one more, of an image 16384 pixels wide.
constexpr std::uint32_t rowsAtLimit = std::uint32_t(Bitmap::maxDecodedPixels / 16384);
constexpr std::uint32_t rowsOverLimit = rowsAtLimit + 1;

// 16384 pixels wide and rows high.
Bytes wide(const Bytes& bytes, ImageField width, ImageField height, std::uint32_t rows)
{
    return changed(changed(bytes, width, 16384), height, rows);
}

// 8 bits, run-length rows, width x height: the rows need not be held.
Bytes rle8Bmp(std::uint32_t width, std::uint32_t height)
{
    Bytes bmp = changed(handMadeBmp(8, false), {30, 4, false}, 1);
    return changed(changed(bmp, {18, 4, false}, width), {22, 4, false}, height);
}

// Two entries for the same image; the second's size grown by extra.
Bytes twoEntryIcon(std::uint32_t extra)
{
    const Bytes icon = iconOf(handMadeBmp(24, false));
    Bytes two = inserted(icon, 6, Bytes(icon.begin() + 6, icon.begin() + 22));
    writeField(two, {4, 2, false}, 2);
    const std::uint32_t size = readField(icon, {14, 4, false});
    writeWords(two, 14, {size, 38});
    writeWords(two, 30, {size + extra, 38});
    return two;
}

Bytes pngIcon(const Bytes& png)
{
    return iconOfPng(png, 1);
}

// Start, a Huffman table segment (whose bytes would read as a small size),
// the frame header of height x width, a scan and the end.
Bytes handMadeJpeg(std::uint32_t height, std::uint32_t width)
{
    Bytes jpeg = bytesOf({0xFF, 0xD8, 0xFF, 0xC4, 0, 20, 0, 0, 1});
    jpeg.resize(jpeg.size() + 15);
    jpeg.insert(jpeg.end(), {0xFF, 0xC0, 0, 11, 8, 0, 0, 0, 0, 1, 1, 0x11, 0});
    writeField(jpeg, {29, 2, true}, height);
    writeField(jpeg, {31, 2, true}, width);
    jpeg.insert(jpeg.end(), {0xFF, 0xDA, 0, 8, 1, 1, 0, 0, 0x3F, 0, 0xFF, 0xD9});
    return jpeg;
}

// Where the hand-made jpeg's frame header, scan and end start.
constexpr std::size_t jpegFrame = 24;
constexpr std::size_t jpegScan = 37;
constexpr std::size_t jpegEnd = 47;

Bytes jpegPart(const Bytes& jpeg, std::size_t from, std::size_t to)
{
    return Bytes(jpeg.begin() + std::ptrdiff_t(from), jpeg.begin() + std::ptrdiff_t(to));
}

// The hand-made jpeg of height x width with scans scans, each of
// components components.
Bytes jpegOfScans(std::uint32_t height, std::uint32_t width, int scans, std::uint8_t components)
{
    Bytes scan = bytesOf({0xFF, 0xDA, 0, std::uint8_t(6 + 2 * components), components});
    for (std::uint8_t i = 1; i <= components; ++i)
        scan.insert(scan.end(), {i, 0});
    scan.insert(scan.end(), {0, 0x3F, 0});
    Bytes jpeg = handMadeJpeg(height, width);
    jpeg.erase(jpeg.begin() + std::ptrdiff_t(jpegScan), jpeg.begin() + std::ptrdiff_t(jpegEnd));
    return insertedCopies(jpeg, jpegScan, scan, scans);
}

// The hand-made jpeg of scans scans, with block inside the first one's data.
Bytes jpegScansAfter(const Bytes& block, int scans)
{
    return inserted(jpegOfScans(16, 24, scans, 1), jpegScan + 10, block);
}

// The hand-made jpeg of scans scans, the code and a "length" reaching past
// the others to the end inside the first one's data: with restarts the
// decoder takes such a code for damage, searches on to the next marker and
// reads every scan after it.
Bytes jpegScansBehind(std::uint8_t code, int scans)
{
    const auto length = std::uint32_t(2 + 10 * (scans - 1));
    return jpegScansAfter({0xFF, code, std::uint8_t(length >> 8), std::uint8_t(length)}, scans);
}

// The hand-made jpeg of 201 scans with, after the first one's data, a
// segment of the code whose body is an end marker: a walk that read it
// without its length would end there.
Bytes jpegEndInsideSegment(std::uint8_t code)
{
    return jpegScansAfter({0xFF, code, 0, 4, 0xFF, 0xD9}, 201);
}

// count more 1 x 1 images, each claiming width x height, after the first
// one's data.
Bytes gifWithMoreImages(int count, std::uint32_t width, std::uint32_t height)
{
    Bytes image = bytesOf({0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 0x44, 1, 0});
    writeField(image, {5, 2, false}, width);
    writeField(image, {7, 2, false}, height);
    const Bytes gif = handMadeGif();
    return insertedCopies(gif, gif.size() - 1, image, count);
}

// Entry index's field at offset (2: type, 4: count, 8: value) in the first
// directory.
ImageField tiffEntry(const Bytes& tiff, std::size_t index, std::size_t offset, int width)
{
    return {readField(tiff, {4, 4, false}) + 2 + 12 * index + offset, width, false};
}

std::vector<CheckRow> checkRows(const Bytes& png)
{
    const std::uint32_t limit = std::uint32_t(Bitmap::maxDecodedPixels);
    const Bytes bmp = handMadeBmp(24, false);
    const Bytes bmp8 = handMadeBmp(8, false);
    const Bytes fiveWide = changed(bmp, {18, 4, false}, 5);
    const Bytes icon = iconOf(bmp);
    const Bytes dib(icon.begin() + 22, icon.end());
    const Bytes gif = handMadeGif();
    const Bytes bare = gifWithoutColourTables(gif);
    const Bytes strips = handMadeTiff(5, 0, false);
    const Bytes tiles = handMadeTiff(0, 16, false);
    const ImageField firstStrip = {readField(strips, tiffEntry(strips, 8, 8, 4)), 4, false};
    const ImageField firstOffset = {readField(strips, tiffEntry(strips, 5, 8, 4)), 4, false};
    const auto stripsEnd = std::uint32_t(strips.size());
    const std::uint32_t firstStripRoom = stripsEnd - readField(strips, firstOffset);
    const ImageField stripsWidth = tiffEntry(strips, 0, 8, 2);
    const ImageField stripsHeight = tiffEntry(strips, 1, 8, 2);
    const ImageField tileWidth = tiffEntry(tiles, 6, 8, 4);
    const ImageField tileLength = tiffEntry(tiles, 7, 8, 4);
    const std::string text = std::string("Comment") + '\0' + "x";
    const std::string gamma("\0\0\xB1\x8F", 4);
    const Bytes ihdr(png.begin() + 8, png.begin() + 33);
    const Bytes jpegAtLimit = handMadeJpeg(rowsAtLimit, 16384);
    const Bytes jpegOverLimit = handMadeJpeg(rowsOverLimit, 16384);
    const Bytes emptySegment = {0xFF, 0xFE, 0, 0};
    const Bytes sharedChunky = iconOfPng(withEmptyDataChunks(png, 100000), 65535);
    const Bytes twoEntries = iconOfPng(png, 2);
    return {
        {"no known signature", changed(bmp, {1, 1, false}, 'N'), false},
        {"bmp", bmp, true},
        {"bmp file header cut short", cut(bmp, bmp.size() - 13), false},
        {"bmp header size unknown", changed(rle8Bmp(24, 16), {14, 4, false}, 41), false},
        {"bmp rows right after the header", changed(bmp, {10, 4, false}, 53), false},
        {"bmp rows past the end", changed(bmp, {10, 4, false}, std::uint32_t(bmp.size()) + 1), false},
        {"bmp width 0", changed(bmp, {18, 4, false}, 0), false},
        {"bmp width 1", changed(bmp, {18, 4, false}, 1), true},
        {"bmp height 0", changed(bmp, {22, 4, false}, 0), false},
        {"bmp top-down", changed(bmp, {22, 4, false}, std::uint32_t(-16)), true},
        {"bmp 2 bits", changed(bmp, {28, 2, false}, 2), false},
        {"bmp run-length bottom-up", rle8Bmp(24, 16), true},
        {"bmp run-length top-down", rle8Bmp(24, std::uint32_t(-16)), false},
        {"bmp 4-bit runs of 8 bits", changed(bmp8, {30, 4, false}, 2), false},
        {"bmp bit fields at 24 bits", changed(bmp, {30, 4, false}, 3), false},
        {"bmp bit fields at 16 bits", handMadeBmp(16, false), true},
        {"bmp 256 colours of 8 bits", changed(bmp8, {46, 4, false}, 256), true},
        {"bmp 257 colours of 8 bits", changed(bmp8, {46, 4, false}, 257), false},
        {"bmp at the pixel limit", rle8Bmp(16384, rowsAtLimit), true},
        {"bmp over the pixel limit", rle8Bmp(16384, rowsOverLimit), false},
        {"bmp rows a byte short", cut(bmp, 1), false},
        {"bmp 5 pixels wide, rows of 15 bytes filled out to 16", cut(fiveWide, 16 * 72 - 16 * 16), true},
        {"bmp 5 pixels wide, the last row's filling a byte short", cut(fiveWide, 16 * 72 - 16 * 16 + 1), false},
        {"icon", icon, true},
        {"icon without entries", changed(icon, {4, 2, false}, 0), false},
        {"icon entry past the end", changed(icon, {14, 4, false}, std::uint32_t(icon.size()) - 21), false},
        {"icon of two entries", twoEntryIcon(0), true},
        {"icon's second entry past the end", twoEntryIcon(1), false},
        {"icon image without its mask", changed(icon, {14, 4, false}, std::uint32_t(icon.size()) - 22 - 64), true},
        {"icon image rows a byte short", changed(icon, {14, 4, false}, std::uint32_t(icon.size()) - 22 - 65), false},
        {"icon of a bmp-style image and a png", iconOfImages({dib, png}), true},
        // Pass when only the first image by place is walked.
        {"icon's second image bmp-style of 2 bits", iconOfImages({png, changed(dib, {14, 2, false}, 2)}), false},
        {"icon's second image a png with a chunk past its end",
         iconOfImages({dib, changed(png, {33, 4, true}, std::uint32_t(png.size()))}), false},
        {"icon of a png", pngIcon(png), true},
        {"icon of a png of width 0", pngIcon(changed(png, {16, 4, true}, 0)), false},
        // Used to walk the png once for every entry, for about a minute.
        {"icon of 65,535 entries sharing a png of 100,000 chunks", sharedChunky, true},
        {"icon of two pngs overlapping",
         inserted(changed(twoEntries, {30, 4, false}, std::uint32_t(png.size()) + 1), twoEntries.size(), {0}), false},
        {"png", png, true},
        {"png header length 14", changed(inserted(png, 29, {0}), {8, 4, true}, 14), false},
        {"png header chunk not first", changed(png, {12, 4, true}, 0x49484458), false},
        {"png width 0", changed(png, {16, 4, true}, 0), false},
        {"png 1 pixel wide at the limit", changed(changed(png, {16, 4, true}, 1), {20, 4, true}, limit), true},
        {"png 1 pixel wide over the limit", changed(changed(png, {16, 4, true}, 1), {20, 4, true}, limit + 1), false},
        {"png 1 pixel high over the limit", changed(changed(png, {16, 4, true}, limit + 1), {20, 4, true}, 1), false},
        {"png without its end chunk", cut(png, 12), true},
        {"png chunk check cut short", cut(png, 13), false},
        {"png of 5,000 text chunks", withChunks(png, "tEXt", text, 5000), true},
        {"png time chunk twice, left out", withTimeChunks(png, 2), true},
        {"png gamma chunk", withChunks(png, "gAMA", gamma, 1), true},
        {"png gamma chunk twice", withChunks(png, "gAMA", gamma, 2), false},
        {"png header chunk twice", inserted(png, 33, ihdr), false},
        {"png private chunk, ancillary by its first letter", withChunks(png, "prvT", text, 1), true},
        {"png critical chunk the format does not define", withChunks(png, "PRVt", text, 1), false},
        {"gif", gif, true},
        {"gif screen at the limit", wide(gif, {6, 2, false}, {8, 2, false}, rowsAtLimit), true},
        {"gif screen over the limit", wide(gif, {6, 2, false}, {8, 2, false}, rowsOverLimit), false},
        {"gif image at the limit", wide(gif, {410, 2, false}, {412, 2, false}, rowsAtLimit), true},
        {"gif image over the limit", wide(gif, {410, 2, false}, {412, 2, false}, rowsOverLimit), false},
        {"gif of 10,001 images", gifWithMoreImages(10000, 1, 1), true},
        {"gif second image over the limit, left out", gifWithMoreImages(1, 16384, rowsOverLimit), true},
        {"gif without colour tables", bare, false},
        {"gif with its image's own table", inserted(changed(bare, {30, 1, false}, 0x86), 31, Bytes(384)), true},
        {"gif of 10,001 extensions", withGifExtensions(gif, 10000), true},
        {"jpeg at the limit", handMadeJpeg(rowsAtLimit, 16384), true},
        {"jpeg over the limit", handMadeJpeg(rowsOverLimit, 16384), false},
        {"jpeg fill and restart markers", inserted(jpegOverLimit, 2, {0xFF, 0xFF, 0xD0}), false},
        {"jpeg at the limit behind a stray byte", inserted(jpegAtLimit, jpegFrame, {0}), true},
        {"jpeg over the limit behind a stray byte", inserted(jpegOverLimit, jpegFrame, {0}), false},
        {"jpeg second frame header over the limit",
         inserted(jpegAtLimit, jpegScan, jpegPart(jpegOverLimit, jpegFrame, jpegScan)), false},
        {"jpeg without a scan", cut(jpegAtLimit, jpegEnd + 2 - jpegScan), false},
        {"jpeg segment past the end before the scan", changed(jpegAtLimit, {4, 2, true}, 60), false},
        {"jpeg cut short inside a segment after its first scan",
         inserted(cut(handMadeJpeg(16, 24), 2), jpegEnd, {0xFF, 0xC4, 0, 0x40, 0, 0}), true},
        {"jpeg segment of length 0 before the frame, skipped as the decoder skips it",
         inserted(jpegAtLimit, jpegFrame, emptySegment), true},
        // Used to end the walk and pass as one scan.
        {"jpeg of 1,000 scans behind a segment of length 0",
         inserted(jpegOfScans(16, 24, 1001, 1), jpegScan + 10, emptySegment), false},
        // Used to skip the code's length and pass as one scan.
        {"jpeg of 200 scans, 199 behind an unknown code", jpegScansBehind(0x02, 200), true},
        {"jpeg of 201 scans, 200 behind an unknown code", jpegScansBehind(0x02, 201), false},
        {"jpeg of 201 scans, 200 behind a reserved code", jpegScansBehind(0xF0, 201), false},
        {"jpeg of 201 scans, 200 behind a hierarchical code", jpegScansBehind(0xDE, 201), false},
        {"jpeg of 201 scans, 200 behind the temporary code", jpegScansBehind(0x01, 201), false},
        {"jpeg of 201 scans, 200 behind the last code before the frame headers", jpegScansBehind(0xBF, 201), false},
        {"jpeg of 201 scans, an end inside an arithmetic table", jpegEndInsideSegment(0xCC), false},
        {"jpeg of 201 scans, an end inside a restart interval", jpegEndInsideSegment(0xDD), false},
        {"jpeg of 201 scans, an end inside the last application segment", jpegEndInsideSegment(0xEF), false},
        {"jpeg of 201 scans, an end inside a comment", jpegEndInsideSegment(0xFE), false},
        {"jpeg of 200 scans", jpegOfScans(16, 24, 200, 1), true},
        {"jpeg of 201 scans", jpegOfScans(16, 24, 201, 1), false},
        // 200 scans of 4096 x 4096 pixels cost what 25 at the limit do.
        {"jpeg at the limit of 25 scans", jpegOfScans(rowsAtLimit, 16384, 25, 1), true},
        {"jpeg at the limit of 26 scans", jpegOfScans(rowsAtLimit, 16384, 26, 1), false},
        {"jpeg at the limit of 6 scans of 4 components", jpegOfScans(rowsAtLimit, 16384, 6, 4), true},
        {"jpeg at the limit of 7 scans of 4 components", jpegOfScans(rowsAtLimit, 16384, 7, 4), false},
        {"tiff in strips", strips, true},
        {"tiff in tiles", tiles, true},
        {"tiff directory past the end", changed(strips, {4, 4, false}, stripsEnd - 1), false},
        {"tiff values past the end", changed(strips, tiffEntry(strips, 2, 8, 4), stripsEnd - 5), false},
        {"tiff width as a long", changed(strips, tiffEntry(strips, 0, 2, 2), 4), true},
        {"tiff width as a byte", changed(strips, tiffEntry(strips, 0, 2, 2), 1), false},
        {"tiff at the limit", wide(strips, stripsWidth, stripsHeight, rowsAtLimit), true},
        {"tiff over the limit", wide(strips, stripsWidth, stripsHeight, rowsOverLimit), false},
        {"tiff tile at the limit", wide(tiles, tileWidth, tileLength, rowsAtLimit), true},
        {"tiff tile over the limit", wide(tiles, tileWidth, tileLength, rowsOverLimit), false},
        {"tiff fewer byte counts than strips", changed(strips, tiffEntry(strips, 8, 4, 4), 3), false},
        {"tiff strip up to the end", changed(strips, firstStrip, firstStripRoom), true},
        {"tiff strip past the end", changed(strips, firstStrip, firstStripRoom + 1), false},
    };
}

} // namespace

// Each rule on both sides of its boundary: every row fails when its rule
// is taken out of the check.
TEST_F(ImageHeaderCheckTest, EachRuleOnBothSidesOfItsBoundary)
{
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    ASSERT_GT(png.size(), 33u);
    forEachRow(checkRows(png), [](const CheckRow& row) {
        EXPECT_EQ(row.sound, ImageHeaderCheck::isSound(row.bytes.data(), row.bytes.size())) << row.rule;
    });
    EXPECT_FALSE(ImageHeaderCheck::isSound(nullptr, 0));
}

// A file is judged from its first bytes: refused when it is no image or
// larger than any image can be, a bmp from its header alone.
TEST_F(ImageHeaderCheckTest, FirstBytesTellTheFormatAndTheSize)
{
    using Verdict = ImageHeaderCheck::HeadVerdict;
    const Bytes bmp = handMadeBmp(24, false);
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    const std::uint64_t largest = ImageHeaderCheck::maxFileBytes;
    const std::uint64_t head = ImageHeaderCheck::headBytes;
    struct Row {
        const Bytes& bytes;
        std::uint64_t headSize;
        std::uint64_t fileSize;
        Verdict verdict;
    };
    const Bytes zeros(256);
    const Row rows[] = {
        {bmp, bmp.size(), bmp.size(), Verdict::Sound},
        {bmp, head, bmp.size(), Verdict::Sound},
        {bmp, head - 1, bmp.size(), Verdict::Refused},
        {bmp, head, bmp.size() - 1, Verdict::Refused},
        {png, png.size(), png.size(), Verdict::NeedsWholeFile},
        {png, head, largest, Verdict::NeedsWholeFile},
        // 1 GB of the widest pixels and 64 MB for headers and metadata.
        {png, head, (std::uint64_t(1) << 30) + (64 << 20), Verdict::NeedsWholeFile},
        {png, head, largest + 1, Verdict::Refused},
        {zeros, head, largest, Verdict::Refused},
    };
    forEachRow(rows, [](const Row& row) {
        EXPECT_EQ(row.verdict, ImageHeaderCheck::checkHead(row.bytes.data(), row.headSize, row.fileSize));
    });
}

// The decoder is given the first frame and what shapes its pixels: never
// texts, times, profiles, further frames or private data, however many or
// large (a compressed text inflated for seconds into gigabytes).
TEST_F(ImageHeaderCheckTest, TheDecoderIsGivenOnlyWhatShapesTheFirstFrame)
{
    const Bytes sample = sampleImageFile(imageFormatRows[0]);
    Bytes shown = sample;
    for (const char* type : {"gAMA", "cHRM", "sRGB", "sBIT", "tRNS"})
        shown = withChunks(shown, type, "\x01\x02", 1);
    Bytes hidden = animatedPng(shown, 3, 16384, 8193);
    for (const char* type : {"zTXt", "iTXt", "iCCP", "bKGD", "tIME", "pHYs", "prvT"})
        hidden = withChunks(hidden, type, std::string(70000, 'x'), 1);
    const auto given = [](const Bytes& bytes) {
        const ImageHeaderCheck::DecoderInput input = ImageHeaderCheck::decoderInput(bytes.data(), bytes.size());
        Bytes given(input.head(), input.head() + input.headSize());
        given.insert(given.end(), input.tail(), input.tail() + input.tailSize());
        return given;
    };
    const Bytes fromShown = given(shown);
    for (const char* type : {"gAMA", "cHRM", "sRGB", "sBIT", "tRNS", "IDAT", "IEND"})
        EXPECT_LT(findPngChunk(fromShown, type), fromShown.size()) << type;
    EXPECT_EQ(fromShown.size(), findPngChunk(fromShown, "tEXt"));
    EXPECT_EQ(fromShown, given(hidden));
    // An icon's png image the same, its entry pointing at what is given.
    const Bytes icon = given(pngIcon(hidden));
    ASSERT_FALSE(icon.empty());
    const auto image = icon.begin() + std::ptrdiff_t(readField(icon, {18, 4, false}));
    EXPECT_EQ(fromShown, Bytes(image, image + std::ptrdiff_t(readField(icon, {14, 4, false}))));
    // A gif's further frames, loop and comment blocks.
    Bytes gif = animatedGif(3, 16384, 8193);
    gif = insertedCopies(gif, 13 + 384, bytesOf(std::string("\x21\xFE\x03" "abc\x00", 7)), 1);
    EXPECT_EQ(handMadeGif(), given(gif));
    // It reads the bytes where they lie, past the last part left out (a
    // 20 MB png used to be copied whole); the sample leaves out its text.
    const auto asTheyAre = ImageHeaderCheck::decoderInput(fromShown.data(), fromShown.size());
    EXPECT_EQ(0u, asTheyAre.headSize());
    EXPECT_EQ(fromShown.data(), asTheyAre.tail());
    const auto pastText = ImageHeaderCheck::decoderInput(sample.data(), sample.size());
    EXPECT_EQ(33u, pastText.headSize());
    EXPECT_EQ(sample.data() + findPngChunk(sample, "IDAT"), pastText.tail());
}

// A file cut short gives the decoder nothing past its end, where a part's
// size would reach (with parts not cut to the bytes, a gif cut to 14 bytes
// goes out as its 397-byte screen): every cut of each format whose parts
// are copied, the part read in place inside the bytes. A cut icon is
// refused, as its images no longer lie inside.
TEST_F(ImageHeaderCheckTest, ACutFileGivesTheDecoderOnlyItsBytes)
{
    const Bytes png = sampleImageFile(imageFormatRows[0]);
    const Bytes icon = iconOf(handMadeBmp(24, false));
    const Bytes files[] = {png, handMadeGif(), iconOfImages({png, Bytes(icon.begin() + 22, icon.end())})};
    forEachRow(files, [](const Bytes& file) {
        int sound = 0;
        for (std::size_t size = 0; size <= file.size(); ++size) {
            const auto input = ImageHeaderCheck::decoderInput(file.data(), size);
            if (input.isRefused())
                continue;
            ++sound;
            ASSERT_GE(input.tail(), file.data()) << size;
            EXPECT_LE(std::uint64_t(input.tail() - file.data()) + input.tailSize(), size);
        }
        EXPECT_GT(sound, 0);
    });
}
