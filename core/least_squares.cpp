#include "core/least_squares.hpp"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace kelvora::core {

LeastSquaresSolution solveLeastSquares(std::span<const double> a, std::span<const double> b,
                                       std::size_t n) {
    LeastSquaresSolution s;
    const std::size_t m = b.size();
    if (n == 0 || n > kMaxUnknowns || a.size() != m * n) return s;
    const auto finite = [](double v) { return std::isfinite(v); };
    if (!std::all_of(a.begin(), a.end(), finite) || !std::all_of(b.begin(), b.end(), finite)) {
        s.status = LeastSquaresStatus::notFinite;
        return s;
    }

    // Column j of the scaled A at q[j·m + i]. Each scale is a power of two, so scaling rounds
    // nothing: it only evens out the columns for the choice of pivots and the rank test.
    std::vector<double> q(m * n);
    std::vector<double> y(b.begin(), b.end());
    std::array<double, kMaxUnknowns> scale{};
    std::array<std::size_t, kMaxUnknowns> column{};
    for (std::size_t j = 0; j < n; ++j) {
        double largest = 0;
        for (std::size_t i = 0; i < m; ++i) largest = std::max(largest, std::fabs(a[i * n + j]));
        scale[j] = largest > 0 ? std::ldexp(1.0, -std::ilogb(largest)) : 1.0;
        for (std::size_t i = 0; i < m; ++i) q[j * m + i] = a[i * n + j] * scale[j];
        column[j] = j;
    }
    const auto at = [&](std::size_t i, std::size_t j) -> double& { return q[j * m + i]; };

    double first = 0;
    s.rank = 0;
    for (std::size_t k = 0; k < std::min(m, n); ++k) {
        // The column whose part below row k is longest comes next.
        std::size_t pivot = k;
        double norm = -1;
        for (std::size_t j = k; j < n; ++j) {
            double sum = 0;
            for (std::size_t i = k; i < m; ++i) sum += at(i, j) * at(i, j);
            if (std::sqrt(sum) > norm) {
                norm = std::sqrt(sum);
                pivot = j;
            }
        }
        if (k == 0) first = norm;
        if (!(norm > 0) || norm <= kRankTolerance * first) break;
        if (pivot != k) {
            std::swap_ranges(q.begin() + static_cast<std::ptrdiff_t>(k * m),
                             q.begin() + static_cast<std::ptrdiff_t>((k + 1) * m),
                             q.begin() + static_cast<std::ptrdiff_t>(pivot * m));
            std::swap(column[k], column[pivot]);
        }
        // The reflection H = I − v·vᵀ/h that takes the column's part below row k to
        // (alpha, 0, …, 0): v = x − alpha·e₁, alpha of the sign opposite to x₀ so that
        // x₀ − alpha cancels nothing, and h = vᵀv/2 = norm·(norm + |x₀|).
        const double x0 = at(k, k);
        const double alpha = x0 < 0 ? norm : -norm;
        const double h = norm * (norm + std::fabs(x0));
        at(k, k) = x0 - alpha;  // v, in place of the column
        const auto reflect = [&](auto&& value) {
            double dot = 0;
            for (std::size_t i = k; i < m; ++i) dot += at(i, k) * value(i);
            const double f = dot / h;
            for (std::size_t i = k; i < m; ++i) value(i) -= f * at(i, k);
        };
        for (std::size_t j = k + 1; j < n; ++j)
            reflect([&](std::size_t i) -> double& { return at(i, j); });
        reflect([&](std::size_t i) -> double& { return y[i]; });
        at(k, k) = alpha;  // R's diagonal
        s.rank = k + 1;
    }
    if (s.rank < n) {
        s.status = LeastSquaresStatus::rankDeficient;
        return s;
    }

    // R·z = (Qᵀb)[0, n), then x = z by the columns' scales, in the columns' own order.
    std::array<double, kMaxUnknowns> z{};
    for (std::size_t k = n; k-- > 0;) {
        double sum = y[k];
        for (std::size_t j = k + 1; j < n; ++j) sum -= at(k, j) * z[j];
        z[k] = sum / at(k, k);
    }
    for (std::size_t k = 0; k < n; ++k) s.x[column[k]] = z[k] * scale[column[k]];
    if (!std::all_of(s.x.begin(), s.x.begin() + static_cast<std::ptrdiff_t>(n), finite)) {
        s.x = {};
        s.status = LeastSquaresStatus::rankDeficient;
        return s;
    }
    s.status = LeastSquaresStatus::ok;
    return s;
}

}  // namespace kelvora::core
