"""Lead wires, cable classes and the uncertainty budget: kelvora-cli's leads and budget.

lead_error gives a resistance thermometer's error through its copper leads, uncompensated,
over an array of temperatures; cable_tolerance an IEC 60584-3 extension or compensating
cable's tolerance; budget the GUM budget of kelvora-cli budget, the same numbers at full
precision.
"""

from __future__ import annotations

import numbers
import re
from typing import Any, Iterable, Optional, Union

import numpy as np

from . import _core, _ufuncs
from ._common import _call, _number, _one_number
from ._sensors import _resolve

__all__ = ["Budget", "budget", "cable_tolerance", "lead_error"]

# kelvora-cli's options as this module's arguments, in its messages.
_NAMES = {"class": "cls", "row": "rows", "leads": "leads"}


def _arguments(message: str) -> str:
    message = message.replace("--cable of budget", "budget(cable=...)")

    def name(m: re.Match) -> str:
        option = m.group(1)
        return _NAMES.get(option, option.replace("-", "_"))

    return re.sub(r"--([a-z][a-z-]*)", name, message)


def _answered(f: Any, *args: Any) -> Any:
    try:
        return f(*args)
    except ValueError as e:
        raise ValueError(_arguments(str(e))) from None


def _optional(v: Any, what: str) -> Optional[float]:
    return None if v is None else _one_number(v, what)


def _leads(s: Any, wires: Any, ohms: Any, length: Any, area: Any, awg: Any, at: Any,
           imbalance: Any) -> tuple:
    if isinstance(wires, (bool, np.bool_)) or not isinstance(wires, numbers.Real):
        raise TypeError(f"wires must be 2, 3 or 4, not {type(wires).__name__} {wires!r}")
    values = (_one_number(wires, "wires"), _optional(ohms, "ohms"), _optional(length, "length"),
              _optional(area, "area"), _optional(awg, "awg"), _one_number(at, "at"),
              _one_number(imbalance, "imbalance"))
    return _answered(s.core.leads, values)


def _lead_ufunc(s: Any, wires: int, lead_ohm: float, imbalance: float) -> np.ufunc:
    return _ufuncs.get_lead(s.core, wires, lead_ohm, imbalance)


def lead_error(sensor: Any, t: Any, wires: int, ohms: Optional[float] = None,
               length: Optional[float] = None, area: Optional[float] = None,
               awg: Optional[int] = None, at: float = 20.0, imbalance: float = 0.0) -> Any:
    """The temperature error in °C of a resistance thermometer at t °C read through copper
    leads without compensation: the temperature of the reading, by the exact inverse of the
    thermometer's curve (any code or RTD certificate), minus t.

    wires: 2 (the reading is R(t) + 2·R_L), 3 (R(t) + imbalance, the difference between the two
    leads' resistances in Ω) or 4 (R(t)). Each lead's resistance R_L is ohms (Ω), or copper of
    length m and cross-section area mm² (or awg, a whole gauge from 0 to 40: d = 0.127 mm ·
    92^((36 − awg)/39)) at the cable's temperature at °C: R_L = 0.017241·(1 + 0.00393·(at − 20))
    ·length/area Ω. A ufunc over t (numbers, arrays, pandas Series, dask arrays); NaN where t
    is outside the sensor's range or the reading beyond its resistances. ValueError for a
    thermocouple, a wiring other than 2, 3 or 4, the lead given neither or both ways, or a
    length, area or resistance not above 0.

        kelvora.lead_error("Pt100", 0, wires=2, ohms=0.5)      # 2.5596... °C
    """
    s = _resolve(sensor)
    wiring, lead_ohm, delta = _leads(s, wires, ohms, length, area, awg, at, imbalance)
    x = _number(t, "t")
    if x is not None:
        return s.core.lead_scalar(wiring, lead_ohm, delta)(x)
    return _call(_lead_ufunc(s, wiring, lead_ohm, delta), "t", t)


