"""kelvora's interface: what each kind and shape of input gives back, values out of range and
errors="raise", the table's points, and one table of bad calls with what each raises."""

import math
import pickle
import subprocess
import sys
import warnings

import dask.array as da
import numpy as np
import pandas as pd
import pytest

import kelvora

GRID = np.linspace(-300.0, 1400.0, 24).reshape(4, 6)  # inside and outside type K's range
NUMBER_KINDS = [  # (name, input, type of the result, expected shape)
    ("float", 250.0, float, None),
    ("int", 250, float, None),
    ("numpy scalar", np.float32(250.5), float, None),
    ("0-d", np.array(250.0), np.float64, ()),
    ("list", [0, 250, 1500], np.ndarray, (3,)),
    ("2-d", GRID, np.ndarray, (4, 6)),
    ("float32", GRID.astype(np.float32), np.ndarray, (4, 6)),
    ("int8", np.arange(-100, 100, 7, dtype=np.int8), np.ndarray, (29,)),
    ("view", GRID[::2, ::-3], np.ndarray, (2, 2)),
    ("nan and inf", [np.nan, np.inf, -np.inf, 100.0], np.ndarray, (4,)),
]


def one_by_one(f, *arrays):
    """f on each element's values as Python floats: the scalar path of the functions."""
    b = np.broadcast_arrays(*(np.asarray(a, dtype=float) for a in arrays))
    return np.array([f(*(float(x) for x in xs)) for xs in zip(*(x.ravel() for x in b))]
                    ).reshape(b[0].shape)


@pytest.mark.parametrize("name, given, kind, shape", NUMBER_KINDS, ids=[k[0] for k in NUMBER_KINDS])
def test_each_kind_of_input_gives_its_kind_back_with_the_scalar_paths_bits(name, given, kind,
                                                                           shape):
    with warnings.catch_warnings():
        warnings.simplefilter("error")  # NaN and infinities in are no cause for warnings
        for f in (lambda t: kelvora.emf("K", t, cj=25.0), lambda t: kelvora.slope("K", t),
                  lambda t: kelvora.temperature("J", t, cj=-5.0, exact=True),
                  lambda t: kelvora.temperature("Pt100", t),
                  lambda t: kelvora.resistance("Pt1000", t),
                  lambda t: kelvora.tolerance("Pt100", t, "B", "film")):
            r = f(given)
            assert type(r) is kind
            assert shape is None or (r.shape, r.dtype) == (shape, np.float64)
            assert one_by_one(f, given).tobytes() == np.asarray(r, dtype=float).tobytes()


def test_t_and_cj_broadcast_against_each_other():
    t, cj = np.array([[100.0], [500.0], [2000.0]]), np.array([-300.0, 0.0, 25.0, 40.0])
    r = kelvora.emf("E", t, cj)
    assert r.shape == (3, 4)
    assert one_by_one(lambda a, b: kelvora.emf("E", a, b), t, cj).tobytes() == r.tobytes()
    assert np.isnan(r[:, 0]).all() and np.isnan(r[2]).all()  # cj or t outside -270…1000 °C
    back = kelvora.temperature("E", r[:2, 1:], cj[1:])
    assert np.allclose(back, [[100.0] * 3, [500.0] * 3], atol=0.03)  # the inverse's error band


def test_a_series_keeps_its_index_and_a_dask_array_stays_lazy():
    readings = pd.Series([1.2, 5.5, 60.0], index=pd.date_range("2026-01-01", periods=3),
                         name="ch1")
    r = kelvora.temperature("K", readings, cj=22.5)
    assert isinstance(r, pd.Series) and r.index.equals(readings.index) and r.name == "ch1"
    assert r.iloc[:2].tolist() == [kelvora.temperature("K", v, cj=22.5) for v in (1.2, 5.5)]
    assert math.isnan(r.iloc[2])
    x = da.from_array(GRID.ravel(), chunks=5)
    lazy = kelvora.emf("K", x)
    assert isinstance(lazy, da.Array) and lazy.chunks == x.chunks
    assert lazy.compute(scheduler="threads").tobytes() == kelvora.emf("K", GRID.ravel()).tobytes()
    with pytest.raises(TypeError, match="in memory"):
        kelvora.emf("K", x, errors="raise")


