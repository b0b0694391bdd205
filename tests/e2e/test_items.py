"""Item trees in Kestro.xml: runs at start and at the end, portable paths."""
from kestro import KestroDrive, probe_runs, wait_exit, wait_for_runs
from wine import WineSession

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
