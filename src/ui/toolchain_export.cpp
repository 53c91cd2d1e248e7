#include "ui/toolchain_export.h"

#include "dialogs/modal_owner.h"
#include "exports/exchange_export.h"
#include "exports/export_formats.h"
#include "io/file_access.h"
#include "ui/file_commands.h"
#include "ui/requester_texts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace palfade {

namespace {

constexpr const char* kTitle = "Export for a toolchain";
constexpr int kCommandLines = 6;

// What an exchange format cannot hold, as palfade-cli says it.
std::optional<QString> CountRefusal(const AppState& state, const ToolchainChoice& choice)
{
    if (!choice.format->exchangeExport)
        return std::nullopt;
    const std::optional<QString> refused =
        ExchangeCountRefusal(*choice.format->exchangeExport, qsizetype{state.fadeTable.steps()} * state.colorCount);
    if (!refused)
        return std::nullopt;
    return QStringLiteral("%1: %2").arg(choice.path, *refused);
}

} // namespace

IoStatus WriteToolchainExport(const AppState& state, const ToolchainChoice& choice)
{
    const FadeTable& table = state.fadeTable;
    const int steps = table.steps();
    auto write = [&table, steps, colors = state.colorCount](LineWriter& writer) {
        return WriteFadeTable(writer, table, steps, colors);
    };
    // The colours the preview shows, as palfade-cli writes them: named by
    // the label or the file's base name.
    if (const std::optional<ExchangeFormat> exchange = choice.format->exchangeExport) {
        const qsizetype colors = qsizetype{steps} * state.colorCount;
        if (const std::optional<QString> refused = CountRefusal(state, choice))
            return IoStatus::Failure(*refused);
        const QString name = choice.label.isEmpty() ? QFileInfo(choice.path).completeBaseName() : choice.label;
        return WriteFileAtomically(
            choice.path, StreamedExchange(*exchange, state.levels, ExchangeHead{name, state.colorCount, colors}, write));
    }
    ExportOptions options;
    if (choice.format->TakesLabel())
        options.label = choice.label;
    if (choice.format->TakesCType())
        options.cType = choice.cType;
    return WriteFileAtomically(choice.path, StreamedExport(*choice.format->wordExport, options, write));
}

void ExportForToolchain(const AppState& state, const PaletteOrigins& origins, Host& host, ToolchainChoice& last)
{
    const DescribeCommand describe = [&](const ToolchainChoice& choice) {
        return ToolchainCommandFor(state, origins, choice);
    };
    const std::optional<ToolchainChoice> choice = host.AskToolchainExport(last, describe);
    if (!choice)
        return;
    last = *choice;
    QString refusal = describe(*choice).refusal;
    if (refusal.isEmpty())
        refusal = CountRefusal(state, *choice).value_or(QString());
    if (!refusal.isEmpty()) {
        host.ShowMessage(QString::fromLatin1(texts::kErrorTitle), refusal);
        return;
    }
    if (ExistingFileSize(choice->path) &&
        !host.AskYesNo(QString::fromLatin1(texts::kConfirmSaveTitle),
                       choice->path + QString::fromLatin1(texts::kConfirmReplaceSuffix)))
        return;
    SaveAndReport(host, choice->path, [&] { return WriteToolchainExport(state, *choice); });
}

ToolchainExportDialog::ToolchainExportDialog(const ToolchainChoice& initial, DescribeCommand describe, Host& host,
                                             QWidget* parent)
    : QDialog(parent), describe_(std::move(describe)), host_(host)
{
    setWindowTitle(QString::fromLatin1(kTitle));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    format_ = new QComboBox(this);
    for (const FileFormat* format : kFadeTableCliFormats) {
        format_->addItem(QStringLiteral("%1 (%2)").arg(QLatin1String(format->name), QLatin1String(format->cliName)));
        if (format == initial.format)
            format_->setCurrentIndex(format_->count() - 1);
    }
    form->addRow(QStringLiteral("Format"), format_);
    label_ = new QLineEdit(initial.label, this);
    label_->setPlaceholderText(QStringLiteral("none"));
    form->addRow(QStringLiteral("Label"), label_);
    cType_ = new QLineEdit(initial.cType, this);
    form->addRow(QStringLiteral("C type"), cType_);
    auto* file = new QHBoxLayout;
    path_ = new QLineEdit(initial.path, this);
    choose_ = new QPushButton(QStringLiteral("Choose.."), this);
    file->addWidget(path_, 1);
    file->addWidget(choose_);
    form->addRow(QStringLiteral("File"), file);
    layout->addLayout(form);

    layout->addWidget(new QLabel(QStringLiteral("The palfade-cli command that writes the same bytes:"), this));
    command_ = new QPlainTextEdit(this);
    command_->setReadOnly(true);
    command_->setLineWrapMode(QPlainTextEdit::NoWrap);
    command_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    command_->setFixedHeight(command_->fontMetrics().lineSpacing() * kCommandLines + 2 * command_->frameWidth() + 8);
    layout->addWidget(command_);
    notes_ = new QLabel(this);
    notes_->setWordWrap(true);
    layout->addWidget(notes_);

    auto* buttons = new QDialogButtonBox(this);
    copy_ = buttons->addButton(QStringLiteral("Copy"), QDialogButtonBox::ActionRole);
    save_ = buttons->addButton(QStringLiteral("Save"), QDialogButtonBox::AcceptRole);
    cancel_ = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(copy_, &QPushButton::clicked, this,
            [this] { host_.SetClipboardText(CommandLineText(describe_(Choice()).arguments)); });
    connect(choose_, &QPushButton::clicked, this, [this] {
        const QString path = host_.AskSaveFile(QString::fromLatin1(texts::kSaveTitle), kAnyFileSave).path;
        if (!path.isEmpty())
            path_->setText(path);
    });
    connect(format_, &QComboBox::currentIndexChanged, this, &ToolchainExportDialog::Update);
    for (QLineEdit* edit : {label_, cType_, path_})
        connect(edit, &QLineEdit::textChanged, this, &ToolchainExportDialog::Update);
    Update();
}

ToolchainChoice ToolchainExportDialog::Choice() const
{
    ToolchainChoice choice;
    const int index = format_->currentIndex();
    choice.format = index >= 0 ? kFadeTableCliFormats[static_cast<std::size_t>(index)] : nullptr;
    choice.label = label_->text().trimmed();
    choice.cType = cType_->text().simplified();
    choice.path = path_->text();
    return choice;
}

void ToolchainExportDialog::Update()
{
    const ToolchainChoice choice = Choice();
    label_->setEnabled(choice.format != nullptr && choice.format->TakesLabel());
    cType_->setEnabled(choice.format != nullptr && choice.format->TakesCType());
    const ToolchainCommand command = describe_(choice);
    command_->setPlainText(CommandLineText(command.arguments));
    QStringList notes = command.notes;
    if (!command.refusal.isEmpty())
        notes.prepend(command.refusal);
    notes_->setText(notes.join(u'\n'));
    save_->setEnabled(command.refusal.isEmpty());
}

std::optional<ToolchainChoice> RunToolchainExportDialog(const ToolchainChoice& initial,
                                                        const DescribeCommand& describe, Host& host, QWidget* owner)
{
    ToolchainExportDialog dialog(initial, describe, host, owner);
    dialog.resize(dialog.sizeHint().expandedTo(QSize(640, 0)));
    if (!RunOwnedDialog(dialog, owner))
        return std::nullopt;
    return dialog.Choice();
}

} // namespace palfade
