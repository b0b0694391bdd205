"""The settings dialog: opened from the tray and the panel, filled from Kestro.xml,
cancelled without a trace, applied and saved by OK, its shortcuts at once."""
import json
import subprocess
import time

from kestro import KestroDrive, wait_exit, wait_for_runs, wait_until
from wine import WIN_BUILD, WineSession

WM_COMMAND, WM_VSCROLL, BM_CLICK = 0x0111, 0x0115, 0x00F5
TBM_GETPOS, TBM_SETPOS = 0x0400, 0x0405
CB_SETCURSEL = 0x014E
TCM_SETCURFOCUS = 0x1330
CBN_SELCHANGE = 1
IDOK, IDCANCEL = 1, 2
CMD_ENVSETTING = 1010  # the panel's "환경설정"
VK_DOWN, VK_RETURN, VK_Q, VK_K = 0x28, 0x0D, ord("Q"), ord("K")
MOD_ALT_CTRL = 3

# Control ids of the dialog.
TITLE, ITEMINFO, XBUTTON, FREESPACEBAR, TOOLTIP, TREELINE = 1004, 1006, 1008, 1011, 1012, 1013
TRACKBAR, LBTRANS, LANGUAGE = 1016, 1017, 1019
USEFIXDRIVE, FIXDRIVE, APPLYDRIVE = 1031, 1032, 1034
TRYREMOVEDRIVE, EXITUSBPRG, EXITTEMPPRG, EXITSHELLPRG = 1036, 1037, 1038, 1039
SHORTKEYLIST, MAINKEY, SUBKEY, APPEND, SKCANCEL = 1080, 1082, 1084, 1085, 1086
FOLDERICON, BTFOLDERICON, GROUPICON, BTGROUPICON, CHANGEDRIVEICON = 1050, 1052, 1054, 1056, 1058
CHANGEWALLPAPER, WALLPAPERNAME, SELECTWALLPAPER, HIDEICON = 1070, 1071, 1073, 1075
TRAYMENUTAB, USBALLEXIT, STARTUSEUPFAVORITE, STARTUSEUPEXELINK = 1090, 1091, 1092, 1093
PAGES = 1001

DOCUMENT = """<?xml version="1.0"?>
<Root><panel><title>Mine</title><iteminfomode>2</iteminfomode><xbuttonaction>1</xbuttonaction>
  <tooltip>True</tooltip><trans>200</trans><treeline>True</treeline><freespacebar>False</freespacebar>
  <useshortkey0>1</useshortkey0><mainkey0>0</mainkey0><subkey0>15</subkey0><language></language></panel>
  <start><usefixdrive>False</usefixdrive><fixdrivename>R:</fixdrivename></start>
  <end><tryremovedrive>True</tryremovedrive><exituseprg>False</exituseprg><exittempprg>False</exittempprg>
    <exitshellprg>True</exitshellprg></end>
  <icon><foldericon>Apps\\probe.exe</foldericon></icon>
  <wallpaper><changewallpaper>True</changewallpaper><wallpapername>pic.bmp</wallpapername></wallpaper>
  <addetc><traymenutab>True</traymenutab></addetc>
  <window><main><position><X>300</X><Y>80</Y></position><size><X>260</X><Y>400</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs><tab name="A" tag="0"><files><file name="one"><path>x.exe</path></file></files></tab></tabs>
</Root>"""


