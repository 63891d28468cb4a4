#include "appicon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon kvistelIcon() {
    QSvgRenderer renderer(QStringLiteral(":/kvistel/kvistel.svg"));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
