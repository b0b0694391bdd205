#!/usr/bin/env python3
"""Start time of Kestro against an empty Win32 program, under one Wine prefix.

Kestro starts from a removable drive R: with a 1,000-item document in 5 tabs;
the time runs from CreateProcess to its panel (a top-level "TviewFrm" window)
being visible. The reference is bench/win/emptywindow.cpp, started from the
same drive, until its window is visible. Both are timed by
bench/win/startwatch.cpp inside the Wine session, so no start of a helper
process is part of a measurement.

While Kestro starts, the drive's folders are watched with inotify: an item's
file or folder opened before the panel was visible means a picture was looked
up before the panel was on the screen, which the program should not do.

    python3 bench/start_time.py [--runs 10] [--custom-icons 10]

The exit code is 0 whether or not the goal is met: this is a measurement.
"""
import argparse
import ctypes
import json
import os
import random
import select
import shutil
import statistics
import struct
import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ET
from pathlib import Path
from xml.sax.saxutils import escape, quoteattr

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

from kestro import KestroDrive  # noqa: E402
from wine import WIN_BUILD, WineSession  # noqa: E402

GOAL = 1.2
BENCH_BUILD = ROOT / "build" / "bench"
HELPERS = {
    "startwatch": (ROOT / "bench" / "win" / "startwatch.cpp", []),
    "emptywindow": (ROOT / "bench" / "win" / "emptywindow.cpp", ["-mwindows"]),
}
COMPILER = "x86_64-w64-mingw32-g++-posix"
PANEL_CLASS = "TviewFrm"
MAIN_CAPTION = "kestro-a"
EMPTY_CLASS = "KestroBenchEmpty"
# Folders of the drive whose files are items (or their pictures).
ITEM_FOLDERS = ("Apps", "Docs", "Icons")


# -- helpers ------------------------------------------------------------------

def build_helpers():
    """Builds the Win32 helpers that are missing or older than their source."""
    BENCH_BUILD.mkdir(parents=True, exist_ok=True)
    out = {}
    for name, (source, flags) in HELPERS.items():
        exe = BENCH_BUILD / f"{name}.exe"
        if not exe.exists() or exe.stat().st_mtime < source.stat().st_mtime:
            print(f"building {exe.relative_to(ROOT)}", flush=True)
            subprocess.run([COMPILER, "-std=c++20", "-O2", "-static", "-municode", "-Wall", *flags, "-o", str(exe),
                            str(source), "-luser32"], check=True)
        out[name] = exe
    return out


# -- the document ---------------------------------------------------------------

APP_WORDS = ["Notes", "Paint", "Mail", "Chat", "Music", "Video", "Photo", "Backup", "Sync", "Zip", "Term", "Code",
             "Diff", "Hex", "Calc", "Map", "Scan", "Burn", "Ftp", "Torrent", "Reader", "Writer", "Sheet", "Slides",
             "Clock", "Tasks", "Keys", "Vault", "Clip", "Shot"]
TAB_NAMES = ["Tools", "Office", "Internet", "Media", "Games"]
GROUP_WORDS = ["Daily", "Portable", "Old versions", "Utilities", "Work", "Drafts", "Projects", "Archive", "Tests",
               "Friends", "Misc", "Extras"]


def _ico_16():
    """A 16x16 32-bit icon file."""
    size = 40 + 16 * 16 * 4 + 16 * 4
    header = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, size, 22)
    info = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytes([40, 120, 220, 255]) * 256
    return header + info + pixels + bytes(16 * 4)


