#include "workspace/flood_fill.h"

#include <QImage>
#include <array>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using linoveta::FloodFill;

constexpr QRgb kWhite = 0xffffffff;
constexpr QRgb kWall = 0xff000000;
constexpr QRgb kFill = 0xff808080;

// '#' is a wall, '.' white, 'w' near-white (254,255,255), which is a wall for a fill of white.
QImage FromRows(const std::vector<std::string>& rows)
{
    QImage image(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const char c = rows[y][x];
            image.setPixel(x, y, c == '#' ? kWall : c == 'w' ? qRgb(254, 255, 255) : kWhite);
        }
    return image;
}

std::vector<std::string> ToRows(const QImage& image)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) & RGB_MASK;
            row += p == (kWall & RGB_MASK) ? '#' : p == (kWhite & RGB_MASK) ? '.' : p == (kFill & RGB_MASK) ? 'o' : 'w';
        }
        rows.push_back(row);
    }
    return rows;
}

struct FillCase {
    const char* what;
    std::vector<std::string> before;
    int x, y, style;
    std::vector<std::string> after;
};

TEST(FloodFillTest, FillsTheSeedsRegionOnly)
{
    const std::array<FillCase, 5> cases{{
        {"closed box",
         {"........", ".####...", ".#..#...", ".#..#...", ".####...", "........"}, 2, 2, 0,
         {"........", ".####...", ".#oo#...", ".#oo#...", ".####...", "........"}},
        {"outside the box fills around it",
         {"......", ".###..", ".#.#..", ".###..", "......"}, 0, 0, 0,
         {"oooooo", "o###oo", "o#.#oo", "o###oo", "oooooo"}},
        {"a diagonal wall holds a 4-connected fill",
         {"#.....", ".#....", "..#...", "...#..", "....#.", ".....#"}, 0, 5, 0,
         {"#.....", "o#....", "oo#...", "ooo#..", "oooo#.", "ooooo#"}},
        {"near-white is a wall too",
         {"..w...", "..w...", "..w..."}, 0, 1, 0,
         {"oow...", "oow...", "oow..."}},
        {"seed on a wall does nothing",
         {"..#..", "..#.."}, 2, 0, 0,
         {"..#..", "..#.."}},
    }};
    for (const auto& c : cases) {
        QImage image = FromRows(c.before);
        FloodFill(image, c.x, c.y, kWhite, kFill, c.style);
        EXPECT_EQ(ToRows(image), c.after) << c.what;
    }
}

TEST(FloodFillTest, SeedOutsideTheImageDoesNothing)
{
    for (auto [x, y] : std::array<std::pair<int, int>, 4>{{{-1, 0}, {0, -1}, {8, 0}, {0, 8}}}) {
        QImage image = FromRows(std::vector<std::string>(8, "........"));
        EXPECT_EQ(FloodFill(image, x, y, kWhite, kFill, 0), 0);
        EXPECT_EQ(ToRows(image), std::vector<std::string>(8, "........"));
    }
}

TEST(FloodFillTest, HatchesAreEightByEightPatternsAndTransparentPaintsNothing)
{
    struct Case {
        int style;
        std::vector<std::string> firstRows; // rows 0..1 of a 10 x 9 white image after the fill
        long painted;
    };
    const std::array<Case, 4> cases{{
        {1, {"..........", ".........."}, 0},
        {2, {"oooooooooo", ".........."}, 20},            // rows 0 and 8
        {3, {"o.......o.", "o.......o."}, 18},            // columns 0 and 8
        {5, {"o.......o.", ".o.......o"}, 12},            // "\\" diagonals
    }};
    for (const auto& c : cases) {
        QImage image = FromRows(std::vector<std::string>(9, ".........."));
        const long painted = FloodFill(image, 4, 4, kWhite, kFill, c.style);
        const auto rows = ToRows(image);
        EXPECT_EQ(rows[0], c.firstRows[0]) << c.style;
        EXPECT_EQ(rows[1], c.firstRows[1]) << c.style;
        EXPECT_EQ(painted, c.painted) << c.style;
    }
}

TEST(FloodFillTest, AHatchInsideAClosedBoxStaysInsideAndEnds)
{
    QImage image = FromRows({"##########", "#........#", "#........#", "#........#", "##########"});
    FloodFill(image, 3, 2, kWhite, kWhite, 0); // filling white with white must still end
    FloodFill(image, 3, 2, kWhite, kFill, 6);
    const auto rows = ToRows(image);
    EXPECT_EQ(rows[0], "##########");
    EXPECT_EQ(rows[1], "#.......o#"); // column 8 of the cross hatch; column 0 is the wall
    EXPECT_EQ(rows[4], "##########");
}

TEST(FloodFillTest, WorksOnOtherImageFormats)
{
    QImage image = FromRows({"....", ".##.", "...."}).convertToFormat(QImage::Format_RGB888);
    EXPECT_EQ(FloodFill(image, 0, 0, kWhite, kFill, 0), 10);
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(image.pixel(3, 2) & RGB_MASK, kFill & RGB_MASK);
    EXPECT_EQ(image.pixel(1, 1) & RGB_MASK, kWall & RGB_MASK);
}

} // namespace
