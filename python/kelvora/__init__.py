"""Kelvora for Python: thermocouples and resistance thermometers, exactly as the Kelvora
calculator converts them (the same C++ core, the same bits as the window and kelvora-cli).

Sensors are kelvora-cli's codes in any letter case: a thermocouple type "S" "R" "B" "K" "N"
"E" "J" "T" (ITS-90, NIST Monograph 175 / IEC 60584-1), or "PtN", "CuN", "NiN" for a platinum
(IEC 60751), copper or nickel (DIN 43760) thermometer with R0 = N Ω ("Pt100", "Pt1000",
"Cu50", "Ni1000"); or a certificate's platinum thermometer, RTD(r0=..., a=..., b=..., c=...)
or RTD.callendar(r0=..., alpha=..., delta=..., beta=...).

Units: temperatures in °C (ITS-90), EMFs in mV, resistances in Ω.

emf, temperature, resistance, slope and tolerance take a number (and give a float) or any
array-like (and give a numpy array of the broadcast shape). They are numpy ufuncs underneath:
a pandas Series gives a Series with the same index, a dask array a lazy dask array, converted
chunk by chunk without the GIL. Values are full doubles, not rounded to the window's digits.
Outside a sensor's range a value is NaN, or, with errors="raise", ValueError names the
accepted range (NaN given stays NaN either way). table() gives kelvora-cli's graduation table
as a numpy structured array, sensors() the window's catalogue. lead_error, cable_tolerance
and budget give kelvora-cli's leads and budget: a resistance thermometer's lead-wire error, an
IEC 60584-3 cable's tolerance, and a measurement's uncertainty budget (GUM).

    import kelvora
    kelvora.emf("K", 250, cj=25)                    # 9.153126403069239 (mV)
    kelvora.temperature("K", 9.8, cj=25)            # 265.84840675556165 (°C)
    kelvora.resistance("Pt100", [0, 50, 100])       # array([100., 119.397..., 138.5055])
    kelvora.format_fixed(kelvora.emf("K", 250, cj=25), 3)   # '9.153', the window's text
"""

from __future__ import annotations

import decimal
import math
import numbers
from typing import Any, NamedTuple, Optional, Union, overload

import numpy as np
import numpy.typing as npt

from . import _core, _ufuncs

__version__: str = _core.__version__

__all__ = [
    "RTD",
    "Budget",
    "SensorInfo",
    "budget",
    "cable_tolerance",
    "emf",
    "format_fixed",
    "lead_error",
    "resistance",
    "sensors",
    "slope",
    "table",
    "temperature",
    "tolerance",
]

ArrayLike = npt.ArrayLike
Sensor = Union[str, "RTD"]
_DEGREES, _MV, _OHM = " °C", " mV", " Ω"


# ---- Sensors --------------------------------------------------------------------------------


class _Resolved:
    """A sensor as the functions use it: the core's value, its name for messages, and its
    conversions, one value at a time and as ufuncs, each made once."""

    __slots__ = ("core", "name", "tc", "emf", "temperature", "reading", "inverse", "slope",
                 "_made")

    def __init__(self, core: _core.Sensor) -> None:
        self.core = core
        self.name = core.name
        self.tc = core.is_thermocouple
        self._made: dict = {}
        # The calls of numbers, looked up on every scalar call.
        self.emf = self.scalar("emf") if self.tc else None
        self.temperature = self.scalar("temperature") if self.tc else None
        self.reading = self.scalar("reading")
        self.inverse = self.scalar("inverse")
        self.slope = self.scalar("slope")

    def scalar(self, op: str, cls: Optional[int] = None, element: str = "wire") -> Any:
        """The conversion of one value (one or two floats in, a float out)."""
        key = ("scalar", op, cls, element)
        f = self._made.get(key)
        if f is None:
            f = self._made[key] = self.core.scalar(_ufuncs.OPS[op], cls or 0,
                                                   _ufuncs.ELEMENTS.index(element))
        return f

    def ufunc(self, op: str, cls: Optional[int] = None, element: str = "wire") -> np.ufunc:
        key = ("ufunc", op, cls, element)
        uf = self._made.get(key)
        if uf is None:
            uf = self._made[key] = _ufuncs.get(self.core, op, cls, element)
        return uf


