// The main window driven as the user drives it: menu items, shortcuts, spin
// boxes, the wheel, drops and resizing, with a scripted host answering.

#include "core/palette_commands.h"
#include "fake_host.h"
#include "ui/art_preview_window.h"
#include "ui/command_ids.h"
#include "ui/main_window.h"
#include "ui/preview_widgets.h"
#include "ui/window_texts.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QUrl>

#include <memory>

using namespace palfade;

Q_DECLARE_METATYPE(QList<int>)

namespace {

constexpr std::uint32_t kBlackPixel = 0xFF000000u;

SourcePalette Filled(PaletteEntry e)
{
    SourcePalette p;
    p.fill(e);
    return p;
}

// Hand-made palettes whose results under every palette command are easy to
// write down: greyscale of (10, 20, 30) is 18, of (31, 0, 4) is 10.
const PaletteEntry kEntryA{10, 20, 30, 1};
const PaletteEntry kEntryB{31, 0, 4, 0};
// The colour "Set to colour.." picks.
constexpr HwColor kWord = 0x4F00;

SourcePalette PaletteFromCode(const QString& code)
{
    if (code == "A")
        return Filled(kEntryA);
    if (code == "B")
        return Filled(kEntryB);
    if (code == "greyA")
        return Filled({18, 18, 18, 0});
    if (code == "greyB")
        return Filled({10, 10, 10, 0});
    if (code == "word")
        return WordPalette(kWord);
    if (code == "white") {
        SourcePalette p = Filled({31, 31, 31, 0});
        p[0] = PaletteEntry{};
        return p;
    }
    return SourcePalette{}; // "black"
}

// One window on a fresh state, started the way main() starts it.
struct Rig {
    AppState state;
    FakeHost host;
    MainWindow window{state, host};
    QSignalSpy refreshes{&window, &MainWindow::refreshed};

