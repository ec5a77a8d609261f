#include "workspace/point_series.h"

#include "typeset/recording_surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace linoveta;

namespace {

struct Series {
    RegressionObject fit;
    PointList points;
    Series() { fit.Degree(1); }
};

} // namespace

TEST(PointSeriesTest, FiveHundredFirstPointIsRefusedBeforeTheFit)
{
    Series s;
    for (int i = 1; i <= PointList::kCapacity; ++i)
        ASSERT_EQ(AddPoint(s.fit, s.points, i, 2.0 * i), PointEntry::Added) << i;
    const double before = s.fit.RegVal(3.0);

    EXPECT_EQ(AddPoint(s.fit, s.points, 1, 1), PointEntry::ListFull);
    EXPECT_EQ(AddTypedPoint(s.fit, s.points, "1", "1"), PointEntry::ListFull);
    EXPECT_EQ(AddClickedPoint(s.fit, s.points, 1.0f, 1.0f), PointEntry::ListFull);
    EXPECT_EQ(PointEntryMessage(PointEntry::ListFull).toStdString(), kPointListFullMessage);

    EXPECT_EQ(s.fit.XYCount(), 500);
    EXPECT_EQ(s.fit.RegVal(3.0), before);
    EXPECT_EQ(s.points(500).X, 500);
    EXPECT_EQ(s.points(500).Y, 1000);
    // Every stored point still re-fits at the highest order.
    Refit(s.fit, s.points, 10);
    EXPECT_EQ(s.fit.XYCount(), 500);
}

TEST(PointSeriesTest, PointWhosePowersWouldOverflowIsRefusedAtEntry)
{
    struct Case {
        double x, y;
        bool fits;
    };
    // x^20 * 500 and |x^10 * y| * 500 must stay finite.
    const std::array cases = {
        Case{1e15, 0, true},         Case{-1e15, 1, true},   Case{1e16, 0, false},
        Case{0.5, 1e305, true},      Case{1, 1e306, false},  Case{10, 1e295, true},
        Case{100, 1e288, false},     Case{NAN, 1, false},    Case{0, INFINITY, false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(PointFitsEveryOrder(c.x, c.y), c.fits) << c.x << ", " << c.y;
        Series s;
        EXPECT_EQ(AddPoint(s.fit, s.points, c.x, c.y),
                  c.fits ? PointEntry::Added : PointEntry::TooLarge)
            << c.x << ", " << c.y;
        EXPECT_EQ(s.fit.XYCount(), c.fits ? 1 : 0);
        if (c.fits) {
            // The order-10 sums of a full list of such points stay finite, so the re-fit agrees.
            for (int i = 1; i < PointList::kCapacity; ++i)
                AddPoint(s.fit, s.points, c.x, c.y);
            EXPECT_NO_THROW(Refit(s.fit, s.points, 10));
            EXPECT_EQ(s.fit.XYCount(), PointList::kCapacity);
        }
    }
}

TEST(PointSeriesTest, TypedEntriesUseTheLocaleOfTheNumericTest)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    struct Case {
        const char *x, *y;
        const QLocale *locale;
        PointEntry result;
        double wantX, wantY;
    };
    const std::array cases = {
        Case{"1.5", "2", &english, PointEntry::Added, 1.5, 2},
        Case{"1,5", "2", &german, PointEntry::Added, 1.5, 2},
        Case{"-0,25", "1E3", &german, PointEntry::Added, -0.25, 1000},
        Case{" 3 ", "4", &english, PointEntry::Added, 3, 4},
        Case{"abc", "2", &english, PointEntry::NotNumbers, 0, 0},
        Case{"1", "", &english, PointEntry::NotNumbers, 0, 0},
        Case{"inf", "1", &english, PointEntry::NotNumbers, 0, 0},
        Case{"nan", "1", &english, PointEntry::NotNumbers, 0, 0},
        Case{"1e400", "1", &english, PointEntry::NotNumbers, 0, 0},
        Case{"2", "1e306", &english, PointEntry::TooLarge, 0, 0},
    };
    for (const Case &c : cases) {
        Series s;
        EXPECT_EQ(AddTypedPoint(s.fit, s.points, c.x, c.y, *c.locale), c.result) << c.x;
        if (c.result == PointEntry::Added) {
            ASSERT_EQ(s.fit.XYCount(), 1) << c.x;
            EXPECT_EQ(s.points(1).X, c.wantX) << c.x;
            EXPECT_EQ(s.points(1).Y, c.wantY) << c.x;
        } else {
            EXPECT_EQ(s.fit.XYCount(), 0) << c.x;
        }
    }
    EXPECT_EQ(PointEntryMessage(PointEntry::NotNumbers), "X and Y must be numbers.");
}

TEST(PointSeriesTest, ClickedPointIsRoundedToWholeNumbersHalvesToEven)
{
    Series s;
    const std::array<std::array<float, 4>, 4> clicks = {{
        {2.5f, -1.4f, 2, -1},
        {3.5f, 0.6f, 4, 1},
        {-0.4f, -2.5f, 0, -2},
        {7.49f, 19.51f, 7, 20},
    }};
    for (const auto &c : clicks)
        ASSERT_EQ(AddClickedPoint(s.fit, s.points, c[0], c[1]), PointEntry::Added);
    ASSERT_EQ(s.fit.XYCount(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.points(i + 1).X, clicks[i][2]) << i;
        EXPECT_EQ(s.points(i + 1).Y, clicks[i][3]) << i;
    }
    EXPECT_FALSE(std::signbit(s.points(3).X)) << "a click just left of 0 lists 0, not -0";
}

