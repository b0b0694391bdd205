"""The find tab and the exe search on a drive with a folder loop."""
import os
import time

from kestro import KestroDrive, wait_exit, wait_for_runs, wait_until
from wine import WineSession

WM_COMMAND = 0x0111
CMD_SEARCHEXE, CMD_FINDTAB = 1001, 1008
CMD_EXECUTE, MOVE_FIRST = 1001, 1100  # the find popup's entries
ROW = 20

DOCUMENT = """<?xml version="1.0"?>
<Root>
  <window><main><position><X>100</X><Y>50</Y></position><size><X>300</X><Y>500</Y></size>
    <topwindow>False</topwindow><tabindex>1</tabindex></main></window>
  <tabs>
    <tab name="A" tag="0"><files><file name="one"><path>tools\\probe.exe</path></file></files></tab>
    <tab name="F" tag="1"/>
    <tab name="B" tag="0"><files/></tab>
  </tabs>
</Root>"""


def _drive(s):
    drive = KestroDrive(s, "r")
    root = drive.root
    drive.copy_tool("probe.exe", "tools/probe.exe")
    drive.copy_tool("probe.exe", "Apps/other.exe")
    drive.copy_tool("probe.exe", "Apps/Big.EXE")  # not ".exe" as the exe search compares it
    (root / "Apps" / "PROBE-notes.txt").write_text("n")
    (root / "Apps" / "probe").mkdir()  # a folder never matches; its files only by their own names
    (root / "Apps" / "probe" / "readme.md").write_text("r")
    (root / "deep" / "a" / "b" / "c").mkdir(parents=True)
    (root / "deep" / "a" / "b" / "c" / "xprobex.dat").write_text("x")
    (root / ".hidden").mkdir()  # hidden under Wine: the exe search does not enter it
    drive.copy_tool("probe.exe", ".hidden/h.exe")
    (root / "log").mkdir()
    # A folder loop: a link back to the drive's root.
    os.symlink("..", root / "Apps" / "loop")
    drive.write_xml(DOCUMENT)
    s.env["KESTRO_PROBE_LOG"] = "R:\\log\\runs.log"
    return drive


class FindTab:
    def __init__(self, s, panel):
        self.s = s
        self.frame = s.driver_json("child", str(panel), "KestroFindFrame")
        assert self.frame is not None, "no find frame"
        f = str(self.frame["hwnd"])
        self.edit = str(s.driver_json("child", f, "Edit")["hwnd"])
        self.button = s.driver_json("child", f, "Button")
        self.label = str(s.driver_json("child", f, "Static")["hwnd"])
        self.tree = s.driver_json("child", f, "KestroItemTree")

    def total(self):
        return self.s.driver_json("info", self.label)["caption"]

    def search(self, text):
        self.s.driver("settext", self.edit, text)
        self.s.driver("settext", self.label, "")
        caption = self.s.driver_json("info", str(self.button["hwnd"]))["caption"]
        assert self.s.driver("press", str(self.frame["hwnd"]), caption)[0] == 0

    def searched(self, seconds=20):
        return wait_until(lambda: self.total().endswith("items") and self.total(), seconds)

    def command(self, entry):
        self.s.driver("post", str(self.frame["hwnd"]), str(WM_COMMAND), str(entry), "0")


