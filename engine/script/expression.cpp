#include "engine/script/expression.h"
#include "engine/script/vector_state.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace linoveta::script {

enum class Expression::Op : std::uint8_t {
    PushC,   // push k
    PushX,   // push x
    Add,
    Sub,
    Mul,
    Div,
    Pow,
    Neg,
    Abs,
    Sin,
    Cos,
    Tan,
    Square,  // t ^ 2, k = 2
    Cube,    // t ^ 3, k = 3
    Sqrt,    // t ^ .5, k = .5
    AddC,    // t + k (also t - k as t + -k, which is the same in binary arithmetic)
    MulC,    // t * k
    DivC,    // t / k, k neither 0 nor infinite
    PowC,    // t ^ k
    RSubC,   // k - t
    RDivC,   // k / t
    RPowC,   // k ^ t
};

namespace {

using Op = Expression::Op;
using Instr = Expression::Instr;

bool Finite(double v) { return std::fabs(v) <= std::numeric_limits<double>::max(); }

Error NonFiniteError(double v) { return std::isnan(v) ? Error::Invalid : Error::Overflow; }

// Squares, cubes and square roots computed fast and still exactly as std::pow computes them.
// The value is found with its exact error (products split without FMA, as -ffp-contract=off
// keeps them), so it is the correctly rounded power; pow's own result is within 0.52 ULP of
// the true power, so it rounds to the same double unless the true power lies within 0.02 ULP
// of a midpoint between two doubles. There, and near the ends of the range, pow itself is
// asked; k is the exponent, read from the code so that no compiler folds pow(t, 2) to t*t.
namespace exact_power {

// a * b == hi + lo exactly, for |a|, |b| far from the ends of the range.
inline void TwoProduct(double a, double b, double &hi, double &lo)
{
    constexpr double kSplitter = 134217729.0;  // 2^27 + 1
    const double ca = kSplitter * a, cb = kSplitter * b;
    const double ah = ca - (ca - a), al = a - ah;
    const double bh = cb - (cb - b), bl = b - bh;
    hi = a * b;
    lo = ((ah * bh - hi) + ah * bl + al * bh) + al * bl;
}

// Whether v, whose true value is v + error, is safely the correctly rounded one: error is
// further than 1/32 ULP from half a ULP. A power of two (with its closer neighbour below) and
// a subnormal are left to pow.
inline bool SafelyRounded(double v, double error)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const std::uint64_t exponent = bits & 0x7FF0000000000000u;
    if (exponent == 0 || exponent == 0x7FF0000000000000u || (bits & 0x000FFFFFFFFFFFFFu) == 0)
        return false;
    double scale;  // 2^e for v = m * 2^e, 1 <= m < 2
    std::memcpy(&scale, &exponent, sizeof scale);
    return std::fabs(error) < scale * (0x1p-52 * (0.5 - 1.0 / 32));
}

inline double Square(double a, double k)
{
    if (!(std::fabs(a) > 1e-140 && std::fabs(a) < 1e140))
        return std::pow(a, k);
    double hi, lo;
    TwoProduct(a, a, hi, lo);
    return SafelyRounded(hi, lo) ? hi : std::pow(a, k);
}

inline double Cube(double a, double k)
{
    if (!(std::fabs(a) > 1e-90 && std::fabs(a) < 1e90))
        return std::pow(a, k);
    double h1, l1, h2, l2;
    TwoProduct(a, a, h1, l1);
    TwoProduct(h1, a, h2, l2);
    // a^3 = h2 + l2 + l1 * a; the last two are below h2's ULP, their rounding far below.
    const double low = l2 + l1 * a;
    const double v = h2 + low;
    return SafelyRounded(v, (h2 - v) + low) ? v : std::pow(a, k);
}

// A negative operand has no root: NaN, as pow gives, without libm's error path (setting
// errno), and the evaluation's final check makes it the same error. NaN goes to pow.
inline double Root(double a, double k)
{
    if (a < 0)
        return std::numeric_limits<double>::quiet_NaN();
    if (!(a > 1e-280 && a < 1e280))
        return std::pow(a, k);
    const double v = std::sqrt(a);
    double hi, lo;
    TwoProduct(v, v, hi, lo);
    // sqrt(a) - v = (a - v*v) / (sqrt(a) + v); a - hi is exact, hi being so close to a.
    return SafelyRounded(v, ((a - hi) - lo) / (2 * v)) ? v : std::pow(a, k);
}

}  // namespace exact_power

