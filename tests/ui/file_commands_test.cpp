// The file and clipboard commands driven through the window's menu items, with
// a scripted host answering and real files in a temporary folder.

#include "core/app_state.h"
#include "fake_host.h"
#include "ui/requester_texts.h"
#include "ui/command_ids.h"
#include "ui/file_commands.h"
#include "ui/main_window.h"
#include "ui/qt_host.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <optional>
#include <sys/stat.h>
#include <sys/resource.h>

using namespace palfade;

Q_DECLARE_METATYPE(palfade::SourcePalette)

namespace {

const PaletteEntry kWhite{31, 31, 31, 0};    // 7FFF
const PaletteEntry kGrey{16, 16, 16, 0};     // 0888
const PaletteEntry kDarkBlack{0, 0, 0, 1};   // 8000
const PaletteEntry kDarkWhite{31, 31, 31, 1}; // FFFF
const PaletteEntry kEntryA{10, 20, 30, 1};
const PaletteEntry kEntryB{31, 0, 4, 0};

SourcePalette Filled(PaletteEntry e)
{
    SourcePalette p;
    p.fill(e);
    return p;
}

QByteArray Repeat(const QByteArray& unit, int count)
{
    return unit.repeated(count);
}

QByteArray Crlf(const QByteArray& line)
{
    return line + "\r\n";
}

// Palette 1 and 2 share their first two colours, so with two colours shown
// every fade step is white, grey; the unshown colours tell the two apart.
SourcePalette SavePalette(int which)
{
    SourcePalette p = Filled(which == 1 ? kDarkBlack : kDarkWhite);
    p[0] = kWhite;
    p[1] = kGrey;
    return p;
}

const QByteArray kFadeAsm = Repeat(Crlf("\tdc.w\t$7FFF,$0888"), 3);
const QByteArray kFadeC = Crlf("const int fade_colors[] =") + Crlf("{") +
                          Crlf("\t0x7FFF, 0x0888,  // step 1") + Crlf("\t0x7FFF, 0x0888,  // step 2") +
                          Crlf("\t0x7FFF, 0x0888,  // step 3") + Crlf("};");
const QByteArray kFadeBin = Repeat(QByteArray("\x7F\xFF\x08\x88", 4), 3);

QByteArray PaletteAsm(const char* rest)
{
    return Crlf("\tdc.w\t$7FFF,$0888" + Repeat(rest, 14));
}
QByteArray PaletteC(const char* rest, int step)
{
    return Crlf("const int fade_colors[] =") + Crlf("{") +
           Crlf("\t0x7FFF, 0x0888, " + Repeat(rest, 14) + " // step " + QByteArray::number(step)) + Crlf("};");
}
QByteArray PaletteFile(const QByteArray& restWord)
{
    return QByteArray("\x7F\xFF\x08\x88", 4) + Repeat(restWord, 14);
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Pixel by pixel, whatever colour space a decoder attached.
bool SamePixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) | 0xFF000000u) != (b.pixel(x, y) | 0xFF000000u))
                return false;
    return true;
}

QString ConfirmText(const QString& path)
{
    return path + QString::fromLatin1(texts::kConfirmReplaceSuffix);
}

// One window on a fresh state, started the way main() starts it, with
// palettes A and B (or the save palettes and 3 × 2 counts).
struct Rig {
    AppState state;
    FakeHost host;
    MainWindow window{state, host};
    QSignalSpy refreshes{&window, &MainWindow::refreshed};

    Rig()
    {
        LoadLevelTables(state);
        state.palettes = {Filled(kEntryA), Filled(kEntryB)};
        window.RefreshView();
        refreshes.clear();
    }
    void UseSavePalettes()
    {
        state.palettes = {SavePalette(1), SavePalette(2)};
        window.PaletteCountSpin()->setValue(3);
        window.ColorCountSpin()->setValue(2);
        refreshes.clear();
    }
    void Run(int id) { window.CommandAction(id)->trigger(); }
    QStringList Entries() const { return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

// Makes writes past `bytes` fail with EFBIG (root included) while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
};

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

    QTemporaryDir qtSettings_; // where the real file dialog keeps its history

private slots:
    void initTestCase()
    {
        QVERIFY(qtSettings_.isValid());
        KeepQtSettingsIn(qtSettings_.path());
    }

    void requestersCancelled_data();
    void requestersCancelled();
    void savedNames_data();
    void savedNames();
    void overwrite_data();
    void overwrite();
    void writeFailures_data();
    void writeFailures();
    void openPalette_data();
    void openPalette();
    void drops_data();
    void drops();
    void textImport_data();
    void textImport();
    void emptyClipboardText();
    void exportsImportBack_data();
    void exportsImportBack();
    void pictureImport_data();
    void pictureImport();
    void copyImageAtZoom3();
    void clipboardKeepsItsOwnCopy();
    void qtSaveRequesterKeepsTypedName_data();
    void qtSaveRequesterKeepsTypedName();
};