class Document:
    """A launcher document as a user grows one, with the files it points to."""

    def __init__(self, drive_root, items=1000, tabs=5, custom_icons=10, seed=7):
        self.root = Path(drive_root)
        self.rng = random.Random(seed)
        self.items = items
        self.tabs = tabs
        self.custom_icons = custom_icons
        self.counts = {"file": 0, "folder": 0, "missing": 0, "group": 0, "separator": 0, "icon": 0}
        self.apps = []
        self.docs = []
        self.icons = []
        self.with_icon = set(self.rng.sample(range(1, items + 1), min(custom_icons, items)))

    def make_files(self, program):
        # One real program copied once; the others are hard links to it.
        base = self.root / "Apps" / "Shared" / "Shared.exe"
        base.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(program, base)
        self.apps.append("Apps\\Shared\\Shared.exe")
        for n, word in enumerate(APP_WORDS * 4):
            name = f"{word}{n // len(APP_WORDS) + 1}" if n >= len(APP_WORDS) else word
            exe = self.root / "Apps" / name / f"{name}.exe"
            exe.parent.mkdir(parents=True, exist_ok=True)
            os.link(base, exe)
            self.apps.append(f"Apps\\{name}\\{name}.exe")
        for n in range(40):
            ext = (".txt", ".ini", ".log", ".csv")[n % 4]
            doc = self.root / "Docs" / f"note-{n:02}{ext}"
            doc.parent.mkdir(parents=True, exist_ok=True)
            doc.write_text(f"note {n}\r\n")
            self.docs.append(f"Docs\\note-{n:02}{ext}")
        ico = _ico_16()
        for n in range(max(1, self.custom_icons)):
            path = self.root / "Icons" / f"icon-{n:02}.ico"
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(ico)
            self.icons.append(f"Icons\\icon-{n:02}.ico")

    def _item(self, indent, number):
        rng = self.rng
        r = rng.random()
        extra = ""
        if r < 0.05:
            self.counts["missing"] += 1
            path = f"Apps\\Removed{number}\\Removed{number}.exe"
        elif r < 0.10:
            self.counts["folder"] += 1
            path = rng.choice(["Docs", "Apps", "Icons"] + [a.rsplit("\\", 1)[0] for a in self.apps[:20]])
        elif r < 0.25:
            self.counts["file"] += 1
            path = rng.choice(self.docs)
        else:
            self.counts["file"] += 1
            path = rng.choice(self.apps)
            if rng.random() < 0.3:
                extra += f"<parameters>--profile \"%udrive%\\Data\\p{number}\"</parameters>"
        if rng.random() < 0.2:
            extra += f"<addexplain>{escape(f'item {number} & its note')}</addexplain>"
        if number in self.with_icon:
            self.counts["icon"] += 1
            extra += f"<icon>{self.icons[self.counts['icon'] % len(self.icons)]}</icon>"
        name = quoteattr(f"{path.rsplit(chr(92), 1)[-1].split('.')[0]} {number}")
        return f"{indent}<file name={name}><path>{path}</path>{extra}</file>"

    def _fill(self, lines, budget, depth, number):
        """Writes `budget` items at this level; returns the next item number."""
        rng = self.rng
        indent = "  " * (depth + 4)
        left = budget
        while left > 0:
            r = rng.random()
            if depth < 3 and left >= 6 and r < 0.10:
                size = min(left, rng.randint(4, 24))
                self.counts["group"] += 1
                expanded = "True" if rng.random() < 0.5 else "False"
                lines.append(f"{indent}<files name={quoteattr(rng.choice(GROUP_WORDS))} expanded=\"{expanded}\">")
                number = self._fill(lines, size, depth + 1, number)
                lines.append(f"{indent}</files>")
                left -= size
            elif r < 0.16 and lines and not lines[-1].endswith("<separator/>"):
                self.counts["separator"] += 1
                lines.append(f"{indent}<separator/>")
            else:
                lines.append(self._item(indent, number))
                number += 1
                left -= 1
        return number

    def xml(self):
        per_tab = [self.items // self.tabs + (1 if t < self.items % self.tabs else 0) for t in range(self.tabs)]
        lines = ["<?xml version=\"1.0\"?>", "<Root>",
                 "  <panel><showonstartup>True</showonstartup><tooltip>True</tooltip><treeline>False</treeline>"
                 "<freespacebar>True</freespacebar></panel>",
                 "  <window><main><position><X>700</X><Y>120</Y></position><size><X>250</X><Y>500</Y></size>"
                 "<topwindow>False</topwindow><tabindex>0</tabindex></main></window>",
                 "  <tabs>"]
        number = 1
        for t, count in enumerate(per_tab):
            name = TAB_NAMES[t % len(TAB_NAMES)] + (f" {t // len(TAB_NAMES) + 1}" if t >= len(TAB_NAMES) else "")
            big = "<bigicon>True</bigicon>" if t % 2 else ""
            lines.append(f"    <tab name={quoteattr(name)} tag=\"0\"><backcolor>-16777211</backcolor>"
                         f"<fontname>Arial</fontname><textcolor>-16777208</textcolor>"
                         f"<textcolor2>-16777208</textcolor2>{big}")
            lines.append("      <files>")
            number = self._fill(lines, count, 0, number)
            lines.append("      </files>")
            lines.append("    </tab>")
        lines += ["  </tabs>", "</Root>", ""]
        return "\r\n".join(lines)


def count_items(xml_bytes):
    """(file or folder items, groups, separators) in a document."""
    root = ET.fromstring(xml_bytes)
    tabs = root.find("tabs")
    nodes = list(tabs.iter()) if tabs is not None else []
    return (sum(n.tag in ("file", "folder") for n in nodes),
            sum(n.tag == "files" and "name" in n.attrib for n in nodes),
            sum(n.tag == "separator" for n in nodes))


# -- file opens ---------------------------------------------------------------

IN_OPEN = 0x20
IN_ISDIR = 0x40000000


class OpenWatch:
    """Records when files below a folder are opened (inotify, per folder)."""

    def __init__(self, root):
        self.root = Path(root)
        self.libc = ctypes.CDLL("libc.so.6", use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_NONBLOCK | os.O_CLOEXEC)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")
        self.folders = {}
        for folder in [self.root, *(p for p in self.root.rglob("*") if p.is_dir())]:
            wd = self.libc.inotify_add_watch(self.fd, str(folder).encode(), IN_OPEN)
            if wd >= 0:
                self.folders[wd] = folder.relative_to(self.root)
        self.events = []
        self.lock = threading.Lock()
        self.stop = False
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self):
        while not self.stop:
            ready, _, _ = select.select([self.fd], [], [], 0.2)
            if not ready:
                continue
            try:
                data = os.read(self.fd, 1 << 16)
            except BlockingIOError:
                continue
            now = time.time_ns()
            at = 0
            while at + 16 <= len(data):
                wd, mask, _cookie, length = struct.unpack_from("iIII", data, at)
                name = data[at + 16:at + 16 + length].split(b"\0", 1)[0].decode("utf-8", "replace")
                at += 16 + length
                if wd not in self.folders:
                    continue
                # A folder's open is reported to it (no name) and to its
                # parent (with the name); the first is enough.
                if mask & IN_ISDIR and name:
                    continue
                path = (self.folders[wd] / name).as_posix() if name else self.folders[wd].as_posix() + "/"
                with self.lock:
                    self.events.append((now, path))

    def between(self, start_ns, end_ns):
        with self.lock:
            return [(t, p) for t, p in self.events if start_ns <= t <= end_ns]

    def close(self):
        self.stop = True
        self.thread.join(timeout=2)
        os.close(self.fd)


