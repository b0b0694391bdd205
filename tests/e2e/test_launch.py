"""Launching items from the panel with the mouse and the keyboard."""
import time

from kestro import KestroDrive, probe_runs, wait_exit, wait_for_runs
from wine import WineSession

VK_RETURN = 0x0D
ROW = 20  # small-icon rows
CMD_APPEXIT = 1003
CMD_TABADD = 1023
WM_COMMAND = 0x0111

ITEMS = """<?xml version="1.0"?>
<Root>{panel}
  <window><main><position><X>100</X><Y>100</Y></position><size><X>300</X><Y>400</Y></size>
    <topwindow>{topwindow}</topwindow><tabindex>0</tabindex></main></window>
  <exelink>{links}</exelink>
  <tabs><tab name="A" tag="0"><files>
    <file name="probe"><path>%udrive%\\tools\\probe.exe</path><parameters>--data "%udrive%\\data"</parameters></file>
    <files name="group" expanded="False"><file name="inner"><path>tools\\probe.exe</path></file></files>
    <file name="document"><path>docs\\a.kdoc</path></file>
    <file name="text"><path>docs\\b.txt</path></file>
    <file name="program"><path>tools\\probe.exe</path></file>
    <separator/>
  </files></tab></tabs>
</Root>
"""


class Panel:
    def __init__(self, s, drive, links="", panel="", topwindow="False"):
        self.s, self.drive = s, drive
        drive.copy_tool("probe.exe", "tools/probe.exe")
        (drive.root / "docs").mkdir(exist_ok=True)
        (drive.root / "docs" / "a.kdoc").write_text("a")
        (drive.root / "docs" / "b.txt").write_text("b")
        drive.write_xml(ITEMS.format(links=links, panel=f"<panel>{panel}</panel>", topwindow=topwindow))
        self.log = drive.root / "probe.log"
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        self.open()

    def open(self):
        """Starts Kestro.exe and waits for its panel and item tree."""
        s = self.s
        self.proc = self.drive.start()
        w = s.wait_window("TviewFrm", "-", 20000)
        assert w is not None, "no panel"
        self.hwnd = w["hwnd"]
        deadline = time.monotonic() + 10
        while not s.driver_json("info", str(self.hwnd))["visible"] and time.monotonic() < deadline:
            time.sleep(0.1)
        tree = s.driver_json("child", str(self.hwnd), "KestroItemTree")
        assert tree is not None, "no item tree"
        self.left, self.top = tree["rect"][0], tree["rect"][1]
        time.sleep(0.5)

    def click(self, row, x=100, *how):
        self.s.driver("click", str(self.left + x), str(self.top + row * ROW + ROW // 2), *how)

    def runs(self, count, seconds=20):
        return wait_for_runs(self.log, count, seconds)

    def exit(self):
        self.drive.request_exit()
        assert wait_exit(self.proc, 15) is not None, "the program did not end"


def test_double_click_and_enter_start_an_item_with_its_macros_expanded():
    with WineSession("launch-dblclick") as s:
        p = Panel(s, KestroDrive(s, "r"))
        p.click(0, 100, "double")
        runs = p.runs(1)
        assert len(runs) == 1, runs
        assert runs[0]["exe"] == "R:\\tools\\probe.exe"
        assert runs[0]["cwd"].rstrip("\\") == "R:\\tools", runs[0]
        assert runs[0]["cmdline"].endswith('--data "R:\\data"'), runs[0]
        assert runs[0]["show"] == 1

        # Enter starts it without a working folder of its own.
        p.log.unlink()
        s.driver("key", str(VK_RETURN))
        runs = p.runs(1)
        assert len(runs) == 1, runs
        assert runs[0]["cwd"].rstrip("\\") != "R:\\tools", runs[0]
        assert runs[0]["cmdline"].endswith('--data "R:\\data"'), runs[0]

        # The column of the expand buttons starts nothing; neither does a separator.
        p.log.unlink()
        p.click(0, 10, "double")
        s.driver("click", str(p.left + 100), str(p.top + 5 * ROW + 3), "double")  # the 6-pixel separator
        time.sleep(1.5)
        assert probe_runs(p.log) == []
        p.exit()


def test_double_click_on_a_group_toggles_it_and_launches_nothing():
    with WineSession("launch-group") as s:
        p = Panel(s, KestroDrive(s, "r"))
        p.click(1, 100, "double")
        time.sleep(0.5)
        # The group is open: its item is the row below it.
        p.click(2, 100, "double")
        runs = p.runs(1)
        assert len(runs) == 1 and runs[0]["cmdline"].strip().strip('"').endswith("probe.exe"), runs
        p.click(1, 100, "double")
        time.sleep(0.5)
        p.exit()
        group = p.drive.xml_root().find("tabs/tab/files/files")
        assert group.get("expanded") == "False"
        assert len(probe_runs(p.log)) == 1


def ctrl_click_until_message(s, p, row):
    # Clicked again when a busy machine let the first click go by before the
    # panel took it; once the box is up the panel is disabled, so a late
    # second click cannot open another.
    for _ in range(3):
        p.click(row, 100, "ctrl")
        box = s.message_box(6000)
        if box is not None:
            return box
    raise AssertionError("no message")


def test_documents_without_a_host_program_open_with_the_drive_s_program():
    links = '<kdoc buselink="True">tools\\probe.exe</kdoc><txt buselink="True">tools\\probe.exe -x</txt>'
    with WineSession("launch-exelink") as s:
        p = Panel(s, KestroDrive(s, "r"), links=links)
        # The host knows no program for .kdoc: the drive's entry opens it
        # with the stored path.
        p.click(2, 100, "double")
        runs = p.runs(1)
        assert len(runs) == 1, runs
        assert runs[0]["exe"] == "R:\\tools\\probe.exe"
        assert runs[0]["cmdline"].endswith(" R:\\docs\\a.kdoc"), runs[0]

        # Ctrl + click uses the entry with the quoted path and its arguments.
        p.log.unlink()
        p.click(3, 100, "ctrl")
        runs = p.runs(1)
        assert len(runs) == 1, runs
        assert runs[0]["cmdline"].endswith(' -x "R:\\docs\\b.txt"'), runs[0]
        p.log.unlink()
        p.click(2, 100, "ctrl")
        runs = p.runs(1)
        assert len(runs) == 1 and runs[0]["cmdline"].endswith(' "R:\\docs\\a.kdoc"'), runs

        # Without an entry: message "08" on two lines, then the host's own way.
        p.log.unlink()
        box = ctrl_click_until_message(s, p, 4)
        assert box["caption"] == "Notice"
        lines = [l for l in box["text"].replace("\r\n", "\n").replace("\r", "\n").split("\n") if l]
        assert lines == ["Nothing associated with portable apps.!", "Running with default program"], box
        assert probe_runs(p.log) == [], "started before the message was answered"
        s.driver("press", str(box["hwnd"]), "OK")
        runs = p.runs(1)
        assert len(runs) == 1 and runs[0]["exe"] == "R:\\tools\\probe.exe", runs
        assert runs[0]["cmdline"].strip().strip('"').endswith("probe.exe"), runs[0]
        p.exit()


def test_exit_is_refused_while_the_pictures_load():
    with WineSession("launch-busy") as s:
        drive = KestroDrive(s, "r")
        tabs = drive.busy_tabs(3000)
        drive.write_xml(f"""<?xml version="1.0"?><Root><panel><xbuttonaction>2</xbuttonaction></panel>
          {tabs}</Root>""")
        s.start()
        proc = drive.start()
        w = s.wait_window("TviewFrm", "-", 20000)
        assert w is not None
        s.driver("post", str(w["hwnd"]), str(WM_COMMAND), str(CMD_APPEXIT), "0")
        box = s.message_box(10000)
        assert box is not None, "exit was not refused"
        assert box["text"] == "Program is on progress. Do not Terminate!", box
        assert proc.poll() is None
        s.driver("press", str(box["hwnd"]), "OK")
        # The close box set to exit only hides the panel meanwhile.
        s.driver("post", str(w["hwnd"]), "16", "0", "0")
        time.sleep(0.5)
        assert proc.poll() is None, "the close box ended the program while the pictures loaded"
        assert not s.driver_json("info", str(w["hwnd"]))["visible"]
        drive.request_exit()
        assert wait_exit(proc, 60) is not None


def test_the_popup_runs_an_item_and_opens_its_folder():
    with WineSession("launch-popup") as s:
        p = Panel(s, KestroDrive(s, "r"))
        down = str(0x28)
        # "실행": the first entry.
        p.click(0, 100, "right")
        assert s.wait_window("#32768", "-", 5000) is not None, "no popup menu"
        s.driver("key", down)
        s.driver("key", str(VK_RETURN))
        runs = p.runs(1)
        assert len(runs) == 1 and runs[0]["cwd"].rstrip("\\") == "R:\\tools", runs
        # "대상폴더 열기": the item's path starts with a macro, which is
        # expanded, so the folder opens.
        p.click(0, 100, "right")
        assert s.wait_window("#32768", "-", 5000) is not None, "no popup menu"
        s.driver("key", down)
        s.driver("key", down)
        s.driver("key", str(VK_RETURN))
        assert s.wait_window("ExplorerWClass", "tools", 15000) is not None, "the folder did not open"
        assert len(probe_runs(p.log)) == 1
        p.exit()


WS_EX_TOPMOST = 0x8


def test_message_08_holds_the_panel_and_an_exit_meanwhile_ends_kestro_cleanly():
    with WineSession("launch-modal") as s:
        p = Panel(s, KestroDrive(s, "r"), topwindow="True")
        xml = p.drive.xml_path

        def open_message_08():
            box = ctrl_click_until_message(s, p, 4)
            assert box["text"].startswith("Nothing associated with portable apps.!"), box
            return box

        def ended_and_saved(before, how):
            assert wait_exit(p.proc, 20) is not None, f"{how}: the program did not end"
            assert p.proc.returncode == 0, f"{how}: ended with {p.proc.returncode}"
            assert s.window_gone("#32770", "-", 2000), f"{how}: a message box outlived the program"
            assert xml.stat().st_mtime_ns > before, f"{how}: Kestro.xml was not written"
            names = [f.get("name") for f in p.drive.xml_root().findall("tabs/tab/files/file")]
            assert names == ["probe", "document", "text", "program"], names
            assert len(p.drive.xml_root().findall("tabs/tab")) == 1, f"{how}: a tab was added"

        # The box belongs to the panel: the panel is disabled under it, and
        # the box stays above the stay-on-top panel.
        box = open_message_08()
        assert box["owner"] == p.hwnd, box
        assert box["exstyle"] & WS_EX_TOPMOST, box
        panel = s.driver_json("info", str(p.hwnd))
        assert panel["visible"] and not panel["enabled"], panel
        # A double click on an item of the panel starts nothing meanwhile.
        p.click(0, 100, "double")
        time.sleep(1.5)
        assert [r for r in probe_runs(p.log) if "--data" in r["cmdline"]] == []
        # "-exit" meanwhile: the box is ended, then Kestro ends and saves.
        before = xml.stat().st_mtime_ns
        assert p.drive.request_exit() == 0
        ended_and_saved(before, "-exit")

        # The panel's exit entry meanwhile (sent as a click on it would).
        p.open()
        open_message_08()
        before = xml.stat().st_mtime_ns
        s.driver("post", str(p.hwnd), str(WM_COMMAND), str(CMD_APPEXIT), "0")
        ended_and_saved(before, "exit entry")

        # With the tree's popup menu, or a menu of the menu bar, open:
        # "-exit" closes the menu first.
        for how, x, y in (("popup menu", p.left + 100, p.top + ROW // 2), ("menu bar", None, None)):
            p.open()
            if x is None:
                panel = s.driver_json("info", str(p.hwnd))["rect"]
                x, y = panel[0] + 20, (panel[1] + p.top) // 2 + 8  # "File", above the tree
            s.driver("click", str(x), str(y), "right" if how == "popup menu" else "left")
            assert s.wait_window("#32768", "-", 5000) is not None, f"no {how}"
            before = xml.stat().st_mtime_ns
            assert p.drive.request_exit() == 0
            ended_and_saved(before, f"-exit with the {how} open")

        # The tab name dialog belongs to the panel; "-exit" cancels it.
        p.open()
        s.driver("post", str(p.hwnd), str(WM_COMMAND), str(CMD_TABADD), "0")
        dialog = s.message_box(10000)
        assert dialog is not None, "no tab name dialog"
        assert dialog["owner"] == p.hwnd, dialog
        before = xml.stat().st_mtime_ns
        assert p.drive.request_exit() == 0
        ended_and_saved(before, "-exit with the tab name dialog open")
