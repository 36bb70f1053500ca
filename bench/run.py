#!/usr/bin/env python3
"""Runs Kelvora's benchmarks and prints one table: every figure beside its floor.

    python3 bench/run.py BUILD_DIR [PYTHON_BUILD_DIR]
                                                 everything (`make bench`: build/release and
                                                 build/python, for kelvora's rows)
    python3 bench/run.py --startup BUILD_DIR     start-up only, on the display the environment
                                                 names; prints JSON (run inside xvfb-run)
    python3 bench/run.py --cli BUILD_DIR         kelvora-cli's long table and its floor only
    python3 bench/run.py --lut BUILD_DIR         kelvora-cli lut's table and its fixed-step peers
    python3 bench/run.py --python PYTHON_BUILD_DIR   kelvora for Python's rows only
    python3 bench/run.py --core BUILD_DIR [RUNS]  the core benchmark RUNS times (3): each run's
                                                 spread over its repetitions, and the goals'
                                                 ratios from run to run

The micro-benchmarks (core, model, window) run as Google Benchmark repetitions in random
interleaving, so a figure and its floor share the machine's moods. Each figure is the CPU
time of the benchmark's thread per call in the fastest repetition: the least disturbed
estimate on a busy machine; a second table shows the spread of the goals' figures, the fastest,
median and slowest repetition of each and their ratios.
Start-up is the median of runs that alternate between the program's start-up probe, the empty
window's and the one-label window's, timed from posix_spawn to the probe's report of its first
paint. kelvora for Python's figures come from bench/python_bench.py, run by this same
interpreter (Debian's /usr/bin/python3, with numpy and dask); the rest is standard library only.
"""

import json
import os
import platform
import select
import shutil
import statistics
import subprocess
import sys
import time

CORE_REPETITIONS = 30  # of 0.05 s each
WINDOW_REPETITIONS = 15  # of 0.1 s each
STARTUP_RUNS = 20  # of each probe, after two warm-up runs each
STARTUP_TIMEOUT = 30.0  # seconds for one start-up

FRAME_60HZ_NS = 1e9 / 60


# ---- Google Benchmark ---------------------------------------------------------------------


def run_benchmarks(exe, repetitions, min_time):
    """Runs a Google Benchmark binary; returns {name: {"ns": fastest mean per call, ...}}."""
    cmd = [
        exe,
        f"--benchmark_repetitions={repetitions}",
        "--benchmark_enable_random_interleaving=true",
        f"--benchmark_min_time={min_time}",
        "--benchmark_format=json",
    ]
    proc = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    if proc.returncode != 0:
        sys.exit(f"bench: {exe} failed (exit status {proc.returncode}):\n{proc.stderr}")
    out = proc.stdout
    runs = {}
    for b in json.loads(out)["benchmarks"]:
        if b.get("run_type") != "iteration" or b.get("error_occurred"):
            continue
        assert b["time_unit"] == "ns", b["time_unit"]
        name = b["run_name"].removeprefix("BM_")
        calls = b.get("calls", 1.0)
        runs.setdefault(name, []).append({
            "ns": b["cpu_time"] / calls,
            "allocs": b.get("allocs", 0.0),
        })
    for name, reps in runs.items():
        if len(reps) != repetitions:
            sys.exit(f"bench: {exe}: {name} ran {len(reps)} of {repetitions} repetitions")
    return {
        name: {
            "ns": min(r["ns"] for r in reps),
            "median_ns": statistics.median(r["ns"] for r in reps),
            "max_ns": max(r["ns"] for r in reps),
            "allocs": max(r["allocs"] for r in reps),
        }
        for name, reps in runs.items()
    }


# The micro-benchmark figures with a goal: (label, measured, floor, goal ratio).
SPREAD_ROWS = (
    ("core `e`", "core_e", "floor_e", 1.5),
    ("core `t`", "core_t", "floor_t", 1.5),
    ("`exactTemperature`", "core_exact", "core_t", 3),
    ("certificate `reading`", "core_certificate_r", "floor_certificate", 1.5),
    ("certificate `temperature`", "core_certificate_t", "core_certificate_r", 3),
)


