// The palette editor driven with real mouse and key events, and its text forms.

#include "core/app_state.h"
#include "dialogs/color_requester.h"
#include "dialogs/dialog_text.h"
#include "dialogs/palette_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTextBlock>
#include <QTimer>
#include <QtTest>

#include <vector>

using namespace palfade;

namespace {

QPoint OnSurface(int x, int y) { return QPoint(x + 2, y + 2); }
QPoint OnSwatch(int index) { return OnSurface(32 * index + 28, 28); } // clear of the label

QRgb SurfacePixel(const DrawSurface* s, int x, int y) { return s->Picture().pixel(x, y) | 0xFF000000u; }


// Entry 3 is 0xDA52 (21, 10, 5, dark), entry 7 is 0x0842 (16, 8, 4); the
// others are distinct and not dark.
SourcePalette Sample()
{
    SourcePalette p{};
    for (int i = 0; i < kPaletteSize; ++i)
        p[static_cast<std::size_t>(i)] = PaletteEntry{i, (2 * i) % 32, 31 - i, 0};
    p[3] = PaletteEntry{21, 10, 5, 1};
    p[7] = PaletteEntry{16, 8, 4, 0};
    return p;
}

QStringList AssemblerLines(const PaletteEditorDialog& d)
{
    QStringList lines;
    for (QTextBlock b = d.AssemblerField()->document()->begin(); b.isValid(); b = b.next())
        lines << b.text();
    return lines;
}

ColorRequester NoRequester()
{
    return [](HwColor, QWidget*) {
        QTest::qFail("requester not expected", __FILE__, __LINE__);
        return -1;
    };
}

} // namespace

class PaletteEditorTest : public QObject {
    Q_OBJECT

private:
    static void Show(QDialog& d)
    {
        d.show();
        d.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&d));
    }

