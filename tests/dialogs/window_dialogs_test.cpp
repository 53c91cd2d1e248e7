// The source picker and the fade shape dialog, driven as the user drives them.

#include "dialogs/fade_shape_dialog.h"
#include "dialogs/source_picker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

using namespace palfade;

namespace {

// A preview whose words say what was picked; row 2 holds no palette at size 5.
PickedPalette Preview(const SourcePick& pick)
{
    PickedPalette picked;
    picked.palettes = 3;
    if (pick.row == 2 && pick.paletteSize == 5) {
        picked.note = QStringLiteral("t.s: its count word gives 3 palettes (15 words) but 48 follow");
        return picked;
    }
    PaletteWords words{};
    words.fill(static_cast<HwColor>(pick.row << 12 | pick.index << 8 | pick.paletteSize << 4 | pick.firstEntry));
    words[0] = pick.countWord;
    picked.words = words;
    return picked;
}

} // namespace

class WindowDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void sourcePicker();
    void fadeShape();
};

void WindowDialogsTest::sourcePicker()
{
    SourcePickerModel model{QStringLiteral("t.s"),
                            {{QStringLiteral("bad (line 1): cannot be read"), false, true, false, 0},
                             {QStringLiteral("short (line 2): 4 words"), true, true, false, 4},
                             {QStringLiteral("tiles (line 3): 49 words"), true, true, true, 16},
                             {QStringLiteral("colour table, level tables"), true, false, false, 0}},
                            Preview};
    SourcePickerDialog dialog(model, LinearLevelSet());
    // The row that cannot be read is listed, never chosen; a short table
    // starts as one palette of its words.
    QCOMPARE(dialog.Offers()->item(0)->flags(), Qt::NoItemFlags);
    QCOMPARE(dialog.Pick().row, 1);
    QCOMPARE(dialog.SizeSpin()->value(), 4);
    QVERIFY(!dialog.CountBox()->isEnabled());
    QCOMPARE(dialog.FirstSpin()->maximum(), 12);

    dialog.Offers()->setCurrentRow(2);
    QVERIFY(dialog.CountBox()->isEnabled() && dialog.CountBox()->isChecked());
    QCOMPARE(dialog.IndexSpin()->maximum(), 2);
    dialog.IndexSpin()->setValue(2);
    QCOMPARE(dialog.Swatches()->Shown()->at(5), HwColor{0x2200 | 16 << 4});
    dialog.SizeSpin()->setValue(5);
    QVERIFY(!dialog.Swatches()->Shown() && !dialog.OkButton()->isEnabled());
    QVERIFY(dialog.Note()->text().contains("count word"));
    dialog.SizeSpin()->setValue(8);
    dialog.FirstSpin()->setValue(3);
    QVERIFY(dialog.OkButton()->isEnabled());
    const SourcePick pick = dialog.Pick();
    QCOMPARE(std::tuple(pick.row, pick.index, pick.paletteSize, pick.firstEntry, pick.countWord),
             std::tuple(2, 2, 8, 3, true));

    // A picture's palettes are not words to group.
    dialog.Offers()->setCurrentRow(3);
    QVERIFY(!dialog.SizeSpin()->isEnabled() && !dialog.FirstSpin()->isEnabled() && !dialog.CountBox()->isEnabled());
    QCOMPARE(dialog.IndexSpin()->value(), 0);
}

void WindowDialogsTest::fadeShape()
{
    const ShapeSettings start{FadeCurve::EaseOut, 0x8001, true};
    FadeShapeDialog simple(start, true);
    QVERIFY(!simple.CurveBox()->isEnabled());
    QVERIFY(!simple.CurveNote()->isHidden());
    QCOMPARE(simple.Shape(), start);

    FadeShapeDialog dialog(ShapeSettings{}, false);
    QVERIFY(dialog.CurveBox()->isEnabled() && dialog.CurveNote()->isHidden());
    QCOMPARE(dialog.CurveBox()->count(), 4);
    dialog.CurveBox()->setCurrentIndex(1);
    dialog.KeepBox(0)->click();
    dialog.KeepBox(13)->click();
    QCOMPARE(dialog.Shape(), (ShapeSettings{FadeCurve::EaseIn, 0x2001, false}));
}

QTEST_MAIN(WindowDialogsTest)
#include "window_dialogs_test.moc"
