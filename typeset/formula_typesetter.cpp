#include "typeset/formula_typesetter.h"

#include "engine/shown_text.h"

#include <QtGlobal>

#include <cmath>
#include <optional>
#include <stdexcept>

namespace {

constexpr RgbValue kRed = 0x0000FF;
constexpr RgbValue kBlue = 0xFF0000;
constexpr RgbValue kBlack = 0;

// The old character tables held this many positions; longer text is refused up front.
constexpr qsizetype kLineLimit = linoveta::kTypesetLineChars;
constexpr qsizetype kGroupLimit = linoveta::kTypesetGroupChars;

// Raised anywhere inside a line; PrintFormula turns it into the message.
struct TypesetError : std::runtime_error
{
    TypesetError() : std::runtime_error("typeset") {}
};

// A distance of fixed + perFont * FontSize units.
struct Offset
{
    double fixed = 0;
    double perFont = 0;
    double at(double fontSize) const { return fixed + perFont * fontSize; }
};

// What tells the three back ends apart; the algorithm below is shared.
struct Profile
{
    bool leadingSpaces = true;             // two spaces before the line
    double startRight = 0;                 // CurrentX moved right at the start
    double startDown = 11;                 // CurrentY moved down at the start
    bool startDownByFontWithSlash = false; // one font size instead, when the text has "/"
    std::optional<RgbValue> startColour;   // set once the text is prepared
    RgbValue lineClose = kBlack;           // "]" in the line
    RgbValue groupClose = kBlack;          // "]" inside a root or fraction
    // Wrap: past wrapAt after a plain character, "...", x to wrapX, baseline wrapDown lower.
    std::optional<double> wrapAt;
    double wrapX = 29;
    double wrapDown = 14;
    // Paging: before a plain character, a baseline past pageBottom starts a new page.
    std::optional<double> pageBottom;
    double pageTopY = 24;
    double pageLeftX = 12;
    Offset exponentRaise{0, 0.2};
    Offset rootBarRaise{0, 1.5};
    Offset rootBarIndent{0, 0.5};
    double rootBarFractionRaise = 7;
    bool rootRestoresAfterFraction = true;
    double radicalDy = -2;
    QString radicalFont;    // switched to for the plain radical sign, when set
    QString radicalFontBack; // and back
    double tallDx = 2, tallDy = -9, tallTildeDown = 16;
    Offset numeratorUp{0, 0.6};
    Offset denominatorDown{0, 1.7};
    qsizetype fractionPartLimit = kGroupLimit;
};

class Typesetter
{
public:
    Typesetter(Surface &target, const Profile &profile) : s(target), p(profile) {}

    void line(QString text)
    {
        if (p.leadingSpaces)
            s.print(QStringLiteral("  "));
        s.setCurrentX(s.currentX() + p.startRight);
        const bool slash = text.contains(QLatin1Char('/'));
        s.setCurrentY(s.currentY()
                      + (p.startDownByFontWithSlash && slash ? s.fontSize() : p.startDown));
        double baseline = s.currentY();

        text.replace(QLatin1Char('S'), QLatin1String("sin"));
        text.replace(QLatin1Char('C'), QLatin1String("cos"));
        text.replace(QLatin1Char('T'), QLatin1String("tan"));
        if (text.size() > kLineLimit)
            throw TypesetError();
        if (p.startColour)
            s.setForeColor(*p.startColour);

        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('#') || c == QLatin1Char('^') || c == QLatin1Char('~')) {
                const qsizetype close = closing(text, i, c);
                const QString inner = text.mid(i + 1, close - i - 1);
                if (c == QLatin1Char('#'))
                    fraction(inner);
                else if (c == QLatin1Char('^'))
                    exponent(inner);
                else
                    root(inner);
                i = close;
            } else if (c == QLatin1Char('[')) {
                s.setForeColor(kRed);
            } else if (c == QLatin1Char(']')) {
                s.setForeColor(p.lineClose);
            } else {
                if (p.pageBottom && baseline > *p.pageBottom) {
                    s.newPage();
                    baseline = p.pageTopY;
                    s.setCurrentX(p.pageLeftX);
                }
                s.setCurrentY(baseline);
                s.print(QString(c));
                if (p.wrapAt && s.currentX() > *p.wrapAt) {
                    s.print(QStringLiteral("..."));
                    s.setCurrentX(p.wrapX);
                    baseline += p.wrapDown;
                }
            }
            s.setCurrentY(baseline);
        }
        s.printLine(QStringLiteral(" "));
    }

