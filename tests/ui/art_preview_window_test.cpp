// The Art preview window driven as the user drives it: open art, move the
// step slider, change a palette in the main window, play and close, take
// Palette 1 from the art, export, drop and use the keys.

#include "core/palette_commands.h"
#include "exports/art_export.h"
#include "fake_host.h"
#include "ui/art_preview_window.h"
#include "ui/command_ids.h"
#include "ui/main_window.h"
#include "ui/preview_widgets.h"
#include "ui/window_placement.h"

#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWheelEvent>

#include <memory>

namespace palfade {
namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name);
}

// table_order.png: rows 3, 1, 19, 3 / 0, 0, 2, 17 of a 20-entry table.
constexpr QRgb kOwnGreen = 0xFF00FF00;   // index 3
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kGrey = 0xFF848484;
constexpr QRgb kBlack = 0xFF000000;

struct Rig {
    AppState state;
    FakeHost host;
    MainWindow window{state, host};
    ArtPreviewWindow* art = nullptr;

    Rig()
    {
        LoadLevelTables(state);
        // Entry 3 fades from white to black in 3 steps.
        state.palettes[0][3] = {31, 31, 31, 0};
        state.paletteCount = 3;
        window.RefreshView();
        window.DispatchCommand(kCmdPreviewArt);
        art = window.ArtPreview();
        exports = std::make_unique<QSignalSpy>(art, &ArtPreviewWindow::exportFinished);
    }
    void Open(const QString& path)
    {
        host.openAnswers.push_back(FileChoice{path, 0});
        QTest::mouseClick(art->OpenButton(), Qt::LeftButton);
    }
    QRgb Pixel(int x, int y) const { return art->ShownImage().pixel(x, y); }
    bool ArtActive()
    {
        art->activateWindow();
        return QTest::qWaitForWindowActive(art);
    }
    // Waits for the end of the export the window started and tells whether
    // it wrote its file.
    bool ExportEnds()
    {
        if (exports->isEmpty() && !exports->wait(60000))
            return false;
        return exports->takeFirst().first().toBool();
    }
    std::unique_ptr<QSignalSpy> exports;
};

// Palette words as "100f 4f00 ...".
QString Words(const SourcePalette& palette)
{
    QStringList words;
    for (const PaletteEntry& entry : palette)
        words << QString::asprintf("%04x", EncodeHwColor(entry));
    return words.join(' ');
}

QString Repeated(const char* word, int times)
{
    return QStringList(times, QLatin1String(word)).join(' ');
}

QImage Picture(const QString& path)
{
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// A local file dropped on the window.
void Drop(QWidget* window, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &drop);
}

} // namespace

class ArtPreviewWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void openStepAndFollow();
    void openFailsOrIsCancelled();
    void playsAndStopsOnClose();
    void placement_data();
    void placement();
    void paletteFromArt_data();
    void paletteFromArt();
    void paletteFromArtRefused();
    void warnsOfAPaletteInOrderOfAppearance();
    void namesTheHardwareLevelSet();
    void keysAndFocus();
    void dropOpensArt();
    void exportHasTheWindowsSettings();
    void exportCancelledLeavesNoFile();

private:
    QTemporaryDir dir_;
    QString nearBlack_; // indexed: (8, 8, 8) and red, which ngdevkit's words tell apart
    QString greys_;     // true colour: three pixels of 132 grey and one white
};

void ArtPreviewWindowTest::initTestCase()
{
    QVERIFY(dir_.isValid());
    QImage indexed(2, 1, QImage::Format_Indexed8);
    indexed.setColorTable({qRgb(8, 8, 8), qRgb(255, 0, 0)});
    indexed.setPixel(0, 0, 0);
    indexed.setPixel(1, 0, 1);
    nearBlack_ = dir_.filePath("near_black.png");
    QVERIFY(indexed.save(nearBlack_));
    QImage trueColour(4, 1, QImage::Format_RGB32);
    trueColour.fill(qRgb(132, 132, 132));
    trueColour.setPixel(3, 0, qRgb(255, 255, 255));
    greys_ = dir_.filePath("greys.png");
    QVERIFY(trueColour.save(greys_));
}

