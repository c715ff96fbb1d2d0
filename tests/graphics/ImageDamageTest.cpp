#include "tests/support/DamagedImages.h"
#include "tests/support/RowTable.h"

#include <gtest/gtest.h>

using ImageDamage = ImageCodecSuite;

// Decoders handed a length field set huge used to read past the memory
// block they were given and end the process.
TEST_F(ImageDamage, DamagedFilesDecodeOrStayEmpty)
{
    forEachRow(imageFormatRows, [](const ImageFormatRow& row) {
        const Bytes original = sampleImageFile(row);
        ASSERT_GT(original.size(), 40u);
        const Bitmap intact = Bitmap::fromData(original.data(), std::int64_t(original.size()), row.extension);
        ASSERT_EQ(Size(24, 16), intact.size());
        int decoded = 0;
        int refused = 0;
        int hugeFields = 0;
        forEachDamagedImage(row, original, 150, 300, [&](const std::string& what, const Bytes& copy) {
            SCOPED_TRACE(what);
            hugeFields += what.starts_with("huge") ? 1 : 0;
            const Bitmap bitmap = Bitmap::fromData(copy.data(), std::int64_t(copy.size()), row.extension);
            if (bitmap.isNull())
                ++refused;
            else
                ++decoded;
            EXPECT_TRUE(bitmap.isNull() || (bitmap.width() >= 1 && bitmap.height() >= 1 && bitmap.hasAlpha()));
        });
        // The walker found the format's fields, and both outcomes occur:
        // the damage reached the decoder and was survived.
        EXPECT_GE(hugeFields, 6);
        EXPECT_GT(decoded, 0);
        EXPECT_GT(refused, 0);
    });
}
