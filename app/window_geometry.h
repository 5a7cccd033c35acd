#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where the window opens when nothing better is known.
constexpr QPoint default_window_position(30, 30);
constexpr QSize default_window_size(800, 600);

// The stored window geometry clipped to the available screen area, or the
// default geometry when too little of it would be visible. A null or invalid
// screen area (no screen at all) always gives the default.
QRect Checked_Geometry(const QPoint &position, const QSize &size, const QRect &available);