_by_code: dict = {}
_MAX_CODES = 1024


def _from_code(code: str) -> _Resolved:
    core, message, unknown = _core.sensor_from_code(code)
    if core is None:
        if unknown:
            raise ValueError(
                f"unknown sensor {code!r}: one of {_core.known_sensors()} (PtN, CuN and NiN "
                f"for any R0 = N Ω, like 'Pt1000'), or a kelvora.RTD")
        raise ValueError(f"sensor {code!r}: {message}")
    if len(_by_code) >= _MAX_CODES:
        _by_code.clear()
    resolved = _by_code[code] = _Resolved(core)
    return resolved


def _resolve(sensor: Any) -> _Resolved:
    if type(sensor) is str:
        resolved = _by_code.get(sensor)
        return resolved if resolved is not None else _from_code(sensor)
    if isinstance(sensor, RTD):
        return sensor._resolved
    if isinstance(sensor, str):
        return _resolve(str(sensor))
    raise TypeError(f"sensor must be a code such as 'K' or 'Pt100', or a kelvora.RTD, "
                    f"not {type(sensor).__name__}")


def _one_number(value: Any, what: str) -> float:
    if isinstance(value, (bool, np.bool_)) or not isinstance(value,
                                                             (numbers.Real, decimal.Decimal)):
        raise TypeError(f"{what} must be a number, not {type(value).__name__} {value!r}")
    return _number(value, what)


class RTD:
    """A platinum resistance thermometer with a calibration certificate's R0 (Ω) and
    Callendar–Van Dusen coefficients: W = R(t)/R0 = 1 + A·t + B·t² from 0 °C up, plus
    C·(t − 100)·t³ below 0 °C (A in 1/°C, B in 1/°C², C in 1/°C⁴). Without coefficients, those
    of IEC 60751: RTD(r0=1000) is "Pt1000". Its range is that of IEC 60751, -200 °C to 850 °C.

    ValueError when the thermometer cannot be one: R0 not above 0 Ω (or beyond 1e-200 Ω to
    1e200 Ω), coefficients not finite, or a resistance that does not rise over the range.
    """

    __slots__ = ("r0", "a", "b", "c", "_resolved")

    def __init__(self, r0: float, a: float = _core.IEC_60751[0], b: float = _core.IEC_60751[1],
                 c: float = _core.IEC_60751[2]) -> None:
        values = [_one_number(v, name) for v, name in ((r0, "r0"), (a, "a"), (b, "b"),
                                                           (c, "c"))]
        core, message, _ = _core.platinum(*values)
        if core is None:
            raise ValueError(f"RTD(r0={values[0]!r}, a={values[1]!r}, b={values[2]!r}, "
                             f"c={values[3]!r}) is refused: {message}")
        for name, v in zip(self.__slots__, values):
            object.__setattr__(self, name, v)
        object.__setattr__(self, "_resolved", _Resolved(core))

    @classmethod
    def callendar(cls, r0: float, alpha: float, delta: float, beta: float = 0.0) -> "RTD":
        """From a certificate's Callendar constants: α in 1/°C, δ and β in °C (β acts below
        0 °C only). A = α·(1 + δ/100), B = −α·δ·10⁻⁴, C = −α·β·10⁻⁸."""
        k = _core.callendar(_one_number(alpha, "alpha"), _one_number(delta, "delta"),
                            _one_number(beta, "beta"))
        return cls(r0, *k)

    @property
    def code(self) -> str:
        """kelvora-cli's code for R0 ("Pt100.05"); the coefficients do not show in it."""
        return self._resolved.core.code

    def __setattr__(self, name: str, value: Any) -> None:
        raise AttributeError("an RTD is a value: make a new one")

    def __repr__(self) -> str:
        return f"RTD(r0={self.r0!r}, a={self.a!r}, b={self.b!r}, c={self.c!r})"

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, RTD):
            return NotImplemented
        return (self.r0, self.a, self.b, self.c) == (other.r0, other.a, other.b, other.c)

    def __hash__(self) -> int:
        return hash((RTD, self.r0, self.a, self.b, self.c))

    def __reduce__(self) -> tuple:
        return (RTD, (self.r0, self.a, self.b, self.c))