void FileCommandsTest::requestersCancelled_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filters");
    QTest::addColumn<int>("filterIndex");
    QTest::addColumn<int>("refreshes");

    const QString open = texts::kOpenTitle;
    const QString save = texts::kSaveTitle;
    QTest::newRow("Save fade") << int(kCmdSaveFadeTable) << "save" << save
                               << "ASM-Inlcude (*.s)|*.s|C-Output (*.c)|*.c|Binary (*.bin)|*.bin" << 0 << 0;
    for (int which : {1, 2}) {
        const QByteArray p = QByteArray::number(which);
        QTest::newRow(("Open " + p).constData()) << int(which == 1 ? kCmdOpenPalette1 : kCmdOpenPalette2) << "open" << open
                                   << "NeoGeo Palette (*.ngpal)|*.ngpal" << 0 << 1;
        QTest::newRow(("Save palette " + p).constData())
            << int(which == 1 ? kCmdSavePalette1 : kCmdSavePalette2) << "save" << save
            << "ASM-Inlcude (*.s)|*.s|C-Output (*.c)|*.c|NeoGeo Palette (*.ngpal)|*.ngpal" << 2 << 0;
        QTest::newRow(("Import file " + p).constData()) << int(which == 1 ? kCmdImportFile1 : kCmdImportFile2) << "open" << open
                                          << "All filess (*.*)|*.*" << 0 << 1;
        QTest::newRow(("Import image " + p).constData())
            << int(which == 1 ? kCmdImportImage1 : kCmdImportImage2) << "open" << open
            << "Supported Images (*.bmp;*.jpg;*.png;*.gif)|*.bmp;*.jpg;*.png;*.gif" << 0 << 1;
    }
    QTest::newRow("Save image") << int(kCmdSaveImage) << "save" << save
                                << "Portable Network Graphics (*.png)|*.png|Windows Bitmap (*.bmp)|*.bmp" << 0 << 0;
}

void FileCommandsTest::requestersCancelled()
{
    QFETCH(int, id);
    QFETCH(QString, kind);
    QFETCH(QString, title);
    QFETCH(QString, filters);
    QFETCH(int, filterIndex);
    QFETCH(int, refreshes);

    Rig rig;
    const QImage before = rig.window.PreviewImage().copy();
    (kind == "open" ? rig.host.openAnswers : rig.host.saveAnswers).push_back(FileChoice{});
    rig.state.importSlots.fill(5);

    rig.Run(id);

    QCOMPARE(rig.host.asked, QStringList{kind});
    QCOMPARE(rig.host.log[0].title, title);
    QCOMPARE(rig.host.log[0].filters, filters);
    QCOMPARE(rig.host.log[0].filterIndex, filterIndex);
    QCOMPARE(rig.state.palettes[0], Filled(kEntryA));
    QCOMPARE(rig.state.palettes[1], Filled(kEntryB));
    QCOMPARE(static_cast<int>(rig.refreshes.count()), refreshes);
    QCOMPARE(rig.window.PreviewImage(), before);
    // The picture import empties its slots before it asks.
    const bool picture = id == kCmdImportImage1 || id == kCmdImportImage2;
    QCOMPARE(rig.state.importSlots[0], picture ? kEmptySlot : 5);
}