def spread_table(core, repetitions):
    """Each goal's two benchmarks over their repetitions: the fastest, the median and the
    slowest time per call, and the ratio of each (the table above takes the fastest)."""
    header = ("figure", f"per call: min / median / max of {repetitions}",
              "floor: min / median / max", "ratio: min / median / max", "goal")
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    for label, m, f, goal in SPREAD_ROWS:
        a, b = core[m], core[f]
        spread = [a[k] / b[k] for k in ("ns", "median_ns", "max_ns")]
        lines.append(f"| {label} | " + " / ".join(fmt_ns(a[k]) for k in ("ns", "median_ns", "max_ns"))
                     + " | " + " / ".join(fmt_ns(b[k]) for k in ("ns", "median_ns", "max_ns"))
                     + " | " + " / ".join(f"{r:.2f}×" for r in spread) + f" | ≤ {goal:g}× |")
    return "\n".join(lines)


def core_runs(build_dir, runs):
    """The core benchmark `runs` times over: each run's spread, then the goals' ratios (fastest
    repetitions) from run to run."""
    exe = os.path.join(build_dir, "bench", "kelvora_core_bench")
    ratios = {label: [] for label, *_ in SPREAD_ROWS}
    out = []
    for i in range(runs):
        load = os.getloadavg()[0]
        core = run_benchmarks(exe, CORE_REPETITIONS, 0.05)
        out += [f"Run {i + 1} of {runs} (load average {load:.2f} / {os.getloadavg()[0]:.2f}):", "",
                spread_table(core, CORE_REPETITIONS), ""]
        for label, m, f, _ in SPREAD_ROWS:
            ratios[label].append(core[m]["ns"] / core[f]["ns"])
    out.append(f"The ratios of the fastest repetitions over the {runs} runs: " + "; ".join(
        f"{label} {min(r):.2f}–{max(r):.2f}×" for label, r in ratios.items()))
    return "\n".join(out)


# ---- Start-up -----------------------------------------------------------------------------


def start_once(exe, env):
    """Spawns a start-up probe; returns (ns from spawn to its line, its fields)."""
    env = dict(env, KELVORA_STARTUP_REPORT_FD="3")
    read_end, write_end = os.pipe()
    actions = [
        (os.POSIX_SPAWN_DUP2, write_end, 3),
        (os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
        (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0),
    ]
    started = time.monotonic_ns()
    pid = os.posix_spawn(exe, [exe], env, file_actions=actions)
    os.close(write_end)
    try:
        ready, _, _ = select.select([read_end], [], [], STARTUP_TIMEOUT)
        shown = time.monotonic_ns()
        line = os.read(read_end, 256).decode() if ready else ""
    finally:
        os.close(read_end)
    if not line.endswith("\n"):
        try:
            os.kill(pid, 9)
        except ProcessLookupError:
            pass
        os.waitpid(pid, 0)
        sys.exit(f"bench: {exe} exited or timed out ({STARTUP_TIMEOUT:.0f} s) before its "
                 "window was painted; run it by hand to see its messages")
    os.waitpid(pid, 0)
    hwm_kb, app_us, built_us, shown_us, painted_us = (int(f) for f in line.split())
    return shown - started, {
        "hwm_kb": hwm_kb,
        "app_us": app_us,
        "built_us": built_us - app_us,
        "show_us": shown_us - built_us,
        "paint_us": painted_us - shown_us,
        "main_us": painted_us,
    }


def measure_startup(build_dir, platform_name):
    """Alternates the program's start-up probe, the floor's and the one-label floor's;
    medians of each."""
    env = dict(os.environ)
    if platform_name == "offscreen":
        env["QT_QPA_PLATFORM"] = "offscreen"
    else:
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("WAYLAND_DISPLAY", None)
    probes = {
        "kelvora": os.path.join(build_dir, "bench", "kelvora_startup_probe"),
        "floor": os.path.join(build_dir, "bench", "kelvora_startup_floor"),
        "label": os.path.join(build_dir, "bench", "kelvora_startup_label"),
    }
    for exe in probes.values():
        for _ in range(2):
            start_once(exe, env)
    samples = {name: [] for name in probes}
    for _ in range(STARTUP_RUNS):
        for name, exe in probes.items():
            samples[name].append(start_once(exe, env))
    result = {}
    for name, runs in samples.items():
        result[name] = {"ns": statistics.median(ns for ns, _ in runs)}
        for field in runs[0][1]:
            result[name][field] = statistics.median(f[field] for _, f in runs)
    return result


def startup_under_xvfb(build_dir):
    """Runs the start-up measurement on a private X server, all runs inside one xvfb-run."""
    if shutil.which("xvfb-run") is None:
        sys.exit("bench: xvfb-run not found (scripts/install-deps installs xvfb)")
    cmd = ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", sys.executable,
           os.path.abspath(__file__), "--startup", build_dir]
    out = subprocess.run(cmd, check=True, stdout=subprocess.PIPE, text=True).stdout
    return json.loads(out)


