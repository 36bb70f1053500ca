#!/usr/bin/env python3
"""kelvora's benchmarks, each figure beside its floor in the same run; prints JSON for
bench/run.py (which makes the table's rows of them).

    /usr/bin/python3 bench/python_bench.py PYTHON_BUILD_DIR     (build/python)

- kelvora.emf("K", a) and kelvora.temperature("K", e) over 10⁶ values spread over type K's
  range (a fixed random order, as a channel's samples come), against the core's own loop over
  the same array into a new one (bench/python_floor.cpp, GIL released) and against numpy's
  polyval of one degree-10 polynomial, what a numpy user writes by hand;
- kelvora.Transmitter(0, 500).output(t) over 10⁶ temperatures, against numpy's own
  lo + (hi-lo)*(t-lrv)/(urv-lrv) on the same array; a 1,001-point kelvora.check sheet;
- one scalar call, against a Python function of the same arguments that returns its value;
- kelvora.emf("K", x).sum() of a dask array of 10⁸ values in 10⁶-value chunks on two threads,
  against the same on the numpy array in one call.
The array and scalar figures are the CPU time of the calling thread (numpy runs the loops in
it), fastest of runs that take turns with their floors, as bench/run.py reads the C++ figures;
the dask figure is wall time, since the work is spread over threads.
"""

import json
import os
import sys
import time
import timeit

build = os.path.abspath(sys.argv[1])
sys.path[:0] = [os.path.join(build, "python"), os.path.join(build, "python", "bench")]

import dask  # noqa: E402
import dask.array as da  # noqa: E402
import numpy as np  # noqa: E402

import kelvora  # noqa: E402
import kelvora_floor  # noqa: E402

N = 1_000_000
ROUNDS = 15
DASK_N, DASK_CHUNK, DASK_ROUNDS = 100_000_000, 1_000_000, 5
# Type K's reference function below 0 °C (NIST), eleven coefficients: the polyval floor.
K_BELOW_0 = np.array([0.0, 0.394501280250e-01, 0.236223735980e-04, -0.328589067840e-06,
                      -0.499048287770e-08, -0.675090591730e-10, -0.574103274280e-12,
                      -0.310888728940e-14, -0.104516093650e-16, -0.198892668780e-19,
                      -0.163226974860e-22])


def fastest(runs):
    """The fastest CPU time in ns of each callable in this thread, the callables taking
    turns, each round in another order: what one leaves behind in the heap (polyval's
    temporaries, a result just freed) falls to each in turn."""
    best = [float("inf")] * len(runs)
    for r in range(ROUNDS):
        for i in (r + k for k in range(len(runs))):
            i %= len(runs)
            started = time.thread_time_ns()
            runs[i]()
            best[i] = min(best[i], time.thread_time_ns() - started)
    return best


def arrays():
    rng = np.random.default_rng(20240601)
    t = rng.uniform(-270.0, 1372.0, N)
    e = rng.uniform(-5.891, 54.886, N)
    results = {}
    for name, values, f, floor in (("emf", t, lambda: kelvora.emf("K", t), kelvora_floor.e_K),
                                   ("temperature", e, lambda: kelvora.temperature("K", e),
                                    kelvora_floor.t_K)):
        ns, floor_ns, polyval_ns = fastest([
            f, lambda: floor(values),
            lambda: np.polynomial.polynomial.polyval(values, K_BELOW_0)])
        results[name] = {"ns": ns, "floor_ns": floor_ns, "polyval_ns": polyval_ns}
    return results


def transmitter():
    t = np.random.default_rng(20240601).uniform(-50.0, 550.0, N)
    tx = kelvora.Transmitter(0.0, 500.0)
    lo, hi, lrv, urv = tx.lo, tx.hi, tx.lrv, tx.urv
    if tx.output(t).tobytes() != (lo + (hi - lo) * (t - lrv) / (urv - lrv)).tobytes():
        sys.exit("python_bench: Transmitter.output is not numpy's expression")
    ns, floor_ns = fastest([lambda: tx.output(t),
                            lambda: lo + (hi - lo) * (t - lrv) / (urv - lrv)])
    found = (4.0 + 0.16 * np.linspace(0.0, 100.0, 1001) + 0.01).tolist()
    sheet_ns = fastest([lambda: kelvora.check("K", tx, points=1001, cj=25.0, found=found,
                                              left=found, accuracy=0.1)])[0]
    return {"ns": ns, "floor_ns": floor_ns, "sheet_ns": sheet_ns}


def scalar():
    def same_arguments(sensor, t, cj=0.0, *, errors="nan"):
        return t

    runs = {"kelvora": lambda: kelvora.emf("K", 100.0), "floor": lambda: same_arguments("K", 100.0)}
    best = {name: float("inf") for name in runs}
    calls = 200_000
    for _ in range(7):
        for name, f in runs.items():
            seconds = timeit.Timer(f, timer=time.thread_time).timeit(calls)
            best[name] = min(best[name], seconds / calls * 1e9)
    return {"ns": best["kelvora"], "floor_ns": best["floor"]}


def on_dask():
    values = np.tile(np.random.default_rng(20240601).uniform(-270.0, 1372.0, DASK_CHUNK),
                     DASK_N // DASK_CHUNK)
    lazy = da.from_array(values, chunks=DASK_CHUNK)
    sums = {}

    def numpy_sum():
        sums["numpy"] = kelvora.emf("K", values).sum()

    def dask_sum():
        sums["dask"] = kelvora.emf("K", lazy).sum().compute()

    with dask.config.set(scheduler="threads", num_workers=2):
        dask_sum()  # the thread pool started
        best = [float("inf"), float("inf")]
        for _ in range(DASK_ROUNDS):
            for i, f in enumerate((dask_sum, numpy_sum)):
                started = time.perf_counter_ns()
                f()
                best[i] = min(best[i], time.perf_counter_ns() - started)
    if not np.isclose(sums["numpy"], sums["dask"], rtol=1e-12):
        sys.exit(f"python_bench: the dask sum {sums['dask']} is not numpy's {sums['numpy']}")
    return {"ns": best[0], "floor_ns": best[1]}


json.dump({"array": arrays(), "transmitter": transmitter(), "scalar": scalar(), "dask": on_dask(),
           "numpy": np.__version__, "dask_version": dask.__version__}, sys.stdout)
