#include <QtTest>
class PaletteEditorTest : public QObject { Q_OBJECT private slots: void none() {} };
QTEST_MAIN(PaletteEditorTest)
#include "palette_editor_test.moc"
