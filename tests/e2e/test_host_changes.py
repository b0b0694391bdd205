"""Host changes: associations, the JPEG wallpaper and the desktop icons while Kestro runs, their undo at
exit, and the repair by the next start after Kestro was killed."""
import shutil
import struct
import time
from pathlib import Path

from kestro import KestroDrive, wait_exit, wait_for_runs, wait_until
from wine import WIN_BUILD, WineSession

WM_COMMAND = 0x0111
WS_VISIBLE = 0x10000000
VK_SPACE = 0x20
CMD_USE_PC, CMD_USE_USB, CMD_EXELINK = 1011, 1012, 1013
JPEG = Path(__file__).parent.parent / "data" / "pictures" / "twotone.jpg"  # 8 x 6 pixels
MANAGER, OK = "File Associate Manager", "O K"  # english.lng on this host
CLASSES = "HKLM\\Software\\Classes\\"
TOUCHED = [CLASSES + k for k in (".txt", "kestro.txt", ".7z", "kestro.7z", ".doc", "kestro.doc", ".klog")] + [
    "HKCU\\Software\\Classes\\.txt", "HKCU\\Control Panel\\Desktop"]

DOC = """<?xml version="1.0"?>
<Root><panel><showonstartup>{show}</showonstartup></panel>
  <wallpaper>{wallpaper}</wallpaper><addetc>{addetc}</addetc>
  <exelink><txt>tools\\probe.exe</txt><extension name="7z">tools\\probe.exe -z</extension>
    <doc buselink="False">tools\\probe.exe</doc></exelink>
  <tabs><tab name="A" tag="0"><files/></tab></tabs></Root>"""


def export(s, key):
    """The key as `reg export` writes it; None when it does not exist."""
    out = s.dir / "export.reg"
    if s.run("reg", "export", key, str(out), "/y").returncode != 0:
        return None
    text = out.read_bytes().decode("utf-16")
    out.unlink()
    return text


def exports(s):
    return {k: export(s, k) for k in TOUCHED}


def query(s, key, value=None):
    """A value's data as `reg query` shows it; None when missing."""
    args = ["reg", "query", key] + (["/v", value] if value else ["/ve"])
    r = s.run(*args)
    if r.returncode != 0:
        return None
    for line in r.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            return parts[2] if len(parts) == 3 else ""
    return None


def unix_path(s, win):
    assert win[1:3] == ":\\", win
    return s.prefix / "dosdevices" / win[:2].lower() / win[3:].replace("\\\\", "\\").replace("\\", "/")


def stand_in_desktop(s):
    """Starts a stand-in desktop ("Progman" with its icon view) and answers
    whether the icon view is shown."""
    s.spawn(WIN_BUILD / "tools" / "kdriver.exe", "desktop", "300000")
    progman = s.wait_window("Progman", "-", 20000)
    assert progman is not None, "the stand-in desktop did not start"
    view = s.driver_json("child", str(progman["hwnd"]), "SHELLDLL_DefView")["hwnd"]
    return lambda: bool(s.driver_json("info", str(view))["style"] & WS_VISIBLE)


