// The window's additions driven through the menus with a scripted host:
// "Import from source..", "Set to colour..", "Fade shape.." and "Export for
// a toolchain..", whose palfade-cli command must write the bytes the window
// wrote.

#include "cli/cli.h"
#include "core/palette_commands.h"
#include "fake_host.h"
#include "ui/art_preview_window.h"
#include "ui/command_ids.h"
#include "ui/main_window.h"
#include "ui/toolchain_export.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace palfade;

namespace {

// Three DATlib tables as a sprite converter writes them: a label, the count
// word, then the palettes. Word j of palette k of table t:
HwColor DatlibWord(int t, int k, int j)
{
    return static_cast<HwColor>((t << 12) | (k << 8) | (j * 0x11));
}

constexpr const char* kTables[] = {"title_Palettes", "logo_Palettes", "hud_Palettes"};
constexpr int kTablePalettes[] = {2, 3, 1};

QByteArray CharPals()
{
    QByteArray text = "; palettes of the character tiles\n";
    for (int t = 0; t < 3; ++t) {
        text += QByteArray(kTables[t]) + ":\n\tdc.w\t" + QByteArray::number(kTablePalettes[t]) + "\n";
        for (int k = 0; k < kTablePalettes[t]; ++k) {
            QStringList words;
            for (int j = 0; j < kPaletteSize; ++j)
                words << QStringLiteral("$%1").arg(DatlibWord(t, k, j), 4, 16, QLatin1Char('0')).toUpper();
            text += "\tdc.w\t" + words.join(u',').toLatin1() + "\n";
        }
    }
    return text;
}

SourcePalette DatlibPalette(int t, int k)
{
    SourcePalette palette{};
    for (int j = 0; j < kPaletteSize; ++j)
        palette[static_cast<std::size_t>(j)] = DecodeHwColor(DatlibWord(t, k, j));
    return palette;
}

// Sixteen white colours, then red: palette 1 is red and fifteen black entries.
QByteArray WhitesThenRed()
{
    QByteArray text = "GIMP Palette\nName: whites\nColumns: 16\n#\n";
    for (int k = 0; k < kPaletteSize; ++k)
        text += "255 255 255\twhite\n";
    return text + "255   0   0\tred\n";
}

SourcePalette Filled(PaletteEntry e)
{
    SourcePalette p;
    p.fill(e);
    return p;
}

const SourcePalette kStart = Filled({10, 20, 30, 1});

// Files beside each other in a folder whose name needs quoting in a shell.
struct Files {
    QTemporaryDir root;
    QString dir;

    Files() : dir(root.filePath(QStringLiteral("it's a fade"))) { QDir().mkpath(dir); }
    QString Path(const QString& name) const { return dir + u'/' + name; }
    QString Write(const QString& name, const QByteArray& bytes) const
    {
        QFile file(Path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return Path(name);
    }
    QString Fixture(const char* name) const
    {
        const QString path = Path(QLatin1String(name));
        QFile::copy(QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name), path);
        return path;
    }
};

struct Rig {
    AppState state;
    FakeHost host;
    MainWindow window{state, host};

    Rig()
    {
        LoadLevelTables(state);
        window.RefreshView();
    }
    void Run(int id) { window.CommandAction(id)->trigger(); }
    void ImportSource(int which, const QString& path, std::optional<SourcePick> pick)
    {
        host.openAnswers.push_back(FileChoice{path, 0});
        host.pickAnswers.push_back(pick);
        Run(PaletteCommandId(kCmdImportSource1, which));
    }
};

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

} // namespace

Q_DECLARE_METATYPE(palfade::SourcePalette)

class WindowAdditionsTest : public QObject {
    Q_OBJECT

private slots:
    void importFromSource_data();
    void importFromSource();
    void setToColour();
    void fadeShape();
    void commandWritesTheSameBytes_data();
    void commandWritesTheSameBytes();
    void exportDialogCopiesAndRefuses();
    void anAdobeTableHoldsAtMost256Colours();
};

