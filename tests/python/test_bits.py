"""The same bits through Python: tests/data/result_bits.txt (the window's functions) and
library_bits.txt (the sensor library's others), made from the C++ core's own functions,
checked through kelvora's functions on the very sweeps of tests/result_bits_test.cpp, every
value of every group that a Python function gives.

The thermocouple groups are of the reference functions' own E(t) and of the inverse
polynomials at EMFs against 0 °C: emf and temperature with cj=None. Python gives NaN where the
core gives kOutOfRange (-999); the hashes are of the core's values, so NaN is hashed as -999. Not reproducible in Python, and skipped: the window's index
dispatchers e(typ) and t(typ) at indices naming no thermocouple (Python takes sensors by
code), and the core's own exponential, portableExp (type K's EMF, which uses it, is checked).
Where a sensor has no such tolerance class, kelvora refuses the call and the core gives
kOutOfRange at every temperature.
"""

import math
import os
import re

import numpy as np
import pytest

import kelvora

DATA = os.environ.get("KELVORA_TEST_DATA_DIR", os.path.join(os.path.dirname(__file__), "..",
                                                            "data"))
CHUNK = 1000
TYPES = "SRBKNEJT"  # in the order of the window's list: index i is TYPES[i]
SKIPPED = {f"{f}({i})" for f in "et" for i in ("-1", "8", "11", "0.5", "3+ulp", "nan")}
SKIPPED.add("portableExp")


def sweep(lo, hi, d):
    """n/d for every whole n from lo·d to hi·d, as the C++ test makes them."""
    def llround(x):
        return int(math.copysign(math.floor(abs(x) + 0.5), x))
    return np.arange(llround(lo * d), llround(hi * d) + 1, dtype=np.float64) / d


def around(limits):
    """Each limit and eight ulps either side, then values no range holds."""
    out = []
    for limit in limits:
        x = float(limit)
        for _ in range(8):
            x = np.nextafter(x, -np.inf)
        for _ in range(17):
            out.append(x)
            x = np.nextafter(x, np.inf)
    tiny, least, big = 5e-324, 2.2250738585072014e-308, 1.7976931348623157e308
    out += [0.0, -0.0, tiny, -tiny, least, 1e300, -1e300, big, -big, math.inf, -math.inf,
            math.nan]
    return np.array(out, dtype=np.float64)


def its90_limits():
    """Per function (e_K, t_K, …) its ranges' limits lo0, hi0, lo1, hi1, … from NIST's
    allcoeff.tab: the reference functions' temperature ranges and the inverse polynomials'
    EMF ranges, where an overlap of two ranges goes to the lower one."""
    text = open(os.path.join(DATA, "allcoeff.tab"), encoding="utf-8").read()
    limits = {}
    for block in re.split(r"^type: ", text, flags=re.M)[1:]:
        letter = block[0]
        his = [float(r[1]) for r in re.findall(r"^range: ([-\d.]+), ([-\d.]+),", block, re.M)]
        los = [float(r[0]) for r in re.findall(r"^range: ([-\d.]+), ([-\d.]+),", block, re.M)]
        limits[f"e_{letter}"] = pieces(los[0], his)
        inverse = re.search(r"Voltage([-\d. ]+)\n\s*Range:([-\d. ]+)", block)
        limits[f"t_{letter}"] = pieces(float(inverse[1].split()[0]),
                                       [float(v) for v in inverse[2].split()])
    return limits


def pieces(lo, his):
    out = []
    for hi in his:
        out += [lo, hi]
        lo = hi
    return out


def numbers(f):
    return lambda x: ("number", f(x))


def texts(f):
    return lambda x: ("text", f(x))


def as_core(v):
    """Python's NaN as the core's kOutOfRange."""
    v = np.asarray(v, dtype=np.float64)
    return np.where(np.isnan(v), -999.0, v)


# Copper's ratio at its excluded top, 150 °C, in the order the core evaluates W(t).
W_CU_150 = 1 + 4.28899e-3 * 150 + -2.133e-7 * 150 * 150 + 1.233e-9 * 150 * 150 * 150


def within(f, lo, hi, hi_included=True):
    """f where the window takes a resistance (lo ≤ x ≤ hi, or < hi), NaN elsewhere: kelvora's
    sensors take the resistances up to 4 mK beyond an included end, and the last below copper's
    excluded top, which the window's own functions refuse."""
    def g(x):
        x = np.asarray(x, dtype=np.float64)
        inside = (x >= lo) & ((x <= hi) if hi_included else (x < hi))
        return np.where(inside, f(x), np.nan)
    return g


def window_text(code, t):
    """The window's resistance box: two decimals, or "温度超限" out of range."""
    r = kelvora.resistance(code, t)
    return np.where(np.isnan(r), "温度超限", kelvora.format_fixed(r, 2))


