"""Graduation tables (kelvora-cli table's points and values) and the window's display text
of a value."""

from __future__ import annotations

import decimal
import math
import numbers
from typing import Any, Optional, overload

import numpy as np

from . import _core
from ._common import ArrayLike, _number
from ._sensors import Sensor, _no_reference, _resolve


def _decimal_text(v: Any, what: str) -> Optional[str]:
    """A table's end or step as the exact decimal kelvora-cli reads: the shortest text that
    gives the float back (repr), an int or a Decimal as written."""
    if v is None:
        return None
    if isinstance(v, (bool, np.bool_)) or not isinstance(v, (numbers.Real, decimal.Decimal)):
        raise TypeError(f"{what} must be a number, not {type(v).__name__}")
    if isinstance(v, numbers.Integral):
        return str(int(v))
    if isinstance(v, decimal.Decimal):
        if not v.is_finite():
            raise ValueError(f"{what} must be a finite number, not {v}")
        return str(v)
    f = float(v)
    if not math.isfinite(f):
        raise ValueError(f"{what} must be a finite number, not {f!r}")
    return repr(f)


# kelvora-cli's messages name its options; here they are the arguments.
_ARGUMENTS = (("--from", "start"), ("--to", "stop"), ("--step", "step"))


def table(sensor: Sensor, start: Optional[float] = None, stop: Optional[float] = None,
          step: float = 1.0, cj: float = 0.0) -> np.ndarray:
    """A graduation table (分度表) of a sensor as kelvora-cli table makes it: a numpy
    structured array of the points start, start + step, … up to the last one at or below
    stop, with fields temperature_C and emf_mV (thermocouples, against a reference junction
    at cj °C) or resistance_ohm. pandas.DataFrame(kelvora.table(...)) gives it as a table.

    start, stop and step are read as exact decimals (a float as its shortest text, repr): at
    most 9 decimals and 15 digits; point k is (start + k·step) computed in whole units of the
    finest decimal, divided once. start defaults to the sensor's lowest temperature, stop to
    its highest (for copper, whose 150 °C is excluded, the last point below it). ValueError for
    an end or cj outside the sensor's range, a step not above 0, start above stop, or more than
    10,000,000 points.
    """
    s = _resolve(sensor)
    _no_reference(s, cj)
    texts = [_decimal_text(v, name) for v, name in ((start, "start"), (stop, "stop"),
                                                     (step, "step"))]
    if texts[2] is None:
        raise TypeError("step must be a number, not NoneType")
    reference = _decimal_text(cj, "cj") if s.tc else None
    temperatures, values, message = _core.table(s.core, *texts, reference)
    if temperatures is None:
        for option, argument in _ARGUMENTS:
            message = message.replace(option, argument)
        raise ValueError(message)
    column = "emf_mV" if s.tc else "resistance_ohm"
    out = np.empty(len(temperatures), dtype=[("temperature_C", "<f8"), (column, "<f8")])
    out["temperature_C"] = temperatures
    out[column] = values
    return out


@overload
def format_fixed(value: float, decimals: int) -> str: ...
@overload
def format_fixed(value: ArrayLike, decimals: int) -> np.ndarray: ...


def format_fixed(value, decimals):
    """The window's display text of a value with `decimals` decimals (0 to 15): "." as the
    decimal point, the value taken to 15 significant digits and then rounded half away from
    zero (138.5055 gives "138.51"), no minus sign on a zero; "nan", "inf", "-inf". Of an
    array, a numpy array of str of its shape."""
    if isinstance(decimals, (bool, np.bool_)) or not isinstance(decimals, numbers.Integral):
        raise TypeError(f"decimals must be a whole number, not {type(decimals).__name__}")
    if not 0 <= decimals <= 15:
        raise ValueError(f"decimals must lie between 0 and 15, not {decimals}")
    x = _number(value, "value")
    if x is not None:
        return _core.format_fixed(x, int(decimals))
    try:
        values = np.asarray(value, dtype=float)
    except (TypeError, ValueError) as e:
        raise TypeError(f"value must be numbers or arrays of numbers ({e})") from None
    texts = _core.format_fixed_all(values.ravel(), int(decimals))
    return np.array(texts, dtype=str).reshape(values.shape)