class SensorInfo(NamedTuple):
    """One sensor of the catalogue."""

    code: str  # "K", "Pt100"
    kind: str  # "thermocouple" or "RTD"
    description: str  # the window's Chinese description, "镍铬-镍硅热电偶"
    range_text: str  # "-270℃～1372℃"
    t_min_C: float
    t_max_C: float
    t_max_included: bool  # False for copper, whose 150 °C is outside
    unit: str  # of the reading: "mV" or "Ω"


def sensors() -> list[SensorInfo]:
    """The window's sensors, in its order: S R B K N E J T Pt100 Pt10 Cu100 Cu50, each with
    its code, kind, Chinese description and range (°C). Any other R0 works as a code too
    ("Pt1000", "Ni1000", "Cu10"). pandas.DataFrame(kelvora.sensors()) gives them as a table."""
    out = []
    for s in _core.window_sensors():
        lo, hi, _, hi_included = s.temperature_limits()
        text = s.range_text
        out.append(SensorInfo(s.code, "thermocouple" if s.is_thermocouple else "RTD",
                              s.description, text[text.find(" ") + 1:], lo, hi, hi_included,
                              "mV" if s.is_thermocouple else "Ω"))
    return out


# ---- Arguments ------------------------------------------------------------------------------


def _number(x: Any, what: str) -> Optional[float]:
    """x as a float when it is one number; None when it is something for numpy to take."""
    if type(x) is float:
        return x
    if isinstance(x, (numbers.Real, decimal.Decimal)):
        try:
            return float(x)
        except OverflowError:  # an int beyond the doubles: out of every range
            return math.inf if x > 0 else -math.inf
    if isinstance(x, (str, bytes, bytearray, numbers.Complex)):
        raise TypeError(f"{what} must be a number or an array of numbers, not "
                        f"{type(x).__name__} {x!r}")
    return None


def _raising(errors: Any) -> bool:
    if isinstance(errors, str) and errors in ("nan", "raise"):
        return errors == "raise"
    raise ValueError(f"errors must be 'nan' or 'raise', not {errors!r}")


def _in_memory(x: Any) -> bool:
    return (isinstance(x, (numbers.Number, np.ndarray, np.generic, list, tuple))
            or type(x).__module__.partition(".")[0] == "pandas")


def _call(uf: np.ufunc, names: str, *args: Any) -> Any:
    try:
        return uf(*args)
    except TypeError as e:
        raise TypeError(f"{names} must be numbers or arrays of numbers ({e})") from None


def _text(v: float) -> str:
    """A value as a message shows it: 1500, -3.5, inf."""
    if math.isfinite(v) and v == int(v) and abs(v) < 1e15:
        return str(int(v))
    return repr(v)


def _range(limits: tuple, unit: str, decimals: int = 3) -> str:
    return _core.range_text(limits, decimals, unit)


def _inside(limits: tuple, v: float) -> bool:
    lo, hi, lo_included, hi_included = limits
    return (v >= lo if lo_included else v > lo) and (v <= hi if hi_included else v < hi)


def _no_reference(s: _Resolved, cj: Any) -> None:
    if s.tc or cj is None:
        return
    number = _number(cj, "cj")
    if number != 0:
        raise ValueError(f"cj applies to thermocouples only; {s.core.code} has no reference "
                         f"junction")


