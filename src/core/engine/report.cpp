#include "core/engine/report.h"

#include "core/engine/valuationstate.h"
#include "core/files/textfile.h"

#include <algorithm>
#include <iterator>

namespace {

// Commas of other scripts and writing modes. The Arabic decimal separator is written as a small
// comma and does the work of the decimal comma.
bool isCommaLike(QChar c) {
    static constexpr char16_t commas[] = {
        u'\u055D', // Armenian comma
        u'\u060C', // Arabic comma
        u'\u066B', // Arabic decimal separator
        u'\u07F8', // NKo comma
        u'\u1802', // Mongolian comma
        u'\u2E41', // reversed comma
        u'\u3001', // ideographic comma
        u'\uFF64', // half-width ideographic comma
    };
    // Full-width, small and vertical commas decompose to the comma itself.
    return c.decomposition() == QStringLiteral(",") ||
           std::find(std::begin(commas), std::end(commas), c.unicode()) != std::end(commas);
}

} // namespace

char reportDecimalSeparator(QChar localeSeparator) {
    if (localeSeparator.unicode() < 0x80)
        return char(localeSeparator.unicode()); // the same byte in Windows-1252
    const QString separator(localeSeparator);
    const QByteArray encoded = encodeCp1252(separator);
    if (encoded.size() == 1 && decodeCp1252(encoded) == separator)
        return encoded.at(0);
    return isCommaLike(localeSeparator) ? ',' : '.';
}

Report::Report(QChar decimalSeparator) : m_separator(reportDecimalSeparator(decimalSeparator)) {
    m_text.reserve(20 * 1024);
}

void Report::put(const QString &text) {
    bool ascii = true;
    for (const QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii) {
        for (const QChar c : text)
            m_text += char(c.unicode());
        return;
    }
    const QByteArray encoded = encodeCp1252(text);
    m_text.append(encoded.constData(), std::size_t(encoded.size()));
}

void Report::put(const Number &number) {
    m_text += FormattedNumber(number.value, number.pattern, m_separator).bytes();
}

void Report::header(const TreeInputs &s) {
    line();
    line(u"            RÄNTABILITETEN HOS TRÄD");
    line();
    line(u"  Kvistel, värdering av enskilda träd i naturkultur");
    line();
    if (isCode(s.region, u'N'))
        line(u"Norra Sverige");
    else
        line(u"Södra Sverige");
    line(u"Räntekrav ", n(s.requiredRate * 100, u"###0.0"), u" %,   Bonitet, m 100 år = ",
         n(s.siteIndex, u"#0"), u" Plantering=", s.replanting, u" Avverknint. ",
         n(s.harvestIntensity, u"##0"), u" %");
    line(u"Massapris Tall ", n(s.pinePulpPrice, u"###0"), u" Gran ", n(s.sprucePulpPrice, u"###0"),
         u" Björk ", n(s.birchPulpPrice, u"###0"), u" kr/m3, Trädart= ", s.species);
    line(u"Potentiell kvalitet i första stock, ", n(s.logQualities[0], u"#0"), u", i andrastock, ",
         n(s.logQualities[1], u"#0"), u", i tredjestock, ", n(s.logQualities[2], u"#0"));
    line();
}
void Report::crownReduction(double sharePercent) {
    line(u"pga liten krona reduceras årsringen under följande 10 år till = ",
         n(sharePercent, u"##0"), u"%");
}

void Report::passStart(double diameter, double height, double ring, int years) {
    line(u"       *****************************************************");
    line(u"bhdiam= ", n(diameter, u"###0.00"), u" cm, höjden= ", n(height, u"#0.00"),
         u" m,  årsring= ", n(ring, u"###0.00"), u" mm,");
    line(u"AVVERKNING OM ", n(years, u"##0"), u" ÅR");
}

void Report::logTopDiameter(int logNumber, double topDiameter) {
    const Number d = n(topDiameter, u"###0.00");
    if (logNumber == 1)
        line(u"  förstastockens toppdiameter är ", d, u" cm");
    else if (logNumber == 2)
        line(u"  andrastockens toppdiameter är ", d, u" cm");
    else
        line(u"  tredjestockens toppdiameter är ", d, u" cm");
}