class Dialog:
    """The settings dialog of a running Kestro, read and driven by its control ids."""

    def __init__(self, s, caption="환경설정"):
        self.s = s
        w = s.wait_window("#32770", caption, 10000)
        assert w is not None, f"no settings dialog {caption!r}"
        self.hwnd = w["hwnd"]
        # Found while it is being made: ready once it shows.
        assert wait_until(lambda: (s.driver_json("info", str(self.hwnd)) or {}).get("visible"), 5)

    def item(self, cid):
        return self.s.driver_json("item", str(self.hwnd), str(cid))

    def send(self, cid, msg, wparam=0, lparam=0):
        return int(self.s.driver("send", str(self.item(cid)["hwnd"]), str(msg), str(wparam), str(lparam))[1])

    def command(self, cid, code=0, post=True):
        lparam = self.item(cid)["hwnd"] if code else 0
        self.s.driver("post" if post else "send", str(self.hwnd), str(WM_COMMAND), str((code << 16) | cid),
                      str(lparam))

    def slider(self, percent):
        self.send(TRACKBAR, TBM_SETPOS, 1, percent)
        self.s.driver("send", str(self.hwnd), str(WM_VSCROLL), "4", str(self.item(TRACKBAR)["hwnd"]))

    def rows(self):
        code, out = self.s.driver("rows", str(self.item(SHORTKEYLIST)["hwnd"]))
        return [json.loads(line) for line in out.splitlines() if line.strip()]

    def set_shortcut(self, row, modifier, key):
        self.s.driver("selrow", str(self.item(SHORTKEYLIST)["hwnd"]), str(row))
        self.send(MAINKEY, CB_SETCURSEL, modifier)
        self.send(SUBKEY, CB_SETCURSEL, key)
        # Posted: a refused combination answers with a message box.
        self.command(APPEND)

    def close(self, button):
        self.command(button)
        assert self.s.window_gone("#32770", "-", 10000), "the dialog stayed open"


def _alpha(s, hwnd):
    return int(s.driver("alpha", str(hwnd))[1])