def _apply(uf: np.ufunc, names: str, args: tuple, raising: bool, explain: Any) -> Any:
    """uf over the array-likes args; with raising, ValueError (explain(values) names the
    range) for the first element that gave NaN from numbers that were not NaN."""
    if raising and not all(_in_memory(a) for a in args):
        raise TypeError("errors='raise' takes values in memory (numbers, numpy arrays, pandas "
                        "objects); on a lazy array keep errors='nan' and check the result for "
                        "NaN, or map the function over its blocks")
    result = _call(uf, names, *args)
    if raising:
        values = np.asarray(result, dtype=float)
        bad = np.isnan(values)
        if bad.any():
            given = []
            for a in args:
                try:
                    given.append(np.broadcast_to(np.asarray(a, dtype=float), values.shape))
                except ValueError:  # pandas aligned the inputs: only the result tells
                    given = []
                    break
            for g in given:
                bad &= ~np.isnan(g)
            count = int(np.count_nonzero(bad))
            if count:
                where = np.unravel_index(int(np.argmax(bad)), values.shape)
                message = explain(*(float(g[where]) for g in given)) if given else \
                    "a value lies out of range"
                if values.size > 1:
                    index = where[0] if len(where) == 1 else tuple(int(i) for i in where)
                    message = (f"{count} of {values.size} values are out of range; the first, "
                               f"at index {index}: {message}")
                raise ValueError(message)
    return result


# ---- Conversions ----------------------------------------------------------------------------


def _convert(s: _Resolved, op: str, args: tuple, names: tuple, raising: bool, explain: Any,
             cls: Optional[int] = None, element: str = "wire") -> Any:
    """op on numbers (a float) or on array-likes (through its ufunc); with raising,
    ValueError (explain(values) names the range) for a NaN from values that were not NaN."""
    numbers_given = [_number(a, name) for a, name in zip(args, names)]
    if all(x is not None for x in numbers_given):
        v = s.scalar(op, cls, element)(*numbers_given)
        if raising and v != v and not any(x != x for x in numbers_given):
            raise ValueError(explain(*numbers_given))
        return v
    return _apply(s.ufunc(op, cls, element), " and ".join(names), args, raising, explain)


def _reference_message(s: _Resolved, cj: float) -> Optional[str]:
    limits = s.core.temperature_limits()
    if _inside(limits, cj):
        return None
    return _core.out_of_range("reference temperature cj", _text(cj), _DEGREES, s.core,
                              _range(limits, _DEGREES))


def _temperature_message(s: _Resolved, t: float) -> str:
    return _core.out_of_range("temperature", _text(t), _DEGREES, s.core,
                              _range(s.core.temperature_limits(), _DEGREES))


def _sensor(sensor: Any) -> _Resolved:
    s = _by_code.get(sensor) if type(sensor) is str else None
    return s if s is not None else _resolve(sensor)


@overload
def emf(sensor: Sensor, t: float, cj: Optional[float] = ..., *, errors: str = ...) -> float: ...
@overload
def emf(sensor: Sensor, t: ArrayLike, cj: Optional[ArrayLike] = ..., *,
        errors: str = ...) -> Any: ...


def emf(sensor, t, cj=0.0, *, errors="nan"):
    """EMF in mV of a thermocouple at t °C with its reference junction at cj °C:
    E(t) − E(cj), as the window computes it, E being the ITS-90 reference function. With
    cj=None, E(t) itself, the reference function's value against 0 °C; it differs from cj=0
    for type K only, whose reference function gives E(0 °C) = 1.974e-9 mV rather than 0.

    t and cj broadcast against each other. Temperatures the types take, in °C: S and R -50 to
    1768.1, B 0 to 1820, K -270 to 1372, N -270 to 1300, E -270 to 1000, J -210 to 1200,
    T -270 to 400. Outside them: NaN, or ValueError naming the range with errors="raise".
    """
    s = _sensor(sensor)
    if type(t) is float and type(cj) is float and errors == "nan" and s.tc:
        return s.emf(t, cj)
    if not s.tc:
        raise ValueError(f"emf needs a thermocouple (S R B K N E J T); {s.core.code} is a "
                         f"resistance thermometer: use kelvora.resistance")
    raising = _raising(errors)
    if cj is None:
        return _convert(s, "reading", (t,), ("t",), raising,
                        lambda t: _temperature_message(s, t))
    return _convert(s, "emf", (t, cj), ("t", "cj"), raising,
                    lambda t, cj: _reference_message(s, cj) or _temperature_message(s, t))


@overload
def temperature(sensor: Sensor, reading: float, cj: Optional[float] = ..., exact: bool = ...,
                *, errors: str = ...) -> float: ...
