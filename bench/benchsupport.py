"""What the benchmarks share: a Wine prefix and display as the Wine journeys
make them (tests/wine/journeys.py), with the benchmark tools of the win64
build copied beside Bitset.exe."""

import os
import shutil
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
os.environ.setdefault("BITSET_WINE_WORK", os.path.join(ROOT, "build", "wine", "bench"))
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))

import journeys  # noqa: E402  (needs the settings above)

TOOLS = os.path.join(journeys.WIN64_DIR, "bench")


def session(name, tools, **kwargs):
    """A prefix with Bitset.exe, its drives and the named tools in C:\\bitset."""
    for tool in tools:
        journeys.require(os.path.join(TOOLS, tool), "the benchmark tool " + tool,
                         "run ./test.sh (or ./scripts/build.sh win64) first")
    prepared = journeys.Session(name, **kwargs)
    for tool in tools:
        shutil.copy(os.path.join(TOOLS, tool), prepared.program_dir)
    return prepared


def run(prepared, *command):
    """Runs a program of C:\\bitset in the prefix; returns its output."""
    result = subprocess.run([journeys.WINE64] + ["C:\\bitset\\" + command[0]] + list(command[1:]),
                            cwd=prepared.program_dir, env=prepared.app_env, capture_output=True,
                            text=True, timeout=120)
    if result.returncode != 0:
        raise SystemExit("%s failed (exit %d):\n%s%s" % (command[0], result.returncode,
                                                        result.stdout, result.stderr))
    return result.stdout


def median(values):
    ordered = sorted(values)
    return ordered[len(ordered) // 2]
