// The Qt answers to the user's questions: what each dialog shows and what
// comes back from it, accepted and cancelled.

#include "ui/qt_host.h"
#include "ui/window_texts.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeySequence>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QFileInfo>
#include <QTimer>
#include <QToolButton>

#include <functional>

using namespace palfade;

namespace {

// Runs `answer` on the dialog once it is open and modal.
template <typename Dialog> void AnswerNextDialog(std::function<void(Dialog*)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog != nullptr, "no dialog opened");
        answer(dialog);
    });
}

// The widgets of Qt's own file dialog, found by what they are and show rather
// than by their private names.

// The box of name filters: its entries are the dialog's filters, shown
// without their patterns where the dialog hides them.
QComboBox* NameFilterBox(const QFileDialog& dialog)
{
    const QStringList filters = dialog.nameFilters();
    for (auto* box : dialog.findChildren<QComboBox*>()) {
        bool showsFilters = box->count() == filters.size();
        for (int i = 0; showsFilters && i < box->count(); ++i)
            showsFilters = filters[i].startsWith(box->itemText(i));
        if (showsFilters)
            return box;
    }
    return nullptr;
}

// The list of the folder's files (the sidebar is a list of places).
QListView* FileList(const QFileDialog& dialog)
{
    for (auto* list : dialog.findChildren<QListView*>())
        if (qobject_cast<QFileSystemModel*>(list->model()) != nullptr)
            return list;
    return nullptr;
}

// The button that goes back to the folder shown before, on the platform's
// Back key.
QToolButton* BackButton(const QFileDialog& dialog)
{
    const QList<QKeySequence> back = QKeySequence::keyBindings(QKeySequence::Back);
    for (auto* button : dialog.findChildren<QToolButton*>())
        if (back.contains(button->shortcut()))
            return button;
    return nullptr;
}

} // namespace

class QtHostTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogsWriteNoSettingsAtHome();
    void nameFilters_data();
    void nameFilters();
    void saveRequester_data();
    void saveRequester();
    void openRequesterCancelled();
    void allFilesListsNamesWithoutDot();
    void colorChooser_data();
    void colorChooser();
    void yesNo_data();
    void yesNo();
    void aboutBoxHasNoCaption();
    void requesterStartsWithoutHistory();
    void dialogsBelongToTheOwner();

private:
    QTemporaryDir settingsFolder_;
};

void QtHostTest::nameFilters_data()
{
    QTest::addColumn<const FileRequester*>("requester");
    QTest::addColumn<QStringList>("expected");
    // Shown text, then the patterns Qt filters by.
    QTest::newRow("fade table") << &kFadeTableSave
                                << QStringList{"ASM-Inlcude (*.s) (*.s)", "C-Output (*.c) (*.c)",
                                               "Binary (*.bin) (*.bin)"};
    QTest::newRow("all files") << &kTextOpen << QStringList{"All filess (*.*) (*)"};
    QTest::newRow("images") << &kPictureOpen
                            << QStringList{"Supported Images (*.bmp *.jpg *.png *.gif) (*.bmp *.jpg *.png *.gif)"};
    const QString sources = "(*.s *.asm *.inc *.c *.h *.pal *.ngpal *.png *.gif *.bmp)";
    QTest::newRow("import from source")
        << &kPaletteSourceOpen
        << QStringList{"Palette sources " + sources + " " + sources,
                       "Artists' palettes (*.gpl *.pal *.act *.hex) (*.gpl *.pal *.act *.hex)", "All files (*) (*)"};
}

void QtHostTest::nameFilters()
{
    QFETCH(const FileRequester*, requester);
    QFETCH(QStringList, expected);
    QCOMPARE(FileDialogNameFilters(*requester), expected);
}

void QtHostTest::saveRequester_data()
{
    QTest::addColumn<int>("preselected");
    QTest::addColumn<int>("chosen"); // -1: cancel
    QTest::newRow("first filter kept") << 0 << 0;
    QTest::newRow("third preselected, second chosen") << 2 << 1;
    QTest::newRow("cancelled") << 2 << -1;
}