# ---- kelvora-cli's long table ---------------------------------------------------------------

CLI_TABLE_ARGS = ["table", "K", "--from", "-270", "--to", "1372", "--step", "0.001",
                  "--format", "csv"]
CLI_TABLE_ROWS = 1_642_001
CLI_RUNS = 7  # of each, alternating, after one warm-up run each


def spawn_to_null(cmd):
    return os.posix_spawn(cmd[0], cmd, os.environ,
                          file_actions=[(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0)])


def check_status(cmd, status):
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"bench: {' '.join(cmd)} failed ({os.waitstatus_to_exitcode(status)})")


def time_to_null(cmd):
    """Runs cmd with stdout to /dev/null; returns the wall time in ns."""
    started = time.monotonic_ns()
    _, status = os.waitpid(spawn_to_null(cmd), 0)
    took = time.monotonic_ns() - started
    check_status(cmd, status)
    return took


def peak_memory_kb(cmd):
    """VmHWM of cmd, read from /proc while it runs (the kernel's ru_maxrss of a spawned child
    would include the memory of the Python process that spawned it)."""
    pid = spawn_to_null(cmd)
    name = os.path.basename(cmd[0])[:15]
    hwm = 0
    while True:
        try:
            with open(f"/proc/{pid}/status") as f:
                fields = dict(line.split(":", 1) for line in f)
            if fields["Name"].strip() == name and "VmHWM" in fields:
                hwm = max(hwm, int(fields["VmHWM"].split()[0]))
        except (OSError, KeyError, ValueError):
            pass
        done, status = os.waitpid(pid, os.WNOHANG)
        if done:
            check_status(cmd, status)
            return hwm
        time.sleep(0.0002)


def measure_cli_table(build_dir):
    """kelvora-cli's 1,642,001-row table beside its floor (fastest of alternating runs), and
    its peak memory beside that of a table a tenth as long."""
    cli = os.path.join(build_dir, "app", "kelvora-cli")
    floor = os.path.join(build_dir, "bench", "kelvora_cli_table_floor")
    out = subprocess.run([cli] + CLI_TABLE_ARGS, check=True, stdout=subprocess.PIPE).stdout
    rows = out.count(b"\n") - 1
    if rows != CLI_TABLE_ROWS:
        sys.exit(f"bench: the table has {rows} rows, not {CLI_TABLE_ROWS}")
    runs = {"cli": [], "floor": []}
    for i in range(CLI_RUNS + 1):
        for name, cmd in (("cli", [cli] + CLI_TABLE_ARGS), ("floor", [floor])):
            took = time_to_null(cmd)
            if i > 0:
                runs[name].append(took)
    short = [cli, "table", "K", "--from", "-270", "--to", "1372", "--step", "0.01",
             "--format", "csv"]
    return {
        "ns": min(runs["cli"]),
        "floor_ns": min(runs["floor"]),
        "rss_kb": max(peak_memory_kb([cli] + CLI_TABLE_ARGS) for _ in range(3)),
        "short_rss_kb": max(peak_memory_kb(short) for _ in range(3)),
    }


def cli_rows(c, row):
    m, f = c["ns"], c["floor_ns"]
    row("`kelvora-cli table K --from -270 --to 1372 --step 0.001 --format csv` "
        "(1,642,001 rows)", fmt_ns(m), f"{fmt_ns(f)} (`std::to_chars`, same output path)",
        f"{m / f:.2f}×", "≤ 1.5×", yes(m / f <= 1.5))
    k, s = c["rss_kb"], c["short_rss_kb"]
    row("peak memory of that table (VmHWM)", fmt_mib(k), f"{fmt_mib(s)} (164,201 rows)",
        f"{k / s:.2f}×", "does not grow with the table (≤ 1.1×)", yes(k / s <= 1.1))


# ---- kelvora-cli lut ------------------------------------------------------------------------

LUT_ARGS = ["lut", "K", "--from", "-270", "--to", "1372", "--max-error", "0.01"]
LUT_GOAL_NS = 1e9


