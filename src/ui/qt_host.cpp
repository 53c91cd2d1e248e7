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

// Only where Qt itself runs on X11 through xcb.
#if defined(PALFADE_X11_WINDOW_NAME) && defined(QT_FEATURE_xcb) && QT_FEATURE_xcb == 1
#define PALFADE_CLEAR_X11_NAME
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace palfade {
namespace {

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
    dialog.setHistory({});
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

// Qt gives a window with an empty title the application's name, and a
// window manager shows it as the caption. The About box has no caption at
// all, so on X11 its name properties are emptied directly.
void ClearNativeWindowName(QWidget& window)
{
#ifdef PALFADE_CLEAR_X11_NAME
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    auto atom = [connection](const char* name) -> xcb_atom_t {
        const xcb_intern_atom_cookie_t cookie =
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
        const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t netWmName = atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    if (netWmName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netWmName, utf8, 8, 0, nullptr);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
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
    return AskFile(owner_, QFileDialog::AcceptOpen, title, requester);
}

FileChoice QtHost::AskSaveFile(const QString& title, const FileRequester& requester)
{
    return AskFile(owner_, QFileDialog::AcceptSave, title, requester);
}

bool QtHost::AskYesNo(const QString& title, const QString& text)
{
    return QMessageBox::question(owner_, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtHost::ShowMessage(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner_);
    box.exec();
}

std::optional<DisplayRgb> QtHost::ChooseColor(DisplayRgb initial)
{
    const QColor chosen = QColorDialog::getColor(
        QColor(DisplayRed(initial), DisplayGreen(initial), DisplayBlue(initial)), owner_);
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
    palfade::EditPalette(state, which, owner_, {});
}

void QtHost::ShowAbout(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, owner_);
    box.winId(); // the native window, before it is shown
    ClearNativeWindowName(box);
    box.exec();
}

void KeepQtSettingsIn(const QString& folder)
{
    // On Windows the native format is the registry, which a path cannot
    // redirect; there Qt's dialogs keep their own history as usual.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

} // namespace palfade