def cable_tolerance(name: str, cls: Union[int, str]) -> float:
    """The tolerance in ±µV of an IEC 60584-3 extension (X) or compensating (C) cable in
    class cls (1 or 2): JX 85/140, TX 30/60, EX 120/200, KX and NX 60/100; class 2 only: KCA,
    KCB and NC 100, RCA and SCA 30, RCB and SCB 60, BC 40. name in any letter case.
    ValueError for an unknown cable or a class it has not."""
    if not isinstance(name, str):
        raise TypeError(f"name must be a cable such as 'KX', not {type(name).__name__}")
    if isinstance(cls, (bool, np.bool_)) or not isinstance(cls, (numbers.Integral, str)):
        raise TypeError(f"cls must be 1 or 2, not {type(cls).__name__}")
    k = int(cls) if isinstance(cls, numbers.Integral) or cls.strip().isdigit() else -1
    return _answered(_core.cable_tolerance, name, k)


class Budget:
    """A measurement's uncertainty budget (GUM): rows, a numpy structured array with the
    columns of kelvora-cli budget --format csv (contribution, value, unit, distribution,
    divisor, sensitivity_C_per_unit, u_C, share_pct); u_c, the combined standard uncertainty in
    °C; k; U = k·u_c in °C; corrections, the known biases in °C by name (leads), to add to the
    temperature and in no u_i. The contributions are taken as uncorrelated."""

    __slots__ = ("rows", "u_c", "k", "U", "corrections")

    def __init__(self, rows: np.ndarray, u_c: float, k: float, U: float,
                 corrections: dict) -> None:
        self.rows, self.u_c, self.k, self.U, self.corrections = rows, u_c, k, U, corrections

    def __repr__(self) -> str:
        names = ", ".join(self.rows["contribution"])
        return (f"Budget(rows=[{names}], u_c={self.u_c!r}, k={self.k!r}, U={self.U!r}, "
                f"corrections={self.corrections!r})")


def _pair(v: Any, what: str, second: Optional[float] = None) -> tuple:
    """A number, or two of them as a sequence (the second defaulting to `second`)."""
    if isinstance(v, (list, tuple, np.ndarray)):
        items = list(v)
        if len(items) == 2 or (second is not None and len(items) == 1):
            return (_one_number(items[0], what),
                    _one_number(items[1], what) if len(items) == 2 else second)
        raise ValueError(f"{what} takes {'one or ' if second is not None else ''}two numbers, "
                         f"not {len(items)}")
    if second is None:
        raise TypeError(f"{what} must be two numbers, not {type(v).__name__}")
    return _one_number(v, what), second


def _row(r: Any) -> tuple:
    if isinstance(r, str) or not isinstance(r, (list, tuple)) or len(r) != 4:
        raise TypeError(f"each of rows must be (name, value, unit, distribution), not {r!r}")
    name, value, unit, distribution = r
    for text, what in ((name, "name"), (unit, "unit"), (distribution, "distribution")):
        if not isinstance(text, str):
            raise TypeError(f"a row's {what} must be a str, not {type(text).__name__}")
    return name, _one_number(value, f"row {name!r}'s value"), unit, distribution