void FileCommandsTest::savedNames_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("expected"); // "PNG"/"BMP": the preview in that format

    QTest::newRow("fade") << int(kCmdSaveFadeTable) << "fade" << 0 << "fade.s" << kFadeAsm;
    QTest::newRow("FADE.S") << int(kCmdSaveFadeTable) << "FADE.S" << 0 << "FADE.S" << kFadeAsm;
    QTest::newRow("fade.txt") << int(kCmdSaveFadeTable) << "fade.txt" << 0 << "fade.txt.s" << kFadeAsm;
    QTest::newRow("C filter, fade.bin") << int(kCmdSaveFadeTable) << "fade.bin" << 1 << "fade.bin.c" << kFadeC;
    QTest::newRow("binary filter, fade") << int(kCmdSaveFadeTable) << "fade" << 2 << "fade.bin" << kFadeBin;
    QTest::newRow("binary filter, x.Bin") << int(kCmdSaveFadeTable) << "x.Bin" << 2 << "x.Bin" << kFadeBin;
    QTest::newRow("dot in folder only") << int(kCmdSaveFadeTable) << "d.s/fade" << 0 << "d.s/fade.s" << kFadeAsm;

    QTest::newRow("palette 1, pal.NGPAL")
        << int(kCmdSavePalette1) << "pal.NGPAL" << 2 << "pal.NGPAL" << PaletteFile(QByteArray("\x80\x00", 2));
    QTest::newRow("palette 2, pal.txt") << int(kCmdSavePalette2) << "pal.txt" << 2 << "pal.txt.ngpal"
                                        << PaletteFile(QByteArray("\xFF\xFF", 2));
    QTest::newRow("palette 1, asm") << int(kCmdSavePalette1) << "pal" << 0 << "pal.s" << PaletteAsm(",$8000");
    QTest::newRow("palette 2, asm") << int(kCmdSavePalette2) << "pal.S" << 0 << "pal.S" << PaletteAsm(",$FFFF");
    QTest::newRow("palette 1, C") << int(kCmdSavePalette1) << "pal" << 1 << "pal.c" << PaletteC("0x8000, ", 1);
    QTest::newRow("palette 2, C") << int(kCmdSavePalette2) << "pal.C" << 1 << "pal.C" << PaletteC("0xFFFF, ", 3);

    QTest::newRow("picture, pic") << int(kCmdSaveImage) << "pic" << 0 << "pic.png" << QByteArray("PNG");
    QTest::newRow("picture, fade.bmp as PNG") << int(kCmdSaveImage) << "fade.bmp" << 0 << "fade.bmp.png"
                                              << QByteArray("PNG");
    QTest::newRow("picture, pic.png as BMP") << int(kCmdSaveImage) << "pic.png" << 1 << "pic.png.bmp"
                                             << QByteArray("BMP");
    QTest::newRow("picture, PIC.BMP") << int(kCmdSaveImage) << "PIC.BMP" << 1 << "PIC.BMP" << QByteArray("BMP");
}

void FileCommandsTest::savedNames()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(int, filter);
    QFETCH(QString, written);
    QFETCH(QByteArray, expected);

    Rig rig;
    rig.UseSavePalettes();
    QVERIFY(QDir(rig.dir.path()).mkpath("d.s"));
    const QImage before = rig.window.PreviewImage().copy();
    rig.host.saveAnswers.push_back(FileChoice{rig.Path(typed), filter});

    rig.Run(id);

    QCOMPARE(rig.host.asked, QStringList{"save"});
    QCOMPARE(rig.refreshes.count(), 0);
    QCOMPARE(rig.window.PreviewImage(), before);
    const QString path = rig.Path(written);
    QVERIFY2(QFileInfo(path).isFile(), qPrintable(path));
    const QStringList expectedEntries = written.startsWith("d.s/") ? QStringList{"d.s"} : QStringList{"d.s", written};
    QCOMPARE(rig.Entries(), expectedEntries);
    if (expected == "PNG" || expected == "BMP") {
        const QByteArray bytes = ReadBytes(path);
        QVERIFY(bytes.startsWith(expected == "PNG" ? QByteArray("\x89PNG") : QByteArray("BM")));
        const QImage saved = QImage::fromData(bytes, expected.constData()).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.size(), QSize(16, 24));
        QVERIFY(SamePixels(saved, before));
        // 3937 pixels per metre across and down, whatever the screen says.
        if (expected == "BMP")
            QCOMPARE(bytes.mid(38, 8), QByteArray("\x61\x0F\0\0\x61\x0F\0\0", 8));
    } else {
        QCOMPARE(ReadBytes(path), expected);
    }
}

void FileCommandsTest::overwrite_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QByteArray>("expected"); // after Yes; "PNG": starts as a PNG

    for (bool yes : {true, false}) {
        const char* answer = yes ? "Yes" : "No";
        QTest::newRow((QByteArray("fade, ") + answer).constData()) << int(kCmdSaveFadeTable) << 0 << "old.s" << yes << kFadeAsm;
        QTest::newRow((QByteArray("palette, ") + answer).constData())
            << int(kCmdSavePalette2) << 2 << "old.ngpal" << yes << PaletteFile(QByteArray("\xFF\xFF", 2));
        QTest::newRow((QByteArray("picture, ") + answer).constData()) << int(kCmdSaveImage) << 0 << "old.png" << yes << QByteArray("PNG");
    }
}

