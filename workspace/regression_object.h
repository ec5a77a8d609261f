#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Raised by RegressionObject for a rejected degree (number 6000) or a point whose powers
// would leave the double range (number 6, the overflow a caller would otherwise meet).
class RegressionError : public std::runtime_error
{
public:
    RegressionError(int number, std::string description)
        : std::runtime_error(description), m_number(number), m_description(std::move(description))
    {
    }
    int number() const { return m_number; }
    const char *source() const { return "RegressionObject"; }
    const std::string &description() const { return m_description; }

private:
    int m_number;
    std::string m_description;
};

// Least-squares polynomial fit of the points added since the last emptying; the caller re-adds
// them after every change of degree (which empties the fit). The fit is solved in polynomials
// orthogonal on the points' own x, centred and scaled, so data far from the origin keeps its
// digits; the coefficients of powers of x are derived from it only for Coeff and the text.
class RegressionObject
{
public:
    static constexpr int kMaxDegree = 25;
    static constexpr int kInvalidDegreeError = 6000;
    static constexpr int kOverflowError = 6;

    RegressionObject();

    // The fitted polynomial as display mark-up; reads the last solve, does not solve.
    std::string ReturnRegEq() const;
    void Init();
    double Coeff(int i);
    int Degree() const { return m_Degree; }
    void Degree(int value);
    int XYCount() const;
    // Refuses the point as a whole (RegressionError 6) when a power or sum would overflow.
    void XYAdd(double x, double y);
    double RegVal(const double &x);

private:
    // Quadruple precision where the compiler has it (long double is already that elsewhere):
    // far from the origin the coefficients of powers of x cancel by twenty digits and more.
#if defined(__SIZEOF_FLOAT128__)
    using Wide = __float128;
#else
    using Wide = long double;
#endif

    // The fit as sum b[k] p_k(t) * yScale, t = (x - centre) / scale, where p_0 = 1,
    // p_1 = t - alpha[0] and p_{k+1} = (t - alpha[k]) p_k - beta[k] p_{k-1}, solved in Wide
    // so that the coefficients derived from it are the least-squares polynomial's own to the
    // last digit of a double. `spread[k]` is how far b[k] may be from the exact projection.
    struct OrthogonalFit {
        int degree = -1;
        double centre = 0, scale = 1, yScale = 1;
        std::array<Wide, kMaxDegree + 1> alpha{}, beta{}, b{}, spread{};
        // The same recurrence rounded to long double, for the values.
        std::array<long double, kMaxDegree + 1> alphaL{}, betaL{}, bL{};
        double value(double x) const;
        std::array<double, kMaxDegree + 1> powerCoefficients() const;
    };

    void Solve();
    bool SolveOrthogonal(int n);
    int EffectiveDegree() const;

    int m_Degree = 2;
    bool CoefValid = false;
    std::vector<std::pair<double, double>> m_Points;
    OrthogonalFit m_Fit;
    std::array<double, kMaxDegree + 1> Coef{};
};
