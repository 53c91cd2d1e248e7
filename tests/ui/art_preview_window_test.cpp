// The Art preview window driven as the user drives it: open art, move the
// step slider, change a palette in the main window, play and close.

#include "core/palette_commands.h"
#include "fake_host.h"
#include "ui/art_preview_window.h"
#include "ui/command_ids.h"
#include "ui/main_window.h"
#include "ui/preview_widgets.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QWheelEvent>

namespace palfade {
namespace {

QString Fixture(const char* name)
{
    return QStringLiteral(PALFADE_TEST_DATA "/") + QLatin1String(name);
}

// table_order.png: rows 3, 1, 19, 3 / 0, 0, 2, 17 of a 20-entry table.
constexpr QRgb kOwnGreen = 0xFF00FF00;   // index 3
constexpr QRgb kOwnMagenta = 0xFFFF00FF; // index 17
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
    }
    void Open(const QString& path)
    {
        host.openAnswers.push_back(FileChoice{path, 0});
        QTest::mouseClick(art->OpenButton(), Qt::LeftButton);
    }
    QRgb Pixel(int x, int y) const { return art->ShownImage().pixel(x, y); }
};

} // namespace

class ArtPreviewWindowTest : public QObject {
    Q_OBJECT

private slots:
    void openStepAndFollow();
    void openFailsOrIsCancelled();
    void playsAndStopsOnClose();
};

void ArtPreviewWindowTest::openStepAndFollow()
{
    Rig rig;
    QVERIFY(rig.art != nullptr && rig.art->isVisible());
    rig.Open(Fixture("table_order.png"));
    QCOMPARE(rig.host.asked.join(","), QString("open"));
    QCOMPARE(rig.host.log.back().title, QString("Open art"));
    QCOMPARE(rig.art->ShownImage().size(), QSize(4, 2));
    QCOMPARE(rig.Pixel(0, 0), kWhite);
    QCOMPARE(rig.Pixel(3, 1), kOwnMagenta);
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
    QVERIFY(rig.Pixel(3, 1) != kOwnMagenta);
    QCOMPARE(rig.art->StatusLine()->text(), QString("4 x 2 pixels, 2 of 8 pixels matched, step 2 of 5"));
    rig.art->ArtPaletteSpin()->setValue(2);
    QCOMPARE(rig.art->StatusLine()->text(),
             QString("4 x 2 pixels, art palette 2 is beyond the colour table (palettes 0-1), step 2 of 5"));

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

} // namespace palfade

QTEST_MAIN(palfade::ArtPreviewWindowTest)
#include "art_preview_window_test.moc"