void FileCommandsTest::overwrite()
{
    QFETCH(int, id);
    QFETCH(int, filter);
    QFETCH(QString, name);
    QFETCH(bool, yes);
    QFETCH(QByteArray, expected);

    Rig rig;
    rig.UseSavePalettes();
    const QString path = rig.Path(name);
    // Longer than anything written: a replaced file must not keep a tail.
    const QByteArray old = Repeat("old content ", 200);
    QVERIFY(WriteBytes(path, old));
    // The typed name lacks the extension: the question names the final path.
    rig.host.saveAnswers.push_back(FileChoice{path.chopped(name.size() - name.indexOf('.')), filter});
    rig.host.yesNoAnswers.push_back(yes);

    rig.Run(id);

    QCOMPARE(rig.host.asked, (QStringList{"save", "yesno"}));
    QCOMPARE(rig.host.log[1].title, QString("Confirm Save As"));
    QCOMPARE(rig.host.log[1].text, ConfirmText(path));
    QCOMPARE(rig.Entries(), QStringList{name});
    if (!yes)
        QCOMPARE(ReadBytes(path), old);
    else if (expected == "PNG")
        QVERIFY(ReadBytes(path).startsWith("\x89PNG"));
    else
        QCOMPARE(ReadBytes(path), expected);
    QCOMPARE(rig.refreshes.count(), 0);
}

void FileCommandsTest::writeFailures_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QString>("setup"); // what stands in the way
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written"); // the final path the message must name

    QTest::newRow("fade, parent is a file") << int(kCmdSaveFadeTable) << 0 << "plain" << "plain/fade" << "plain/fade.s";
    QTest::newRow("palette, missing folder") << int(kCmdSavePalette1) << 2 << "" << "missing/pal" << "missing/pal.ngpal";
    QTest::newRow("picture, parent is a file") << int(kCmdSaveImage) << 1 << "plain" << "plain/pic" << "plain/pic.bmp";
    QTest::newRow("fade, directory at the final path") << int(kCmdSaveFadeTable) << 2 << "dir" << "x.bin" << "x.bin";
    QTest::newRow("fade, /dev/full") << int(kCmdSaveFadeTable) << 0 << "full" << "full.s" << "full.s";
    QTest::newRow("fade, pipe at the final path") << int(kCmdSaveFadeTable) << 2 << "fifo" << "p.bin" << "p.bin";
    QTest::newRow("palette, pipe at the final path") << int(kCmdSavePalette1) << 0 << "fifo" << "p" << "p.s";
    QTest::newRow("picture, pipe at the final path") << int(kCmdSaveImage) << 1 << "fifo" << "p.bmp" << "p.bmp";
    QTest::newRow("picture, /dev/full") << int(kCmdSaveImage) << 0 << "full" << "full.png" << "full.png";
    QTest::newRow("fade, disk full over old file") << int(kCmdSaveFadeTable) << 1 << "limit" << "old.c" << "old.c";
    QTest::newRow("palette, disk full over old file") << int(kCmdSavePalette2) << 2 << "limit" << "old" << "old.ngpal";
    QTest::newRow("picture, disk full over old file") << int(kCmdSaveImage) << 0 << "limit" << "old.png" << "old.png";
}

void FileCommandsTest::writeFailures()
{
    QFETCH(int, id);
    QFETCH(int, filter);
    QFETCH(QString, setup);
    QFETCH(QString, typed);
    QFETCH(QString, written);

    Rig rig;
    rig.UseSavePalettes();
    const QString finalPath = rig.Path(written);
    const QByteArray old("OLD");
    if (setup == "plain")
        QVERIFY(WriteBytes(rig.Path("plain"), old));
    if (setup == "dir")
        QVERIFY(QDir().mkpath(finalPath));
    if (setup == "full")
        QVERIFY(QFile::link("/dev/full", finalPath));
    if (setup == "fifo") // with no reader, opening it for writing would wait forever
        QVERIFY(mkfifo(QFile::encodeName(finalPath).constData(), 0600) == 0);
    if (setup == "limit") {
        QVERIFY(WriteBytes(finalPath, old));
        rig.host.yesNoAnswers.push_back(true);
    }
    rig.host.saveAnswers.push_back(FileChoice{rig.Path(typed), filter});
    rig.host.messagesAllowed = 1;
    const QStringList entriesBefore = rig.Entries();

    {
        std::optional<FileSizeLimit> limit;
        if (setup == "limit")
            limit.emplace(8);
        rig.Run(id);
    }

    const QStringList expectedAsked =
        setup == "limit" ? QStringList{"save", "yesno", "message"} : QStringList{"save", "message"};
    QCOMPARE(rig.host.asked, expectedAsked);
    QCOMPARE(rig.host.log.back().title, QString("Error"));
    QVERIFY2(rig.host.log.back().text.contains(finalPath), qPrintable(rig.host.log.back().text));
    // The reason follows the path.
    QVERIFY(rig.host.log.back().text.size() > rig.host.log.back().text.indexOf(finalPath) + finalPath.size() + 2);
    // Nothing left behind, nothing replaced.
    QCOMPARE(rig.Entries(), entriesBefore);
    if (setup == "plain")
        QCOMPARE(ReadBytes(rig.Path("plain")), old);
    if (setup == "dir")
        QVERIFY(QFileInfo(finalPath).isDir());
    if (setup == "limit")
        QCOMPARE(ReadBytes(finalPath), old);
    QCOMPARE(rig.refreshes.count(), 0);
}

