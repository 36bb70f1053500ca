"""The loop: a temperature transmitter's output both ways with what NAMUR NE 43 makes of a
4-20 mA current, and the loop-check sheet of a commissioning or calibration (kelvora-cli loop
and check)."""

from __future__ import annotations

import math
import numbers
from typing import Any, Optional, Sequence

import numpy as np

from . import _core
from ._common import ArrayLike, _apply, _number, _one_number, _raising, _text
from ._sensors import Sensor, _no_reference, _resolve

# The states in the core's order; the last stands for a NaN value, which has none.
STATES = ("failure_low", "not_measurement_low", "below_range", "in_range", "above_range",
          "not_measurement_high", "failure_high", "nan")
_STATE_ARRAY = np.array(STATES)
_HAS_TEMPERATURE = (2, 3, 4)


def _states(codes: Any) -> Any:
    """The ufunc's state codes as strings, in the kind of object they came in."""
    if isinstance(codes, np.ndarray):
        return _STATE_ARRAY[codes]
    if isinstance(codes, np.generic):
        return STATES[int(codes)]
    if type(codes).__module__.partition(".")[0] == "pandas":
        return codes.map(lambda c: STATES[c])
    if hasattr(codes, "map_blocks"):  # dask
        return codes.map_blocks(lambda c: _STATE_ARRAY[c], dtype=_STATE_ARRAY.dtype)
    return STATES[int(codes)]


class Transmitter:
    """A temperature transmitter: its range lrv…urv in °C (lrv ≠ urv; urv < lrv gives a falling
    output) and its output signal, "4-20mA" (the default), "0-20mA", "1-5V", "0-10V" or any
    "LO-HImA" or "LO-HIV" with 0 ≤ LO < HI ("2-10V"). Its output is linear in temperature:
    output(t) = lo + (hi − lo)·(t − lrv)/(urv − lrv).

    For 4-20 mA, NAMUR NE 43 names what a current means (state): ≤ 3.6 mA "failure_low",
    3.6…3.8 mA "not_measurement_low", 3.8…4 mA "below_range", 4…20 mA "in_range",
    20…20.5 mA "above_range", 20.5…21 mA "not_measurement_high", ≥ 21 mA "failure_high";
    other signals are below range under lo and above range over hi, each with a temperature.

    output, temperature and state take numbers, array-likes, pandas Series and dask arrays
    (numpy ufuncs underneath). ValueError for a range or signal that cannot be one.
    """

    __slots__ = ("lrv", "urv", "signal", "lo", "hi", "unit", "_args", "_reading_args")

    def __init__(self, lrv: float, urv: float, signal: str = "4-20mA") -> None:
        ends = [_one_number(v, name) for v, name in ((lrv, "lrv"), (urv, "urv"))]
        if not isinstance(signal, str):
            raise TypeError(f"signal must be a text such as '4-20mA' or '0-10V', not "
                            f"{type(signal).__name__}")
        made = _core.transmitter(ends[0], ends[1], signal)
        if made[0] is None:
            raise ValueError(made[1])
        lrv_, urv_, lo, hi, unit, text = made
        for name, v in (("lrv", lrv_), ("urv", urv_), ("signal", text), ("lo", lo), ("hi", hi),
                        ("unit", "mA" if unit == 0 else "V"),
                        ("_args", (lrv_, urv_, lo, hi)),
                        ("_reading_args", (lrv_, urv_, lo, hi, float(unit)))):
            object.__setattr__(self, name, v)

    def output(self, t: ArrayLike) -> Any:
        """The output in mA or V at t °C, unclamped (beyond the range too): lo + (hi − lo)·(t −
        lrv)/(urv − lrv), with the same bits as that expression in numpy. It has no failure:
        NaN gives NaN, an infinity an infinity."""
        x = _number(t, "t")
        if x is not None:
            return float(_core.transmitter_output(x, *self._args))
        return _apply(_core.transmitter_output, "t", (t,) + self._args, False, None)

    def temperature(self, value: ArrayLike, *, errors: str = "nan") -> Any:
        """The temperature in °C at an output in mA or V, lrv + (value − lo)·(urv − lrv)/(hi −
        lo), below and above range too; NaN where there is none (a NAMUR NE 43 failure signal
        or a current that is not a measurement), or with errors="raise" ValueError naming the
        state ("NAMUR NE 43: failure signal, low: 3.5 mA carries no temperature")."""
        raising = _raising(errors)
        return self._read(_core.transmitter_temperature, value, raising)

    def state(self, value: ArrayLike) -> Any:
        """What an output means: one of "failure_low", "not_measurement_low", "below_range",
        "in_range", "above_range", "not_measurement_high", "failure_high" ("nan" for NaN), as
        a str for a number, a numpy array of str, a Series of str or a lazy dask array."""
        return _states(self._read(_core.transmitter_state, value, False))

    def _read(self, uf: np.ufunc, value: Any, raising: bool) -> Any:
        x = _number(value, "value")
        args = self._reading_args
        if x is not None:
            r = uf(x, *args)
            if raising and r != r and x == x:
                raise ValueError(self._no_temperature(x))
            return float(r) if uf is _core.transmitter_temperature else r
        return _apply(uf, "value", (value,) + args, raising,
                      lambda v, *_: self._no_temperature(v))

    def _no_temperature(self, v: float) -> str:
        if not math.isfinite(v):
            return f"value must be a finite output, not {_text(v)}"
        return _core.no_temperature(*self._reading_args, v, _text(v))

    def __setattr__(self, name: str, value: Any) -> None:
        raise AttributeError("a Transmitter is a value: make a new one")

    def __repr__(self) -> str:
        return f"Transmitter({self.lrv!r}, {self.urv!r}, signal={self.signal!r})"

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, Transmitter):
            return NotImplemented
        return self._reading_args == other._reading_args

    def __hash__(self) -> int:
        return hash((Transmitter, self._reading_args))

    def __reduce__(self) -> tuple:
        return (Transmitter, (self.lrv, self.urv, self.signal))