void QtHostTest::saveRequester()
{
    QFETCH(int, preselected);
    QFETCH(int, chosen);

    const FileRequester requester{kSourcePaletteSave.formats, preselected};
    // A name without the filter's extension: the requester must not add one.
    const QString path = QDir(QDir::tempPath()).filePath("palfade-ui-test-no-such-file.txt");
    QString title, preselectedFilter, startName, suffix;
    bool confirmsOverwrite = true;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        preselectedFilter = dialog->selectedNameFilter();
        confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        suffix = dialog->defaultSuffix();
        startName = dialog->selectedFiles().value(0);
        if (chosen < 0) {
            dialog->reject();
            return;
        }
        dialog->selectNameFilter(dialog->nameFilters().value(chosen));
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept"); // a slot, protected in C++
    });

    QtHost host;
    const FileChoice choice = host.AskSaveFile("Please choose file to save..", requester);

    QCOMPARE(title, QString("Please choose file to save.."));
    QVERIFY(FileDialogNameFilters(requester).value(preselected).startsWith(preselectedFilter + " ("));
    QVERIFY(!confirmsOverwrite);
    QCOMPARE(suffix, QString());
    QVERIFY(QFileInfo(startName).isDir() || startName.isEmpty());
    QCOMPARE(choice.path, chosen < 0 ? QString() : path);
    if (chosen >= 0)
        QCOMPARE(choice.filterIndex, chosen);
}

void QtHostTest::openRequesterCancelled()
{
    AnswerNextDialog<QFileDialog>([](QFileDialog* dialog) {
        QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
        dialog->reject();
    });
    QtHost host;
    QCOMPARE(host.AskOpenFile("Please choose file to open..", kTextOpen).path, QString());
}

// "All filess (*.*)" as it reads, but a name without a dot is listed too.
void QtHostTest::allFilesListsNamesWithoutDot()
{
    QTemporaryDir dir;
    for (const char* name : {"noext", "words.txt"}) {
        QFile file(QDir(dir.path()).filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const QString oldCwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QString shownFilter;
    QStringList listed;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
        QComboBox* filters = NameFilterBox(*dialog);
        QListView* list = FileList(*dialog);
        if (filters == nullptr || list == nullptr) {
            dialog->reject();
            QFAIL("no box of name filters or no file list in the dialog");
        }
        shownFilter = filters->currentText();
        auto* model = list->model();
        auto names = [&] {
            QStringList result;
            for (int row = 0; row < model->rowCount(list->rootIndex()); ++row)
                result << model->index(row, 0, list->rootIndex()).data().toString();
            return result;
        };
        QTRY_COMPARE(names().size(), 2);
        listed = names();
        dialog->reject();
    });
    QtHost host;
    host.AskOpenFile("Please choose file to open..", kTextOpen);
    QDir::setCurrent(oldCwd);
    QCOMPARE(shownFilter, QString("All filess (*.*)"));
    listed.sort();
    QCOMPARE(listed, (QStringList{"noext", "words.txt"}));
}

void QtHostTest::colorChooser_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
}

void QtHostTest::colorChooser()
{
    QFETCH(bool, accept);
    QColor start;
    AnswerNextDialog<QColorDialog>([&](QColorDialog* dialog) {
        start = dialog->currentColor();
        dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
        accept ? dialog->accept() : dialog->reject();
    });
    QtHost host;
    const std::optional<DisplayRgb> chosen = host.ChooseColor(MakeDisplayRgb(255, 0, 255));
    QCOMPARE(start, QColor(255, 0, 255));
    QCOMPARE(chosen.has_value(), accept);
    if (accept)
        QCOMPARE(*chosen, MakeDisplayRgb(0x12, 0x34, 0x56));
}

void QtHostTest::yesNo_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void QtHostTest::yesNo()
{
    QFETCH(bool, yes);
    QString title, text;
    AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        QCOMPARE(box->buttons().size(), 2);
        box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    });
    QtHost host;
    QCOMPARE(host.AskYesNo("Confirm Save As", "x already exists. Do you want to replace it?"), yes);
    QCOMPARE(title, QString("Confirm Save As"));
    QCOMPARE(text, QString("x already exists. Do you want to replace it?"));
}

