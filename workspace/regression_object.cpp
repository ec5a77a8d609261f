#include "workspace/regression_object.h"

#include "engine/number_text.h"
#include "engine/replace_all.h"
#include "engine/rounding.h"
#include "workspace/locale_numbers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

RegressionObject::RegressionObject()
{
    Init();
    m_Degree = 2;
}

std::string RegressionObject::ReturnRegEq() const
{
    std::string t;
    for (int k = 0; k <= kMaxDegree; ++k) {
        double c = linoveta::Round(Coef[k], 10);
        if (c == 0 && Coef[k] != 0)
            c = Coef[k];
        if (c == 0)
            continue;
        // The coefficients are read by the user: the locale's number text.
        const std::string number = linoveta::LocaleNumberText(c < 0 ? -c : c).toStdString();
        std::string term = (c < 0 ? " - " : " + ") + number;
        if (k == 1)
            term += "x";
        else if (k >= 2)
            term += "x^" + linoveta::WholeNumberText(k) + "^";
        t = term + t;
    }
    if (t.empty() && XYCount() > 0)
        t = " 0";
    t = "f(x) =" + t;
    if (t.rfind("f(x) = +", 0) == 0)
        linoveta::ReplaceAll(t, "f(x) = +", "f(x) = ");
    linoveta::ReplaceAll(t, " 1x", " x");
    return t;
}

void RegressionObject::Init()
{
    CoefValid = false;
    m_Points.clear();
    m_Fit = OrthogonalFit{};
    Coef.fill(0);
}

double RegressionObject::Coeff(int i)
{
    if (!CoefValid)
        Solve();
    const int k = i < 0 ? -i : i;
    return k <= EffectiveDegree() ? Coef[k] : 0;
}

void RegressionObject::Degree(int value)
{
    if (value < 0 || value > kMaxDegree)
        throw RegressionError(kInvalidDegreeError,
                              linoveta::WholeNumberText(value)
                                  + " is an invalid property value! Use 0<= Degree <= "
                                  + linoveta::WholeNumberText(kMaxDegree));
    Init();
    m_Degree = value;
}

int RegressionObject::XYCount() const
{
    return static_cast<int>(m_Points.size());
}

void RegressionObject::XYAdd(double x, double y)
{
    // A point whose powers leave the double range cannot be written as coefficients of powers
    // of x: it is refused as a whole, before anything changes.
    bool finite = std::isfinite(y);
    double p = 1;
    for (int k = 1; k <= 2 * m_Degree && finite; ++k) {
        p = p * x;
        finite = std::isfinite(p) && (k > m_Degree || std::isfinite(p * y));
    }
    if (!finite)
        throw RegressionError(kOverflowError, "Overflow");
    CoefValid = false;
    m_Points.emplace_back(x, y);
}

double RegressionObject::RegVal(const double &x)
{
    if (!CoefValid)
        Solve();
    const int n = EffectiveDegree();
    if (n < 0)
        return 0;
    double value = m_Fit.value(x);
    // Powers above the degree that was solved keep the coefficients they had (0 after emptying).
    for (int k = std::max(m_Fit.degree, -1) + 1; k <= n; ++k)
        value += Coef[k] * std::pow(x, k);
    return value;
}

int RegressionObject::EffectiveDegree() const
{
    const int count = XYCount();
    return count <= m_Degree ? count - 1 : m_Degree;
}

void RegressionObject::Solve()
{
    int n = EffectiveDegree();
    if (n < 0)
        return;
    bool ok = SolveOrthogonal(n);
    while (!ok && n > 1) {
        --n;
        ok = SolveOrthogonal(n);
    }
    // A failure at degree 1 or 0 is not reported; the next query simply solves again.
}

namespace {

// A polynomial whose values on the points are this small a part of the vector it was made from
// is a combination of the lower ones: the points have too few distinct x for its degree.
constexpr double kDependent = 1e-10;

} // namespace

