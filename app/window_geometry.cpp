#include "app/window_geometry.h"

namespace {

// A window must show more than this much of itself on each axis to be usable.
constexpr int least_visible_extent = 500;

} // namespace

QRect Checked_Geometry(const QPoint &position, const QSize &size, const QRect &available)
{
    const QRect visible = QRect(position, size).intersected(available);
    if (visible.isValid() && visible.right() - visible.left() >= least_visible_extent &&
        visible.bottom() - visible.top() >= least_visible_extent)
        return visible;
    return QRect(default_window_position, default_window_size);
}
