#include "ui/palette_origin.h"

#include "core/fade_choices.h"
#include "core/palette_commands.h"
#include "exports/exchange_export.h"
#include "exports/export_writer.h"
#include "sources/exchange_source.h"

#include <QFileInfo>
#include <QDir>
#include <QRegularExpression>

#include <utility>

namespace palfade {

namespace {

constexpr const char* kProgramName = "palfade-cli";
constexpr const char* kPaletteNames[] = {"Palette 1 (Top)", "Palette 2 (Bottom)"};
constexpr const char* kSourceOptions[] = {"--top", "--bottom"};
constexpr const char* kIndexOptions[] = {"--top-index", "--bottom-index"};
constexpr const char* kSavedNames[] = {"palette1.ngpal", "palette2.ngpal"};
constexpr qsizetype kCommandWidth = 72;

QString Text(const char* text)
{
    return QString::fromLatin1(text);
}

QString WordPrefix()
{
    return QString::fromLatin1(kWordSourcePrefix.data(), static_cast<qsizetype>(kWordSourcePrefix.size()));
}

// palfade-cli's --read-as word for each kind.
constexpr std::pair<SourceKind, const char*> kReadAsWords[] = {
    {SourceKind::PaletteFile, "ngpal"}, {SourceKind::Text, "text"},          {SourceKind::Picture, "picture"},
    {SourceKind::GimpPalette, "gpl"},   {SourceKind::JascPalette, "jasc"},   {SourceKind::AdobeColorTable, "act"},
    {SourceKind::HexList, "hex"}};

// A picture's or an exchange palette's colours become words through the
// level tables or by ngdevkit's rule.
bool ReadsColours(SourceKind kind)
{
    return kind == SourceKind::Picture || IsExchangeKind(kind);
}

// What palfade-cli applies to every source of a kind (the text options, the
// picture options, --read-as) and the level set (--hardware-colors, for
// pictures' and exchange palettes' colours and the colours an exchange
// format writes): the first file or the export sets them, a second must
// read with the same.
class SharedReading {
public:
    // The colours an exchange format writes are those of `hardware`'s set.
    void WriteColours(bool hardware) { hardware_ = hardware; }

    bool Take(const PaletteOrigin& o)
    {
        const bool forced = o.kind != SourceKindOfFile(o.source);
        for (const SourceKind kind : kinds_)
            if ((forced || readAs_) && kind != o.kind)
                return false;
        if (readAs_ && *readAs_ != o.kind)
            return false;
        if (o.kind == SourceKind::Text && text_ && *text_ != o.text)
            return false;
        if (o.kind == SourceKind::Picture && order_ && *order_ != o.pictureOrder)
            return false;
        const bool colours = ReadsColours(o.kind);
        if (colours && words_ && *words_ != o.pictureWords)
            return false;
        // Through the level tables the set counts too; ngdevkit's rule has none.
        const bool levels = colours && o.pictureWords == PictureWords::Levels;
        if (levels && hardware_ && *hardware_ != o.hardwareLevels)
            return false;
        kinds_.push_back(o.kind);
        if (forced)
            readAs_ = o.kind;
        if (o.kind == SourceKind::Text)
            text_ = o.text;
        if (o.kind == SourceKind::Picture)
            order_ = o.pictureOrder;
        if (colours)
            words_ = o.pictureWords;
        if (levels)
            hardware_ = o.hardwareLevels;
        return true;
    }

