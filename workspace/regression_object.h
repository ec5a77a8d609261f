#pragma once

#include <array>
#include <stdexcept>
#include <string>

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

// Least-squares polynomial fit kept as running power sums; the points themselves are not
// stored, so the caller re-adds them after every change of degree (which empties the fit).
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
    void Solve();
    void BuildNormalMatrix(int n);
    bool GaussElimination(int n);
    int EffectiveDegree() const;

    int m_Degree = 2;
    bool CoefValid = false;
    std::array<double, 2 * kMaxDegree + 1> SumX{};
    std::array<double, kMaxDegree + 1> SumXY{};
    std::array<std::array<double, kMaxDegree + 2>, kMaxDegree + 1> Matrix{};
    std::array<double, kMaxDegree + 1> Coef{};
};
