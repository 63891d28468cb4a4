#pragma once

#include "core/engine/enginepath.h"

#include <QString>

KVISTEL_ENGINE_BEGIN

// Timber volume in m3 of a 4.5 m saw log with top diameter `topDiameter` cm: a cylinder of the top
// diameter plus 0.1 cm, with the form factor of pine ("t") or spruce ("g"); 0 for other species.
double timberVolume(const QString &species, double topDiameter);

// Pulpwood volume in m3 of the piece above the timber: a truncated cone of length `length` m
// between the diameters `low` and `top` cm, less 11 % for bark and waste. A piece of 3 m or
// less is not worth taking out and gives 0.
double pulpwoodVolume(double length, double low, double top);

KVISTEL_ENGINE_END