def measure_lut(build_dir):
    """The lookup table of type K at ±0.01 °C beside the fixed-step tables for that bound, the
    library's generation time, and the whole program's (fastest of CLI_RUNS, to /dev/null)."""
    out = subprocess.run([os.path.join(build_dir, "bench", "kelvora_lut_bench")], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    result = json.loads(out)
    cli = [os.path.join(build_dir, "app", "kelvora-cli")] + LUT_ARGS
    err = subprocess.run(cli, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                         text=True).stderr
    if f"{result['points']} breakpoints" not in err:
        sys.exit(f"bench: kelvora-cli lut reports otherwise than the library: {err}")
    quiet = [(os.POSIX_SPAWN_OPEN, 1, os.devnull, os.O_WRONLY, 0),
             (os.POSIX_SPAWN_OPEN, 2, os.devnull, os.O_WRONLY, 0)]
    runs = []
    for _ in range(CLI_RUNS):
        started = time.monotonic_ns()
        _, status = os.waitpid(os.posix_spawn(cli[0], cli, os.environ, file_actions=quiet), 0)
        runs.append(time.monotonic_ns() - started)
        check_status(cli, status)
    result["cli_ns"] = min(runs)
    return result


def lut_rows(l, row):
    p, t, e = l["points"], l["uniform_t_points"], l["uniform_e_points"]
    row("`kelvora-cli lut K --from -270 --to 1372 --max-error 0.01`: breakpoints",
        f"{p:,} (integers: {l['int_points']:,}; cold junction {l['cj_points']})",
        f"{t:,} at a fixed step of {l['uniform_t_step']:.3f} °C; {e:,} at a fixed step of "
        f"{l['uniform_e_step_mV'] * 1000:.3f} µV", f"{t / p:.1f}× fewer; {e / p:.0f}× fewer",
        "fewer than a fixed step", yes(p < t))
    row("its generation (`makeLut`, warm; the first run, with the exact inverse's own tables)",
        fmt_ns(l["ns"]), f"{fmt_ns(l['first_ns'])} first; {fmt_ns(l['int_ns'])} with `--int`",
        "—", "< 1 s", yes(max(l["ns"], l["first_ns"]) < LUT_GOAL_NS))
    row("the whole program, to /dev/null", fmt_ns(l["cli_ns"]), "—", "—", "< 1 s",
        yes(l["cli_ns"] < LUT_GOAL_NS))


# ---- kelvora for Python -------------------------------------------------------------------


def measure_python(python_build_dir):
    """bench/python_bench.py's figures (JSON), each beside its floor."""
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "python_bench.py")
    out = subprocess.run([sys.executable, script, python_build_dir], check=True,
                         stdout=subprocess.PIPE, text=True).stdout
    return json.loads(out)


def python_rows(p, row):
    for name, core, label in (
            ("emf", "e_K", '`kelvora.emf("K", a)`, 10⁶ temperatures over type K\'s range'),
            ("temperature", "t_K",
             '`kelvora.temperature("K", e)`, 10⁶ EMFs over type K\'s inverse range')):
        r = p["array"][name]
        m, f, poly = r["ns"], r["floor_ns"], r["polyval_ns"]
        row(label, fmt_ns(m), f"{fmt_ns(f)} (the core's `{core}` in a C++ loop over the array)",
            f"{m / f:.2f}×", "≤ 1.5×", yes(m / f <= 1.5))
        row(f"{label}, beside numpy", fmt_ns(m),
            f"{fmt_ns(poly)} (`np.polynomial.polynomial.polyval`, degree 10)", f"{m / poly:.2f}×",
            "< 1× (faster)", yes(m < poly))
    t = p["transmitter"]
    m, f = t["ns"], t["floor_ns"]
    row("`kelvora.Transmitter(0, 500).output(t)`, 10⁶ temperatures", fmt_ns(m),
        f"{fmt_ns(f)} (numpy's own `lo + (hi-lo)*(t-lrv)/(urv-lrv)` on the same array)",
        f"{m / f:.2f}×", "≤ 1.5×", yes(m / f <= 1.5))
    m = t["sheet_ns"]
    row('`kelvora.check("K", tx, points=1001, cj=25, found=…, left=…, accuracy=0.1)`',
        fmt_ns(m), "—", "—", "< 10 ms", yes(m < 10e6))
    s = p["scalar"]
    row('one scalar call, `kelvora.emf("K", 100.0)`', fmt_ns(s["ns"]),
        f"{fmt_ns(s['floor_ns'])} (a Python function of the same arguments returning t)",
        f"{s['ns'] / s['floor_ns']:.1f}×", "< 1 µs", yes(s["ns"] < 1000))
    d = p["dask"]
    row('`kelvora.emf("K", x).sum().compute()`, a dask array of 10⁸ values in 10⁶-value chunks, '
        "2 threads", fmt_ns(d["ns"]),
        f"{fmt_ns(d['floor_ns'])} (`kelvora.emf(\"K\", a).sum()`, the numpy array in one call)",
        f"{d['ns'] / d['floor_ns']:.2f}×", "≤ 0.65×", yes(d["ns"] / d["floor_ns"] <= 0.65))