void ArtPreviewWindowTest::openStepAndFollow()
{
    Rig rig;
    QVERIFY(rig.art != nullptr && rig.art->isVisible());
    rig.Open(Fixture("table_order.png"));
    QCOMPARE(rig.host.asked.join(","), QString("open"));
    QCOMPARE(rig.host.log.back().title, QString("Open art"));
    QCOMPARE(rig.art->ShownImage().size(), QSize(4, 2));
    QCOMPARE(rig.Pixel(0, 0), kWhite);
    QCOMPARE(rig.art->StatusLine()->text(), QString("4 x 2 pixels, 6 of 8 pixels matched, step 1 of 3"));

    // The slider shows step 2 of 3.
    QCOMPARE(rig.art->StepSlider()->maximum(), 3);
    rig.art->StepSlider()->setValue(2);
    QCOMPARE(rig.art->ShownStep(), 1);
    QCOMPARE(rig.Pixel(0, 0), kGrey);

    // A change in the main window shows at once: palette 1 all black.
    rig.window.DispatchCommand(kCmdBlackPalette1);
    QCOMPARE(rig.Pixel(0, 0), kBlack);
    SetPaletteWhite(rig.state, 1);
    rig.state.paletteCount = 5;
    rig.window.RefreshView();
    QCOMPARE(rig.art->StepSlider()->maximum(), 5);
    QCOMPARE(rig.Pixel(0, 0), QRgb(0xFFC5C5C5)); // white to black, step 2 of 5: level 23
    QCOMPARE(rig.art->ShownStep(), 1);

    // Art palette 1 fades indices 17 and 19 and leaves index 3 its own colour.
    rig.art->ArtPaletteSpin()->setValue(1);
    QCOMPARE(rig.Pixel(0, 0), kOwnGreen);
    QCOMPARE(rig.art->StatusLine()->text(), QString("4 x 2 pixels, 2 of 8 pixels matched, step 2 of 5"));
    rig.art->ArtPaletteSpin()->setValue(2);
    QCOMPARE(rig.art->StatusLine()->text(),
             QString("4 x 2 pixels, art palette 2 is beyond the colour table (palettes 0-1), step 2 of 5"));
    // A 256-colour table holds palettes 0-15.
    QCOMPARE(rig.art->ArtPaletteSpin()->maximum(), 15);
    rig.art->ArtPaletteSpin()->setValue(0);

    // "# Colors": entries from the count on keep the top colour, as the game shows them.
    rig.state.colorCount = 3;
    rig.window.RefreshView();
    QCOMPARE(rig.Pixel(0, 0), kWhite);
    rig.state.colorCount = 16;
    rig.window.RefreshView();

    // The wheel zooms after a click into the picture.
    PreviewCanvas* canvas = rig.art->PreviewAreaWidget()->canvas();
    rig.art->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.art));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
    const QPointF pos(1, 1);
    QWheelEvent wheel(pos, canvas->mapToGlobal(pos), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QCOMPARE(rig.art->ShownImage().size(), QSize(8, 4));
}

void ArtPreviewWindowTest::openFailsOrIsCancelled()
{
    Rig rig;
    rig.Open(Fixture("table_order.gif"));
    const QImage before = rig.art->ShownImage().copy();
    rig.host.messagesAllowed = 1;
    rig.Open(Fixture("no_such_picture.png"));
    QCOMPARE(rig.host.asked.join(","), QString("open,open,message"));
    QVERIFY(rig.host.lastText.contains("no_such_picture.png"));
    QCOMPARE(rig.art->ShownImage(), before);
    rig.Open(QString());
    QCOMPARE(rig.host.asked.join(","), QString("open,open,message,open"));
    QCOMPARE(rig.art->ShownImage(), before);
}

void ArtPreviewWindowTest::playsAndStopsOnClose()
{
    Rig rig;
    rig.Open(Fixture("table_order.png"));
    rig.art->ThereAndBackButton()->setChecked(true);
    // 0.1 s a step: a busy machine does not skip one.
    rig.art->FramesPerStepSpin()->setValue(6);
    QSignalSpy shown(rig.art, &ArtPreviewWindow::stepShown);
    QTest::mouseClick(rig.art->PlayButton(), Qt::LeftButton);
    QVERIFY(rig.art->IsPlaying());
    QCOMPARE(rig.art->PlayButton()->text(), QString("Pause"));
    // 0, 1, 2, 1, 0 ...: every step comes, and the way back.
    QTRY_VERIFY_WITH_TIMEOUT(shown.count() >= 4, 2000);
    QList<int> steps;
    for (const QList<QVariant>& args : shown)
        steps << args.at(0).toInt();
    QCOMPARE(steps.mid(0, 4), (QList<int>{1, 2, 1, 0}));
    rig.art->close();
    QVERIFY(!rig.art->IsPlaying());
    QCOMPARE(rig.art->PlayButton()->text(), QString("Play"));

    // Closing the main window stops it too.
    rig.window.DispatchCommand(kCmdPreviewArt);
    QTest::mouseClick(rig.art->PlayButton(), Qt::LeftButton);
    QVERIFY(rig.art->IsPlaying());
    rig.window.close();
    QVERIFY(!rig.art->IsPlaying());
}

