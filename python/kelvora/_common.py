"""What every public function of kelvora shares: reading its arguments (one number, or an
array-like for numpy), the errors= switch, calling a ufunc and the texts of its messages."""

from __future__ import annotations

import decimal
import math
import numbers
from typing import Any, Optional

import numpy as np
import numpy.typing as npt

from . import _core

ArrayLike = npt.ArrayLike
_DEGREES, _MV, _OHM = " °C", " mV", " Ω"


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


def _one_number(value: Any, what: str) -> float:
    if isinstance(value, (bool, np.bool_)) or not isinstance(value,
                                                             (numbers.Real, decimal.Decimal)):
        raise TypeError(f"{what} must be a number, not {type(value).__name__} {value!r}")
    return _number(value, what)
