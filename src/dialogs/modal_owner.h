#pragma once
// The owner side of a modal dialog: the owner stays disabled while the dialog
// runs and comes back enabled and active when it closes; and the buttons that
// end the window's own dialogs.

#include <QBoxLayout>
#include <QDialog>
#include <QPushButton>
#include <QPointer>
#include <QWidget>

namespace palfade {

// Places the centre of the dialog's frame on that of the window the owner's
// dialogs belong to (the first window above it that is no dialog), kept at
// non-negative screen coordinates.
// Without an owner the dialog stays where it is. Call before the dialog is
// mapped: before it is shown, or from its show event.
void CentreOnOwner(QWidget& dialog, const QWidget* owner);

// Runs `dialog` modal for `owner`: centred on it, the owner disabled while it
// runs. True when the dialog was accepted.
bool RunOwnedDialog(QDialog& dialog, QWidget* owner);

// "Ok" and "Cancel" at the foot of `layout`: they accept and reject `dialog`.
struct OkCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
};
OkCancelButtons AddOkCancel(QDialog& dialog, QBoxLayout& layout);

class OwnerDisabler {
public:
    OwnerDisabler(QWidget* owner, QWidget& dialog);
    ~OwnerDisabler();
    OwnerDisabler(const OwnerDisabler&) = delete;
    OwnerDisabler& operator=(const OwnerDisabler&) = delete;

private:
    QPointer<QWidget> owner_;
};

} // namespace palfade