def test_associations_wallpaper_and_icons_are_undone_at_exit_and_repaired_after_a_kill():
    with WineSession("host") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        (drive.root / "pics").mkdir()
        shutil.copy(JPEG, drive.root / "pics" / "sky.jpg")
        (drive.root / "docs").mkdir()
        (drive.root / "docs" / "b.txt").write_text("b")
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        s.run("reg", "add", CLASSES + ".txt", "/ve", "/d", "txtfile", "/f")
        s.run("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "Wallpaper", "/d", "C:\\mine.bmp", "/f")
        before = exports(s)
        view_shown = stand_in_desktop(s)

        # First start: every option on.
        drive.write_xml(DOC.format(show="False", addetc="<startuseupexelink>True</startuseupexelink>",
                                   wallpaper="<changewallpaper>True</changewallpaper>"
                                             "<wallpapername>pics\\sky.jpg</wallpapername><hideicon>True</hideicon>"))
        proc, _ = drive.start_and_wait_ready()
        assert wait_until(lambda: query(s, CLASSES + ".txt") == "kestro.txt"), "txt was not redirected"
        assert query(s, CLASSES + ".txt", "kestro_bak") == "txtfile"
        assert query(s, CLASSES + "kestro.txt\\Shell\\Open\\Command") == 'R:\\tools\\probe.exe "%1"'
        assert query(s, CLASSES + "kestro.txt\\DefaultIcon") == "R:\\tools\\probe.exe,0"
        assert query(s, CLASSES + ".7z") == "kestro.7z"
        assert query(s, CLASSES + "kestro.7z\\Shell\\Open\\Command") == 'R:\\tools\\probe.exe -z "%1"'
        assert query(s, CLASSES + ".doc") is None, "an unused extension was touched"
        wallpaper = query(s, "HKCU\\Control Panel\\Desktop", "Wallpaper")
        assert wallpaper.lower().endswith("\\temp\\\\kestro.bmp"), wallpaper
        bmp = unix_path(s, wallpaper).read_bytes()
        assert bmp[:2] == b"BM" and struct.unpack("<ii", bmp[18:26]) == (8, 6), bmp[:30]
        assert struct.unpack("<H", bmp[28:30])[0] == 24 and len(bmp) == struct.unpack("<I", bmp[2:6])[0]
        assert not view_shown(), "the desktop icons were not hidden"
        # A text file opened through the shell goes to the drive's program.
        s.run("start", "/wait", "R:\\docs\\b.txt", timeout=60)
        runs = wait_for_runs(drive.root / "probe.log", 1)
        assert runs and runs[0]["exe"] == "R:\\tools\\probe.exe" and "R:\\docs\\b.txt" in runs[0]["cmdline"], runs

        # Killed: nothing is undone now ...
        proc.kill()
        assert wait_exit(proc, 30) is not None
        assert query(s, CLASSES + ".txt") == "kestro.txt" and not view_shown()

        # ... but by the next start, before anything else; every option off.
        drive.write_xml(DOC.format(show="True", addetc="", wallpaper=""))
        proc, _ = drive.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 20000)
        assert panel is not None
        assert exports(s) == before, "the next start did not repair the host"
        assert view_shown()

        # "USB" twice: the backup keeps the host's own type; "PC" restores.
        # (Wine keeps menus inside their process: the marks are checked by the unit tests.)
        for _ in range(2):
            s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_USE_USB), "0")
            assert wait_until(lambda: query(s, CLASSES + ".7z") == "kestro.7z")
        assert query(s, CLASSES + ".txt", "kestro_bak") == "txtfile"
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_USE_PC), "0")
        assert wait_until(lambda: exports(s) == before), "PC did not restore the host"

        # The manager: unticking "txt" and pressing OK restores it at once.
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_USE_USB), "0")
        assert wait_until(lambda: query(s, CLASSES + ".txt") == "kestro.txt")
        dlg = _open_manager(s, panel)
        _click_row(s, dlg, 0)
        s.driver("key", str(VK_SPACE))
        s.driver("press", str(dlg["hwnd"]), OK)
        assert s.window_gone("#32770", MANAGER, 10000)
        assert wait_until(lambda: query(s, CLASSES + ".txt") == "txtfile"), "the unticked txt stayed redirected"
        assert query(s, CLASSES + ".7z") == "kestro.7z"

        # Deleting "7z" (popup "삭제") and pressing OK restores it too.
        dlg = _open_manager(s, panel)
        _click_row(s, dlg, 1, "right")
        assert s.wait_window("#32768", "-", 5000) is not None, "no popup"
        s.driver("key", "0x28")  # down to "삭제"
        s.driver("key", "0x0D")
        s.driver("press", str(dlg["hwnd"]), OK)
        assert s.window_gone("#32770", MANAGER, 10000)
        assert wait_until(lambda: query(s, CLASSES + ".7z") is None), "the deleted 7z stayed redirected"

        # The exit puts everything back; the list as the dialog left it is kept.
        assert drive.request_exit() == 0
        assert wait_exit(proc, 30) is not None
        assert exports(s) == before
        links = drive.xml_root().find("exelink")
        assert [(e.tag, e.get("name")) for e in links] == [("txt", None), ("doc", None)], links