    Rig()
    {
        LoadLevelTables(state);
        window.RefreshView();
        refreshes.clear();
    }
    bool ShowActive()
    {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }
    QImage Preview() const { return window.PreviewImage().copy(); }
    QStringList StatusTexts() const
    {
        QStringList texts;
        for (int i = 0; i < kStatusFieldCount; ++i)
            texts << window.StatusField(static_cast<StatusBarField>(i))->text();
        return texts;
    }
    void Wheel(int delta)
    {
        PreviewCanvas* canvas = window.PreviewCanvasWidget();
        const QPointF pos(0, 0);
        QWheelEvent event(pos, canvas->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(canvas, &event);
    }
};

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startState();
    void menusInOrder();
    void commandIds_data();
    void commandIds();
    void shortcuts_data();
    void shortcuts();
    void wheelZoom_data();
    void wheelZoom();
    void spinBoxes_data();
    void spinBoxes();
    void typingIntoSpinBoxes();
    void wheelOverLargePreview();
    void newResetsOnlyPalettesAndCount();
    void togglesTwice_data();
    void togglesTwice();
    void gridColor_data();
    void gridColor();
    void smallPreviewSizes_data();
    void smallPreviewSizes();
    void resizing_data();
    void resizing();
    void aboutLeavesPreview();
    void quitClosesWindow();
    void drops_data();
    void drops();
    void unknownIdsDoNothing();
};

void MainWindowTest::startState()
{
    Rig rig;
    QCOMPARE(rig.state.paletteCount, 16);
    QCOMPARE(rig.state.colorCount, 16);
    QCOMPARE(rig.state.view.zoom, 1);
    QCOMPARE(rig.state.view.gridColor, 0xFF00FFu);
    QCOMPARE(rig.window.PaletteCountSpin()->value(), 16);
    QCOMPARE(rig.window.ColorCountSpin()->value(), 16);
    QCOMPARE(rig.window.PaletteCountSpin()->minimum(), 3);
    QCOMPARE(rig.window.PaletteCountSpin()->maximum(), 256);
    QCOMPARE(rig.window.ColorCountSpin()->minimum(), 1);
    QCOMPARE(rig.window.ColorCountSpin()->maximum(), 16);
    for (QAction* action : rig.window.menuBar()->actions())
        for (QAction* item : action->menu()->actions())
            QVERIFY2(!item->isChecked(), qPrintable(item->text()));
    QCOMPARE(rig.StatusTexts(), (QStringList{"", "Hardware colors : Off", "Dark bit : Off", "Simple fade : Off",
                                             "Zoom: 1x1"}));

    const QImage preview = rig.window.PreviewImage();
    QCOMPARE(preview.size(), QSize(128, 128));
    QCOMPARE(preview.format(), QImage::Format_RGB32);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            QCOMPARE(preview.pixel(x, y), kBlackPixel);
    QCOMPARE(rig.window.PreviewCanvasWidget()->size(), QSize(128, 128));

    QCOMPARE(rig.window.size(), QSize(640, 480));
    QCOMPARE(rig.window.minimumSize(), QSize(640, 480));
    QVERIFY(rig.window.windowTitle().startsWith("palfade"));
    QVERIFY(rig.window.acceptDrops());
    QCOMPARE(rig.window.PreviewCanvasWidget()->focusPolicy(), Qt::StrongFocus);
    QCOMPARE(rig.window.PreviewAreaWidget()->verticalScrollBar()->singleStep(), 8);
    QCOMPARE(rig.window.PreviewAreaWidget()->horizontalScrollBar()->singleStep(), 8);
    QCOMPARE(rig.window.PreviewAreaWidget()->viewport()->palette().color(QPalette::Window), QColor(128, 128, 128));
    QVERIFY(rig.host.asked.isEmpty());
}

void MainWindowTest::menusInOrder()
{
    Rig rig;
    const QStringList expected = {
        "File: New\tCtrl+N=2, Save As..\tCtrl+S=3, -, Quit=4",
        "Palette 1 (Top): Open..=5, Save As..=6, Edit palette..=10, Import from file..=12, "
        "Import from image..=11, Import from clipboard=13, -, Greyscale loaded palette=9, Set to black=7, "
        "Set to white=8, Set to colour..=37, -, Import from source..=35",
        "Palette 2 (Bottom): Open..=14, Save As..=15, Edit palette..=19, Import from file..=21, "
        "Import from image..=20, Import from clipboard=22, -, Greyscale loaded palette=18, Set to black=16, "
        "Set to white=17, Set to colour..=38, -, Import from source..=36",
        "Options: Swap palettes=28, -, Save image to file..=29, Copy image to clipboard=30, -, "
        "Preview art..\tCtrl+Alt+A=34, Fade shape..=39, Export for a toolchain..=40",
        "Settings: Show Grid\tCtrl+Alt+G=23, Set Grid color=24, -, Show hardware colors\tCtrl+Alt+R=25, "
        "Use 'Dark bit' (experimental)=26, Simple fade=27",
        "Help: About=33",
    };
    QStringList actual;
    for (QAction* menuAction : rig.window.menuBar()->actions()) {
        QStringList items;
        for (QAction* item : menuAction->menu()->actions()) {
            if (item->isSeparator()) {
                items << "-";
                continue;
            }
            int id = -1;
            for (int candidate = 0; candidate <= kCmdToolchainExport; ++candidate)
                if (rig.window.CommandAction(candidate) == item)
                    id = candidate;
            items << QStringLiteral("%1=%2").arg(item->text()).arg(id);
        }
        actual << menuAction->text() + ": " + items.join(", ");
    }
    QCOMPARE(actual, expected);
}

void MainWindowTest::commandIds_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("palette1"); // palette codes of PaletteFromCode; they start as A and B
    QTest::addColumn<QString>("palette2");
    QTest::addColumn<QString>("setting"); // the flag the command turns on
    QTest::addColumn<QString>("asked");
    QTest::addColumn<int>("refreshes");

