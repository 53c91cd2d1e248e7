#include "ui/qt_host.h"

#include "dialogs/palette_editor.h"

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace palfade {
namespace {

QWidget* DialogOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

FileChoice AskFile(QFileDialog::AcceptMode mode, const QString& title, const QString& filters, int filterIndex)
{
    QFileDialog dialog(DialogOwner(), title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setDefaultSuffix(QString());
    const QStringList nameFilters = FileDialogNameFilters(filters);
    dialog.setNameFilters(nameFilters);
    if (filterIndex >= 0 && filterIndex < nameFilters.size())
        dialog.selectNameFilter(nameFilters[filterIndex]);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return FileChoice{dialog.selectedFiles().first(),
                      static_cast<int>(std::max<qsizetype>(0, nameFilters.indexOf(dialog.selectedNameFilter())))};
}

} // namespace

QStringList FileDialogNameFilters(const QString& filters)
{
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filters.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(trailingPatterns);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        result << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return result;
}

FileChoice QtHost::AskOpenFile(const QString& title, const QString& filters, int filterIndex)
{
    return AskFile(QFileDialog::AcceptOpen, title, filters, filterIndex);
}

FileChoice QtHost::AskSaveFile(const QString& title, const QString& filters, int filterIndex)
{
    return AskFile(QFileDialog::AcceptSave, title, filters, filterIndex);
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

} // namespace palfade