void FileCommandsTest::openPalette_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("kind"); // file, missing, directory
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<SourcePalette>("expected");

    QTest::newRow("7F FF") << 1 << "file" << Repeat(QByteArray("\x7F\xFF", 2), 16) << Filled(kWhite);
    QTest::newRow("FF FF") << 2 << "file" << Repeat(QByteArray("\xFF\xFF", 2), 16) << Filled(kDarkWhite);
    QTest::newRow("40 bytes: the first 32")
        << 2 << "file" << Repeat(QByteArray("\x0F\x00", 2), 16) + Repeat(QByteArray("\x7F\xFF", 2), 4)
        << Filled(PaletteEntry{30, 0, 0, 0});
    SourcePalette shortFile = Filled(PaletteEntry{31, 0, 0, 0});
    shortFile[15] = PaletteEntry{31, 1, 1, 0}; // 7F00
    QTest::newRow("31 bytes") << 1 << "file" << Repeat(QByteArray("\x4F\x00", 2), 15) + "\x7F" << shortFile;
    QTest::newRow("empty file") << 2 << "file" << QByteArray() << SourcePalette{};
    QTest::newRow("missing file") << 1 << "missing" << QByteArray() << Filled(kEntryA);
    QTest::newRow("directory") << 2 << "directory" << QByteArray() << Filled(kEntryB);
    QTest::newRow("pipe without writer") << 1 << "fifo" << QByteArray() << Filled(kEntryA);
}

void FileCommandsTest::openPalette()
{
    QFETCH(int, which);
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(SourcePalette, expected);

    Rig rig;
    const QString path = rig.Path("in.ngpal");
    if (kind == "file")
        QVERIFY(WriteBytes(path, bytes));
    if (kind == "directory")
        QVERIFY(QDir().mkpath(path));
    if (kind == "fifo")
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    rig.host.openAnswers.push_back(FileChoice{path, 0});

    rig.Run(which == 1 ? kCmdOpenPalette1 : kCmdOpenPalette2);

    QCOMPARE(rig.host.asked, QStringList{"open"});
    QCOMPARE(rig.state.palettes[which - 1], expected);
    QCOMPARE(rig.state.palettes[2 - which], which == 1 ? Filled(kEntryB) : Filled(kEntryA));
    QCOMPARE(rig.refreshes.count(), 1);
    // The preview shows the loaded palette: step 0 is Palette 1, the last step Palette 2.
    const FadeCell& cell = rig.state.fadeTable.at(15, which == 1 ? 0 : rig.state.paletteCount - 1);
    QCOMPARE((PaletteEntry{cell.red, cell.green, cell.blue, cell.dark}), expected[15]);
}

void FileCommandsTest::drops_data()
{
    // Sizes of the dropped paths, in order: -1 a folder, -2 a missing path.
    // File k holds the word of kDropWords[k] repeated.
    QTest::addColumn<QList<int>>("sizes");
    QTest::addColumn<SourcePalette>("palette1");
    QTest::addColumn<SourcePalette>("palette2");

    QTest::newRow("three 32-byte files") << QList<int>{32, 32, 32} << Filled(kWhite) << Filled(kGrey);
    QTest::newRow("one 32-byte file") << QList<int>{32} << Filled(kWhite) << Filled(kEntryB);
    QTest::newRow("one 40-byte file") << QList<int>{40} << Filled(kEntryA) << Filled(kEntryB);
    QTest::newRow("40 then 32 bytes") << QList<int>{40, 32} << Filled(kEntryA) << Filled(kGrey);
    QTest::newRow("31 then 32 bytes") << QList<int>{31, 32} << Filled(kEntryA) << Filled(kGrey);
    QTest::newRow("folder then 32 bytes") << QList<int>{-1, 32} << Filled(kEntryA) << Filled(kGrey);
    QTest::newRow("missing then 32 bytes") << QList<int>{-2, 32} << Filled(kEntryA) << Filled(kGrey);
    QTest::newRow("32 bytes only third") << QList<int>{40, 40, 32} << Filled(kEntryA) << Filled(kEntryB);
}

