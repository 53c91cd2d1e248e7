#include "exports/export_formats.h"
#include "exports/export_writer.h"
#include "io/file_access.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace palfade {
namespace {

TEST(ExportWriter, StdintTypesBringTheirHeader)
{
    const struct {
        const char* type;
        bool fromStdint;
    } rows[] = {
        {"uint16_t", true},       {"int16_t", true},     {"uint8_t", true},   {"int64_t", true},
        {"uint_least16_t", true}, {"int_fast32_t", true}, {"uintptr_t", true}, {"intmax_t", true},
        {"u16", false},           {"int", false},        {"unsigned short", false}, {"uint12_t", false},
        {"uint16_tt", false},     {"uuint16_t", false},  {"int_least_t", false},    {"UINT16_T", false},
    };
    PaletteWords words{};
    for (const auto& row : rows) {
        const QString type = QString::fromLatin1(row.type);
        EXPECT_EQ(IsStdintType(type), row.fromStdint) << row.type;
        const QByteArray declaration = "const " + QByteArray(row.type) + " pal[] =\r\n";
        const QByteArray c = SourcePaletteExport(words, 1, kCWords, ExportOptions{QStringLiteral("pal"), type});
        EXPECT_EQ(c.startsWith("#include <stdint.h>\r\n" + declaration), row.fromStdint) << c.constData();
        EXPECT_TRUE(c.contains("\n" + declaration) || c.startsWith(declaration)) << c.constData();
    }
    // Only the C form has a type.
    const ExportOptions stdint{QStringLiteral("pal"), QStringLiteral("uint16_t")};
    EXPECT_TRUE(SourcePaletteExport(words, 1, kGnuWords, stdint).startsWith("\t.globl\tpal\r\n"));
}

// A streamed export whose writes start failing part way, as on a full disk:
// the writer must report it so that the old file stays.
TEST(ExportWriter, StreamedExportThatFailsLeavesTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("fades.s"));
    const QByteArray old = "old content";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    const std::vector<HwColor> line(16, 0x7FFF);
    auto write = [&](QIODevice& device) {
        ExportWriter writer(device, kMotorolaWords);
        writer.Head();
        for (int k = 0; k < 10000; ++k)
            writer.Line(line);
        return writer.Tail();
    };

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 100000; // past the first pieces, short of the whole
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const IoStatus status = WriteFileAtomically(path, write);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(status.error, QStringLiteral("cannot write %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(EFBIG))));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);

    ASSERT_TRUE(WriteFileAtomically(path, write).ok());
    EXPECT_EQ(QFile(path).size(), 10000 * (6 + 16 * 5 + 15 + 2)); // "\tdc.w\t$7FFF,...\r\n"
}

} // namespace
} // namespace palfade