// The one definition of "/" and "^": used by the evaluation and by constant folding, so a
// folded constant is exactly what the evaluation would have computed.
inline Error Divide(double a, double b, double &r)
{
    if (b == 0)
        return Error::DivisionByZero;
    if (!Finite(b))
        return NonFiniteError(b);
    r = a / b;
    return Error::None;
}

inline Error Power(double a, double b, double &r)
{
    if (!Finite(a))
        return NonFiniteError(a);
    if (!Finite(b))
        return NonFiniteError(b);
    if (a == 0 && b < 0)
        return Error::DivisionByZero;
    r = std::pow(a, b);
    return Error::None;
}

// Operators as they wait on the compiler's operator stack.
enum class Pending : std::uint8_t { Paren, Sin, Cos, Tan, Abs, Neg, Add, Sub, Mul, Div, Pow };

int Precedence(Pending p)
{
    switch (p) {
    case Pending::Add:
    case Pending::Sub:
        return 1;
    case Pending::Mul:
    case Pending::Div:
        return 2;
    case Pending::Neg:
        return 3;
    case Pending::Pow:
        return 4;
    default:
        return 0;  // parentheses and function calls are barriers
    }
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool NameIs(std::string_view name, std::string_view lower)
{
    if (name.size() != lower.size())
        return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (Lower(name[i]) != lower[i])
            return false;
    return true;
}

// For a number text of digits, an optional "." and an optional exponent whose value is not
// zero: the power of ten just above its first significant digit (1 for "5", 0 for "0.5", -2
// for "0.005", 3 for "5E2"). Saturates far beyond the range of a double.
long DecimalMagnitude(std::string_view number)
{
    constexpr long kFar = 1000000;
    std::size_t i = 0;
    long magnitude = 0;
    bool significant = false;
    for (; i < number.size() && IsDigit(number[i]); ++i) {
        significant = significant || number[i] != '0';
        if (significant && magnitude < kFar)
            ++magnitude;
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && IsDigit(number[i]); ++i) {
            if (significant)
                continue;
            if (number[i] != '0')
                significant = true;
            else if (magnitude > -kFar)
                --magnitude;
        }
    }
    long exponent = 0;
    bool negative = false;
    if (i < number.size() && (number[i] == 'E' || number[i] == 'e')) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size() && IsDigit(number[i]); ++i)
            if (exponent < kFar)
                exponent = exponent * 10 + (number[i] - '0');
    }
    return magnitude + (negative ? -exponent : exponent);
}

// Emits postfix code, folding constants and fusing a constant operand into its operation.
class Emitter
{
public:
    explicit Emitter(std::vector<Instr> &code) : code_(code) {}

    void Push(Op op, double k = 0)
    {
        starts_.push_back(code_.size());
        code_.push_back({op, k});
    }

    void Unary(Pending p)
    {
        Op op;
        switch (p) {
        case Pending::Neg: op = Op::Neg; break;
        case Pending::Abs: op = Op::Abs; break;
        case Pending::Sin: op = Op::Sin; break;
        case Pending::Cos: op = Op::Cos; break;
        default: op = Op::Tan; break;
        }
        Instr &last = code_.back();
        if (last.op == Op::PushC) {
            // Functions of a finite constant are finite; folding changes nothing.
            switch (op) {
            case Op::Neg: last.k = -last.k; break;
            case Op::Abs: last.k = std::fabs(last.k); break;
            case Op::Sin: last.k = std::sin(last.k); break;
            case Op::Cos: last.k = std::cos(last.k); break;
            default: last.k = std::tan(last.k); break;
            }
            return;
        }
        code_.push_back({op, 0});
    }