TEST(PointSeriesTest, RefitKeepsEveryPointAndFitsTheNewTrend)
{
    Series s;
    // On y = x^3 - x: the line through them is y = 1.6x at these x, the cubic is exact.
    for (double x : {-2.0, -1.0, 0.0, 1.0, 2.0, 2.0})
        AddPoint(s.fit, s.points, x, x * x * x - x);
    EXPECT_EQ(TrendDegree(true, "3"), 1);
    EXPECT_EQ(TrendDegree(false, "3"), 3);
    EXPECT_EQ(TrendDegree(false, "10"), 10);

    struct Step {
        int degree;
        double valueAt3;
    };
    for (const Step step : {Step{3, 24}, Step{1, -1}, Step{2, -1}, Step{3, 24}}) {
        Refit(s.fit, s.points, TrendDegree(step.degree == 1, QString::number(step.degree)));
        EXPECT_EQ(s.fit.Degree(), step.degree);
        ASSERT_EQ(s.fit.XYCount(), 6);
        for (int i = 1; i <= 6; ++i) {
            const double x = std::array{-2.0, -1.0, 0.0, 1.0, 2.0, 2.0}[i - 1];
            EXPECT_EQ(s.points(i).X, x);
            EXPECT_EQ(s.points(i).Y, x * x * x - x);
        }
        if (step.degree == 3) {
            EXPECT_NEAR(s.fit.RegVal(3.0), step.valueAt3, 1e-9);
        }
    }
    // The same point entered twice counts twice: the line is pulled towards (2, 6).
    Refit(s.fit, s.points, 1);
    RegressionObject once;
    once.Degree(1);
    for (double x : {-2.0, -1.0, 0.0, 1.0, 2.0})
        once.XYAdd(x, x * x * x - x);
    EXPECT_GT(s.fit.RegVal(2.0), once.RegVal(2.0));
}

TEST(PointSeriesTest, GridNumbersUseTheLocaleText)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(PointNumberText(1.5, english), "1.5");
    EXPECT_EQ(PointNumberText(1.5, german), "1,5");
    EXPECT_EQ(PointNumberText(-0.0, english), "0");
    EXPECT_EQ(PointNumberText(-3, english), "-3");
    EXPECT_EQ(PointNumberText(1e20, english), "1E+20");
    EXPECT_EQ(PointNumberText(0.1 + 0.2, english), "0.3");
}

class DrawPointSeriesTest : public ::testing::Test
{
protected:
    DrawPointSeriesTest() : surface(QSizeF(400, 400)) { surface.setScale(-20, 20, 40, -40); }

    std::vector<RecordedCall> callsOf(RecordedCall::Kind kind) const
    {
        std::vector<RecordedCall> found;
        for (const RecordedCall &c : surface.calls())
            if (c.kind == kind)
                found.push_back(c);
        return found;
    }

    RecordingSurface surface;
    Series s;
    PlotSpan span{-20, -20, 20, 0.5};
    PointSeriesStyle style{255, 0xFF0000, 3, FillSolid};
};

TEST_F(DrawPointSeriesTest, EmptySeriesDrawsNothing)
{
    DrawPointSeriesOn(surface, s.fit, s.points, span, style);
    EXPECT_TRUE(surface.calls().empty());
}

TEST_F(DrawPointSeriesTest, DrawsTheSampledFitAndACircleRoundEveryPoint)
{
    AddTypedPoint(s.fit, s.points, "1.5", "2", QLocale::c());
    AddPoint(s.fit, s.points, -2, -5);
    AddPoint(s.fit, s.points, -2, -5); // listed and drawn twice
    DrawPointSeriesOn(surface, s.fit, s.points, span, style);

    const auto lines = callsOf(RecordedCall::Line);
    ASSERT_EQ(lines.size(), 81u); // x = -20, -19.5, ..., 20
    EXPECT_NEAR(lines.front().x, -20, 1e-6);
    EXPECT_NEAR(lines.front().y, s.fit.RegVal(-20.0), 1e-4);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].colour, 255);
        EXPECT_NEAR(lines[i].x, lines[i - 1].x2, 1e-9) << "each segment starts at the pen";
        EXPECT_NEAR(lines[i].y2, s.fit.RegVal(lines[i].x2), 1e-4);
    }
    EXPECT_NEAR(lines.back().x2, 20, 1e-6);

    const auto circles = callsOf(RecordedCall::Circle);
    ASSERT_EQ(circles.size(), 3u);
    const std::array<std::array<double, 2>, 3> at = {{{1.5, 2}, {-2, -5}, {-2, -5}}};
    for (std::size_t i = 0; i < circles.size(); ++i) {
        EXPECT_NEAR(circles[i].x, at[i][0], 1e-6);
        EXPECT_NEAR(circles[i].y, at[i][1], 1e-6);
        EXPECT_NEAR(circles[i].x2, 0.2, 1e-6);
        EXPECT_EQ(circles[i].colour, 0xFF0000);
    }
    EXPECT_EQ(surface.fillColor(), 0xFF0000);
    EXPECT_EQ(surface.fillStyle(), FillSolid);
    EXPECT_EQ(surface.drawWidth(), 3);
}

TEST_F(DrawPointSeriesTest, OnePointGivesTheHorizontalLineThroughIt)
{
    AddPoint(s.fit, s.points, 3, 7);
    DrawPointSeriesOn(surface, s.fit, s.points, span, style);
    for (const RecordedCall &line : callsOf(RecordedCall::Line)) {
        EXPECT_NEAR(line.y, 7, 1e-6);
        EXPECT_NEAR(line.y2, 7, 1e-6);
    }
}
