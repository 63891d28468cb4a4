#include "core/engine/resultrow.h"

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

const char16_t *const meanings[resultColumnCount] = {
    u"Den ränta som trädets värde har vuxit med per år under de tio åren fram till "
    u"avverkningsåret. Högre än ditt räntekrav: trädet lönar sig att lämna.",
    u"Nettot vid avverkningsåret räknat om till dagens pengar med ditt räntekrav. Det år som har "
    u"störst nuvärde är det bästa året att avverka.",
    u"Virkets värde minus avverknings- och planteringskostnad, för hela trädet, det året.",
    u"Nettot per kubikmeter gagnvirke.",
    u"Den volym av stammen som säljs, sågstockar och massaved, i kubikmeter.",
    u"Trädets beräknade höjd det året.",
    u"Trädets diameter i brösthöjd, 1,3 m, det året.",
    u"Toppdiametern hos den första sågstocken (rotstocken); 0 när stammen inte räcker till "
    u"stocken.",
    u"Toppdiametern hos den andra sågstocken; 0 när stammen inte räcker till stocken.",
    u"Toppdiametern hos den tredje sågstocken; 0 när stammen inte räcker till stocken.",
    u"Den första sågstockens värde enligt prislistan, för dess kvalitet och toppdiameter.",
    u"Den andra sågstockens värde enligt prislistan, för dess kvalitet och toppdiameter.",
    u"Den tredje sågstockens värde enligt prislistan, för dess kvalitet och toppdiameter.",
    u"Värdet av den del av stammen som inte blir sågtimmer, till massavedspriset.",
    u"Virkets värde, sågstockar och massaved, per kubikmeter gagnvirke.",
    u"Avverkningskostnaden per kubikmeter gagnvirke.",
    u"Kostnaden för en ny planta i luckan, per kubikmeter gagnvirke; 0 utan plantering.",
};

} // namespace

QString resultMeaning(int column) {
    if (column < 0 || column >= resultColumnCount)
        return {};
    return QString::fromUtf16(meanings[column]);
}

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