@overload
def temperature(sensor: Sensor, reading: ArrayLike, cj: Optional[ArrayLike] = ...,
                exact: bool = ..., *, errors: str = ...) -> Any: ...


def temperature(sensor, reading, cj=0.0, exact=False, *, errors="nan"):
    """Temperature in °C at a reading: for a thermocouple an EMF in mV measured with the
    reference junction at cj °C (the ITS-90 inverse polynomials at reading + E(cj); with
    exact=True the exact inverse of the reference function, within 1e-9 °C; with cj=None the
    reading is taken as the reference function's own EMF against 0 °C, no E(0) added), for a
    resistance thermometer a resistance in Ω (the exact inverse of its characteristic).

    reading and cj broadcast against each other. The inverse polynomials take, against 0 °C,
    in mV: S -0.235 to 18.693, R -0.226 up to 21.103, B 0.291 to 13.82, K -5.891 to 54.886,
    N -3.99 to 47.513, E -8.825 to 76.373, J -8.095 to 69.553, T -5.603 to 20.872; the exact
    inverse the whole reference function (type B above 0 mV only: at 0 mV and below two
    temperatures between 0 °C and 42.13 °C match). Outside: NaN, or ValueError naming the
    range with errors="raise".
    """
    s = _sensor(sensor)
    if type(reading) is float and type(cj) is float and exact is False and errors == "nan":
        if s.tc:
            return s.temperature(reading, cj)
        if cj == 0:
            return s.inverse(reading)
    raising = _raising(errors)
    if not isinstance(exact, (bool, np.bool_)):
        raise TypeError(f"exact must be True or False, not {type(exact).__name__}")
    exact = bool(exact)
    if not s.tc:
        _no_reference(s, cj)
        if exact:
            raise ValueError("exact applies to thermocouples only: a resistance thermometer's "
                             "temperature is always the exact inverse of its characteristic")
        return _convert(s, "inverse", (reading,), ("reading",), raising, lambda v: (
            _core.out_of_range("resistance", _text(v), _OHM, s.core,
                               _range(s.core.reading_limits(), _OHM, 2))))

    def explain(v: float, cj: Optional[float] = None) -> str:
        reference = None if cj is None else _reference_message(s, cj)
        if reference:
            return reference
        e0 = 0.0 if cj is None else s.reading(cj)
        lo, hi, lo_in, hi_in = s.core.exact_reading_limits() if exact else \
            s.core.reading_limits()
        emfs = _range((lo - e0, hi - e0, lo_in, hi_in), _MV) + (
            " against 0 °C" if cj is None else
            f" with the reference junction at {_text(cj)} °C")
        if exact and s.core.exact_status(v, 0.0 if cj is None else cj) == 2:
            zero = _core.format_trimmed(s.core.exact_temperature_limits()[0], 2)
            return (f"EMF {_text(v)} mV gives two temperatures for the {s.name}, whose EMF is "
                    f"0 mV or below from 0 °C to {zero} °C: the exact inverse takes {emfs}")
        return _core.out_of_range("EMF", _text(v), _MV, s.core, emfs)

    if cj is None:
        return _convert(s, "exact_inverse" if exact else "inverse", (reading,), ("reading",),
                        raising, explain)
    return _convert(s, "exact_temperature" if exact else "temperature", (reading, cj),
                    ("reading", "cj"), raising, explain)


@overload
def resistance(sensor: Sensor, t: float, *, errors: str = ...) -> float: ...
@overload
def resistance(sensor: Sensor, t: ArrayLike, *, errors: str = ...) -> Any: ...


def resistance(sensor, t, *, errors="nan"):
    """Resistance in Ω of a resistance thermometer at t °C: R0·W(t), with W from IEC 60751's
    Callendar–Van Dusen equation (platinum, or a certificate's coefficients), the copper
    W = 1 + A·t + B·t² + C·t³, or DIN 43760 (nickel).

    Temperatures taken, in °C: platinum -200 to 850, copper -50 up to 150 (150 itself
    excluded), nickel -60 to 250. Outside: NaN, or ValueError naming the range with
    errors="raise".
    """
    s = _sensor(sensor)
    if type(t) is float and errors == "nan" and not s.tc:
        return s.reading(t)
    if s.tc:
        raise ValueError(f"resistance needs a resistance thermometer (PtN, CuN or NiN, like "
                         f"Pt100 or Cu50); {s.core.code} is a thermocouple: use kelvora.emf")
    return _convert(s, "reading", (t,), ("t",), _raising(errors),
                    lambda t: _temperature_message(s, t))


