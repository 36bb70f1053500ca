"""ITS-90 platinum thermometers: a standard thermometer given by its calibration certificate
(ITS90: R_tpw and its deviation functions), usable wherever a sensor is, and a sub-range's
deviation coefficients fitted to a calibration's points (fit_its90). The numbers and the
refusals are kelvora-cli's ITS90 and fit ITS90's."""

from __future__ import annotations

import numbers
from collections.abc import Mapping
from typing import Any

import numpy as np

from . import _core
from ._calibration import _points
from ._common import _one_number
from ._sensors import _Resolved


def _subrange(n: Any) -> int:
    if isinstance(n, (bool, np.bool_)) or not isinstance(n, numbers.Integral):
        raise TypeError(f"a sub-range is a whole number (4, 5, 7 to 11), not "
                        f"{type(n).__name__} {n!r}")
    n = int(n)
    return n if -1000 < n < 1000 else 0  # beyond, no sub-range either


def _coefficients(n: int, c: Any) -> tuple:
    if isinstance(c, (numbers.Real, np.floating)) and not isinstance(c, (bool, np.bool_)):
        c = (c,)
    if isinstance(c, (str, bytes, bytearray)) or not hasattr(c, "__iter__"):
        raise TypeError(f"sub-range {n}'s coefficients must be numbers, a, b[, c], not "
                        f"{type(c).__name__} {c!r}")
    return tuple(_one_number(v, f"sub-range {n}'s coefficient") for v in c)


class ITS90:
    """A platinum resistance thermometer of the ITS-90 as its certificate gives it: rtpw, its
    resistance in Ω at the triple point of water (0.01 °C), and deviations, its deviation
    functions W − Wr(T90) by sub-range, W = R/R_tpw, as {sub-range: coefficients}: one
    sub-range below 0.01 °C, 4 (from the argon triple point, -189.3442 °C) or 5 (from the
    mercury triple point, -38.8344 °C), a·(W − 1) + b·(W − 1)·ln W; and one above, up to
    7 aluminium (660.323 °C) a·(W − 1) + b·(W − 1)² + c·(W − 1)³, 8 zinc (419.527 °C) and
    9 tin (231.928 °C) a·(W − 1) + b·(W − 1)², 10 indium (156.5985 °C) and 11 gallium
    (29.7646 °C) a·(W − 1); each with exactly its function's coefficients. Its range is its
    sub-ranges'. ITS90(25.5, {4: (a4, b4), 8: (a8, b8)}) converts like any sensor: resistance
    gives R_tpw·W with W − ΔW(W) = Wr(t), temperature the exact inverse of Wr at W − ΔW(W),
    slope dR/dt, table its graduation table.

    ValueError when the certificate cannot be one: R_tpw not a finite number within 1e-200 Ω
    to 1e200 Ω, no sub-range, one not listed, two below or two above, coefficients not as many
    as the function has or not finite, or a deviation that changes too fast (|dΔW/dW| ≥ 0.2).
    """

    __slots__ = ("rtpw", "_deviations", "_resolved")

    def __init__(self, rtpw: float, deviations: Mapping) -> None:
        value = _one_number(rtpw, "rtpw")
        if not isinstance(deviations, Mapping):
            raise TypeError(f"deviations must be a mapping of sub-ranges to coefficients, "
                            f"like {{8: (a, b)}}, not {type(deviations).__name__}")
        given = []
        for n, c in deviations.items():
            number = _subrange(n)
            given.append((number, list(_coefficients(number, c))))
        core, message = _core.its90(value, given)
        if core is None:
            raise ValueError(f"ITS90(rtpw={value!r}, deviations={deviations!r}) is refused: "
                             f"{message}")
        object.__setattr__(self, "rtpw", value)
        object.__setattr__(self, "_deviations", tuple((n, tuple(c)) for n, c in core.deviations))
        object.__setattr__(self, "_resolved", _Resolved(core))

    @property
    def deviations(self) -> dict:
        """{sub-range: coefficients}, the one below 0.01 °C first."""
        return dict(self._deviations)

    @property
    def code(self) -> str:
        """kelvora-cli's code, "ITS90" (its certificate is --rtpw and --dev)."""
        return self._resolved.core.code

    def __setattr__(self, name: str, value: Any) -> None:
        raise AttributeError("an ITS90 is a value: make a new one")

    def __repr__(self) -> str:
        return f"ITS90(rtpw={self.rtpw!r}, deviations={self.deviations!r})"

    def __eq__(self, other: object) -> bool:
        if not isinstance(other, ITS90):
            return NotImplemented
        return (self.rtpw, self._deviations) == (other.rtpw, other._deviations)

    def __hash__(self) -> int:
        return hash((ITS90, self.rtpw, self._deviations))

    def __reduce__(self) -> tuple:
        return (ITS90, (self.rtpw, self.deviations))


