// Firmware lookup tables with a proven error.
//
// How the error is proven. On one segment of a table, between breakpoints (x0, y0) and
// (x1, y1) with slope s = (y1 − y0)/(x1 − x0), the error of straight-line interpolation is
// written as a function of the temperature t. With F the characteristic (E(t) in mV, or R(t)
// in Ω):
//     reading table (reading → temperature):  err(t) = y0 + s·(F(t) − x0) − t
//     cold junction (temperature → EMF):      err(t) = y0 + s·(t − x0) − F(t)
// Both are F times a constant plus a straight line, so err'' = ±s·F'' or −F'': wherever F''
// keeps one sign, err is convex or concave, and its largest magnitude there is at one of the
// stretch's two ends or at its one turning point, where F'(t) = 1/s (reading table) or s
// (cold junction), found on the monotone F' by Newton's method inside a bracket. Each
// segment is cut at the limits between the reference function's ranges and at the zeros of
// F'' (the inflection points of the characteristic), so the maximum over those candidates is
// the exact maximum over every reading of the segment, not a sample of it.
//
// That F'' keeps its sign on a stretch [c − r, c + r] is shown by Taylor's theorem at its
// midpoint: |F''(c)| > Σₖ |F⁽²⁺ᵏ⁾(c)|·rᵏ/k! (a finite sum for a polynomial; for type K's
// exponential term the next derivative at c and a bound on the one after, from the maxima of
// the Hermite functions). Where that fails, F''' is shown to keep its sign the same way, so
// F'' has at most one zero there, found by bisection; failing that the stretch is halved.
// A stretch still not shown after eight halvings (none is, on the standard curves) is bounded
// by its ends' error plus max|err''|·h²/8.
//
// Integer tables take whole µV or mΩ only, and there the error is taken at those readings:
// err is convex or concave in the reading too (the reading rises with t), so on each stretch
// the largest magnitude over whole readings is at the first or last of them or next to the
// turning point. Those few readings are evaluated with the exact inverse, and half a m°C is
// added for the rounding of the interpolation's quotient.
//
// Every bound then adds what the arithmetic adds: the rounding of F's value (compensated
// Horner's rule, within an ulp), the exact inverse's tolerance at the breakpoints (1e-9 °C),
// and the rounding of the interpolation in double (a few ulps). Stored values that are
// rounded (integer tables) are taken as stored, so their rounding is in the chord itself.
#include "core/lut.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <utility>

#include "core/error_free.hpp"
#include "core/its90_coefficients.hpp"
#include "core/piecewise.hpp"
#include "core/portable_exp.hpp"
#include "core/reference_junction.hpp"
#include "core/rtd_curves.hpp"

namespace kelvora::core {

namespace {

constexpr double kU = 0x1p-53;  // the unit roundoff of a double
constexpr double kInf = std::numeric_limits<double>::infinity();
// °C: how far exactTemperature's roots may lie from the true ones (its promise), and the
// resistance thermometers' inverse (Newton's method to 1e-13 relative, or closed form).
constexpr double kInverseTolerance = 1e-9;
constexpr double kLeastErrorFloating = 10 * kInverseTolerance;
constexpr double kLeastErrorInteger = 1e-3;
// Units of the integer tables: readings in µV or mΩ, temperatures in m°C, the cold junction's
// EMF stored in nV.
constexpr double kPerUnit = 1000;
constexpr double kNvPerMv = 1e6;
constexpr double kInt32Max = 2147483647.0;

// max |H_k(y)·exp(−y²)| over all y, H_k the Hermite polynomials, a little above the true
// maxima (1, 0.8578, 2, 3.9036, 12, 32.714, 120).
constexpr std::array<double, 7> kHermiteMax{1.0, 0.8579, 2.0, 3.904, 12.0, 32.72, 120.0};

// A value and a bound on its rounding error.
struct Valued {
    double v;
    double err;
};

// ---- The characteristic F(t) and its derivatives ----------------------------------------

// One smooth stretch of F: a polynomial in t (ascending powers) and, for type K above 0 °C,
// the exponential term a0·exp(a1·(t − a2)²).
struct Stretch {
    double lo, hi;
    std::array<double, 16> c{};
    int n = 0;
    const Exponential* g = nullptr;
    double coefficientError = 0;  // relative rounding of the coefficients as held here
};

class Characteristic {
  public:
    explicit Characteristic(const Sensor& s) {
        if (s.isThermocouple()) {
            for (const Piece& p : its90::referenceFunction(s.type)) {
                Stretch st{p.lo, p.hi};
                std::copy(p.c.begin(), p.c.end(), st.c.begin());
                st.n = static_cast<int>(p.c.size());
                st.g = p.exponential;
                add(st);
            }
            return;
        }
        const double r = s.r0Ohm;
        switch (s.material) {
            case RtdMaterial::platinum: {
                // W = 1 + A·t + B·t² + C·(t − 100)·t³ below 0 °C.
                const CvdCoefficients& k = s.cvd;
                add(rtd(rtd::kPtRange.lo, 0, {r, r * k.a, r * k.b, -100 * (r * k.c), r * k.c}));
                add(rtd(0, rtd::kPtRange.hi, {r, r * k.a, r * k.b}));
                break;
            }
            case RtdMaterial::copper:
                add(rtd(rtd::kCuRange.lo, rtd::kCuRange.hi,
                        {r, r * rtd::kCuA, r * rtd::kCuB, r * rtd::kCuC}));
                break;
            case RtdMaterial::nickel:
                add(rtd(rtd::kNiRange.lo, rtd::kNiRange.hi,
                        {r, r * rtd::kNiA, r * rtd::kNiB, 0, r * rtd::kNiD, 0, r * rtd::kNiF}));
                break;
        }
    }

