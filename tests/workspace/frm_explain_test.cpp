#include "workspace/dialogs/frm_explain.h"

#include "typeset/fonts.h"
#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"
#include "workspace/regression_object.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTest>

#include <array>
#include <string>

using namespace linoveta;

namespace {

// The recording surface's characters are FontSize / 2 pixels wide: at 12 points that is
// 6 pixels, 4.5 points, so a 469-pixel window (351.75 points) holds 78 of them.
struct EquationSurface : RecordingSurface {
    explicit EquationSurface(double widthPixels = 469) : RecordingSurface(QSizeF(widthPixels, 2000))
    {
        setFontName(QStringLiteral("Book Antiqua"));
        setFontSize(12);
        setFontBold(true);
    }
};

std::vector<RecordedCall> TextCalls(const RecordingSurface &surface)
{
    std::vector<RecordedCall> texts;
    for (const RecordedCall &c : surface.calls())
        if (c.kind == RecordedCall::Text)
            texts.push_back(c);
    return texts;
}

QString Repeat(char c, int n) { return QString(n, QLatin1Char(c)); }

class QuietTypesetter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sink.setRoute([this](const QString &m) { messages.append(m); });
    }
    QStringList messages;
    FormulaMessageSink sink;
};

} // namespace

struct WrapCase {
    const char *what;
    double widthPixels;
    QString text;
    QStringList lines;
};

using LayoutEquationTest = QuietTypesetter;

TEST_F(LayoutEquationTest, BreaksAtTheLastBlankBeforeTheOverflow)
{
    const QString word = Repeat('7', 37); // 37 + 1 + 37 = 75 characters fit, 113 do not
    const std::array cases = {
        WrapCase{"a short equation is one line", 469, "f(x) =  2x + 1", {"f(x) =  2x + 1"}},
        WrapCase{"no points", 469, "f(x) =", {"f(x) ="}},
        WrapCase{"exactly the width still fits", 469, Repeat('1', 78), {Repeat('1', 78)}},
        WrapCase{"the blank at the cut goes to neither line", 469,
                 word + " " + word + " " + word, {word + " " + word, word}},
        WrapCase{"only the blank at the cut is dropped; the rest loses its leading blanks", 469,
                 word + " " + word + "   - " + word, {word + " " + word + "  ", "- " + word}},
        WrapCase{"blanks after the cut start no line", 469,
                 word + " " + word + "  " + Repeat('8', 5) + "   - " + word,
                 {word + " " + word + " ", Repeat('8', 5) + "   - " + word}},
        WrapCase{"a run without blanks breaks before the overflowing character", 469,
                 "=" + Repeat('1', 200), {"=" + Repeat('1', 77), Repeat('1', 78), Repeat('1', 45)}},
        WrapCase{"a character wider than the window still takes a line", 4, "ab c",
                 {"a", "b", "c"}},
        WrapCase{"a blank first character does not make an empty line", 12, " abc",
                 {" a", "bc"}},
    };
    for (const WrapCase &c : cases) {
        EquationSurface surface(c.widthPixels);
        const EquationLayout layout = LayoutEquation(surface, c.text, sink);
        EXPECT_EQ(layout.lines, c.lines) << c.what;
        EXPECT_EQ(surface.scaleMode(), ScaleMode::Pixels) << c.what;
    }
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

TEST_F(LayoutEquationTest, OrderTenEquationWrapsDrawsInBlueAndCountsEveryLine)
{
    RegressionObject fit;
    fit.Degree(10);
    for (int i = 0; i < 15; ++i)
        fit.XYAdd(i / 7.0, 1.0 / (i + 3.0));
    fit.RegVal(0.0);
    const QString text = QString::fromStdString(fit.ReturnRegEq());
    ASSERT_GT(text.size(), 200) << text.toStdString();

    EquationSurface surface;
    const EquationLayout layout = LayoutEquation(surface, text, sink);
    ASSERT_GE(layout.lines.size(), 3);
    QString joined;
    for (qsizetype k = 0; k < layout.lines.size(); ++k) {
        const QString &line = layout.lines[k];
        EXPECT_LE(line.size(), 78) << line.toStdString();
        EXPECT_FALSE(line.endsWith(' ')) << line.toStdString();
        EXPECT_FALSE(line.startsWith(' ')) << line.toStdString();
        if (k + 1 < layout.lines.size()) {
            // The next term would not have fitted on this line.
            const QString next = layout.lines[k + 1].section(' ', 0, 0);
            EXPECT_GT(line.size() + 1 + next.size(), 78) << line.toStdString();
        }
        joined += (k ? " " : "") + line;
    }
    EXPECT_EQ(joined.simplified(), text.simplified());

    const auto texts = TextCalls(surface);
    ASSERT_FALSE(texts.empty());
    double lowest = 0;
    for (const RecordedCall &t : texts) {
        if (t.text.trimmed().isEmpty())
            continue;
        EXPECT_EQ(t.colour, 0xFF0000) << t.text.toStdString();
        lowest = std::max(lowest, t.y + t.fontSize * 1.5 * 0.75); // line height in points
    }
    EXPECT_LE(lowest * kTwipsPerPoint, layout.heightTwips) << "the last line is inside the window";
    EXPECT_TRUE(messages.isEmpty()) << messages.join("; ").toStdString();
}

using frmExplainTest = QuietTypesetter;

TEST_F(frmExplainTest, CaptionFollowsTheTrendTypeAndHeightFollowsTheLines)
{
    registerApplicationFonts();
    frmExplain shortWindow(sink), longWindow(sink);
    shortWindow.Form_Load("f(x) =  2x + 1", true);
    EXPECT_EQ(shortWindow.windowTitle(), "Linear Regression Equation");
    EXPECT_EQ(shortWindow.layout().lines, QStringList{"f(x) =  2x + 1"});
    EXPECT_EQ(shortWindow.width(), 469);

    QString longText = "f(x) =";
    for (int k = 10; k >= 2; --k)
        longText += QString(" - 0.123456789012345x^%1^").arg(k);
    longText += " + 0.123456789012345x + 1.23456789012345";
    longWindow.Form_Load(longText, false);
    EXPECT_EQ(longWindow.windowTitle(), "Polynomial Regression Equation");
    EXPECT_GE(longWindow.layout().lines.size(), 3);
    EXPECT_GT(longWindow.height(), shortWindow.height());
    EXPECT_EQ(longWindow.height(), int(std::ceil(longWindow.layout().heightTwips / 15)));

    // On the real picture the blue ink of the last line ends above the window's bottom edge.
    const QImage &image = longWindow.surface().image();
    EXPECT_EQ(image.height(), longWindow.height());
    int lowestInk = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 100 && c.green() < 100)
                lowestInk = y;
        }
    EXPECT_GT(lowestInk, 2 * image.height() / 3) << "the lines fill the window";
    EXPECT_LT(lowestInk, image.height() - 5);
}

