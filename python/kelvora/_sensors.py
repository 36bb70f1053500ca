"""Sensors: a code resolved once into the core's value and its conversions, a certificate's
platinum thermometer (RTD), and the window's catalogue."""

from __future__ import annotations

from typing import Any, NamedTuple, Optional, Union

import numpy as np

from . import _core, _ufuncs
from ._common import _DEGREES, _inside, _number, _one_number, _range, _text

Sensor = Union[str, "RTD"]


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


def _no_reference(s: _Resolved, cj: Any) -> None:
    if s.tc or cj is None:
        return
    number = _number(cj, "cj")
    if number != 0:
        raise ValueError(f"cj applies to thermocouples only; {s.core.code} has no reference "
                         f"junction")


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
