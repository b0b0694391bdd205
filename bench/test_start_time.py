#!/usr/bin/env python3
"""Checks of the start-time benchmark's own parts: the document it writes, the
file-open watch and the measuring program under Wine.

    python3 bench/test_start_time.py [NAME...]
"""
import json
import os
import shutil
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ET
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

import start_time as st  # noqa: E402
from wine import WineSession  # noqa: E402


def _document(folder, **kw):
    program = Path(folder) / "program.exe"
    program.write_bytes(b"MZ" + bytes(100))
    doc = st.Document(Path(folder) / "drive", **kw)
    doc.make_files(program)
    return doc, doc.xml()


def _depth(element):
    groups = [c for c in element if c.tag == "files"]
    return 1 + max((_depth(g) for g in groups), default=0) if element.tag == "files" else 0


def test_document_has_the_items_tabs_groups_and_separators_asked_for():
    with tempfile.TemporaryDirectory() as tmp:
        doc, text = _document(tmp, items=1000, tabs=5, custom_icons=10)
        root = ET.fromstring(text.encode("utf-8"))
        tabs = root.findall("tabs/tab")
        assert [t.get("name") for t in tabs] == st.TAB_NAMES
        per_tab = [sum(n.tag == "file" for n in t.iter()) for t in tabs]
        assert per_tab == [200] * 5, per_tab
        files, groups, separators = st.count_items(text.encode("utf-8"))
        assert files == 1000 and groups > 20 and separators > 20, (files, groups, separators)
        # Groups inside groups, some open and some closed.
        assert max(_depth(g) for t in tabs for g in t.find("files") if g.tag == "files") >= 3
        expanded = {g.get("expanded") for g in root.iter("files") if g.get("name")}
        assert expanded == {"True", "False"}
        assert doc.counts["icon"] == 10 == sum(1 for _ in root.iter("icon"))
        for files_element in root.iter("files"):
            tags = [c.tag for c in files_element]
            assert all(not (a == b == "separator") for a, b in zip(tags, tags[1:]))


def test_document_paths_exist_on_the_drive_except_the_missing_ones():
    with tempfile.TemporaryDirectory() as tmp:
        doc, text = _document(tmp, items=300, tabs=3, custom_icons=5)
        drive = Path(tmp) / "drive"
        root = ET.fromstring(text.encode("utf-8"))
        paths = [e.text for e in root.iter("path")] + [e.text for e in root.iter("icon")]
        missing = [p for p in paths if "Removed" in p]
        assert len(missing) == doc.counts["missing"] > 0
        for p in paths:
            assert not Path(p).is_absolute() and ":" not in p, p
            assert (drive / p.replace("\\", "/")).exists() == (p not in missing), p
        # The programs are one file under many names.
        apps = [drive / a.replace("\\", "/") for a in doc.apps]
        assert len({a.stat().st_ino for a in apps}) == 1 and len(apps) > 100


def test_document_is_the_same_for_the_same_seed():
    texts = []
    for seed in (3, 3, 4):
        with tempfile.TemporaryDirectory() as tmp:
            texts.append(_document(tmp, seed=seed)[1])
    assert texts[0] == texts[1] != texts[2]


def test_count_items_counts_nested_items_folders_groups_and_separators():
    text = b"""<Root><tabs><tab name="A"><files>
        <file name="a"><path>x.exe</path></file><separator/>
        <files name="g" expanded="True"><folder name="f"><path>Docs</path></folder>
          <files name="h"><file name="b"><path>y.exe</path></file><separator/></files></files>
      </files></tab><tab name="B"><files/></tab></tabs></Root>"""
    assert st.count_items(text) == (3, 2, 2)
    assert st.count_items(b"<Root/>") == (0, 0, 0)