    int count() const { return count_; }
    const Stretch& stretch(int i) const { return stretches_[static_cast<std::size_t>(i)]; }
    // The stretch that holds t; a limit shared by two belongs to the upper one.
    int stretchOf(double t) const {
        int i = 0;
        while (i + 1 < count_ && t >= stretch(i).hi) ++i;
        return i;
    }

    // F(t) by compensated Horner's rule (Graillat, Langlois and Louvet 2005): within
    // u·|F| + γ₂ₙ²·Σ|cᵢ||t|ⁱ of the polynomial's true value.
    Valued value(int i, double t) const {
        const Stretch& s = stretch(i);
        const Split ts = split(t);
        double acc = s.c[static_cast<std::size_t>(s.n - 1)], corr = 0, abs = std::fabs(acc);
        for (int j = s.n - 2; j >= 0; --j) {
            const double cj = s.c[static_cast<std::size_t>(j)];
            const Exact p = twoProduct(acc, t, ts);
            const Exact sum = twoSum(p.value, cj);
            acc = sum.value;
            corr = corr * t + (p.error + sum.error);
            abs = abs * std::fabs(t) + std::fabs(cj);
        }
        double v = acc + corr;
        const double gamma = 2 * s.n * kU / (1 - 2 * s.n * kU);
        double err = kU * std::fabs(v) + gamma * gamma * abs + s.coefficientError * abs;
        if (s.g) {
            const double d = t - s.g->a2, arg = s.g->a1 * d * d;
            const double g = s.g->a0 * portableExp(arg);
            v += g;
            err += kU * ((8 + 4 * std::fabs(arg)) * g + std::fabs(v));
        }
        return {v, err};
    }

    // F⁽ᵏ⁾(t), k ≥ 1, by Horner's rule on the derived coefficients, with its running error
    // bound (Higham, Accuracy and Stability of Numerical Algorithms, algorithm 5.1).
    Valued derivative(int i, int k, double t) const {
        Valued p = polynomialDerivative(stretch(i), k, t);
        if (stretch(i).g) {
            const Valued g = exponentialDerivative(*stretch(i).g, k, t);
            p.v += g.v;
            p.err += g.err + kU * std::fabs(p.v);
        }
        return p;
    }

    // What Taylor's theorem says of F⁽ᵏ⁾ on [lo, hi] ⊂ stretch i: its value at the midpoint
    // and how far from it F⁽ᵏ⁾ may be anywhere on [lo, hi] (rounding included).
    struct Spread {
        double mid, rest;
    };
    Spread spread(int i, int k, double lo, double hi) const {
        const Stretch& s = stretch(i);
        const double c = lo + (hi - lo) / 2;
        const double r = (hi - lo) / 2 * (1 + 4 * kU) + kU * std::fabs(c);
        const Valued v = derivative(i, k, c);
        double rest = v.err, rk = 1, factorial = 1;
        for (int j = 1; k + j < s.n; ++j) {
            rk *= r;
            factorial *= j;
            const Valued d = polynomialDerivative(s, k + j, c);
            rest += (std::fabs(d.v) + d.err) * rk / factorial;
        }
        if (s.g) {
            const Valued next = exponentialDerivative(*s.g, k + 1, c);
            rest += (std::fabs(next.v) + next.err) * r + exponentialBound(*s.g, k + 2) * r * r / 2;
        }
        return {v.v, rest * (1 + 1e-12)};
    }