void ArtPreviewWindowTest::placement_data()
{
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("expected"); // for a frame of 622 x 580, the menu bar ending at main.top() + 30

    const QRect wide(0, 0, 1920, 1080);
    QTest::newRow("right of the main window") << wide << QRect(640, 300, 642, 510) << QRect(1290, 300, 622, 580);
    QTest::newRow("left when the right is too narrow")
        << wide << QRect(1200, 300, 642, 510) << QRect(570, 300, 622, 580);
    QTest::newRow("cascaded below the menu bar") << QRect(0, 0, 1280, 1024) << QRect(319, 257, 642, 510)
                                                  << QRect(351, 296, 622, 580);
    QTest::newRow("moved up to stay on the screen")
        << wide << QRect(640, 700, 642, 300) << QRect(1290, 500, 622, 580);
    QTest::newRow("shrunk on a short screen, its width kept")
        << QRect(0, 0, 1920, 500) << QRect(640, 0, 642, 400) << QRect(1290, 0, 622, 500);
}

void ArtPreviewWindowTest::placement()
{
    QFETCH(QRect, screen);
    QFETCH(QRect, main);
    QFETCH(QRect, expected);
    QCOMPARE(PlaceBesideMain(main, main.top() + 30, QSize(622, 580), screen), expected);
}

void ArtPreviewWindowTest::paletteFromArt_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<int>("artPalette");
    QTest::addColumn<int>("words"); // PictureWords
    QTest::addColumn<QString>("palette1");
    QTest::addColumn<bool>("ownColours"); // step 1 shows the picture exactly as it is

    QTest::newRow("table palette 0") << Fixture("table_order.png") << 0 << 0
                                     << "100f 4f00 7fff 20f0 8000 8888 " + Repeated("6ff0", 10) << true;
    QTest::newRow("table palette 1, past the table Palette 1's own")
        << Fixture("table_order.png") << 1 << 0 << "30ff 5f0f 8888 7fff " + Repeated("7fff", 12) << true;
    // ngdevkit's palette tool pads a short table with its black, $8000.
    QTest::newRow("ngdevkit's words") << QString() << 0 << 1 << "f000 4f00 " + Repeated("8000", 14) << false;
}

void ArtPreviewWindowTest::paletteFromArt()
{
    QFETCH(QString, picture);
    QFETCH(int, artPalette);
    QFETCH(int, words);
    QFETCH(QString, palette1);
    QFETCH(bool, ownColours);
    if (picture.isEmpty())
        picture = nearBlack_;

    Rig rig;
    SetPaletteWhite(rig.state, 1);
    rig.window.RefreshView();
    rig.Open(picture);
    rig.art->ArtPaletteSpin()->setValue(artPalette);
    rig.art->WordsBox()->setCurrentIndex(words);
    QVERIFY(rig.ArtActive());
    QTest::keyClick(rig.art, Qt::Key_1, Qt::ControlModifier);
    QCOMPARE(Words(rig.state.palettes[0]), palette1);
    QCOMPARE(rig.host.asked.join(","), QString("open"));
    // The main window refreshed: the art shows the new palette at once.
    QCOMPARE(rig.art->ShownImage() == Picture(picture), ownColours);
}

void ArtPreviewWindowTest::paletteFromArtRefused()
{
    Rig rig;
    const SourcePalette before = rig.state.palettes[0];
    // True colour has no table to take a palette from.
    rig.Open(greys_);
    QVERIFY(!rig.art->PaletteButton()->isEnabled());
    rig.art->PaletteFromArtCommand();
    // A picture gone since it was opened: the reason, and Palette 1 as it was.
    const QString gone = dir_.filePath("gone.png");
    QVERIFY(QFile::copy(Fixture("table_order.png"), gone));
    rig.Open(gone);
    QVERIFY(QFile::remove(gone));
    rig.host.messagesAllowed = 1;
    QTest::mouseClick(rig.art->PaletteButton(), Qt::LeftButton);
    QCOMPARE(rig.host.asked.join(","), QString("open,open,message"));
    QVERIFY(rig.host.lastText.contains("gone.png"));
    QCOMPARE(rig.host.log.back().owner, rig.art);
    QCOMPARE(rig.state.palettes[0], before);
}