    void Binary(Pending p)
    {
        const std::size_t right = starts_.back();
        starts_.pop_back();
        const std::size_t left = starts_.back();
        const bool rightConst = right + 1 == code_.size() && code_[right].op == Op::PushC;
        const bool leftConst = left + 1 == right && code_[left].op == Op::PushC;

        if (rightConst && leftConst) {
            double r = 0;
            if (Fold(p, code_[left].k, code_[right].k, r)) {
                code_.pop_back();
                code_.back().k = r;
                return;
            }
        }
        if (rightConst) {
            const double k = code_[right].k;
            code_.pop_back();
            switch (p) {
            case Pending::Add: code_.push_back({Op::AddC, k}); return;
            case Pending::Sub: code_.push_back({Op::AddC, -k}); return;
            case Pending::Mul: code_.push_back({Op::MulC, k}); return;
            case Pending::Div:
                if (k != 0) {
                    code_.push_back({Op::DivC, k});
                    return;
                }
                code_.push_back({Op::PushC, k});
                code_.push_back({Op::Div, 0});
                return;
            default:
                // Small whole powers and the square root by their fast forms, which give
                // exactly what pow gives (exact_power above).
                if (k == 2)
                    code_.push_back({Op::Square, k});
                else if (k == 3)
                    code_.push_back({Op::Cube, k});
                else if (k == 0.5)
                    code_.push_back({Op::Sqrt, k});
                else
                    code_.push_back({Op::PowC, k});
                return;
            }
        }
        if (leftConst) {
            const double k = code_[left].k;
            code_.erase(code_.begin() + static_cast<std::ptrdiff_t>(left));
            switch (p) {
            case Pending::Add: code_.push_back({Op::AddC, k}); return;
            case Pending::Sub: code_.push_back({Op::RSubC, k}); return;
            case Pending::Mul: code_.push_back({Op::MulC, k}); return;
            case Pending::Div: code_.push_back({Op::RDivC, k}); return;
            default: code_.push_back({Op::RPowC, k}); return;
            }
        }
        switch (p) {
        case Pending::Add: code_.push_back({Op::Add, 0}); return;
        case Pending::Sub: code_.push_back({Op::Sub, 0}); return;
        case Pending::Mul: code_.push_back({Op::Mul, 0}); return;
        case Pending::Div: code_.push_back({Op::Div, 0}); return;
        default: code_.push_back({Op::Pow, 0}); return;
        }
    }

    void Apply(Pending p)
    {
        if (Precedence(p) >= 1 && p != Pending::Neg)
            Binary(p);
        else
            Unary(p);
    }

private:
    // Only error-free finite results are folded; an error stays in the code and is reported
    // by every evaluation.
    static bool Fold(Pending p, double a, double b, double &r)
    {
        switch (p) {
        case Pending::Add: r = a + b; break;
        case Pending::Sub: r = a - b; break;
        case Pending::Mul: r = a * b; break;
        case Pending::Div:
            if (Divide(a, b, r) != Error::None)
                return false;
            break;
        default:
            if (Power(a, b, r) != Error::None)
                return false;
            break;
        }
        return Finite(r);
    }

    std::vector<Instr> &code_;
    std::vector<std::size_t> starts_;  // where the code of each pending operand begins
};

// Programs up to this depth evaluate on a stack in the caller's frame.
constexpr std::size_t kLocalStack = 64;

int StackEffect(Op op)
{
    switch (op) {
    case Op::PushC:
    case Op::PushX:
        return 1;
    case Op::Add:
    case Op::Sub:
    case Op::Mul:
    case Op::Div:
    case Op::Pow:
        return -1;
    default:
        return 0;
    }
}

} // namespace