    // +1 or −1 when F⁽ᵏ⁾ is shown to keep that sign on [lo, hi] (+1 also where it is
    // identically 0), 0 when it is not.
    int sign(int i, int k, double lo, double hi) const {
        const Spread d = spread(i, k, lo, hi);
        if (d.mid == 0 && d.rest == 0) return 1;
        if (!(std::fabs(d.mid) > d.rest)) return 0;
        return d.mid > 0 ? 1 : -1;
    }

  private:
    static Stretch rtd(double lo, double hi, std::initializer_list<double> c) {
        Stretch s{lo, hi};
        std::copy(c.begin(), c.end(), s.c.begin());
        s.n = static_cast<int>(c.size());
        s.coefficientError = 3 * kU;  // R0 times the coefficient, and once more for 100·C
        return s;
    }
    void add(const Stretch& s) { stretches_[static_cast<std::size_t>(count_++)] = s; }

    static Valued polynomialDerivative(const Stretch& s, int k, double t) {
        if (k >= s.n) return {0, 0};
        const auto coefficient = [&](int j) {
            double f = s.c[static_cast<std::size_t>(j)];
            for (int m = 0; m < k; ++m) f *= j - m;
            return f;
        };
        const double at = std::fabs(t);
        double p = coefficient(s.n - 1), mu = std::fabs(p) / 2, abs = std::fabs(p);
        for (int j = s.n - 2; j >= k; --j) {
            const double cj = coefficient(j);
            p = p * t + cj;
            mu = mu * at + std::fabs(p);
            abs = abs * at + std::fabs(cj);
        }
        return {p, 1.01 * kU * (2 * mu - std::fabs(p)) + (k + s.coefficientError / kU) * kU * abs};
    }

    // The k-th derivative of a0·exp(a1·(t − a2)²): with α = −a1 and y = √α·(t − a2) it is
    // a0·α^(k/2)·(−1)ᵏ·H_k(y)·exp(−y²).
    static Valued exponentialDerivative(const Exponential& g, int k, double t) {
        const double alpha = -g.a1, y = std::sqrt(alpha) * (t - g.a2), e = std::exp(-y * y);
        double h0 = 1, h1 = 2 * y, a0 = 1, a1 = 2 * std::fabs(y);
        if (k == 0) h1 = h0, a1 = a0;
        for (int j = 1; j < k; ++j) {
            const double h2 = 2 * y * h1 - 2 * j * h0, a2 = 2 * std::fabs(y) * a1 + 2 * j * a0;
            h0 = h1, h1 = h2, a0 = a1, a1 = a2;
        }
        const double scale = g.a0 * std::pow(alpha, k / 2.0) * e;
        const double v = (k % 2 == 0 ? 1 : -1) * scale * h1;
        return {v, kU * (8.0 * k + 16 + 4 * y * y) * scale * a1};
    }
    static double exponentialBound(const Exponential& g, int k) {
        return g.a0 * std::pow(-g.a1, k / 2.0) * kHermiteMax[static_cast<std::size_t>(k)] *
               (1 + 1e-9);
    }

    std::array<Stretch, 4> stretches_{};
    int count_ = 0;
};

// ---- The error of one segment -----------------------------------------------------------

// A breakpoint as the search holds it: x and y as stored (whole numbers of the integer
// table's units there), and t, the exact temperature at it.
struct Node {
    double x, y, t;
};

// One segment in physical units, and, for an integer reading table, as stored.
struct Segment {
    double x0, y0, x1, y1, s;  // mV or Ω and °C (reading table); °C and mV (cold junction)
    double t0, t1;             // the temperatures at its ends
    double k0 = 0, k1 = 0;     // integer reading table: the readings in µV or mΩ,
    double m0 = 0, m1 = 0;     // and the temperatures in m°C
};

class Prover {
  public:
    Prover(const Sensor& s, bool coldJunction, bool integer)
        : sensor_(s), f_(s), coldJunction_(coldJunction), integer_(integer) {}

    const Characteristic& characteristic() const { return f_; }
    bool integer() const { return integer_; }

    // The exact temperature at a reading: NaN where there is none.
    double inverse(double x) const {
        if (sensor_.isThermocouple()) {
            const ExactTemperature r = exactTemperature(sensor_.type, x);
            return r.status == ExactStatus::ok ? r.temperatureC : std::nan("");
        }
        const double t = temperature(sensor_, x);
        return outOfRange(t) ? std::nan("") : t;
    }
    // F at a temperature inside the characteristic's range.
    double forward(double t) const { return f_.value(f_.stretchOf(t), t).v; }