void QtHostTest::aboutBoxHasNoCaption()
{
    // The owner's child widgets stay non-native: a native one draws apart
    // from the window it sits in.
    QWidget owner;
    auto* child = new QWidget(&owner);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));
    QString caption = "unset";
    QString text;
    AnswerNextDialog<QMessageBox>([&](QMessageBox* box) {
        caption = box->windowTitle();
        text = box->text();
        QCOMPARE(box->buttons().size(), 1);
        QVERIFY(box->button(QMessageBox::Ok) != nullptr);
        box->accept();
    });
    QtHost host;
    host.SetOwner(&owner);
    host.ShowAbout(AboutText());
    QVERIFY(!child->testAttribute(Qt::WA_NativeWindow));
    QCOMPARE(caption, QString());
    QCOMPARE(text, AboutText());
    QVERIFY(text.startsWith("palfade "));
}

void QtHostTest::initTestCase()
{
    QVERIFY(settingsFolder_.isValid());
    KeepQtSettingsIn(settingsFolder_.path());
}

void QtHostTest::dialogsWriteNoSettingsAtHome()
{
    // The file and colour dialogs keep their history under this name.
    QSettings qtDialogs(QSettings::UserScope, QStringLiteral("QtProject"));
    QVERIFY2(qtDialogs.fileName().startsWith(settingsFolder_.path()), qPrintable(qtDialogs.fileName()));

    QFileDialog* dialog = new QFileDialog(nullptr, QStringLiteral("t"));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    delete dialog; // a file dialog saves its history when it goes
    QVERIFY(QFileInfo::exists(qtDialogs.fileName()));
}

void QtHostTest::requesterStartsWithoutHistory()
{
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    QtHost host;
    bool couldGoBack = false;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        dialog->setDirectory(elsewhere.path()); // the user wanders off, then cancels
        QToolButton* back = BackButton(*dialog);
        couldGoBack = back != nullptr && back->isEnabled();
        dialog->reject();
    });
    host.AskOpenFile("Please choose file to open..", kTextOpen);
    QVERIFY(couldGoBack); // the button found is the one that goes back

    QStringList history{"unset"};
    QString folder;
    bool canGoBack = true;
    AnswerNextDialog<QFileDialog>([&](QFileDialog* dialog) {
        history = dialog->history();
        folder = dialog->directory().absolutePath();
        QToolButton* back = BackButton(*dialog);
        canGoBack = back == nullptr || back->isEnabled();
        dialog->reject();
    });
    host.AskSaveFile("Please choose file to save..", kFadeTableSave);
    QVERIFY2(!history.contains(elsewhere.path()), qPrintable(history.join(',')));
    QCOMPARE(folder, QDir::currentPath());
    QVERIFY(!canGoBack);
}

void QtHostTest::dialogsBelongToTheOwner()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QtHost host;
    host.SetOwner(&window);
    QList<QWidget*> parents;
    auto record = [&parents](QDialog* dialog) {
        parents << dialog->parentWidget();
        dialog->reject();
    };
    AnswerNextDialog<QMessageBox>(record);
    host.ShowMessage("Error", "x");
    AnswerNextDialog<QMessageBox>(record);
    host.AskYesNo("Confirm Save As", "x");
    AnswerNextDialog<QFileDialog>(record);
    host.AskOpenFile("Please choose file to open..", kTextOpen);
    QCOMPARE(parents, (QList<QWidget*>{&window, &window, &window}));

    // Another window of the program asks: its boxes are its own, centred on
    // it, and the main window has them back afterwards.
    QWidget beside(&window, Qt::Window);
    beside.setGeometry(window.geometry().translated(window.frameGeometry().width() + 50, 0));
    beside.show();
    QVERIFY(QTest::qWaitForWindowExposed(&beside));
    QPoint centre;
    {
        const HostOwner asking(host, &beside);
        AnswerNextDialog<QMessageBox>([&](QDialog* dialog) {
            centre = dialog->frameGeometry().center();
            record(dialog);
        });
        host.ShowMessage("Open art", "x");
    }
    AnswerNextDialog<QMessageBox>(record);
    host.ShowMessage("Error", "x");
    QCOMPARE(parents.mid(3), (QList<QWidget*>{&beside, &window}));
    // Centred to within rounding, away from the main window.
    QVERIFY((centre - beside.frameGeometry().center()).manhattanLength() <= 4);
}

QTEST_MAIN(QtHostTest)
#include "qt_host_test.moc"