void Expression::Compile(std::string_view text)
{
    code_.clear();
    bigStack_.clear();
    bigLaneStack_.clear();
    stackNeeded_ = 0;
    empty_ = false;
    compileError_ = Error::None;

    auto fail = [this](Error e) {
        code_.clear();
        compileError_ = e;
    };
    if (text.size() > kMaxLength)
        return fail(Error::TooLong);

    std::vector<Pending> ops;
    Emitter emit(code_);
    bool expectOperand = true;
    bool anyToken = false;
    int depth = 0;
    const std::size_t n = text.size();
    std::size_t i = 0;

    while (true) {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        if (i >= n)
            break;
        anyToken = true;
        const char c = text[i];

        if (expectOperand) {
            if (IsDigit(c) || c == '.') {
                const std::size_t start = i;
                bool digits = false;
                while (i < n && IsDigit(text[i])) {
                    ++i;
                    digits = true;
                }
                if (i < n && text[i] == '.') {
                    ++i;
                    while (i < n && IsDigit(text[i])) {
                        ++i;
                        digits = true;
                    }
                }
                if (!digits)
                    return fail(Error::Syntax);
                if (i < n && (text[i] == 'E' || text[i] == 'e')) {
                    ++i;
                    if (i < n && (text[i] == '+' || text[i] == '-'))
                        ++i;
                    if (i >= n || !IsDigit(text[i]))
                        return fail(Error::Syntax);
                    while (i < n && IsDigit(text[i]))
                        ++i;
                }
                double v = 0;
                auto res = std::from_chars(text.data() + start, text.data() + i, v);
                if (res.ec == std::errc::result_out_of_range) {
                    // Too small reads as zero; too large is an overflow of the literal. Which
                    // one is told by the decimal exponent of its first significant digit, so
                    // leading zeros ("0.000...1") count as they should.
                    if (DecimalMagnitude(text.substr(start, i - start)) > 0)
                        return fail(Error::Overflow);
                    v = 0;
                } else if (res.ec != std::errc() || res.ptr != text.data() + i) {
                    return fail(Error::Syntax);
                }
                emit.Push(Op::PushC, v);
                expectOperand = false;
                continue;
            }
            if (IsAlpha(c)) {
                const std::size_t start = i;
                while (i < n && (IsAlpha(text[i]) || IsDigit(text[i]) || text[i] == '_'))
                    ++i;
                const std::string_view name = text.substr(start, i - start);
                if (NameIs(name, "x")) {
                    emit.Push(Op::PushX);
                    expectOperand = false;
                    continue;
                }
                Pending f;
                if (NameIs(name, "sin"))
                    f = Pending::Sin;
                else if (NameIs(name, "cos"))
                    f = Pending::Cos;
                else if (NameIs(name, "tan"))
                    f = Pending::Tan;
                else if (NameIs(name, "abs"))
                    f = Pending::Abs;
                else
                    return fail(Error::Syntax);
                while (i < n && (text[i] == ' ' || text[i] == '\t'))
                    ++i;
                if (i >= n || text[i] != '(')
                    return fail(Error::Syntax);
                ++i;
                if (++depth > kMaxDepth)
                    return fail(Error::TooDeep);
                ops.push_back(f);
                continue;
            }
            if (c == '(') {
                ++i;
                if (++depth > kMaxDepth)
                    return fail(Error::TooDeep);
                ops.push_back(Pending::Paren);
                continue;
            }
            if (c == '-') {
                ++i;
                ops.push_back(Pending::Neg);
                continue;
            }
            if (c == '+') {
                ++i;  // unary plus changes nothing
                continue;
            }
            return fail(Error::Syntax);
        }

        // An operator or a closing parenthesis is expected.
        Pending op;
        switch (c) {
        case '+': op = Pending::Add; break;
        case '-': op = Pending::Sub; break;
        case '*': op = Pending::Mul; break;
        case '/': op = Pending::Div; break;
        case '^': op = Pending::Pow; break;
        case ')': {
            ++i;
            while (!ops.empty() && Precedence(ops.back()) > 0) {
                emit.Apply(ops.back());
                ops.pop_back();
            }
            if (ops.empty())
                return fail(Error::Syntax);
            const Pending open = ops.back();
            ops.pop_back();
            --depth;
            if (open != Pending::Paren)
                emit.Apply(open);
            continue;
        }
        default:
            return fail(Error::Syntax);
        }
        ++i;
        // All binary operators are left-associative; a waiting unary minus yields to "^" only.
        const int prec = Precedence(op);
        while (!ops.empty() && Precedence(ops.back()) >= prec) {
            emit.Apply(ops.back());
            ops.pop_back();
        }
        ops.push_back(op);
        expectOperand = true;
    }

    if (!anyToken) {
        empty_ = true;
        return;
    }
    if (expectOperand)
        return fail(Error::Syntax);
    while (!ops.empty()) {
        if (Precedence(ops.back()) == 0)
            return fail(Error::Syntax);  // a parenthesis left open
        emit.Apply(ops.back());
        ops.pop_back();
    }

    int level = 0;
    for (const Instr &in : code_) {
        level += StackEffect(in.op);
        if (static_cast<std::size_t>(level) > stackNeeded_)
            stackNeeded_ = static_cast<std::size_t>(level);
    }
    if (stackNeeded_ > kLocalStack) {
        bigStack_.resize(stackNeeded_);
        bigLaneStack_.resize(stackNeeded_ * kLanes);
    }
}

