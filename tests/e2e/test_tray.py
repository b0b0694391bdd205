"""The notification-area icon and its menus, clicked as a user clicks them."""
import os
import time

from kestro import KestroDrive, probe_runs, wait_exit, wait_for_runs
from wine import WineSession

WM_COMMAND = 0x0111
CMD_TABADD = 1023
VK_RETURN, VK_ESCAPE, VK_UP, VK_RIGHT, VK_DOWN = 0x0D, 0x1B, 0x26, 0x27, 0x28
TRAY_ICON_ID = 1

# Tab A: a group hidden from the tray (its item must never be reachable), an
# item whose parameters hold "|" and a macro, a group; then the find tab and
# tab B. The menu reads: "18", -, p&q, grp >, -, b.
DOCUMENT = """<?xml version="1.0"?>
<Root><panel><showonstartup>False</showonstartup></panel>
  <window><main><position><X>600</X><Y>200</Y></position><size><X>250</X><Y>400</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs>
    <tab name="A" tag="0"><files>
      <files name="hidden"><hidefromtray>True</hidefromtray>
        <file name="never"><path>tools\\probe.exe</path><parameters>HIDDEN</parameters></file></files>
      <file name="p&amp;q"><path>%udrive%\\tools\\probe.exe</path>
        <parameters>a|b "%udrive%\\x y"|c</parameters><addexplain>note|more</addexplain></file>
      <files name="grp"><file name="inner"><path>tools\\probe.exe</path><parameters>INNER</parameters></file></files>
    </files></tab>
    <tab name="find" tag="1"/>
    <tab name="B" tag="0"><files>
      <file name="b"><path>tools\\probe.exe</path><parameters>B</parameters></file>
    </files></tab>
  </tabs>
</Root>"""


class Tray:
    def __init__(self, s, drive):
        self.s, self.drive = s, drive
        started = time.monotonic()
        self.proc, self.main = drive.start_and_wait_ready()
        tray = s.wait_window("__winex11_standalone_tray", "-", 8000)
        assert tray is not None, "no notification area"
        self.tray = tray["hwnd"]
        self.icon = self.wait_icon(5 - (time.monotonic() - started))
        assert self.icon is not None, "no tray icon within 5 s of the start"

    def wait_icon(self, seconds):
        deadline = time.monotonic() + max(seconds, 0.5)
        while time.monotonic() < deadline:
            code, out = self.s.driver("child", str(self.tray), "__winex11_tray_icon")
            if code == 0:
                import json
                r = json.loads(out)["rect"]
                return ((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)
            time.sleep(0.1)
        return None

    def click(self, *how):
        self.s.driver("click", str(self.icon[0]), str(self.icon[1]), *how)

    def menu(self, ms=5000):
        return self.s.wait_window("#32768", "-", ms)

    def keys(self, *vks):
        for vk in vks:
            self.s.driver("key", str(vk))
            time.sleep(0.1)

    def choose(self, *vks):
        """Left click, then keys in the menu."""
        self.click()
        assert self.menu() is not None, "no left-click menu"
        self.keys(*vks)
        assert self.s.window_gone("#32768", "-", 5000), "the menu stayed open"


def _panel_visible(s, panel):
    return s.driver_json("info", str(panel))["visible"]


def test_tray_icon_menus_launch_show_the_panel_refuse_menus_beside_dialogs_and_exit():
    with WineSession("tray-menus") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        drive.write_xml(DOCUMENT)
        log = drive.root / "probe.log"
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        t = Tray(s, drive)
        panel = s.wait_window("TviewFrm", "-", 5000)["hwnd"]
        assert not _panel_visible(s, panel)

        # A double click shows the hidden panel and brings it forward.
        t.click("double")
        deadline = time.monotonic() + 5
        while not _panel_visible(s, panel) and time.monotonic() < deadline:
            time.sleep(0.1)
        assert _panel_visible(s, panel), "the double click did not show the panel"
        assert int(s.driver("foreground")[1]) == panel, "the panel did not come forward"
        s.window_gone("#32768", "-", 2000)
        # The close box hides it again (the default action).
        s.driver("post", str(panel), "16", "0", "0")
        time.sleep(0.5)
        assert not _panel_visible(s, panel)

        # "18" (the first entry) shows the panel.
        t.choose(VK_DOWN, VK_RETURN)
        time.sleep(0.5)
        assert _panel_visible(s, panel), "the first entry did not show the panel"
        s.driver("post", str(panel), "16", "0", "0")

        # Second entry: "p&q" (the hidden group is not there), its parameters
        # whole and expanded; then the group's submenu; then tab B's item,
        # the last entry.
        t.choose(VK_DOWN, VK_DOWN, VK_RETURN)
        t.choose(VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN)
        t.choose(VK_UP, VK_RETURN)
        runs = wait_for_runs(log, 3, 10)
        assert [r["cmdline"].split("probe.exe", 1)[1].strip().lstrip('"').strip() for r in runs] == \
            ['a|b "R:\\x y"|c', "INNER", "B"], runs
        assert all(r["show"] == 1 for r in runs), runs
        assert all(r["exe"] == "R:\\tools\\probe.exe" for r in runs), runs

        # While a dialog is open neither button shows a menu.
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_TABADD), "0")
        dialog = s.wait_window("#32770", "Tab Name", 10000)
        assert dialog is not None, "the tab name dialog did not open"
        for how in ((), ("right",)):
            t.click(*how)
            assert s.wait_window("#32768", "-", 1500) is None, f"a menu beside the dialog ({how})"
        s.driver("press", str(dialog["hwnd"]), "Cancel")
        assert s.window_gone("#32770", "Tab Name", 5000)

        # Right click → "Exit" (the last entry) ends Kestro and saves.
        before = drive.xml_path.read_bytes()
        t.click("right")
        assert t.menu() is not None, "no right-click menu"
        t.keys(VK_UP, VK_RETURN)
        assert wait_exit(t.proc, 20) is not None, "Exit did not end Kestro"
        assert drive.xml_path.read_bytes() != before, "Kestro.xml was not written"
        assert drive.xml_root().find("window") is not None
        time.sleep(1)
        assert s.driver("child", str(t.tray), "__winex11_tray_icon")[0] != 0, "the icon stayed after the exit"
        assert len(probe_runs(log)) == 3