# ---- Table --------------------------------------------------------------------------------


def fmt_ns(ns):
    if ns >= 1e9:
        return f"{ns / 1e9:.2f} s"
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e4:
        return f"{ns / 1e3:.1f} µs"
    if ns >= 1e3:
        return f"{ns / 1e3:.2f} µs"
    return f"{ns:.1f} ns"


def fmt_mib(kb):
    return f"{kb / 1024:.1f} MiB"


def yes(ok):
    return "yes" if ok else "**no**"


def machine():
    cpu = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    mem_kb = 0
    with open("/proc/meminfo") as f:
        for line in f:
            if line.startswith("MemTotal:"):
                mem_kb = int(line.split()[1])
    return (f"{os.cpu_count()} CPUs (nproc {len(os.sched_getaffinity(0))}), {cpu}, "
            f"{mem_kb / 1024 / 1024:.1f} GiB RAM, Linux {platform.release()}")


def markdown_table(rows):
    header = ("figure", "measured", "floor", "ratio", "goal", "met?")
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(r) + " |" for r in rows]
    return "\n".join(lines)


def build_table(core, window, offscreen, xvfb, cli, lut, python):
    rows = []

    def row(figure, measured, floor, ratio, goal, met):
        rows.append((figure, measured, floor, ratio, goal, met))

    for name, label in (("e", "core `e` per call"), ("t", "core `t` per call")):
        m, f = core[f"core_{name}"]["ns"], core[f"floor_{name}"]["ns"]
        row(label, fmt_ns(m), f"{fmt_ns(f)} (Horner, degree 10)", f"{m / f:.2f}×", "≤ 1.5×",
            yes(m / f <= 1.5))
    for name, label in (("e", "core `e`, sensor changing every call"),
                        ("t", "core `t`, sensor changing every call")):
        m, f = core[f"core_{name}_mixed"]["ns"], core[f"floor_{name}_mixed"]["ns"]
        row(label, fmt_ns(m), f"{fmt_ns(f)} (Horner, degree 10)", f"{m / f:.2f}×", "— (info)",
            "—")

    m, f = core["core_e_K_exp"]["ns"], core["floor_e_K_exp"]["ns"]
    row("core `e_K` from 0 to 1372 °C (with the exponential term)", fmt_ns(m),
        f"{fmt_ns(f)} (Horner, degree 10)", f"{m / f:.2f}×", "— (info)", "—")
    m, f = core["portableExp"]["ns"], core["std_exp"]["ns"]
    row("the core's own `exp` on the K term's arguments", fmt_ns(m),
        f"{fmt_ns(f)} (`std::exp`)", f"{m / f:.2f}×", "— (info)", "—")

    r_t, fr, ff = core["core_r_T"]["ns"], core["floor_r_T"]["ns"], core["formatFixed"]["ns"]
    row("core `r_T` per call", fmt_ns(r_t), f"{fmt_ns(fr)} (Horner, degree 10)",
        f"{r_t / fr:.1f}×", "— (formatting-bound: next row)", "—")
    row("`formatFixed(r, 2)` share of `r_T`", fmt_ns(ff), f"{fmt_ns(r_t)} (`r_T`)",
        f"{100 * ff / r_t:.0f} %", "≥ 50 %", yes(ff / r_t >= 0.5))

    m, f = core["core_exact"]["ns"], core["core_t"]["ns"]
    row("core `exactTemperature` per call (exact inverse, same EMFs as `t`)", fmt_ns(m),
        f"{fmt_ns(f)} (`t`, inverse polynomials)", f"{m / f:.2f}×", "≤ 3×", yes(m / f <= 3))
    m, f = core["core_certificate_r"]["ns"], core["floor_certificate"]["ns"]
    row("certificate Pt100 resistance per call (`reading`)", fmt_ns(m),
        f"{fmt_ns(f)} (Horner, degree 10)", f"{m / f:.2f}×", "≤ 1.5×", yes(m / f <= 1.5))
    m, f = core["core_certificate_t"]["ns"], core["core_certificate_r"]["ns"]
    row("certificate Pt100 temperature from resistance (`temperature`)", fmt_ns(m),
        f"{fmt_ns(f)} (its resistance)", f"{m / f:.2f}×", "≤ 3×", yes(m / f <= 3))

    mk, mf = core["model_keystroke"]["ns"], core["model_floor"]["ns"]
    row("keystroke on `FormModel` (Text2 → Text3)", fmt_ns(mk),
        f"{fmt_ns(mf)} (`setText`, no controller)", f"{mk / mf:.1f}×", "< 2 µs", yes(mk < 2000))

    m = core["loop_sheet"]["ns"]
    row("a loop-check sheet of 1,001 points (`answers::loopSheet` and every row's cells; type K, "
        "as found and as left)", fmt_ns(m), "—", "—", "< 10 ms", yes(m < 10e6))

    conv = max(core["core_e"]["allocs"], core["core_t"]["allocs"], core["core_e_mixed"]["allocs"],
               core["core_t_mixed"]["allocs"], core["core_exact"]["allocs"],
               core["core_certificate_r"]["allocs"], core["core_certificate_t"]["allocs"])
    fmt_allocs = max(core["formatFixed"]["allocs"], core["core_r_T"]["allocs"])
    row("heap allocations in `e`/`t` and the sensor library, per call", f"{conv:g}", "—", "—",
        "0", yes(conv == 0))
    row("heap allocations in `formatFixed`/`r_T`, per call", f"{fmt_allocs:g}", "—", "—", "0",
        yes(fmt_allocs == 0))
    whole = core["model_keystroke"]["allocs"]
    row("heap allocations per `FormModel` keystroke (whole)", f"{whole:g}", "—", "—",
        "0 in the conversion path", yes(conv == 0 and fmt_allocs == 0))

    wk, wf = window["window_keystroke"]["ns"], window["window_floor"]["ns"]
    row("keystroke in the window, offscreen (key → Text3 repainted)", fmt_ns(wk),
        f"{fmt_ns(wf)} (bare QLineEdit)", f"{wk / wf:.2f}×",
        f"≤ 1.5×, and < 1/10 of a 60 Hz frame ({fmt_ns(FRAME_60HZ_NS / 10)})",
        yes(wk / wf <= 1.5 and wk < FRAME_60HZ_NS / 10))

    for label, s in (("offscreen", offscreen), ("Xvfb", xvfb)):
        k, f = s["kelvora"]["ns"], s["floor"]["ns"]
        row(f"start-up to first paint, {label}", fmt_ns(k), f"{fmt_ns(f)} (empty QWidget)",
            f"{k / f:.2f}×", "≤ 1.3×", yes(k / f <= 1.3))
    for label, s in (("offscreen", offscreen), ("Xvfb", xvfb)):
        k, f = s["kelvora"]["hwm_kb"], s["floor"]["hwm_kb"]
        row(f"peak memory (VmHWM), {label}", fmt_mib(k), fmt_mib(f), f"{k / f:.2f}×", "≤ 1.3×",
            yes(k / f <= 1.3))
    cli_rows(cli, row)
    lut_rows(lut, row)
    if python is not None:
        python_rows(python, row)
    return markdown_table(rows)