    Segment segment(const Node& a, const Node& b) const {
        Segment g{};
        if (coldJunction_) {
            g = {a.t, a.y, b.t, b.y, 0, a.t, b.t};
            if (integer_) g.y0 = a.y / kNvPerMv, g.y1 = b.y / kNvPerMv;
        } else if (integer_) {
            g = {a.x / kPerUnit,
                 a.y / kPerUnit,
                 b.x / kPerUnit,
                 b.y / kPerUnit,
                 0,
                 a.t,
                 b.t,
                 a.x,
                 b.x,
                 a.y,
                 b.y};
        } else {
            g = {a.x, a.y, b.x, b.y, 0, a.t, b.t};
        }
        g.s = integer_ && !coldJunction_ ? (g.m1 - g.m0) / (g.k1 - g.k0)
                                         : (g.y1 - g.y0) / (g.x1 - g.x0);
        return g;
    }

    // A bound on the segment's error at every reading between its ends: °C for the reading
    // table, mV for the cold junction.
    double error(const Node& a, const Node& b) const {
        if (!(a.t < b.t) || !(a.x < b.x)) return kInf;
        const Segment g = segment(a, b);
        double worst = 0;
        for (int i = f_.stretchOf(g.t0); i < f_.count(); ++i) {
            const Stretch& st = f_.stretch(i);
            const double u = std::max(g.t0, st.lo), v = std::min(g.t1, st.hi);
            if (u < v) worst = std::max(worst, pieces(g, i, u, v, 0));
            if (g.t1 <= st.hi) break;
        }
        return worst + allowance(g);
    }

  private:
    // The stretch [u, v] of stretch i cut where F'' changes sign; the largest error over
    // the parts.
    double pieces(const Segment& g, int i, double u, double v, int depth) const {
        if (f_.sign(i, 2, u, v) != 0) return convexMax(g, i, u, v);
        if (f_.sign(i, 3, u, v) != 0) {
            // F'' monotone: one zero at most, where its ends' signs differ.
            const double a = f_.derivative(i, 2, u).v, b = f_.derivative(i, 2, v).v;
            if (a == 0 || b == 0 || (a > 0) == (b > 0)) return convexMax(g, i, u, v);
            double lo = u, hi = v;
            for (;;) {
                const double mid = lo + (hi - lo) / 2;
                if (mid == lo || mid == hi) break;
                ((f_.derivative(i, 2, mid).v > 0) == (a > 0) ? lo : hi) = mid;
            }
            return std::max(convexMax(g, i, u, lo), convexMax(g, i, lo, v));
        }
        if (depth < 8) {
            const double mid = u + (v - u) / 2;
            return std::max(pieces(g, i, u, mid, depth + 1), pieces(g, i, mid, v, depth + 1));
        }
        return boundedMax(g, i, u, v);
    }

    // err(t) at a temperature in stretch i, with the bound on its rounding.
    Valued errAt(const Segment& g, int i, double t) const {
        const Valued f = f_.value(i, t);
        if (coldJunction_) {
            const double a = g.y0 - f.v, b = g.s * (t - g.x0);
            return {a + b, f.err + 4 * kU *
                                       (std::fabs(g.y0) + std::fabs(f.v) + std::fabs(b) +
                                        std::fabs(g.s) * std::fabs(g.x0))};
        }
        const double a = g.y0 - t, b = g.s * (f.v - g.x0);
        return {a + b,
                std::fabs(g.s) * f.err + 4 * kU *
                                             (std::fabs(g.y0) + std::fabs(t) + std::fabs(b) +
                                              std::fabs(g.s) * (std::fabs(f.v) + std::fabs(g.x0)))};
    }

    // The turning point of err on [u, v], where F' = 1/s (or s) and F' is monotone.
    std::optional<double> turning(const Segment& g, int i, double u, double v) const {
        const double m = coldJunction_ ? g.s : 1 / g.s;
        const double du = f_.derivative(i, 1, u).v - m, dv = f_.derivative(i, 1, v).v - m;
        if (du == 0) return u;
        if (dv == 0) return v;
        if ((du > 0) == (dv > 0)) return std::nullopt;
        double lo = u, hi = v;
        double t = u + (v - u) * (du / (du - dv));
        for (int it = 0; it < 100; ++it) {
            const double d = f_.derivative(i, 1, t).v - m;
            if (d == 0) return t;
            ((d > 0) == (du > 0) ? lo : hi) = t;
            const double d2 = f_.derivative(i, 2, t).v;
            double next = t - d / d2;
            if (!(next > lo && next < hi)) next = lo + (hi - lo) / 2;
            if (std::fabs(next - t) <= 1e-13 * (1 + std::fabs(t)) || next == lo || next == hi)
                return next;
            t = next;
        }
        return t;
    }