def window_groups():
    """Every group of result_bits.txt that Python reproduces: name → (arguments, function)."""
    g = {}
    limits = its90_limits()
    for letter, lo, hi, d in (("S", -60, 1778.1, 100), ("R", -60, 1778.1, 100),
                              ("B", -10, 1830, 100), ("K", -280, 1382, 1000),
                              ("N", -280, 1310, 100), ("E", -280, 1010, 100),
                              ("J", -220, 1210, 100), ("T", -280, 410, 200)):
        f = numbers(lambda x, c=letter: kelvora.emf(c, x, cj=None))
        g[f"e_{letter}"] = (sweep(lo, hi, d), f)
        g[f"e_{letter}@limits"] = (around(limits[f"e_{letter}"]), f)
    for letter, lo, hi, d in (("S", -0.74, 19.2, 10000), ("R", -0.73, 21.6, 10000),
                              ("B", -0.2, 14.3, 10000), ("K", -6.4, 55.4, 4000),
                              ("N", -4.5, 48, 4000), ("E", -9.3, 76.9, 2000),
                              ("J", -8.6, 70.1, 2000), ("T", -6.1, 21.4, 5000)):
        f = numbers(lambda x, c=letter: kelvora.temperature(c, x, cj=None))
        g[f"t_{letter}"] = (sweep(lo, hi, d), f)
        g[f"t_{letter}@limits"] = (around(limits[f"t_{letter}"]), f)
    for i, letter in enumerate(TYPES):
        g[f"e({i})"] = (sweep(-300, 1900, 4),
                        numbers(lambda x, c=letter: kelvora.emf(c, x, cj=None)))
        g[f"t({i})"] = (sweep(-10, 80, 100),
                        numbers(lambda x, c=letter: kelvora.temperature(c, x, cj=None)))

    # The ratios W(t) are the resistances of R0 = 1 Ω.
    w_pt = (kelvora.resistance("Pt1", -200.0), kelvora.resistance("Pt1", 850.0))
    w_cu = (kelvora.resistance("Cu1", -50.0),
            kelvora.resistance("Cu1", np.nextafter(150.0, 0.0)))
    t_pt = within(lambda x: kelvora.temperature("Pt1", x), *w_pt)
    t_cu = within(lambda x: kelvora.temperature("Cu1", x), w_cu[0], W_CU_150, False)
    for name, args, f in (
            ("r_Pt", sweep(-210, 860, 200), lambda x: kelvora.resistance("Pt1", x)),
            ("r_Pt@limits", around([-200, 0, 850]), lambda x: kelvora.resistance("Pt1", x)),
            ("r_Cu", sweep(-60, 160, 500), lambda x: kelvora.resistance("Cu1", x)),
            ("r_Cu@limits", around([-50, 150]), lambda x: kelvora.resistance("Cu1", x)),
            ("t_Pt", sweep(0.1, 4, 50000), t_pt),
            ("t_Pt@limits", around([w_pt[0], 1, w_pt[1]]), t_pt),
            ("t_Cu", sweep(0.7, 1.7, 100000), t_cu),
            ("t_Cu@limits", around(w_cu), t_cu)):
        g[name] = (args, numbers(f))
    for i, code, r0, lo, hi in ((8, "Pt100", 100, -210, 860), (9, "Pt10", 10, -210, 860),
                                (10, "Cu100", 100, -60, 160), (11, "Cu50", 50, -60, 160)):
        w = w_pt if code.startswith("Pt") else w_cu
        ohms = r0 * w[1]
        g[f"r_T({i})"] = (sweep(lo, hi, 100 if code.startswith("Pt") else 500),
                          texts(lambda x, c=code: window_text(c, x)))
        pt = code.startswith("Pt")
        f = numbers(within(lambda x, c=code: kelvora.temperature(c, x), r0 * w[0],
                           r0 * (w[1] if pt else W_CU_150), pt))
        g[f"t_Ohm({i})"] = (sweep(0, ohms * 1.03, 200000 / ohms), f)
        g[f"t_Ohm({i})@limits"] = (around([r0 * w[0], r0, ohms, r0 * w[1]]), f)

    g["formatFixed(e_K,3)"] = (sweep(-280, 1382, 100), texts(
        lambda x: kelvora.format_fixed(as_core(kelvora.emf("K", x, cj=None)), 3)))
    g["formatFixed(t_K,2)"] = (sweep(-6.4, 55.4, 2000), texts(
        lambda x: kelvora.format_fixed(as_core(kelvora.temperature("K", x, cj=None)), 2)))
    scale = 2
    for d in range(4):
        g[f"formatFixed({d})"] = (sweep(-1e5 / scale, 1e5 / scale, scale),
                                  texts(lambda x, d=d: kelvora.format_fixed(x, d)))
        scale *= 10
    magnitudes = []
    for p in range(-30, 31):
        power = 1.0
        for _ in range(abs(p)):
            power *= 10
        for m in (1.0, 1.5, 2.675, 9.995, 123456789.012345678, 0.999999999999999):
            v = m / power if p < 0 else m * power
            magnitudes += [v, -v]
    for d in (0, 2, 3, 6):
        g[f"formatFixed({d})@magnitudes"] = (around(magnitudes),
                                             texts(lambda x, d=d: kelvora.format_fixed(x, d)))
    return g


