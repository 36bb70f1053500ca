"""kelvora's numpy ufuncs: one per conversion and sensor, each made once and kept here.

numpy pickles a ufunc as its name, looked up again in the module that holds it; that is how
a Dask cluster ships a conversion to its workers. So every ufunc made is an attribute of this
module, and a name not made yet (in a worker that has not met the sensor) is made on the
spot from what it says: ``emf_K``, ``temperature_J``, ``exact_temperature_B`` (against a
reference junction), ``reading_K``, ``inverse_K``, ``exact_inverse_B`` (against 0 °C by the
reference function itself), ``reading_Pt100`` (the resistance), ``inverse_Cu53p7`` (R0 =
53.7 Ω), ``slope_Ni1000``, ``tolerance_Pt100_A_film``, or for a certificate's coefficients
``reading_Pt_<R0>_<A>_<B>_<C>`` with each double's bits in hexadecimal; a lead error, with
its wiring and the bits of R_L and ΔR, ``lead_error_Pt100_w2_<R_L>_<ΔR>``.
"""

from __future__ import annotations

import struct
import sys
from typing import Optional

import numpy as np

from . import _core

OPS = {
    "exact_temperature": _core.Op.exact_temperature,
    "exact_inverse": _core.Op.exact_inverse,
    "temperature": _core.Op.temperature,
    "tolerance": _core.Op.tolerance,
    "reading": _core.Op.reading,
    "inverse": _core.Op.inverse,
    "slope": _core.Op.slope,
    "emf": _core.Op.emf,
}
ELEMENTS = ("wire", "film")
_MATERIALS = {"platinum": "Pt", "copper": "Cu", "nickel": "Ni"}


def _bits(v: float) -> str:
    return struct.pack(">d", v).hex()


def _double(text: str) -> float:
    return struct.unpack(">d", bytes.fromhex(text))[0]


def _token(s: _core.Sensor) -> str:
    """The sensor as it shows in a ufunc's name: its code where the code gives it back."""
    code = s.code
    if s.is_thermocouple:
        return code
    if s.is_its90:  # ITS90_<R_tpw>_<sub-range>_<coefficients>…
        fields = ["ITS90", _bits(s.rtpw)]
        for n, c in s.deviations:
            fields += [str(n)] + [_bits(v) for v in c]
        return "_".join(fields)
    made = _core.sensor_from_code(code)[0]
    if made == s:
        return code.replace(".", "p")
    fields = [_MATERIALS[s.material], _bits(s.r0)]
    if s.material == "platinum":
        fields += [_bits(v) for v in s.cvd]
    return "_".join(fields)


def _its90_of(fields: list) -> Optional[_core.Sensor]:
    try:
        rtpw = _double(fields[0])
        deviations, at = [], 1
        while at < len(fields):
            n = int(fields[at])
            count = {4: 2, 5: 2, 7: 3, 8: 2, 9: 2, 10: 1, 11: 1}.get(n, 0)
            deviations.append((n, [_double(f) for f in fields[at + 1:at + 1 + count]]))
            at += 1 + count
    except (ValueError, IndexError, struct.error):
        return None
    return _core.its90(rtpw, deviations)[0]


def _sensor_of(token: str) -> Optional[_core.Sensor]:
    if "_" not in token:
        code = token[:2] + token[2:].replace("p", ".")
        return _core.sensor_from_code(code)[0]
    fields = token.split("_")
    if fields[0] == "ITS90":
        return _its90_of(fields[1:])
    try:
        values = [_double(f) for f in fields[1:]]
    except (ValueError, struct.error):
        return None
    makers = {"Pt": (_core.platinum, 4), "Cu": (_core.copper, 1), "Ni": (_core.nickel, 1)}
    maker, count = makers.get(fields[0], (None, -1))
    if maker is None or len(values) != count:
        return None
    return maker(*values)[0]