void ArtPreviewWindowTest::warnsOfAPaletteInOrderOfAppearance()
{
    Rig rig;
    const QString picture = Fixture("table_order.png");
    rig.Open(picture);
    QVERIFY(!rig.art->StatusLine()->text().contains("order of appearance"));
    // "Import from image.." takes the colours as the pixels first use them.
    rig.host.openAnswers.push_back(FileChoice{picture, 0});
    rig.window.DispatchCommand(kCmdImportImage1);
    QVERIFY(rig.art->StatusLine()->text().endsWith(
        ". Palette 1 holds this picture's colours in order of appearance, which scrambles them: "
        "\"Palette 1 from art\" (Ctrl+1) takes them in table order"));
    QVERIFY(rig.art->ShownImage() != Picture(picture));
    QTest::mouseClick(rig.art->PaletteButton(), Qt::LeftButton);
    QCOMPARE(rig.art->StatusLine()->text(), QString("4 x 2 pixels, 6 of 8 pixels matched, step 1 of 3"));
    QCOMPARE(rig.art->ShownImage(), Picture(picture));

    // Pixels that use the table in its order: the same colours either way,
    // whatever the entries no pixel uses hold (entry 3: yellow in the table,
    // white in Palette 1).
    QImage ordered(4, 1, QImage::Format_Indexed8);
    ordered.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)});
    for (int x = 0; x < 4; ++x)
        ordered.setPixel(x, 0, static_cast<uint>(x % 3));
    const QString path = dir_.filePath("ordered.png");
    QVERIFY(ordered.save(path));
    rig.Open(path);
    rig.host.openAnswers.push_back(FileChoice{path, 0});
    rig.window.DispatchCommand(kCmdImportImage1);
    QCOMPARE(rig.art->StatusLine()->text(), QString("4 x 1 pixels, 4 of 4 pixels matched, step 1 of 3"));
}

void ArtPreviewWindowTest::namesTheHardwareLevelSet()
{
    Rig rig;
    // Grey 132 is level 16 in the linear set; the hardware set reads it as 15.
    rig.state.palettes[0][1] = {16, 16, 16, 0};
    rig.state.palettes[0][2] = {31, 31, 31, 0};
    rig.window.RefreshView();
    rig.Open(greys_);
    QCOMPARE(rig.art->StatusLine()->text(), QString("4 x 1 pixels, 4 of 4 pixels matched, step 1 of 3"));
    rig.window.DispatchCommand(kCmdHardwareColors);
    QCOMPARE(rig.art->StatusLine()->text(),
             QString("4 x 1 pixels, 1 of 4 pixels matched through the hardware level set (4 through the linear "
                     "one) (3 pixels match no colour of Palette 1), step 1 of 3"));
}

void ArtPreviewWindowTest::keysAndFocus()
{
    Rig rig;
    QVERIFY(rig.ArtActive());
    // The focus is on "Open art.." and drawn from the start.
    QCOMPARE(QApplication::focusWidget(), rig.art->OpenButton());
    QVERIFY(rig.art->testAttribute(Qt::WA_KeyboardFocusChange));
    // No picture: nothing to play.
    QVERIFY(!rig.art->PlayButton()->isEnabled());
    QTest::keyClick(rig.art, Qt::Key_Space);
    QVERIFY(!rig.art->IsPlaying());

    rig.host.openAnswers.push_back(FileChoice{Fixture("table_order.png"), 0});
    QTest::keyClick(rig.art, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(rig.host.log.back().owner, rig.art);
    QCOMPARE(rig.art->ShownImage().size(), QSize(4, 2));
    QVERIFY(rig.art->PlayButton()->isEnabled());
    QTest::keyClick(rig.art, Qt::Key_Space);
    QVERIFY(rig.art->IsPlaying());
    QTest::keyClick(rig.art, Qt::Key_Space);
    QVERIFY(!rig.art->IsPlaying());

    QCOMPARE(rig.art->ZoomLabel()->text(), QString("Zoom 1x"));
    QTest::keyClick(rig.art, Qt::Key_Plus);
    QTest::keyClick(rig.art, Qt::Key_Plus);
    QCOMPARE(rig.art->ZoomLabel()->text(), QString("Zoom 3x"));
    QCOMPARE(rig.art->ShownImage().size(), QSize(12, 6));
    QTest::keyClick(rig.art, Qt::Key_Minus);
    QCOMPARE(rig.art->Zoom(), 2);

    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::ControlModifier | Qt::Key_W}) {
        rig.window.DispatchCommand(kCmdPreviewArt);
        QVERIFY(rig.ArtActive());
        QTest::keyClick(rig.art, key.key(), key.keyboardModifiers());
        QVERIFY(!rig.art->isVisible());
    }
}