@overload
def slope(sensor: Sensor, t: float, *, errors: str = ...) -> float: ...
@overload
def slope(sensor: Sensor, t: ArrayLike, *, errors: str = ...) -> Any: ...


def slope(sensor, t, *, errors="nan"):
    """Slope at t °C: a thermocouple's Seebeck coefficient dE/dt in µV/°C (the exact
    derivative of the ITS-90 reference function), or a resistance thermometer's dR/dt in
    Ω/°C. Where two ranges meet, the upper range's. Over the temperatures emf and resistance
    take; outside: NaN, or ValueError naming the range with errors="raise".
    """
    s = _sensor(sensor)
    if type(t) is float and errors == "nan":
        return s.slope(t)
    return _convert(s, "slope", (t,), ("t",), _raising(errors),
                    lambda t: _temperature_message(s, t))


_CLASSES = "one of 1 2 3 (thermocouples), AA A B C (platinum), 1 (copper)"


@overload
def tolerance(sensor: Sensor, t: float, cls: Union[int, str], element: str = ..., *,
              errors: str = ...) -> float: ...
@overload
def tolerance(sensor: Sensor, t: ArrayLike, cls: Union[int, str], element: str = ..., *,
              errors: str = ...) -> Any: ...


def tolerance(sensor, t, cls, element="wire", *, errors="nan"):
    """Tolerance in °C at t °C: the deviation a sensor of class cls is permitted, the larger
    value where the standard gives "or". cls: 1, 2 or 3 (IEC 60584-1 thermocouples; types B, J
    and S/R lack some), "AA", "A", "B" or "C" (IEC 60751 platinum; element "wire" for
    wire-wound or "film", each with its own range) or 1 (copper); as a number or a string, any
    letter case. Nickel has none. Outside the class's range: NaN, or ValueError naming it
    with errors="raise".
    """
    s = _sensor(sensor)
    raising = _raising(errors)
    if isinstance(cls, (bool, np.bool_)) or not isinstance(cls, (str, numbers.Integral)):
        raise TypeError(f"cls must be a class such as 1, 2, 'A' or 'AA', not "
                        f"{type(cls).__name__}")
    k = _core.tolerance_class(str(int(cls)) if isinstance(cls, numbers.Integral) else cls)
    if k is None:
        raise ValueError(f"tolerance class {cls!r}: {_CLASSES}")
    platinum = not s.tc and s.core.material == "platinum"
    if element not in ("wire", "film"):
        raise ValueError(f"element must be 'wire' (wire-wound) or 'film', not {element!r}")
    if element == "film" and not platinum:
        raise ValueError(f"element applies to platinum thermometers only; {s.name} has none")
    if not s.core.has_class(k):
        classes = " ".join(_core.tolerance_class_name(c) for c in range(7) if s.core.has_class(c))
        name = _core.tolerance_class_name(k)
        if not classes:
            raise ValueError(f"{s.name} has no tolerance classes")
        raise ValueError(f"{s.name} has no tolerance class {name}: its classes are {classes}")
    label = _core.tolerance_class_name(k) + (
        (" (film)" if element == "film" else " (wire-wound)") if platinum else "")
    limits = s.core.tolerance_limits(k, _ufuncs.ELEMENTS.index(element))
    return _convert(s, "tolerance", (t,), ("t",), raising, lambda t: (
        f"temperature {_text(t)} °C is outside class {label} of {s.name}: "
        f"{_range(limits, _DEGREES)}"), k, element)


# ---- Tables ---------------------------------------------------------------------------------


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


# ---- Display --------------------------------------------------------------------------------


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


# Lead wires, cable classes and the uncertainty budget: over the helpers above, so imported
# last.
from ._uncertainty import Budget, budget, cable_tolerance, lead_error  # noqa: E402