def item_opens(opens):
    """The opens a picture lookup makes. Wine's shell looks a path up folder by
    folder, so even a lookup that never reads the file opens the folder the
    file is in. The top folder is left out: Wine also reads it to find a
    missing item's name in another case, which is no lookup."""
    return [(t, p) for t, p in opens if p.split("/", 1)[0] in ITEM_FOLDERS and p not in ("Apps/", "./")]


# -- one start ------------------------------------------------------------------

def watch_start(session, startwatch, cls, program, close_caption=None, cwd=None, poll=1, linger=0):
    args = [startwatch, "--class", cls, "--poll", str(poll), "--linger", str(linger)]
    if close_caption:
        args += ["--close-caption", close_caption]
    if cwd:
        args += ["--cwd", cwd]
    before = time.time_ns()
    r = session.run(*args, "--", program, timeout=120)
    after = time.time_ns()
    lines = [l for l in r.stdout.decode("utf-8", "replace").splitlines() if l.startswith("{")]
    if not lines:
        raise RuntimeError(f"startwatch printed nothing (exit {r.returncode}): {r.stderr[-400:]!r}")
    result = json.loads(lines[-1])
    if "shown_ms" not in result:
        raise RuntimeError(f"{program}: {result.get('error')}")
    result["run_window_ns"] = (before, after)
    # Our clock and Wine's precise system time must agree, or the file opens
    # could not be set beside the window's appearance.
    start_ns = result["start_unix_100ns"] * 100
    result["clock_ok"] = before - 5_000_000 <= start_ns <= after
    return result


