"""ITS-90 thermometers in Python: kelvora.ITS90 wherever a sensor goes, against the scale's Wr
at the defining fixed points ("The International Temperature Scale of 1990", Metrologia 27,
3-10, 1990, Table 4) and the closed form of the deviation functions linear and quadratic in
W - 1; fit_its90 through tin and zinc; one table of bad calls."""

import math
import pickle
import subprocess
import sys

import dask.array as da
import numpy as np
import pandas as pd
import pytest

import kelvora

# t90 in °C and Wr of the fixed points from argon to aluminium.
FIXED = [(-189.3442, 0.21585975), (-38.8344, 0.84414211), (0.01, 1.0), (29.7646, 1.11813889),
         (156.5985, 1.60980185), (231.928, 1.89279768), (419.527, 2.56891730),
         (660.323, 3.37600860)]
A8, B8 = -1.5e-4, 1.0e-5


def w8(wr):
    """W at Wr for sub-range 8: b·x² + (a − 1)·x + Wr − 1 = 0, x = W − 1."""
    return 1 + 2 * (wr - 1) / ((1 - A8) + math.sqrt((1 - A8) ** 2 - 4 * B8 * (wr - 1)))


def test_with_no_deviation_every_fixed_point_gives_its_table_wr():
    s = kelvora.ITS90(100, {4: (0, 0), 7: (0, 0, 0)})
    t, wr = np.array(FIXED).T
    assert np.abs(kelvora.resistance(s, t) / 100 - wr).max() < 1e-8
    assert kelvora.resistance(s, 0.01) == 100.0 and kelvora.temperature(s, 100.0) == 0.01


def test_a_certificate_both_ways_as_any_sensor():
    s = kelvora.ITS90(25, {5: (-1.1e-4, 1.5e-5), 8: (A8, B8)})
    assert kelvora.resistance(s, 419.527) == pytest.approx(25 * w8(2.56891730), abs=3e-7)
    assert kelvora.resistance(s, 231.928) == pytest.approx(25 * w8(1.89279768), abs=3e-7)
    t = np.linspace(-38.8344, 419.527, 97)
    r = kelvora.resistance(s, t)
    assert np.abs(kelvora.temperature(s, r) - t).max() < 1e-9
    series = kelvora.temperature(s, pd.Series(r[:3], index=["a", "b", "c"]))
    assert list(series.index) == ["a", "b", "c"]
    lazy = kelvora.resistance(s, da.from_array(t, chunks=10))
    assert lazy.compute().tobytes() == r.tobytes()
    h = 1e-4
    assert kelvora.slope(s, 100.0) == pytest.approx(
        (kelvora.resistance(s, 100 + h) - kelvora.resistance(s, 100 - h)) / (2 * h), rel=1e-6)
    table = kelvora.table(s, 0.01, 2.01)
    assert table["resistance_ohm"][0] == 25.0 and len(table) == 3
    assert math.isnan(kelvora.resistance(s, -40.0))
    with pytest.raises(ValueError, match=r"ITS90 \(sub-ranges 5: -38.8344 °C to 0.01 °C, 8: "
                                         r"0.01 °C to 419.527 °C\): accepted -38.8344 °C"):
        kelvora.resistance(s, -40.0, errors="raise")


def test_a_value_pickles_and_its_ufunc_reaches_a_fresh_process_by_its_name():
    s = kelvora.ITS90(25.5, {4: (-1.2e-4, -2.5e-5), 11: (2e-5,)})
    assert pickle.loads(pickle.dumps(s)) == s and s.deviations == {4: (-1.2e-4, -2.5e-5),
                                                                   11: (2e-5,)}
    uf = kelvora._sensors._resolve(s).ufunc("inverse")
    run = subprocess.run([sys.executable, "-c", "import pickle, sys; "
                          "print(pickle.loads(sys.stdin.buffer.read())(20.0).hex())"],
                         input=pickle.dumps(uf), capture_output=True, check=True)
    assert run.stdout.decode().strip() == kelvora.temperature(s, 20.0).hex()


def test_sub_range_eight_from_tin_and_zinc_is_exact():
    t = [231.928, 419.527]
    r = [25 * w8(1.89279768), 25 * w8(2.56891730)]
    fit = kelvora.fit_its90(t, r, 8, 25)
    assert fit.subrange == 8 and len(fit.coefficients) == 2
    assert abs(fit.coefficients[0] - A8) < 5e-8 and abs(fit.coefficients[1] - B8) < 5e-8
    assert fit.max_residual_mK < 1e-6
    assert np.abs(kelvora.resistance(fit.its90(), t) - r).max() < 1e-10  # 10 digits given
    assert kelvora.resistance(fit.its90(), t).tobytes() == fit.fit.tobytes()


@pytest.mark.parametrize("call, error, message", [
    (lambda: kelvora.ITS90(0, {8: (0, 0)}), ValueError, "R_tpw must be a number between"),
    (lambda: kelvora.ITS90("25", {8: (0, 0)}), TypeError, "rtpw"),
    (lambda: kelvora.ITS90(25, [(8, (0, 0))]), TypeError, "deviations must be a mapping"),
    (lambda: kelvora.ITS90(25, {"8": (0, 0)}), TypeError, "a sub-range is a whole number"),
    (lambda: kelvora.ITS90(25, {8: "ab"}), TypeError, "coefficients must be numbers"),
    (lambda: kelvora.resistance("ITS90", 0), ValueError, "kelvora.ITS90(rtpw, deviations="),
    (lambda: kelvora.tolerance(kelvora.ITS90(25, {8: (0, 0)}), 100, "A"), ValueError,
     "has no tolerance classes"),
    (lambda: kelvora.fit_its90([231.928, 500], [47, 70], 8, 25), ValueError,
     "point 2: temperature 500 °C lies outside sub-range 8: 0.01 °C to 419.527 °C"),
    (lambda: kelvora.fit_its90([231.928], [47], 8.0, 25), TypeError, "whole number"),
    (lambda: kelvora.fit_its90([1, 2], [25], 8, 25), ValueError, "as long as each other"),
])
def test_a_bad_call_raises_with_a_message(call, error, message):
    with pytest.raises(error) as e:
        call()
    assert message in str(e.value)