    QTest::newRow("2 New") << 2 << "black" << "black" << "" << "" << 1;
    QTest::newRow("3 Save fade") << 3 << "A" << "B" << "" << "save" << 0;
    QTest::newRow("5 Open 1") << 5 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("6 Save 1") << 6 << "A" << "B" << "" << "save" << 0;
    QTest::newRow("7 Black 1") << 7 << "black" << "B" << "" << "" << 1;
    QTest::newRow("8 White 1") << 8 << "white" << "B" << "" << "" << 1;
    QTest::newRow("9 Grey 1") << 9 << "greyA" << "B" << "" << "" << 1;
    QTest::newRow("10 Edit 1") << 10 << "A" << "B" << "" << "edit:1" << 1;
    QTest::newRow("11 Image 1") << 11 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("12 File 1") << 12 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("13 Clipboard 1") << 13 << "A" << "B" << "" << "clipboard-text" << 1;
    QTest::newRow("14 Open 2") << 14 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("15 Save 2") << 15 << "A" << "B" << "" << "save" << 0;
    QTest::newRow("16 Black 2") << 16 << "A" << "black" << "" << "" << 1;
    QTest::newRow("17 White 2") << 17 << "A" << "white" << "" << "" << 1;
    QTest::newRow("18 Grey 2") << 18 << "A" << "greyB" << "" << "" << 1;
    QTest::newRow("19 Edit 2") << 19 << "A" << "B" << "" << "edit:2" << 1;
    QTest::newRow("20 Image 2") << 20 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("21 File 2") << 21 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("22 Clipboard 2") << 22 << "A" << "B" << "" << "clipboard-text" << 1;
    QTest::newRow("23 Grid") << 23 << "A" << "B" << "grid" << "" << 1;
    QTest::newRow("24 Grid colour") << 24 << "A" << "B" << "" << "color" << 0;
    QTest::newRow("25 Hardware") << 25 << "A" << "B" << "hardware" << "" << 1;
    QTest::newRow("26 Dark bit") << 26 << "A" << "B" << "dark" << "" << 1;
    QTest::newRow("27 Simple") << 27 << "A" << "B" << "simple" << "" << 1;
    QTest::newRow("28 Swap") << 28 << "B" << "A" << "" << "" << 1;
    QTest::newRow("29 Save image") << 29 << "A" << "B" << "" << "save" << 0;
    QTest::newRow("30 Copy image") << 30 << "A" << "B" << "" << "clipboard-image" << 0;
    QTest::newRow("33 About") << 33 << "A" << "B" << "" << "about" << 0;
    QTest::newRow("34 Art preview") << 34 << "A" << "B" << "" << "" << 0;
    // The window's additions; the file requester is cancelled.
    QTest::newRow("35 Source 1") << 35 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("36 Source 2") << 36 << "A" << "B" << "" << "open" << 1;
    QTest::newRow("37 Colour 1") << 37 << "word" << "B" << "" << "color-word" << 1;
    QTest::newRow("38 Colour 2") << 38 << "A" << "word" << "" << "color-word" << 1;
    QTest::newRow("39 Fade shape") << 39 << "A" << "B" << "" << "fade-shape" << 1;
    QTest::newRow("40 Toolchain") << 40 << "A" << "B" << "" << "toolchain-export" << 0;
}

void MainWindowTest::commandIds()
{
    QFETCH(int, id);
    QFETCH(QString, palette1);
    QFETCH(QString, palette2);
    QFETCH(QString, setting);
    QFETCH(QString, asked);
    QFETCH(int, refreshes);

    Rig rig;
    rig.state.palettes = {Filled(kEntryA), Filled(kEntryB)};
    rig.host.editsAllowed = 1;
    rig.host.aboutsAllowed = 1;
    rig.host.colorAnswers.push_back(MakeDisplayRgb(0, 255, 0));
    // The file commands are cancelled; the clipboard holds no colour words.
    rig.host.openAnswers.push_back(FileChoice{});
    rig.host.saveAnswers.push_back(FileChoice{});
    rig.host.clipboardTexts.push_back("no words here");
    rig.host.clipboardImagesAllowed = 1;
    rig.host.colorWordAnswers.push_back(kWord);
    rig.host.shapeAnswers.push_back(ShapeSettings{FadeCurve::EaseIn, 0x0001, false});
    rig.host.toolchainAnswers.push_back(std::nullopt);

    QAction* action = rig.window.CommandAction(id);
    QVERIFY(action != nullptr);
    action->trigger();

    QCOMPARE(rig.state.palettes[0], PaletteFromCode(palette1));
    QCOMPARE(rig.state.palettes[1], PaletteFromCode(palette2));
    const std::pair<const char*, bool> flags[] = {{"grid", rig.state.view.showGrid},
                                                  {"hardware", rig.state.view.hardwareColors},
                                                  {"dark", rig.state.view.useDarkBit},
                                                  {"simple", rig.state.view.simpleFade}};
    for (const auto& [name, on] : flags)
        QCOMPARE(on, setting == name);
    QCOMPARE(action->isChecked(), !setting.isEmpty());
    QCOMPARE(rig.host.asked.join(","), asked);
    QCOMPARE(static_cast<int>(rig.refreshes.count()), refreshes);
}

void MainWindowTest::shortcuts_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<int>("id");
    QTest::newRow("Ctrl+N") << QKeySequence(Qt::CTRL | Qt::Key_N) << 2;
    QTest::newRow("Ctrl+S") << QKeySequence(Qt::CTRL | Qt::Key_S) << 3;
    QTest::newRow("Ctrl+Alt+G") << QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_G) << 23;
    QTest::newRow("Ctrl+Alt+R") << QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_R) << 25;
    QTest::newRow("Ctrl+Alt+A") << QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_A) << 34;
}

