"""Calibration in Python: fit_cvd on points of the IEC 60751 curve (A = 3.9083e-3,
B = −5.775e-7, C = −4.183e-12, R0 = 100 Ω, worked here from the standard's equation), and a
thermocouple's deviation on emf, temperature and slope; one table of bad calls."""

import pickle
import subprocess
import sys
import warnings

import dask.array as da
import numpy as np
import pytest

import kelvora

A, B, C = 3.9083e-3, -5.775e-7, -4.183e-12


def iec(t, r0=100.0):
    t = np.asarray(t, dtype=float)
    return r0 * (1 + A * t + B * t * t + np.where(t < 0, C * (t - 100) * t ** 3, 0.0))


def test_the_standard_curve_fits_back_to_its_coefficients():
    t = np.array([-200.0, -100.0, 0.0, 420.0, 850.0])
    fit = kelvora.fit_cvd(t, iec(t))
    # Within 1e-12 of the standard's, the 10 significant digits reported are its own.
    assert (fit.r0, fit.a, fit.b, fit.c) == (100.0, A, B, C)
    assert fit.alpha == 0.00385055
    assert abs(fit.delta - 1.4997857) < 1e-7 and abs(fit.beta - 0.1086338) < 1e-7
    assert np.abs(fit.residuals_mK).max() < 1e-3
    assert kelvora.resistance(fit.rtd(), t).tobytes() == fit.fit.tobytes()
    fixed = kelvora.fit_cvd([100, 850], iec([100, 850]), r0=100)  # A and B from two points
    assert (fixed.r0, fixed.a, fixed.b, fixed.c) == (100.0, A, B, 0.0)


def test_noise_of_a_milliohm_leaves_residuals_of_a_milliohm():
    t = np.linspace(-200, 850, 11)
    r = iec(t) + np.where(np.arange(11) % 2 == 0, 1e-3, -1e-3)
    fit = kelvora.fit_cvd(t, r)
    assert 0.5e-3 < np.sqrt(np.mean(fit.residuals_ohm ** 2)) < 1e-3
    assert np.abs(fit.residuals_ohm).max() < 1.5e-3
    assert np.allclose(fit.residuals_mK,
                       fit.residuals_ohm / kelvora.slope(fit.rtd(), t) * 1000, rtol=1e-12)
    assert fit.max_residual_mK == np.abs(fit.residuals_mK).max()


# NIST SRD 60, type K: 4.096 mV at 100 °C, 20.644 mV at 500 °C.
CONSTANT = ([100, 500, 900], [10, 10, 10])  # +10 µV everywhere
CUBIC = ([0, 200, 400, 600, 800], [0, -8, -15, -12, 4])


def test_a_constant_deviation_shifts_the_reference_function_exactly():
    t = np.array([100.0, 500.0, 900.0])
    shifted = kelvora.emf("K", t, cj=None, deviation=CONSTANT, degree=0)
    assert np.allclose(shifted - kelvora.emf("K", t, cj=None), 0.010, rtol=0, atol=1e-14)
    assert np.allclose(shifted[:2], [4.106, 20.654], atol=0.5e-3)
    # Against a reference junction the constant cancels (20 °C is extrapolated: a warning).
    with pytest.warns(kelvora.ExtrapolationWarning, match="the reference junction at 20 °C"):
        assert kelvora.emf("K", 500, cj=20, deviation=CONSTANT, degree=0) == pytest.approx(
            kelvora.emf("K", 500, cj=20), abs=1e-14)
    back = kelvora.temperature("K", shifted, cj=None, deviation=CONSTANT, degree=0)
    assert np.allclose(back, t, rtol=0, atol=1e-9)
    assert kelvora.slope("K", 500, deviation=CONSTANT) == pytest.approx(kelvora.slope("K", 500),
                                                                       abs=1e-12)


def test_a_deviation_round_trips_on_every_kind_of_input():
    t = np.linspace(-100.0, 1300.0, 57)
    cj = 22.5
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", kelvora.ExtrapolationWarning)
        e = kelvora.emf("K", t, cj, deviation=CUBIC)
        back = kelvora.temperature("K", e, cj, deviation=CUBIC, exact=True)
        one = [kelvora.emf("K", float(x), cj, deviation=CUBIC) for x in t]
        lazy = kelvora.emf("K", da.from_array(t, chunks=10), cj, deviation=CUBIC)
    assert np.allclose(back, t, rtol=0, atol=1e-9)
    assert np.array(one).tobytes() == e.tobytes()
    assert isinstance(lazy, da.Array) and lazy.compute().tobytes() == e.tobytes()