def label_floor_table(offscreen, xvfb):
    """The start-up figures once more, against a floor that shows one Chinese label."""
    header = ("figure", "kelvora", "one Chinese label", "empty window",
              "label ÷ empty", "kelvora ÷ label")
    lines = ["| " + " | ".join(header) + " |", "|" + "|".join("---" for _ in header) + "|"]
    for label, s in (("offscreen", offscreen), ("Xvfb", xvfb)):
        k, l, f = (s[n]["ns"] for n in ("kelvora", "label", "floor"))
        lines.append(f"| start-up to first paint, {label} | {fmt_ns(k)} | {fmt_ns(l)} | "
                     f"{fmt_ns(f)} | {l / f:.2f}× | {k / l:.2f}× |")
    for label, s in (("offscreen", offscreen), ("Xvfb", xvfb)):
        k, l, f = (s[n]["hwm_kb"] for n in ("kelvora", "label", "floor"))
        lines.append(f"| peak memory (VmHWM), {label} | {fmt_mib(k)} | {fmt_mib(l)} | "
                     f"{fmt_mib(f)} | {l / f:.2f}× | {k / l:.2f}× |")
    return "\n".join(lines)


def startup_breakdown(offscreen, xvfb):
    lines = ["Inside main (medians, µs): QApplication / window built / show() / to first paint "
             "done"]
    for label, s in (("offscreen", offscreen), ("Xvfb", xvfb)):
        for name in ("kelvora", "label", "floor"):
            d = s[name]
            lines.append(f"  {label:9} {name:7}  {d['app_us']:8.0f} {d['built_us']:8.0f} "
                         f"{d['show_us']:8.0f} {d['paint_us']:8.0f}   (main → paint "
                         f"{d['main_us']:.0f}, spawn → paint {d['ns'] / 1e3:.0f})")
    return "\n".join(lines)