void MainWindowTest::shortcuts()
{
    QFETCH(QKeySequence, keys);
    QFETCH(int, id);

    Rig rig;
    QVERIFY(rig.ShowActive());
    rig.state.palettes = {Filled(kEntryA), Filled(kEntryB)};
    rig.host.saveAnswers.push_back(FileChoice{}); // Ctrl+S, cancelled
    QSignalSpy triggered(rig.window.CommandAction(id), &QAction::triggered);
    QTest::keySequence(&rig.window, keys);
    QCOMPARE(triggered.count(), 1);

    // The shortcut did what the item does.
    switch (id) {
    case kCmdNew:
        QCOMPARE(rig.state.palettes[0], SourcePalette{});
        break;
    case kCmdShowGrid:
        QVERIFY(rig.state.view.showGrid);
        QVERIFY(rig.window.CommandAction(id)->isChecked());
        break;
    case kCmdHardwareColors:
        QVERIFY(rig.state.view.hardwareColors);
        QCOMPARE(rig.window.StatusField(StatusBarField::HardwareColors)->text(), QString("Hardware colors : On"));
        break;
    case kCmdPreviewArt:
        QVERIFY(rig.window.ArtPreview() != nullptr && rig.window.ArtPreview()->isVisible());
        QCOMPARE(rig.refreshes.count(), 0);
        break;
    default: // Save As: changes nothing on screen
        QCOMPARE(rig.refreshes.count(), 0);
    }
}

void MainWindowTest::wheelZoom_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("refreshes");

    QTest::newRow("no focus") << "none" << QList<int>{120} << 1 << 0;
    QTest::newRow("spin box focused") << "spin" << QList<int>{120, 120} << 1 << 0;
    QTest::newRow("one notch in") << "canvas" << QList<int>{120} << 2 << 1;
    QTest::newRow("sign only, small") << "canvas" << QList<int>{1} << 2 << 1;
    QTest::newRow("sign only, large") << "canvas" << QList<int>{720} << 2 << 1;
    QTest::newRow("held at 4") << "canvas" << QList<int>{120, 120, 120, 120, 120} << 4 << 5;
    QTest::newRow("back from 4") << "canvas" << QList<int>{120, 120, 120, 120, 120, -120} << 3 << 6;
    QTest::newRow("held at 1") << "canvas" << QList<int>{-120, -120} << 1 << 2;
}

void MainWindowTest::wheelZoom()
{
    QFETCH(QString, focus);
    QFETCH(QList<int>, deltas);
    QFETCH(int, zoom);
    QFETCH(int, refreshes);

    Rig rig;
    QVERIFY(rig.ShowActive());
    if (focus == "canvas")
        QTest::mouseClick(rig.window.PreviewCanvasWidget(), Qt::LeftButton);
    if (focus == "spin")
        QTest::mouseClick(rig.window.ColorCountSpin(), Qt::LeftButton, {}, QPoint(5, 10));
    QCOMPARE(rig.window.PreviewCanvasWidget()->hasFocus(), focus == "canvas");

    for (int delta : deltas)
        rig.Wheel(delta);
    QCOMPARE(rig.state.view.zoom, zoom);
    QCOMPARE(static_cast<int>(rig.refreshes.count()), refreshes);
    QCOMPARE(rig.window.StatusField(StatusBarField::Zoom)->text(), QStringLiteral("Zoom: %1x%1").arg(zoom));
    QCOMPARE(rig.window.PreviewImage().size(), QSize(128 * zoom, 128 * zoom));
    QCOMPARE(rig.window.PreviewCanvasWidget()->size(), QSize(128 * zoom, 128 * zoom));
    QCOMPARE(rig.window.ColorCountSpin()->value(), 16);
}

void MainWindowTest::spinBoxes_data()
{
    QTest::addColumn<bool>("palettes"); // else the colour count
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("refreshes");

    QTest::newRow("palettes up from 16") << true << 16 << int(Qt::Key_Up) << 17 << 1;
    QTest::newRow("palettes down from 16") << true << 16 << int(Qt::Key_Down) << 15 << 1;
    QTest::newRow("palettes up at 256") << true << 256 << int(Qt::Key_Up) << 256 << 0;
    QTest::newRow("palettes down at 3") << true << 3 << int(Qt::Key_Down) << 3 << 0;
    QTest::newRow("colours down from 16") << false << 16 << int(Qt::Key_Down) << 15 << 1;
    QTest::newRow("colours up at 16") << false << 16 << int(Qt::Key_Up) << 16 << 0;
    QTest::newRow("colours down at 1") << false << 1 << int(Qt::Key_Down) << 1 << 0;
    // One step per key, never ten.
    QTest::newRow("palettes page up") << true << 16 << int(Qt::Key_PageUp) << 16 << 0;
    QTest::newRow("colours page down") << false << 12 << int(Qt::Key_PageDown) << 12 << 0;
    QTest::newRow("palettes ctrl+up") << true << 16 << (Qt::ControlModifier | Qt::Key_Up).toCombined() << 17 << 1;
    QTest::newRow("colours ctrl+down") << false << 16 << (Qt::ControlModifier | Qt::Key_Down).toCombined() << 15
                                       << 1;
}

