#include "workspace/flood_fill.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace linoveta {

namespace {

// Which of a pixel's hatch lines a fill style paints.
bool StyleCovers(int fillStyle, bool horizontal, bool vertical, bool upward, bool downward)
{
    switch (fillStyle) {
    case 0: return true;
    case 2: return horizontal;
    case 3: return vertical;
    case 4: return upward;
    case 5: return downward;
    case 6: return horizontal || vertical;
    case 7: return upward || downward;
    default: return false; // 1 (transparent) and anything unknown paint nothing
    }
}

} // namespace

bool FillPatternCovers(int fillStyle, int px, int py)
{
    const int cx = px & 7;
    const int cy = py & 7;
    const bool horizontal = cy == 0;
    const bool vertical = cx == 0;
    const bool upward = ((cx + cy) & 7) == 7;   // "/" with rows counted downwards
    const bool downward = ((cx - cy) & 7) == 0; // "\"
    return StyleCovers(fillStyle, horizontal, vertical, upward, downward);
}

bool FillPatternCovers(int fillStyle, int px, int py, int ratio)
{
    if (ratio <= 1)
        return FillPatternCovers(fillStyle, px, py);
    // The device pixel's centre in logical pixels; a hatch line is the band of centres within
    // one logical pixel of the line the ratio-1 pattern draws.
    const double u = (px + 0.5) / ratio;
    const double v = (py + 0.5) / ratio;
    auto band = [](double t) { return t - 8.0 * std::floor(t / 8.0) < 1.0; };
    const bool horizontal = band(v);
    const bool vertical = band(u);
    const bool upward = band(u + v + 0.5);
    const bool downward = band(u - v + 0.5);
    return StyleCovers(fillStyle, horizontal, vertical, upward, downward);
}

namespace {

struct Span {
    int y;
    int left;
    int right;
};

} // namespace

long FloodFill(QImage& image, int x, int y, QRgb target, QRgb fill, int fillStyle)
{
    if (image.isNull() || x < 0 || y < 0 || x >= image.width() || y >= image.height())
        return 0;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied) {
        QImage converted = image.convertToFormat(QImage::Format_RGB32);
        const long painted = FloodFill(converted, x, y, target, fill, fillStyle);
        if (painted > 0)
            image = converted.convertToFormat(image.format());
        return painted;
    }

    const int width = image.width();
    const int height = image.height();
    const int ratio = std::max(1, static_cast<int>(std::lround(image.devicePixelRatio())));
    const QRgb wanted = target & RGB_MASK;
    const QRgb paint = (fill & RGB_MASK) | 0xff000000u;
    auto row = [&](int r) { return reinterpret_cast<QRgb*>(image.scanLine(r)); };
    // Visited pixels are marked here, not by their colour: a hatch or a fill in the target
    // colour would otherwise be filled again for ever.
    std::vector<std::uint8_t> visited(static_cast<std::size_t>(width) * height, 0);
    auto open = [&](int px, int py, const QRgb* line) {
        return !visited[static_cast<std::size_t>(py) * width + px] && (line[px] & RGB_MASK) == wanted;
    };

    if (!open(x, y, row(y)))
        return 0;

    long painted = 0;
    std::vector<Span> pending;
    auto scanRow = [&](int r, int from, int to) {
        // Queues every open run of row r that touches columns from..to.
        if (r < 0 || r >= height)
            return;
        const QRgb* line = row(r);
        int c = from;
        while (c <= to) {
            if (!open(c, r, line)) {
                ++c;
                continue;
            }
            pending.push_back({r, c, c});
            while (c <= to && open(c, r, line))
                ++c;
        }
    };

    pending.push_back({y, x, x});
    while (!pending.empty()) {
        const Span seed = pending.back();
        pending.pop_back();
        QRgb* line = row(seed.y);
        if (!open(seed.left, seed.y, line))
            continue;
        int left = seed.left;
        int right = seed.left;
        while (left > 0 && open(left - 1, seed.y, line))
            --left;
        while (right + 1 < width && open(right + 1, seed.y, line))
            ++right;
        std::uint8_t* mark = &visited[static_cast<std::size_t>(seed.y) * width];
        for (int c = left; c <= right; ++c) {
            mark[c] = 1;
            if (FillPatternCovers(fillStyle, c, seed.y, ratio)) {
                line[c] = paint;
                ++painted;
            }
        }
        scanRow(seed.y - 1, left, right);
        scanRow(seed.y + 1, left, right);
    }
    return painted;
}

} // namespace linoveta
