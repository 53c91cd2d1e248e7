#include "ui/qt_host.h"

#include "dialogs/color_requester.h"
#include "dialogs/fade_shape_dialog.h"
#include "dialogs/modal_owner.h"
#include "dialogs/palette_editor.h"
#include "ui/toolchain_export.h"
#include "ui/x11_window_name.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QWindow>

#include <algorithm>
#include <optional>

namespace palfade {
namespace {

// Room a window manager's title bar takes beside the caption: the window
// icon and up to three buttons, with their spacing.
constexpr int kTitleBarRoom = 120;

// Qt's save dialog rewrites the typed name's extension when a filter is
// picked ("fade.bin" becomes "fade.c" under "C-Output (*.c)"). palfade
// appends the chosen filter's extension itself, so the name must stay exactly
// as typed: the last typed text is put back once the filter is selected.
class TypedNameKeeper : public QObject {
public:
    explicit TypedNameKeeper(QFileDialog& dialog) : QObject(&dialog), dialog_(dialog)
    {
        dialog.installEventFilter(this);
        connect(&dialog, &QFileDialog::filterSelected, this, &TypedNameKeeper::Restore);
        // A file picked in the list replaces what was typed.
        connect(&dialog, &QFileDialog::currentChanged, this, [this] { typed_.reset(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The dialog's own widgets exist once it is shown.
        if (watched == &dialog_ && event->type() == QEvent::Show && nameEdit_ == nullptr)
            Watch();
        return false;
    }

private:
    // The name field is the one line edit that belongs to neither a combo
    // box nor a list; the widget dialog has exactly one.
    void Watch()
    {
        QList<QLineEdit*> edits;
        for (QLineEdit* edit : dialog_.findChildren<QLineEdit*>()) {
            const QWidget* holder = edit->parentWidget();
            while (holder != &dialog_ && holder != nullptr && qobject_cast<const QComboBox*>(holder) == nullptr &&
                   qobject_cast<const QAbstractItemView*>(holder) == nullptr)
                holder = holder->parentWidget();
            if (holder == &dialog_ && edit->isVisible())
                edits << edit;
        }
        if (edits.size() != 1) {
            qWarning("palfade: the file dialog's name field was not found; a filter may change the typed name");
            nameEdit_ = &dialog_; // looked once, not again
            return;
        }
        auto* edit = edits.first();
        nameEdit_ = edit;
        connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) { typed_ = text; });
    }
    void Restore()
    {
        auto* edit = qobject_cast<QLineEdit*>(nameEdit_.data());
        if (edit != nullptr && typed_ && edit->text() != *typed_)
            edit->setText(*typed_);
    }

    QFileDialog& dialog_;
    QPointer<QObject> nameEdit_; // the dialog itself when the field was not found
    std::optional<QString> typed_;
};

// A message box centred by its frame on the main window once its size is
// known. Without a caption (the About box) its name is emptied too: its
// native window exists from the show event on, before it is mapped, while
// asking for it earlier through winId() would turn every widget of the main
// window into a native window as well.
class MessageBox : public QMessageBox {
public:
    MessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons, QWidget* owner)
        : QMessageBox(icon, title, text, buttons, owner)
    {
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QMessageBox::showEvent(event);
        CentreOnOwner(*this, parentWidget());
        QWindow* window = windowHandle();
        if (windowTitle().isEmpty() && window != nullptr)
            ClearX11WindowName(*window);
    }
};

// Qt's file dialog restores its last folder, its "Recent Places" and its
// side bar from the settings an earlier requester saved; a requester here
// starts with no history, so they are forgotten before each one opens.
void ForgetFileDialogHistory()
{
    QSettings settings(QSettings::UserScope, QStringLiteral("QtProject"));
    settings.remove(QStringLiteral("FileDialog"));
    settings.remove(QStringLiteral("Qt/filedialog"));
}

FileChoice AskFile(QWidget* owner, QFileDialog::AcceptMode mode, const QString& title,
                   const FileRequester& requester)
{
    ForgetFileDialogHistory();
    // Nothing carries over from an earlier requester, not even its folder.
    QFileDialog dialog(owner, title, QDir::currentPath());
    // The widget dialog, whatever the desktop: a name kept exactly as typed
    // and no history are its behaviour, not a native dialog's.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setHistory({});
    // Each filter is listed by the text before its last parentheses.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (mode == QFileDialog::AcceptSave)
        new TypedNameKeeper(dialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    const QStringList nameFilters = FileDialogNameFilters(requester);
    dialog.setNameFilters(nameFilters);
    if (requester.preselected >= 0 && requester.preselected < nameFilters.size())
        dialog.selectNameFilter(nameFilters[requester.preselected]);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    // Qt answers with the filter as listed, without its patterns.
    const QString selected = dialog.selectedNameFilter();
    for (int i = 0; i < nameFilters.size(); ++i)
        if (nameFilters[i] == selected || nameFilters[i].startsWith(selected + QStringLiteral(" (")))
            return FileChoice{dialog.selectedFiles().first(), i};
    return FileChoice{dialog.selectedFiles().first(), 0};
}

} // namespace

QStringList FileDialogNameFilters(const FileRequester& requester)
{
    QStringList result;
    for (const FileFormat* format : requester.formats) {
        QStringList shown;
        QStringList patterns;
        for (const char* extension : format->extensions) {
            shown << ExtensionPattern(extension);
            // "*.*" means every file, but on Linux it needs a dot in the name.
            patterns << (qstrcmp(extension, "*") == 0 ? QStringLiteral("*") : shown.last());
        }
        result << QStringLiteral("%1 (%2) (%3)")
                      .arg(QLatin1String(format->name), shown.join(QLatin1Char(' ')), patterns.join(QLatin1Char(' ')));
    }
    return result;
}

FileChoice QtHost::AskOpenFile(const QString& title, const FileRequester& requester)
{
    return AskFile(Owner(), QFileDialog::AcceptOpen, title, requester);
}

FileChoice QtHost::AskSaveFile(const QString& title, const FileRequester& requester)
{
    return AskFile(Owner(), QFileDialog::AcceptSave, title, requester);
}

bool QtHost::AskYesNo(const QString& title, const QString& text)
{
    MessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, Owner());
    return box.exec() == QMessageBox::Yes;
}

void QtHost::ShowMessage(const QString& title, const QString& text)
{
    MessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, Owner());
    // A box as narrow as a short text leaves the window manager no room for
    // the caption ("Error" shown as "..."): a spacer row holds the box at
    // least as wide as the title plus the title bar's icon and buttons.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int width = box.fontMetrics().horizontalAdvance(title) + kTitleBarRoom;
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
}

