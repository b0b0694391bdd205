"""The launcher panel as a user sees it."""
import time

from kestro import WM_CLOSE, KestroDrive, wait_exit, wait_for_runs, wait_until
from wine import WineSession

WM_COMMAND = 0x0111
WS_MINIMIZE = 0x20000000
WS_EX_TOPMOST = 0x8
CMD_HIDE, CMD_TOPWIN, CMD_BIGICON, CMD_SMALLICON, CMD_BACKUP, CMD_TABADD = 1002, 1004, 1005, 1006, 1019, 1023

TABS = """
  <tabs>
    <tab name="A" tag="0"><files><file name="one"><path>Apps\\one\\probe.exe</path></file></files></tab>
    <tab name="B" tag="0"><bigicon>True</bigicon><files/></tab>
    <tab name="C" tag="0"><files/></tab>
  </tabs>"""


def _document(left=700, top=300, width=250, height=500, extra="", tabs=TABS, tabindex=0, panel=""):
    return f"""<?xml version="1.0"?>
<Root><panel>{panel}</panel>
  <window><main><position><X>{left}</X><Y>{top}</Y></position><size><X>{width}</X><Y>{height}</Y></size>
    <topwindow>False</topwindow><tabindex>{tabindex}</tabindex></main></window>{tabs}{extra}
</Root>"""


def _panel(s):
    w = s.wait_window("TviewFrm", "-", 20000)
    assert w is not None, "no panel window"
    return w


def _start(s, document):
    """Kestro on R: with `document`; returns the drive, the process and the panel."""
    drive = KestroDrive(s, "r")
    drive.write_xml(document)
    s.start()
    proc = drive.start()
    return drive, proc, _panel(s)


def _command(s, panel, command):
    s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(command), "0")


def _exit(s, drive, proc):
    drive.request_exit()
    assert wait_exit(proc, 15) is not None, "the program did not end"


def test_stored_bounds_are_kept_on_the_screen_and_written_back():
    cases = [((1900, 900, 250, 500), (774, 268, 250, 500)), ((100, 100, 250, 900), (100, 0, 250, 768)),
             # Its left monitor is gone; values at the integer limits.
             ((-1280, 100, 250, 500), (0, 100, 250, 500)),
             ((2147483647, -2147483648, 250, 500), (774, 0, 250, 768))]
    for stored, expected in cases:
        with WineSession("bounds") as s:
            drive, proc, panel = _start(s, _document(*stored, tabindex=2))
            assert wait_until(lambda: s.driver_json("info", str(panel["hwnd"]))["visible"])
            left, top, right, bottom = s.driver_json("info", str(panel["hwnd"]))["rect"]
            assert (left, top, right - left, bottom - top) == expected
            _command(s, panel, CMD_TOPWIN)
            assert wait_until(lambda: s.driver_json("info", str(panel["hwnd"]))["exstyle"] & WS_EX_TOPMOST)
            _exit(s, drive, proc)
            main = drive.xml_root().find("window/main")
            assert [int(main.find(p).text) for p in ("position/X", "position/Y", "size/X", "size/Y")] == \
                list(expected)
            assert main.find("topwindow").text == "True"
            assert main.find("tabindex").text == "2"


def test_close_box_hides_minimises_or_exits():
    for action in (0, 1, 2):
        with WineSession(f"xbutton-{action}") as s:
            drive, proc, panel = _start(s, _document(panel=f"<xbuttonaction>{action}</xbuttonaction>"))
            assert wait_until(lambda: s.driver_json("info", str(panel["hwnd"]))["visible"])
            if action == 2:
                # While the pictures still load the close box only hides the
                # panel; once they are in, it ends the program.
                for _ in range(10):
                    s.driver("post", str(panel["hwnd"]), str(WM_CLOSE), "0", "0")
                    if wait_exit(proc, 2) is not None:
                        break
                    assert not s.driver_json("info", str(panel["hwnd"]))["visible"], "neither ended nor hidden"
                assert proc.poll() is not None, "the close box did not end the program"
                assert drive.xml_path.exists()
                continue
            s.driver("post", str(panel["hwnd"]), str(WM_CLOSE), "0", "0")
            if action == 0:
                assert wait_until(lambda: not s.driver_json("info", str(panel["hwnd"]))["visible"]), "not hidden"
            else:
                assert wait_until(lambda: s.driver_json("info", str(panel["hwnd"]))["style"] & WS_MINIMIZE), \
                    "not minimised"
            assert proc.poll() is None, "the program ended"
            _exit(s, drive, proc)


