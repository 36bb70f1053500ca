"""Lead errors, cable tolerances and the uncertainty budget: figures worked by hand (the
Callendar–Van Dusen equation as a quadratic, copper's ρ₂₀ = 0.017241 Ω·mm²/m, 20 AWG =
0.5176 mm², IEC 60751 class A, the GUM's divisors), the kinds of input lead_error takes, and
one table of bad calls with what each raises."""

import math
import pickle

import dask.array as da
import numpy as np
import pandas as pd
import pytest

import kelvora

A, B = 3.9083e-3, -5.775e-7


def pt100_at(r):
    """The temperature of a Pt100 at r Ω from 0 °C up: 100·(1 + A·t + B·t²) = r."""
    return (-A + math.sqrt(A * A + 4 * B * (r / 100 - 1))) / (2 * B)


def test_lead_errors_worked_by_hand():
    assert kelvora.lead_error("Pt100", 0, 2, ohms=0.5) == pytest.approx(pt100_at(101), abs=1e-12)
    assert kelvora.lead_error("Pt100", 0.0, 2, length=50, area=0.5) == pytest.approx(
        pt100_at(100 + 2 * 1.7241), abs=1e-12)
    r_l = 0.017241 * (1 + 0.00393 * 30) * 10 / 0.5176192419280384  # 10 m of 20 AWG at 50 °C
    assert kelvora.lead_error("Pt100", 0, 2, length=10, awg=20, at=50) == pytest.approx(
        pt100_at(100 + 2 * r_l), abs=1e-9)
    assert kelvora.lead_error("Pt100", 0, 3, ohms=5, imbalance=1) == pytest.approx(
        pt100_at(101), abs=1e-12)
    assert kelvora.lead_error("Pt100", 100, 4, ohms=5) == pytest.approx(0, abs=1e-12)


def test_lead_error_is_a_ufunc_over_t():
    t = np.array([[0.0, 100.0], [849.0, 900.0]])
    r = kelvora.lead_error("Pt100", t, 2, ohms=1.0)
    assert r.shape == (2, 2) and np.isnan(r[1]).all()  # 849 °C reads past 850 °C's resistance
    assert r[0, 0] == kelvora.lead_error("Pt100", 0.0, 2, ohms=1.0)
    series = pd.Series([0.0, 50.0], index=["a", "b"])
    assert list(kelvora.lead_error("Pt100", series, 2, ohms=0.5).index) == ["a", "b"]
    lazy = kelvora.lead_error("Pt100", da.from_array(np.array([0.0, 50.0]), chunks=1), 2, ohms=0.5)
    assert isinstance(lazy, da.Array)
    assert lazy.compute()[0] == pytest.approx(pt100_at(101), abs=1e-12)
    # Pickled by name, as a Dask cluster ships it, and made again from the name alone.
    half = "lead_error_Pt100_w2_3fe0000000000000_"  # R_L = 0.5 Ω, the bits of the double
    name = next(n for n in vars(kelvora._ufuncs) if n.startswith(half))
    data = pickle.dumps(getattr(kelvora._ufuncs, name))
    delattr(kelvora._ufuncs, name)
    again = pickle.loads(data)
    assert again.__name__ == name and again(0.0) == pytest.approx(pt100_at(101), abs=1e-12)


def test_cable_tolerances_and_a_budget_of_class_a_alone():
    assert kelvora.cable_tolerance("kx", 2) == 100
    assert kelvora.cable_tolerance("RCB", "2") == 60
    b = kelvora.budget("Pt100", 100, cls="A")
    assert b.u_c == pytest.approx(0.35 / math.sqrt(3), abs=1e-15)
    assert (b.k, b.U) == (2.0, pytest.approx(0.7 / math.sqrt(3), abs=1e-15))
    assert b.rows.dtype.names == ("contribution", "value", "unit", "distribution", "divisor",
                                  "sensitivity_C_per_unit", "u_C", "share_pct")
    assert list(b.rows["contribution"]) == ["class"] and b.corrections == {}