void ArtPreviewWindowTest::dropOpensArt()
{
    Rig rig;
    Drop(rig.art, Fixture("table_order.gif"));
    QCOMPARE(rig.art->ShownImage().size(), QSize(4, 2));
    QVERIFY(rig.host.asked.isEmpty());
    // What is no picture is refused with the reason; the art stays.
    rig.host.messagesAllowed = 1;
    Drop(rig.art, Fixture("checkers.pal"));
    QCOMPARE(rig.host.asked.join(","), QString("message"));
    QCOMPARE(rig.art->ShownImage().size(), QSize(4, 2));
}

void ArtPreviewWindowTest::exportHasTheWindowsSettings()
{
    Rig rig;
    rig.state.colorCount = 2;
    rig.window.RefreshView();
    rig.Open(Fixture("table_order.png"));
    rig.art->ArtPaletteSpin()->setValue(1);
    rig.art->FramesPerStepSpin()->setValue(2);
    rig.art->HoldEndSpin()->setValue(3);
    rig.art->ThereAndBackButton()->setChecked(true);
    rig.art->SetZoom(2);

    // What palfade-cli art asks for with the same fade and settings.
    ArtRequest request;
    request.path = Fixture("table_order.png");
    request.fades = {rig.state.fadeTable};
    request.artPalette = 1;
    request.levels = rig.state.levels;
    request.playback = ArtPlayback{3, 2, 0, 3, true};
    request.zoom = 2;
    request.colorCount = 2;
    const IoResult<ArtBytes> expected = ExportArt(request);
    QVERIFY(expected.ok());

    const QString gif = dir_.filePath("anim.gif");
    rig.host.saveAnswers.push_back(FileChoice{dir_.filePath("anim"), 0}); // the GIF filter adds ".gif"
    QTest::mouseClick(rig.art->ExportButton(), Qt::LeftButton);
    QCOMPARE(rig.host.log.back().owner, rig.art);
    QVERIFY(rig.ExportEnds());
    QFile written(gif);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), expected.value.bytes);

    // A sheet shows the way back as steps: 1 2 3 2 1, at zoom 2.
    rig.host.saveAnswers.push_back(FileChoice{dir_.filePath("sheet.png"), 1});
    QTest::mouseClick(rig.art->ExportButton(), Qt::LeftButton);
    QVERIFY(rig.ExportEnds());
    QCOMPARE(QImage(dir_.filePath("sheet.png")).size(), QSize(5 * 4 * 2, 2 * 2));
    // Replacing a file is asked first; "No" keeps it.
    rig.host.saveAnswers.push_back(FileChoice{gif, 0});
    rig.host.yesNoAnswers.push_back(false);
    rig.art->ExportAnimationCommand();
    QVERIFY(!rig.art->IsExporting());
    QCOMPARE(rig.host.asked.join(","), QString("open,save,save,save,yesno"));
}

void ArtPreviewWindowTest::exportCancelledLeavesNoFile()
{
    // Large enough that a GIF at zoom 4 takes seconds: 16 frames of 8192 x 8192.
    QTemporaryDir dir;
    QImage big(2048, 2048, QImage::Format_Indexed8);
    big.setColorTable({qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0)});
    for (int y = 0; y < big.height(); ++y)
        for (int x = 0; x < big.width(); ++x)
            big.setPixel(x, y, static_cast<uint>((x * 7 + y * 13 + (x * y) % 5) % 4));
    const QString picture = dir.filePath("big.png");
    QVERIFY(big.save(picture));

    Rig rig;
    rig.state.paletteCount = 16;
    rig.window.RefreshView();
    rig.Open(picture);
    rig.art->SetZoom(4);
    rig.host.saveAnswers.push_back(FileChoice{dir.filePath("big.gif"), 0});
    QVERIFY(rig.ArtActive());
    QTest::keyClick(rig.art, Qt::Key_E, Qt::ControlModifier);
    // The window goes on while the export runs; its progress dialog cancels it.
    QVERIFY(rig.art->IsExporting());
    QVERIFY(!rig.art->ExportButton()->isEnabled());
    QProgressDialog* progress = rig.art->ExportProgress();
    QVERIFY(progress != nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(progress->isVisible(), 5000);
    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
    QVERIFY(!rig.ExportEnds());
    QVERIFY(!rig.art->IsExporting());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"big.png"});
    QCOMPARE(rig.host.asked.join(","), QString("open,save"));
}

} // namespace palfade

QTEST_MAIN(palfade::ArtPreviewWindowTest)
#include "art_preview_window_test.moc"