void WindowAdditionsTest::importFromSource_data()
{
    QTest::addColumn<QString>("file"); // charPals, bad, gpl, damaged, fifo, picture, or empty: cancelled
    QTest::addColumn<int>("row");      // -1: the picker is cancelled
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("listed"); // a line the picker lists
    QTest::addColumn<SourcePalette>("loaded");

    QTest::newRow("requester cancelled") << "" << -1 << 0 << "open" << "" << kStart;
    QTest::newRow("a pipe is refused") << "fifo" << 0 << 0 << "open" << "" << kStart;
    QTest::newRow("picker cancelled") << "charPals" << -1 << 0 << "open,pick-source" << "" << kStart;
    QTest::newRow("palette 2 of the second table")
        << "charPals" << 1 << 2 << "open,pick-source"
        << "logo_Palettes (line 6): count word 3, then 3 palettes (49 words)" << DatlibPalette(1, 2);
    QTest::newRow("a table that cannot be read is listed, never loaded")
        << "bad" << 1 << 0 << "open,pick-source"
        << "bad (line 2): cannot be read: %1, line 3: NOPE is not defined (no #define, equ, = or .equ/.set gives it "
           "a value)"
        << kStart;
    QTest::newRow("table palette 1 of an indexed picture")
        << "picture" << 0 << 1 << "open,pick-source" << "colour table, level tables: 2 palettes"
        // Entries 16-19 of the table: cyan, magenta, grey 128 (level 16, dark) and white.
        << SourcePalette{DecodeHwColor(0x30FF), DecodeHwColor(0x5F0F), DecodeHwColor(0x8888), DecodeHwColor(0x7FFF)};
    QTest::newRow("an artists' palette's palettes")
        << "gpl" << 0 << 1 << "open,pick-source" << "whites.gpl, GIMP palette: 2 palettes"
        << SourcePalette{DecodeHwColor(0x4F00)};
    QTest::newRow("a file that cannot be listed is named in a box")
        << "damaged" << 0 << 0 << "open,message" << "%1, line 3: 256 is beyond 255, the largest value of a channel"
        << kStart;
}

void WindowAdditionsTest::importFromSource()
{
    QFETCH(QString, file);
    QFETCH(int, row);
    QFETCH(int, index);
    QFETCH(QString, asked);
    QFETCH(QString, listed);
    QFETCH(SourcePalette, loaded);

    Files files;
    QString path;
    if (file == "charPals")
        path = files.Write("charPals.s", CharPals());
    else if (file == "bad")
        path = files.Write("bad.s", "ok: dc.w $0123\nbad: dc.w $0001\n\tdc.w NOPE\n");
    else if (file == "gpl")
        path = files.Write("whites.gpl", WhitesThenRed());
    else if (file == "damaged")
        path = files.Write("damaged.gpl", "GIMP Palette\n0 0 0\n256 0 0\n");
    else if (file == "picture")
        path = files.Fixture("table_order.png");
    else if (file == "fifo")
        QVERIFY(mkfifo(QFile::encodeName(path = files.Path("pipe.s")).constData(), 0600) == 0);
    Rig rig;
    rig.state.palettes[1] = kStart;
    rig.host.messagesAllowed = 1;
    const PaletteOrigins before = rig.window.Origins();
    rig.ImportSource(2, path, row < 0 ? std::optional<SourcePick>() : SourcePick{row, index, 16, 0, true});

    QCOMPARE(rig.host.asked.join(u','), asked);
    if (!listed.isEmpty())
        QVERIFY2(rig.host.log[1].text.split(u'\n').contains(QString(listed).replace("%1", path)), qPrintable(rig.host.log[1].text));
    QCOMPARE(rig.state.palettes[1], loaded);
    if (loaded == kStart) {
        QCOMPARE(rig.window.Origins()[1].source, before[1].source);
        return;
    }
    // What loads is what the picker showed, and the palette remembers it.
    const PickedPalette shown = rig.host.lastPicker.preview(SourcePick{row, index, 16, 0, true});
    QCOMPARE(shown.words, std::optional(WordsOfPalette(loaded)));
    QCOMPARE(rig.window.Origins()[1].source, path);
    QCOMPARE(rig.window.Origins()[1].index, std::optional(index));
}

void WindowAdditionsTest::setToColour()
{
    Rig rig;
    rig.state.palettes[0] = kStart;
    rig.host.colorWordAnswers = {std::nullopt, HwColor{0x8421}};
    rig.Run(kCmdColourPalette1); // cancelled
    QCOMPARE(rig.state.palettes[0], kStart);
    QCOMPARE(rig.host.lastText, QString("85af")); // the requester starts from colour 1
    rig.Run(kCmdColourPalette1);
    QCOMPARE(rig.state.palettes[0], WordPalette(0x8421));
    QCOMPARE(rig.window.Origins()[0].source, QString("word:8421"));
}

