#pragma once

#include "core/files/outcome.h"

#include <QString>

// A new home directory made from the example that comes with the program (a control file, a
// price list and a stand's tree list): `target` is created where missing and the example's files
// (trad.sty, priser_ac.txt, bestand.csv; nothing else of its folder) are copied into it, writable
// by the user. The one way a home is made from the
// example: by the first start's "Skapa en ny hemkatalog med exemplet" and by
// `kvistel --make-home KATALOG` (tools/run.sh, tools/screenshots.sh).
//
// A file already in `target` is kept as it is, never overwritten, so an existing home directory
// may be chosen. A failure (a full disk, a link to nowhere, a folder one may not write in) says
// what happened and takes back everything this call made: the files it copied and the folders
// it created.
Outcome copyExampleHome(const QString &example, const QString &target);
