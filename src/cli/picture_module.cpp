// The module palfade-cli loads for pictures: Qt's GUI library comes with it.

#include "cli/linked_picture_codecs.h"

#include <QtGlobal>

extern "C" Q_DECL_EXPORT const palfade::cli::PictureCodecs* palfade_cli_picture_codecs()
{
    return &palfade::cli::LinkedPictureCodecs();
}
