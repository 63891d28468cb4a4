#pragma once

#include <QString>

class QWidget;

// Where a file is saved. A name typed without its ending gets the ending before anyone asks
// whether to replace a file, so that the question concerns the file that is really written.

// A save dialog starting at `suggested`; empty when the user cancels.
QString chooseSavePath(QWidget *parent, const QString &title, const QString &suggested,
                       const QString &filter, const QString &extension);

// `path` with ".extension" when it has no ending; when that adds an ending and the file so
// named exists, asks whether to replace it. Empty when the user does not want that.
QString withEndingConfirmed(QWidget *parent, const QString &path, const QString &extension);