def _tab(s, panel, index):
    left, top, right, _ = s.driver_json("child", str(panel), "KestroTabStrip")["rect"]
    s.driver("click", str((left + right) // 2), str(top + 32 * index + 16))
    time.sleep(0.3)


def _children(files):
    return [(f.get("name"), f.findtext("path")) for f in files if f.tag == "file"]


def test_find_tab_search_launch_move_and_the_exe_search():
    with WineSession("find") as s:
        drive = _drive(s)
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        assert panel is not None, "no panel"
        hwnd = panel["hwnd"]
        assert wait_until(lambda: s.driver_json("info", str(hwnd))["visible"])
        find = FindTab(s, hwnd)

        # One letter: message "13", and the old count stays.
        s.driver("settext", find.label, "before")
        s.driver("settext", find.edit, "p")
        caption = s.driver_json("info", str(find.button["hwnd"]))["caption"]
        s.driver("press", str(find.frame["hwnd"]), caption)
        box = s.message_box(10000)
        assert box is not None, "no message for a one-letter text"
        assert box["caption"] == "Notice" and box["text"] == "Enter more than two characters!", box
        s.driver("press", str(box["hwnd"]), "OK")
        assert s.window_gone("#32770", "Notice", 5000)
        assert find.total() == "before"

        # Two asterisks pass the length test and then match nothing.
        find.search("**")
        assert find.searched() == "0items"

        # Every file whose name holds the text, once, though a link leads back to the root.
        find.search("probe")
        assert find.searched() == "3items", find.total()

        # One result: launched as it stands, then copied into tab B.
        find.search("probe.exe")
        assert find.searched() == "1items", find.total()
        left, top = find.tree["rect"][0], find.tree["rect"][1]
        s.driver("click", str(left + 60), str(top + ROW // 2))
        time.sleep(0.3)
        find.command(CMD_EXECUTE)
        runs = wait_for_runs(drive.root / "log" / "runs.log", 1)
        assert len(runs) == 1 and runs[0]["exe"] == "R:\\tools\\probe.exe", runs
        find.command(MOVE_FIRST + 1)  # the item tabs: A, B

        # The exe search into tab A; the exit waits for its pictures.
        _tab(s, hwnd, 0)
        s.driver("post", str(hwnd), str(WM_COMMAND), str(CMD_SEARCHEXE), "0")
        time.sleep(0.5)
        for _ in range(40):
            drive.request_exit()
            if wait_exit(proc, 1) is not None:
                break
            # Refused while the pictures load: the notice is answered.
            box = s.message_box(500)
            if box:
                s.driver("press", str(box["hwnd"]), "OK")
        assert proc.poll() is not None, "the program did not end"

        tabs = drive.xml_root().find("tabs")
        assert [(t.get("name"), t.get("tag")) for t in tabs] == [("A", "0"), ("F", "1"), ("B", "0")]
        a, _, b = list(tabs)
        assert _children(b.find("files")) == [("probe.exe", "tools\\probe.exe")]
        group = [g for g in a.find("files") if g.tag == "files"]
        assert len(group) == 1 and group[0].get("name") == "R:\\ ..", [g.attrib for g in group]
        assert sorted(_children(group[0])) == [("Kestro.exe", "Kestro.exe"), ("other.exe", "Apps\\other.exe"),
                                               ("probe.exe", "tools\\probe.exe")]


def test_find_tab_is_toggled_from_the_view_menu_and_kept_as_tag_one():
    with WineSession("find-toggle") as s:
        drive = _drive(s)
        drive.write_xml(DOCUMENT.replace('<tab name="F" tag="1"/>', ""))
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        assert panel is not None, "no panel"
        hwnd = str(panel["hwnd"])
        assert wait_until(lambda: s.driver_json("info", hwnd)["visible"])
        assert s.driver_json("child", hwnd, "KestroFindFrame") is None
        for _ in range(3):  # on, off, on
            s.driver("post", hwnd, str(WM_COMMAND), str(CMD_FINDTAB), "0")
            time.sleep(0.5)
        frame = s.driver_json("child", hwnd, "KestroFindFrame")
        assert frame is not None and frame["visible"], "the find tab is not shown"
        drive.request_exit()
        assert wait_exit(proc, 20) is not None, "the program did not end"
        tabs = drive.xml_root().find("tabs")
        # English host: the new tab's caption comes from english.lng.
        assert [(t.get("name"), t.get("tag")) for t in tabs] == [("A", "0"), ("B", "0"), ("Search", "1")]
