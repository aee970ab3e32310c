#pragma once

#include <QRect>

namespace marlo {

// Centres `window` over `owner`, then moves it inside `workArea`: right and
// bottom edges first, then left and top, so a window larger than the work area
// keeps its top-left corner visible.
QRect placedOver(const QRect& window, const QRect& owner, const QRect& workArea);

} // namespace marlo