def test_hidden_at_start_when_asked():
    with WineSession("hidden") as s:
        drive, proc, panel = _start(s, _document(panel="<showonstartup>False</showonstartup>"))
        time.sleep(1)
        assert not s.driver_json("info", str(panel["hwnd"]))["visible"]
        _exit(s, drive, proc)


def _tab_modes(drive):
    return [(t.get("name"), t.find("bigicon") is not None) for t in drive.xml_root().find("tabs")]


def test_new_tabs_start_big_and_the_icon_switch_changes_only_the_active_tab():
    with WineSession("tabs") as s:
        drive, proc, panel = _start(s, _document())
        _command(s, panel, CMD_TABADD)
        # An English host: the dialog takes its captions from english.lng.
        box = s.wait_window("#32770", "Tab Name", 10000)
        assert box is not None, "no tab name dialog"
        assert s.driver_json("info", str(box["hwnd"]))["exstyle"] & WS_EX_TOPMOST, "the dialog is not on top"
        # At the panel's left edge, vertically centred on it (halves rounded to even, as round() does).
        left, top, _, bottom = s.driver_json("info", str(panel["hwnd"]))["rect"]
        box_rect = s.driver_json("info", str(box["hwnd"]))["rect"]
        assert box_rect[0] == left, (box_rect, left)
        assert box_rect[1] == top + round((bottom - top) / 2) - round((box_rect[3] - box_rect[1]) / 2), box_rect
        edit = s.driver_json("child", str(box["hwnd"]), "Edit")
        s.driver("settext", str(edit["hwnd"]), "새 탭")
        s.driver("press", str(box["hwnd"]), "O K")
        assert s.window_gone("#32770", "Tab Name", 10000)
        time.sleep(0.3)
        _exit(s, drive, proc)
        # The new tab starts in big-icon mode.
        assert _tab_modes(drive) == [("A", False), ("B", True), ("C", False), ("새 탭", True)]
        assert drive.xml_root().find("window/main/tabindex").text == "3"

        # The new tab is active again: the switch changes it and nothing else.
        proc = drive.start()
        panel = _panel(s)
        _command(s, panel, CMD_SMALLICON)
        time.sleep(0.5)
        _exit(s, drive, proc)
        assert _tab_modes(drive) == [("A", False), ("B", True), ("C", False), ("새 탭", False)]


def test_dragging_the_active_tab_moves_only_it():
    with WineSession("reorder") as s:
        drive, proc, panel = _start(s, _document())
        assert wait_until(lambda: s.driver_json("info", str(panel["hwnd"]))["visible"])
        strip = s.driver_json("child", str(panel["hwnd"]), "KestroTabStrip")
        left, top, right, _ = strip["rect"]
        x = (left + right) // 2
        # One-letter captions give tabs of the shortest length, 32 pixels.
        s.driver("drag", str(x), str(top + 16), str(x), str(top + 32 * 2 + 16))
        time.sleep(0.5)
        _exit(s, drive, proc)
        assert [t.get("name") for t in drive.xml_root().find("tabs")] == ["B", "C", "A"]
        assert drive.xml_root().find("window/main/tabindex").text == "2"


