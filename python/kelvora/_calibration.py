"""Calibration: a platinum thermometer's Callendar–Van Dusen coefficients fitted to a
calibration's points (fit_cvd), and a thermocouple's own deviation from its reference
function, which emf, temperature and slope take as deviation=(t, dE_uV). The numbers and the
refusals are kelvora-cli fit's and --deviation's."""

from __future__ import annotations

import numbers
import struct
import warnings
from typing import Any, Optional

import numpy as np

from . import _core
from ._common import _MV, _apply, _in_memory, _number, _one_number, _range, _text
from ._sensors import RTD, _reference_message, _Resolved, _temperature_message


class ExtrapolationWarning(UserWarning):
    """A thermocouple's deviation used outside its calibrated temperatures, as it is."""


def _points(x: Any, y: Any, names: tuple[str, str]) -> tuple[np.ndarray, np.ndarray]:
    """Two array-likes of numbers as one-dimensional float arrays of one length."""
    out = []
    for v, name in zip((x, y), names):
        if isinstance(v, (str, bytes, bytearray)):
            raise TypeError(f"{name} must be numbers, not {type(v).__name__} {v!r}")
        try:
            a = np.asarray(v, dtype=float)
        except (TypeError, ValueError) as e:
            raise TypeError(f"{name} must be numbers ({e})") from None
        if a.ndim == 0:
            a = a.reshape(1)
        if a.ndim != 1:
            raise ValueError(f"{name} must be one-dimensional, not of shape {a.shape}")
        out.append(np.ascontiguousarray(a))
    if len(out[0]) != len(out[1]):
        raise ValueError(f"{names[0]} and {names[1]} must be as long as each other, not "
                         f"{len(out[0])} and {len(out[1])}")
    return out[0], out[1]


# ---- Callendar–Van Dusen coefficients from points -------------------------------------------


class CvdFit:
    """A platinum thermometer's Callendar–Van Dusen coefficients fitted to points, as
    kelvora-cli fit reports them: r0 (Ω), a (1/°C), b (1/°C²), c (1/°C⁴, 0 without a point
    below 0 °C) and Callendar's alpha (1/°C), delta and beta (°C), each to 10 significant
    digits; per point t (°C), r (Ω), fit (the fitted curve's R, Ω), residuals_ohm (r − fit)
    and residuals_mK (the residual divided by dR/dt, mK); max_residual_mK, the largest
    |residual|. rtd() is the thermometer of these coefficients."""

    __slots__ = ("r0", "a", "b", "c", "alpha", "delta", "beta", "t", "r", "fit",
                 "residuals_ohm", "residuals_mK", "max_residual_mK")

    def __init__(self, t: np.ndarray, r: np.ndarray, values: tuple) -> None:
        (r0, a, b, c, alpha, delta, beta, fit, ohm, mk, largest) = values
        for name, v in (("r0", r0), ("a", a), ("b", b), ("c", c), ("alpha", alpha),
                        ("delta", delta), ("beta", beta), ("t", t), ("r", r), ("fit", fit),
                        ("residuals_ohm", ohm), ("residuals_mK", mk),
                        ("max_residual_mK", largest)):
            if isinstance(v, np.ndarray):
                v.flags.writeable = False
            object.__setattr__(self, name, v)

    def rtd(self) -> RTD:
        """The fitted thermometer as a kelvora.RTD, usable wherever a sensor is."""
        return RTD(self.r0, self.a, self.b, self.c)

    def __setattr__(self, name: str, value: Any) -> None:
        raise AttributeError("a CvdFit is a value: fit again")

    def __repr__(self) -> str:
        return (f"CvdFit(r0={self.r0!r}, a={self.a!r}, b={self.b!r}, c={self.c!r}, "
                f"max_residual_mK={self.max_residual_mK!r})")


