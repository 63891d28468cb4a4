#include "core/engine/stemform.h"
#include "core/engine/enginepath.h"

#include "core/engine/calculationstopped.h"
#include "core/engine/valuationstate.h"
#include "core/files/numberformat.h"

#include <bit>
#include <cmath>
#include <cstdint>

KVISTEL_ENGINE_BEGIN

namespace {

const TaperCoefficients spruceNorth{12.906, 110.68, 2.906, 102.7, 3.24};
const TaperCoefficients pineNorth{12.177, 128.16, 2.493, 106.67, 3.24};
const TaperCoefficients spruceSouth{13.479, 132.69, 2.164, 99.532, 3.24};
const TaperCoefficients pineSouth{13.646, 171.7, 1.529, 98.601, 3.24};

const QString ordinal[4] = {QString(), QStringLiteral("första"), QStringLiteral("andra"),
                            QStringLiteral("tredje")};

QString tooShort(const ValuationState &s) {
    return QStringLiteral("Trädet är för litet för att kapas i stockar: med höjden %1 m når "
                          "stamformen inte upp till den %2 stockens toppände %3 m över marken "
                          "(avverkning om %4 år).")
        .arg(formatNumber(s.height, u"#0.00"), ordinal[s.logNumber],
             formatNumber(logTopHeight[s.logNumber], u"#0.0"))
        .arg(s.years);
}

QString noStemForm(const ValuationState &s) {
    return QStringLiteral("Trädet är för litet för att kapas i stockar: höjden %1 m är för liten "
                          "för stamformen (avverkning om %2 år).")
        .arg(formatNumber(s.height, u"#0.00"))
        .arg(s.years);
}

QString noTop(const ValuationState &s) {
    return QStringLiteral("Trädets topp går inte att beräkna: diametern %1 cm är för liten för "
                          "stamformen (avverkning om %2 år).")
        .arg(formatNumber(s.in.diameter, u"#0.000"))
        .arg(s.years);
}

} // namespace

const TaperCoefficients *taperCoefficients(const QString &species, const QString &region) {
    if (isCode(species, u'g') && isCode(region, u'N'))
        return &spruceNorth;
    if (isCode(species, u't') && isCode(region, u'N'))
        return &pineNorth;
    if (isCode(species, u'g') && isCode(region, u'S'))
        return &spruceSouth;
    if (isCode(species, u't') && isCode(region, u'S'))
        return &pineSouth;
    return nullptr;
}

double stemVolume(const QString &species, double diameter, double height, double previous) {
    const double d = diameter, h = height;
    double vol = previous;
    if (isCode(species, u't'))
        vol = (0.03069 * d * d * h + 0.09314 * d * d + 0.002818 * d * h * h) / 1000;
    if (isCode(species, u'g'))
        vol = (0.01504 * d * d * h + 0.1202 * d * d + 0.02341 * d * h * h - 0.0659 * h * h) / 1000;
    if (isCode(species, u'b'))
        vol = (0.02892 * d * d * h + 0.03715 * d * d + 0.004983 * d * h * h) / 1000;
    return vol;
}

void buckLog(ValuationState &s, const TaperCoefficients *c) {
    s.referenceDiameter = 0;
    s.relativeTopHeight = 0;
    s.taperA = s.taperB = s.taperC = s.taperD = s.taperE = 0;
    if (!c) // the height model has already stopped such a tree; kept for a direct caller
        throw CalculationStopped(noStemForm(s));
    const double ln10 = std::log(10.0);
    // Every log of a pass has the tree's height, diameter and stem form: what follows from these
    // alone is worked out for the first log and taken, the same bits, for the others.
    ValuationState::StemShape &shape = s.stemShape;
    const bool known =
        shape.form == c &&
        std::bit_cast<std::uint64_t>(shape.height) == std::bit_cast<std::uint64_t>(s.height) &&
        std::bit_cast<std::uint64_t>(shape.diameter) == std::bit_cast<std::uint64_t>(s.in.diameter);

    s.taperA = c->a;
    if (known) {
        s.breastHeightPercent = shape.breastHeightPercent;
        s.referenceDiameter = shape.referenceDiameter;
    } else {
        s.breastHeightPercent = 100 - s.taperA * std::log(13000 / s.height + 1) / ln10;
        s.referenceDiameter = s.in.diameter / (s.breastHeightPercent / 100);
    }
    if (!(s.breastHeightPercent > 0) || !std::isfinite(s.referenceDiameter))
        throw CalculationStopped(noStemForm(s));
    s.relativeTopHeight = logTopHeight[s.logNumber] / s.height;

    s.taperB = c->b;
    s.taperC = c->c;
    if (!(s.relativeTopHeight < 0.6))
        s.logTopDiameter =
            s.referenceDiameter *
            (s.taperB *
             checkedLn((1 - s.relativeTopHeight) * s.taperC + 1, [&] { return tooShort(s); }) /
             ln10) /
            100;

    if (known) {
        s.stumpDiameter = shape.stumpDiameter;
        s.topLength = shape.topLength;
        s.topPieceDiameter = shape.topPieceDiameter;
    } else {
        s.stumpDiameter =
            s.referenceDiameter * (100 - s.taperA * std::log(2000 / s.height + 1) / ln10) / 100;

        // The top piece: how far below the tree top the stem reaches the pulpwood's thinnest end.
        const double topExponent =
            checkedFinite(500 / (s.referenceDiameter * s.taperB), [&] { return noTop(s); });
        s.topLength = (s.height + 60) / (s.taperC + 5) * (std::exp(topExponent) - 1) + 1;
        checkedFinite(s.topLength, [&] { return noTop(s); });
        s.topPieceDiameter = s.referenceDiameter *
                             (s.taperB *
                              checkedLn((1 - (s.height - s.topLength) / s.height) * s.taperC + 1,
                                        [&] { return noTop(s); }) /
                              ln10) /
                             100;
        shape = {s.height,
                 s.in.diameter,
                 c,
                 s.breastHeightPercent,
                 s.referenceDiameter,
                 s.stumpDiameter,
                 s.topLength,
                 s.topPieceDiameter};
    }

    s.taperD = c->d;
    s.taperE = c->e;
    if (s.relativeTopHeight <= 0.6)
        s.logTopDiameter =
            s.referenceDiameter *
            (s.taperD *
             checkedLn((1 - s.relativeTopHeight) * s.taperE + 1, [&] { return tooShort(s); }) /
             ln10) /
            100;
}

std::int16_t workingQuality(std::int16_t potential, double d) {
    std::int16_t q = potential;
    if (q == 1 && d < 20)
        q = 4;
    if (q == 3 && d < 20)
        q = 4;
    if (q == 1 && d >= 20 && d <= 25)
        q = 3;
    return q;
}

KVISTEL_ENGINE_END
