#include "gui/shared/screenfit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace ScreenFit {

QRect fitIntoArea(const QRect &frame, const QRect &available) {
    const QSize size = frame.size().boundedTo(available.size());
    const int x = std::clamp(frame.x(), available.left(), available.right() - size.width() + 1);
    const int y = std::clamp(frame.y(), available.top(), available.bottom() - size.height() + 1);
    return {QPoint(x, y), size};
}

QScreen *screenShowing(const QRect &rect) {
    if (QScreen *s = QGuiApplication::screenAt(rect.center()))
        return s;
    return QGuiApplication::primaryScreen();
}

QMargins frameMargins(const QWidget *window) {
    if (const QWindow *handle = window->windowHandle(); handle && window->isVisible()) {
        const QMargins m = handle->frameMargins();
        if (!m.isNull())
            return m;
    }
    // A title bar and thin borders, as the common desktops draw them.
    return {6, 34, 6, 6};
}

} // namespace ScreenFit