void WindowAdditionsTest::fadeShape()
{
    Rig rig;
    rig.state.palettes = {Filled({31, 31, 31, 0}), SourcePalette{}};
    rig.window.RefreshView();
    QAction* item = rig.window.CommandAction(kCmdFadeShape);
    const QImage linear = rig.window.PreviewImage().copy();
    const ShapeSettings easeIn{FadeCurve::EaseIn, 0x0001, false};
    rig.host.shapeAnswers = {std::nullopt, easeIn};
    rig.Run(kCmdFadeShape); // cancelled
    QCOMPARE(rig.state.shape, ShapeSettings{});
    QCOMPARE(item->text(), QString("Fade shape.."));
    rig.Run(kCmdFadeShape);
    QCOMPARE(rig.state.shape, easeIn);
    QCOMPARE(item->text(), QString("Fade shape (ease-in, keep 0).."));
    QVERIFY(rig.window.PreviewImage() != linear);
    // Colour 0 keeps Palette 1's white in the last step too.
    QCOMPARE(rig.window.PreviewImage().pixel(0, 15 * 8), 0xFFFFFFFFu);

    // The simple fade walks: the curve is not in effect, and the dialog knows.
    rig.Run(kCmdSimpleFade);
    QCOMPARE(item->text(), QString("Fade shape (keep 0).."));
    rig.host.shapeAnswers = {ShapeSettings{FadeCurve::EaseIn, 0, true}};
    rig.Run(kCmdFadeShape);
    QVERIFY(rig.host.lastSimpleFade);
    QCOMPARE(item->text(), QString("Fade shape (there and back).."));
    // There and back: 2P - 1 steps drawn, ending on Palette 1.
    QCOMPARE(rig.state.fadeTable.steps(), 31);
    QCOMPARE(rig.window.PreviewImage().height(), 31 * 8);
    QCOMPARE(rig.window.PreviewImage().pixel(8, 30 * 8), 0xFFFFFFFFu);
}

void WindowAdditionsTest::commandWritesTheSameBytes_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("cType");
    QTest::addColumn<int>("notes"); // palettes to save as .ngpal first
    QTest::addColumn<QString>("contains");

    QTest::newRow("a table with its count word, to white") << "datlib" << "gas" << "logo_flash" << "int" << 0
                                                            << "--table logo_Palettes --count-word";
    QTest::newRow("an indexed picture's table palette, eased, colour 0 kept")
        << "picture" << "asm" << "TitleFade" << "int" << 0 << "--picture-order table";
    QTest::newRow("through the hardware levels") << "hardware" << "c" << "" << "int" << 0 << "--hardware-colors";
    QTest::newRow("a palette file to a word, there and back")
        << "ngpal" << "c" << "flash" << "u16" << 0 << "--bottom word:7C00";
    QTest::newRow("any file opened as a palette file") << "bin" << "asm" << "" << "int" << 0 << "--read-as ngpal";
    QTest::newRow("white to black, simple, dark bit") << "named" << "bin" << "" << "int" << 0 << "--simple";
    QTest::newRow("an edited palette is saved first") << "edited" << "gas" << "x" << "int" << 1 << "palette1.ngpal";
    QTest::newRow("two tables need two readings") << "conflict" << "asm" << "" << "int" << 1 << "palette2.ngpal";
    QTest::newRow("the art's table palette 0") << "art" << "asm" << "" << "int" << 0
                                               << "--top-index 0 --bottom black --picture-order table";
    QTest::newRow("the art's palette 1, past the table Palette 1's white")
        << "art past" << "asm" << "" << "int" << 1 << "palette1.ngpal";
    QTest::newRow("a GIMP palette named by the label") << "datlib" << "gpl" << "logo_flash" << "int" << 0
                                                        << "--format gpl --label logo_flash";
    QTest::newRow("a JASC palette of a simple fade") << "named" << "jasc" << "" << "int" << 0 << "--format jasc";
    QTest::newRow("an Adobe colour table of 256 colours") << "named" << "act" << "" << "int" << 0 << "--format act";
    QTest::newRow("a hex list of the hardware levels' colours")
        << "hardware text" << "hex" << "" << "int" << 0 << "--count-word --hardware-colors";
    QTest::newRow("a hex list of a picture's palette through the hardware levels")
        << "hardware" << "hex" << "" << "int" << 0 << "--picture-order table --hardware-colors";
    QTest::newRow("a GIMP palette as a source") << "gpl source" << "c" << "" << "u16" << 0
                                                << "whites.gpl --top-index 1 --bottom";
    QTest::newRow("a JASC .pal known by its lines") << "jasc source" << "gpl" << "" << "int" << 0
                                                    << "x.pal --bottom-index 0 --palettes";
    QTest::newRow("a source read through other levels than the colours written")
        << "levels conflict" << "hex" << "" << "int" << 1 << "palette1.ngpal";
}

