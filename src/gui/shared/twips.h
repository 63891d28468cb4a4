#pragma once

#include <QPaintDevice>

#include <cmath>

// The grids are laid out in twips, 1440 to the inch at the screen's logical DPI, as they always
// were; Qt sizes them in pixels.
namespace Twips {

inline int toPixels(int twips, int logicalDpi) {
    return int(std::lround(twips * logicalDpi / 1440.0));
}

inline int fromPixels(int pixels, int logicalDpi) {
    return int(std::lround(pixels * 1440.0 / logicalDpi));
}

inline int toPixels(const QPaintDevice &device, int twips) {
    return toPixels(twips, device.logicalDpiX());
}

inline int fromPixels(const QPaintDevice &device, int pixels) {
    return fromPixels(pixels, device.logicalDpiX());
}

} // namespace Twips