class Bench:
    def __init__(self, session, drive, helpers, document_xml, poll=1):
        self.s = session
        self.poll = poll
        self.drive = drive
        self.startwatch = helpers["startwatch"]
        self.empty_win = "R:\\Empty\\emptywindow.exe"
        self.document = document_xml.encode("utf-8")
        self.expected = count_items(self.document)
        self.watch = None
        self.problems = []

    def restore(self):
        for bad in self.drive.folder.glob("Kestro.xml.bad*"):
            bad.unlink()
        self.drive.write_xml(self.document)

    def kestro(self):
        self.restore()
        # Kept running a while after it waits for input, so that the pictures
        # looked up in the background show in the file-open watch.
        r = watch_start(self.s, self.startwatch, PANEL_CLASS, self.drive.exe_win, MAIN_CAPTION, "R:\\", self.poll,
                        linger=1500)
        if not r.get("ended"):
            self.problems.append(f"Kestro did not end after WM_CLOSE to {MAIN_CAPTION} (terminated)")
        bad = sorted(p.name for p in self.drive.folder.glob("Kestro.xml.bad*"))
        if bad:
            self.problems.append(f"Kestro kept {', '.join(bad)}: it could not read the document")
        saved = count_items(self.drive.xml_path.read_bytes()) if self.drive.xml_path.exists() else None
        if saved != self.expected:
            self.problems.append(f"the document saved at exit holds {saved} (items, groups, separators), "
                                 f"not {self.expected}")
        if self.watch and r["clock_ok"]:
            start = r["start_unix_100ns"] * 100
            shown = r["shown_unix_100ns"] * 100
            r["opens_before"] = item_opens(self.watch.between(start, shown))
            # The background loader runs until the program ends.
            r["opens_after"] = item_opens(self.watch.between(shown + 1, r["run_window_ns"][1]))
            for t, p in r["opens_before"]:
                r.setdefault("opened_before", []).append({"file": p, "before_shown_ms": (shown - t) / 1e6})
        return r

    def empty(self):
        return watch_start(self.s, self.startwatch, EMPTY_CLASS, self.empty_win, poll=self.poll)