void MainWindowTest::spinBoxes()
{
    QFETCH(bool, palettes);
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(int, expected);
    QFETCH(int, refreshes);

    Rig rig;
    QVERIFY(rig.ShowActive());
    QSpinBox* spin = palettes ? rig.window.PaletteCountSpin() : rig.window.ColorCountSpin();
    int& count = palettes ? rig.state.paletteCount : rig.state.colorCount;
    spin->setValue(start); // the user's change: stores and refreshes
    QCOMPARE(count, start);
    rig.refreshes.clear();

    spin->setFocus();
    const QKeyCombination combination = QKeyCombination::fromCombined(key);
    QTest::keyClick(spin, combination.key(), combination.keyboardModifiers());
    QCOMPARE(spin->value(), expected);
    QCOMPARE(count, expected);
    QCOMPARE(static_cast<int>(rig.refreshes.count()), refreshes);
    const QSize base = palettes ? QSize(128, expected * 8) : QSize(expected * 8, 128);
    QCOMPARE(rig.window.PreviewImage().size(), base);

    // The arrow buttons do the same, once per click.
    rig.refreshes.clear();
    QStyleOptionSpinBox option;
    option.initFrom(spin);
    option.subControls = QStyle::SC_SpinBoxUp;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    const QRect up = spin->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, spin);
    QTest::mouseClick(spin, Qt::LeftButton, {}, up.center());
    const int max = palettes ? 256 : 16;
    QCOMPARE(spin->value(), std::min(expected + 1, max));
    QCOMPARE(static_cast<int>(rig.refreshes.count()), expected < max ? 1 : 0);
}

// A preview larger than the area: the wheel over any part of the area zooms
// only while the canvas has the focus, and never scrolls. The area and its
// bars take no focus, by click or by Tab.
void MainWindowTest::wheelOverLargePreview()
{
    Rig rig;
    QVERIFY(rig.ShowActive());
    rig.window.PaletteCountSpin()->setValue(256);
    rig.state.view.zoom = 4;
    rig.window.RefreshView();
    PreviewArea* area = rig.window.PreviewAreaWidget();
    QScrollBar* bar = area->verticalScrollBar();
    QTRY_VERIFY(bar->isVisible());
    rig.refreshes.clear();

    auto wheelOver = [](QWidget* target, int delta) {
        const QPointF pos(target->width() / 2, target->height() / 2);
        QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    const QList<QWidget*> parts{rig.window.PreviewCanvasWidget(), area->viewport(), bar, area->horizontalScrollBar()};
    QTest::mouseClick(rig.window.ColorCountSpin(), Qt::LeftButton, {}, QPoint(5, 10));
    for (QWidget* part : parts)
        for (int delta : {-120, 120})
            wheelOver(part, delta);
    QCOMPARE(rig.state.view.zoom, 4);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(rig.refreshes.count(), 0);

    QTest::mouseClick(rig.window.PreviewCanvasWidget(), Qt::LeftButton);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 40));
    QVERIFY(bar->value() > 0); // the bar still scrolls by clicks
    QVERIFY(rig.window.PreviewCanvasWidget()->hasFocus());
    const int scrolled = bar->value();
    wheelOver(bar, -120);
    QCOMPARE(rig.state.view.zoom, 3);
    QCOMPARE(rig.refreshes.count(), 1);
    if (bar->maximum() >= scrolled)
        QCOMPARE(bar->value(), scrolled);

    // Tab goes round the canvas and the two spin boxes only.
    QList<QWidget*> stops;
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        stops << QApplication::focusWidget();
    }
    QCOMPARE(stops, (QList<QWidget*>{rig.window.PaletteCountSpin(), rig.window.ColorCountSpin(),
                                     rig.window.PreviewCanvasWidget()}));
}