    // The largest error on [u, v], where err is convex or concave.
    double convexMax(const Segment& g, int i, double u, double v) const {
        const std::optional<double> top = turning(g, i, u, v);
        if (integer_ && !coldJunction_) return wholeReadingsMax(g, i, u, v, top);
        double m = 0;
        for (const double t : {u, v, top.value_or(u)}) {
            const Valued e = errAt(g, i, t);
            m = std::max(m, std::fabs(e.v) + e.err);
        }
        return m;
    }

    // Integer reading table: the largest error over the whole readings of [u, v].
    double wholeReadingsMax(const Segment& g, int i, double u, double v,
                            std::optional<double> top) const {
        // The readings of the segment's own ends hold their stored temperatures exactly.
        double m = std::max(std::fabs(g.m0 - kPerUnit * g.t0), std::fabs(g.m1 - kPerUnit * g.t1)) /
                   kPerUnit;
        const auto at = [&](double k) {
            if (!(k > g.k0 && k < g.k1)) return;
            const double t = inverse(k / kPerUnit);
            if (std::isnan(t)) {
                m = kInf;
                return;
            }
            const double chord = g.m0 + (k - g.k0) * g.s;  // m°C
            const double e = std::fabs(chord - kPerUnit * t) / kPerUnit;
            // half a m°C for the rounding of the quotient, and the arithmetic here
            m = std::max(m, e + 0.5 / kPerUnit + 8 * kU * std::fabs(chord) / kPerUnit);
        };
        const double ku = std::ceil(kPerUnit * f_.value(i, u).v);
        const double kv = std::floor(kPerUnit * f_.value(i, v).v);
        for (const double k : {ku - 1, ku, kv, kv + 1}) at(k);
        if (top) {
            const double kt = std::floor(kPerUnit * f_.value(i, *top).v);
            for (const double k : {kt - 1, kt, kt + 1, kt + 2}) at(k);
        }
        return m;
    }

    // A stretch on which F'' was not shown to keep its sign: the ends' error plus
    // max|err''|·h²/8.
    double boundedMax(const Segment& g, int i, double u, double v) const {
        const Characteristic::Spread d = f_.spread(i, 2, u, v);
        const double curvature = (std::fabs(d.mid) + d.rest) * (coldJunction_ ? 1 : g.s);
        const Valued eu = errAt(g, i, u), ev = errAt(g, i, v);
        const double ends = std::max(std::fabs(eu.v) + eu.err, std::fabs(ev.v) + ev.err);
        const double rounding = integer_ && !coldJunction_ ? 0.5 / kPerUnit : 0;
        return ends + curvature * (v - u) * (v - u) / 8 * (1 + 1e-12) + rounding;
    }

    // What the segment's arithmetic adds, beyond the error of the exact chord.
    double allowance(const Segment& g) const {
        if (coldJunction_) {
            // nV: the interpolation's quotient; µV: the result rounded to whole µV
            if (integer_) return 0.5 / kNvPerMv + 0.5 / kPerUnit;
            return kU * (2 * std::max(std::fabs(g.y0), std::fabs(g.y1)) + 6 * (g.y1 - g.y0));
        }
        // The breakpoints' temperatures lie within the inverse's tolerance of the true
        // roots, so the chord does too, and the segment's ends may be that far off: err
        // changes there at most by |s·F' − 1| per °C.
        const double slope = std::max(f_.derivative(f_.stretchOf(g.t0), 1, g.t0).v,
                                      f_.derivative(f_.stretchOf(g.t1), 1, g.t1).v);
        double a = kInverseTolerance * (2 + std::fabs(g.s) * std::fabs(slope));
        if (!integer_)
            a += kU * (2 * std::max(std::fabs(g.y0), std::fabs(g.y1)) + 6 * (g.y1 - g.y0));
        return a;
    }