def test_only_opens_below_the_item_folders_count_as_lookups():
    opens = [(1, "./"), (2, "Kestro.xml"), (3, "Apps/"), (4, "Apps/Notes/"), (5, "Docs/"), (6, "Icons/icon-00.ico"),
             (7, "english.lng"), (8, "Empty/emptywindow.exe")]
    assert st.item_opens(opens) == [(4, "Apps/Notes/"), (5, "Docs/"), (6, "Icons/icon-00.ico")]


def _wait_for(condition, seconds=3):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not condition():
        time.sleep(0.02)
    return condition()


def test_open_watch_sees_files_and_folders_opened_and_when():
    with tempfile.TemporaryDirectory() as tmp:
        (Path(tmp) / "Apps" / "One").mkdir(parents=True)
        (Path(tmp) / "Apps" / "One" / "one.exe").write_bytes(b"x")
        watch = st.OpenWatch(tmp)
        try:
            before = time.time_ns()
            (Path(tmp) / "Apps" / "One" / "one.exe").read_bytes()
            os.listdir(Path(tmp) / "Apps" / "One")
            assert _wait_for(lambda: len(watch.between(before, time.time_ns())) >= 2)
            seen = [p for _, p in watch.between(before, time.time_ns())]
            assert seen == ["Apps/One/one.exe", "Apps/One/"], seen
            assert watch.between(0, before) == []
        finally:
            watch.close()


# -- the measuring program, under Wine ------------------------------------------

def _session_with_empty_window(name):
    helpers = st.build_helpers()
    s = WineSession(name)
    folder = s.folder("drive-r")
    (folder / "With space").mkdir()
    shutil.copy2(helpers["emptywindow"], folder / "With space" / "empty window.exe")
    s.map_drive("r", folder)
    s.start()
    return s, helpers["startwatch"]


def _startwatch(s, startwatch, *args):
    r = s.run(startwatch, *args, timeout=90)
    return r.returncode, json.loads(r.stdout.decode().strip().splitlines()[-1])


def test_startwatch_times_a_window_and_ends_its_program():
    s, startwatch = _session_with_empty_window("startwatch")
    with s:
        program = "R:\\With space\\empty window.exe"
        rc, r = _startwatch(s, startwatch, "--class", st.EMPTY_CLASS, "--", program)
        assert rc == 0 and r["ok"] and r["ended"], r
        assert 1 < r["shown_ms"] < 20000 and r["idle_ms"] >= r["shown_ms"], r
        assert r["shown_unix_100ns"] > r["start_unix_100ns"]
        # Ended through a window named by its caption.
        rc, r = _startwatch(s, startwatch, "--class", st.EMPTY_CLASS, "--close-caption", "Empty", "--", program)
        assert rc == 0 and r["ended"], r
        assert s.visible_windows() == [] or all(w["class"] != st.EMPTY_CLASS for w in s.visible_windows())


def test_startwatch_reports_a_window_that_never_comes():
    s, startwatch = _session_with_empty_window("startwatch-none")
    with s:
        started = time.monotonic()
        rc, r = _startwatch(s, startwatch, "--class", "NoSuchClass", "--timeout", "1500", "--",
                            "R:\\With space\\empty window.exe")
        assert rc == 2 and not r["ok"] and "did not appear" in r["error"], r
        assert time.monotonic() - started < 30
        # The program it started does not outlive the measurement.
        assert all(w["class"] != st.EMPTY_CLASS for w in s.visible_windows())
        rc, r = _startwatch(s, startwatch, "--class", st.EMPTY_CLASS, "--", "cmd.exe", "/c", "exit")
        assert rc == 2 and "ended without" in r["error"], r
        rc, r = _startwatch(s, startwatch, "--", "cmd.exe")
        assert rc == 1 and not r["ok"], r


def main(names):
    tests = {n: f for n, f in globals().items() if n.startswith("test_") and callable(f)}
    chosen = names or list(tests)
    failed = 0
    for name in chosen:
        try:
            tests[name]()
            print(f"PASSED {name}")
        except Exception:
            traceback.print_exc()
            print(f"FAILED {name}")
            failed += 1
    print(f"{len(chosen) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