def fit_cvd(t: Any, r: Any, r0: Optional[float] = None) -> CvdFit:
    """The Callendar–Van Dusen coefficients of a platinum thermometer fitted to a
    calibration's points: resistances r (Ω) at temperatures t (°C, −200 to 850), arrays of
    one length. The least-squares fit of R(t) = R0·(1 + A·t + B·t² + C·(t − 100)·t³), the C
    term below 0 °C only, fitted only when a point lies below 0 °C (then at least 4 points,
    else 3; with as many points as unknowns the curve passes through each). r0 fixes R0 (an
    ice-point measurement). Every value of the result follows from the coefficients as
    given (10 significant digits), as kelvora-cli fit prints them.

    ValueError, with the reason, for too few points, two resistances at one temperature where
    the fit is exact, a resistance that is not a finite number above 0 Ω, a temperature
    outside −200…850 °C, points that do not determine the coefficients, or a fitted curve that
    does not rise.
    """
    tt, rr = _points(t, r, ("t", "r"))
    fixed = None if r0 is None else _one_number(r0, "r0")
    return CvdFit(tt, rr, _core.fit_cvd(tt, rr, fixed))


# ---- A thermocouple's own deviation ---------------------------------------------------------

_OPS = {op: getattr(_core.DeviationOp, op)
        for op in ("emf", "temperature", "reading", "inverse", "slope")}
# The deviations' ufuncs made, oldest first: each one is an attribute of this module too, as
# numpy pickles a ufunc by its name; beyond _MAX_MADE the oldest go (their names make them
# again).
_made: list = []
_MAX_MADE = 256


def _bits(v: float) -> str:
    return struct.pack(">d", v).hex()


def _name(op: str, d: _core.Deviation) -> str:
    """A deviation's ufunc's name, which gives the deviation back (see __getattr__)."""
    type_, degree, c, mid, scale, lo, hi, rising_lo, rising_hi, points = d.fields
    doubles = (*c, mid, scale, lo, hi, rising_lo, rising_hi)
    return f"deviation_{op}_{type_}_{degree}_{points}_" + "_".join(_bits(v) for v in doubles)


_DOCS = {
    "emf": "E(t) + ΔE(t) − (E(cj) + ΔE(cj)) in mV at t °C, reference junction at cj °C",
    "temperature": "temperature in °C at an EMF in mV against a reference junction at cj °C",
    "reading": "E(t) + ΔE(t) in mV against 0 °C at t °C",
    "inverse": "temperature in °C at an EMF in mV against 0 °C",
    "slope": "dE/dt + dΔE/dt in µV/°C at t °C",
}


def _ufunc(op: str, d: _core.Deviation) -> np.ufunc:
    name = _name(op, d)
    uf = globals().get(name)
    if uf is None:
        if len(_made) >= _MAX_MADE:
            globals().pop(_made.pop(0), None)
        uf = d.ufunc(_OPS[op], name, f"A calibrated thermocouple's {_DOCS[op]}, its own "
                     f"deviation ΔE of degree {d.degree} included; NaN out of range.")
        globals()[name] = uf
        _made.append(name)
    return uf


def __getattr__(name: str) -> np.ufunc:
    """A deviation's ufunc by its name, made again (a Dask worker unpickling one)."""
    parts = name.split("_")
    if len(parts) == 15 and parts[0] == "deviation" and parts[1] in _OPS:
        try:
            type_, degree, points = (int(p) for p in parts[2:5])
            v = [struct.unpack(">d", bytes.fromhex(p))[0] for p in parts[5:]]
            d = _core.deviation_from_fields((type_, degree, tuple(v[:4]), *v[4:], points))
        except (ValueError, struct.error):
            d = None
        if d is not None and _name(parts[1], d) == name:
            return _ufunc(parts[1], d)
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")