void WindowAdditionsTest::commandWritesTheSameBytes()
{
    QFETCH(QString, setup);
    QFETCH(QString, format);
    QFETCH(QString, label);
    QFETCH(QString, cType);
    QFETCH(int, notes);
    QFETCH(QString, contains);

    Files files;
    Rig rig;
    const QString charPals = files.Write("charPals.s", CharPals());
    if (setup == "datlib") {
        rig.ImportSource(1, charPals, SourcePick{1, 2, 16, 0, true});
        rig.Run(kCmdWhitePalette2);
    } else if (setup == "picture" || setup == "hardware") {
        if (setup == "hardware")
            rig.Run(kCmdHardwareColors);
        rig.ImportSource(1, files.Fixture("table_order.png"), SourcePick{0, 1, 16, 0, false});
        rig.host.shapeAnswers.push_back(ShapeSettings{FadeCurve::EaseIn, 0x0001, false});
        rig.Run(kCmdFadeShape);
    } else if (setup == "ngpal" || setup == "bin") {
        const QByteArray words = QByteArray::fromHex("7fff0f0080001234abcd00ff7c0000010222033304440555066607770888fedc");
        rig.host.openAnswers.push_back(FileChoice{files.Write(setup == "bin" ? "x.bin" : "x.ngpal", words), 0});
        rig.Run(kCmdOpenPalette1);
        rig.host.colorWordAnswers.push_back(HwColor{0x7C00});
        rig.Run(kCmdColourPalette2);
        rig.state.paletteCount = 5;
        rig.state.colorCount = 8;
        rig.host.shapeAnswers.push_back(ShapeSettings{FadeCurve::Linear, 0, true});
        rig.Run(kCmdFadeShape);
    } else if (setup == "named") {
        rig.Run(kCmdWhitePalette1);
        rig.Run(kCmdDarkBit);
        rig.Run(kCmdSimpleFade);
    } else if (setup == "edited") {
        rig.ImportSource(1, charPals, SourcePick{0, 1, 16, 0, true});
        rig.Run(kCmdGreyscalePalette1);
        rig.host.shapeAnswers.push_back(ShapeSettings{FadeCurve::EaseOut, 0, false});
        rig.Run(kCmdFadeShape);
    } else if (setup == "conflict") {
        rig.ImportSource(1, charPals, SourcePick{0, 0, 16, 0, true});
        rig.ImportSource(2, charPals, SourcePick{2, 0, 16, 0, true});
    } else if (setup == "art" || setup == "art past") {
        if (setup == "art past")
            rig.Run(kCmdWhitePalette1);
        rig.Run(kCmdPreviewArt);
        ArtPreviewWindow* art = rig.window.ArtPreview();
        QVERIFY(art->OpenArt(files.Fixture("table_order.png")));
        art->ArtPaletteSpin()->setValue(setup == "art" ? 0 : 1);
        art->PaletteFromArtCommand();
    } else if (setup == "hardware text") {
        rig.Run(kCmdHardwareColors);
        rig.ImportSource(1, charPals, SourcePick{1, 2, 16, 0, true});
    } else if (setup == "gpl source" || setup == "levels conflict") {
        rig.ImportSource(1, files.Write("whites.gpl", WhitesThenRed()), SourcePick{0, 1, 16, 0, false});
        if (setup == "levels conflict")
            rig.Run(kCmdHardwareColors);
    } else if (setup == "jasc source") {
        rig.ImportSource(2, files.Write("x.pal", "JASC-PAL\r\n0100\r\n2\r\n255 0 0\r\n0 0 255\r\n"),
                         SourcePick{0, 0, 16, 0, false});
    }

    ToolchainChoice choice;
    for (const FileFormat* f : kFadeTableCliFormats)
        if (QLatin1String(f->cliName) == format)
            choice.format = f;
    choice.label = label;
    choice.cType = cType;
    choice.path = files.Path("out " + format);
    rig.host.toolchainAnswers.push_back(choice);
    rig.Run(kCmdToolchainExport);
    const QByteArray written = Read(choice.path);
    QVERIFY(!written.isEmpty());

    const ToolchainCommand command = rig.host.lastDescribe(choice);
    const QString text = CommandLineText(command.arguments);
    QVERIFY2(command.arguments.join(u' ').contains(contains), qPrintable(text));
    // A kind found by name or lines needs no --read-as.
    QCOMPARE(command.arguments.contains("--read-as"), setup == "bin");
    QCOMPARE(command.notes.size(), notes);
    // Each palette the notes name is saved where they say, as the user would.
    for (int which = 1; which <= 2; ++which) {
        const QString saved = files.Path(QStringLiteral("palette%1.ngpal").arg(which));
        if (!command.arguments.contains(saved))
            continue;
        rig.host.saveAnswers.push_back(FileChoice{saved, 2});
        rig.Run(PaletteCommandId(kCmdSavePalette1, which));
    }

    QFile::remove(choice.path);
    QByteArray none;
    QByteArray outBytes, errBytes;
    QBuffer in(&none), out(&outBytes), err(&errBytes);
    in.open(QIODevice::ReadOnly);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(cli::RunCli(command.arguments, in, out, err), cli::kExitSuccess);
    QCOMPARE(Read(choice.path), written);

    // The text shown, run by a shell with the real program, reads back the same.
    QFile::remove(choice.path);
    QProcess shell;
    shell.start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral(PALFADE_CLI_BINARY) + text.mid(11)});
    QVERIFY(shell.waitForFinished());
    QCOMPARE(shell.exitCode(), 0);
    QCOMPARE(Read(choice.path), written);
}

