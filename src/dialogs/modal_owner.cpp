#include "dialogs/modal_owner.h"

#include <QDialogButtonBox>

#include <algorithm>

namespace palfade {

void CentreOnOwner(QWidget& dialog, const QWidget* owner)
{
    if (owner == nullptr)
        return;
    // Nested dialogs all centre on the window that opened the first of them:
    // the main window, or another window of the program such as the art
    // preview.
    const QWidget* main = owner->window();
    while (main->windowType() == Qt::Dialog && main->parentWidget() != nullptr)
        main = main->parentWidget()->window();
    const QRect ownerFrame = main->frameGeometry();
    // The dialog gets its frame only when shown; the window manager gives it
    // the main window's title bar and borders. move() places the frame.
    const QSize frame = dialog.size() + (ownerFrame.size() - main->size());
    const QPoint topLeft = ownerFrame.center() - QPoint(frame.width() / 2, frame.height() / 2);
    const QPoint framePosition(std::max(0, topLeft.x()), std::max(0, topLeft.y()));
    // Before its native window exists move() places the frame; after, until
    // it is mapped, the client area, which sits inside the same margins.
    if (dialog.testAttribute(Qt::WA_WState_Created))
        dialog.move(framePosition + (main->geometry().topLeft() - ownerFrame.topLeft()));
    else
        dialog.move(framePosition);
}

OkCancelButtons AddOkCancel(QDialog& dialog, QBoxLayout& layout)
{
    auto* buttons = new QDialogButtonBox(&dialog);
    const OkCancelButtons added{buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole),
                                buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole)};
    layout.addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return added;
}

bool RunOwnedDialog(QDialog& dialog, QWidget* owner)
{
    CentreOnOwner(dialog, owner);
    const OwnerDisabler disabled(owner, dialog);
    return dialog.exec() == QDialog::Accepted;
}

OwnerDisabler::OwnerDisabler(QWidget* owner, QWidget& dialog) : owner_(owner)
{
    if (owner_ == nullptr)
        return;
    owner_->setEnabled(false);
    // Disabling a widget disables its child windows too; the dialog itself
    // must stay usable.
    dialog.setEnabled(true);
}

OwnerDisabler::~OwnerDisabler()
{
    if (owner_ == nullptr)
        return;
    owner_->setEnabled(true);
    owner_->activateWindow();
}

} // namespace palfade
