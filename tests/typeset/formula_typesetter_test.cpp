#include "typeset/formula_typesetter.h"
#include "typeset/recording_surface.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <string>
#include <vector>

// The recording surface's characters are FontSize / 2 wide: 6 units at size 12, 4 at size 8.
// Each log row is "'text' x,y size colour"; "end" is a line end, "page" a new page.
namespace {

constexpr RgbValue kRed = 255;
constexpr RgbValue kBlue = 0xFF0000;

struct Case
{
    const char *what;
    const char *text;
    std::vector<const char *> log;
};

QStringList toList(const std::vector<const char *> &rows)
{
    QStringList list;
    for (const char *row : rows)
        list << QString::fromUtf8(row);
    return list;
}

std::string joined(const QStringList &rows) { return rows.join(QLatin1Char('\n')).toStdString(); }

class TypesetterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        sink.setRoute([this](const QString &message) { messages << message; });
    }

    // A formula box: pixels, TalvoranFont 12, cleared.
    static void prepareScreen(RecordingSurface &surface)
    {
        surface.setScaleMode(ScaleMode::Pixels);
        surface.setFontName(QStringLiteral("TalvoranFont"));
        surface.setFontSize(12);
        surface.cls();
        surface.clearLog();
    }

    QStringList messages;
    FormulaMessageSink sink;
};

const QString kError = QString::fromLatin1(kFormulaErrorMessage);