def test_a_ufunc_reaches_a_fresh_process_by_its_name():
    """As a Dask cluster ships a conversion to its workers: a certificate's coefficients."""
    rtd = kelvora.RTD.callendar(r0=99.98, alpha=0.003851, delta=1.4999, beta=0.10863)
    uf = kelvora._sensors._resolve(rtd).ufunc("reading")
    assert pickle.loads(pickle.dumps(rtd)) == rtd
    run = subprocess.run([sys.executable, "-c", "import pickle, sys; "
                          "print(pickle.loads(sys.stdin.buffer.read())(-100.0).hex())"],
                         input=pickle.dumps(uf), capture_output=True, check=True)
    assert run.stdout.decode().strip() == kelvora.resistance(rtd, -100.0).hex()


RAISE = {"errors": "raise"}


@pytest.mark.parametrize("call, message", [
    (lambda: kelvora.emf("K", 1500, **RAISE), "temperature 1500 °C is out of range for type K "
                                              "thermocouple: accepted -270 °C to 1372 °C"),
    (lambda: kelvora.emf("K", [25, np.nan, np.inf], **RAISE),
     "1 of 3 values are out of range; the first, at index 2: temperature inf °C"),
    (lambda: kelvora.emf("K", 25, cj=[[0], [-280]], **RAISE),
     "at index (1, 0): reference temperature"),
    (lambda: kelvora.emf("K", 2000, cj=None, **RAISE), "temperature 2000 °C"),
    (lambda: kelvora.temperature("K", 54, cj=25, **RAISE),
     "accepted -6.891 mV to 53.886 mV with the reference junction at 25 °C"),
    (lambda: kelvora.temperature("K", 60, cj=None, **RAISE), "54.886 mV against 0 °C"),
    (lambda: kelvora.temperature("B", -0.001, exact=True, **RAISE), "gives two temperatures"),
    (lambda: kelvora.temperature("Pt100", 10, **RAISE), "accepted 18.52 Ω to 390.48 Ω"),
    (lambda: kelvora.resistance("Cu50", pd.Series([0.0, 150.0]), **RAISE),
     "150 °C itself excluded"),
    (lambda: kelvora.tolerance("Pt100", 500, "A", **RAISE),
     "outside class A (wire-wound) of Pt100: -100 °C to 450 °C"),
])
def test_errors_raise_names_the_accepted_range(call, message):
    with pytest.raises(ValueError) as e:
        call()
    assert message in str(e.value)


def test_nan_stays_nan_even_with_errors_raise():
    assert math.isnan(kelvora.emf("K", math.nan, errors="raise"))
    assert np.isnan(kelvora.slope("N", [math.nan, 100.0], errors="raise")).tolist() == [True,
                                                                                        False]


def test_tolerances_are_those_of_the_standards():
    # IEC 60584-1: ±1.5 °C or 0.004·|t|; IEC 60751: ±(0.15 + 0.002·|t|) wire, class A film
    # from -30 °C; copper ±(0.3 + 0.006·|t|).
    assert kelvora.tolerance("K", 500, 1) == pytest.approx(2.0)
    assert kelvora.tolerance("k", 100, "1") == pytest.approx(1.5)
    assert kelvora.tolerance("Pt100", -50, "a") == pytest.approx(0.25)
    assert math.isnan(kelvora.tolerance("Pt100", -50, "A", "film"))
    assert kelvora.tolerance("Cu50", 100, 1) == pytest.approx(0.9)


def test_table_points_are_exact_decimals_and_their_values_the_functions():
    t = kelvora.table("K", 0, 1, 0.1, cj=25)
    assert t.dtype.names == ("temperature_C", "emf_mV")
    assert t["temperature_C"].tolist() == [k / 10 for k in range(11)]  # 0.3, not 3 × 0.1
    assert t["emf_mV"].tobytes() == kelvora.emf("K", t["temperature_C"], cj=25).tobytes()
    copper = pd.DataFrame(kelvora.table("Cu50", step=0.5))
    assert list(copper.columns) == ["temperature_C", "resistance_ohm"]
    assert copper["temperature_C"].iloc[[0, -1]].tolist() == [-50.0, 149.5]  # 150 excluded
    assert kelvora.table("T", -0.2, 0.25, 0.15)["temperature_C"].tolist() == [-0.2, -0.05, 0.1,
                                                                               0.25]