def _deviation(s: _Resolved, deviation: Any, degree: Any) -> _core.Deviation:
    """The deviation of s from the pair (t, dE_uV), each one made once."""
    if deviation is None:
        raise ValueError("degree goes with deviation=(t, dE_uV)")
    if not s.tc:
        raise ValueError(f"deviation applies to thermocouples only; {s.core.code} is a "
                         f"resistance thermometer")
    if not isinstance(deviation, (tuple, list)) or len(deviation) != 2:
        raise TypeError("deviation must be a pair (t, dE_uV): the calibrated temperatures in °C "
                        "and E measured − E reference there in µV")
    if degree is not None and (isinstance(degree, (bool, np.bool_))
                               or not isinstance(degree, numbers.Integral)):
        raise TypeError(f"degree must be a whole number, not {type(degree).__name__}")
    t, e = _points(deviation[0], deviation[1], ("deviation's t", "deviation's dE_uV"))
    key = (s.core.code, t.tobytes(), e.tobytes(), None if degree is None else int(degree))
    d = _made_deviations.get(key)
    if d is None:
        try:
            d = _core.deviation(s.core, t, e, key[3])
        except ValueError as err:
            raise ValueError(str(err).replace("--deviation", "deviation")
                             .replace("--degree", "degree")) from None
        if len(_made_deviations) >= _MAX_MADE:
            _made_deviations.clear()
        _made_deviations[key] = d
    return d


_made_deviations: dict = {}


def _warn(d: _core.Deviation, values: Any, one: str, many: str) -> None:
    """An ExtrapolationWarning when values in memory reach beyond the calibrated
    temperatures: one.format(t) names a single temperature, many.format(lo, hi) several."""
    if not _in_memory(values):
        return
    v = np.asarray(values, dtype=float)
    v = v[np.isfinite(v)]
    if v.size == 0:
        return
    lo, hi = float(v.min()), float(v.max())
    what = one.format(_text(lo)) if lo == hi else many.format(_text(lo), _text(hi))
    note = d.extrapolation_note(lo, hi, what)
    if note:
        warnings.warn(note.removeprefix("note: "), ExtrapolationWarning, stacklevel=4)


_TEMPERATURES = ("{} °C", "part of the temperatures, {} °C to {} °C,")
_JUNCTIONS = ("the reference junction at {} °C",
              "part of the reference junctions, {} °C to {} °C,")


def _converted(d: _core.Deviation, op: str, args: tuple, names: tuple, raising: bool,
               explain: Any) -> Any:
    given = [_number(a, name) for a, name in zip(args, names)]
    if all(x is not None for x in given):
        v = d.value(_OPS[op], given[0], given[1] if len(given) > 1 else 0.0)
        if raising and v != v and not any(x != x for x in given):
            raise ValueError(explain(*given))
        return v
    return _apply(_ufunc(op, d), " and ".join(names), args, raising, explain)


def _emf(s: _Resolved, t: Any, cj: Any, deviation: Any, degree: Any, raising: bool) -> Any:
    d = _deviation(s, deviation, degree)
    if cj is None:
        result = _converted(d, "reading", (t,), ("t",), raising,
                            lambda t: _temperature_message(s, t))
    else:
        result = _converted(d, "emf", (t, cj), ("t", "cj"), raising,
                            lambda t, cj: _reference_message(s, cj) or
                            _temperature_message(s, t))
        _warn(d, cj, *_JUNCTIONS)
    _warn(d, t, *_TEMPERATURES)
    return result


def _temperature(s: _Resolved, reading: Any, cj: Any, deviation: Any, degree: Any,
                 raising: bool) -> Any:
    d = _deviation(s, deviation, degree)

    def explain(v: float, cj: Optional[float] = None) -> str:
        reference = None if cj is None else _reference_message(s, cj)
        if reference:
            return reference
        emfs = (_range(d.reading_limits(), _MV) + " against 0 °C" if cj is None
                else d.reading_range(cj))
        return _core.out_of_range("EMF", _text(v), _MV, s.core, emfs)

    if cj is None:
        result = _converted(d, "inverse", (reading,), ("reading",), raising, explain)
    else:
        result = _converted(d, "temperature", (reading, cj), ("reading", "cj"), raising,
                            explain)
        _warn(d, cj, *_JUNCTIONS)
    _warn(d, result, *_TEMPERATURES)
    return result


def _slope(s: _Resolved, t: Any, deviation: Any, degree: Any, raising: bool) -> Any:
    d = _deviation(s, deviation, degree)
    result = _converted(d, "slope", (t,), ("t",), raising, lambda t: _temperature_message(s, t))
    _warn(d, t, *_TEMPERATURES)
    return result