void MainWindowTest::typingIntoSpinBoxes()
{
    Rig rig;
    QVERIFY(rig.ShowActive());
    for (QSpinBox* spin : {rig.window.PaletteCountSpin(), rig.window.ColorCountSpin()}) {
        QVERIFY(spin->findChild<QLineEdit*>()->isReadOnly());
        spin->setFocus();
        QTest::keyClick(spin, Qt::Key_Backspace);
        QTest::keyClicks(spin, "9");
        QTest::keyClick(spin, Qt::Key_Return);
        spin->clearFocus();
        QCOMPARE(spin->value(), 16);
    }
    QCOMPARE(rig.state.paletteCount, 16);
    QCOMPARE(rig.state.colorCount, 16);
    QCOMPARE(rig.refreshes.count(), 0);
}

void MainWindowTest::newResetsOnlyPalettesAndCount()
{
    Rig rig;
    rig.window.PaletteCountSpin()->setValue(40);
    rig.window.ColorCountSpin()->setValue(5);
    rig.state.view.zoom = 2;
    rig.state.view.gridColor = MakeDisplayRgb(1, 2, 3);
    rig.window.DispatchCommand(kCmdShowGrid);
    rig.window.DispatchCommand(kCmdSimpleFade);
    rig.state.palettes = {Filled(kEntryA), Filled(kEntryB)};
    const ViewSettings view = rig.state.view;
    rig.refreshes.clear();

    rig.window.CommandAction(kCmdNew)->trigger();

    QCOMPARE(rig.state.paletteCount, 16);
    QCOMPARE(rig.window.PaletteCountSpin()->value(), 16);
    QCOMPARE(rig.state.palettes[0], SourcePalette{});
    QCOMPARE(rig.state.palettes[1], SourcePalette{});
    QCOMPARE(rig.state.colorCount, 5);
    QCOMPARE(rig.window.ColorCountSpin()->value(), 5);
    QCOMPARE(rig.state.view, view);
    QVERIFY(rig.window.CommandAction(kCmdShowGrid)->isChecked());
    QVERIFY(rig.window.CommandAction(kCmdSimpleFade)->isChecked());
    QVERIFY(!rig.window.CommandAction(kCmdHardwareColors)->isChecked());
    QCOMPARE(rig.refreshes.count(), 1); // setting the spin box notified nothing
    QCOMPARE(rig.window.PreviewImage().size(), QSize(5 * 8 * 2, 16 * 8 * 2));
}

void MainWindowTest::togglesTwice_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("field"); // status field, -1 for none
    QTest::addColumn<QString>("onText");
    QTest::addColumn<QString>("offText");
    QTest::newRow("grid") << 23 << -1 << "" << "";
    QTest::newRow("hardware") << 25 << 1 << "Hardware colors : On" << "Hardware colors : Off";
    QTest::newRow("dark bit") << 26 << 2 << "Dark bit : On" << "Dark bit : Off";
    QTest::newRow("simple fade") << 27 << 3 << "Simple fade : On" << "Simple fade : Off";
}

void MainWindowTest::togglesTwice()
{
    QFETCH(int, id);
    QFETCH(int, field);
    QFETCH(QString, onText);
    QFETCH(QString, offText);

    Rig rig;
    // Black to white over 16 steps: every mode and level set draws it differently.
    rig.state.palettes = {SourcePalette{}, Filled({31, 31, 31, 0})};
    rig.window.RefreshView();
    const QImage before = rig.Preview();
    const QStringList statusBefore = rig.StatusTexts();
    rig.refreshes.clear();
    const ViewSettings viewBefore = rig.state.view;
    QAction* action = rig.window.CommandAction(id);

    action->trigger();
    QVERIFY(action->isChecked());
    QVERIFY(rig.state.view != viewBefore);
    QVERIFY(rig.Preview() != before);
    if (field >= 0)
        QCOMPARE(rig.window.StatusField(static_cast<StatusBarField>(field))->text(), onText);

    action->trigger();
    QVERIFY(!action->isChecked());
    QCOMPARE(rig.state.view, viewBefore);
    QCOMPARE(rig.Preview(), before);
    QCOMPARE(rig.StatusTexts(), statusBefore);
    if (field >= 0)
        QCOMPARE(rig.window.StatusField(static_cast<StatusBarField>(field))->text(), offText);
    QCOMPARE(rig.refreshes.count(), 2);
}

void MainWindowTest::gridColor_data()
{
    QTest::addColumn<bool>("gridShown");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("refreshes");
    QTest::newRow("hidden, chosen") << false << false << 0;
    QTest::newRow("hidden, cancelled") << false << true << 0;
    QTest::newRow("shown, chosen") << true << false << 1;
    QTest::newRow("shown, cancelled") << true << true << 0;
}

