#pragma once

#include "core/files/outcome.h"

#include <QString>

// A new home directory made from the example that comes with the program (a control file, a
// price list and a stand's tree list): `target` is created where missing and every file of
// `example` is copied into it, writable by the user. A file already in `target` is kept as it
// is, never overwritten; a failure removes only what this call copied.
Outcome copyExampleHome(const QString &example, const QString &target);
