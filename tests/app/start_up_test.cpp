// palfade's command line and the files named on it, as main() uses them.

#include "app/start_up.h"
#include "core/app_state.h"
#include "fake_host.h"
#include "ui/art_preview_window.h"
#include "ui/main_window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace palfade;

Q_DECLARE_METATYPE(palfade::CommandLine::Action)

namespace {

SourcePalette Filled(PaletteEntry e)
{
    SourcePalette p;
    p.fill(e);
    return p;
}

const SourcePalette kWhite = Filled({31, 31, 31, 0});

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void files_data();
    void files();
    void identity();
    void artOnTheCommandLine();
};

void StartUpTest::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("textStart");
    QTest::addColumn<QStringList>("paths");

    using A = CommandLine::Action;
    QTest::newRow("nothing") << QStringList{} << A::Run << QString() << QStringList{};
    QTest::newRow("files in order") << QStringList{"b.ngpal", "a.ngpal"} << A::Run << QString()
                                    << QStringList{"b.ngpal", "a.ngpal"};
    QTest::newRow("a file named like an option") << QStringList{"--", "-v"} << A::Run << QString()
                                                 << QStringList{"-v"};
    QTest::newRow("help wins") << QStringList{"x.ngpal", "--help", "--bogus"} << A::Help
                               << "Usage: palfade [FILE]..." << QStringList{};
    QTest::newRow("version") << QStringList{"-v"} << A::Version << "palfade " PALFADE_TEST_VERSION "\n"
                             << QStringList{};
    QTest::newRow("unknown option") << QStringList{"--bogus"} << A::UsageError
                                    << "palfade: Unknown option 'bogus'." << QStringList{};
}

void StartUpTest::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, textStart);
    QFETCH(QStringList, paths);

    const CommandLine parsed = ParseCommandLine(args);
    QCOMPARE(parsed.action, action);
    QVERIFY2(parsed.text.startsWith(textStart), qPrintable(parsed.text));
    QCOMPARE(parsed.paths, paths);
}

void StartUpTest::files_data()
{
    // "white" is a 32-byte file of 7FFF words; the others cannot be read.
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<SourcePalette>("palette1");
    QTest::addColumn<SourcePalette>("palette2");
    QTest::addColumn<QString>("unreadable"); // the one path named on stderr
    QTest::addColumn<QString>("reason");

    QTest::newRow("white") << QStringList{"white"} << kWhite << SourcePalette{} << QString() << QString();
    QTest::newRow("missing, white") << QStringList{"missing", "white"} << SourcePalette{} << kWhite << "missing"
                                    << "no such file";
    QTest::newRow("white, folder") << QStringList{"white", "folder"} << kWhite << SourcePalette{} << "folder"
                                   << "is a folder";
}

void StartUpTest::files()
{
    QFETCH(QStringList, names);
    QFETCH(SourcePalette, palette1);
    QFETCH(SourcePalette, palette2);
    QFETCH(QString, unreadable);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QFile white(dir.filePath("white"));
    QVERIFY(white.open(QIODevice::WriteOnly));
    for (int i = 0; i < 16; ++i)
        QVERIFY(white.write("\x7F\xFF", 2) == 2);
    white.close();
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);

    AppState state;
    FakeHost host;
    MainWindow window(state, host);
    LoadLevelTables(state);
    const QStringList messages = OpenCommandLineFiles(state, host, paths);
    window.RefreshView();

    QCOMPARE(state.palettes[0], palette1);
    QCOMPARE(state.palettes[1], palette2);
    QVERIFY(host.asked.isEmpty());
    if (unreadable.isEmpty())
        QCOMPARE(messages, QStringList{});
    else
        QCOMPARE(messages, QStringList{QString("palfade: cannot read '%1': %2\n").arg(dir.filePath(unreadable), reason)});

    // The window shows what it shows for these palettes set by hand.
    AppState expected;
    FakeHost otherHost;
    MainWindow other(expected, otherHost);
    LoadLevelTables(expected);
    expected.palettes[0] = palette1;
    expected.palettes[1] = palette2;
    other.RefreshView();
    QCOMPARE(window.PreviewImage(), other.PreviewImage());
}

void StartUpTest::identity()
{
    SetUpApplicationIdentity();
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral(PALFADE_TEST_APP_ID));
    QVERIFY(!QGuiApplication::windowIcon().pixmap(48).isNull());
}

void StartUpTest::artOnTheCommandLine()
{
    const CommandLine parsed = ParseCommandLine({"--art", "scene.png", "a.ngpal"});
    QCOMPARE(parsed.action, CommandLine::Action::Run);
    QCOMPARE(parsed.art, QString("scene.png"));
    QCOMPARE(parsed.paths, QStringList{"a.ngpal"});
    QCOMPARE(ParseCommandLine({"--art"}).action, CommandLine::Action::UsageError);

    QTemporaryDir dir;
    QImage picture(3, 2, QImage::Format_Indexed8);
    picture.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    picture.fill(1);
    const QString path = dir.filePath("scene.png");
    QVERIFY(picture.save(path));
    for (const QString& art : {path, dir.filePath("missing.png")}) {
        AppState state;
        FakeHost host;
        MainWindow window(state, host);
        LoadLevelTables(state);
        window.RefreshView();
        window.show();
        const QString message = OpenCommandLineArt(window, art);
        // The art preview opens either way; a picture it cannot load is named
        // on standard error, not in a box.
        QVERIFY(window.ArtPreview() != nullptr && window.ArtPreview()->isVisible());
        QVERIFY(host.asked.isEmpty());
        if (art == path) {
            QCOMPARE(message, QString());
            QCOMPARE(window.ArtPreview()->ShownImage().size(), QSize(3, 2));
        } else {
            QVERIFY2(message.startsWith("palfade: ") && message.contains("missing.png") && message.endsWith("\n"),
                     qPrintable(message));
        }
    }
}

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
