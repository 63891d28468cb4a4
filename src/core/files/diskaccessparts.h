#pragma once

#include "core/files/diskaccess.h"

#include <QString>

// What the shared part of the disk seam (diskaccess.cpp) and each system's own file
// (diskaccess_posix.cpp, diskaccess_windows.cpp) give each other; no other code includes it.

// Whether `error` is the C library's "disk quota exceeded", an error only some systems have.
bool isQuotaErrno(int error);

// A name no file has been given yet, for a temporary file beside `target`:
// "trad.sty.~kvistel-x7Kq2a9B.tmp".
QString newTemporaryName(const QString &target);

// How many names newTemporaryName is asked for before a save gives up.
inline constexpr int temporaryNameAttempts = 100;
