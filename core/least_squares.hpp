// Linear least squares for the small dense systems of a calibration: m equations, n ≤ 4
// unknowns, solved by Householder QR with column pivoting, never by the normal equations
// (which square the condition number: a Callendar–Van Dusen fit's columns 1, t, t² and
// (t − 100)·t³ span ten orders of magnitude over −200…850 °C).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelvora::core {

inline constexpr std::size_t kMaxUnknowns = 4;

enum class LeastSquaresStatus : std::uint8_t {
    ok,
    notFinite,      // A or b holds a NaN or an infinity
    rankDeficient,  // fewer independent columns than unknowns (fewer equations included)
    badShape,       // n is 0 or above kMaxUnknowns, or A is not m·n values for b's m
};

struct LeastSquaresSolution {
    std::array<double, kMaxUnknowns> x{};  // the first n are the unknowns (0 unless ok)
    std::size_t rank = 0;                  // the numerical rank of A
    LeastSquaresStatus status = LeastSquaresStatus::badShape;
    constexpr bool ok() const { return status == LeastSquaresStatus::ok; }
};

// A column whose remaining part, after the columns chosen before it are taken out, is below
// this fraction of the largest column (every column scaled to a largest value of 1 first)
// makes the rank: the solution would have lost 12 of the double's 16 digits to it.
inline constexpr double kRankTolerance = 1e-12;

// The x that minimises |A·x − b|₂, A given row by row (a[i·n + j] is row i, column j) with
// b.size() rows and n ≤ kMaxUnknowns columns. Each column is scaled to a largest value of 1,
// then A = Q·R by Householder reflections, at each step the column with the largest
// remaining norm first, and R·x = Qᵀ·b solved backwards. Rank deficient (x not given) when a
// remaining column falls to kRankTolerance of the first one, or to 0: a column of zeros,
// two proportional columns, fewer rows than unknowns. Backward stable: the solution of a
// system within a few ulps of A and b.
LeastSquaresSolution solveLeastSquares(std::span<const double> a, std::span<const double> b,
                                       std::size_t n);

}  // namespace kelvora::core