    void Arguments(QStringList& args) const
    {
        if (text_) {
            const TextSourceOptions& t = *text_;
            if (t.skipComments)
                args << QStringLiteral("--skip-comments");
            if (!t.after.isEmpty())
                args << QStringLiteral("--after") << t.after;
            if (t.skipWords != 0)
                args << QStringLiteral("--skip-words") << QString::number(t.skipWords);
            if (!t.table.isEmpty())
                args << QStringLiteral("--table") << t.table;
            for (const QString& defines : t.defines)
                args << QStringLiteral("--defines") << defines;
            if (t.countWord)
                args << QStringLiteral("--count-word");
            if (t.paletteSize != kPaletteSize)
                args << QStringLiteral("--palette-size") << QString::number(t.paletteSize);
            if (t.firstEntry != 0)
                args << QStringLiteral("--first-entry") << QString::number(t.firstEntry);
        }
        if (order_ == PictureOrder::Table)
            args << QStringLiteral("--picture-order") << QStringLiteral("table");
        if (words_ == PictureWords::Ngdevkit)
            args << QStringLiteral("--picture-words") << QStringLiteral("ngdevkit");
        if (hardware_ == true)
            args << QStringLiteral("--hardware-colors");
        if (readAs_)
            for (const auto& [kind, word] : kReadAsWords)
                if (kind == *readAs_)
                    args << QStringLiteral("--read-as") << QLatin1String(word);
    }

private:
    std::vector<SourceKind> kinds_;
    std::optional<SourceKind> readAs_;
    std::optional<TextSourceOptions> text_;
    std::optional<PictureOrder> order_;
    std::optional<PictureWords> words_;
    std::optional<bool> hardware_;
};

// A file whose name palfade-cli would take for a named palette, standard
// input or an option is named through its folder.
QString FileOperand(const QString& path)
{
    const bool misread = path == QLatin1String("black") || path == QLatin1String("white") ||
                         path.startsWith(WordPrefix()) || path.startsWith(u'-');
    return misread ? QStringLiteral("./") + path : path;
}

QString Refusal(const ToolchainChoice& choice)
{
    if (choice.format == nullptr || (choice.format->wordExport == nullptr && !choice.format->exchangeExport))
        return QStringLiteral("Choose a format.");
    if (choice.format->TakesLabel() && !choice.label.isEmpty()) {
        if (!IsCIdentifier(choice.label))
            return QStringLiteral("The label must be a C identifier (a letter or '_', then letters, digits or "
                                  "'_').");
        if (IsCKeyword(choice.label))
            return QStringLiteral("The label '%1' is a C keyword, not a name.").arg(choice.label);
        if (choice.format->TakesAsmLabel() && IsM68kRegister(choice.label))
            return QStringLiteral("The label '%1' is a 68000 register, which the assembler reads instead of the "
                                  "label.")
                .arg(choice.label);
    }
    if (choice.format->TakesCType() && !(IsCType(choice.cType) && IsCElementType(choice.cType)))
        return QStringLiteral("The C type must be one type name (u16) or C's words (unsigned short).");
    if (choice.path.isEmpty())
        return QStringLiteral("Choose the file to write.");
    return {};
}

} // namespace

PaletteOrigin PaletteOrigin::Named(const QString& source, const SourcePalette& palette)
{
    PaletteOrigin origin;
    origin.source = source;
    origin.words = WordsOfPalette(palette);
    return origin;
}

PaletteOrigin PaletteOrigin::File(const QString& path, const SourceRequest& request, std::optional<int> index,
                                  const PaletteWords& words)
{
    PaletteOrigin origin;
    origin.source = path;
    origin.file = true;
    origin.kind = request.kind.value_or(SourceKindOfFile(path));
    origin.text = request.text;
    origin.pictureOrder = request.pictureOrder;
    origin.pictureWords = request.pictureWords;
    origin.hardwareLevels = request.levels.inverse != LinearLevelSet().inverse;
    origin.index = index;
    origin.words = words;
    return origin;
}

QString WordSourceName(HwColor word)
{
    return WordPrefix() + QStringLiteral("%1").arg(word, 4, 16, QLatin1Char('0')).toUpper();
}

ToolchainCommand ToolchainCommandFor(const AppState& state, const PaletteOrigins& origins,
                                     const ToolchainChoice& choice)
{
    ToolchainCommand command;
    command.refusal = Refusal(choice);
    QStringList& args = command.arguments;
    args << QStringLiteral("fade");
    SharedReading shared;
    if (choice.format != nullptr && choice.format->exchangeExport)
        shared.WriteColours(state.view.hardwareColors);
    const QDir folder = QFileInfo(choice.path).dir();
    for (std::size_t k = 0; k < origins.size(); ++k) {
        const PaletteOrigin& origin = origins[k];
        const QString palette = Text(kPaletteNames[k]);
        QString why;
        if (WordsOfPalette(state.palettes[k]) != origin.words)
            why = QStringLiteral("%1 was changed since it was loaded or set").arg(palette);
        else if (origin.file && !shared.Take(origin))
            why = QStringLiteral("%1 is read with other options than %2, and palfade-cli reads all sources of a kind "
                                 "alike")
                      .arg(palette, Text(kPaletteNames[0]));
        if (!why.isEmpty()) {
            PaletteOrigin saved;
            saved.source = choice.path.isEmpty() ? Text(kSavedNames[k]) : folder.filePath(Text(kSavedNames[k]));
            saved.file = true;
            saved.kind = SourceKind::PaletteFile;
            shared.Take(saved);
            command.notes << QStringLiteral("%1: save it first as a NeoGeo Palette at %2 (\"Save As..\" in its menu).")
                                 .arg(why, saved.source);
            args << Text(kSourceOptions[k]) << saved.source;
            continue;
        }
        args << Text(kSourceOptions[k]) << (origin.file ? FileOperand(origin.source) : origin.source);
        if (origin.file && origin.index)
            args << Text(kIndexOptions[k]) << QString::number(*origin.index);
    }
    shared.Arguments(args);

    args << QStringLiteral("--palettes") << QString::number(state.paletteCount) << QStringLiteral("--colors")
         << QString::number(state.colorCount);
    if (state.view.simpleFade)
        args << QStringLiteral("--simple");
    if (state.view.useDarkBit)
        args << QStringLiteral("--dark-bit");
    const ShapeSettings& shape = state.shape;
    if (shape.curve != FadeCurve::Linear && !state.view.simpleFade)
        args << QStringLiteral("--curve") << QString::fromStdString(std::string(FadeCurveText(shape.curve)));
    if (shape.keep != 0)
        args << QStringLiteral("--keep") << QString::fromStdString(KeepListText(shape.keep));
    if (shape.thereAndBack)
        args << QStringLiteral("--there-and-back");
    if (choice.format != nullptr && choice.format->exchangeExport) {
        const qsizetype colors = qsizetype{state.fadeTable.steps()} * state.colorCount;
        if (const std::optional<QString> refused = ExchangeCountRefusal(*choice.format->exchangeExport, colors))
            command.notes << QStringLiteral("This fade cannot be written so: %1 (palfade-cli refuses it too).")
                                 .arg(*refused);
    }
    if (choice.format != nullptr && choice.format->cliName != nullptr) {
        args << QStringLiteral("--format") << QLatin1String(choice.format->cliName);
        if (choice.format->TakesLabel() && !choice.label.isEmpty())
            args << QStringLiteral("--label") << choice.label;
        if (choice.format->TakesCType() && choice.cType != ExportOptions().cType)
            args << QStringLiteral("--c-type") << choice.cType;
    }
    args << QStringLiteral("-o") << (choice.path == QLatin1String("-") ? QStringLiteral("./-") : choice.path);
    return command;
}

QString CommandLineText(const QStringList& arguments)
{
    static const QRegularExpression kPlain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    QStringList words;
    for (const QString& argument : arguments)
        words << (kPlain.match(argument).hasMatch()
                      ? argument
                      : QLatin1Char('\'') + QString(argument).replace(u'\'', QStringLiteral("'\\''")) +
                            QLatin1Char('\''));
    // A long command goes on over lines, each option with its value.
    QStringList lines{Text(kProgramName)};
    for (qsizetype i = 0; i < words.size(); ++i) {
        const bool option = arguments[i].startsWith(u'-');
        const bool valued = option && i + 1 < words.size() && !arguments[i + 1].startsWith(u'-');
        const qsizetype width = words[i].size() + (valued ? 1 + words[i + 1].size() : 0);
        if (option && lines.back().size() + 1 + width > kCommandWidth)
            lines << QStringLiteral(" ");
        lines.back() += QLatin1Char(' ') + words[i];
    }
    return lines.join(QStringLiteral(" \\\n"));
}

} // namespace palfade
