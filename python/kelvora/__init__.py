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
as a numpy structured array, sensors() the window's catalogue. Transmitter(lrv, urv, signal)
is a temperature transmitter (its output both ways, NAMUR NE 43's states), check() kelvora-cli
check's loop-check sheet.

    import kelvora
    kelvora.emf("K", 250, cj=25)                    # 9.153126403069239 (mV)
    kelvora.temperature("K", 9.8, cj=25)            # 265.84840675556165 (°C)
    kelvora.resistance("Pt100", [0, 50, 100])       # array([100., 119.397..., 138.5055])
    kelvora.format_fixed(kelvora.emf("K", 250, cj=25), 3)   # '9.153', the window's text
    kelvora.Transmitter(0, 500).output(250)         # 12.0 (mA)
"""

from __future__ import annotations

from . import _core, _ufuncs  # noqa: F401  (kelvora._ufuncs: the ufuncs by name)
from ._common import ArrayLike
from ._conversions import emf, resistance, slope, temperature, tolerance
from ._loop import Transmitter, check
from ._sensors import RTD, Sensor, SensorInfo, sensors
from ._tables import format_fixed, table

__version__: str = _core.__version__

__all__ = [
    "RTD",
    "SensorInfo",
    "Transmitter",
    "check",
    "emf",
    "format_fixed",
    "resistance",
    "sensors",
    "slope",
    "table",
    "temperature",
    "tolerance",
]