private:
    // The position of the mark that closes the group opened at `open`.
    static qsizetype closing(const QString &text, qsizetype open, QChar mark)
    {
        const qsizetype close = text.indexOf(mark, open + 1);
        if (close < 0)
            throw TypesetError();
        return close;
    }

    static void checkLength(const QString &text, qsizetype limit)
    {
        if (text.size() > limit)
            throw TypesetError();
    }

    // Repeats "_" up to `end`; stops should a character fail to move the cursor on.
    void bar(double end)
    {
        while (s.currentX() < end) {
            const double before = s.currentX();
            s.print(QStringLiteral("_"));
            if (!(s.currentX() > before))
                break;
        }
    }

    void exponent(const QString &text)
    {
        checkLength(text, kGroupLimit);
        const double size = s.fontSize();
        const double y = s.currentY();
        s.setFontSize(8);
        s.setCurrentY(s.currentY() - p.exponentRaise.at(s.fontSize()));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('~')) {
                const qsizetype close = closing(text, i, c);
                root(text.mid(i + 1, close - i - 1));
                i = close;
            } else {
                s.print(QString(c));
            }
        }
        s.setFontSize(size);
        s.setCurrentY(y);
    }

    void root(const QString &text)
    {
        checkLength(text, kGroupLimit);
        const double x0 = s.currentX();
        const double y0 = s.currentY();
        s.print(QStringLiteral("  "));
        s.setCurrentY(y0);
        bool fractionInside = false;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('#')) {
                const qsizetype close = closing(text, i, c);
                const double y = s.currentY();
                fraction(text.mid(i + 1, close - i - 1));
                if (p.rootRestoresAfterFraction)
                    s.setCurrentY(y);
                fractionInside = true;
                i = close;
            } else if (c == QLatin1Char('^')) {
                const qsizetype close = closing(text, i, c);
                exponent(text.mid(i + 1, close - i - 1));
                i = close;
            } else {
                groupCharacter(c);
            }
        }
        const double radicandEnd = s.currentX();
        s.setCurrentY(s.currentY() - p.rootBarRaise.at(s.fontSize()));
        s.setCurrentX(x0 + p.rootBarIndent.at(s.fontSize()));
        if (fractionInside)
            s.setCurrentY(s.currentY() - p.rootBarFractionRaise);
        bar(radicandEnd);
        s.setCurrentY(y0);
        const double barEnd = s.currentX();
        s.setCurrentX(x0);
        if (!fractionInside) {
            if (!p.radicalFont.isEmpty())
                s.setFontName(p.radicalFont);
            s.setCurrentX(x0 - 2);
            s.setCurrentY(y0 + p.radicalDy);
            s.printLine(QStringLiteral("~"));
            if (!p.radicalFontBack.isEmpty())
                s.setFontName(p.radicalFontBack);
        } else {
            s.setCurrentX(x0 + p.tallDx);
            s.setCurrentY(y0 + p.tallDy);
            s.print(QStringLiteral("&"));
            s.setCurrentX(s.currentX() - 14);
            s.setCurrentY(s.currentY() + p.tallTildeDown);
            s.printLine(QStringLiteral("~"));
        }
        s.setCurrentX(barEnd);
        s.setCurrentY(y0);
    }

    // Width estimate of a fraction part: a tenth of each character, a twelfth in an exponent.
    float estimate(const QString &text) const
    {
        float sum = 0;
        bool inExponent = false;
        for (const QChar c : text) {
            if (c == QLatin1Char('^')) {
                inExponent = !inExponent;
                continue;
            }
            if (c == QLatin1Char('~') || c == QLatin1Char('[') || c == QLatin1Char(']'))
                continue;
            sum = float(double(sum) + s.textWidth(QString(c)) / (inExponent ? 12.0 : 10.0));
        }
        return sum;
    }

    void fractionPart(const QString &text, int spaces)
    {
        if (spaces > 0)
            s.print(QString(spaces, QLatin1Char(' ')));
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('^') || c == QLatin1Char('~')) {
                const qsizetype close = closing(text, i, c);
                const QString inner = text.mid(i + 1, close - i - 1);
                if (c == QLatin1Char('^'))
                    exponent(inner);
                else
                    root(inner);
                i = close;
            } else {
                groupCharacter(c);
            }
        }
    }

    void groupCharacter(QChar c)
    {
        if (c == QLatin1Char('['))
            s.setForeColor(kRed);
        else if (c == QLatin1Char(']'))
            s.setForeColor(p.groupClose);
        else
            s.print(QString(c));
    }

    void fraction(const QString &text)
    {
        const double x0 = s.currentX();
        QString numerator, denominator;
        int parens = 0, bars = 0, roots = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c == QLatin1Char('('))
                ++parens;
            else if (c == QLatin1Char(')'))
                --parens;
            else if (c == QLatin1Char('|'))
                bars = bars > 0 ? bars - 1 : bars + 1;
            else if (c == QLatin1Char('~'))
                roots = roots > 0 ? roots - 1 : roots + 1;
            else if (c == QLatin1Char('/') && parens == 0 && bars == 0 && roots == 0) {
                numerator = text.left(i);
                denominator = text.mid(i + 1);
            }
        }
        checkLength(numerator, p.fractionPartLimit);
        checkLength(denominator, p.fractionPartLimit);

        const float top = estimate(numerator);
        const float bottom = estimate(denominator);
        int topSpaces = 0, bottomSpaces = 0;
        QString wider = numerator;
        if (top > bottom) {
            bottomSpaces = int(std::nearbyint(top - bottom));
        } else if (top < bottom) {
            wider = denominator;
            topSpaces = int(std::nearbyint(bottom - top));
        }

        double barEnd = x0;
        s.setCurrentY(s.currentY() - p.numeratorUp.at(s.fontSize()));
        fractionPart(numerator, topSpaces);
        if (numerator == wider)
            barEnd = s.currentX();
        s.setCurrentY(s.currentY() + p.denominatorDown.at(s.fontSize()));
        s.setCurrentX(x0);
        fractionPart(denominator, bottomSpaces);
        if (denominator == wider)
            barEnd = s.currentX();
        s.setCurrentY(s.currentY() - p.denominatorDown.at(s.fontSize()));
        s.setCurrentX(x0);
        bar(barEnd);
    }

    Surface &s;
    const Profile &p;
};