void FileCommandsTest::drops()
{
    QFETCH(QList<int>, sizes);
    QFETCH(SourcePalette, palette1);
    QFETCH(SourcePalette, palette2);
    const QByteArray words[] = {QByteArray("\x7F\xFF", 2), QByteArray("\x08\x88", 2), QByteArray("\x0F\x00", 2)};

    Rig rig;
    QList<QUrl> urls;
    for (int k = 0; k < sizes.size(); ++k) {
        const QString path = rig.Path(QStringLiteral("drop%1.ngpal").arg(k));
        if (sizes[k] == -1)
            QVERIFY(QDir().mkpath(path));
        else if (sizes[k] >= 0)
            QVERIFY(WriteBytes(path, Repeat(words[k], 20).left(sizes[k])));
        urls << QUrl::fromLocalFile(path);
    }
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(10, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.window, &enter);
    QDropEvent drop(QPointF(10, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.window, &drop);

    QCOMPARE(rig.state.palettes[0], palette1);
    QCOMPARE(rig.state.palettes[1], palette2);
    QCOMPARE(rig.refreshes.count(), 1);
    QVERIFY(rig.host.asked.isEmpty());
}

void FileCommandsTest::textImport_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("source"); // file, clipboard, missing (file), or a device's path
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<SourcePalette>("expected");

    SourcePalette example = Filled(kEntryB);
    example[0] = PaletteEntry{};
    example[1] = kWhite;
    example[2] = kGrey;
    const QByteArray exampleLine = "PAL: dc.w $0000,$7FFF, 0x0888 ; #$0FFF 12";
    QTest::newRow("example line, file") << 2 << "file" << Crlf(exampleLine) << example;
    QTest::newRow("example line, clipboard") << 2 << "clipboard" << exampleLine << example;

    // Words 0001 to 000F are blue 2 to 30; 0010 is green 2.
    SourcePalette counted;
    for (int k = 0; k < 15; ++k)
        counted[k] = PaletteEntry{0, 0, 2 * (k + 1), 0};
    counted[15] = PaletteEntry{0, 2, 0, 0};
    QTest::newRow("two lines of 8 words, one counter")
        << 1 << "file"
        << Crlf("\tdc.w\t$0001,$0002,$0003,$0004,$0005,$0006,$0007,$0008") +
               Crlf("\tdc.w\t$0009,$000a,$000B,$000C,$000D,$000E,$000F,$0010")
        << counted;
    QTest::newRow("20 words on the clipboard, lines by CR")
        << 1 << "clipboard"
        << QByteArray("0x0001\r0x0002\r0x0003\r0x0004\n0X0005 $6 $7 $8 $9 $a $b $c $d $e $f $10 $7FFF $7FFF $7FFF $7FFF")
        << counted;
    QTest::newRow("20 words in a file, lines by CR")
        << 1 << "file"
        << QByteArray("0x0001\r0x0002\r0x0003\r0x0004\r0X0005 $6 $7 $8 $9 $a $b $c $d $e $f $10\r$7FFF $7FFF $7FFF $7FFF")
        << counted;

    SourcePalette five = Filled(kEntryA);
    for (int k = 0; k < 5; ++k)
        five[k] = kWhite;
    QTest::newRow("5 words, any case") << 1 << "clipboard" << QByteArray("0x7fff 0X7FFF $7fff $7FFF 0x7Fff") << five;
    QTest::newRow("no colour words") << 1 << "clipboard" << QByteArray("12 %0101 #$0FFF dc.w") << Filled(kEntryA);
    QTest::newRow("empty file") << 2 << "file" << QByteArray() << Filled(kEntryB);
    QTest::newRow("missing file") << 2 << "missing" << QByteArray() << Filled(kEntryB);
    QTest::newRow("endless device") << 1 << "/dev/zero" << QByteArray() << Filled(kEntryA);
}

void FileCommandsTest::textImport()
{
    QFETCH(int, which);
    QFETCH(QString, source);
    QFETCH(QByteArray, text);
    QFETCH(SourcePalette, expected);

    Rig rig;
    const QString path = source.startsWith('/') ? source : rig.Path("words.txt");
    if (source == "file")
        QVERIFY(WriteBytes(path, text));
    if (source == "clipboard") {
        rig.host.clipboardTexts.push_back(QString::fromUtf8(text));
        rig.Run(which == 1 ? kCmdImportClipboard1 : kCmdImportClipboard2);
        QCOMPARE(rig.host.asked, QStringList{"clipboard-text"});
    } else {
        rig.host.openAnswers.push_back(FileChoice{path, 0});
        rig.Run(which == 1 ? kCmdImportFile1 : kCmdImportFile2);
        QCOMPARE(rig.host.asked, QStringList{"open"});
    }

    QCOMPARE(rig.state.palettes[which - 1], expected);
    QCOMPARE(rig.state.palettes[2 - which], which == 1 ? Filled(kEntryB) : Filled(kEntryA));
    QCOMPARE(rig.refreshes.count(), 1);
}

