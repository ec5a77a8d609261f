#include "workspace/regression_object.h"

#include "engine/number_text.h"
#include "engine/rounding.h"
#include "workspace/locale_numbers.h"

#include <cmath>

namespace {

void ReplaceAll(std::string &text, const std::string &from, const std::string &to)
{
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

} // namespace

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
        ReplaceAll(t, "f(x) = +", "f(x) = ");
    ReplaceAll(t, " 1x", " x");
    return t;
}

void RegressionObject::Init()
{
    CoefValid = false;
    SumX.fill(0);
    SumXY.fill(0);
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
    return static_cast<int>(SumX[0]);
}

void RegressionObject::XYAdd(double x, double y)
{
    // Work on copies so that a point that would overflow leaves the sums as they were.
    auto sumX = SumX;
    auto sumXY = SumXY;
    sumX[0] += 1;
    sumXY[0] += y;
    bool finite = std::isfinite(sumXY[0]);
    double p = 1;
    for (int k = 1; k <= m_Degree; ++k) {
        p = p * x;
        sumX[k] += p;
        sumXY[k] += p * y;
        finite = finite && std::isfinite(sumX[k]) && std::isfinite(sumXY[k]);
    }
    for (int k = m_Degree + 1; k <= 2 * m_Degree; ++k) {
        p = p * x;
        sumX[k] += p;
        finite = finite && std::isfinite(sumX[k]);
    }
    if (!finite)
        throw RegressionError(kOverflowError, "Overflow");
    CoefValid = false;
    SumX = sumX;
    SumXY = sumXY;
}

double RegressionObject::RegVal(const double &x)
{
    if (!CoefValid)
        Solve();
    const int n = EffectiveDegree();
    double value = 0;
    for (int k = 0; k <= n; ++k)
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
    BuildNormalMatrix(n);
    bool ok = GaussElimination(n);
    while (!ok && n > 1) {
        --n;
        BuildNormalMatrix(n);
        ok = GaussElimination(n);
    }
    // A failure at degree 1 or 0 is not reported; the next query simply solves again.
}

void RegressionObject::BuildNormalMatrix(int n)
{
    for (int i = 0; i <= n; ++i) {
        for (int j = 0; j <= n; ++j)
            Matrix[i][j] = SumX[i + j];
        Matrix[i][n + 1] = SumXY[i];
    }
}

bool RegressionObject::GaussElimination(int n)
{
    for (int c = 0; c <= n; ++c) {
        int pivot = c;
        double best = std::fabs(Matrix[c][c]);
        for (int r = c + 1; r <= n; ++r) {
            if (std::fabs(Matrix[r][c]) > best) {
                best = std::fabs(Matrix[r][c]);
                pivot = r;
            }
        }
        if (pivot > c) {
            for (int j = c; j <= n + 1; ++j)
                std::swap(Matrix[c][j], Matrix[pivot][j]);
        }
        // A zero pivot with rows below it would divide 0 by 0.
        if (Matrix[c][c] == 0 && c < n)
            return false;
        for (int r = c + 1; r <= n; ++r) {
            const double f = Matrix[r][c] / Matrix[c][c];
            Matrix[r][c] = 0;
            for (int j = c + 1; j <= n + 1; ++j) {
                Matrix[r][j] -= f * Matrix[c][j];
                if (!std::isfinite(Matrix[r][j]))
                    return false;
            }
        }
    }

    // Back substitution into a scratch row, so a failure writes no coefficient.
    std::array<double, kMaxDegree + 1> coef = Coef;
    for (int i = n; i >= 0; --i) {
        double known = 0;
        for (int j = i + 1; j <= n; ++j)
            known += Matrix[i][j] * coef[j];
        const double s = Matrix[i][n + 1] - known;
        coef[i] = Matrix[i][i] == 0 ? 0 : s / Matrix[i][i];
        if (!std::isfinite(coef[i]))
            return false;
    }
    for (int i = 0; i <= n; ++i)
        Coef[i] = coef[i];
    CoefValid = true;
    return true;
}
