#!/usr/bin/env python3
"""Private memory of Kestro against an empty Win32 program, under one Wine prefix.

Kestro starts from the removable drive R: with the start-time benchmark's
1,000-item document (bench/start_time.py), once more with a document without
items, and the empty window program (bench/win/emptywindow.cpp) from the same
drive. Each program's memory is read from Linux, /proc/<pid>/smaps_rollup of
its Wine process, once its window is visible and its memory has settled (the
pictures Kestro looks up in the background are in by then).

    python3 bench/memory.py [--runs 3] [--items 1000]

The figure compared is "Anonymous": the private memory the process wrote
(heaps, image lists, stacks), without the mapped program and DLL files. The
exit code is 0 whether or not the goal is met: this is a measurement.
"""
import argparse
import json
import shutil
import statistics
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "bench"))

from kestro import KestroDrive  # noqa: E402
from start_time import Document, build_helpers  # noqa: E402
from wine import WIN_BUILD, WineSession  # noqa: E402

# At most this much more than the empty window, in MB.
GOAL_MB = 8.0
WM_CLOSE = 0x0010
FIELDS = ("Rss", "Anonymous", "Private_Dirty")


def rollup(pid):
    """The fields of /proc/<pid>/smaps_rollup in KB, or None when it is gone."""
    try:
        text = Path(f"/proc/{pid}/smaps_rollup").read_text()
    except OSError:
        return None
    out = {}
    for line in text.splitlines():
        name, _, rest = line.partition(":")
        if name in FIELDS:
            out[name] = int(rest.split()[0])
    return out


def windows_process(popen, exe_name, seconds=20):
    """The Linux pid of the Windows program `popen` started. The wine loader
    becomes the program itself; the command line tells."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            cmd = Path(f"/proc/{popen.pid}/cmdline").read_bytes().replace(b"\0", b" ").decode("utf-8", "replace")
        except OSError:
            return None
        if exe_name.lower() in cmd.lower():
            return popen.pid
        time.sleep(0.05)
    return None


def settled(pid, quiet_s=3.0, limit_s=90.0, step_s=0.25, slack_kb=32):
    """Samples the memory until it has grown by at most `slack_kb` over the
    last `quiet_s` (the background loader adds a few KB per picture)."""
    start = time.monotonic()
    history = []
    while time.monotonic() - start < limit_s:
        now = rollup(pid)
        if not now:
            break
        history.append((time.monotonic(), now))
        old = [m for t, m in history if t <= history[-1][0] - quiet_s]
        if old and abs(now["Anonymous"] - old[-1]["Anonymous"]) <= slack_kb:
            break
        time.sleep(step_s)
    return history[-1][1] if history else None


def measure(session, program, exe_name, window_class, close):
    proc = session.spawn(program)
    pid = windows_process(proc, exe_name)
    if pid is None or session.wait_window(window_class, "-", 30000) is None:
        raise RuntimeError(f"{program}: no process or no {window_class} window")
    memory = settled(pid)
    close()
    try:
        proc.wait(timeout=30)
    except Exception:  # noqa: BLE001 - a measurement goes on without it
        proc.kill()
    if not memory:
        raise RuntimeError(f"{program}: ended before its memory could be read")
    return memory


def mb(kb):
    return kb / 1024.0


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--runs", type=int, default=3, help="measurements of each program (3)")
    ap.add_argument("--items", type=int, default=1000, help="items in the document (1000)")
    ap.add_argument("--custom-icons", type=int, default=10, help="items with an <icon> of their own (10)")
    ap.add_argument("--json", type=Path, help="write every measurement to this file")
    args = ap.parse_args()
    if args.runs < 1 or args.items < 0:
        ap.error("--runs must be positive, --items not negative")

    helpers = build_helpers()
    with WineSession("memory") as s:
        drive = KestroDrive(s, "r")
        doc = Document(drive.root, args.items, 5, args.custom_icons)
        doc.make_files(WIN_BUILD / "tools" / "probe.exe")
        full = doc.xml()
        empty_doc = Document(drive.root, 0, 5, 0).xml()
        (drive.root / "Empty").mkdir()
        shutil.copy2(helpers["emptywindow"], drive.root / "Empty" / "emptywindow.exe")
        s.start()

        def kestro(text):
            def run():
                for bad in drive.folder.glob("Kestro.xml.bad*"):
                    bad.unlink()
                drive.write_xml(text)
                return measure(s, drive.exe_win, "Kestro.exe", "TviewFrm", drive.request_exit)
            return run

        def empty():
            def close():
                w = s.wait_window("KestroBenchEmpty", "-", 5000)
                if w:
                    s.driver("post", str(w["hwnd"]), str(WM_CLOSE), "0", "0")
            return measure(s, "R:\\Empty\\emptywindow.exe", "emptywindow.exe", "KestroBenchEmpty", close)

        programs = {f"Kestro, {args.items} items": kestro(full), "Kestro, no items": kestro(empty_doc),
                    "empty window": empty}
        # Warm: the prefix, the file cache and Wine's own start-up.
        programs["empty window"]()
        results = {name: [] for name in programs}
        for i in range(args.runs):
            for name, run in programs.items():
                results[name].append(run())
            print(f"run {i + 1}: " + ", ".join(f"{n} {mb(r[-1]['Anonymous']):.1f} MB" for n, r in results.items()),
                  flush=True)

    medians = {n: {f: statistics.median(r[f] for r in rs) for f in FIELDS} for n, rs in results.items()}
    print(f"{'':24} {'anonymous':>10} {'private dirty':>14} {'resident':>10}   (medians of {args.runs} runs)")
    for name, m in medians.items():
        print(f"{name:24} {mb(m['Anonymous']):8.1f} MB {mb(m['Private_Dirty']):12.1f} MB {mb(m['Rss']):8.1f} MB")
    base = medians["empty window"]["Anonymous"]
    full_name = f"Kestro, {args.items} items"
    extra = mb(medians[full_name]["Anonymous"] - base)
    items = mb(medians[full_name]["Anonymous"] - medians["Kestro, no items"]["Anonymous"])
    print(f"Kestro with the document holds {extra:.2f} MB more anonymous memory than the empty window "
          f"({items:.2f} MB of it for the items)")
    print(f"goal of at most {GOAL_MB:g} MB more: {'met' if extra <= GOAL_MB else 'NOT met'}")
    if args.json:
        args.json.write_text(json.dumps({"runs": results, "medians_kb": medians, "extra_mb": extra}, indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