void MainWindowTest::gridColor()
{
    QFETCH(bool, gridShown);
    QFETCH(bool, cancel);
    QFETCH(int, refreshes);

    constexpr DisplayRgb kChosen = MakeDisplayRgb(0x12, 0x34, 0x56);
    Rig rig;
    if (gridShown)
        rig.window.DispatchCommand(kCmdShowGrid);
    const QImage before = rig.Preview();
    rig.refreshes.clear();
    rig.host.colorAnswers.push_back(cancel ? std::nullopt : std::optional<DisplayRgb>(kChosen));

    rig.window.DispatchCommand(kCmdGridColor);

    QCOMPARE(rig.host.asked, QStringList{"color"});
    QCOMPARE(rig.host.lastText, QString("ff00ff")); // it starts from the magenta default
    QCOMPARE(rig.state.view.gridColor, cancel ? kDefaultGridColor : kChosen);
    QCOMPARE(static_cast<int>(rig.refreshes.count()), refreshes);
    if (refreshes == 0)
        QCOMPARE(rig.Preview(), before);

    // Right of the first cell runs a grid line once the grid is on.
    if (!gridShown)
        rig.window.DispatchCommand(kCmdShowGrid);
    const QImage shown = rig.window.PreviewImage();
    QCOMPARE(shown.pixel(7, 0), cancel ? 0xFFFF00FFu : 0xFF123456u);
    QCOMPARE(shown.pixel(0, 7), cancel ? 0xFFFF00FFu : 0xFF123456u);
    QCOMPARE(shown.pixel(6, 6), kBlackPixel);
}

void MainWindowTest::smallPreviewSizes_data()
{
    QTest::addColumn<int>("colors");
    QTest::addColumn<int>("palettes");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("size");
    QTest::newRow("1 x 3") << 1 << 3 << 1 << QSize(8, 24);
    QTest::newRow("16 x 16 zoom 3") << 16 << 16 << 3 << QSize(384, 384);
    QTest::newRow("zoom 0 shown as 1") << 2 << 3 << 0 << QSize(16, 24);
    QTest::newRow("zoom 5 shown as 4") << 16 << 256 << 5 << QSize(512, 8192);
}

void MainWindowTest::smallPreviewSizes()
{
    QFETCH(int, colors);
    QFETCH(int, palettes);
    QFETCH(int, zoom);
    QFETCH(QSize, size);

    Rig rig;
    QVERIFY(rig.ShowActive());
    rig.state.colorCount = colors;
    rig.state.paletteCount = palettes;
    rig.state.view.zoom = zoom;
    rig.window.RefreshView();
    QCOMPARE(rig.window.PreviewImage().size(), size);
    QCOMPARE(rig.window.PreviewCanvasWidget()->size(), size);
    const int bounded = std::clamp(zoom, 1, 4);
    QCOMPARE(rig.state.view.zoom, bounded);
    QCOMPARE(rig.window.StatusField(StatusBarField::Zoom)->text(), QStringLiteral("Zoom: %1x%1").arg(bounded));

    // A small preview sits in the middle of the area, a large one scrolls.
    QCoreApplication::processEvents();
    const QWidget* viewport = rig.window.PreviewAreaWidget()->viewport();
    const QRect canvas = rig.window.PreviewCanvasWidget()->geometry();
    if (size.width() < viewport->width() && size.height() < viewport->height()) {
        QVERIFY(std::abs(canvas.center().x() - viewport->rect().center().x()) <= 1);
        QVERIFY(std::abs(canvas.center().y() - viewport->rect().center().y()) <= 1);
    } else {
        QVERIFY(rig.window.PreviewAreaWidget()->verticalScrollBar()->maximum() > 0);
    }
}

void MainWindowTest::resizing_data()
{
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("expected");
    QTest::newRow("start size") << QSize(640, 480) << QSize(640, 480);
    QTest::newRow("larger") << QSize(900, 700) << QSize(900, 700);
    QTest::newRow("smaller than the minimum") << QSize(300, 200) << QSize(640, 480);
    QTest::newRow("only wider") << QSize(1000, 300) << QSize(1000, 480);
}

