#include "core/results/printedtext.h"

QString printedText(const QString &text, int length) {
    const QString flat = text.simplified();
    if (flat.size() <= length)
        return flat;
    qsizetype cut = length - 1;
    // Never half a surrogate pair.
    if (cut > 0 && flat.at(cut - 1).isHighSurrogate())
        --cut;
    return flat.left(cut) + QChar(0x2026);
}