def test_backup_writes_the_chosen_file_with_the_trees():
    with WineSession("backup") as s:
        drive, proc, panel = _start(s, _document())
        _command(s, panel, CMD_BACKUP)
        dialog = s.message_box(15000)
        assert dialog is not None, "no save dialog"
        edit = s.driver_json("child", str(dialog["hwnd"]), "Edit")
        s.driver("settext", str(edit["hwnd"]), "R:\\Kestro-backup.xml")
        s.driver("key", "13")
        backup = drive.root / "Kestro-backup.xml"
        assert wait_until(backup.exists), "no backup written"
        time.sleep(0.3)
        import xml.etree.ElementTree as ET
        root = ET.fromstring(backup.read_bytes())
        assert [t.get("name") for t in root.find("tabs")] == ["A", "B", "C"]
        assert root.find("window/main/position/X").text == "700"
        _exit(s, drive, proc)


def test_an_item_shortcut_launches_its_item_while_the_panel_is_hidden():
    tabs = """<tabs><tab name="A" tag="0"><files>
      <file name="one"><path>Apps\\one\\probe.exe</path><parameters>--ignored</parameters>
        <hotkey>True</hotkey><hotkeymodifier>0</hotkeymodifier><hotkeycode>27</hotkeycode></file>
    </files></tab></tabs>"""
    with WineSession("item-hotkey") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "Apps/one/probe.exe")
        drive.write_xml(_document(tabs=tabs, panel="<showonstartup>False</showonstartup>"))
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        proc = drive.start()
        _panel(s)
        time.sleep(0.5)
        s.driver("key", str(ord("1")), "ctrl", "alt")  # modifier 0 is Control + Alt, key 27 is 1
        runs = wait_for_runs(drive.root / "probe.log", 1)
        assert len(runs) == 1, runs
        assert runs[0]["exe"] == "R:\\Apps\\one\\probe.exe"
        assert "--ignored" not in runs[0]["cmdline"]
        _exit(s, drive, proc)


def test_on_a_144_dpi_screen_rows_columns_strip_and_bar_grow_with_it():
    tabs = """
  <tabs><tab name="A" tag="0"><files>
    <file name="first"><path>tools\\probe.exe</path><parameters>--first</parameters></file>
    <file name="second"><path>tools\\probe.exe</path><parameters>--second</parameters></file>
  </files></tab><tab name="B" tag="0"><files/></tab></tabs>"""
    with WineSession("panel-dpi", dpi=144) as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        log = drive.root / "probe.log"
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        drive.write_xml(_document(left=100, top=100, width=375, height=600, tabs=tabs,
                                  panel="<freespacebar>True</freespacebar>"))
        s.start()
        proc = drive.start()
        panel = _panel(s)
        hwnd = str(panel["hwnd"])
        assert wait_until(lambda: s.driver_json("info", hwnd)["visible"]), "the panel did not show"
        child = lambda cls: wait_until(lambda: s.driver_json("child", hwnd, cls))  # noqa: E731
        strip, bar, tree = child("KestroTabStrip"), child("msctls_progress32"), child("KestroItemTree")
        assert strip and bar and tree, (strip, bar, tree)
        # 24, 14 and 3 pixels at 96 DPI.
        assert strip["rect"][2] - strip["rect"][0] == 36, strip
        assert bar["rect"][3] - bar["rect"][1] == 21, bar
        assert strip["rect"][0] - tree["rect"][2] == 5, (strip, tree)

        left, top = tree["rect"][0], tree["rect"][1]
        time.sleep(0.5)
        # Small rows are 30 high: 25 pixels down is still the first row.
        s.driver("click", str(left + 80), str(top + 25), "double")
        runs = wait_for_runs(log, 1)
        assert len(runs) == 1 and runs[0]["cmdline"].endswith("--first"), runs
        # The expand-button column is 27 wide: a double click in it starts nothing.
        s.driver("click", str(left + 22), str(top + 45), "double")
        time.sleep(1.5)
        assert len(wait_for_runs(log, 2, 1)) == 1
        s.driver("click", str(left + 80), str(top + 45), "double")
        runs = wait_for_runs(log, 2)
        assert len(runs) == 2 and runs[1]["cmdline"].endswith("--second"), runs
        _exit(s, drive, proc)
