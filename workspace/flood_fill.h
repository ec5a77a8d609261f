#pragma once

#include <QImage>
#include <QRgb>

namespace linoveta {

// Fill styles of a surface: 0 solid, 1 transparent, 2..7 hatchings (horizontal, vertical,
// upward diagonal, downward diagonal, cross, diagonal cross) as 8 x 8 patterns anchored at the
// image's top-left pixel.
bool FillPatternCovers(int fillStyle, int px, int py);
// The same patterns on a picture of `ratio` device pixels per logical pixel: the 8 x 8 cells are
// logical pixels, and the diagonal hatch lines are drawn at the device's resolution.
bool FillPatternCovers(int fillStyle, int px, int py, int ratio);

// Scan-line fill of every pixel 4-connected to (x, y) whose RGB is exactly `target` (alpha is
// ignored). Covered pixels get `fill`; a hatch leaves the uncovered pixels as they were. A seed
// outside the image, or on a pixel of another colour, does nothing. Returns the pixels painted.
// The hatch follows the image's device pixel ratio.
long FloodFill(QImage& image, int x, int y, QRgb target, QRgb fill, int fillStyle);

} // namespace linoveta