def budget(sensor: Any, t: float, *, cls: Union[int, str, None] = None,
           element: Optional[str] = None, cj_error: Optional[float] = None,
           cj: Optional[float] = None, cable: Union[str, tuple, None] = None,
           cable_at: Optional[float] = None, meter: Any = None, leads: Optional[dict] = None,
           transmitter: Optional[float] = None, range: Optional[tuple] = None,
           rows: Iterable = (), k: float = 2.0) -> Budget:
    """The uncertainty budget of a measurement at t °C, as kelvora-cli budget gives it: each
    argument adds one row, taken to a standard uncertainty u_i in °C through the exact
    sensitivity of the core, in this order:

    cls (and element): the tolerance class at t, rectangular; cj_error (thermocouples): the
    reference junction's ±°C at cj (default 0 °C), rectangular, times S(cj)/S(t); cable:
    "KX:2" or ("KX", 2), an IEC 60584-3 cable's ±µV (cable_tolerance), rectangular, over S(t),
    with the cable at cable_at °C (default: cj); meter: PCT or (PCT, ABS), the instrument's
    ±(PCT % of the reading E(t) − E(cj) in mV or R(t) in Ω + ABS in that unit); transmitter
    with range=(LRV, URV): ±PCT % of the span in °C; rows: (name, value, unit, distribution)
    each, unit "C", "mV", "uV" or "ohm", distribution "rect", "tri", "normal:K" or "std".
    leads (resistance thermometers): a dict of lead_error's arguments (wires, ohms or length
    with area or awg, at, imbalance); its error is a known bias, given in .corrections as
    minus the error, in no u_i. k: the coverage factor. The contributions are taken as
    uncorrelated: u_c = √Σu_i², U = k·u_c.

    ValueError, with the reason, for a temperature outside the sensor's, a class's, a cable's
    or the transmitter's range and for a bad or mismatched argument; TypeError for a value
    that is not a number.
    """
    s = _resolve(sensor)
    temperature = _one_number(t, "t")
    if cls is not None:
        if isinstance(cls, (bool, np.bool_)) or not isinstance(cls, (str, numbers.Integral)):
            raise TypeError(f"cls must be a class such as 1, 2, 'A' or 'AA', not "
                            f"{type(cls).__name__}")
        cls = str(int(cls)) if isinstance(cls, numbers.Integral) else cls
    if element is not None and not isinstance(element, str):
        raise TypeError(f"element must be 'wire' or 'film', not {type(element).__name__}")
    if isinstance(cable, (tuple, list)) and len(cable) == 2:
        cable = f"{cable[0]}:{cable[1]}"
    if cable is not None and not isinstance(cable, str):
        raise TypeError(f"cable must be 'NAME:CLASS' such as 'KX:2', not {cable!r}")
    meter_pct, meter_abs = (None, 0.0) if meter is None else _pair(meter, "meter", 0.0)
    low, high = (None, None) if range is None else _pair(range, "range")
    lead_values = None
    if leads is not None:
        if not isinstance(leads, dict):
            raise TypeError(f"leads must be a dict of lead_error's arguments, not "
                            f"{type(leads).__name__}")
        unknown = set(leads) - {"wires", "ohms", "length", "area", "awg", "at", "imbalance"}
        if unknown:
            raise TypeError(f"leads takes wires, ohms, length, area, awg, at and imbalance, "
                            f"not {', '.join(sorted(unknown))}")
        if "wires" not in leads:
            raise ValueError("leads needs wires: 2, 3 or 4")
        wires = leads["wires"]
        if isinstance(wires, (bool, np.bool_)) or not isinstance(wires, numbers.Real):
            raise TypeError(f"wires must be 2, 3 or 4, not {type(wires).__name__}")
        lead_values = (_one_number(wires, "wires"),
                       *(_optional(leads.get(n), n) for n in ("ohms", "length", "area", "awg")),
                       _one_number(leads.get("at", 20.0), "at"),
                       _one_number(leads.get("imbalance", 0.0), "imbalance"))
    if isinstance(rows, (str, bytes)):
        raise TypeError("rows must be a list of (name, value, unit, distribution)")
    row_values = [_row(r) for r in rows]
    sheet, u_c, k_used, expanded, corrections = _answered(
        s.core.budget, temperature, cls, element, _optional(cj_error, "cj_error"),
        _optional(cj, "cj"), cable, _optional(cable_at, "cable_at"), meter_pct, meter_abs,
        lead_values, _optional(transmitter, "transmitter"), low, high, row_values,
        _one_number(k, "k"))
    width = max([len(r[0]) for r in sheet] + [1])
    dist_width = max([len(r[3]) for r in sheet] + [1])
    out = np.empty(len(sheet), dtype=[
        ("contribution", f"<U{width}"), ("value", "<f8"), ("unit", "<U3"),
        ("distribution", f"<U{dist_width}"), ("divisor", "<f8"),
        ("sensitivity_C_per_unit", "<f8"), ("u_C", "<f8"), ("share_pct", "<f8")])
    for i, r in enumerate(sheet):
        out[i] = r
    return Budget(out, u_c, k_used, expanded, dict(corrections))