private slots:
    void textForms_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("wordText");
        QTest::addColumn<QString>("binary");
        QTest::newRow("0xDA52") << 0xDA52 << "$DA52" << "1101 1010 0101 0010";
        QTest::newRow("black") << 0x0000 << "$0000" << "0000 0000 0000 0000";
        QTest::newRow("dark black") << 0x8000 << "$8000" << "1000 0000 0000 0000";
        QTest::newRow("0x001F") << 0x001F << "$001F" << "0000 0000 0001 1111";
    }
    void textForms()
    {
        QFETCH(int, word);
        QFETCH(QString, wordText);
        QFETCH(QString, binary);
        QCOMPARE(WordText(static_cast<HwColor>(word)), wordText);
        QCOMPARE(BinaryText(static_cast<HwColor>(word)), binary);
    }

    void levelAndLabelForms()
    {
        QCOMPARE(LevelText(0), QString("$00"));
        QCOMPARE(LevelText(10), QString("$0A"));
        QCOMPARE(LevelText(31), QString("$1F"));
        QCOMPARE(SwatchLabel(0), QString("$0"));
        QCOMPARE(SwatchLabel(15), QString("$F"));
    }

    void parseHexField_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("word");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("dollar only") << "$" << 0;
        QTest::newRow("no dollar") << "7FFF" << 0x7FFF;
        QTest::newRow("with dollar") << "$8000" << 0x8000;
        QTest::newRow("lower case") << "$da52" << 0xDA52;
        QTest::newRow("five digits keep the last four") << "$12345" << 0x2345;
        QTest::newRow("stops at first non-hex") << "$12G4" << 0x12;
        QTest::newRow("not a number") << "hello" << 0;
        QTest::newRow("second dollar") << "$$12" << 0;
        QTest::newRow("many digits") << "FFFFFFFFFFFFFFFFFFFF1" << 0xFFF1;
    }
    void parseHexField()
    {
        QFETCH(QString, text);
        QFETCH(int, word);
        QCOMPARE(int(ParseHexField(text)), word);
    }

    void assemblerTextOfBlackPalette()
    {
        const QString line = QStringLiteral("dc.w\t$0000,$0000,$0000,$0000,$0000,$0000,$0000,$0000");
        std::array<HwColor, kPaletteSize> words{};
        QCOMPARE(AssemblerText(words), line + QStringLiteral("\r\n") + line);

        PaletteEditorDialog d(SourcePalette{}, LinearLevelSet(), NoRequester());
        Show(d);
        QCOMPARE(AssemblerLines(d), (QStringList{line, line}));
        QCOMPARE(d.BinaryField()->text(), QString("0000 0000 0000 0000"));
        QCOMPARE(d.HexField()->text(), QString("$0000"));
        QCOMPARE(d.AssemblerField()->font().family(), QString("Courier"));
        QCOMPARE(d.AssemblerField()->font().pointSize(), 10);
        QVERIFY(d.AssemblerField()->font().bold());
        QVERIFY(d.AssemblerField()->isReadOnly());
        QCOMPARE(d.AssemblerField()->palette().color(QPalette::Base), QColor(Qt::white));
        // Copied as shown: CR LF between the lines.
        d.AssemblerField()->selectAll();
        d.AssemblerField()->copy();
        QCOMPARE(QApplication::clipboard()->text(), line + QStringLiteral("\r\n") + line);
    }

    // The window manager draws the title and no buttons: neither dialog has
    // a close, minimise or maximise box that would do anything.
    void titleOnlyWindowFlags()
    {
        PaletteEditorDialog editor(SourcePalette{}, LinearLevelSet(), NoRequester());
        ColorRequesterDialog requester(0, LinearLevelSet());
        const Qt::WindowFlags buttons = Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                                        Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint;
        for (const QDialog* d : {static_cast<QDialog*>(&editor), static_cast<QDialog*>(&requester)}) {
            QVERIFY(d->windowFlags().testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint));
            QCOMPARE(d->windowFlags() & buttons, Qt::WindowFlags());
        }
    }

    void assemblerTextOrder()
    {
        std::array<HwColor, kPaletteSize> words{};
        for (int i = 0; i < kPaletteSize; ++i)
            words[static_cast<std::size_t>(i)] = static_cast<HwColor>(0x1111 * (i % 16));
        QCOMPARE(AssemblerText(words),
                 QString("dc.w\t$0000,$1111,$2222,$3333,$4444,$5555,$6666,$7777\r\n"
                         "dc.w\t$8888,$9999,$AAAA,$BBBB,$CCCC,$DDDD,$EEEE,$FFFF"));
    }

    void firstRefreshShowsEntryZero()
    {
        SourcePalette p = Sample();
        p[0] = PaletteEntry{21, 10, 5, 1};
        PaletteEditorDialog d(p, LinearLevelSet(), NoRequester());
        Show(d);
        QCOMPARE(d.Selected(), 0);
        QCOMPARE(d.RedSlider()->value(), 21);
        QCOMPARE(d.RedValue()->text(), QString("$15"));
        QCOMPARE(d.HexField()->text(), QString("$DA52"));
        QCOMPARE(d.BinaryField()->text(), QString("1101 1010 0101 0010"));
        QVERIFY(d.DarkBox()->isChecked());
    }

    void dragSwapsAndSelectsTarget()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        QTest::mousePress(d.Strip(), Qt::LeftButton, {}, OnSwatch(3));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.BinaryField()));
        QTest::mouseRelease(d.Strip(), Qt::LeftButton, {}, OnSwatch(7));

        const SourcePalette after = d.WorkingColors();
        QCOMPARE(after[3], (PaletteEntry{16, 8, 4, 0}));
        QCOMPARE(after[7], (PaletteEntry{21, 10, 5, 1}));
        for (int i : {0, 1, 2, 4, 5, 6, 8, 15})
            QCOMPARE(after[static_cast<std::size_t>(i)], Sample()[static_cast<std::size_t>(i)]);
        QCOMPARE(d.Selected(), 7);
        QCOMPARE(d.RedSlider()->value(), 21);
        QCOMPARE(d.GreenSlider()->value(), 10);
        QCOMPARE(d.BlueSlider()->value(), 5);
        QVERIFY(d.DarkBox()->isChecked());
        QCOMPARE(d.RedValue()->text(), QString("$15"));
        QCOMPARE(d.GreenValue()->text(), QString("$0A"));
        QCOMPARE(d.BlueValue()->text(), QString("$05"));
        QCOMPARE(d.HexField()->text(), QString("$DA52"));
        QCOMPARE(d.BinaryField()->text(), QString("1101 1010 0101 0010"));
        const QStringList lines = AssemblerLines(d);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0].section(',', 3, 3), QString("$0842"));
        QCOMPARE(lines[0].section(',', 7, 7), QString("$DA52"));

        // Linear display: (21, 10, 5) dark shows 169, 78, 37; (16, 8, 4) shows 132, 66, 33.
        QCOMPARE(SurfacePixel(d.Strip(), 32 * 7 + 28, 28), qRgb(169, 78, 37));
        QCOMPARE(SurfacePixel(d.Strip(), 32 * 7, 0), qRgb(169, 78, 37));
        QCOMPARE(SurfacePixel(d.Strip(), 32 * 3 + 31, 31), qRgb(132, 66, 33));
        QCOMPARE(SurfacePixel(d.SelectedSwatch(), 40, 95), qRgb(169, 78, 37));
        QCOMPARE(SurfacePixel(d.SelectedSwatch(), 0, 0), qRgb(169, 78, 37));
    }

    void swatchLabelsHaveBlackOutline()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        // Every swatch carries a white label outlined in black near (6, 8).
        for (int j = 0; j < kPaletteSize; ++j) {
            bool white = false;
            bool black = false;
            for (int y = 6; y < 28; ++y)
                for (int x = 32 * j + 4; x < 32 * j + 31; ++x) {
                    const QRgb px = SurfacePixel(d.Strip(), x, y);
                    white = white || px == qRgb(255, 255, 255);
                    black = black || px == qRgb(0, 0, 0);
                }
            QVERIFY2(white && black, qPrintable(QString("swatch %1").arg(j)));
        }
    }

    void pressAndReleaseOnOneSwatchSelectsIt()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        QTest::mouseClick(d.Strip(), Qt::LeftButton, {}, OnSwatch(5));
        QCOMPARE(d.WorkingColors(), Sample());
        QCOMPARE(d.Selected(), 5);
        QCOMPARE(d.RedSlider()->value(), 5);
        QCOMPARE(d.HexField()->text(), WordText(EncodeHwColor(Sample()[5])));
    }

    void releaseOutsideTheStrip_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("swappedWith"); // -1: nothing swapped
        QTest::newRow("x -1 is swatch 0") << -1 << 0;
        QTest::newRow("x -31 is swatch 0") << -31 << 0;
        QTest::newRow("x -32 names none") << -32 << -1;
        QTest::newRow("x -500 names none") << -500 << -1;
        QTest::newRow("x 511 is swatch 15") << 511 << 15;
        QTest::newRow("x 512 names none") << 512 << -1;
        QTest::newRow("x 900 names none") << 900 << -1;
        QTest::newRow("below, same column") << 4 * 32 + 10 << -1;
    }
    void releaseOutsideTheStrip()
    {
        QFETCH(int, x);
        QFETCH(int, swappedWith);
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        QTest::mousePress(d.Strip(), Qt::LeftButton, {}, OnSwatch(4));
        QTest::mouseRelease(d.Strip(), Qt::LeftButton, {}, OnSurface(x, 50));
        SourcePalette expected = Sample();
        if (swappedWith >= 0)
            std::swap(expected[4], expected[static_cast<std::size_t>(swappedWith)]);
        QCOMPARE(d.WorkingColors(), expected);
        QCOMPARE(d.Selected(), swappedWith >= 0 ? swappedWith : 4);
        // Whatever the release did, the editor shows the entry it now edits.
        const PaletteEntry shown = expected[static_cast<std::size_t>(d.Selected())];
        QCOMPARE(d.HexField()->text(), WordText(EncodeHwColor(shown)));
        QCOMPARE(d.RedSlider()->value(), shown.red);
        QCOMPARE(d.BlueSlider()->value(), shown.blue);
        QCOMPARE(SurfacePixel(d.SelectedSwatch(), 40, 100), SurfacePixel(d.Strip(), 32 * d.Selected() + 28, 28));
    }

    void releaseWithoutPressUsesSwatchZero()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        QTest::mouseRelease(d.Strip(), Qt::LeftButton, {}, OnSwatch(6));
        SourcePalette expected = Sample();
        std::swap(expected[0], expected[6]);
        QCOMPARE(d.WorkingColors(), expected);
        QCOMPARE(d.Selected(), 6);
    }

    void typingIntoHexFieldKeystrokeByKeystroke()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        QLineEdit* hex = d.HexField();
        hex->setFocus();
        QTest::keyClick(hex, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(hex, Qt::Key_Backspace);
        QCOMPARE(hex->text(), QString());
        QCOMPARE(d.WorkingColors()[0], (PaletteEntry{0, 0, 0, 0}));

        struct Step {
            char key;
            const char* text;
            PaletteEntry entry;
        };
        const std::vector<Step> steps{
            {'7', "7", {0, 0, 14, 0}},       // 0x0007
            {'f', "7F", {0, 14, 30, 0}},     // 0x007F
            {'f', "7FF", {14, 30, 30, 0}},   // 0x07FF
            {'f', "7FFF", {31, 31, 31, 0}},  // 0x7FFF
        };
        for (const Step& s : steps) {
            QTest::keyClick(hex, s.key);
            QCOMPARE(hex->text(), QString::fromLatin1(s.text));
            QCOMPARE(d.WorkingColors()[0], s.entry);
            QCOMPARE(d.RedSlider()->value(), s.entry.red);
            QCOMPARE(d.BlueSlider()->value(), s.entry.blue);
        }
        QCOMPARE(d.BinaryField()->text(), QString("0111 1111 1111 1111"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(hex));

        QTest::mouseClick(d.Strip(), Qt::LeftButton, {}, OnSwatch(0));
        QCOMPARE(hex->text(), QString("$7FFF"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.BinaryField()));
    }

    void movingOverStripTakesFocusFromHexField()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        d.HexField()->setFocus();
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.HexField()));
        QTest::mouseMove(d.Strip(), OnSwatch(2));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.BinaryField()));
        QCOMPARE(d.WorkingColors(), Sample());
    }

    void slidersAndDarkBoxEditSelection()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        QTest::mouseClick(d.Strip(), Qt::LeftButton, {}, OnSwatch(7)); // 16, 8, 4
        d.GreenSlider()->setFocus();
        QTest::keyClick(d.GreenSlider(), Qt::Key_Right);
        QCOMPARE(d.WorkingColors()[7], (PaletteEntry{16, 9, 4, 0}));
        QCOMPARE(d.GreenValue()->text(), QString("$09"));
        QCOMPARE(d.HexField()->text(), QString("$2842"));
        QTest::mouseClick(d.DarkBox(), Qt::LeftButton);
        QCOMPARE(d.WorkingColors()[7], (PaletteEntry{16, 9, 4, 1}));
        QCOMPARE(d.HexField()->text(), QString("$A842"));
        QCOMPARE(d.BinaryField()->text(), QString("1010 1000 0100 0010"));
    }

    void doubleClickAsksRequester_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("requester Ok") << 0x7FFF << true;
        QTest::newRow("requester Cancel") << -1 << false;
    }
    void doubleClickAsksRequester()
    {
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        std::vector<int> asked;
        QWidget* opener = nullptr;
        PaletteEditorDialog d(Sample(), LinearLevelSet(), [&](HwColor word, QWidget* o) {
            asked.push_back(word);
            opener = o;
            return answer;
        });
        Show(d);
        QTest::mouseDClick(d.Strip(), Qt::LeftButton, {}, OnSwatch(5));
        QCOMPARE(asked, std::vector<int>{EncodeHwColor(Sample()[5])});
        QCOMPARE(opener, static_cast<QWidget*>(&d));
        QCOMPARE(d.Selected(), 5);
        SourcePalette expected = Sample();
        if (replaced)
            expected[5] = PaletteEntry{31, 31, 31, 0};
        QCOMPARE(d.WorkingColors(), expected);
        if (replaced) {
            QCOMPARE(d.HexField()->text(), QString("$7FFF"));
            QCOMPARE(SurfacePixel(d.Strip(), 32 * 5 + 28, 28), qRgb(255, 255, 255));
        }
    }

    void escapeCancelsFromAnyControl()
    {
        PaletteEditorDialog d(Sample(), LinearLevelSet(), NoRequester());
        Show(d);
        d.HexField()->setFocus();
        QTest::keyClick(d.HexField(), Qt::Key_Escape);
        QVERIFY(!d.isVisible());
        QCOMPARE(d.result(), int(QDialog::Rejected));
    }

    void editPaletteWritesBackOnlyOnOk_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("ok");
        QTest::newRow("palette 1, Ok") << 1 << true;
        QTest::newRow("palette 2, Ok") << 2 << true;
        QTest::newRow("palette 1, Cancel") << 1 << false;
        QTest::newRow("palette 2, Escape") << 2 << false;
        QTest::newRow("palette 3, Ok") << 3 << true;
    }
    void editPaletteWritesBackOnlyOnOk()
    {
        QFETCH(int, which);
        QFETCH(bool, ok);
        AppState state;
        state.palettes[0] = Sample();
        state.palettes[1] = Sample();
        std::swap(state.palettes[1][0], state.palettes[1][1]);
        const auto before = state.palettes;

        QWidget owner;
        owner.resize(640, 480);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        bool ownerEnabled = true;
        SourcePalette shownAtStart{};
        QTimer::singleShot(0, this, [&] {
            auto* d = dynamic_cast<PaletteEditorDialog*>(QApplication::activeModalWidget());
            QVERIFY(d);
            ownerEnabled = owner.isEnabled();
            shownAtStart = d->WorkingColors();
            QTest::mouseClick(d->Strip(), Qt::LeftButton, {}, OnSwatch(2));
            d->RedSlider()->setFocus();
            QTest::keyClick(d->RedSlider(), Qt::Key_End); // red 31
            if (ok)
                QTest::mouseClick(d->OkButton(), Qt::LeftButton);
            else if (which == 2)
                QTest::keyClick(d->RedSlider(), Qt::Key_Escape);
            else
                QTest::mouseClick(d->CancelButton(), Qt::LeftButton);
        });
        const bool result = EditPalette(state, which, &owner, NoRequester());
        QCOMPARE(result, ok);
        QVERIFY(!ownerEnabled);
        QVERIFY(owner.isEnabled());
        auto expected = before;
        if (which == 1 || which == 2) {
            QCOMPARE(shownAtStart, before[static_cast<std::size_t>(which - 1)]);
            if (ok)
                expected[static_cast<std::size_t>(which - 1)][2].red = 31;
        } else {
            QCOMPARE(shownAtStart, SourcePalette{});
        }
        QCOMPARE(state.palettes, expected);
    }

    void nestedModalityWithRealRequester()
    {
        AppState state;
        state.palettes[0] = Sample();
        QWidget owner;
        owner.resize(640, 480);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        bool ownerEnabledInRequester = true;
        bool editorEnabledInRequester = true;
        bool requesterEnabled = false;
        bool editorEnabledAfter = false;
        QTimer::singleShot(0, this, [&] {
            auto* editor = dynamic_cast<PaletteEditorDialog*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            QTimer::singleShot(0, this, [&] {
                auto* req = dynamic_cast<ColorRequesterDialog*>(QApplication::activeModalWidget());
                QVERIFY(req);
                ownerEnabledInRequester = owner.isEnabled();
                editorEnabledInRequester = editor->isEnabled();
                requesterEnabled = req->isEnabled();
                QTest::mouseClick(req->Picker(), Qt::LeftButton, {}, QPoint(102, 42)); // cell (12, 5)
                QTest::mouseClick(req->OkButton(), Qt::LeftButton);
            });
            QTest::mouseDClick(editor->Strip(), Qt::LeftButton, {}, OnSwatch(3));
            editorEnabledAfter = editor->isEnabled();
            QTest::mouseClick(editor->OkButton(), Qt::LeftButton);
        });
        QVERIFY(EditPalette(state, 1, &owner, {}));
        QVERIFY(!ownerEnabledInRequester);
        QVERIFY(!editorEnabledInRequester);
        QVERIFY(requesterEnabled);
        QVERIFY(editorEnabledAfter);
        QVERIFY(owner.isEnabled());
        SourcePalette expected = Sample();
        expected[3] = PaletteEntry{19, 26, 12, 1}; // the picked cell keeps entry 3's dark bit
        QCOMPARE(state.palettes[0], expected);
    }
};

QTEST_MAIN(PaletteEditorTest)
#include "palette_editor_test.moc"
