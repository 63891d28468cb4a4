#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The program's files are single-byte Windows-1252 text with CR LF line ends. These helpers are
// the one place that knows it, so the control file, the price list and the report agree.

QString decodeCp1252(const QByteArray &bytes);
QByteArray encodeCp1252(const QString &text);

// Splits text into lines the way the files are read: a line ends at CR, and an LF after it
// belongs to the line end. A lone LF (a file edited on Linux) ends a line too. A final line
// end does not start another, empty line.
QStringList splitLines(const QString &text);

// Joins lines into file text, every line (the last included) ended by CR LF.
QByteArray joinLinesCrLf(const QStringList &lines);

// Reads a whole file. On failure returns false and a Swedish message naming the file.
bool readWholeFile(const QString &path, QByteArray *bytes, QString *error);

// Replaces the file `target` by `bytes` without a moment in which the file is missing or half
// written: the bytes go to `tempPath` (in the same directory), are flushed to disk, and the
// temporary file is then renamed over the target. On failure the target is as it was, the
// temporary file is removed, and a Swedish message is returned in `error`.
bool replaceFileSafely(const QString &target, const QByteArray &bytes, const QString &tempPath,
                       QString *error);

// The same with a temporary file named after the target.
bool replaceFileSafely(const QString &target, const QByteArray &bytes, QString *error);