void typeset(const QString &text, Surface &target, const Profile &profile,
             const FormulaMessageSink &messages)
{
    try {
        Typesetter(target, profile).line(text);
    } catch (const TypesetError &) {
        messages.show(QString::fromLatin1(kFormulaErrorMessage));
        target.setFontSize(12);
    }
}

} // namespace

void FormulaMessageSink::show(const QString &message) const
{
    if (m_route) {
        m_route(message);
        return;
    }
    qWarning("%s", qPrintable(message));
}

namespace basFprint {
void PrintFormula(const QString &text, Surface &target, const FormulaMessageSink &messages,
                  bool wrap)
{
    Profile profile;
    if (wrap)
        profile.wrapAt = target.widthTwips() / kTwipsPerPixel - 20;
    typeset(text, target, profile, messages);
}
} // namespace basFprint

namespace basFPrint3 {
void PrintFormula(const QString &text, Surface &target, const FormulaMessageSink &messages,
                  bool colourOn, const QString &colour)
{
    Profile profile;
    profile.leadingSpaces = false;
    profile.startRight = 12;
    profile.startDown = 12;
    target.setForeColor(kBlack);
    if (colourOn)
        profile.startColour = RgbValue(colour.trimmed().toLongLong());
    profile.lineClose = colourOn ? kBlue : kBlack;
    profile.groupClose = kBlue;
    profile.wrapAt = 765;
    profile.wrapX = 15;
    profile.wrapDown = 12;
    profile.pageBottom = 560;
    profile.exponentRaise = {1, 0};
    profile.rootBarRaise = {12, 0};
    profile.rootBarIndent = {6, 0};
    profile.rootBarFractionRaise = 0;
    profile.rootRestoresAfterFraction = false;
    profile.tallDx = 1;
    profile.tallDy = -7;
    profile.tallTildeDown = 10;
    profile.numeratorUp = {5, 0};
    profile.denominatorDown = {14, 0};
    profile.fractionPartLimit = linoveta::kTypesetFractionPartChars;
    typeset(text, target, profile, messages);
}
} // namespace basFPrint3

namespace basFPrint2 {
void PrintFormula(const QString &text, Surface &target, const FormulaMessageSink &messages)
{
    Profile profile;
    profile.leadingSpaces = false;
    profile.startDown = 3;
    profile.startDownByFontWithSlash = true;
    profile.startColour = kBlue;
    profile.lineClose = kBlue;
    profile.groupClose = kBlue;
    profile.rootBarFractionRaise = 0;
    profile.rootRestoresAfterFraction = false;
    profile.radicalDy = 0;
    profile.radicalFont = QStringLiteral("TalvoranFont");
    profile.radicalFontBack = QStringLiteral("Book Antiqua");
    profile.fractionPartLimit = linoveta::kTypesetFractionPartChars;
    typeset(text, target, profile, messages);
}
} // namespace basFPrint2
