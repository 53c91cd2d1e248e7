#pragma once
// palfade-cli's commands, one producer each: it reads and computes
// everything the command writes, and gives the output to be written as it is
// made.

#include "cli/cli_options.h"
#include "cli/cli_support.h"
#include "core/table_stats.h"
#include "io/file_access.h"

namespace palfade::cli {

// `stats` gets what the table costs (fade and preview).
using Producer = DeviceWrite (*)(const Options& o, const Streams& io, TableStats& stats);

DeviceWrite ProduceFade(const Options& o, const Streams& io, TableStats& stats);
DeviceWrite ProducePreview(const Options& o, const Streams& io, TableStats& stats);
DeviceWrite ProducePalette(const Options& o, const Streams& io, TableStats& stats);
DeviceWrite ProduceArt(const Options& o, const Streams& io, TableStats& stats);

} // namespace palfade::cli
