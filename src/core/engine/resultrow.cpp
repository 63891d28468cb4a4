#include "resultrow.h"

#include <array>
#include <cmath>

namespace {

const std::array<NumberPattern, resultColumnCount> patterns{
    u"#0.00", u"#0", u"#0", u"#0", u"#0.00", u"#0.0", u"#0", u"#0", u"#0",
    u"#0",    u"#0", u"#0", u"#0", u"#0",    u"#0",   u"#0", u"#0"};

// The headings wrap onto two lines in the grid; the runs of spaces put the unit on the second.
const char16_t *const headings[resultColumnCount] = {
    u"Ränta,          %",
    u"Nuvärde kr/träd",
    u"Netto   kr/träd",
    u"Netto   kr/m3",
    u"Gagnvirke volym m3",
    u"Trädhöjd     m",
    u"Diameter     cm",
    u"Toppdiam. för 1:a stock. cm",
    u"Toppdiam. för 2:a stock. cm",
    u"Toppdiam. för 3:e stock. cm",
    u"Värde för 1:a stock. kr",
    u"Värde för 2:a stock. kr",
    u"Värde för 3:e stock. kr",
    u"Värde för massaveden. kr",
    u"Virkesvärde. kr/m3",
    u"Avverknings- kostnad. kr/m3",
    u"Planterings- kostnad. kr/m3",
};

} // namespace

QString resultHeading(int column) {
    if (column < 0 || column >= resultColumnCount)
        return {};
    return QString::fromUtf16(headings[column]);
}

NumberPattern resultPattern(int column) {
    return patterns[std::size_t(column)];
}

QString resultText(const HarvestYear &year, int column, QChar decimalSeparator) {
    const double value = year.values[std::size_t(column)];
    // Harvest now has no ten years behind it to grow over and nothing to discount.
    if (std::isnan(value))
        return QStringLiteral(" ");
    return numberText(value, resultPattern(column), decimalSeparator);
}
