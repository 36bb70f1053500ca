// The least-squares solver: systems whose solutions are worked by hand, and the systems it
// must refuse.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/least_squares.hpp"

namespace {

using kelvora::core::LeastSquaresStatus;
using kelvora::core::solveLeastSquares;

struct Case {
    const char* name;
    std::size_t n;
    std::vector<double> a, b;  // A row by row
    LeastSquaresStatus status;
    std::size_t rank;
    std::vector<double> x;  // when ok
};

TEST(LeastSquares, SolvesAndRefuses) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"square", 2, {1, 1, 1, -1}, {3, 1}, LeastSquaresStatus::ok, 2, {2, 1}},
        // y = a + b·x through (0, 0), (1, 1), (2, 1), (3, 2): b = Sxy/Sxx = 3/5, a = ȳ − b·x̄.
        {"line", 2, {1, 0, 1, 1, 1, 2, 1, 3}, {0, 1, 1, 2}, LeastSquaresStatus::ok, 2, {0.1, 0.6}},
        // Columns twenty orders of magnitude apart: 3 + 2e-10·t at t = 1e10, 2e10, 3e10.
        {"scaled",
         2,
         {1, 1e10, 1, 2e10, 1, 3e10},
         {5, 7, 9},
         LeastSquaresStatus::ok,
         2,
         {3, 2e-10}},
        // The pivot order reversed: the second column is the longer one.
        {"pivoted",
         3,
         {1, 0, 0, 0, 2, 0, 0, 0, 4},
         {1, 4, 12},
         LeastSquaresStatus::ok,
         3,
         {1, 2, 3}},
        {"zero column", 2, {1, 0, 2, 0}, {1, 2}, LeastSquaresStatus::rankDeficient, 1, {}},
        {"proportional",
         2,
         {1, 2, 2, 4, 3, 6},
         {1, 2, 3},
         LeastSquaresStatus::rankDeficient,
         1,
         {}},
        {"nearly proportional",
         2,
         {1, 1, 1, 1 + 1e-14, 1, 1},
         {1, 2, 3},
         LeastSquaresStatus::rankDeficient,
         1,
         {}},
        {"fewer rows", 3, {1, 2, 3, 4, 5, 7}, {1, 2}, LeastSquaresStatus::rankDeficient, 2, {}},
        {"no rows", 1, {}, {}, LeastSquaresStatus::rankDeficient, 0, {}},
        {"NaN in A", 2, {1, kNaN, 1, 2}, {1, 2}, LeastSquaresStatus::notFinite, 0, {}},
        {"infinite b", 1, {1, 2}, {1, INFINITY}, LeastSquaresStatus::notFinite, 0, {}},
        {"five unknowns", 5, {1, 2, 3, 4, 5}, {1}, LeastSquaresStatus::badShape, 0, {}},
        {"short A", 2, {1, 2, 3}, {1, 2}, LeastSquaresStatus::badShape, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto s = solveLeastSquares(c.a, c.b, c.n);
        EXPECT_EQ(s.status, c.status);
        if (c.status == LeastSquaresStatus::badShape || c.status == LeastSquaresStatus::notFinite)
            continue;
        EXPECT_EQ(s.rank, c.rank);
        for (std::size_t j = 0; j < c.x.size(); ++j)
            EXPECT_NEAR(s.x[j], c.x[j], 1e-14 * std::fabs(c.x[j]) + 1e-15) << j;
    }
}

}  // namespace
