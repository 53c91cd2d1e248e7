#pragma once
// The picture codecs linked in: what the module hands to palfade-cli, and
// what tests of RunCli use directly.

#include "cli/picture_codecs.h"

namespace palfade::cli {

const PictureCodecs& LinkedPictureCodecs();

} // namespace palfade::cli
