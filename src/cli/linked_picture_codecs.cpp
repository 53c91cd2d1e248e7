#include "cli/linked_picture_codecs.h"

#include "pictures/picture_export.h"
#include "pictures/picture_import.h"

namespace palfade::cli {

namespace {

IoResult<QByteArray> EncodeBmpEnlarged(const PixelBuffer& image, int zoom)
{
    return EncodePicture(image, PictureFormat::Bmp, zoom);
}

} // namespace

const PictureCodecs& LinkedPictureCodecs()
{
    static const PictureCodecs codecs{kPictureCodecsVersion, &ImportPaletteFromPicture, &EncodeBmpEnlarged};
    return codecs;
}

} // namespace palfade::cli
