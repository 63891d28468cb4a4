#pragma once

#include <QIcon>

// The program's icon, drawn from the same SVG file that the desktop menu shows, at the sizes
// window title bars, task bars and task switchers ask for.
QIcon kvistelIcon();