def test_a_deviations_ufunc_reaches_a_fresh_process_by_its_name():
    uf = kelvora._calibration._ufunc("slope", kelvora._calibration._deviation(
        kelvora._sensors._resolve("K"), CUBIC, 2))
    run = subprocess.run([sys.executable, "-c", "import pickle, sys; "
                          "print(pickle.loads(sys.stdin.buffer.read())(300.0).hex())"],
                         input=pickle.dumps(uf), capture_output=True, check=True)
    assert run.stdout.decode().strip() == kelvora.slope("K", 300.0, deviation=CUBIC,
                                                        degree=2).hex()


def test_extrapolation_warns_and_the_calibrated_temperatures_do_not():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        kelvora.emf("K", [0, 400, 800], deviation=CUBIC)
    with pytest.warns(kelvora.ExtrapolationWarning,
                      match="part of the temperatures, 0 °C to 1000 °C, lies outside the "
                            "calibrated temperatures 0 °C to 800 °C"):
        kelvora.slope("K", [0, 1000], deviation=CUBIC)


BAD_CALLS = [
    (lambda: kelvora.fit_cvd([0, 100], [100, 138.5]), ValueError,
     "fitting R0, A and B takes at least 3 points"),
    (lambda: kelvora.fit_cvd([0, 100, 100], [100, 138.5, 138.6]), ValueError,
     "point 2 and point 3: two resistances at 100 °C"),
    (lambda: kelvora.fit_cvd([0, 100, 200], [100, np.nan, 175.86]), ValueError,
     "point 2: resistance nan Ω"),
    (lambda: kelvora.fit_cvd([0, 100, 900], [100, 138.5, 400]), ValueError,
     "point 3: temperature 900 °C is outside -200 °C to 850 °C"),
    (lambda: kelvora.fit_cvd([0, 400, 850], [100, 150, 140]), ValueError, "does not rise"),
    (lambda: kelvora.fit_cvd([0, 100], [100, 138.5], r0=-1), ValueError, "R0 -1 Ω"),
    (lambda: kelvora.fit_cvd([0, 100, 200], [100, 138.5]), ValueError,
     "t and r must be as long as each other, not 3 and 2"),
    (lambda: kelvora.fit_cvd([[0, 100, 200]], [[100, 138.5, 175.9]]), ValueError,
     "one-dimensional"),
    (lambda: kelvora.fit_cvd("0 100 200", [100, 138.5, 175.9]), TypeError, "t must be numbers"),
    (lambda: kelvora.fit_cvd([0, 100, 200], [100, 138.5, 175.9], r0="100"), TypeError, "r0"),
    (lambda: kelvora.emf("Pt100", 100, deviation=CUBIC), ValueError,
     "deviation applies to thermocouples only; Pt100 is a resistance thermometer"),
    (lambda: kelvora.emf("K", 100, degree=1), ValueError, "degree goes with deviation"),
    (lambda: kelvora.emf("K", 100, deviation=[1, 2, 3]), TypeError, "a pair (t, dE_uV)"),
    (lambda: kelvora.emf("K", 100, deviation=CUBIC, degree=5), ValueError,
     "degree 5: a deviation's degree is 0 to 3"),
    (lambda: kelvora.emf("K", 100, deviation=CUBIC, degree=True), TypeError, "degree"),
    (lambda: kelvora.emf("K", 100, deviation=([100, 200], [1, 2]), degree=2), ValueError,
     "takes points at 3 different temperatures; the points lie at 2"),
    (lambda: kelvora.emf("K", 100, deviation=([1400], [1])), ValueError,
     "point 1: temperature 1400 °C is out of range for type K thermocouple"),
    (lambda: kelvora.temperature("K", 60, deviation=CUBIC, errors="raise"), ValueError,
     "with the reference junction at 0 °C and the thermocouple's deviation"),
]


@pytest.mark.parametrize("call, error, message", BAD_CALLS)
def test_a_bad_call_raises_with_a_message(call, error, message):
    with pytest.raises(error) as e:
        call()
    assert message in str(e.value)