def test_the_catalogue_is_the_windows():
    codes = [s.code for s in kelvora.sensors()]
    assert codes == ["S", "R", "B", "K", "N", "E", "J", "T", "Pt100", "Pt10", "Cu100", "Cu50"]
    cu50 = kelvora.sensors()[-1]
    assert (cu50.kind, cu50.t_min_C, cu50.t_max_C, cu50.t_max_included) == ("RTD", -50, 150,
                                                                            False)


BAD_CALLS = [
    (lambda: kelvora.emf("X", 1), ValueError, "unknown sensor 'X': one of S R B K"),
    (lambda: kelvora.emf(" K", 1), ValueError, "unknown sensor"),
    (lambda: kelvora.emf(None, 1), TypeError, "sensor must be a code"),
    (lambda: kelvora.emf("Pt0", 1), ValueError, "R0 must be greater than 0"),
    (lambda: kelvora.emf("Pt100", 1), ValueError, "emf needs a thermocouple"),
    (lambda: kelvora.resistance("J", 1), ValueError, "needs a resistance thermometer"),
    (lambda: kelvora.emf("K", "100"), TypeError, "t must be a number"),
    (lambda: kelvora.emf("K", ["1", "2"]), TypeError, "must be numbers or arrays of numbers"),
    (lambda: kelvora.emf("K", [1, 2], cj=[1, 2, 3]), ValueError, "broadcast"),
    (lambda: kelvora.emf("K", 1j), TypeError, "not complex"),
    (lambda: kelvora.emf("K", 1, errors="ignore"), ValueError, "'nan' or 'raise'"),
    (lambda: kelvora.temperature("K", 1, exact="yes"), TypeError, "exact must be True or False"),
    (lambda: kelvora.temperature("Pt100", 100, cj=20), ValueError, "has no reference junction"),
    (lambda: kelvora.temperature("Pt100", 100, exact=True), ValueError, "thermocouples only"),
    (lambda: kelvora.tolerance("K", 1, "AA"), ValueError, "no tolerance class AA: its classes "
                                                          "are 1 2 3"),
    (lambda: kelvora.tolerance("B", 700, 1), ValueError, "its classes are 2 3"),
    (lambda: kelvora.tolerance("Ni1000", 1, 1), ValueError, "has no tolerance classes"),
    (lambda: kelvora.tolerance("K", 1, 4), ValueError, "one of 1 2 3"),
    (lambda: kelvora.tolerance("K", 1, 1.0), TypeError, "cls must be a class"),
    (lambda: kelvora.tolerance("K", 1, 1, "film"), ValueError, "platinum thermometers only"),
    (lambda: kelvora.tolerance("Pt100", 1, "A", "thin"), ValueError, "'wire'"),
    (lambda: kelvora.RTD(r0=-100), ValueError, "R0 must be greater than 0"),
    (lambda: kelvora.RTD(r0=100, a=math.nan), ValueError, "must be finite"),
    (lambda: kelvora.RTD(r0=100, b=-1e-3), ValueError, "does not rise"),
    (lambda: kelvora.RTD(r0="100"), TypeError, "r0 must be a number"),
    (lambda: kelvora.RTD.callendar(100, alpha=None, delta=1.5), TypeError, "alpha"),
    (lambda: kelvora.table("K", 0, 1, 1 / 3), ValueError, "step '0.3333333333333333': at most "
                                                          "9 decimals"),
    (lambda: kelvora.table("K", -300), ValueError, "start -300 °C is out of range"),
    (lambda: kelvora.table("K", 10, 0), ValueError, "start must not be above stop"),
    (lambda: kelvora.table("K", step=0), ValueError, "step must be greater than 0"),
    (lambda: kelvora.table("K", step=1e-6), ValueError, "at most 10000000"),
    (lambda: kelvora.table("K", cj=1400), ValueError, "reference temperature 1400 °C"),
    (lambda: kelvora.table("K", math.inf), ValueError, "finite"),
    (lambda: kelvora.table("Cu50", cj=5), ValueError, "has no reference junction"),
    (lambda: kelvora.format_fixed(1.5, 16), ValueError, "between 0 and 15"),
    (lambda: kelvora._ufuncs.emf_Pt100, AttributeError, "no attribute 'emf_Pt100'"),
]


@pytest.mark.parametrize("call, error, message", BAD_CALLS)
def test_a_bad_call_raises_with_a_message(call, error, message):
    with pytest.raises(error) as e:
        call()
    assert message in str(e.value)