Result Expression::Evaluate(double x) const
{
    ClearUpperVectorState();
    Result out;
    if (compileError_ != Error::None) {
        out.kind = Result::Kind::Error;
        out.error = compileError_;
        return out;
    }
    if (empty_)
        return out;

    double local[kLocalStack];
    double *const base = bigStack_.empty() ? local : bigStack_.data();
    double *top = base - 1;
    Error err = Error::None;

    for (const Instr &in : code_) {
        switch (in.op) {
        case Op::PushC: *++top = in.k; break;
        case Op::PushX: *++top = x; break;
        case Op::Add: top[-1] += top[0]; --top; break;
        case Op::Sub: top[-1] -= top[0]; --top; break;
        case Op::Mul: top[-1] *= top[0]; --top; break;
        case Op::Div:
            if ((err = Divide(top[-1], top[0], top[-1])) != Error::None)
                goto failed;
            --top;
            break;
        case Op::Pow:
            if ((err = Power(top[-1], top[0], top[-1])) != Error::None)
                goto failed;
            --top;
            break;
        case Op::Neg: *top = -*top; break;
        case Op::Abs: *top = std::fabs(*top); break;
        case Op::Sin: *top = std::sin(*top); break;
        case Op::Cos: *top = std::cos(*top); break;
        case Op::Tan: *top = std::tan(*top); break;
        case Op::Square: *top = exact_power::Square(*top, in.k); break;
        case Op::Cube: *top = exact_power::Cube(*top, in.k); break;
        case Op::Sqrt: *top = exact_power::Root(*top, in.k); break;
        case Op::AddC: *top += in.k; break;
        case Op::MulC: *top *= in.k; break;
        case Op::DivC: *top /= in.k; break;
        case Op::PowC:
            if ((err = Power(*top, in.k, *top)) != Error::None)
                goto failed;
            break;
        case Op::RSubC: *top = in.k - *top; break;
        case Op::RDivC:
            if ((err = Divide(in.k, *top, *top)) != Error::None)
                goto failed;
            break;
        case Op::RPowC:
            if ((err = Power(in.k, *top, *top)) != Error::None)
                goto failed;
            break;
        }
    }
    // Infinities and NaN survive every operation that does not check its operands, so one test
    // of the result catches any overflow or invalid step on the way.
    if (!Finite(*base)) {
        err = NonFiniteError(*base);
        goto failed;
    }
    out.kind = Result::Kind::Value;
    out.value = *base;
    return out;

failed:
    out.kind = Result::Kind::Error;
    out.error = err;
    return out;
}

