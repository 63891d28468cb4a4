#include "gui/shared/appicon.h"

#include <QPixmap>

QIcon kvistelIcon() {
    // Drawn from the SVG in every size a desktop asks for when the program was built.
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kvistel/kvistel-%1.png").arg(size), QSize(size, size));
    return icon;
}