def summary(name, values):
    return f"{name}: median {statistics.median(values):7.1f} ms, min {min(values):7.1f} ms, max {max(values):7.1f} ms"


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--runs", type=int, default=10, help="timed starts of each program (10)")
    ap.add_argument("--items", type=int, default=1000, help="items in the document (1000)")
    ap.add_argument("--tabs", type=int, default=5, help="tabs in the document (5)")
    ap.add_argument("--custom-icons", type=int, default=10,
                    help="items with a picture file of their own, <icon> (10)")
    ap.add_argument("--poll", type=int, default=1, help="milliseconds between looks for the window (1)")
    ap.add_argument("--json", type=Path, help="write every measurement to this file")
    args = ap.parse_args()
    if args.runs < 1 or args.items < 0 or args.tabs < 1 or args.poll < 1:
        ap.error("--runs, --tabs and --poll must be positive, --items not negative")

    helpers = build_helpers()
    with WineSession("start-time") as s:
        drive = KestroDrive(s, "r")
        doc = Document(drive.root, args.items, args.tabs, args.custom_icons)
        doc.make_files(WIN_BUILD / "tools" / "probe.exe")
        text = doc.xml()
        (drive.root / "Empty").mkdir()
        shutil.copy2(helpers["emptywindow"], drive.root / "Empty" / "emptywindow.exe")
        bench = Bench(s, drive, helpers, text, args.poll)
        files, groups, separators = bench.expected
        print(f"document: {files} items in {args.tabs} tabs, {groups} groups, {separators} separators; "
              f"{doc.counts['missing']} missing, {doc.counts['folder']} folders, {doc.counts['icon']} with an "
              f"<icon> of their own", flush=True)
        s.start()
        try:
            bench.watch = OpenWatch(drive.root)
        except OSError as e:
            print(f"no file-open watch ({e}); pictures looked up early would go unnoticed")

        # Warm: the prefix, the file cache and Wine's own start-up.
        bench.kestro()
        bench.empty()
        bench.problems.clear()

        kestro, empty = [], []
        for i in range(args.runs):
            # Alternating which goes first keeps a drift from favouring one.
            order = (bench.kestro, bench.empty) if i % 2 == 0 else (bench.empty, bench.kestro)
            for run in order:
                r = run()
                (kestro if run == bench.kestro else empty).append(r)
            k, e = kestro[-1], empty[-1]
            early = len(k.get("opens_before", []))
            print(f"run {i + 1:2}: Kestro {k['shown_ms']:7.1f} ms (idle {k['idle_ms']:7.1f}, by {k['by']}, "
                  f"opens by picture lookups before the panel: {early}), empty window {e['shown_ms']:6.1f} ms "
                  f"(idle {e['idle_ms']:6.1f}, by {e['by']})", flush=True)
        if bench.watch:
            bench.watch.close()

    ks = [r["shown_ms"] for r in kestro]
    es = [r["shown_ms"] for r in empty]
    print(summary("Kestro panel visible   ", ks))
    print(summary("empty window visible   ", es))
    print(summary("Kestro waits for input ", [r["idle_ms"] for r in kestro]))
    print(summary("empty waits for input  ", [r["idle_ms"] for r in empty]))
    print(summary("Kestro ends after close", [r["exit_ms"] for r in kestro]))

    if bench.watch:
        if not any(r.get("clock_ok") for r in kestro):
            print("file opens: Wine's clock did not match ours; not checked")
        else:
            early_runs = [r for r in kestro if r.get("opens_before")]
            later = statistics.median(len(r.get("opens_after", [])) for r in kestro)
            print(f"item files or folders opened after the panel was visible: median {later:g} per run")
            if later == 0 and files:
                print("  (none at all: the watch may not see Wine's opens, so the check below proves nothing)")
            if early_runs:
                names = sorted({o["file"] for r in early_runs for o in r["opened_before"]})
                first = max(o["before_shown_ms"] for r in early_runs for o in r["opened_before"])
                print(f"DEFECT: in {len(early_runs)} of {len(kestro)} runs pictures were looked up before the "
                      f"panel was visible (opened: {', '.join(names[:5])}; the first up to {first:.0f} ms before)")
            else:
                print("no picture was looked up before the panel was visible")
    for p in sorted(set(bench.problems)):
        print("problem:", p)

    ratio = statistics.median(ks) / statistics.median(es)
    print(f"start-time ratio: {ratio:.2f}x (Kestro median {statistics.median(ks):.1f} ms, empty window median "
          f"{statistics.median(es):.1f} ms, {args.runs} runs)")
    print(f"goal of at most {GOAL}x: {'met' if ratio <= GOAL else 'NOT met'}")
    if args.json:
        args.json.write_text(json.dumps({"kestro": kestro, "empty": empty, "ratio": ratio,
                                         "document": doc.counts, "problems": sorted(set(bench.problems))},
                                        indent=1, default=str))
    return 0


if __name__ == "__main__":
    sys.exit(main())
