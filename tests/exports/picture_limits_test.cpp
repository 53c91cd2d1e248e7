#include "exports/picture_limits.h"

#include <gtest/gtest.h>

namespace palfade {
namespace {

TEST(CheckPreviewSize, RefusesWhatCannotBeWrittenWithSizeAndLimit)
{
    const struct {
        std::int64_t fades;
        int steps;
        int zoom;
        PictureFormat format;
        const char* error; // empty: it can be written
    } rows[] = {
        {100000, 256, 1, PictureFormat::Png,
         "the preview is 12800000 x 2048 pixels; palfade draws at most 268435456 pixels"},
        {100000, 256, 4, PictureFormat::Bmp,
         "the preview is 51200000 x 8192 pixels; palfade draws at most 268435456 pixels"},
        // Wider than libpng's default limit of a million pixels a side.
        {8000, 32, 1, PictureFormat::Png, ""},
        // Every palette of the machine: the PNG encoder enlarges row by row,
        // BMP holds the enlarged picture.
        {256, 256, 4, PictureFormat::Png, ""},
        {256, 256, 2, PictureFormat::Bmp, ""},
        {256, 256, 3, PictureFormat::Bmp, "the preview is 98304 x 6144 pixels; palfade draws at most 268435456 pixels"},
        {2049, 256, 4, PictureFormat::Png,
         "the preview is 1049088 x 8192 pixels; palfade draws at most 268435456 pixels before zoom"},
    };
    for (const auto& row : rows) {
        const IoStatus status = CheckPreviewSize(PreviewSize(16, row.steps, row.fades), row.zoom, row.format);
        EXPECT_EQ(status.error.toStdString(), row.error) << row.fades << " fades, zoom " << row.zoom;
    }
}

} // namespace
} // namespace palfade