    Sensor sensor_;
    Characteristic f_;
    bool coldJunction_;
    bool integer_;
};

// ---- The search for the fewest breakpoints ------------------------------------------------

// The domain of a table's x (readings, or the cold junction's temperatures) in stored units,
// its first and last breakpoints, and the breakpoint at any x between.
struct Search {
    double a, b;
    bool discrete;
    Node first, last;
    std::function<std::optional<Node>(double)> node;
    const Prover* prover;
};

struct Walk {
    std::vector<Node> nodes;
    double worst = 0;
    LutError error = LutError::none;
};

// Breakpoints from the first on, each as far from the one before as the bound allows. On a
// stretch where the characteristic keeps its bending, any part of a segment that passes
// passes too, so going as far as possible each time gives the fewest breakpoints there.
// Each end is found by growing the last segment's length until it fails, then narrowing
// the bracket by the Illinois method on √err (err grows as the square of the length) to a
// millionth of the length, or to the whole reading.
Walk walk(const Search& p, double bound, int maxPoints) {
    Walk w;
    w.nodes.push_back(p.first);
    const double least = p.discrete ? 1 : (p.b - p.a) * 1e-13;
    const auto whole = [&](double y) { return p.discrete ? std::floor(y) : y; };
    double step = std::max(whole((p.b - p.a) / 64), least);
    while (w.nodes.back().x < p.b) {
        const Node from = w.nodes.back();
        const double x = from.x;
        const auto at = [&](double y) -> std::pair<Node, double> {
            if (y >= p.b) return {p.last, p.prover->error(from, p.last)};
            const std::optional<Node> n = p.node(y);
            if (!n) return {Node{y, 0, 0}, kInf};
            return {*n, p.prover->error(from, *n)};
        };
        double lo = x, hi = kInf, eLo = 0, eHi = kInf;
        Node best = from;
        double y = std::min(p.b, std::max(x + least, whole(x + step)));
        for (;;) {
            const auto [n, e] = at(y);
            if (e <= bound) {
                lo = y, eLo = e, best = n;
                if (y >= p.b || hi < kInf) break;
                y = std::min(p.b, whole(x + 2 * (y - x)));
            } else {
                hi = y, eHi = e;
                if (lo > x) break;
                if (y - x <= least) {
                    w.error = LutError::boundTooSmall;
                    return w;
                }
                y = std::max(x + least, whole(x + (y - x) / 2));
            }
        }
        const double root = std::sqrt(bound);
        int kept = 0;  // which end stayed the last time: +1 lo, −1 hi
        double wLo = std::sqrt(eLo) - root, wHi = std::sqrt(eHi) - root;
        while (lo < p.b) {
            const double tolerance = p.discrete ? 1 : std::max(least, (lo - x) * 1e-6);
            if (hi - lo <= tolerance) break;
            double mid = std::isfinite(wHi) && wHi > wLo ? lo + (hi - lo) * (-wLo / (wHi - wLo))
                                                         : lo + (hi - lo) / 2;
            mid = std::clamp(mid, lo + tolerance / 2, hi - tolerance / 2);
            if (p.discrete) mid = std::clamp(std::round(mid), lo + 1, hi - 1);
            const auto [n, e] = at(mid);
            if (e <= bound) {
                lo = mid, eLo = e, best = n, wLo = std::sqrt(e) - root;
                if (kept == -1) wHi /= 2;
                kept = -1;
            } else {
                hi = mid, eHi = e, wHi = std::sqrt(e) - root;
                if (kept == 1) wLo /= 2;
                kept = 1;
            }
        }
        w.nodes.push_back(best);
        w.worst = std::max(w.worst, eLo);
        step = lo - x;
        if (static_cast<int>(w.nodes.size()) > maxPoints) {
            w.error = LutError::tooManyPoints;
            return w;
        }
    }
    return w;
}

// ---- The two tables of a request ----------------------------------------------------------

struct Tables {
    LutError error = LutError::none;
    Search reading;
    Search coldJunction;
    double fromC = 0, toC = 0;
};

Search readingSearch(const Prover& p, const Sensor& s, double fromC, double toC, LutError& error) {
    const Characteristic& f = p.characteristic();
    Search q{0, 0, p.integer(), {}, {}, {}, &p};
    const Limits readings = s.isThermocouple() ? exactReadingLimits(s.type) : readingLimits(s);
    double xa = f.value(f.stretchOf(fromC), fromC).v;
    double xb = toC;
    Node last{};
    if (!s.isThermocouple() && !readings.hiIncluded && toC >= temperatureLimits(s).hi) {
        // A top that is excluded: the last reading below it.
        xb = std::nextafter(readings.hi, 0.0);
        last = {xb, p.inverse(xb), p.inverse(xb)};
    } else {
        xb = f.value(f.stretchOf(toC), toC).v;
        last = {xb, toC, toC};
    }
    if (!p.integer()) {
        q.a = xa, q.b = xb;
        q.first = {xa, fromC, fromC};
        q.last = last;
        q.node = [&p](double x) -> std::optional<Node> {
            const double t = p.inverse(x);
            if (std::isnan(t)) return std::nullopt;
            return Node{x, t, t};
        };
        return q;
    }
    q.node = [&p](double k) -> std::optional<Node> {
        const double t = p.inverse(k / kPerUnit);
        if (std::isnan(t)) return std::nullopt;
        return Node{k, std::round(kPerUnit * t), t};
    };
    // Whole readings inside the range, each with an exact temperature inside it.
    double ka = std::ceil(kPerUnit * xa), kb = std::floor(kPerUnit * xb);
    if (!(std::fabs(ka) <= kInt32Max && std::fabs(kb) <= kInt32Max)) {
        error = LutError::readingsBeyondInt32;
        return q;
    }
    const auto inside = [&](double k) {
        const std::optional<Node> n = q.node(k);
        return n && n->t >= fromC && n->t <= last.t && readings.contains(k / kPerUnit);
    };
    for (int i = 0; i < 4 && !inside(ka); ++i) ++ka;
    for (int i = 0; i < 4 && !inside(kb); ++i) --kb;
    if (!(ka < kb) || !inside(ka) || !inside(kb)) {
        error = LutError::rangeTooNarrow;
        return q;
    }
    q.a = ka, q.b = kb;
    q.first = *q.node(ka);
    q.last = *q.node(kb);
    return q;
}

Search coldJunctionSearch(const Prover& p, double fromC, double toC) {
    Search q{fromC, toC, p.integer(), {}, {}, {}, &p};
    if (!p.integer()) {
        q.node = [&p](double t) -> std::optional<Node> { return Node{t, p.forward(t), t}; };
    } else {
        q.a = std::ceil(kPerUnit * fromC), q.b = std::floor(kPerUnit * toC);
        q.node = [&p](double k) -> std::optional<Node> {
            const double t = k / kPerUnit;
            return Node{k, std::round(kNvPerMv * p.forward(t)), t};
        };
    }
    q.first = *q.node(q.a);
    q.last = *q.node(q.b);
    return q;
}

LutTable tableOf(const Walk& w) {
    LutTable t;
    t.points.reserve(w.nodes.size());
    for (const Node& n : w.nodes) t.points.push_back({n.x, n.y});
    t.maxError = w.worst;
    return t;
}

LutError checkRequest(const LutRequest& r) {
    const bool bound = r.maxErrorC != 0, count = r.points != 0;
    if (!bound && !count) return LutError::noBound;
    if (bound && count) return LutError::boundAndPoints;
    if (bound) {
        if (!(r.maxErrorC > 0 && std::isfinite(r.maxErrorC))) return LutError::boundNotPositive;
        if (r.maxErrorC < lutLeastError(r.numbers)) return LutError::boundTooSmall;
    } else {
        if (r.points < 2) return LutError::tooFewPoints;
        if (r.points > kLutMaxPoints) return LutError::tooManyPoints;
    }
    return LutError::none;
}

}  // namespace

double lutLeastError(LutNumbers numbers) {
    return numbers == LutNumbers::integer ? kLeastErrorInteger : kLeastErrorFloating;
}

Limits lutTemperatureLimits(const Sensor& s) {
    return s.isThermocouple() ? exactTemperatureLimits(s.type) : temperatureLimits(s);
}

Limits lutColdJunctionLimits(const Sensor& s) {
    const Limits l = temperatureLimits(s);
    return {std::max(-20.0, l.lo), std::min(70.0, l.hi), true};
}

Lut makeLut(const LutRequest& request) {
    Lut lut;
    lut.request = request;
    const Sensor& s = request.sensor;
    if ((lut.error = checkRequest(request)) != LutError::none) return lut;

    const Limits range = lutTemperatureLimits(s);
    const double fromC = request.fromC.value_or(range.lo);
    const double toC = request.toC.value_or(range.hi);
    if (!range.contains(fromC))
        lut.error = LutError::fromOutOfRange;
    else if (!(request.toC ? range.contains(toC) : true))
        lut.error = LutError::toOutOfRange;
    else if (!(fromC < toC))
        lut.error = LutError::fromNotBelowTo;
    if (lut.error != LutError::none) return lut;

    const bool integer = request.numbers == LutNumbers::integer;
    const Prover prover(s, false, integer);
    const Search search = readingSearch(prover, s, fromC, toC, lut.error);
    if (lut.error != LutError::none) return lut;

    Walk w;
    if (request.maxErrorC > 0) {
        w = walk(search, request.maxErrorC, kLutMaxPoints);
        lut.boundC = request.maxErrorC;
    } else {
        // The smallest bound that the points reach: halving the bound's logarithm between
        // the least there is and the error of one straight line over the whole range.
        const double least = lutLeastError(request.numbers);
        double hi = std::max(prover.error(search.first, search.last), least);
        w = walk(search, hi, request.points);
        if (w.error == LutError::none && hi > least) {
            double lo = least;
            Walk atLeast = walk(search, lo, request.points);
            if (atLeast.error == LutError::none) {
                w = atLeast;
            } else {
                for (int i = 0; i < 60 && hi > lo * (1 + 1e-5); ++i) {
                    const double mid = std::sqrt(lo * hi);
                    Walk m = walk(search, mid, request.points);
                    if (m.error == LutError::none) {
                        hi = mid;
                        w = std::move(m);
                    } else {
                        lo = mid;
                    }
                }
            }
        }
        lut.boundC = w.worst;
    }
    if ((lut.error = w.error) != LutError::none) return lut;
    lut.table = tableOf(w);
    lut.fromC = w.nodes.front().t;
    lut.toC = w.nodes.back().t;

    if (s.isThermocouple()) {
        const Limits cjDefault = lutColdJunctionLimits(s), cjRange = temperatureLimits(s);
        const double cjFrom = request.cjFromC.value_or(cjDefault.lo);
        const double cjTo = request.cjToC.value_or(cjDefault.hi);
        if (!cjRange.contains(cjFrom) || !cjRange.contains(cjTo))
            lut.error = LutError::cjOutOfRange;
        else if (!(cjFrom < cjTo) ||
                 (integer && !(std::ceil(kPerUnit * cjFrom) < std::floor(kPerUnit * cjTo))))
            lut.error = LutError::cjFromNotBelowTo;
        if (lut.error != LutError::none) {
            lut.table = {};
            return lut;
        }
        const Prover cjProver(s, true, integer);
        const Walk cj = walk(coldJunctionSearch(cjProver, cjFrom, cjTo), kLutColdJunctionErrorMv,
                             kLutMaxPoints);
        if ((lut.error = cj.error) != LutError::none) {
            lut.table = {};
            return lut;
        }
        lut.coldJunction = tableOf(cj);
        lut.cjFromC = cj.nodes.front().t;
        lut.cjToC = cj.nodes.back().t;
    }
    return lut;
}

LutUniform uniformLut(const Lut& lut, bool inReading) {
    const Sensor& s = lut.request.sensor;
    const Prover prover(s, false, false);
    LutError error = LutError::none;
    const Search search = readingSearch(prover, s, lut.fromC, lut.toC, error);
    const double span = inReading ? search.b - search.a : lut.toC - lut.fromC;
    const auto nodeAt = [&](long k, long m) -> std::optional<Node> {
        if (k == 0) return search.first;
        if (k == m) return search.last;
        if (inReading) return search.node(search.a + span * static_cast<double>(k) / m);
        const double t = lut.fromC + span * static_cast<double>(k) / m;
        return Node{prover.forward(t), t, t};
    };
    double failedAt = 0;  // where the last table tried failed, as a share of it: tried first
    const auto passes = [&](long m) {
        const auto segmentPasses = [&](long k) {
            const std::optional<Node> a = nodeAt(k, m), b = nodeAt(k + 1, m);
            return a && b && prover.error(*a, *b) <= lut.boundC;
        };
        if (!segmentPasses(std::min(static_cast<long>(failedAt * static_cast<double>(m)), m - 1)))
            return false;
        std::optional<Node> a = nodeAt(0, m);
        for (long k = 0; k < m; ++k) {
            const std::optional<Node> b = nodeAt(k + 1, m);
            if (!a || !b || !(prover.error(*a, *b) <= lut.boundC)) {
                failedAt = static_cast<double>(k) / static_cast<double>(m);
                return false;
            }
            a = b;
        }
        return true;
    };
    constexpr long kMost = 100L * kLutMaxPoints;
    long lo = 0, hi = 1;  // lo fails (or is none), hi is tried
    while (!passes(hi)) {
        lo = hi;
        hi *= 2;
        if (hi > kMost) return {0, 0};
    }
    while (hi - lo > 1) {
        const long mid = lo + (hi - lo) / 2;
        (passes(mid) ? hi : lo) = mid;
    }
    return {span / static_cast<double>(hi), static_cast<int>(hi + 1)};
}

}  // namespace kelvora::core
