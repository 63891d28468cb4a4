#pragma once

#include <Qt>

class QAbstractButton;
class QString;

// Paints the corner button of a table view as a heading with `text`, like the headings beside
// it. The corner cannot be clicked, but its text is no less a heading than the others, so it is
// drawn enabled and active.
void paintCornerHeading(QAbstractButton *corner, const QString &text, Qt::Alignment alignment);
