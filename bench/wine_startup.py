#!/usr/bin/env python3
"""kelvora.exe under Wine beside two floors: file sizes and start-up times.

    python3 bench/wine_startup.py BUILD_DIR      (`make bench-windows`; BUILD_DIR is build/windows)

Start-up is timed from spawning `wine64 PROGRAM` to the moment its window titled "Kelvora" is
mapped on a private X server (Xvfb), polled every 5 ms with xdotool; the median of runs that
alternate between the two programs, after warm-up runs, with one Wine server kept running
throughout. Under Wine these are indications, not Windows figures. Standard library only.

The floors (bench/bare_win32_window.cpp): a bare Win32 window of Kelvora's size, and the fair
one, that window with one Chinese label, kelvora.exe's manifest and the common controls
initialised. kelvora.exe's goal is at most 1.3 times the fair floor's start-up.
"""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
RUNS = 30  # of each program, after two warm-up runs each: fewer let the median move ±5 %
TIMEOUT = 60.0  # seconds for one start-up
FAIR_FLOOR = "one Chinese label, visual styles"
GOAL = 1.3  # kelvora.exe's start-up at most this times the fair floor's


def visible_kelvora_windows():
    proc = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Kelvora$"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    return proc.stdout.split()


def start_once(exe, env):
    """Seconds from spawn to the window mapped; the program is then ended."""
    start = time.perf_counter()
    proc = subprocess.Popen([WINE, exe], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        while not visible_kelvora_windows():
            if time.perf_counter() - start > TIMEOUT or proc.poll() is not None:
                sys.exit(f"bench: {exe} showed no window titled Kelvora")
            time.sleep(0.005)
        return time.perf_counter() - start
    finally:
        proc.kill()
        proc.wait()
        while visible_kelvora_windows():
            time.sleep(0.01)


def stripped_size(exe):
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "stripped.exe")
        subprocess.run(["x86_64-w64-mingw32-strip", "-o", out, exe], check=True)
        return os.path.getsize(out)


def measure(build_dir):
    programs = {
        "kelvora.exe": os.path.join(build_dir, "app", "kelvora.exe"),
        "bare Win32 window": os.path.join(build_dir, "bench", "kelvora_bare_window.exe"),
        FAIR_FLOOR: os.path.join(build_dir, "bench", "kelvora_label_window.exe"),
    }
    env = dict(os.environ, WINEPREFIX=os.path.abspath(os.path.join(build_dir, "wineprefix")),
               WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    # One persistent Wine server for all runs, so no run pays for starting it. It starts in the
    # prefix, which Wine fills at the first start when it is still empty (a clean build tree).
    os.makedirs(env["WINEPREFIX"], exist_ok=True)
    subprocess.run([WINESERVER, "-p"], env=env)
    subprocess.run([WINE, "wineboot", "--init"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        times = {name: [] for name in programs}
        for run in range(RUNS + 2):
            for name, exe in programs.items():
                seconds = start_once(exe, env)
                if run >= 2:
                    times[name].append(seconds)
    finally:
        subprocess.run([WINESERVER, "-k"], env=env)
    return {
        name: {
            "bytes": os.path.getsize(exe),
            "stripped": stripped_size(exe),
            "median_ms": statistics.median(times[name]) * 1000,
            "min_ms": min(times[name]) * 1000,
        }
        for name, exe in programs.items()
    }


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    if "DISPLAY" not in os.environ or not os.environ.get("KELVORA_BENCH_IN_XVFB"):
        if shutil.which("xvfb-run") is None:
            sys.exit("bench: xvfb-run not found (scripts/install-deps installs xvfb)")
        os.execvpe("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", sys.executable,
                                os.path.abspath(__file__), argv[1]],
                   dict(os.environ, KELVORA_BENCH_IN_XVFB="1"))
    r = measure(argv[1])
    k, bare, fair = r["kelvora.exe"], r["bare Win32 window"], r[FAIR_FLOOR]
    print("| program | file | stripped | start-up under Wine, median (fastest) |")
    print("|---|---|---|---|")
    for name, m in r.items():
        print(f"| {name} | {m['bytes'] / 1024:.0f} KiB | {m['stripped'] / 1024:.0f} KiB | "
              f"{m['median_ms']:.0f} ms ({m['min_ms']:.0f} ms) |")
    ratio = k["median_ms"] / fair["median_ms"]
    print(f"\nkelvora.exe starts in {ratio:.2f}× the time of the fair floor ({FAIR_FLOOR}; "
          f"goal: at most {GOAL}×, {'met' if ratio <= GOAL else 'NOT met'}), "
          f"{k['median_ms'] / bare['median_ms']:.2f}× the bare window's; stripped size "
          f"{k['stripped'] / 2**20:.2f} MiB (goal: under 1.5 MiB).")


if __name__ == "__main__":
    main(sys.argv)
