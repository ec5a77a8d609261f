#pragma once

#include "workspace/plotter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace linoveta {

// f(x) of one line for the plotter's probes and its jump search, each value exactly what
// ValueAt gives. The search walks on by the sampling step, one x at a time; once an x is asked
// one step (by the same addition) after the one before, the walk's next x are evaluated
// together ahead, in groups that grow while it goes on, and handed out while the asked x are
// exactly those. Any other x is evaluated alone and leaves the group where it was, so that a
// probe between two steps of the walk does not break it. The walk's results are kept by x, so
// that the searches from neighbouring samples, which walk over the same x, evaluate each once.
class StepWalkValues
{
public:
    static constexpr std::size_t kFirstGroup = 4;
    static constexpr std::size_t kLargestGroup = 64;

    StepWalkValues(PlotEvaluator& evaluator, int line, double step)
        : m_evaluator(evaluator), m_line(line), m_step(step)
    {
    }

    // The value stays until the next call. Handed out from where it is kept, so that the caller
    // copies it whole instead of piecing it together.
    const std::optional<double>& operator()(double x)
    {
        if (const std::optional<double>* result = Next(x)) {
            m_rounded = m_evaluator.RoundedResult(*result);
            return m_rounded;
        }
        return m_alone;
    }

    // The value at x as operator() gives it, for a search that only looks for a value within
    // [low, high]: nullptr for a number that lies outside whatever its rounding, which is then
    // never rounded. The rounding moves a value by under 6e-15 of it (plus a subnormal's
    // spacing), so a value further than 1e-12 of it beyond a bound stays beyond; near the
    // largest double the rounding may fail, so there it is rounded.
    const std::optional<double>* UnlessOutside(double x, double low, double high)
    {
        const std::optional<double>* result = Next(x);
        if (!result)
            return &m_alone;
        if (*result) {
            const double r = **result;
            const double margin = 1e-12 * std::fabs(r) + 1e-300;
            if (std::fabs(r) <= 1e300 && (r - high > margin || low - r > margin))
                return nullptr;
        }
        m_rounded = m_evaluator.RoundedResult(*result);
        return &m_rounded;
    }

private:
    // The walk's results by x, in the two slots that a hash of x picks: enough for the x that
    // a search 500 steps ahead and the next sample's search have in common.
    static constexpr int kKeptBits = 11;
    static constexpr std::size_t kKeptResults = std::size_t{1} << kKeptBits;
    struct Kept {
        std::uint64_t key = 0;
        double value = 0;
        std::uint32_t used = 0;  // m_clock when last asked
        bool has = false;
        bool filled = false;
    };

    // The result at x before its rounding, from the walk's group; nullptr where x is evaluated
    // alone, whose value (rounded) is then m_alone.
    const std::optional<double>* Next(double x)
    {
        if (m_next < m_count && SameX(x, m_xs[m_next])) {
            m_last = x;
            return &m_values[m_next++];
        }
        const bool walking = m_hasLast && SameX(x, m_last + m_step);
        m_hasLast = true;
        m_last = x;
        if (!walking) {
            m_group = kFirstGroup;
            m_alone = m_evaluator.ValueAt(x, m_line);
            return nullptr;
        }
        m_xs[0] = x;
        for (std::size_t i = 1; i < m_group; ++i)
            m_xs[i] = m_xs[i - 1] + m_step;
        KeptOrEvaluated(m_group);
        m_count = m_group;
        m_next = 1;
        m_group = std::min(2 * m_group, kLargestGroup);
        return &m_values[0];
    }

    // The results at m_xs[0..n) into m_values, from those kept where the same x was asked
    // before. The searches from neighbouring samples mostly walk over the very same x (a
    // sample's x and one step added give the next sample's x), so most of a search's results
    // are found kept.
    void KeptOrEvaluated(std::size_t n)
    {
        if (m_kept.empty())
            m_kept.resize(kKeptResults);
        std::size_t missing = 0;
        ++m_clock;
        for (std::size_t i = 0; i < n; ++i) {
            if (Kept* kept = Find(std::bit_cast<std::uint64_t>(m_xs[i]))) {
                kept->used = m_clock;
                m_values[i] = kept->has ? std::optional<double>(kept->value) : std::nullopt;
            } else {
                m_missingAt[missing] = i;
                m_missingX[missing++] = m_xs[i];
            }
        }
        if (missing == 0)
            return;
        m_evaluator.ResultsAt(m_missingX.data(), missing, m_line, m_missingResults.data());
        for (std::size_t j = 0; j < missing; ++j) {
            const std::optional<double>& r = m_missingResults[j];
            m_values[m_missingAt[j]] = r;
            const auto key = std::bit_cast<std::uint64_t>(m_missingX[j]);
            Kept* pair = &m_kept[Slot(key)];
            Kept& replaced = pair[0].used <= pair[1].used ? pair[0] : pair[1];
            replaced = {key, r.value_or(0), m_clock, r.has_value(), true};
        }
    }

    // Each x has two slots, side by side; a new result replaces the one used longer ago.
    static std::size_t Slot(std::uint64_t key)
    {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> (64 - kKeptBits)) & ~std::size_t{1};
    }
    Kept* Find(std::uint64_t key)
    {
        Kept* pair = &m_kept[Slot(key)];
        if (pair[0].filled && pair[0].key == key)
            return &pair[0];
        if (pair[1].filled && pair[1].key == key)
            return &pair[1];
        return nullptr;
    }

    static bool SameX(double a, double b)
    {
        return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
    }

    PlotEvaluator& m_evaluator;
    int m_line;
    double m_step;
    std::array<double, kLargestGroup> m_xs{};
    std::array<std::optional<double>, kLargestGroup> m_values{};  // results, before rounding
    std::array<std::size_t, kLargestGroup> m_missingAt{};
    std::array<double, kLargestGroup> m_missingX{};
    std::array<std::optional<double>, kLargestGroup> m_missingResults{};
    std::uint32_t m_clock = 0;  // counts the groups
    std::vector<Kept> m_kept;
    std::optional<double> m_rounded;  // the last walk value handed out
    std::optional<double> m_alone;    // the last x evaluated alone
    std::size_t m_count = 0;  // x evaluated ahead, m_xs[0..m_count)
    std::size_t m_next = 0;   // the next of them the walk reaches
    std::size_t m_group = kFirstGroup;
    double m_last = 0;        // the x asked last
    bool m_hasLast = false;
};

} // namespace linoveta