def _values(v: Any, what: str) -> list:
    """An array-like of finite numbers as a list of floats (None: none)."""
    if v is None:
        return []
    if isinstance(v, (str, bytes)) or isinstance(v, numbers.Number):
        raise TypeError(f"{what} must be a sequence of numbers, one per point, not "
                        f"{type(v).__name__}")
    try:
        a = np.asarray(v, dtype=float)
    except (TypeError, ValueError) as e:
        raise TypeError(f"{what} must be numbers ({e})") from None
    if a.ndim != 1 or a.size == 0:
        raise ValueError(f"{what} must be a flat sequence of numbers, at least one")
    if not np.isfinite(a).all():
        raise ValueError(f"{what} must be finite numbers")
    return a.tolist()


def check(sensor: Sensor, transmitter: Transmitter, points: Optional[int] = None,
          at: Optional[Sequence[float]] = None, updown: bool = False, cj: float = 0.0,
          found: Optional[ArrayLike] = None, left: Optional[ArrayLike] = None,
          accuracy: Optional[float] = None) -> np.ndarray:
    """The loop-check sheet of a transmitter fed by sensor, as kelvora-cli check makes it, as a
    numpy structured array (pandas.DataFrame(...) of it is the sheet), with full doubles.

    Points are % of span: 0 25 50 75 100 by default, points=N (2 ≤ N) evenly from 0 to 100, or
    at= any list (-10 and 110 give saturated rows); updown=True goes up and back down. Fields:
    percent, temperature_C (lrv + percent/100·(urv − lrv)), input_mV (thermocouple: E(t) −
    E(cj), cold junction cj °C) or input_ohm (R(t)), expected_mA or expected_V (clamped at
    3.8/20.5 mA, or lo/hi, on saturated rows), saturated (bool); with found= (one output per
    row) found_mA or found_V, found_error_pct ((found − expected)/(hi − lo)·100),
    found_error_C (found_error_pct/100·(urv − lrv)) and with accuracy= (± % of span)
    found_pass (bool); left= the same for as left.

    ValueError for a point or cj outside the sensor's range, points with at, N < 2, found or
    left counts unequal to the rows, cj on a resistance thermometer, a negative accuracy.
    """
    s = _resolve(sensor)
    if not isinstance(transmitter, Transmitter):
        raise TypeError(f"transmitter must be a kelvora.Transmitter, not "
                        f"{type(transmitter).__name__}")
    _no_reference(s, cj)
    cj_c = _one_number(cj, "cj") if s.tc else 0.0
    if points is not None and at is not None:
        raise ValueError("give the points one way: points=N or at=[P1, P2, ...]")
    if points is not None:
        if isinstance(points, (bool, np.bool_)) or not isinstance(points, numbers.Integral):
            raise TypeError(f"points must be a whole number, not {type(points).__name__}")
        if not 2 <= points <= _core.MAX_SHEET_POINTS:
            raise ValueError(f"points must lie between 2 and {_core.MAX_SHEET_POINTS}, not "
                             f"{points}")
        points = int(points)
    if not isinstance(updown, (bool, np.bool_)):
        raise TypeError(f"updown must be True or False, not {type(updown).__name__}")
    percents = _core.sheet_percents(points, _values(at, "at"), bool(updown))
    acc = None if accuracy is None else _one_number(accuracy, "accuracy")
    columns, arrays, message = _core.loop_check(
        s.core, *transmitter._reading_args, cj_c, percents, _values(found, "found"),
        _values(left, "left"), acc)
    if columns is None:
        raise ValueError(message)
    booleans = ("saturated", "found_pass", "left_pass")
    out = np.empty(len(percents), dtype=[(c, "?" if c in booleans else "<f8") for c in columns])
    for c, a in zip(columns, arrays):
        out[c] = a != 0 if c in booleans else a
    return out


__all__ = ["Transmitter", "check"]