void Expression::EvaluateMany(const double *x, std::size_t n, Result *out) const
{
    ClearUpperVectorState();
    if (compileError_ != Error::None || empty_) {
        Result r;
        if (compileError_ != Error::None) {
            r.kind = Result::Kind::Error;
            r.error = compileError_;
        }
        for (std::size_t i = 0; i < n; ++i)
            out[i] = r;
        return;
    }

    constexpr std::size_t L = kLanes;
    // Row d of the stack holds level d of every lane.
    double local[kLocalStack * L];
    double *const base = bigLaneStack_.empty() ? local : bigLaneStack_.data();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    for (std::size_t first = 0; first < n; first += L) {
        const std::size_t m = std::min(L, n - first);
        const double *const xs = x + first;
        // A lane keeps its first error, which is the one Evaluate would stop at; its later
        // values do not matter.
        Error err[L] = {};
        auto check = [&err](std::size_t lane, Error e, double &r) {
            if (e != Error::None) {
                if (err[lane] == Error::None)
                    err[lane] = e;
                r = kNaN;
            }
        };
        double *top = base - L;
        // The operations that can fail, on the two top rows and on the top row.
        auto binaryChecked = [&](auto op) {
            top -= L;
            for (std::size_t l = 0; l < m; ++l) {
                double r = 0;
                check(l, op(top[l], top[l + L], r), r);
                top[l] = r;
            }
        };
        auto unaryChecked = [&](auto op) {
            for (std::size_t l = 0; l < m; ++l) {
                double r = 0;
                check(l, op(top[l], r), r);
                top[l] = r;
            }
        };

        for (const Instr &in : code_) {
            const double k = in.k;
            switch (in.op) {
            case Op::PushC:
                top += L;
                for (std::size_t l = 0; l < m; ++l) top[l] = k;
                break;
            case Op::PushX:
                top += L;
                for (std::size_t l = 0; l < m; ++l) top[l] = xs[l];
                break;
            case Op::Add:
                top -= L;
                for (std::size_t l = 0; l < m; ++l) top[l] += top[l + L];
                break;
            case Op::Sub:
                top -= L;
                for (std::size_t l = 0; l < m; ++l) top[l] -= top[l + L];
                break;
            case Op::Mul:
                top -= L;
                for (std::size_t l = 0; l < m; ++l) top[l] *= top[l + L];
                break;
            case Op::Div:
                binaryChecked(Divide);
                break;
            case Op::Pow:
                binaryChecked(Power);
                break;
            case Op::Neg:
                for (std::size_t l = 0; l < m; ++l) top[l] = -top[l];
                break;
            case Op::Abs:
                for (std::size_t l = 0; l < m; ++l) top[l] = std::fabs(top[l]);
                break;
            case Op::Sin:
                for (std::size_t l = 0; l < m; ++l) top[l] = std::sin(top[l]);
                break;
            case Op::Cos:
                for (std::size_t l = 0; l < m; ++l) top[l] = std::cos(top[l]);
                break;
            case Op::Tan:
                for (std::size_t l = 0; l < m; ++l) top[l] = std::tan(top[l]);
                break;
            case Op::Square:
                for (std::size_t l = 0; l < m; ++l) top[l] = exact_power::Square(top[l], k);
                break;
            case Op::Cube:
                for (std::size_t l = 0; l < m; ++l) top[l] = exact_power::Cube(top[l], k);
                break;
            case Op::Sqrt:
                for (std::size_t l = 0; l < m; ++l) top[l] = exact_power::Root(top[l], k);
                break;
            case Op::AddC:
                for (std::size_t l = 0; l < m; ++l) top[l] += k;
                break;
            case Op::MulC:
                for (std::size_t l = 0; l < m; ++l) top[l] *= k;
                break;
            case Op::DivC:
                for (std::size_t l = 0; l < m; ++l) top[l] /= k;
                break;
            case Op::PowC:
                unaryChecked([k](double a, double &r) { return Power(a, k, r); });
                break;
            case Op::RSubC:
                for (std::size_t l = 0; l < m; ++l) top[l] = k - top[l];
                break;
            case Op::RDivC:
                unaryChecked([k](double a, double &r) { return Divide(k, a, r); });
                break;
            case Op::RPowC:
                unaryChecked([k](double a, double &r) { return Power(k, a, r); });
                break;
            }
        }

        for (std::size_t l = 0; l < m; ++l) {
            Result &r = out[first + l];
            Error e = err[l];
            if (e == Error::None && !Finite(base[l]))
                e = NonFiniteError(base[l]);
            if (e != Error::None) {
                r.kind = Result::Kind::Error;
                r.error = e;
                r.value = 0;
            } else {
                r.kind = Result::Kind::Value;
                r.error = Error::None;
                r.value = base[l];
            }
        }
    }
}

} // namespace linoveta::script