void Report::logPrice(double price) {
    line(u" kubikmeterpriset på timret är ", n(price, u"###0"), u" kr");
}

void Report::timberVolume(const QString &species, double volume) {
    if (isCode(species, u't'))
        line(u" talltimmervolym ", n(volume, u"0.0000"), u" m3f ");
    else if (isCode(species, u'g'))
        line(u" grantimmervolym ", n(volume, u"0.0000"), u" m3f ");
}

void Report::noWoodValue() {
    line(u"     trädets virkesvärde 0  kr");
}

void Report::pulpDiameters(double low, double top) {
    line(u"Massaved nedre diam, cm ", n(low, u"#0.00"), u" Massaved övre diam, cm  ",
         n(top, u"#0.00"));
}

void Report::pulpwood(double length, double volume, double value) {
    line(u"Massaved ovan timret: längd ", n(length, u"#0.00"), u" m, volym ", n(volume, u"#0.000"),
         u" m3f, värde ", n(value, u"###0"), u" kr");
}

void Report::logValues(double value1, double value2, double value3, double timberValue) {
    line(u"Värde: första stock ", n(value1, u"###0"), u", andra ", n(value2, u"###0"), u", tredje ",
         n(value3, u"###0"), u", timmervärde tot ", n(timberValue, u"###0"), u" kr");
}

void Report::totalVolume(double stemVolume, double merchVolume) {
    line(u"Totalvolym enl vol.formel= ", n(stemVolume - reportedStemVolumeDeduction, u"#0.000"),
         u" m3f p.b.", u",gagnvirkesvol ", n(merchVolume, u"#0.000"), u"m3f p.b.");
}

void Report::harvestIntensity(double percent) {
    line(u"Avv.int. i % av bestånd med full täthet ", n(percent, u"#0.00"));
}

void Report::noMerchantableWood() {
    line(u"           Trädet ger inget gagnvirke");
}

void Report::costs(double harvestCost, double plantingCost, double woodValue, double netValue,
                   double netPerM3, double merchVolume) {
    line(u"avv.kostn. ", n(harvestCost, u"###0"), u" kr/träd,  ",
         n(harvestCost / merchVolume, u"###0"), u" kr/m3");
    line(u"planteringskostn. ", n(plantingCost, u"###0"), u" kr/träd,  ",
         n(plantingCost / merchVolume, u"###0"), u" kr/m3,");
    line(u"Trädets; virkesvärde; ", n(woodValue, u"###0"), u" kr/träd,  ",
         n(woodValue / merchVolume, u"###0"), u" krm3");
    line(u"Trädets; drivn.netto; ", n(netValue, u"###0"), u" kr,  Drivn.netto/m3 gagnvirke  ",
         n(netPerM3, u"###0"), u" kr/m3");
    line();
    line();
    line(u"      ________________________________________");
}

void Report::valueGrowth(double valueIncrease, double interestAchieved, double presentValue,
                         int years, double requiredRate) {
    line(u" Trädets värdeökning de sista 10 åren är    ", n(valueIncrease, u"###0"), u"  kr");
    line(u"uttryckt i ränta på ränta under de sista 10 åren är   ", n(interestAchieved, u"#0.00"),
         u" %");
    line(u" Trädets nuvärde: ", n(presentValue, u"###0"), u" kr, avv. om ", n(years, u"##0"),
         u" år, (räntekrav= ", n(requiredRate * 100, u"#0"), u"%)");
}

void Report::passEnd() {
    line(u"     ___________________________________________");
}

void Report::trailer() {
    line(u" -----------------------------------------------------");
    for (int i = 0; i < 4; ++i)
        line();
}

void Report::stopped(const QString &why) {
    m_halted = false;
    line();
    line(u"Beräkningen avbröts: ", why);
}

QByteArray Report::bytes() const {
    return QByteArray(m_text.data(), qsizetype(m_text.size()));
}
