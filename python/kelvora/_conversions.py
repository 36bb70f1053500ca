"""The conversions: EMF, temperature, resistance, slope and tolerance, on numbers (a float)
or array-likes (numpy ufuncs underneath)."""

from __future__ import annotations

import numbers
from typing import Any, Optional, Union, overload

import numpy as np

from . import _core, _ufuncs
from ._common import (_DEGREES, _MV, _OHM, ArrayLike, _apply, _number, _raising, _range,
                      _text)
from ._sensors import (Sensor, _no_reference, _reference_message, _Resolved, _sensor,
                       _temperature_message)


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
