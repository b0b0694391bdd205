"""Global shortcuts: the system slots, item shortcuts, and combinations another program holds."""
import time

from kestro import KestroDrive, probe_runs, wait_exit, wait_for_runs, wait_until
from wine import WIN_BUILD, WineSession

WM_COMMAND = 0x0111
CMD_TABADD = 1023
WS_VISIBLE = 0x10000000
MOD_ALT_CTRL = 3
VK_P, VK_Q, VK_W, VK_X, VK_D, VK_T = (ord(c) for c in "PQWXDT")


def _slot(n, key):
    """Slot n in use with Ctrl + Alt (modifier code 0) and the letter `key`."""
    return f"<useshortkey{n}>1</useshortkey{n}><mainkey{n}>0</mainkey{n}><subkey{n}>{ord(key) - 65}</subkey{n}>"


def _press(s, vk):
    s.driver("key", str(vk), "ctrl", "alt")


def test_system_slots_item_shortcuts_and_a_combination_held_elsewhere():
    # Slot 0 on P, slot 1 on T, slot 2 on X, slot 3 on D, slot 4 on W; the item "two" wants
    # Ctrl + Alt + Q, which another program holds before Kestro starts.
    panel = "<showonstartup>False</showonstartup>" + "".join(
        _slot(n, k) for n, k in ((0, "P"), (1, "T"), (2, "X"), (3, "D"), (4, "W")))
    tabs = """<tabs><tab name="A" tag="0"><files>
      <file name="one"><path>Apps\\probe.exe</path>
        <hotkey>True</hotkey><hotkeymodifier>0</hotkeymodifier><hotkeycode>27</hotkeycode></file>
      <file name="two"><path>Apps\\probe.exe</path><parameters>--two</parameters>
        <hotkey>True</hotkey><hotkeymodifier>0</hotkeymodifier><hotkeycode>16</hotkeycode></file>
    </files></tab></tabs>"""
    with WineSession("shortcuts") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "Apps/probe.exe")
        drive.write_xml(f'<?xml version="1.0"?><Root><panel>{panel}</panel>{tabs}</Root>')
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        # The stand-in desktop (Wine has no shell windows) and the other program's hot key.
        s.spawn(WIN_BUILD / "tools" / "kdriver.exe", "desktop", "120000", str(VK_Q), str(MOD_ALT_CTRL))
        progman = s.wait_window("Progman", "-", 20000)
        assert progman is not None, "the stand-in desktop did not start"
        view = s.driver_json("child", str(progman["hwnd"]), "SHELLDLL_DefView")["hwnd"]

        def view_shown():
            return bool(s.driver_json("info", str(view))["style"] & WS_VISIBLE)

        proc = drive.start()
        w = s.wait_window("TviewFrm", "-", 20000)
        assert w is not None, "no panel window"

        # One notice after the start, naming the held combination and its item only.
        box = s.message_box(15000)
        assert box is not None, "no notice of the combination held elsewhere"
        lines = box["text"].splitlines()
        assert lines[1:] == ['Ctrl + Alt + Q  -  item "two"'], box["text"]
        s.driver("press", str(box["hwnd"]), "OK")
        assert s.message_box(1000) is None, "more than one notice"

        # The item shortcut that was free launches its item, without its parameters.
        _press(s, ord("1"))
        runs = wait_for_runs(drive.root / "probe.log", 1)
        assert len(runs) == 1 and runs[0]["exe"] == "R:\\Apps\\probe.exe", runs

        # Slot 0 shows the hidden panel, and hides it again.
        panel_visible = lambda: s.driver_json("info", str(w["hwnd"]))["visible"]
        assert not panel_visible()
        _press(s, VK_P)
        assert wait_until(panel_visible), "slot 0 did not show the panel"
        _press(s, VK_P)
        assert wait_until(lambda: not panel_visible()), "slot 0 did not hide the panel"

        # Slot 1 opens the tray menu, and the next press dismisses it.
        _press(s, VK_T)
        assert s.wait_window("#32768", "-", 5000) is not None, "slot 1 opened no tray menu"
        _press(s, VK_T)
        assert s.window_gone("#32768", "-", 5000), "slot 1 did not dismiss the tray menu"

        # Slot 3 hides the desktop's view, and shows it again.
        assert view_shown()
        _press(s, VK_D)
        assert wait_until(lambda: not view_shown()), "slot 3 did not hide the desktop icons"
        _press(s, VK_D)
        assert wait_until(view_shown), "slot 3 did not show the desktop icons"

        # Slot 4 does nothing; the held combination starts nothing of ours.
        _press(s, VK_W)
        _press(s, VK_Q)
        time.sleep(1.5)
        assert proc.poll() is None and not panel_visible() and view_shown()
        assert s.message_box(500) is None
        assert len(probe_runs(drive.root / "probe.log")) == 1

        # Slot 2 while the tab name dialog is open: the dialog is ended, then
        # Kestro ends and writes Kestro.xml.
        _press(s, VK_P)
        assert wait_until(panel_visible)
        s.driver("post", str(w["hwnd"]), str(WM_COMMAND), str(CMD_TABADD), "0")
        dialog = wait_until(lambda: s.message_box(2000), 20)
        assert dialog, "no tab name dialog"
        xml = drive.xml_path
        before = xml.stat().st_mtime_ns
        time.sleep(0.05)
        _press(s, VK_X)
        assert wait_exit(proc, 20) is not None, "slot 2 did not end Kestro under the dialog"
        assert xml.stat().st_mtime_ns != before, "Kestro.xml was not written"
        root = drive.xml_root()
        assert root.find("panel/useshortkey2").text == "1"


def test_the_quit_slot_does_nothing_while_the_pictures_load_and_quits_after():
    # 2,000 files of their own keep the loader busy for many seconds under Wine.
    with WineSession("shortcuts-busy") as s:
        drive = KestroDrive(s, "r")
        tabs = drive.busy_tabs(1000)
        drive.write_xml(f'<?xml version="1.0"?><Root><panel>{_slot(2, "X")}</panel>{tabs}</Root>')
        s.start()
        proc = drive.start()
        assert s.wait_window("TviewFrm", "-", 20000) is not None
        _press(s, VK_X)
        # Refused without a word.
        assert s.message_box(1500) is None, "the quit slot showed a message"
        assert proc.poll() is None, "the quit slot ended Kestro while the pictures loaded"
        # Once they are in, the same slot quits.
        deadline = time.monotonic() + 120
        while proc.poll() is None and time.monotonic() < deadline:
            _press(s, VK_X)
            wait_exit(proc, 1)
        assert proc.poll() is not None, "the quit slot did not end Kestro after the pictures loaded"
