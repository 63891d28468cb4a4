#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the encoding of every file the program reads and writes, converted by a table of
// its own: Qt converts it only through ICU, which Qt on Windows is built without.
//
// Decoding never fails: the five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the control characters of the same number, and encode back to their byte.
// Encoding writes 0x1A (SUB) for each character Windows-1252 cannot hold, so that such text
// never comes back as it was; text that came from the user goes through encodeForFile instead.
QString decodeCp1252(QByteArrayView bytes);
QByteArray encodeCp1252(QStringView text);