namespace {

// The few operations the wide fit needs, without a maths library.
template <typename T> T Magnitude(T v) { return v < 0 ? -v : v; }
template <typename T> bool Finite(T v) { return v - v == 0; }

// How far a wide sum over the points may stray, relative to the size of what it sums: far
// above the rounding of a quadruple (2^-112 for each of up to 500 points and 26 passes), far
// below anything a double can show.
constexpr long double kWideNoise = 0x1p-96L;

} // namespace

// Builds the polynomials orthogonal on the points (three-term recurrence) and projects y onto
// them one by one. Fails, like a zero pivot with rows below it, when a polynomial below degree n
// vanishes on the points; one of degree n that vanishes only gets the coefficient 0.
bool RegressionObject::SolveOrthogonal(int n)
{
    using Real = Wide;
    const std::size_t m = m_Points.size();
    OrthogonalFit fit;
    fit.degree = n;
    double lo = m_Points.front().first, hi = lo, yMax = 0;
    for (const auto &[x, y] : m_Points) {
        lo = std::min(lo, x);
        hi = std::max(hi, x);
        yMax = std::max(yMax, std::fabs(y));
    }
    // Scales are powers of two and the centre is the middle of the x range, so t is exact for
    // simple data and the power coefficients carry no rounding that was not in the fit.
    if (n >= 1) {
        fit.centre = lo / 2 + hi / 2;
        const double half = hi / 2 - lo / 2;
        if (half > 0) {
            int exponent = 0;
            std::frexp(half, &exponent);
            // 2^(exponent - 1) <= half: finite even for a range near the largest double.
            fit.scale = std::ldexp(1.0, exponent - 1);
        }
    }
    if (yMax > 0) {
        int exponent = 0;
        std::frexp(yMax, &exponent);
        fit.yScale = std::ldexp(1.0, exponent - 1);
    }

    std::vector<Real> t(m), residual(m), previous(m, 0), current(m, 1), next(m);
    long double ySquares = 0;
    for (std::size_t i = 0; i < m; ++i) {
        t[i] = (Real(m_Points[i].first) - Real(fit.centre)) / Real(fit.scale);
        residual[i] = Real(m_Points[i].second) / Real(fit.yScale);
        ySquares += static_cast<long double>(residual[i] * residual[i]);
    }
    Real norm = static_cast<Real>(m), previousNorm = 0;
    for (int k = 0; k <= n; ++k) {
        if (k > 0) {
            Real moment = 0, raw = 0;
            for (std::size_t i = 0; i < m; ++i) {
                moment += t[i] * current[i] * current[i];
                raw += (t[i] * current[i]) * (t[i] * current[i]);
            }
            const Real alpha = moment / norm;
            const Real beta = k > 1 ? norm / previousNorm : 0;
            Real nextNorm = 0;
            for (std::size_t i = 0; i < m; ++i) {
                next[i] = (t[i] - alpha) * current[i] - beta * previous[i];
                nextNorm += next[i] * next[i];
            }
            fit.alpha[k - 1] = alpha;
            fit.beta[k - 1] = beta;
            if (!Finite(nextNorm))
                return false;
            if (!(nextNorm > Real(kDependent * kDependent) * raw)) {
                if (k < n)
                    return false;
                fit.b[k] = 0;
                break;
            }
            previous.swap(current);
            current.swap(next);
            previousNorm = norm;
            norm = nextNorm;
        }
        // Projecting what is left of y keeps the fit accurate should orthogonality fade.
        Real dot = 0;
        for (std::size_t i = 0; i < m; ++i)
            dot += residual[i] * current[i];
        fit.b[k] = dot / norm;
        if (!Finite(fit.b[k]))
            return false;
        // The projection's rounding is a part of |y| over the polynomial's norm.
        fit.spread[k] = Real(kWideNoise * std::sqrt(ySquares / static_cast<long double>(norm)));
        for (std::size_t i = 0; i < m; ++i)
            residual[i] -= fit.b[k] * current[i];
    }
    for (int k = 0; k <= kMaxDegree; ++k) {
        fit.alphaL[k] = static_cast<long double>(fit.alpha[k]);
        fit.betaL[k] = static_cast<long double>(fit.beta[k]);
        fit.bL[k] = static_cast<long double>(fit.b[k]);
    }

    // x values that differ by next to nothing give slopes beyond a double: no usable fit at
    // this degree, as with a singular system.
    const auto coef = fit.powerCoefficients();
    for (int k = 0; k <= n; ++k)
        if (!std::isfinite(coef[k]))
            return false;
    m_Fit = fit;
    for (int k = 0; k <= n; ++k)
        Coef[k] = coef[k];
    CoefValid = true;
    return true;
}

