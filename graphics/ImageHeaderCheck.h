#pragma once

#include <cstdint>
#include <memory>

// The program's own reading of an image file's header, made before the
// platform's decoder sees the bytes: that decoder trusts sizes a damaged or
// hostile file may claim, overflows its row arithmetic and writes to wild
// addresses, or allocates gigabytes for a file of a few hundred bytes.
//
// The format is told from the content, as the platform does: bmp, icon (and
// cursor), png, gif, jpeg and tiff are recognised; anything else is
// refused. Every format is refused when its header claims more than
// Bitmap::maxDecodedPixels pixels, or the file is larger than
// maxFileBytes. Beyond that:
// - bmp, and the images inside icons (whose height counts the colour rows
//   and the mask): a known header size, a width and height other than 0,
//   bits per pixel 1, 4, 8, 16, 24 or 32 with a compression that fits them,
//   no more palette colours than the depth has, and for uncompressed rows
//   all of them inside the bytes;
// - icons: a directory whose entries lie inside the bytes, each image
//   (bmp-style or png) checked once however many entries share it, and the
//   png images together no larger than the file;
// - png: a header chunk first, every chunk inside the bytes up to the end
//   chunk, no critical chunk the format does not define, and no chunk the
//   decoder is given (below) repeated where the format allows one only;
// - tiff, its first directory: the entries, and each entry's values, inside
//   the bytes (the decoder allocates what a count claims, reckoned in 32
//   bits); the sizes, and the strip and tile offsets and byte counts,
//   shorts or longs; a tile within the pixel limit too; as many byte counts
//   as offsets, and every strip and tile (its byte count's worth from its
//   offset) inside the bytes.
// - gif: the screen's and the first image's size, and a colour table for
//   that image (its own or the screen's);
// - jpeg: its markers walked as the decoder walks them (stray and fill
//   bytes before a marker skipped, a segment length below 2 taken as the
//   length's own 2 bytes, and after a marker that is no segment, such as a
//   restart or a code the decoder does not know, the next marker sought
//   rather than a length skipped) up to the end, every segment up to the
//   first scan inside the bytes, every frame header's size, and every scan
//   the decoder may read bounded by what it costs it (see the source).
// Their decoders handle the rest, as the tiff decoder does later
// directories, rows per strip (more than the height means one strip) and
// the compressed data.
//
// The program shows an image's first frame only, so the decoder is given
// only what shapes its pixels (decoderInput): of a png the critical chunks
// and the colour chunks, of a gif the stream up to the end of the first
// image; icons holding pngs are rebuilt around those. Text, times, further
// frames and private data then cost nothing, however many or large. Only
// what comes before the last part left out is copied; the decoder reads
// the rest as it lies in the bytes, all of them when nothing is left out
// between the parts given (a png's chunks after its end chunk, a gif's
// frames after the first image and its trailer). Tiffs and jpegs go to
// the decoder whole.
class ImageHeaderCheck {
public:
    // The largest file accepted: the widest pixel these formats store,
    // 16-bit red, green, blue and alpha, takes 8 bytes, so an image within
    // the pixel limit takes at most 1 GB, and 64 MB more allows for its
    // headers, tables and metadata. A larger file holds more than any one
    // image the program would decode, and is refused for its size alone.
    static const std::uint64_t maxFileBytes;
    // What checkHead wants of a file's first bytes: every signature and the
    // largest bmp header.
    static constexpr std::uint64_t headBytes = 256;

    // Whether the bytes may be handed to the platform's decoder.
    static bool isSound(const std::uint8_t* bytes, std::uint64_t size);

    // What the platform's decoder is given for bytes the check finds
    // sound, the parts that shape the first frame's pixels, to be read one
    // after the other: a head, copied, then a tail that lies in the bytes.
    // Refused too when the head's memory cannot be had. It refers to the
    // bytes it was made from, which must outlive it.
    class DecoderInput {
    public:
        bool isRefused() const { return m_tail == nullptr; }
        // Empty when the decoder reads the bytes as they are.
        const std::uint8_t* head() const { return m_head.get(); }
        std::uint64_t headSize() const { return m_headSize; }
        const std::uint8_t* tail() const { return m_tail; }
        std::uint64_t tailSize() const { return m_tailSize; }

    private:
        friend class ImageHeaderCheck;
        std::unique_ptr<std::uint8_t[]> m_head;
        std::uint64_t m_headSize = 0;
        const std::uint8_t* m_tail = nullptr;
        std::uint64_t m_tailSize = 0;
    };
    static DecoderInput decoderInput(const std::uint8_t* bytes, std::uint64_t size);

    enum class HeadVerdict { Refused, Sound, NeedsWholeFile };
    // A file of fileSize bytes judged from its first headSize bytes (at
    // least headBytes, or the whole file), so that a file that is no image,
    // or too large to be one, is refused before the rest is read. Sound
    // only for a bmp, whose header alone says where its rows lie; the other
    // formats need isSound over the whole file.
    static HeadVerdict checkHead(const std::uint8_t* head, std::uint64_t headSize, std::uint64_t fileSize);
};