def _tray_settings(s):
    """Right click on the tray icon, then its "환경설정"."""
    tray = s.wait_window("__winex11_standalone_tray", "-", 8000)
    assert tray is not None, "no notification area"
    icon = wait_until(lambda: s.driver("child", str(tray["hwnd"]), "__winex11_tray_icon")[0] == 0, 5)
    assert icon, "no tray icon"
    r = s.driver_json("child", str(tray["hwnd"]), "__winex11_tray_icon")["rect"]
    s.driver("click", str((r[0] + r[2]) // 2), str((r[1] + r[3]) // 2), "right")
    assert s.wait_window("#32768", "-", 5000) is not None, "no tray menu"
    for vk in (VK_DOWN, VK_DOWN, VK_RETURN):
        s.driver("key", str(vk))
        time.sleep(0.1)


def _answer_box(s, contains):
    # The settings dialog is a "#32770" too: the box is the one captioned "Notice".
    assert s.wait_window("#32770", "Notice", 10000) is not None, f"no notice saying {contains!r}"
    box = s.message_box(10000)
    assert box is not None, f"no message box saying {contains!r}"
    assert contains in box["text"], box["text"]
    s.driver("post", str(box["hwnd"]), str(WM_COMMAND), str(IDOK), "0")  # its button reads "확인" here
    assert s.window_gone("#32770", box["caption"] or "-", 5000)
    return box


def _xml_values(drive):
    root = drive.xml_root()
    return {e.tag: (e.text or "") for section in root if section.tag != "tabs" for e in section.iter()}


def test_settings_dialog_fills_cancels_applies_saves_and_registers_shortcuts():
    with WineSession("settings", korean=True) as s:
        drive = KestroDrive(s, "r")
        drive.write_xml(DOCUMENT)
        drive.copy_tool("probe.exe", "Apps/probe.exe")
        subprocess.run(["convert", "-size", "64x48", "xc:#80a0ff", "BMP3:" + str(drive.root / "pic.bmp")], check=True)
        s.start()
        # Another program holds Ctrl + Alt + Q before the dialog asks for it.
        s.spawn(WIN_BUILD / "tools" / "kdriver.exe", "desktop", "240000", str(VK_Q), str(MOD_ALT_CTRL))
        assert s.wait_window("Progman", "-", 20000) is not None
        proc, _ = drive.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 20000)["hwnd"]
        assert _alpha(s, panel) == 200
        original = drive.xml_path.read_bytes()

        # From the tray: every page filled from Kestro.xml, nothing applied or set by the fill.
        _tray_settings(s)
        d = Dialog(s)
        assert d.item(TITLE)["text"] == "Mine"
        assert d.send(TRACKBAR, TBM_GETPOS) == 78 and d.item(LBTRANS)["text"] == "78%"
        shown = (d.item(ITEMINFO)["text"], d.item(XBUTTON)["text"])
        assert shown == ("파라메터", "작업표시줄로 최소화"), shown
        assert d.item(TOOLTIP)["checked"] and d.item(TREELINE)["checked"] and not d.item(FREESPACEBAR)["checked"]
        assert d.item(LANGUAGE)["text"] == "Default(korea)"
        assert d.item(USEFIXDRIVE)["text"] == "USB 드라이브를 고정 사용(현재 R:)"
        assert d.item(FIXDRIVE)["text"] == "R:" and not d.item(FIXDRIVE)["enabled"]
        # The drive-removal box shows on, the program boxes as stored.
        assert d.item(TRYREMOVEDRIVE)["checked"] and d.item(EXITSHELLPRG)["checked"]
        assert not d.item(EXITUSBPRG)["checked"] and not d.item(EXITTEMPPRG)["checked"]
        assert d.item(FOLDERICON)["checked"] and d.item(BTFOLDERICON)["text"] == "probe.exe"
        assert not d.item(GROUPICON)["checked"] and not d.item(BTGROUPICON)["enabled"]
        assert not d.item(CHANGEDRIVEICON)["checked"]
        assert d.item(CHANGEWALLPAPER)["checked"] and d.item(WALLPAPERNAME)["text"] == "R:\\pic.bmp"
        assert d.item(SELECTWALLPAPER)["enabled"] and not d.item(HIDEICON)["checked"]
        assert d.item(TRAYMENUTAB)["checked"] and not d.item(USBALLEXIT)["checked"]
        assert d.item(USBALLEXIT)["enabled"]
        assert d.item(APPLYDRIVE)["enabled"]
        assert d.rows() == [["0", "실행창 열고(닫기)", "Ctrl + Alt + P"], ["1", "메뉴 보기(닫기)", ""],
                            ["2", "Kestro종료", ""], ["3", "바탕화면 아이콘 숨기기(보이기)", ""]]
        assert _alpha(s, panel) == 200, "opening the dialog changed the opacity"
        # The drive-removal box takes the three program boxes with it; what the
        # user's clicks changed stays after Cancel, but nothing is saved.
        d.send(TRYREMOVEDRIVE, BM_CLICK)
        assert not d.item(EXITSHELLPRG)["checked"]
        d.send(TRYREMOVEDRIVE, BM_CLICK)
        assert d.item(EXITUSBPRG)["checked"] and d.item(EXITTEMPPRG)["checked"]
        d.close(IDCANCEL)
        assert drive.xml_path.read_bytes() == original
        assert _alpha(s, panel) == 200

        # From the panel: the slider previews, Cancel restores.
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_ENVSETTING), "0")
        d = Dialog(s)
        assert d.item(EXITUSBPRG)["checked"] and d.item(EXITTEMPPRG)["checked"], "a click's change was lost"
        d.slider(10)
        assert wait_until(lambda: _alpha(s, panel) == 25, 5), _alpha(s, panel)
        assert d.item(LBTRANS)["text"] == "10%"
        d.close(IDCANCEL)
        assert _alpha(s, panel) == 200
        assert drive.xml_path.read_bytes() == original

        # Again from the panel: languages, shortcuts, then OK.
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_ENVSETTING), "0")
        d = Dialog(s)
        for choice in (1, 0):
            d.send(LANGUAGE, CB_SETCURSEL, choice)
            d.command(LANGUAGE, CBN_SELCHANGE)
            _answer_box(s, "언어설정은 프로그램 재실행시 적용됩니다!")
        d.send(LANGUAGE, CB_SETCURSEL, 1)
        assert d.item(LANGUAGE)["text"] == "english.lng"
        # Row 0 gets Shift + Ctrl + Alt + K, working at once.
        d.set_shortcut(0, 3, 10)
        assert wait_until(lambda: d.rows()[0][2] == "Shift + Ctrl + Alt + K", 5), d.rows()
        # Row 1 wants the combination another program holds: reported.
        d.set_shortcut(1, 0, 16)
        _answer_box(s, "Ctrl + Alt + Q  -  Open/Close TrayMenu")
        # Row 3 with no key chosen is not stored.
        d.set_shortcut(3, 0, -1)
        _answer_box(s, "Choose both")
        rows = d.rows()
        assert [r[2] for r in rows] == ["Shift + Ctrl + Alt + K", "Ctrl + Alt + Q", "", ""], rows
        # "설정 취소" on row 1 clears it.
        d.s.driver("selrow", str(d.item(SHORTKEYLIST)["hwnd"]), "1")
        d.command(SKCANCEL, post=False)
        assert d.rows()[1][2] == ""
        s.driver("settext", str(d.item(TITLE)["hwnd"]), "New title")
        d.send(FREESPACEBAR, BM_CLICK)
        d.slider(50)
        d.close(IDOK)

        # Applied at once, and written at once.
        assert s.driver_json("info", str(panel))["caption"] == "New title"
        assert _alpha(s, panel) == 127
        assert wait_until(lambda: s.driver_json("child", str(panel), "msctls_progress32")["visible"], 5), \
            "no free-space bar"
        values = _xml_values(drive)
        assert values["title"] == "New title" and values["trans"] == "127" and values["freespacebar"] == "True"
        assert values["language"] == "english.lng"
        assert (values["useshortkey0"], values["mainkey0"], values["subkey0"]) == ("1", "3", "10")
        assert values["useshortkey1"] == "0"
        assert "useshortkey3" not in values or values["useshortkey3"] == "0"
        # Flags that are off are left out of the file.
        assert values["tryremovedrive"] == "True" and values["exitshellprg"] == "True"
        assert values["exituseprg"] == "True" and values["exittempprg"] == "True"

        def visible():
            return s.driver_json("info", str(panel))["visible"]

        assert visible()
        s.driver("key", str(VK_K), "ctrl", "alt", "shift")
        assert wait_until(lambda: not visible(), 5), "the new shortcut did not hide the panel"
        s.driver("key", str(VK_K), "ctrl", "alt", "shift")
        assert wait_until(visible, 5), "the new shortcut did not show the panel"
        # "바로 적용" with a free letter: saved on the old letter, the remount
        # tool started with both letters, and Kestro ends.
        drive.copy_tool("probe.exe", "env/remount.exe")
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_ENVSETTING), "0")
        d = Dialog(s)
        d.send(FIXDRIVE, CB_SETCURSEL, 0)
        free = d.item(FIXDRIVE)["text"]
        assert free != "R:" and free.endswith(":"), free
        d.command(APPLYDRIVE)
        assert wait_exit(proc, 30) is not None, "Kestro did not end after the letter change by the tool"
        runs = wait_for_runs(drive.root / "env" / "probe.log", 1)
        assert len(runs) == 1 and runs[0]["cmdline"].rstrip().endswith(f"R: {free}"), runs
        assert _xml_values(drive)["fixdrivename"] == free

        # The next start, as the PC edition: the shortcut works, the language is
        # English now, and the drive entries are greyed.
        pc = drive.copy_as("kestro-pc.exe")
        proc, _ = pc.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 20000)["hwnd"]
        assert wait_until(visible, 10)
        s.driver("key", str(VK_K), "ctrl", "alt", "shift")
        assert wait_until(lambda: not visible(), 5), "the shortcut did not work after the restart"
        s.driver("key", str(VK_K), "ctrl", "alt", "shift")
        assert wait_until(visible, 5)
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_ENVSETTING), "0")
        d = Dialog(s, "Setting")
        assert d.item(USEFIXDRIVE)["text"] == "Use Fixed USBDrive(Current Drive: R:)"
        for cid in (USEFIXDRIVE, FIXDRIVE, APPLYDRIVE, TRYREMOVEDRIVE, EXITUSBPRG, EXITTEMPPRG, EXITSHELLPRG,
                    USBALLEXIT, STARTUSEUPFAVORITE, STARTUSEUPEXELINK):
            assert not d.item(cid)["enabled"], cid
        assert d.item(TRAYMENUTAB)["enabled"]
        d.close(IDCANCEL)
        pc.request_exit()
        assert wait_exit(proc, 30) is not None