def _open_manager(s, panel):
    s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_EXELINK), "0")
    dlg = s.wait_window("#32770", MANAGER, 10000)
    assert dlg is not None, ("the manager did not open", s.visible_windows())
    return dlg


def _click_row(s, dlg, row, button="left"):
    lv = s.driver_json("child", str(dlg["hwnd"]), "SysListView32")
    header = s.driver_json("child", str(lv["hwnd"]), "SysHeader32")
    left, bottom = lv["rect"][0], header["rect"][3]
    height = 17
    s.driver("click", str(left + 120), str(bottom + height * row + height // 2), button)
    time.sleep(0.3)


def test_icons_come_back_at_exit_a_missing_jpeg_changes_nothing_and_the_manager_adds_rows():
    with WineSession("host-exit") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        s.start()
        s.run("reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "Wallpaper", "/d", "C:\\mine.bmp", "/f")
        before = exports(s)
        view_shown = stand_in_desktop(s)

        drive.write_xml(DOC.format(show="True", addetc="",
                                   wallpaper="<changewallpaper>True</changewallpaper>"
                                             "<wallpapername>pics\\gone.jpg</wallpapername><hideicon>True</hideicon>"))
        proc, _ = drive.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 20000)
        assert panel is not None
        assert wait_until(lambda: not view_shown()), "the desktop icons were not hidden"
        assert query(s, "HKCU\\Control Panel\\Desktop", "Wallpaper") == "C:\\mine.bmp", "a missing JPEG changed the wallpaper"

        # Selecting a row fills the boxes; a new row is added and, on closing with changes, applied after "Yes".
        dlg = _open_manager(s, panel)
        _click_row(s, dlg, 1)
        item = lambda i: s.driver_json("item", str(dlg["hwnd"]), str(i))["text"]
        assert (item(603), item(605), item(606)) == ("7z", "R:\\tools\\probe.exe", "-z")
        s.driver("settext", str(s.driver_json("item", str(dlg["hwnd"]), "603")["hwnd"]), ".KLOG")
        s.driver("settext", str(s.driver_json("item", str(dlg["hwnd"]), "605")["hwnd"]), "R:\\tools\\probe.exe")
        s.driver("settext", str(s.driver_json("item", str(dlg["hwnd"]), "606")["hwnd"]), "-l")
        s.driver("press", str(dlg["hwnd"]), "Add List")
        time.sleep(0.3)
        s.driver("post", str(dlg["hwnd"]), str(WM_COMMAND), "2", "0")  # Escape
        box = s.message_box(10000)
        assert box is not None and box["caption"] == "Notice?", box
        assert "apply" in box["text"], box["text"]
        s.driver("press", str(box["hwnd"]), "Yes")
        assert s.window_gone("#32770", MANAGER, 10000)
        assert wait_until(lambda: query(s, CLASSES + ".klog") == "kestro.klog"), "the added row was not applied"
        # Read from another process while Kestro may still be applying the
        # rows: waited for, as the extension is.
        command = CLASSES + "kestro.klog\\Shell\\Open\\Command"
        assert wait_until(lambda: query(s, command) == 'R:\\tools\\probe.exe -l "%1"'), query(s, command)

        # The exit shows the icons and puts every key back; 7z and the new row stay in Kestro.xml.
        assert drive.request_exit() == 0
        assert wait_exit(proc, 30) is not None
        assert view_shown(), "the desktop icons stayed hidden after the exit"
        assert exports(s) == before
        assert query(s, CLASSES + ".klog") is None
        links = [(e.tag, e.get("name"), e.text) for e in drive.xml_root().find("exelink")]
        assert links == [("txt", None, "tools\\probe.exe"), ("extension", "7z", "tools\\probe.exe -z"),
                         ("doc", None, "tools\\probe.exe"), ("klog", None, "tools\\probe.exe -l")], links