void WindowAdditionsTest::exportDialogCopiesAndRefuses()
{
    Rig rig;
    Files files;
    rig.host.saveAnswers.push_back(FileChoice{files.Path("fade.s"), 0});
    rig.host.clipboardTextsAllowed = 1;
    ToolchainExportDialog dialog(ToolchainChoice{}, [&](const ToolchainChoice& c) {
        return ToolchainCommandFor(rig.state, rig.window.Origins(), c);
    }, rig.host);
    QVERIFY(!dialog.SaveButton()->isEnabled()); // no file yet
    QTest::mouseClick(dialog.ChooseButton(), Qt::LeftButton);
    QCOMPARE(dialog.PathEdit()->text(), files.Path("fade.s"));
    QVERIFY(dialog.SaveButton()->isEnabled());
    dialog.LabelEdit()->setText("d0"); // the assembler would read the register
    QVERIFY(!dialog.SaveButton()->isEnabled());
    QVERIFY(dialog.Notes()->text().contains("68000 register"));
    dialog.LabelEdit()->setText("fade");
    QTest::mouseClick(dialog.CopyButton(), Qt::LeftButton);
    QCOMPARE(rig.host.clipboardTextsSet, QStringList{dialog.CommandView()->toPlainText()});
    const ToolchainCommand command = ToolchainCommandFor(rig.state, rig.window.Origins(), dialog.Choice());
    QCOMPARE(dialog.CommandView()->toPlainText(), CommandLineText(command.arguments));
    QCOMPARE(command.arguments.join(u' '), "fade --top black --bottom black --palettes 16 --colors 16 --format asm "
                                           "--label fade -o " + files.Path("fade.s"));
}

void WindowAdditionsTest::anAdobeTableHoldsAtMost256Colours()
{
    Rig rig;
    Files files;
    rig.state.paletteCount = 17;
    rig.window.RefreshView();
    ToolchainChoice choice;
    for (const FileFormat* f : kFadeTableCliFormats)
        if (QLatin1String(f->cliName) == QLatin1String("act"))
            choice.format = f;
    choice.path = files.Write("fade.act", "old");
    const QString reason = "an Adobe colour table holds at most 256 colours, not 272";
    QVERIFY(ToolchainCommandFor(rig.state, rig.window.Origins(), choice).notes.join(u' ').contains(reason));
    rig.host.toolchainAnswers.push_back(choice);
    rig.host.messagesAllowed = 1;
    rig.Run(kCmdToolchainExport);
    QCOMPARE(rig.host.asked.join(u','), QString("toolchain-export,message"));
    QCOMPARE(rig.host.lastText, choice.path + ": " + reason);
    QCOMPARE(Read(choice.path), QByteArray("old"));
}

QTEST_MAIN(WindowAdditionsTest)
#include "window_additions_test.moc"