def test_busy_exit_is_refused_the_icon_comes_back_and_exit_during_the_menu_is_clean():
    with WineSession("tray-busy") as s:
        drive = KestroDrive(s, "r")
        tabs = drive.busy_tabs(3000)
        drive.write_xml(f'<?xml version="1.0"?><Root>{tabs}</Root>')
        s.start()
        t = Tray(s, drive)
        # While the pictures load the exit entry shows "02" instead.
        t.click("right")
        assert t.menu() is not None, "no right-click menu"
        t.keys(VK_UP, VK_RETURN)
        box = s.message_box(10000)
        assert box is not None, "exit was not refused"
        assert box["text"] == "Program is on progress. Do not Terminate!", box
        assert box["caption"] == "Notice", box
        s.driver("press", str(box["hwnd"]), "OK")
        assert t.proc.poll() is None

        # A restarted taskbar has lost the icon; its broadcast brings it back.
        main = str(t.main["hwnd"])
        assert s.driver("untray", main, str(TRAY_ICON_ID))[0] == 0
        time.sleep(1)
        assert s.driver("child", str(t.tray), "__winex11_tray_icon")[0] != 0, "the icon was not taken away"
        message = s.driver("register", "TaskbarCreated")[1].strip()
        s.driver("post", "65535", message, "0", "0")
        tray = s.wait_window("__winex11_standalone_tray", "-", 8000)
        assert tray is not None
        t.tray = tray["hwnd"]
        t.icon = t.wait_icon(8)
        assert t.icon is not None, "the icon did not come back"

        # "-exit" while the left-click menu is open ends Kestro cleanly.
        t.click()
        assert t.menu() is not None, "no left-click menu"
        os.remove(drive.xml_path)
        drive.request_exit()
        assert wait_exit(t.proc, 60) is not None, "-exit did not end Kestro"
        assert drive.xml_path.exists(), "Kestro.xml was not written"
        assert len(drive.xml_root().find("tabs")) == 2
        time.sleep(1)
        assert s.driver("child", str(t.tray), "__winex11_tray_icon")[0] != 0, "the icon stayed after -exit"
