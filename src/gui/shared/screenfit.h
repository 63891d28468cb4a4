#pragma once

#include <QMargins>
#include <QRect>

class QScreen;
class QWidget;

// Where a window goes on the screen it opens on: never larger than the screen's free area (the
// part not taken by panels and docks), and wholly inside it.
namespace ScreenFit {

// `frame` (the window with its frame) moved and, where needed, shrunk to lie inside `available`.
QRect fitIntoArea(const QRect &frame, const QRect &available);

// The screen that shows the middle of `rect`; the primary screen when none does (a screen
// that was unplugged since the window was last closed).
QScreen *screenShowing(const QRect &rect);

// The frame a window manager puts round a window: as measured once the window has been shown,
// before that a generous guess, so that a window never opens with its title bar off the screen.
QMargins frameMargins(const QWidget *window);

} // namespace ScreenFit