double RegressionObject::OrthogonalFit::value(double x) const
{
    if (degree < 0)
        return 0;
    const long double u = (static_cast<long double>(x) - centre) / scale;
    long double previous = 0, current = 1, sum = bL[0];
    for (int k = 1; k <= degree; ++k) {
        const long double next = (u - alphaL[k - 1]) * current - betaL[k - 1] * previous;
        previous = current;
        current = next;
        sum += bL[k] * current;
    }
    return static_cast<double>(sum * yScale);
}

// The same polynomial in powers of x: far from the origin these coefficients are large and
// cancel, so they serve Coeff and the equation text, never the values. Each coefficient goes
// with how far it may be from the exact one; one that cannot be told from 0 is 0, so data that
// a lower degree fits exactly gives exactly that polynomial.
std::array<double, RegressionObject::kMaxDegree + 1>
RegressionObject::OrthogonalFit::powerCoefficients() const
{
    using Poly = std::array<Wide, kMaxDegree + 1>;
    std::array<double, kMaxDegree + 1> out{};
    if (degree < 0)
        return out;
    // Sum of b[k] p_k in powers of u = (x - centre) / scale, with the spread beside it.
    Poly previous{}, current{}, inU{}, spreadU{};
    current[0] = 1;
    inU[0] = b[0];
    spreadU[0] = spread[0];
    for (int k = 1; k <= degree; ++k) {
        Poly next{};
        for (int j = 0; j < k; ++j) {
            next[j + 1] += current[j];
            next[j] -= alpha[k - 1] * current[j];
            next[j] -= beta[k - 1] * previous[j];
        }
        previous = current;
        current = next;
        for (int j = 0; j <= k; ++j) {
            inU[j] += b[k] * current[j];
            spreadU[j] += spread[k] * Magnitude(current[j]);
        }
    }
    for (int k = 0; k <= degree; ++k) {
        if (Magnitude(inU[k]) <= spreadU[k])
            inU[k] = 0;
        inU[k] *= Wide(yScale);
        spreadU[k] *= Wide(yScale);
    }
    // Horner in u = x / scale - centre / scale, both exact (scale is a power of two); the
    // spread goes along in magnitudes, and with it the rounding of the terms that cancel.
    const Wide slope = Wide(1) / Wide(scale), offset = -Wide(centre) / Wide(scale);
    Poly inX{}, spreadX{}, size{};
    for (int k = degree; k >= 0; --k) {
        Poly shifted{}, shiftedSpread{}, shiftedSize{};
        for (int j = 0; j < degree; ++j) {
            shifted[j + 1] += inX[j] * slope;
            shifted[j] += inX[j] * offset;
            shiftedSpread[j + 1] += spreadX[j] * Magnitude(slope);
            shiftedSpread[j] += spreadX[j] * Magnitude(offset);
            shiftedSize[j + 1] += size[j] * Magnitude(slope);
            shiftedSize[j] += size[j] * Magnitude(offset);
        }
        shifted[0] += inU[k];
        shiftedSpread[0] += spreadU[k];
        shiftedSize[0] += Magnitude(inU[k]);
        inX = shifted;
        spreadX = shiftedSpread;
        size = shiftedSize;
    }
    for (int k = 0; k <= degree; ++k) {
        const Wide noise = spreadX[k] + Wide(kWideNoise) * size[k];
        out[k] = Magnitude(inX[k]) <= noise ? 0.0 : static_cast<double>(inX[k]);
    }
    return out;
}
