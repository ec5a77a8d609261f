#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace linoveta::script {

// Why an expression has no value. Errors are values: nothing on the evaluation path throws.
enum class Error : std::uint8_t {
    None,
    Syntax,          // not an expression of the language
    DivisionByZero,  // a / 0, and 0 to a negative power
    Overflow,        // a literal, an intermediate or the result beyond the double range
    Invalid,         // no real value: a fractional power of a negative number
    TooLong,         // the text exceeds Expression::kMaxLength
    TooDeep,         // parentheses nested beyond Expression::kMaxDepth
};

struct Result
{
    enum class Kind : std::uint8_t { Value, Empty, Error };
    Kind kind = Kind::Empty;
    Error error = Error::None;
    double value = 0;

    bool ok() const { return kind == Kind::Value; }
};

// An expression of the formula script language, compiled once to a flat postfix program and
// evaluated for any x without allocating.
//
// The language: numbers with "." as decimal point ("007", ".5", "3.", "1E-05"), the variable x,
// + - * / ^, unary minus and plus, parentheses, and sin, cos, tan (radians) and abs; names are
// not case-sensitive and blanks between tokens are ignored. "^" binds tighter than unary minus
// ("-2^2" is -4) and is left-associative ("2^3^2" is 64); then * and /; then + and -.
// A blank text is the empty expression, whose result is Kind::Empty.
class Expression
{
public:
    // Far above what a formula line can produce (a script form of at most 2001 cells).
    static constexpr std::size_t kMaxLength = 1 << 16;
    static constexpr int kMaxDepth = 4096;

    Expression() = default;
    explicit Expression(std::string_view text) { Compile(text); }

    // Replaces the program by the compiled text; a text that does not compile keeps its error,
    // which every evaluation returns.
    void Compile(std::string_view text);

    bool empty() const { return empty_; }
    Error compileError() const { return compileError_; }

    // The value with x bound to the given number, used exactly as given.
    Result Evaluate(double x) const;

    // Evaluate(x[i]) into out[i] for i < n. The same results, computed kLanes at a time so that
    // each operation is decoded once per group and the values' arithmetic can overlap.
    static constexpr std::size_t kLanes = 8;
    void EvaluateMany(const double *x, std::size_t n, Result *out) const;

    // Operation codes of the compiled program (public for the compiler's helpers only).
    enum class Op : std::uint8_t;
    struct Instr
    {
        Op op;
        double k;  // the constant operand, where the operation has one
    };

private:
    std::vector<Instr> code_;
    std::size_t stackNeeded_ = 0;
    mutable std::vector<double> bigStack_;  // only for programs deeper than the local stack
    mutable std::vector<double> bigLaneStack_;  // the same for EvaluateMany
    bool empty_ = true;
    Error compileError_ = Error::None;
};

} // namespace linoveta::script