TEST_F(TypesetterTest, ScreenLines)
{
    const std::vector<Case> cases = {
        {"an empty text prints two spaces, then a space and a line end", "",
         {"'  ' 0,0 12 0", "' ' 12,11 12 0", "end"}},
        {"S, C and T are spelled out; lower case is left alone", "S(x)+Cs",
         {"'  ' 0,0 12 0", "'s' 12,11 12 0", "'i' 18,11 12 0", "'n' 24,11 12 0",
          "'(' 30,11 12 0", "'x' 36,11 12 0", "')' 42,11 12 0", "'+' 48,11 12 0",
          "'c' 54,11 12 0", "'o' 60,11 12 0", "'s' 66,11 12 0", "'s' 72,11 12 0",
          "' ' 78,11 12 0", "end"}},
        {"an exponent is size 8, raised by 0.2 x 8, and the line returns to the baseline",
         "x^2^+1",
         {"'  ' 0,0 12 0", "'x' 12,11 12 0", "'2' 18,9.4 8 0", "'+' 22,11 12 0",
          "'1' 28,11 12 0", "' ' 34,11 12 0", "end"}},
        {"an exponent not typed yet shows a raised ?", "x^?^",
         {"'  ' 0,0 12 0", "'x' 12,11 12 0", "'?' 18,9.4 8 0", "' ' 22,11 12 0", "end"}},
        {"fraction marks and colour switches inside an exponent are printed", "x^#[]^",
         {"'  ' 0,0 12 0", "'x' 12,11 12 0", "'#' 18,9.4 8 0", "'[' 22,9.4 8 0",
          "']' 26,9.4 8 0", "' ' 30,11 12 0", "end"}},
        {"a square root: two spaces, the radicand, the bar from X0 + 6 up 18, the sign",
         "~2~",
         {"'  ' 0,0 12 0", "'  ' 12,11 12 0", "'2' 24,11 12 0", "'_' 18,-7 12 0",
          "'_' 24,-7 12 0", "'~' 10,9 12 0", "end", "' ' 30,11 12 0", "end"}},
        {"a fraction inside a root: the tall sign and a bar 7 units higher", "~#1/2#~",
         {"'  ' 0,0 12 0", "'  ' 12,11 12 0", "'1' 24,3.8 12 0", "'2' 24,24.2 12 0",
          "'_' 24,3.8 12 0", "'_' 18,-14 12 0", "'_' 24,-14 12 0", "'&' 14,2 12 0",
          "'~' 6,18 12 0", "end", "' ' 30,11 12 0", "end"}},
        {"a root inside an exponent takes its bar offsets at size 8, the sign's are fixed",
         "x^~2~^",
         {"'  ' 0,0 12 0", "'x' 12,11 12 0", "'  ' 18,9.4 8 0", "'2' 26,9.4 8 0",
          "'_' 22,-2.6 8 0", "'_' 26,-2.6 8 0", "'~' 16,7.4 8 0", "end", "' ' 30,11 12 0",
          "end"}},
        {"the last top-level / splits; the narrower part gets a leading space", "#1/2/3#",
         {"'  ' 0,0 12 0", "'1' 12,3.8 12 0", "'/' 18,3.8 12 0", "'2' 24,3.8 12 0",
          "' ' 12,24.2 12 0", "'3' 18,24.2 12 0", "'_' 12,3.8 12 0", "'_' 18,3.8 12 0",
          "'_' 24,3.8 12 0", "' ' 30,11 12 0", "end"}},
        {"a wider denominator: the numerator gets the spaces, the bar spans the denominator",
         "#1/234#",
         {"'  ' 0,0 12 0", "' ' 12,3.8 12 0", "'1' 18,3.8 12 0", "'2' 12,24.2 12 0",
          "'3' 18,24.2 12 0", "'4' 24,24.2 12 0", "'_' 12,3.8 12 0", "'_' 18,3.8 12 0",
          "'_' 24,3.8 12 0", "' ' 30,11 12 0", "end"}},
        {"equal estimates: no spaces, and the bar spans the numerator", "#1/2#",
         {"'  ' 0,0 12 0", "'1' 12,3.8 12 0", "'2' 12,24.2 12 0", "'_' 12,3.8 12 0",
          "' ' 18,11 12 0", "end"}},
        {"exponent characters count a twelfth of their width: 1.0 against 0.6 rounds to 0",
         "#^23^/x#",
         {"'  ' 0,0 12 0", "'2' 12,2.2 8 0", "'3' 16,2.2 8 0", "'x' 12,24.2 12 0",
          "'_' 12,3.8 12 0", "'_' 18,3.8 12 0", "' ' 24,11 12 0", "end"}},
        {"a / inside parentheses does not split: nothing is drawn", "#(1/2)#",
         {"'  ' 0,0 12 0", "' ' 12,11 12 0", "end"}},
        {"a / inside absolute bars does not split either", "#|1/2|#",
         {"'  ' 0,0 12 0", "' ' 12,11 12 0", "end"}},
        {"[ turns red until ], and the colour holds across groups", "[x^2^]1",
         {"'  ' 0,0 12 0", "'x' 12,11 12 255", "'2' 18,9.4 8 255", "'1' 22,11 12 0",
          "' ' 28,11 12 0", "end"}},
        {"a colour switch inside a root", "~[2]3~",
         {"'  ' 0,0 12 0", "'  ' 12,11 12 0", "'2' 24,11 12 255", "'3' 30,11 12 0",
          "'_' 18,-7 12 0", "'_' 24,-7 12 0", "'_' 30,-7 12 0", "'~' 10,9 12 0", "end",
          "' ' 36,11 12 0", "end"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface surface;
        prepareScreen(surface);
        basFprint::PrintFormula(QString::fromUtf8(c.text), surface, sink, false);
        EXPECT_EQ(joined(surface.printLog()), joined(toList(c.log)));
        EXPECT_EQ(surface.fontSize(), 12);
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TypesetterTest, ScreenErrorsShowTheMessageAndLeaveWhatWasDrawn)
{
    const std::vector<Case> cases = {
        {"a line over 3000 characters draws only the two spaces", nullptr,
         {"'  ' 0,0 12 0"}},
        {"an unclosed exponent", "x^2", {"'  ' 0,0 12 0", "'x' 12,11 12 0"}},
        {"an unclosed root inside an exponent, raised at size 8", "x^~2^",
         {"'  ' 0,0 12 0", "'x' 12,11 12 0"}},
        {"an unclosed fraction inside a root", "~#1/2~",
         {"'  ' 0,0 12 0", "'  ' 12,11 12 0"}},
        {"an exponent group over 250 characters", "x^LONG^", {"'  ' 0,0 12 0", "'x' 12,11 12 0"}},
        {"a numerator over 250 characters", "1#LONG/2#", {"'  ' 0,0 12 0", "'1' 12,11 12 0"}},
    };
    const QString overLong(251, QLatin1Char('9'));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        messages.clear();
        RecordingSurface surface;
        prepareScreen(surface);
        // 1001 "S" pass the 3000 characters only once spelled out.
        QString text = c.text ? QString::fromUtf8(c.text) : QString(1001, QLatin1Char('S'));
        text.replace(QStringLiteral("LONG"), overLong);
        basFprint::PrintFormula(text, surface, sink, false);
        EXPECT_EQ(joined(surface.printLog()), joined(toList(c.log)));
        EXPECT_EQ(messages, QStringList{kError});
        EXPECT_EQ(surface.fontSize(), 12);
    }
}

TEST_F(TypesetterTest, LimitsAreInclusive)
{
    for (const QString &text : {QString(3000, QLatin1Char('1')),
                                QStringLiteral("x^") + QString(250, QLatin1Char('2')) + "^",
                                QStringLiteral("~") + QString(250, QLatin1Char('2')) + "~",
                                QStringLiteral("#") + QString(250, QLatin1Char('1')) + "/2#"}) {
        RecordingSurface surface;
        prepareScreen(surface);
        basFprint::PrintFormula(text, surface, sink, false);
        EXPECT_EQ(surface.printLog().last(), QStringLiteral("end"));
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TypesetterTest, ScreenWrapOnlyWhenAsked)
{
    // 60 pixels wide: the wrap comes once a character ends past 60 - 20.
    RecordingSurface wrapped(QSizeF(60, 40));
    prepareScreen(wrapped);
    basFprint::PrintFormula(QStringLiteral("abcdefg"), wrapped, sink, true);
    EXPECT_EQ(joined(wrapped.printLog()),
              joined(toList({"'  ' 0,0 12 0", "'a' 12,11 12 0", "'b' 18,11 12 0", "'c' 24,11 12 0",
                             "'d' 30,11 12 0", "'e' 36,11 12 0", "'...' 42,11 12 0",
                             "'f' 29,25 12 0", "'g' 35,25 12 0", "'...' 41,25 12 0",
                             "' ' 29,39 12 0", "end"})));

    RecordingSurface unwrapped(QSizeF(60, 40));
    prepareScreen(unwrapped);
    basFprint::PrintFormula(QStringLiteral("abcdefg"), unwrapped, sink, false);
    EXPECT_FALSE(unwrapped.printLog().join(QString()).contains(QStringLiteral("...")));
    EXPECT_EQ(unwrapped.printLog().at(unwrapped.printLog().size() - 2),
              QStringLiteral("' ' 54,11 12 0"));
}

// A font whose bar has no width: the bar loops must still end.
class ZeroWidthBarSurface : public RecordingSurface
{
protected:
    QSizeF deviceTextSize(const QString &text) const override
    {
        if (text == QStringLiteral("_"))
            return QSizeF(0, fontSize() * 1.5);
        return RecordingSurface::deviceTextSize(text);
    }
};

TEST_F(TypesetterTest, BarsStopWhenThePositionNoLongerAdvances)
{
    for (const char *text : {"~2~", "#1/2#"}) {
        SCOPED_TRACE(text);
        ZeroWidthBarSurface surface;
        prepareScreen(surface);
        basFprint::PrintFormula(QString::fromUtf8(text), surface, sink, false);
        EXPECT_EQ(surface.printLog().filter(QStringLiteral("'_'")).size(), 1);
        EXPECT_EQ(surface.printLog().last(), QStringLiteral("end"));
    }
}

class PrinterTypesetterTest : public TypesetterTest
{
protected:
    // The print-out's page: 800 x 600 units, TalvoranFont 12.
    static void preparePage(RecordingSurface &surface)
    {
        surface.setScale(0, 0, 800, 600);
        surface.setFontName(QStringLiteral("TalvoranFont"));
        surface.setFontSize(12);
        surface.setForeColor(0x00FF00);
    }
};

TEST_F(PrinterTypesetterTest, Lines)
{
    struct PrinterCase
    {
        const char *what;
        const char *text;
        bool colourOn;
        double startX, startY;
        std::vector<const char *> log;
    };
    const std::vector<PrinterCase> cases = {
        {"no leading spaces; 12 right and down; the line in its colour", "f(x)=1", true, 0, 0,
         {"'f' 12,12 12 33023", "'(' 18,12 12 33023", "'x' 24,12 12 33023",
          "')' 30,12 12 33023", "'=' 36,12 12 33023", "'1' 42,12 12 33023",
          "' ' 48,12 12 33023", "end"}},
        {"with colour off the line is black and ] sets black", "[1]2", false, 0, 0,
         {"'1' 12,12 12 255", "'2' 18,12 12 0", "' ' 24,12 12 0", "end"}},
        {"with colour on, [ turns red and ] turns blue, not back to the colour", "[1]2", true,
         0, 0, {"'1' 12,12 12 255", "'2' 18,12 12 16711680", "' ' 24,12 12 16711680", "end"}},
        {"] inside a root is always blue", "~[2]3~", false, 0, 0,
         {"'  ' 12,12 12 0", "'2' 24,12 12 255", "'3' 30,12 12 16711680", "'_' 18,0 12 16711680",
          "'_' 24,0 12 16711680", "'_' 30,0 12 16711680", "'~' 10,10 12 16711680", "end",
          "' ' 36,12 12 16711680", "end"}},
        {"an exponent is size 8, raised by 1", "x^2^", false, 0, 0,
         {"'x' 12,12 12 0", "'2' 18,11 8 0", "' ' 22,12 12 0", "end"}},
        {"a root: bar 12 up from X0 + 6, the sign at X0 - 2, Y0 - 2", "~2~", false, 0, 0,
         {"'  ' 12,12 12 0", "'2' 24,12 12 0", "'_' 18,0 12 0", "'_' 24,0 12 0",
          "'~' 10,10 12 0", "end", "' ' 30,12 12 0", "end"}},
        {"a fraction in a root: the radicand goes on on the numerator's line", "~#1/2#3~", false,
         0, 0,
         {"'  ' 12,12 12 0", "'1' 24,7 12 0", "'2' 24,21 12 0", "'_' 24,7 12 0",
          "'3' 30,7 12 0", "'_' 18,-5 12 0", "'_' 24,-5 12 0", "'_' 30,-5 12 0",
          "'&' 13,5 12 0", "'~' 5,15 12 0", "end", "' ' 36,12 12 0", "end"}},
        {"a fraction: numerator 5 up, denominator 14 below it", "#12/3#", false, 0, 0,
         {"'1' 12,7 12 0", "'2' 18,7 12 0", "' ' 12,21 12 0", "'3' 18,21 12 0",
          "'_' 12,7 12 0", "'_' 18,7 12 0", "' ' 24,12 12 0", "end"}},
        {"wrap after the first character ending past 765: ..., x 15, 12 lower", "ab", false, 750,
         0, {"'a' 762,12 12 0", "'...' 768,12 12 0", "'b' 15,24 12 0", "' ' 21,24 12 0", "end"}},
        {"a baseline past 560 starts a new page before the next plain character", "ab", false,
         0, 550, {"page", "'a' 12,24 12 0", "'b' 18,24 12 0", "' ' 24,24 12 0", "end"}},
        {"a group is drawn below 560 without a new page", "^2^a", false, 0, 550,
         {"'2' 12,561 8 0", "page", "'a' 12,24 12 0", "' ' 18,24 12 0", "end"}},
    };
    for (const PrinterCase &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface surface;
        preparePage(surface);
        surface.setCurrentX(c.startX);
        surface.setCurrentY(c.startY);
        basFPrint3::PrintFormula(QString::fromUtf8(c.text), surface, sink, c.colourOn,
                                 QStringLiteral("33023"));
        EXPECT_EQ(joined(surface.printLog()), joined(toList(c.log)));
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(PrinterTypesetterTest, FractionPartsHoldFiftyCharacters)
{
    for (int length : {50, 51}) {
        SCOPED_TRACE(length);
        messages.clear();
        RecordingSurface surface;
        preparePage(surface);
        surface.setFontSize(10);
        const QString part(length, QLatin1Char('1'));
        basFPrint3::PrintFormula(QStringLiteral("#%1/2#").arg(part), surface, sink, false,
                                 QString());
        basFPrint3::PrintFormula(QStringLiteral("#2/%1#").arg(part), surface, sink, false,
                                 QString());
        EXPECT_EQ(messages.size(), length > 50 ? 2 : 0);
        EXPECT_EQ(surface.fontSize(), length > 50 ? 12 : 10);
        EXPECT_EQ(surface.printLog().contains(QStringLiteral("end")), length == 50);
    }
}

TEST_F(TypesetterTest, RegressionWindowPieces)
{
    // The window draws in points: 0.75 of a pixel, so a size-12 character is 4.5 points wide.
    const std::vector<Case> cases = {
        {"without / the piece starts 3 points down, all in blue, the exponent at size 8",
         "2x^2^ + 1",
         {"'2' 0,3 12 16711680", "'x' 4.5,3 12 16711680", "'2' 9,1.4 8 16711680",
          "' ' 12,3 12 16711680", "'+' 16.5,3 12 16711680", "' ' 21,3 12 16711680",
          "'1' 25.5,3 12 16711680", "' ' 30,3 12 16711680", "end"}},
        {"with / the piece starts one font size down", "#1/2#",
         {"'1' 0,4.8 12 16711680", "'2' 0,25.2 12 16711680", "'_' 0,4.8 12 16711680",
          "' ' 4.5,12 12 16711680", "end"}},
        {"S is spelled out; ] sets blue", "[S]x",
         {"'s' 0,3 12 255", "'i' 4.5,3 12 255", "'n' 9,3 12 255", "'x' 13.5,3 12 16711680",
          "' ' 18,3 12 16711680", "end"}},
        {"a root: the sign at (X0 - 2, Y0)", "~2~",
         {"'  ' 0,3 12 16711680", "'2' 9,3 12 16711680", "'_' 6,-15 12 16711680",
          "'_' 10.5,-15 12 16711680", "'~' -2,3 12 16711680", "end", "' ' 15,3 12 16711680",
          "end"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface surface;
        surface.setScaleMode(ScaleMode::Points);
        surface.setFontName(QStringLiteral("Book Antiqua"));
        surface.setFontSize(12);
        surface.setFontBold(true);
        basFPrint2::PrintFormula(QString::fromUtf8(c.text), surface, sink);
        EXPECT_EQ(joined(surface.printLog()), joined(toList(c.log)));
        EXPECT_EQ(surface.fontName(), QStringLiteral("Book Antiqua"));
    }
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(TypesetterTest, RegressionRadicalSignAloneIsInTheSymbolFont)
{
    RecordingSurface surface;
    surface.setScaleMode(ScaleMode::Points);
    surface.setFontName(QStringLiteral("Book Antiqua"));
    surface.setFontSize(12);
    basFPrint2::PrintFormula(QStringLiteral("~2~+~#1/2#~"), surface, sink);
    QStringList fonts;
    for (const RecordedCall &call : surface.calls())
        if (call.kind == RecordedCall::Text && (call.text == "~" || call.text == "&"))
            fonts << call.text + " " + call.fontName;
    EXPECT_EQ(fonts, (QStringList{"~ TalvoranFont", "& Book Antiqua", "~ Book Antiqua"}));
}

TEST_F(TypesetterTest, RegressionErrorSetsTheWindowFontSize)
{
    RecordingSurface surface;
    surface.setScaleMode(ScaleMode::Points);
    surface.setFontSize(14);
    basFPrint2::PrintFormula(QStringLiteral("#") + QString(51, QLatin1Char('1')) + "/2#", surface,
                             sink);
    EXPECT_EQ(messages, QStringList{kError});
    EXPECT_EQ(surface.fontSize(), 12);
}

// Each back end reports a line it cannot typeset to the sink it was handed and to no other,
// so two windows (or two tests) never see each other's messages.
TEST(TypesetterMessages, GoToTheSinkHandedIn)
{
    const QString tooLong = QStringLiteral("#") + QString(51, QLatin1Char('1')) + "/2#";
    const QString rootTooLong = QStringLiteral("~") + QString(300, QLatin1Char('1')) + "~";
    struct BackEnd
    {
        const char *what;
        void (*print)(RecordingSurface &, const FormulaMessageSink &, const QString &,
                      const QString &);
    };
    const BackEnd backEnds[] = {
        {"screen",
         [](RecordingSurface &s, const FormulaMessageSink &m, const QString &,
            const QString &root) { basFprint::PrintFormula(root, s, m); }},
        {"printer",
         [](RecordingSurface &s, const FormulaMessageSink &m, const QString &fraction,
            const QString &) { basFPrint3::PrintFormula(fraction, s, m, false, QString()); }},
        {"regression window",
         [](RecordingSurface &s, const FormulaMessageSink &m, const QString &fraction,
            const QString &) { basFPrint2::PrintFormula(fraction, s, m); }},
    };
    for (const BackEnd &b : backEnds) {
        SCOPED_TRACE(b.what);
        QStringList first, second;
        FormulaMessageSink one, other;
        one.setRoute([&first](const QString &m) { first << m; });
        other.setRoute([&second](const QString &m) { second << m; });
        RecordingSurface surface(QSizeF(800, 600));
        b.print(surface, one, tooLong, rootTooLong);
        EXPECT_EQ(first, QStringList{QString::fromLatin1(kFormulaErrorMessage)});
        EXPECT_TRUE(second.isEmpty());
        // An unrouted sink only logs.
        const FormulaMessageSink unrouted;
        b.print(surface, unrouted, tooLong, rootTooLong);
        EXPECT_EQ(first.size(), 1);
    }
}

} // namespace