def main(argv):
    if len(argv) == 3 and argv[1] == "--startup":
        platform_name = "offscreen" if os.environ.get("QT_QPA_PLATFORM") == "offscreen" else "xcb"
        json.dump(measure_startup(argv[2], platform_name), sys.stdout)
        return
    if len(argv) == 3 and argv[1] == "--cli":
        rows = []
        cli_rows(measure_cli_table(os.path.abspath(argv[2])), lambda *r: rows.append(r))
        print(markdown_table(rows))
        return
    if len(argv) == 3 and argv[1] == "--lut":
        rows = []
        lut_rows(measure_lut(os.path.abspath(argv[2])), lambda *r: rows.append(r))
        print(markdown_table(rows))
        return
    if len(argv) in (3, 4) and argv[1] == "--core":
        print(core_runs(os.path.abspath(argv[2]), int(argv[3]) if len(argv) == 4 else 3))
        return
    if len(argv) == 3 and argv[1] == "--python":
        rows = []
        python_rows(measure_python(os.path.abspath(argv[2])), lambda *r: rows.append(r))
        print(markdown_table(rows))
        return
    if len(argv) not in (2, 3) or argv[1].startswith("--"):
        sys.exit(__doc__)
    build_dir = os.path.abspath(argv[1])
    python_build_dir = os.path.abspath(argv[2]) if len(argv) == 3 else None
    began = time.monotonic()
    load_before = os.getloadavg()[0]

    print("bench: core and model …", file=sys.stderr, flush=True)
    core = run_benchmarks(os.path.join(build_dir, "bench", "kelvora_core_bench"),
                          CORE_REPETITIONS, 0.05)
    print("bench: window keystroke (offscreen) …", file=sys.stderr, flush=True)
    window = run_benchmarks(os.path.join(build_dir, "bench", "kelvora_window_bench"),
                            WINDOW_REPETITIONS, 0.1)
    print("bench: start-up, offscreen …", file=sys.stderr, flush=True)
    offscreen = measure_startup(build_dir, "offscreen")
    print("bench: start-up, Xvfb …", file=sys.stderr, flush=True)
    xvfb = startup_under_xvfb(build_dir)
    print("bench: kelvora-cli table …", file=sys.stderr, flush=True)
    cli = measure_cli_table(build_dir)
    print("bench: kelvora-cli lut …", file=sys.stderr, flush=True)
    lut = measure_lut(build_dir)
    python = None
    if python_build_dir is not None:
        print("bench: kelvora for Python …", file=sys.stderr, flush=True)
        python = measure_python(python_build_dir)

    report = "\n".join([
        f"Machine: {machine()}",
        f"Load average (1 min) before / after: {load_before:.2f} / {os.getloadavg()[0]:.2f}; "
        f"took {time.monotonic() - began:.0f} s",
        "",
        build_table(core, window, offscreen, xvfb, cli, lut, python),
        "",
        spread_table(core, CORE_REPETITIONS),
        "",
        label_floor_table(offscreen, xvfb),
        "",
        startup_breakdown(offscreen, xvfb),
    ])
    print(report)
    with open(os.path.join(build_dir, "bench", "results.md"), "w") as f:
        f.write(report + "\n")


if __name__ == "__main__":
    main(sys.argv)
