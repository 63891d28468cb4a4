#include "gui/pricelist/pricegrid.h"

#include "core/files/numberformat.h"
#include "core/files/pricelistfile.h"

#include <cmath>

int priceColumnWidth(int gridWidthTwips) {
    const int share = gridWidthTwips - 1500;
    if (share <= 0)
        return 0;
    int width = share / 10;
    const int rest = share % 10;
    if (rest > 5 || (rest == 5 && width % 2 != 0))
        ++width;
    return width;
}

QString priceCellText(double price) {
    if (!(price > 0.1))
        return {};
    QString text = priceText(price);
    text.replace(u'.', localeDecimalSeparator());
    return text;
}

std::optional<PriceCell> movedCell(PriceCell from, CellMove move) {
    PriceCell to = from;
    switch (move) {
    case CellMove::Right:
        ++to.col;
        break;
    case CellMove::Left:
        --to.col;
        break;
    case CellMove::Up:
        --to.row;
        break;
    case CellMove::Down:
        ++to.row;
        break;
    case CellMove::Tab:
        if (++to.col > diameterClasses) {
            to.col = 1;
            ++to.row;
        }
        break;
    case CellMove::Backtab:
        if (--to.col < 1) {
            to.col = diameterClasses;
            --to.row;
        }
        break;
    case CellMove::Enter:
        if (++to.row > qualityClasses) {
            to.row = 1;
            if (++to.col > diameterClasses)
                to.col = 1;
        }
        break;
    }
    if (to.row < 1 || to.row > qualityClasses || to.col < 1 || to.col > diameterClasses)
        return std::nullopt;
    return to;
}

std::optional<double> typedPrice(QStringView text) {
    QString plain;
    for (QChar c : text) {
        if (c.isSpace())
            continue;
        plain += c == QChar(0x2212) ? QChar(u'-') : c; // the typographic minus of a Swedish locale
    }
    if (plain.endsWith(QStringLiteral("kr"), Qt::CaseInsensitive))
        plain.chop(2);
    if (plain.isEmpty())
        return text.trimmed().isEmpty() ? std::optional<double>(0.0) : std::nullopt;
    if (plain.count(u',') + plain.count(u'.') > 1)
        return std::nullopt;
    plain.replace(u',', u'.');
    for (QChar c : plain)
        if (c.unicode() > 0x7f)
            return std::nullopt;
    return parsePrice(plain);
}
