#include "sheets/windowPlacement.h"

namespace marlo {

QRect placedOver(const QRect& window, const QRect& owner, const QRect& workArea) {
    QRect placed(QPoint(owner.left() + (owner.width() - window.width()) / 2,
                        owner.top() + (owner.height() - window.height()) / 2),
                 window.size());
    if (placed.right() > workArea.right())
        placed.moveRight(workArea.right());
    if (placed.bottom() > workArea.bottom())
        placed.moveBottom(workArea.bottom());
    if (placed.left() < workArea.left())
        placed.moveLeft(workArea.left());
    if (placed.top() < workArea.top())
        placed.moveTop(workArea.top());
    return placed;
}

} // namespace marlo
