#!/usr/bin/env python3
"""The find tab's search against a raw FindFirstFileW walk, under Wine.

Builds a drive of 100,000 files in 5,000 folders (50 folders of 100 folders
of 20 files; one file in a hundred holds the searched text "needle"), starts
Kestro.exe on it with the find tab shown, and runs
build/win/tools/findbench.exe in the same Wine session: Kestro's search, from
the button's click until its count shows "Nitems", against a raw recursive
FindFirstFileW walk of the same drive that compares every lowered name with
the text. Medians of alternating runs; the ratio Kestro / raw.

    python3 bench/find_search.py [--runs 5] [--json FILE]

The exit code is 0 whether or not the goal is met: this is a measurement.
"""
import argparse
import json
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from kestro import KestroDrive  # noqa: E402
from wine import WIN_BUILD, WineSession  # noqa: E402

GOAL = 1.2
TEXT = "needle"
DOCUMENT = """<?xml version="1.0"?>
<Root><window><main><position><X>100</X><Y>50</Y></position><size><X>300</X><Y>500</Y></size>
<topwindow>False</topwindow><tabindex>0</tabindex></main></window>
<tabs><tab name="F" tag="1"/><tab name="A" tag="0"><files/></tab></tabs></Root>"""


def build_tree(root, top=50, middle=100, files=20):
    n = 0
    for a in range(top):
        for b in range(middle):
            folder = root / f"dir{a:02d}" / f"sub{b:03d}"
            folder.mkdir(parents=True)
            for _ in range(files):
                name = f"{TEXT}{n:06d}.dat" if n % 100 == 0 else f"file{n:06d}.dat"
                (folder / name).touch()
                n += 1
    return n


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--runs", type=int, default=5, help="timed searches of each kind (5)")
    ap.add_argument("--json", type=Path, help="write the result to this file")
    args = ap.parse_args()
    if args.runs < 1:
        ap.error("--runs must be at least 1")
    bench = WIN_BUILD / "tools" / "findbench.exe"
    if not bench.exists():
        sys.exit(f"{bench} is missing: run scripts/build.sh --win")
    with WineSession("find-bench") as s:
        drive = KestroDrive(s, "r")
        count = build_tree(drive.root)
        drive.write_xml(DOCUMENT)
        s.start()
        drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        if panel is None:
            sys.exit("Kestro's panel did not appear")
        time.sleep(3)  # the start's pictures
        r = s.run(bench, "R:", TEXT, str(args.runs), timeout=3600)
        drive.request_exit()
    if r.returncode != 0:
        sys.exit(f"findbench failed ({r.returncode}): {r.stderr.decode('utf-8', 'replace')}")
    result = json.loads(r.stdout.decode("utf-8").strip().splitlines()[-1])
    result["files"] = count
    print(f"{count} files in 5,000 folders, {result['runs']} runs of each")
    print(f"find tab:  median {result['kestro_ms']:.0f} ms, min {result['kestro_min_ms']:.0f} ms, "
          f"{result['kestro_found']} found")
    print(f"raw walk:  median {result['raw_ms']:.0f} ms, min {result['raw_min_ms']:.0f} ms, "
          f"{result['raw_found']} found")
    print(f"raw walk without short names (FindFirstFileExW, basic): median {result['raw_basic_ms']:.0f} ms, "
          f"ratio {result['ratio_basic']:.2f}x")
    ok = result["ratio"] <= GOAL
    print(f"ratio of the medians {result['ratio']:.2f}x (goal at most {GOAL}x): {'met' if ok else 'NOT met'}")
    if args.json:
        args.json.parent.mkdir(parents=True, exist_ok=True)
        args.json.write_text(json.dumps(result, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