def test_the_budget_gives_the_command_lines_numbers_in_full():
    b = kelvora.budget("K", 300, cls=1, cj_error=0.5, cj=25, cable=("KX", 2), meter=(0.05, 0.01),
                       transmitter=0.1, range=(0, 600), rows=[("drift", 0.1, "C", "normal:2")],
                       k=3)
    assert list(b.rows["contribution"]) == ["class", "cj", "cable", "meter", "transmitter",
                                            "drift"]
    assert list(b.rows["divisor"][:5]) == [math.sqrt(3)] * 5 and b.rows["divisor"][5] == 2
    assert b.rows["sensitivity_C_per_unit"][2] == pytest.approx(1 / 41.446, rel=2e-5)
    assert b.rows["share_pct"].sum() == pytest.approx(100)
    assert b.u_c == pytest.approx(math.sqrt((b.rows["u_C"] ** 2).sum()), rel=1e-15)
    assert b.U == 3 * b.u_c
    rtd = kelvora.budget("Pt100", 0, rows=[("a", 0.3, "C", "std")],
                         leads={"wires": 2, "ohms": 0.5})
    assert rtd.corrections == {"leads": pytest.approx(-pt100_at(101), abs=1e-12)}


BAD = [  # (call, exception, a part of its message)
    (lambda: kelvora.lead_error("K", 0, 2, ohms=1), ValueError, "see budget(cable=...)"),
    (lambda: kelvora.lead_error("Pt100", 0, 5, ohms=1), ValueError, "wires must be 2, 3 or 4"),
    (lambda: kelvora.lead_error("Pt100", 0, 2), ValueError, "ohms R_L, or length L"),
    (lambda: kelvora.lead_error("Pt100", 0, 2, length=-1, area=1), ValueError, "length must be"),
    (lambda: kelvora.lead_error("Pt100", 0, 2, length=1, awg=41), ValueError, "awg must be"),
    (lambda: kelvora.lead_error("Pt100", 0, "2", ohms=1), TypeError, "wires must be"),
    (lambda: kelvora.lead_error("Pt100", 0, 2, ohms="1"), TypeError, "ohms must be a number"),
    (lambda: kelvora.lead_error("Pt100", "0", 2, ohms=1), TypeError, "t must be a number"),
    (lambda: kelvora.cable_tolerance("ZX", 2), ValueError, "unknown cable 'ZX'"),
    (lambda: kelvora.cable_tolerance("KCA", 1), ValueError, "its class is 2"),
    (lambda: kelvora.cable_tolerance("KX", 1.5), TypeError, "cls must be 1 or 2"),
    (lambda: kelvora.budget("K", 300), ValueError, "give cls, cj_error, cable"),
    (lambda: kelvora.budget("K", 1500, cls=1), ValueError, "temperature 1500 °C is out of range"),
    (lambda: kelvora.budget("J", 300, cable="KX:2"), ValueError, "not type J"),
    (lambda: kelvora.budget("K", 300, cable="KX:2", cable_at=250), ValueError,
     "cable temperature 250 °C"),
    (lambda: kelvora.budget("Pt100", 0, cable="KX:2"), ValueError, "whose leads go with leads"),
    (lambda: kelvora.budget("K", 0, leads={"wires": 2, "ohms": 1}), ValueError,
     "K is a thermocouple"),
    (lambda: kelvora.budget("K", 0, leads={"wire": 2}), TypeError, "not wire"),
    (lambda: kelvora.budget("K", 0, rows=[("a", 1, "K", "rect")]), ValueError, "unit 'K'"),
    (lambda: kelvora.budget("K", 0, rows=[("a", 1, "C", "gauss")]), ValueError,
     "distribution 'gauss'"),
    (lambda: kelvora.budget("K", 0, rows=[("a", -1, "C", "rect")]), ValueError, "0 or more"),
    (lambda: kelvora.budget("K", 0, rows=["a,1,C,rect"]), TypeError, "(name, value, unit"),
    (lambda: kelvora.budget("K", 0, cls="X"), ValueError, "cls 'X'"),
    (lambda: kelvora.budget("K", 0, transmitter=1), ValueError, "transmitter PCT and range"),
    (lambda: kelvora.budget("K", 0, meter=(1, 2, 3)), ValueError, "meter takes one or two"),
    (lambda: kelvora.budget("K", 0, cls=1, k=0), ValueError, "k must be greater than 0"),
    (lambda: kelvora.budget("K", [0, 1], cls=1), TypeError, "t must be a number"),
]


@pytest.mark.parametrize("call, error, text", BAD, ids=[b[2] for b in BAD])
def test_bad_calls_raise_and_say_why(call, error, text):
    with pytest.raises(error) as e:
        call()
    assert text in str(e.value)
