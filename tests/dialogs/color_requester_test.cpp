// The colour requester driven with real mouse and key events.

#include "core/level_table.h"
#include "dialogs/color_requester.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>

using namespace palfade;

namespace {

// Surfaces have a 2-pixel border; events take widget coordinates.
QPoint OnSurface(int x, int y) { return QPoint(x + 2, y + 2); }

QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b); }

QRgb SurfacePixel(const DrawSurface* s, int x, int y) { return s->Picture().pixel(x, y) | 0xFF000000u; }



} // namespace

class ColorRequesterTest : public QObject {
    Q_OBJECT

private:
    static void Show(QDialog& d)
    {
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
    }
    static void Key(ColorRequesterDialog& d, Qt::Key key, Qt::KeyboardModifiers mods = {}, int times = 1)
    {
        for (int i = 0; i < times; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &d, key, mods);
    }

private slots:
    void barLevels_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("level");
        QTest::newRow("base 16 step 16") << 16 << 16 << 8;
        QTest::newRow("base 16 step 48") << 16 << 48 << 23;
        QTest::newRow("base 31 step 31") << 31 << 31 << 30;
        QTest::newRow("base 31 step 63") << 31 << 63 << 31;
        QTest::newRow("base 0 step 63") << 0 << 63 << 31;
        QTest::newRow("base 0 step 33") << 0 << 33 << 1;   // 255 * 8 / 255 = 8 -> 1
        QTest::newRow("base 31 step 0") << 31 << 0 << 0;
        QTest::newRow("base 31 step 1") << 31 << 1 << 0;   // 248 * 8 / 255 = 7 -> 0
        QTest::newRow("base 20 step 10") << 20 << 10 << 6; // 160 * 80 / 255 = 50 -> 6
    }
    void barLevels()
    {
        QFETCH(int, base);
        QFETCH(int, step);
        QFETCH(int, level);
        QCOMPARE(BarChannelLevel(base, step), level);
    }

    void barCentreReproducesEveryLevel()
    {
        // Step 32 must give the base back, or "Ok" without a change would
        // not return the input word.
        for (int level = 0; level <= kMaxLevel; ++level)
            QCOMPARE(BarChannelLevel(level, 32), level);
    }

    void okWithoutChangeReturnsInput_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("dark");
        QTest::newRow("black dark") << 0x8000 << "$8000" << true;
        QTest::newRow("black") << 0x0000 << "$0000" << false;
        QTest::newRow("white dark") << 0xFFFF << "$FFFF" << true;
        QTest::newRow("0xDA52") << 0xDA52 << "$DA52" << true;
        QTest::newRow("0x001F") << 0x001F << "$001F" << false;
    }
    void okWithoutChangeReturnsInput()
    {
        QFETCH(int, word);
        QFETCH(QString, text);
        QFETCH(bool, dark);
        ColorRequesterDialog d(static_cast<HwColor>(word), LinearLevelSet());
        Show(d);
        QCOMPARE(d.OldWord()->text(), text);
        QCOMPARE(d.NewWord()->text(), text);
        QCOMPARE(d.DarkBox()->isChecked(), dark);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.Bar())); // redrawn last on opening
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.Result(), word);
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result"); // -2: still open
        QTest::newRow("Return on Ok") << "ok" << int(Qt::Key_Return) << 0x7FFF;
        QTest::newRow("Enter on Ok") << "ok" << int(Qt::Key_Enter) << 0x7FFF;
        QTest::newRow("Return on Cancel") << "cancel" << int(Qt::Key_Return) << -1;
        QTest::newRow("Return in a level field") << "field" << int(Qt::Key_Return) << -2;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, result);
        ColorRequesterDialog d(0x7FFF, LinearLevelSet());
        Show(d);
        QWidget* target = focus == "ok" ? static_cast<QWidget*>(d.OkButton())
                          : focus == "cancel" ? static_cast<QWidget*>(d.CancelButton())
                                              : static_cast<QWidget*>(d.RedField());
        target->setFocus();
        Key(d, static_cast<Qt::Key>(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(d.isVisible(), result == -2);
        if (result != -2)
            QCOMPARE(d.Result(), result);
    }

    void cancelReturnsMinusOne_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::addColumn<bool>("focusField");
        QTest::newRow("Cancel button") << false << false;
        QTest::newRow("Escape on the bar") << true << false;
        QTest::newRow("Escape in a level field") << true << true;
    }
    void cancelReturnsMinusOne()
    {
        QFETCH(bool, escape);
        QFETCH(bool, focusField);
        ColorRequesterDialog d(0x7FFF, LinearLevelSet());
        Show(d);
        QTest::mouseClick(d.Picker(), Qt::LeftButton, {}, OnSurface(100, 40)); // a change first
        QVERIFY(d.Result() != 0x7FFF);
        if (focusField)
            d.RedField()->setFocus();
        if (escape)
            Key(d, Qt::Key_Escape);
        else
            QTest::mouseClick(d.CancelButton(), Qt::LeftButton);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.Result(), -1);
    }

    void arrowsDoNothingBeforeFirstPick_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Up") << int(Qt::Key_Up);
        QTest::newRow("Down") << int(Qt::Key_Down);
        QTest::newRow("Left") << int(Qt::Key_Left);
        QTest::newRow("Right") << int(Qt::Key_Right);
    }
    void arrowsDoNothingBeforeFirstPick()
    {
        QFETCH(int, key);
        ColorRequesterDialog d(0x0842, LinearLevelSet());
        Show(d);
        const QImage before = d.Picker()->Picture();
        Key(d, Qt::Key(key));
        QCOMPARE(d.PickerCell(), QPoint(-1, -1));
        QCOMPARE(d.BaseColor(), (ChannelLevels{16, 8, 4}));
        QCOMPARE(d.Result(), 0x0842);
        QCOMPARE(d.Picker()->Picture(), before);
    }

    void arrowsMoveAndStopAtEdges_data()
    {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<int>("key");
        QTest::addColumn<QPoint>("cell");
        QTest::newRow("Up in row 0") << QPoint(4, 4) << int(Qt::Key_Up) << QPoint(0, 0);
        QTest::newRow("Left in column 0") << QPoint(4, 4) << int(Qt::Key_Left) << QPoint(0, 0);
        QTest::newRow("Right from 0") << QPoint(4, 4) << int(Qt::Key_Right) << QPoint(1, 0);
        QTest::newRow("Down from 0") << QPoint(4, 4) << int(Qt::Key_Down) << QPoint(0, 1);
        QTest::newRow("Down in row 31") << QPoint(255, 255) << int(Qt::Key_Down) << QPoint(31, 31);
        QTest::newRow("Right in column 31") << QPoint(255, 255) << int(Qt::Key_Right) << QPoint(31, 31);
        QTest::newRow("Up from 31") << QPoint(255, 255) << int(Qt::Key_Up) << QPoint(31, 30);
        QTest::newRow("Left from 31") << QPoint(255, 255) << int(Qt::Key_Left) << QPoint(30, 31);
    }
    void arrowsMoveAndStopAtEdges()
    {
        QFETCH(QPoint, click);
        QFETCH(int, key);
        QFETCH(QPoint, cell);
        ColorRequesterDialog d(0, LinearLevelSet());
        Show(d);
        QTest::mouseClick(d.Picker(), Qt::LeftButton, {}, OnSurface(click.x(), click.y()));
        Key(d, Qt::Key(key));
        QCOMPARE(d.PickerCell(), cell);
        QCOMPARE(d.BaseColor(), GradientLevels(cell.x(), cell.y()));
        QCOMPARE(d.CurrentColor(), (PaletteEntry{kMaxLevel - cell.x(), kMaxLevel - cell.y(), cell.x(), 0}));
    }

    void clickPicksCellAndDrawsMark()
    {
        ColorRequesterDialog d(0x8000, LinearLevelSet()); // dark box on
        Show(d);
        QTest::mouseClick(d.Picker(), Qt::LeftButton, {}, OnSurface(100, 40));
        QCOMPARE(d.PickerCell(), QPoint(12, 5));
        QCOMPARE(d.BaseColor(), (ChannelLevels{19, 26, 12}));
        QCOMPARE(d.BarPosition(), 32);
        QCOMPARE(d.CurrentColor(), (PaletteEntry{19, 26, 12, 1}));
        QCOMPARE(d.Result(), int(EncodeHwColor(PaletteEntry{19, 26, 12, 1})));
        QCOMPARE(d.RedField()->value(), 19);
        QCOMPARE(d.GreenField()->value(), 26);
        QCOMPARE(d.BlueField()->value(), 12);
        // Cell (12, 5) shows levels 19, 26, 12 through forward[2L]: 152, 210, 95.
        const DrawSurface* p = d.Picker();
        QCOMPARE(SurfacePixel(p, 97, 41), Rgb(152, 210, 95));
        // Horizontal box of the mark only: inverted.
        QCOMPARE(SurfacePixel(p, 96, 43), Rgb(255 - 152, 255 - 210, 255 - 95));
        // It starts one pixel inside cell (11, 5): 160, 210, 86 inverted.
        QCOMPARE(SurfacePixel(p, 95, 43), Rgb(255 - 160, 255 - 210, 255 - 86));
        QCOMPARE(SurfacePixel(p, 94, 43), Rgb(160, 210, 86));
        // Where both boxes cross the cell shows itself.
        QCOMPARE(SurfacePixel(p, 99, 43), Rgb(152, 210, 95));
        QCOMPARE(SurfacePixel(p, 100, 44), Rgb(152, 210, 95));
        // The horizontal box reaches one pixel into cell (13, 5): 144, 210, 103 inverted.
        QCOMPARE(SurfacePixel(p, 104, 44), Rgb(255 - 144, 255 - 210, 255 - 103));
        QCOMPARE(SurfacePixel(p, 105, 44), Rgb(144, 210, 103));
        // Vertical box reaches one pixel into the cell above, (12, 4): green 27 -> 218.
        QCOMPARE(SurfacePixel(p, 99, 39), Rgb(255 - 152, 255 - 218, 255 - 95));
        QCOMPARE(SurfacePixel(p, 98, 39), Rgb(152, 218, 95));
    }

    void hardwareColoursChangeTheLookNotThePick()
    {
        ColorRequesterDialog lin(0, LinearLevelSet());
        ColorRequesterDialog hw(0, HardwareLevelSet());
        Show(lin);
        QTest::mouseClick(lin.Picker(), Qt::LeftButton, {}, OnSurface(100, 40));
        Show(hw);
        QTest::mouseClick(hw.Picker(), Qt::LeftButton, {}, OnSurface(100, 40));
        QCOMPARE(hw.Result(), lin.Result());
        // Hardware dark levels 19, 26, 12: 158, 214, 94.
        QCOMPARE(SurfacePixel(hw.Picker(), 97, 41), Rgb(158, 214, 94));
        QVERIFY(SurfacePixel(hw.Bar(), 0, 0) == SurfacePixel(lin.Bar(), 0, 0)); // black either way
        QVERIFY(SurfacePixel(hw.Bar(), 200, 10) != SurfacePixel(lin.Bar(), 200, 10));
    }

    void barToBlackAndWhite()
    {
        ColorRequesterDialog d(0, LinearLevelSet());
        Show(d);
        QTest::mouseClick(d.Picker(), Qt::LeftButton, {}, OnSurface(3, 3)); // cell (0, 0)
        QCOMPARE(d.CurrentColor(), (PaletteEntry{31, 31, 0, 0}));
        Key(d, Qt::Key_Left, Qt::ShiftModifier, 31);
        QCOMPARE(d.BarPosition(), 1);
        QCOMPARE(d.CurrentColor(), (PaletteEntry{0, 0, 0, 0})); // 248 * 8 / 255 = 7 -> level 0
        Key(d, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(d.CurrentColor(), (PaletteEntry{1, 1, 0, 0})); // 248 * 16 / 255 = 15 -> 1
        Key(d, Qt::Key_Left, Qt::ShiftModifier);
        Key(d, Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(d.BarPosition(), 0);
        QCOMPARE(d.CurrentColor(), (PaletteEntry{0, 0, 0, 0}));
        QCOMPARE(d.Result(), 0);
        QCOMPARE(d.NewWord()->text(), QString("$0000"));
        Key(d, Qt::Key_Left, Qt::ShiftModifier); // stops at step 0
        QCOMPARE(d.BarPosition(), 0);

        Key(d, Qt::Key_Right, Qt::ShiftModifier, 62);
        QCOMPARE(d.BarPosition(), 62);
        Key(d, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(d.BarPosition(), 63);
        QCOMPARE(d.CurrentColor(), (PaletteEntry{31, 31, 31, 0}));
        QCOMPARE(d.Result(), 0x7FFF);
        QCOMPARE(d.RedField()->value(), 31);
        QCOMPARE(d.BlueField()->value(), 31);
        Key(d, Qt::Key_Right, Qt::ShiftModifier); // stops at step 63
        QCOMPARE(d.BarPosition(), 63);
        // A bar step marks with (248, 248, 248): white (251 each) becomes 3.
        QCOMPARE(SurfacePixel(d.Bar(), 4 * 63 + 1, 0), Rgb(3, 3, 3));
        QCOMPARE(SurfacePixel(d.Bar(), 4 * 63 + 2, 23), Rgb(3, 3, 3));
        QCOMPARE(SurfacePixel(d.Bar(), 4 * 63, 0), Rgb(251, 251, 251));
        // The old mark at step 32 is gone: base (31, 31, 0) shows 251, 251, 0.
        QCOMPARE(SurfacePixel(d.Bar(), 4 * 32 + 1, 5), Rgb(251, 251, 0));
    }

    void barClickAndDragIsClampedToTheBar()
    {
        ColorRequesterDialog d(0x7FFF, LinearLevelSet());
        Show(d);
        QTest::mousePress(d.Bar(), Qt::LeftButton, {}, OnSurface(130, 10));
        QCOMPARE(d.BarPosition(), 32);
        QTest::mouseMove(d.Bar(), OnSurface(-40, 50));
        QCOMPARE(d.BarPosition(), 0);
        QCOMPARE(d.CurrentColor(), (PaletteEntry{0, 0, 0, 0}));
        QTest::mouseMove(d.Bar(), OnSurface(400, 10));
        QCOMPARE(d.BarPosition(), 63);
        // The pointer itself is held on the bar's last column.
        QCOMPARE(QCursor::pos(), d.Bar()->mapToGlobal(OnSurface(255, 10)));
        QTest::mouseRelease(d.Bar(), Qt::LeftButton, {}, OnSurface(400, 10));
        QCOMPARE(d.Result(), 0x7FFF);
    }

    void pickerDragIsClampedToThePicker()
    {
        ColorRequesterDialog d(0, LinearLevelSet());
        Show(d);
        QTest::mousePress(d.Picker(), Qt::LeftButton, {}, OnSurface(10, 10));
        QCOMPARE(d.PickerCell(), QPoint(1, 1));
        QTest::mouseMove(d.Picker(), OnSurface(-50, 300));
        QCOMPARE(d.PickerCell(), QPoint(0, 31));
        QCOMPARE(QCursor::pos(), d.Picker()->mapToGlobal(OnSurface(0, 255)));
        QCOMPARE(d.BaseColor(), (ChannelLevels{31, 0, 0}));
        QTest::mouseRelease(d.Picker(), Qt::LeftButton, {}, OnSurface(-50, 300));
    }

    void arrowsActWhileALevelFieldHasFocus()
    {
        ColorRequesterDialog d(0, LinearLevelSet());
        Show(d);
        QTest::mouseClick(d.Picker(), Qt::LeftButton, {}, OnSurface(20, 20)); // cell (2, 2)
        d.GreenField()->setFocus();
        QTest::keyClick(d.GreenField(), Qt::Key_Up);
        QCOMPARE(d.PickerCell(), QPoint(2, 1));
        QCOMPARE(d.GreenField()->value(), 30); // from the pick, not one step of the spin field
    }

    void fieldEditRecentresBar()
    {
        ColorRequesterDialog d(0, LinearLevelSet());
        Show(d);
        QTest::mouseClick(d.Picker(), Qt::LeftButton, {}, OnSurface(3, 3)); // base 31, 31, 0
        Key(d, Qt::Key_Left, Qt::ShiftModifier, 5);
        QCOMPARE(d.BarPosition(), 27);
        // Step 27 of level 31: 248 * 216 / 255 = 210 -> level 26.
        QCOMPARE(d.CurrentColor(), (PaletteEntry{26, 26, 0, 0}));
        d.RedField()->setFocus();
        QTest::keyClick(d.RedField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(d.RedField(), Qt::Key_9);
        QCOMPARE(d.BarPosition(), 32);
        QCOMPARE(d.BaseColor(), (ChannelLevels{9, 26, 0}));
        QCOMPARE(d.CurrentColor(), (PaletteEntry{9, 26, 0, 0}));
        QCOMPARE(d.Result(), int(EncodeHwColor(PaletteEntry{9, 26, 0, 0})));
        // The rebuilt bar took the focus: a second digit no longer reaches the field.
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.Bar()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_6);
        QCOMPARE(d.RedField()->value(), 9);
    }

    void typedLevelStaysInRange()
    {
        ColorRequesterDialog d(0, LinearLevelSet());
        Show(d);
        d.BlueField()->setFocus();
        QTest::keyClick(d.BlueField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(d.BlueField(), QStringLiteral("-"));
        QTest::keyClicks(d.BlueField(), QStringLiteral("99"));
        QVERIFY(d.CurrentColor().blue >= 0 && d.CurrentColor().blue <= kMaxLevel);
        QVERIFY(d.Result() >= 0 && d.Result() <= 0xFFFF);
    }

    void darkBoxChangesOnlyLowerHalfAndBit15()
    {
        ColorRequesterDialog d(0x0842, LinearLevelSet()); // 16, 8, 4, not dark
        Show(d);
        const QImage barBefore = d.Bar()->Picture();
        const DrawSurface* pv = d.Preview();
        QCOMPARE(SurfacePixel(pv, 0, 31), Rgb(132, 66, 33));
        QCOMPARE(SurfacePixel(pv, 59, 32), Rgb(132, 66, 33));
        QTest::mouseClick(d.DarkBox(), Qt::LeftButton);
        QCOMPARE(d.Result(), 0x8842);
        QCOMPARE(d.NewWord()->text(), QString("$8842"));
        QCOMPARE(d.OldWord()->text(), QString("$0842"));
        QCOMPARE(d.CurrentColor(), (PaletteEntry{16, 8, 4, 1}));
        QCOMPARE(SurfacePixel(pv, 0, 0), Rgb(132, 66, 33));
        QCOMPARE(SurfacePixel(pv, 59, 31), Rgb(132, 66, 33));
        QCOMPARE(SurfacePixel(pv, 0, 32), Rgb(128, 62, 29));
        QCOMPARE(SurfacePixel(pv, 59, 59), Rgb(128, 62, 29));
        QCOMPARE(d.Bar()->Picture(), barBefore); // the bar ignores the dark bit
    }

    void modalRunDisablesAndRestoresOpener()
    {
        QWidget opener;
        opener.resize(640, 480);
        opener.show();
        QVERIFY(QTest::qWaitForWindowExposed(&opener));
        bool openerEnabled = true;
        bool dialogEnabled = false;
        QPoint dialogCentre;
        QTimer::singleShot(0, this, [&] {
            auto* d = dynamic_cast<ColorRequesterDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            openerEnabled = opener.isEnabled();
            dialogEnabled = d->isEnabled() && d->OkButton()->isEnabled();
            dialogCentre = d->geometry().center();
            QTest::mouseClick(d->Picker(), Qt::LeftButton, {}, OnSurface(100, 40));
            QTest::mouseClick(d->OkButton(), Qt::LeftButton);
        });
        const int word = RequestColor(0x8000, LinearLevelSet(), &opener);
        QCOMPARE(word, int(EncodeHwColor(PaletteEntry{19, 26, 12, 1})));
        QVERIFY(!openerEnabled);
        QVERIFY(dialogEnabled);
        QVERIFY(opener.isEnabled());
        QVERIFY((dialogCentre - opener.frameGeometry().center()).manhattanLength() <= 2);
    }
};

QTEST_MAIN(ColorRequesterTest)
#include "color_requester_test.moc"
