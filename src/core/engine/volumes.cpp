#include "core/engine/volumes.h"
#include "core/engine/enginepath.h"

#include "core/engine/valuationstate.h"

KVISTEL_ENGINE_BEGIN

namespace {

double cylinder(double formFactor, double topDiameter) {
    const double d = topDiameter + 0.1;
    return 3.1416 * formFactor * ((d / 200) * (d / 200)) * 4.5;
}

} // namespace

double timberVolume(const QString &species, double topDiameter) {
    if (isCode(species, u't'))
        return cylinder(0.876, topDiameter);
    if (isCode(species, u'g'))
        return cylinder(0.897, topDiameter);
    return 0;
}

double pulpwoodVolume(double length, double low, double top) {
    double volume = 0;
    if (length > 3.0)
        volume = 0.2618 * length * (low * low / 10000 + top * top / 10000 + low * top / 10000);
    return volume * 0.89;
}

KVISTEL_ENGINE_END