def tolerance_or_none(code, t, cls):
    try:
        return kelvora.tolerance(code, t, cls)
    except ValueError as e:
        assert "has no tolerance class" in str(e)
        return np.full(len(t), np.nan)


def library_groups():
    """Every group of library_bits.txt: name → (arguments, function). The sweeps' ends are the
    sensors' own limits, as the C++ test takes them."""
    g = {}
    for letter in TYPES:
        core = kelvora._sensors._resolve(letter).core
        lo, hi = core.exact_reading_limits()[:2]
        t_lo, t_hi = core.temperature_limits()[:2]
        exact = numbers(lambda x, c=letter: kelvora.temperature(c, x, cj=None, exact=True))
        g[f"exact_{letter}"] = (sweep(lo - 0.1, hi + 0.1, 5000), exact)
        g[f"exact_{letter}@limits"] = (around([lo, 0, hi]), exact)
        g[f"slope_{letter}"] = (sweep(t_lo - 5, t_hi + 5, 20),
                                numbers(lambda x, c=letter: kelvora.slope(c, x)))
    certificate = kelvora.RTD.callendar(r0=99.98, alpha=0.003926, delta=1.491, beta=0.11)
    for name, sensor in (("Pt1000", "Pt1000"), ("Ni100", "Ni100"), ("Cu10", "Cu10"),
                         ("certificate", certificate)):
        core = kelvora._sensors._resolve(sensor).core
        t_lo, t_hi, _, t_hi_in = core.temperature_limits()
        # The resistances at the ends, R0·W(t), as the C++ test sweeps from them.
        r_lo = float(kelvora.resistance(sensor, t_lo))
        r_hi = float(kelvora.resistance(sensor, t_hi)) if t_hi_in else core.r0 * W_CU_150
        g[f"reading({name})"] = (sweep(t_lo - 5, t_hi + 5, 50),
                                 numbers(lambda x, s=sensor: kelvora.resistance(s, x)))
        g[f"temperature({name})"] = (sweep(r_lo * 0.95, r_hi * 1.05, 20000 / r_hi),
                                     numbers(lambda x, s=sensor: kelvora.temperature(s, x)))
        g[f"slope({name})"] = (sweep(t_lo - 5, t_hi + 5, 20),
                               numbers(lambda x, s=sensor: kelvora.slope(s, x)))
    for code in ("K", "S", "B", "Pt100"):
        for cls in ("1", "2", "3", "A", "C"):
            g[f"tolerance({code},{cls})"] = (
                sweep(-300, 1900, 2), numbers(lambda x, c=code, k=cls: tolerance_or_none(c, x, k)))
    return g


PRIME, BASIS = np.uint64(0x100000001B3), np.uint64(0xCBF29CE484222325)


def fnv(chunks):
    """FNV-1a 64 of each byte string, all of them at once: position by position over the
    chunks still that long."""
    order = sorted(range(len(chunks)), key=lambda i: -len(chunks[i]))
    longest = len(chunks[order[0]])
    data = np.zeros((longest, len(chunks)), dtype=np.uint8)
    for column, i in enumerate(order):
        data[:len(chunks[i]), column] = np.frombuffer(chunks[i], dtype=np.uint8)
    lengths = np.array([len(chunks[i]) for i in order])
    active = np.searchsorted(-lengths, -np.arange(longest), side="left")
    h = np.full(len(chunks), BASIS, dtype=np.uint64)
    for j in range(longest):
        k = active[j]
        h[:k] ^= data[j, :k]
        h[:k] *= PRIME
    out = [0] * len(chunks)
    for column, i in enumerate(order):
        out[i] = int(h[column])
    return out


def chunk_bytes(kind, values):
    if kind == "number":
        raw = as_core(values).astype("<f8").tobytes()
        return [raw[i:i + 8 * CHUNK] for i in range(0, len(raw), 8 * CHUNK)]
    ends = [s.encode() + b"\xff" for s in values]
    return [b"".join(ends[i:i + CHUNK]) for i in range(0, len(ends), CHUNK)]


@pytest.mark.parametrize("file, groups, skipped", [
    ("result_bits.txt", window_groups, SKIPPED), ("library_bits.txt", library_groups, set())])
def test_every_group_of_the_result_bits_is_the_cores(file, groups, skipped):
    recorded = {}
    with open(os.path.join(DATA, file), encoding="utf-8") as f:
        next(f)
        for line in f:
            group, index, count, value = line.split()
            recorded.setdefault(group, []).append((int(count), int(value, 16)))
    made = groups()
    assert set(recorded) == set(made) | skipped

    names, chunks = [], []
    for name, (args, f) in made.items():
        kind, values = f(args)
        pieces = chunk_bytes(kind, values)
        assert [c for c, _ in recorded[name]] == [min(CHUNK, len(args) - i * CHUNK)
                                                 for i in range(len(pieces))], name
        names += [(name, i) for i in range(len(pieces))]
        chunks += pieces
    differing = [f"{name} chunk {i}" for (name, i), h in zip(names, fnv(chunks))
                 if h != recorded[name][i][1]]
    assert not differing, f"{len(differing)} chunks differ, the first: {differing[:5]}"