def _describe(op: str, s: _core.Sensor, cls: Optional[int], element: str) -> str:
    lo, hi = s.temperature_limits()[:2]
    d = 4 if s.is_its90 else 3
    own = f"{_core.format_trimmed(lo, d)} °C to {_core.format_trimmed(hi, d)} °C"
    name = s.name
    tc = s.is_thermocouple
    how = ("the exact inverse of the ITS-90 reference function" if op.startswith("exact")
           else "the ITS-90 inverse polynomials")
    if op == "emf":
        return (f"E(t) - E(cj) in mV of the {name} at t °C with its reference junction at "
                f"cj °C (ITS-90 reference function); NaN where t or cj lies outside {own}.")
    if op in ("temperature", "exact_temperature"):
        return (f"Temperature in °C of the {name} at an EMF in mV measured against a reference "
                f"junction at cj °C ({how}); NaN outside the EMFs it converts.")
    if op == "reading":
        if tc:
            return (f"E(t) in mV of the {name} at t °C by the ITS-90 reference function itself "
                    f"(against 0 °C); NaN outside {own}.")
        return f"Resistance in Ω of the {name} at t °C; NaN outside {own}."
    if op in ("inverse", "exact_inverse"):
        if tc:
            return (f"Temperature in °C of the {name} at an EMF in mV against 0 °C ({how}); "
                    f"NaN outside the EMFs it converts.")
        return (f"Temperature in °C of the {name} at a resistance in Ω (the exact inverse of "
                f"its characteristic); NaN outside its resistances.")
    if op == "slope":
        unit = "µV/°C" if tc else "Ω/°C"
        return f"Slope dE/dt or dR/dt in {unit} of the {name} at t °C; NaN outside {own}."
    platinum = not tc and s.material == "platinum"
    return (f"Tolerance in °C of the {name}, class {_core.tolerance_class_name(cls)}"
            f"{' (' + element + ')' if platinum else ''}, at t °C; NaN outside the class's "
            f"range.")


def _make(name: str, s: _core.Sensor, op: str, cls: Optional[int], element: str) -> np.ufunc:
    uf = s.ufunc(OPS[op], 0 if cls is None else cls, ELEMENTS.index(element), name,
                 _describe(op, s, cls, element))
    setattr(sys.modules[__name__], name, uf)
    return uf


def get(s: _core.Sensor, op: str, cls: Optional[int] = None, element: str = "wire") -> np.ufunc:
    """The ufunc of conversion `op` for sensor s (and tolerance class and element)."""
    name = f"{op}_{_token(s)}"
    if op == "tolerance":
        name += f"_{_core.tolerance_class_name(cls)}_{element}"
    uf = globals().get(name)
    return uf if uf is not None else _make(name, s, op, cls, element)


def get_lead(s: _core.Sensor, wires: int, lead_ohm: float, imbalance: float) -> np.ufunc:
    """The ufunc of a resistance thermometer's lead error, with checked leads (wires 2, 3 or 4,
    R_L and ΔR in Ω)."""
    name = f"lead_error_{_token(s)}_w{wires}_{_bits(lead_ohm)}_{_bits(imbalance)}"
    uf = globals().get(name)
    if uf is None:
        doc = (f"Temperature error in °C of the {s.name} at t °C read through {wires} leads of "
               f"{_core.format_trimmed(lead_ohm, 6)} Ω each (imbalance "
               f"{_core.format_trimmed(imbalance, 6)} Ω), uncompensated; NaN outside its "
               f"range and beyond its resistances.")
        uf = s.lead_ufunc(wires, lead_ohm, imbalance, name, doc)
        setattr(sys.modules[__name__], name, uf)
    return uf


def _lead_by_name(name: str) -> Optional[np.ufunc]:
    token, wiring, lead_ohm, imbalance = name[len("lead_error_"):].rsplit("_", 3)
    s = _sensor_of(token)
    if s is None or wiring not in ("w2", "w3", "w4"):
        return None
    try:
        uf = get_lead(s, int(wiring[1]), _double(lead_ohm), _double(imbalance))
    except (ValueError, struct.error):
        return None
    return uf if uf.__name__ == name else None


def __getattr__(name: str) -> np.ufunc:
    if name.startswith("lead_error_") and name.count("_") >= 5:
        uf = _lead_by_name(name)
        if uf is not None:
            return uf
        raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
    for op in OPS:
        if not name.startswith(op + "_"):
            continue
        rest = name[len(op) + 1:]
        cls, element = None, "wire"
        if op == "tolerance":
            rest, _, element = rest.rpartition("_")
            rest, _, class_name = rest.rpartition("_")
            cls = _core.tolerance_class(class_name)
            if cls is None or element not in ELEMENTS:
                break
        s = _sensor_of(rest)
        try:
            if s is not None and get(s, op, cls, element).__name__ == name:
                return globals()[name]
        except ValueError:  # a conversion the sensor has not, such as an RTD's EMF
            pass
        break
    raise AttributeError(f"module {__name__!r} has no attribute {name!r}")
