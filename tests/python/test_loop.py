"""kelvora.Transmitter and kelvora.check: the output against numpy's own expression, the
states' names, every kind of input, the sheet against NIST's type K table (NIST SRD 60:
E(25 °C) = 1.000, E(125 °C) = 5.124, E(250 °C) = 10.153, E(375 °C) = 15.343, E(500 °C) =
20.644 mV) and one table of bad calls."""

import math
import pickle

import dask.array as da
import numpy as np
import pandas as pd
import pytest

import kelvora
from kelvora import _core

K_0_500 = kelvora.Transmitter(0, 500)


def test_output_is_numpys_own_expression_bit_for_bit():
    t = np.random.default_rng(24).uniform(-100.0, 600.0, 10_001)
    for x in (K_0_500, kelvora.Transmitter(850, -200, "2-10V"),
              kelvora.Transmitter(-50.5, 150.25, "0-20mA")):
        expected = x.lo + (x.hi - x.lo) * (t - x.lrv) / (x.urv - x.lrv)
        assert x.output(t).tobytes() == expected.tobytes()
        assert x.output(t[::-7]).tobytes() == expected[::-7].tobytes()  # a strided view
        assert x.output(float(t[5])) == expected[5]
    assert K_0_500.output(250) == 12.0 and K_0_500.output(-50) == pytest.approx(2.4)


def test_state_names_and_no_temperature_where_ne43_gives_none():
    mA = [3.6, 3.7, 3.8, 13.6, 20.5, 20.7, 21.0]
    assert K_0_500.state(mA).tolist() == list(kelvora._loop.STATES[:7])
    assert np.isnan(K_0_500.temperature(mA)).tolist() == [True, True, False, False, False, True,
                                                          True]
    assert K_0_500.temperature(13.6) == 300.0
    x = kelvora.Transmitter(0, 100, "0-10V")
    assert (x.signal, x.unit, x.lo, x.hi, x.state(12.0)) == ("0-10V", "V", 0.0, 10.0,
                                                              "above_range")


def test_each_kind_of_input_gives_its_kind_back():
    mA = [3.5, 3.9, 12.0, np.nan]
    assert isinstance(K_0_500.output(np.float32(250)), float)
    states = K_0_500.state(np.array(mA).reshape(2, 2))
    assert states.shape == (2, 2) and states[1, 1] == "nan"
    series = pd.Series(mA, index=list("abcd"), name="loop")
    for f in (K_0_500.output, K_0_500.temperature, K_0_500.state):
        r = f(series)
        assert isinstance(r, pd.Series) and r.index.equals(series.index)
    assert K_0_500.state(series).tolist() == ["failure_low", "below_range", "in_range", "nan"]
    lazy = da.from_array(np.array(mA * 3), chunks=5)
    for f in (K_0_500.output, K_0_500.temperature, K_0_500.state):
        r = f(lazy)
        assert isinstance(r, da.Array)
        expected = f(np.array(mA * 3))
        np.testing.assert_array_equal(r.compute(scheduler="threads"), expected)


def test_errors_raise_names_the_state_and_a_value_travels_by_pickle():
    with pytest.raises(ValueError, match="NAMUR NE 43: failure signal, low: 3.5 mA carries no "
                                         "temperature"):
        K_0_500.temperature(3.5, errors="raise")
    with pytest.raises(ValueError, match="at index 1: NAMUR NE 43: not a measurement"):
        K_0_500.temperature([12.0, 20.7], errors="raise")
    assert math.isnan(K_0_500.temperature(math.nan, errors="raise"))
    assert pickle.loads(pickle.dumps(K_0_500)) == K_0_500
    assert pickle.loads(pickle.dumps(_core.transmitter_output)) is _core.transmitter_output


def test_a_type_k_sheet_sources_nists_emfs():
    sheet = kelvora.check("K", K_0_500, cj=25)
    assert sheet.dtype.names == ("percent", "temperature_C", "input_mV", "expected_mA",
                                 "saturated")
    assert sheet["temperature_C"].tolist() == [0, 125, 250, 375, 500]
    nist = np.array([0.000, 5.124, 10.153, 15.343, 20.644]) - 1.000
    assert np.allclose(sheet["input_mV"], nist, atol=1.0e-3)
    assert sheet["input_mV"].tobytes() == kelvora.emf("K", sheet["temperature_C"],
                                                      cj=25).tobytes()
    assert sheet["expected_mA"].tolist() == [4, 8, 12, 16, 20]
    assert sheet["saturated"].dtype == bool and not sheet["saturated"].any()


def test_found_and_left_fields_and_verdicts():
    sheet = kelvora.check("Pt100", kelvora.Transmitter(0, 100, "0-10V"), at=[-10, 50, 110],
                          updown=True, found=[0, 5.01, 10, 5.02, 0.0], left=[0, 5, 10, 5, 0],
                          accuracy=0.15)
    assert sheet.dtype.names[2:] == ("input_ohm", "expected_V", "saturated", "found_V",
                                     "found_error_pct", "found_error_C", "found_pass", "left_V",
                                     "left_error_pct", "left_error_C", "left_pass")
    assert sheet["percent"].tolist() == [-10, 50, 110, 50, -10]
    assert sheet["saturated"].tolist() == [True, False, True, False, True]
    assert sheet["found_error_pct"][[1, 3]] == pytest.approx([0.1, 0.2])  # 0.01 V of 10 V
    assert sheet["found_pass"].tolist() == [True, True, True, False, True]


X = K_0_500
BAD_CALLS = [
    (lambda: kelvora.Transmitter(100, 100), ValueError, "two finite numbers that differ"),
    (lambda: kelvora.Transmitter("0", 100), TypeError, "lrv must be a number"),
    (lambda: kelvora.Transmitter(0, 100, "4-20A"), ValueError, "signal '4-20A': write LO-HI"),
    (lambda: kelvora.Transmitter(0, 100, 20), TypeError, "signal must be a text"),
    (lambda: X.output("250"), TypeError, "t must be a number"),
    (lambda: X.temperature(12, errors="ignore"), ValueError, "'nan' or 'raise'"),
    (lambda: kelvora.check("K", (0, 500)), TypeError, "must be a kelvora.Transmitter"),
    (lambda: kelvora.check("K", X, points=1), ValueError, "between 2 and 1000000"),
    (lambda: kelvora.check("K", X, points=2.5), TypeError, "points must be a whole number"),
    (lambda: kelvora.check("K", X, points=3, at=[0]), ValueError, "give the points one way"),
    (lambda: kelvora.check("K", X, at=["x"]), TypeError, "at must be numbers"),
    (lambda: kelvora.check("K", X, at=[0, math.nan]), ValueError, "at must be finite numbers"),
    (lambda: kelvora.check("K", X, at=5), TypeError, "at must be a sequence"),
    (lambda: kelvora.check("K", X, found=[4, 8, 12]), ValueError,
     "as found: 3 values for 5 points"),
    (lambda: kelvora.check("Pt100", X, cj=25), ValueError, "has no reference junction"),
    (lambda: kelvora.check("K", kelvora.Transmitter(0, 1372), at=[110]), ValueError,
     "test point at 110 % of span: 1509.2 °C is out of range for type K thermocouple"),
]


@pytest.mark.parametrize("call, error, message", BAD_CALLS)
def test_a_bad_call_raises_with_a_message(call, error, message):
    with pytest.raises(error) as e:
        call()
    assert message in str(e.value)