void FileCommandsTest::emptyClipboardText()
{
    Rig rig;
    rig.host.clipboardTexts.push_back(QString());
    rig.host.messagesAllowed = 1;

    rig.Run(kCmdImportClipboard1);

    QCOMPARE(rig.host.asked, (QStringList{"clipboard-text", "message"}));
    QCOMPARE(rig.host.log[1].title, QString("Error"));
    QCOMPARE(rig.host.log[1].text, QString("No Text found"));
    QCOMPARE(rig.state.palettes[0], Filled(kEntryA));
    QCOMPARE(rig.refreshes.count(), 1);
}

void FileCommandsTest::exportsImportBack_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("importId");
    QTest::newRow("assembler") << 0 << int(kCmdImportFile2);
    QTest::newRow("C") << 1 << int(kCmdImportFile2);
    QTest::newRow("palette file") << 2 << int(kCmdOpenPalette2);
}

void FileCommandsTest::exportsImportBack()
{
    QFETCH(int, filter);
    QFETCH(int, importId);

    Rig rig;
    SourcePalette varied;
    for (int k = 0; k < kPaletteSize; ++k)
        varied[k] = PaletteEntry{k * 2, 31 - k, (k * 7) % 32, k % 2};
    rig.state.palettes[0] = varied;
    rig.window.ColorCountSpin()->setValue(1); // the export still writes all 16
    rig.host.saveAnswers.push_back(FileChoice{rig.Path("p1"), filter});
    rig.Run(kCmdSavePalette1);
    const QStringList written = rig.Entries();
    QCOMPARE(written.size(), 1);

    rig.host.openAnswers.push_back(FileChoice{rig.Path(written[0]), 0});
    rig.Run(importId);

    QCOMPARE(rig.state.palettes[1], varied);
    QCOMPARE(rig.host.asked, (QStringList{"save", "open"}));
}

void FileCommandsTest::pictureImport_data()
{
    QTest::addColumn<bool>("hardware");
    QTest::addColumn<int>("width");
    QTest::addColumn<QList<QRgb>>("pixels"); // empty: a file that is no picture
    QTest::addColumn<SourcePalette>("expected");
    QTest::addColumn<int>("slotsFilled");

    SourcePalette linear = Filled(kEntryA);
    linear[0] = PaletteEntry{0, 0, 0, 1};
    linear[1] = PaletteEntry{31, 31, 31, 0};
    linear[2] = PaletteEntry{16, 16, 16, 1};
    linear[3] = PaletteEntry{31, 0, 0, 0};
    linear[4] = PaletteEntry{24, 12, 0, 0};
    QTest::newRow("linear set") << false << 5
                                << QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(128, 128, 128),
                                               qRgb(255, 0, 0), qRgb(200, 100, 0)}
                                << linear << 5;

    SourcePalette hardware = Filled(kEntryA);
    hardware[0] = PaletteEntry{15, 15, 15, 0};
    hardware[1] = PaletteEntry{0, 0, 0, 1};
    QTest::newRow("hardware set: 0-7 are one colour")
        << true << 2 << QList<QRgb>{qRgb(128, 128, 128), qRgb(7, 7, 7), qRgb(0, 0, 0), qRgb(7, 0, 3)} << hardware
        << 2;

    SourcePalette blueRed = Filled(kEntryA);
    blueRed[0] = PaletteEntry{0, 0, 31, 0};
    blueRed[1] = PaletteEntry{31, 0, 0, 0};
    QTest::newRow("blue first, then red")
        << false << 2 << QList<QRgb>{qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(255, 0, 0), qRgb(255, 0, 0)} << blueRed
        << 2;

    SourcePalette sameIndex = Filled(kEntryA);
    sameIndex[0] = PaletteEntry{0, 0, 0, 1};
    sameIndex[1] = PaletteEntry{31, 31, 31, 0};
    QTest::newRow("red 0 and 3 map alike") << false << 3
                                           << QList<QRgb>{qRgb(0, 0, 0), qRgb(3, 0, 0), qRgb(255, 255, 255)}
                                           << sameIndex << 2;

    // 27 colours from the channel values 0, 128, 255 (levels 0, 16, 31;
    // dark unless a channel is 255); the first 16 fill the palette.
    QList<QRgb> many;
    SourcePalette first16;
    const int values[] = {0, 128, 255};
    const int levels[] = {0, 16, 31};
    for (int r = 0; r < 3; ++r)
        for (int g = 0; g < 3; ++g)
            for (int b = 0; b < 3; ++b) {
                if (many.size() < kPaletteSize)
                    first16[many.size()] =
                        PaletteEntry{levels[r], levels[g], levels[b], (r == 2 || g == 2 || b == 2) ? 0 : 1};
                many << qRgb(values[r], values[g], values[b]);
            }
    QTest::newRow("27 colours") << false << 9 << many << first16 << 16;

    QTest::newRow("not a picture") << false << 0 << QList<QRgb>{} << Filled(kEntryA) << 0;
    QTest::newRow("pipe without writer") << false << -1 << QList<QRgb>{} << Filled(kEntryA) << 0;
}