class Its90Fit:
    """A sub-range's deviation coefficients fitted to points, as kelvora-cli fit ITS90 reports
    them: subrange, rtpw (Ω), coefficients (a, b[, c] as the function has them, each to 10
    significant digits); per point t (°C), r (Ω), fit (the fitted thermometer's R, Ω),
    residuals_ohm (r − fit) and residuals_mK (the residual divided by dR/dt, mK);
    max_residual_mK, the largest |residual|. its90() is the thermometer of these
    coefficients."""

    __slots__ = ("subrange", "rtpw", "coefficients", "t", "r", "fit", "residuals_ohm",
                 "residuals_mK", "max_residual_mK")

    def __init__(self, subrange: int, rtpw: float, t: np.ndarray, r: np.ndarray,
                 values: tuple) -> None:
        coefficients, _, fit, ohm, mk, largest = values
        for name, v in (("subrange", subrange), ("rtpw", rtpw),
                        ("coefficients", tuple(coefficients)), ("t", t), ("r", r),
                        ("fit", fit), ("residuals_ohm", ohm), ("residuals_mK", mk),
                        ("max_residual_mK", largest)):
            if isinstance(v, np.ndarray):
                v.flags.writeable = False
            object.__setattr__(self, name, v)

    def its90(self) -> ITS90:
        """The fitted thermometer as a kelvora.ITS90, usable wherever a sensor is."""
        return ITS90(self.rtpw, {self.subrange: self.coefficients})

    def __setattr__(self, name: str, value: Any) -> None:
        raise AttributeError("an Its90Fit is a value: fit again")

    def __repr__(self) -> str:
        return (f"Its90Fit(subrange={self.subrange!r}, rtpw={self.rtpw!r}, "
                f"coefficients={self.coefficients!r}, "
                f"max_residual_mK={self.max_residual_mK!r})")


def fit_its90(t: Any, r: Any, subrange: int, rtpw: float) -> Its90Fit:
    """The deviation coefficients of sub-range `subrange` (4, 5, 7 to 11; see kelvora.ITS90)
    fitted to a calibration's points: resistances r (Ω) at temperatures t (°C, t90, within the
    sub-range), arrays of one length, W = r/rtpw. The least-squares fit of W − Wr(t) = ΔW(W),
    linear in the coefficients; with as many points as coefficients it passes through each
    (sub-range 8 from the tin and zinc points). Every value of the result follows from the
    coefficients as given (10 significant digits), as kelvora-cli fit ITS90 prints them.

    ValueError, with the reason, for an unlisted sub-range, an R_tpw refused, a temperature
    outside the sub-range, a resistance that is not a finite number above 0 Ω, too few points
    (or points at too few temperatures besides the triple point, where every term is 0), two
    resistances at one temperature where the fit is exact, or a fitted deviation refused.
    """
    tt, rr = _points(t, r, ("t", "r"))
    number = _subrange(subrange)
    value = _one_number(rtpw, "rtpw")
    return Its90Fit(number, value, tt, rr, _core.fit_its90(tt, rr, number, value))
