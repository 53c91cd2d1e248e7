#include "ui/qt_host.h"

#include "dialogs/palette_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QPointer>

#include <optional>

namespace palfade {
namespace {

QWidget* DialogOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// Qt's own save dialog rewrites the typed name's extension when a filter is
// picked ("fade.bin" becomes "fade.c" under "C-Output (*.c)"). palfade
// appends the chosen filter's extension itself, so the name must stay exactly
// as typed: the text from when the user reached for the filter list is put
// back once the filter is selected.
class TypedNameKeeper : public QObject {
public:
    explicit TypedNameKeeper(QFileDialog& dialog) : QObject(&dialog), dialog_(dialog)
    {
        dialog.installEventFilter(this);
        connect(&dialog, &QFileDialog::filterSelected, this, &TypedNameKeeper::Restore);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The dialog's own widgets exist once it is shown (none for a native dialog).
        if (watched == &dialog_ && event->type() == QEvent::Show && types_ == nullptr)
            Watch();
        if (watched == types_ && nameEdit_ != nullptr &&
            (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::KeyPress ||
             event->type() == QEvent::Wheel))
            typed_ = nameEdit_->text();
        return false;
    }

private:
    void Watch()
    {
        nameEdit_ = dialog_.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        // Held as a plain QObject: it is only compared with the objects whose
        // events arrive, some of them sent while the combo is being destroyed.
        types_ = dialog_.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (types_ != nullptr)
            types_->installEventFilter(this);
    }
    void Restore()
    {
        if (nameEdit_ != nullptr && typed_ && nameEdit_->text() != *typed_)
            nameEdit_->setText(*typed_);
        typed_.reset();
    }

    QFileDialog& dialog_;
    QPointer<QLineEdit> nameEdit_;
    QPointer<QObject> types_;
    std::optional<QString> typed_;
};

FileChoice AskFile(QFileDialog::AcceptMode mode, const QString& title, const FileRequester& requester)
{
    QFileDialog dialog(DialogOwner(), title);
    // Nothing carries over from an earlier requester, not even its folder.
    dialog.setDirectory(QDir::currentPath());
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
    return FileChoice{dialog.selectedFiles().first(),
                      static_cast<int>(std::max<qsizetype>(0, nameFilters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

QStringList FileDialogNameFilters(const FileRequester& requester)
{
    QStringList result;
    for (const FileFormat* format : requester.formats) {
        QStringList patterns;
        for (const char* extension : format->extensions)
            patterns << QStringLiteral("*.") + QLatin1String(extension);
        result << QStringLiteral("%1 (%2)").arg(QLatin1String(format->name), patterns.join(QLatin1Char(' ')));
    }
    return result;
}

FileChoice QtHost::AskOpenFile(const QString& title, const FileRequester& requester)
{
    return AskFile(QFileDialog::AcceptOpen, title, requester);
}

FileChoice QtHost::AskSaveFile(const QString& title, const FileRequester& requester)
{
    return AskFile(QFileDialog::AcceptSave, title, requester);
}

bool QtHost::AskYesNo(const QString& title, const QString& text)
{
    return QMessageBox::question(DialogOwner(), title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtHost::ShowMessage(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, DialogOwner());
    box.exec();
}

std::optional<DisplayRgb> QtHost::ChooseColor(DisplayRgb initial)
{
    const QColor chosen = QColorDialog::getColor(
        QColor(DisplayRed(initial), DisplayGreen(initial), DisplayBlue(initial)), DialogOwner());
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
    palfade::EditPalette(state, which, DialogOwner(), {});
}

void QtHost::ShowAbout(const QString& text)
{
    ShowMessage(QString(), text);
}

void KeepQtSettingsIn(const QString& folder)
{
    // On Windows the native format is the registry, which a path cannot
    // redirect; there Qt's dialogs keep their own history as usual.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

} // namespace palfade
