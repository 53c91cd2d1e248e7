#include "dialogs/modal_owner.h"

#include <algorithm>

namespace palfade {

void CentreOnOwner(QWidget& dialog, const QWidget* owner)
{
    if (owner == nullptr)
        return;
    // Nested dialogs all centre on the main window, the outermost owner.
    const QWidget* main = owner->window();
    while (main->parentWidget() != nullptr)
        main = main->parentWidget()->window();
    const QRect ownerFrame = main->frameGeometry();
    // The dialog gets its frame only when shown; the window manager gives it
    // the main window's title bar and borders. move() places the frame.
    const QSize frame = dialog.size() + (ownerFrame.size() - main->size());
    const QPoint topLeft = ownerFrame.center() - QPoint(frame.width() / 2, frame.height() / 2);
    dialog.move(std::max(0, topLeft.x()), std::max(0, topLeft.y()));
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