TEST_F(frmExplainTest, HeightIsThreeAndAHalfFontSizesPlusTheLinesAtFifteenTwipsAPoint)
{
    registerApplicationFonts();
    QString fourLines = "f(x) =";
    for (int k = 11; k >= 2; --k)
        fourLines += QString(" - 0.12345678901x^%1^").arg(k);
    const struct {
        QString text;
        qsizetype lines;
        int heightPixels;
    } cases[] = {
        {"f(x) =  2x + 1", 1, 57},
        {fourLines, 4, 101},
    };
    for (const auto &c : cases) {
        frmExplain window(sink);
        window.Form_Load(c.text, false);
        ASSERT_EQ(window.layout().lines.size(), c.lines) << c.text.toStdString();
        EXPECT_EQ(window.height(), c.heightPixels) << c.lines << " lines";
    }
}

TEST_F(frmExplainTest, LosingTheFocusUnloadsTheWindow)
{
    QPointer<frmExplain> window = frmExplain::ShowEquation("f(x) =  7", true, sink);
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->isVisible());
    window->Form_LostFocus();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// Escape closes the window as a click elsewhere does; other keys leave it open.
TEST_F(frmExplainTest, EscapeClosesTheWindow)
{
    struct Case {
        const char *what;
        Qt::Key key;
        bool closes;
    };
    const Case cases[] = {
        {"Escape", Qt::Key_Escape, true},
        {"Enter", Qt::Key_Return, false},
        {"a letter", Qt::Key_A, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QPointer<frmExplain> window = frmExplain::ShowEquation("f(x) =  7", true, sink);
        ASSERT_TRUE(window);
        QApplication::setActiveWindow(window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        // Delivered as the desktop delivers keys: to the active window, which has no controls.
        QTest::keyClick(QApplication::activeWindow(), c.key);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(window.isNull(), c.closes);
        delete window.data();
    }
}
