#pragma once
// "Export for a toolchain..": the fade table in a toolchain's own form
// (Motorola or GNU assembler, C, binary) with a label and a C type, or as
// the colours an artist's tool reads (GIMP, JASC-PAL, Adobe colour table,
// hex list), written through the same exports and atomic save as
// palfade-cli, and the palfade-cli command that writes the same bytes from
// the same files.

#include "ui/host.h"

#include <QDialog>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace palfade {

using DescribeCommand = std::function<ToolchainCommand(const ToolchainChoice&)>;

// The fade table as the choice says, at exactly its path; an Adobe colour
// table of more than 256 colours is refused as palfade-cli refuses it.
IoStatus WriteToolchainExport(const AppState& state, const ToolchainChoice& choice);

// Asks (starting from `last`, which keeps the answer), asks before
// replacing a file, and writes. Failures are shown in a box titled "Error".
void ExportForToolchain(const AppState& state, const PaletteOrigins& origins, Host& host, ToolchainChoice& last);

// The dialog run modally: "Choose.." asks the host for the file, "Copy"
// puts the command on the host's clipboard.
std::optional<ToolchainChoice> RunToolchainExportDialog(const ToolchainChoice& initial,
                                                        const DescribeCommand& describe, Host& host, QWidget* owner);

class ToolchainExportDialog : public QDialog {
public:
    ToolchainExportDialog(const ToolchainChoice& initial, DescribeCommand describe, Host& host,
                          QWidget* parent = nullptr);

    ToolchainChoice Choice() const;

    QComboBox* FormatBox() const { return format_; }
    QLineEdit* LabelEdit() const { return label_; }
    QLineEdit* TypeEdit() const { return cType_; }
    QLineEdit* PathEdit() const { return path_; }
    QPushButton* ChooseButton() const { return choose_; }
    QPlainTextEdit* CommandView() const { return command_; }
    QLabel* Notes() const { return notes_; }
    QPushButton* CopyButton() const { return copy_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void Update();

    DescribeCommand describe_;
    Host& host_;
    QComboBox* format_ = nullptr;
    QLineEdit* label_ = nullptr;
    QLineEdit* cType_ = nullptr;
    QLineEdit* path_ = nullptr;
    QPushButton* choose_ = nullptr;
    QPlainTextEdit* command_ = nullptr;
    QLabel* notes_ = nullptr;
    QPushButton* copy_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace palfade
