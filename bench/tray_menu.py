#!/usr/bin/env python3
"""Opening the left-click tray menu against a plain popup menu, under Wine.

Runs build/win/tools/traymenubench.exe in one Wine session (its own prefix,
Xvfb and wineserver): a document of 2,000 items in 5 tabs (groups three
deep); Kestro's menu (model built from the trees, Win32 menu with pictures
drawn from a 16 x 16 list) against a popup menu of the same shape appended
straight from the trees without pictures. Each is timed from the start of the
build until its menu loop first goes idle (shown and painted).

    python3 bench/tray_menu.py [--runs 30] [--json FILE]

The exit code is 0 whether or not the goal is met: this is a measurement.
"""
import argparse
import json
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from wine import WIN_BUILD, WineSession  # noqa: E402

GOAL = 1.5


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--runs", type=int, default=30, help="timed openings of each menu (30)")
    ap.add_argument("--json", type=Path, help="write the result to this file")
    args = ap.parse_args()
    if args.runs < 1:
        ap.error("--runs must be at least 1")
    exe = WIN_BUILD / "tools" / "traymenubench.exe"
    if not exe.exists():
        sys.exit(f"{exe} is missing: run scripts/build.sh --win")
    with WineSession("tray-menu") as s:
        s.start()
        r = s.run(exe, str(args.runs), timeout=600)
    if r.returncode != 0:
        sys.exit(f"traymenubench failed ({r.returncode}): {r.stderr.decode('utf-8', 'replace')}")
    result = json.loads(r.stdout.decode("utf-8").strip().splitlines()[-1])
    print(f"items {result['items']}, {result['runs']} openings of each menu")
    print(f"tray menu:  median {result['kestro_ms']:.2f} ms, min {result['kestro_min_ms']:.2f} ms")
    print(f"  of which the model {result['model_ms']:.2f} ms, the Win32 menu from it {result['menu_ms']:.2f} ms")
    print(f"plain menu: median {result['plain_ms']:.2f} ms, min {result['plain_min_ms']:.2f} ms")
    ok = result["ratio"] <= GOAL
    print(f"ratio of the medians {result['ratio']:.2f}x (goal at most {GOAL}x): {'met' if ok else 'NOT met'}")
    if args.json:
        args.json.parent.mkdir(parents=True, exist_ok=True)
        args.json.write_text(json.dumps(result, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
