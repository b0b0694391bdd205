"""Item trees in Kestro.xml: runs at start and at the end, portable paths, pictures."""
import subprocess
import time

from kestro import KestroDrive, probe_runs, wait_exit, wait_for_runs
from wine import ROOT, WineSession

SW_HIDE, SW_SHOWNORMAL, SW_SHOWMAXIMIZED, SW_MINIMIZE = 0, 1, 3, 6

RUNS = """<?xml version="1.0"?>
<Root>
  <tabs>
    <tab name="Start" tag="0"><files>
      <file name="first"><path>Apps\\one\\probe.exe</path><parameters>--first "%udrive%\\data"</parameters>
        <autorun>1</autorun></file>
      <files name="closed" expanded="False">
        <file name="second"><path>%udrive%\\Apps\\two\\probe.exe</path><autorun>3</autorun>
          <windowstate>2</windowstate></file>
      </files>
      <file name="never"><path>Apps\\never\\probe.exe</path></file>
    </files></tab>
    <tab name="End" tag="0"><files>
      <file name="third"><path>Apps\\three\\probe.exe</path><parameters>--end</parameters><autorun>2</autorun>
        <windowstate>3</windowstate></file>
      <file name="fourth"><path>Apps\\four\\probe.exe</path><autorun>2</autorun><windowstate>1</windowstate></file>
    </files></tab>
  </tabs>
</Root>
"""


def _program(run):
    return run["exe"].split("\\")[-2]


def test_items_run_at_start_and_at_the_end_in_document_order():
    with WineSession("autorun") as s:
        drive = KestroDrive(s, "r")
        for name in ("one", "two", "three", "four", "never"):
            drive.copy_tool("probe.exe", f"Apps/{name}/probe.exe")
        drive.write_xml(RUNS)
        log = drive.root / "probe.log"
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()

        proc, _ = drive.start_and_wait_ready()
        runs = wait_for_runs(log, 2)
        assert [_program(r) for r in runs] == ["one", "two"], runs
        one, two = runs
        assert one["exe"] == "R:\\Apps\\one\\probe.exe"
        assert one["cwd"].rstrip("\\") == "R:\\Apps\\one"
        assert one["cmdline"].endswith('--first "R:\\data"'), one
        assert one["show"] == SW_SHOWNORMAL
        assert two["cwd"].rstrip("\\") == "R:\\Apps\\two"
        assert two["show"] == SW_MINIMIZE

        log.unlink()
        drive.request_exit()
        assert wait_exit(proc, 10) is not None
        runs = wait_for_runs(log, 3)
        assert [_program(r) for r in runs] == ["two", "three", "four"], runs
        assert runs[1]["show"] == SW_HIDE
        assert runs[1]["cmdline"].endswith("--end")
        assert runs[1]["cwd"].rstrip("\\") == "R:\\Apps\\three"
        assert runs[2]["show"] == SW_SHOWMAXIMIZED


def test_trees_follow_the_drive_to_another_letter():
    with WineSession("letters") as s:
        drive = KestroDrive(s, "r")
        s.map_drive("q", drive.root)  # the same stick, under another letter
        drive.copy_tool("probe.exe", "Apps/one/probe.exe")
        drive.write_xml(RUNS.replace("<autorun>3</autorun>", "").replace("<autorun>2</autorun>", ""))
        log = drive.root / "probe.log"
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()

        for letter in ("R", "Q"):
            proc = s.spawn(f"{letter}:\\Kestro.exe")
            assert s.wait_window("-", "kestro-a", 20000) is not None
            runs = wait_for_runs(log, 1)
            assert [r["exe"] for r in runs] == [f"{letter}:\\Apps\\one\\probe.exe"], runs
            log.unlink()
            s.run(f"{letter}:\\Kestro.exe", "-exit")
            assert wait_exit(proc, 10) is not None
            text = drive.xml_path.read_text("utf-8")
            assert "R:\\" not in text and "Q:\\" not in text, text
            root = drive.xml_root()
            paths = [p.text for p in root.iter("path")]
            assert paths == ["Apps\\one\\probe.exe", "%udrive%\\Apps\\two\\probe.exe", "Apps\\never\\probe.exe",
                             "Apps\\three\\probe.exe", "Apps\\four\\probe.exe"], paths
            assert [p.text for p in root.iter("parameters")] == ['--first "%udrive%\\data"', "--end"]


# -- pictures --------------------------------------------------------------

# Rows of the demo's programs in its first tab (big rows of 36 pixels). Its
# file manager is left out: this Wine has no winefile.exe to take a picture from.
DEMO_ROWS = {"Notepad": 0, "Registry editor": 4, "Command prompt": 5}
ROW_HEIGHT = 36


def _rows(s, tree, rows):
    """The screen's pixels of the given rows of the tree, as RGB bytes."""
    shot = s.dir / "rows.png"
    s.screenshot(shot)
    left, top, right, _ = tree["rect"]
    out = {}
    for name, row in rows.items():
        crop = f"{right - left}x{ROW_HEIGHT}+{left}+{top + row * ROW_HEIGHT}"
        out[name] = subprocess.run(["convert", str(shot), "-crop", crop, "+repage", "rgb:-"], capture_output=True,
                                   check=True).stdout
    return out


def _column(strip, width, x):
    return [strip[(y * width + x) * 3:(y * width + x) * 3 + 3] for y in range(ROW_HEIGHT)]


def _same_left_part(a, b, width):
    """The columns from the left in which two row strips agree."""
    x = 0
    while x < width and _column(a, width, x) == _column(b, width, x):
        x += 1
    return x


def _demo_rows(document, seconds=20):
    """Starts Kestro with a document; the demo's rows once the pictures stopped changing."""
    with WineSession("pictures") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "Tools/probe.exe")
        (drive.root / "Docs").mkdir()
        drive.write_xml(document)
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        assert panel is not None, "no panel"
        tree = s.driver_json("child", str(panel["hwnd"]), "KestroItemTree")
        assert tree is not None, "no item tree"
        before, rows = None, None
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            time.sleep(1)
            rows = _rows(s, tree, DEMO_ROWS)
            if rows == before:
                break
            before = rows
        drive.request_exit()
        assert wait_exit(proc, 15) is not None
        return rows, tree["rect"][2] - tree["rect"][0]


def test_items_behind_path_macros_show_their_programs_pictures():
    # The demo's own document, and the same with the folders written out; the
    # rows differ in their second line (the path), never in their picture.
    demo = (ROOT / "demo" / "Kestro.xml").read_text("utf-8")
    written_out = demo.replace("%windows%\\", "C:\\windows\\").replace("%system%\\", "C:\\windows\\system32\\")
    assert written_out != demo
    with_macros, width = _demo_rows(demo)
    plain, _ = _demo_rows(written_out)
    for name in DEMO_ROWS:
        same = _same_left_part(with_macros[name], plain[name], width)
        # Left of the text both rows must agree, and that part must hold a
        # picture: more colours than the background's.
        colours = {c for x in range(same) for c in _column(plain[name], width, x)}
        assert len(colours) > 2, f"{name}: the rows differ within the picture (from column {same} on)"