void FileCommandsTest::pictureImport()
{
    QFETCH(bool, hardware);
    QFETCH(int, width);
    QFETCH(QList<QRgb>, pixels);
    QFETCH(SourcePalette, expected);
    QFETCH(int, slotsFilled);

    Rig rig;
    if (hardware)
        rig.Run(kCmdHardwareColors);
    const QString path = rig.Path("pic.png");
    if (width < 0) {
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (pixels.isEmpty()) {
        QVERIFY(WriteBytes(path, "\x89PNG but nothing more"));
    } else {
        QImage picture(width, static_cast<int>(pixels.size()) / width, QImage::Format_RGB32);
        for (int i = 0; i < pixels.size(); ++i)
            picture.setPixel(i % width, i / width, pixels[i]);
        QVERIFY(picture.save(path, "PNG"));
    }
    rig.host.openAnswers.push_back(FileChoice{path, 0});
    rig.refreshes.clear();

    rig.Run(kCmdImportImage1);

    QCOMPARE(rig.host.asked, QStringList{"open"});
    QCOMPARE(rig.state.palettes[0], expected);
    QCOMPARE(rig.state.palettes[1], Filled(kEntryB));
    QCOMPARE(rig.refreshes.count(), 1);
    for (int k = 0; k < kPaletteSize; ++k)
        QCOMPARE(rig.state.importSlots[k] != kEmptySlot, k < slotsFilled);
}

void FileCommandsTest::copyImageAtZoom3()
{
    Rig rig;
    rig.state.view.zoom = 3;
    rig.window.RefreshView();
    rig.refreshes.clear();
    const QImage shown = rig.window.PreviewImage().copy();
    QCOMPARE(shown.size(), QSize(384, 384));
    rig.host.clipboardImagesAllowed = 1;

    rig.Run(kCmdCopyImage);

    QCOMPARE(rig.host.asked, QStringList{"clipboard-image"});
    QCOMPARE(rig.host.clipboardImage.size(), QSize(384, 384));
    QVERIFY(SamePixels(rig.host.clipboardImage, shown));
    QCOMPARE(rig.refreshes.count(), 0);
}

void FileCommandsTest::clipboardKeepsItsOwnCopy()
{
    PixelBuffer preview;
    preview.Resize(2, 1);
    preview.pixels = {0xFF102030u, 0xFF405060u};
    QtHost host;

    CopyImageToClipboard(host, preview);
    preview.pixels = {0xFF000000u, 0xFF000000u}; // the next refresh draws over the buffer

    const QImage copied = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(copied.size(), QSize(2, 1));
    QCOMPARE(copied.pixel(0, 0), 0xFF102030u);
    QCOMPARE(copied.pixel(1, 0), 0xFF405060u);
}

// The real Qt save dialog, driven by keys: it opens empty on the preselected
// filter, and picking another filter leaves the typed name as it was.
void FileCommandsTest::qtSaveRequesterKeepsTypedName_data()
{
    QTest::addColumn<bool>("exists"); // the list then selects the typed name
    QTest::newRow("new name") << false;
    QTest::newRow("existing file") << true;
}

void FileCommandsTest::qtSaveRequesterKeepsTypedName()
{
    QFETCH(bool, exists);
    QTemporaryDir dir;
    if (exists) {
        QFile file(QDir(dir.path()).filePath("fade.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QtHost host;
    QString startName;
    QString startFilter;
    QString nameAfterFilter;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
        if (name == nullptr || types == nullptr) {
            dialog->reject();
            return;
        }
        startName = name->text();
        startFilter = types->currentText();
        if (exists)
            QTest::qWait(300); // the folder's listing, where typing selects the file
        QTest::keyClicks(name, "fade.bin");
        types->setFocus();
        QTest::keyClick(types, Qt::Key_Down); // C-Output
        nameAfterFilter = name->text();
        QTest::keyClick(name, Qt::Key_Return);
    });

    const FileChoice choice = host.AskSaveFile(texts::kSaveTitle, kFadeTableSave);
    QDir::setCurrent(oldCwd);

    QCOMPARE(startName, QString());
    QCOMPARE(startFilter, QString("ASM-Inlcude (*.s)"));
    QCOMPARE(nameAfterFilter, QString("fade.bin"));
    QCOMPARE(choice.path, QDir(dir.path()).filePath("fade.bin"));
    QCOMPARE(choice.filterIndex, 1);
}

QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