std::optional<DisplayRgb> QtHost::ChooseColor(DisplayRgb initial)
{
    const QColor chosen = QColorDialog::getColor(
        QColor(DisplayRed(initial), DisplayGreen(initial), DisplayBlue(initial)), Owner());
    if (!chosen.isValid())
        return std::nullopt;
    return MakeDisplayRgb(chosen.red(), chosen.green(), chosen.blue());
}

QString QtHost::ClipboardText()
{
    return QGuiApplication::clipboard()->text();
}

void QtHost::SetClipboardImage(const QImage& image)
{
    QGuiApplication::clipboard()->setImage(image.copy());
}

void QtHost::EditPalette(AppState& state, int which)
{
    // An empty requester makes the editor open the real colour requester,
    // which shows colours through state.levels.
    palfade::EditPalette(state, which, Owner(), {});
}

void QtHost::ShowAbout(const QString& text)
{
    MessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, Owner());
    box.exec();
}

QWidget* QtHost::ExchangeOwner(QWidget* window)
{
    QWidget* previous = questionOwner_;
    questionOwner_ = window;
    return previous;
}

void QtHost::SetClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text);
}

std::optional<HwColor> QtHost::RequestColorWord(HwColor word, const LevelTable& levels)
{
    const int chosen = RequestColor(word, levels, Owner());
    if (chosen < 0)
        return std::nullopt;
    return static_cast<HwColor>(chosen);
}

std::optional<SourcePick> QtHost::PickSourcePalette(const SourcePickerModel& model, const LevelTable& levels)
{
    return palfade::PickSourcePalette(model, levels, Owner());
}

std::optional<ShapeSettings> QtHost::ChooseFadeShape(const ShapeSettings& shape, bool simpleFade)
{
    return palfade::ChooseFadeShape(shape, simpleFade, Owner());
}

std::optional<ToolchainChoice> QtHost::AskToolchainExport(
    const ToolchainChoice& initial, const std::function<ToolchainCommand(const ToolchainChoice&)>& describe)
{
    return RunToolchainExportDialog(initial, describe, *this, Owner());
}

void KeepQtSettingsIn(const QString& folder)
{
    // On Windows the native format is the registry, which a path cannot
    // redirect; there Qt's dialogs keep their own history as usual.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

} // namespace palfade