void MainWindowTest::resizing()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, expected);

    Rig rig;
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    const int field0Before = rig.window.StatusField(StatusBarField::Message)->width();
    const QImage before = rig.Preview();
    rig.window.resize(requested);
    QCoreApplication::processEvents();

    QCOMPARE(rig.window.size(), expected);
    const QWidget* client = rig.window.centralWidget();
    const QRect area = rig.window.PreviewAreaWidget()->geometry();
    QCOMPARE(area, QRect(3, 30, client->width() - 6, client->height() - 31));
    QCOMPARE(client->width(), expected.width());
    // The area ends one pixel above the status bar.
    const int areaBottom = rig.window.PreviewAreaWidget()->mapTo(&rig.window, QPoint(0, area.height() - 1)).y();
    QCOMPARE(areaBottom + 2, rig.window.statusBar()->geometry().top());

    // Only the leftmost status field takes up the change in width.
    const int widths[] = {150, 100, 150, 100};
    for (int i = 1; i < kStatusFieldCount; ++i)
        QCOMPARE(rig.window.StatusField(static_cast<StatusBarField>(i))->width(), widths[i - 1]);
    QCOMPARE(rig.window.StatusField(StatusBarField::Message)->width() - field0Before, expected.width() - 640);

    // The spin boxes stay put and nothing is recomputed.
    QCOMPARE(rig.window.PaletteCountSpin()->geometry(), QRect(105, 5, 50, 20));
    QCOMPARE(rig.window.ColorCountSpin()->geometry(), QRect(300, 5, 50, 20));
    QCOMPARE(rig.refreshes.count(), 0);
    QCOMPARE(rig.Preview(), before);
}

void MainWindowTest::aboutLeavesPreview()
{
    Rig rig;
    rig.state.palettes = {Filled(kEntryA), Filled(kEntryB)};
    rig.window.RefreshView();
    rig.refreshes.clear();
    const QImage before = rig.Preview();
    const QStringList status = rig.StatusTexts();
    rig.host.aboutsAllowed = 1;

    rig.window.CommandAction(kCmdAbout)->trigger();

    QCOMPARE(rig.host.asked, QStringList{"about"});
    QCOMPARE(rig.host.lastText, AboutText());
    QVERIFY(rig.host.lastText.startsWith("palfade "));
    QCOMPARE(rig.Preview(), before);
    QCOMPARE(rig.StatusTexts(), status);
    QCOMPARE(rig.refreshes.count(), 0);
}

void MainWindowTest::quitClosesWindow()
{
    Rig rig;
    rig.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rig.window));
    rig.window.CommandAction(kCmdQuit)->trigger();
    QVERIFY(!rig.window.isVisible());
    QVERIFY(rig.state.quitRequested);
    QVERIFY(rig.host.asked.isEmpty());
}

void MainWindowTest::drops_data()
{
    QTest::addColumn<QList<QUrl>>("urls");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("refreshes");
    QTest::newRow("one file") << QList<QUrl>{QUrl::fromLocalFile("/tmp/a.ngpal")} << "" << 1;
    QTest::newRow("two files")
        << QList<QUrl>{QUrl::fromLocalFile("/tmp/a.ngpal"), QUrl::fromLocalFile("/tmp/b.ngpal")} << "" << 1;
    QTest::newRow("text") << QList<QUrl>{} << "$0FFF" << 0;
    QTest::newRow("web address") << QList<QUrl>{QUrl("https://example.org/a.ngpal")} << "" << 0;
}

void MainWindowTest::drops()
{
    QFETCH(QList<QUrl>, urls);
    QFETCH(QString, text);
    QFETCH(int, refreshes);

    Rig rig;
    QMimeData data;
    if (!urls.isEmpty())
        data.setUrls(urls);
    if (!text.isEmpty())
        data.setText(text);
    for (Qt::DropAction action : {Qt::CopyAction, Qt::MoveAction, Qt::LinkAction}) {
        rig.refreshes.clear();
        QDragEnterEvent enter(QPoint(10, 60), action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &enter);
        QCOMPARE(enter.isAccepted(), refreshes > 0);
        QDropEvent drop(QPointF(10, 60), action, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&rig.window, &drop);
        QCOMPARE(static_cast<int>(rig.refreshes.count()), refreshes);
    }
    QVERIFY(rig.host.asked.isEmpty());
}

void MainWindowTest::unknownIdsDoNothing()
{
    Rig rig;
    const QImage before = rig.Preview();
    for (int id : {-1, 0, 1, 31, 32, 34, 1000})
        rig.window.DispatchCommand(id);
    QCOMPARE(rig.refreshes.count(), 0);
    QCOMPARE(rig.Preview(), before);
    QVERIFY(rig.window.CommandAction(31) == nullptr);
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
