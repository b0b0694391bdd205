"""The item and group property dialogs: what they show, what they refuse and
what reaches Kestro.xml the moment they are confirmed."""
import shutil
import subprocess
import time
from pathlib import Path

from kestro import KestroDrive, wait_exit, wait_until
from wine import WineSession

WM_CLOSE = 0x0010
BM_CLICK = 0x00F5
CB_SETCURSEL = 0x014E
VK_RETURN, VK_ESCAPE, VK_DOWN, VK_F2 = 13, 27, 40, 113
WS_EX_TOPMOST = 0x8
# Control ids of the dialogs (resources/resource.h).
NAME, PATH, PARAMETER, DESC, CHANGEICON, SELECTICON = 204, 206, 209, 211, 212, 214
HOTKEY, MAINHOTKEY, SUBHOTKEY, AUTORUN, WINSTATE, ENVVARLIST = 215, 216, 217, 219, 221, 222
GROUP_NAME, GROUP_CHANGEICON, GROUP_HIDEFROMTRAY = 302, 303, 306
ROW = 20  # small rows at 96 DPI
ROOT = Path(__file__).resolve().parents[2]

DOCUMENT = """<?xml version="1.0"?>
<Root><panel></panel>
  <window><main><position><X>500</X><Y>100</Y></position><size><X>250</X><Y>400</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs><tab name="A" tag="0"><files>
    <file name="one"><path>Apps\\one\\probe.exe</path><parameters>-a</parameters><addexplain>first</addexplain>
      <windowstate>1</windowstate><hotkey>True</hotkeymodifier><hotkeymodifier>1</hotkeymodifier>
      <hotkeycode>2</hotkeycode></file>
    <file name="two"><path>C:\\windows\\notepad.exe</path></file>
    <folder name="docs"><path>Docs</path></folder>
    <files name="G" expanded="True"><file name="inner"><path>Apps\\one\\probe.exe</path></file></files>
  </files></tab></tabs>
</Root>""".replace("<hotkey>True</hotkeymodifier>", "<hotkey>True</hotkey>")


class Panel:
    def __init__(self, s, korean=False):
        self.s = s
        self.drive = KestroDrive(s, "r")
        self.drive.copy_tool("probe.exe", "Apps/one/probe.exe")
        (self.drive.root / "Docs").mkdir()
        self.drive.write_xml(DOCUMENT)
        s.start()
        self.proc = self.drive.start()
        w = s.wait_window("TviewFrm", "-", 20000)
        assert w is not None, "no panel"
        self.hwnd = str(w["hwnd"])
        assert wait_until(lambda: s.driver_json("info", self.hwnd)["visible"]), "the panel did not show"
        self.tree = wait_until(lambda: s.driver_json("child", self.hwnd, "KestroItemTree"))
        time.sleep(2)  # the pictures arrive in the background

    def row_point(self, row):
        left, top = self.tree["rect"][0], self.tree["rect"][1]
        return left + 60, top + row * ROW + ROW // 2

    def focus(self, row):
        x, y = self.row_point(row)
        self.s.driver("click", str(x), str(y))
        time.sleep(0.3)

    def open_properties(self, row, caption):
        self.focus(row)
        self.s.driver("key", str(VK_F2))
        dialog = self.s.wait_window("#32770", caption, 10000)
        assert dialog is not None, f"no dialog {caption!r}: {self.s.visible_windows()}"
        return str(dialog["hwnd"])

    def row_picture(self, row, name):
        """The row's pixels (picture and caption) as PNG bytes."""
        shot = self.s.dir / f"{name}.png"
        self.s.screenshot(shot)
        x, y = self.tree["rect"][0], self.tree["rect"][1] + row * ROW
        out = subprocess.run(["convert", str(shot), "-crop", f"120x{ROW}+{x}+{y}", "+repage", "rgb:-"],
                             check=True, capture_output=True).stdout
        return out

    def exit(self):
        self.drive.request_exit()
        assert wait_exit(self.proc, 15) is not None, "the program did not end"


def item(s, dialog, control):
    return s.driver_json("item", dialog, str(control))


def control(s, dialog, control_id):
    return str(item(s, dialog, control_id)["hwnd"])


def set_text(s, dialog, control_id, text):
    s.driver("settext", control(s, dialog, control_id), text)


def answer_box(s, expected_text, expected_caption):
    box = s.message_box(10000)
    assert box is not None, "no message box"
    assert (box["text"], box["caption"]) == (expected_text, expected_caption), box
    s.driver("key", str(VK_RETURN))
    assert wait_until(lambda: s.driver_json("info", str(box["hwnd"])) is None), "the box stayed"


def first_file(drive, name):
    for f in drive.xml_root().iter("file"):
        if f.get("name") == name:
            return f
    return None


def test_file_item_dialog_shows_refuses_cancels_and_saves_at_once():
    with WineSession("props-file") as s:
        p = Panel(s)
        shutil.copy2(ROOT / "resources" / "kestro.ico", p.drive.root / "kestro.ico")
        before_xml = p.drive.xml_path.read_bytes()
        before_row = p.row_picture(0, "before")

        dialog = p.open_properties(0, "one File Property")
        info = s.driver_json("info", dialog)
        assert info["owner"] == int(p.hwnd), "the panel does not own the dialog"
        fields = {c: item(s, dialog, c) for c in (NAME, PATH, PARAMETER, DESC, HOTKEY, MAINHOTKEY, SUBHOTKEY,
                                                  AUTORUN, WINSTATE, CHANGEICON)}
        shown = {c: f["text"] for c, f in fields.items()}
        assert shown[NAME] == "one" and shown[PATH] == "Apps\\one\\probe.exe", shown
        assert (shown[PARAMETER], shown[DESC]) == ("-a", "first"), shown
        assert (shown[MAINHOTKEY], shown[SUBHOTKEY]) == ("Shift + Ctrl", "C"), shown
        assert (shown[AUTORUN], shown[WINSTATE]) == ("none", "Maxmize"), shown
        assert fields[HOTKEY]["checked"] and not fields[CHANGEICON]["checked"]
        assert fields[MAINHOTKEY]["enabled"] and not item(s, dialog, SELECTICON)["enabled"]
        assert item(s, dialog, ENVVARLIST)["text"] == "Env ValueList"

        # The macro list opens below the dialog and closes again.
        s.driver("press", dialog, "Env ValueList")
        macros = s.wait_window("#32770", " Env ValueList", 10000)
        assert macros is not None, "no macro list"
        assert macros["rect"][1] == info["rect"][3] and macros["rect"][0] == info["rect"][0], (macros, info)
        s.driver("press", dialog, "Env ValueList")
        assert s.window_gone("#32770", " Env ValueList", 10000), "the macro list stayed"

        # An empty name is refused and the dialog stays.
        set_text(s, dialog, NAME, "")
        s.driver("press", dialog, "Append")
        answer_box(s, "Enter FileName", "notice")
        assert s.driver_json("info", dialog)["visible"]

        # Esc changes nothing.
        s.driver("key", str(VK_ESCAPE))
        assert wait_until(lambda: s.driver_json("info", dialog) is None), "Esc did not close the dialog"
        time.sleep(0.5)
        assert p.drive.xml_path.read_bytes() == before_xml

        # Every field changed, then OK: Kestro.xml holds it before any exit.
        dialog = p.open_properties(0, "one File Property")
        set_text(s, dialog, NAME, "renamed")
        set_text(s, dialog, PATH, "R:\\Apps\\one\\probe.exe")
        set_text(s, dialog, PARAMETER, "--changed")
        set_text(s, dialog, DESC, "about")
        s.driver("send", control(s, dialog, CHANGEICON), str(BM_CLICK), "0", "0")
        assert item(s, dialog, SELECTICON)["enabled"]
        # Posted: the file dialog's loop runs inside the click.
        s.driver("post", control(s, dialog, SELECTICON), str(BM_CLICK), "0", "0")
        open_dialog = wait_until(lambda: next((w for w in s.visible_windows()
                                         if w["class"] == "#32770" and str(w["hwnd"]) != dialog), None))
        assert open_dialog is not None, "no file dialog for the icon"
        edit = s.driver_json("child", str(open_dialog["hwnd"]), "Edit")
        s.driver("settext", str(edit["hwnd"]), "R:\\kestro.ico")
        s.driver("key", str(VK_RETURN))
        assert wait_until(lambda: item(s, dialog, SELECTICON)["text"] == "kestro.ico"), item(s, dialog, SELECTICON)
        s.driver("send", control(s, dialog, HOTKEY), str(BM_CLICK), "0", "0")
        assert not item(s, dialog, MAINHOTKEY)["enabled"]
        for c, n in ((MAINHOTKEY, 4), (SUBHOTKEY, 30), (AUTORUN, 1), (WINSTATE, 3)):
            s.driver("send", control(s, dialog, c), str(CB_SETCURSEL), str(n), "0")
        s.driver("press", dialog, "Append")
        assert wait_until(lambda: s.driver_json("info", dialog) is None), "OK did not close the dialog"
        saved = wait_until(lambda: first_file(p.drive, "renamed"))
        assert saved is not None, p.drive.xml_path.read_text("utf-8")
        values = {e.tag: e.text for e in saved}
        assert values == {"path": "Apps\\one\\probe.exe", "icon": "kestro.ico", "parameters": "--changed",
                          "addexplain": "about", "autorun": "1", "windowstate": "3"}, values
        # Nothing ran on the way: the item runs only at start.
        assert not (p.drive.root / "probe.log").exists()
        time.sleep(0.5)
        assert p.row_picture(0, "after") != before_row, "the row shows the old caption and picture"

        # A typed macro path is kept as typed; OK with the shortcut box ticked.
        dialog = p.open_properties(1, "two File Property")
        assert item(s, dialog, PATH)["text"] == "C:\\windows\\notepad.exe"
        set_text(s, dialog, PATH, "%udrive%\\Apps\\one\\probe.exe")
        s.driver("send", control(s, dialog, HOTKEY), str(BM_CLICK), "0", "0")
        s.driver("send", control(s, dialog, SUBHOTKEY), str(CB_SETCURSEL), "5", "0")
        s.driver("key", str(VK_RETURN))
        assert wait_until(lambda: s.driver_json("info", dialog) is None), "Enter did not confirm"
        two = wait_until(lambda: (lambda f: f if f is not None and f.find("hotkey") is not None else None)(
            first_file(p.drive, "two")))
        assert two is not None, p.drive.xml_path.read_text("utf-8")
        assert {e.tag: e.text for e in two} == {"path": "%udrive%\\Apps\\one\\probe.exe", "hotkey": "True",
                                                "hotkeymodifier": "0", "hotkeycode": "5"}

        # The folder item's dialog says so; the close box changes nothing.
        dialog = p.open_properties(2, "docs Folder Property")
        kept = p.drive.xml_path.read_bytes()
        s.driver("post", dialog, str(WM_CLOSE), "0", "0")
        assert wait_until(lambda: s.driver_json("info", dialog) is None)
        time.sleep(0.5)
        assert p.drive.xml_path.read_bytes() == kept
        p.exit()
        assert first_file(p.drive, "renamed") is not None


def test_group_dialog_in_korean_edits_and_adds_groups():
    with WineSession("props-group", korean=True) as s:
        p = Panel(s, korean=True)
        dialog = p.open_properties(0, "one 파일의 설정")
        s.driver("key", str(VK_ESCAPE))
        assert wait_until(lambda: s.driver_json("info", dialog) is None)

        dialog = p.open_properties(3, "G 그룹의 설정")
        assert item(s, dialog, GROUP_NAME)["text"] == "G"
        set_text(s, dialog, GROUP_NAME, "")
        s.driver("press", dialog, "적 용")
        answer_box(s, "그룹명을 넣어주세요", "GroupName?")
        set_text(s, dialog, GROUP_NAME, "도구")
        s.driver("send", control(s, dialog, GROUP_HIDEFROMTRAY), str(BM_CLICK), "0", "0")
        s.driver("press", dialog, "적 용")
        assert wait_until(lambda: s.driver_json("info", dialog) is None)
        group = wait_until(lambda: next((g for g in p.drive.xml_root().iter("files") if g.get("name") == "도구"), None))
        assert group is not None, p.drive.xml_path.read_text("utf-8")
        assert group.find("hidefromtray").text == "True"
        assert [f.get("name") for f in group.iter("file")] == ["inner"]

        # "그룹추가" with the second item focused: a new group right after it.
        p.focus(1)
        x, y = p.row_point(1)
        s.driver("click", str(x), str(y), "right")
        assert wait_until(lambda: any(w["class"] == "#32768" for w in s.visible_windows())), "no popup"
        for _ in range(5):  # 실행, 대상폴더 열기, 파일추가, 폴더추가, 그룹추가
            s.driver("key", str(VK_DOWN))
        s.driver("key", str(VK_RETURN))
        dialog = s.wait_window("#32770", "그룹속성", 10000)
        assert dialog is not None, s.visible_windows()
        dialog = str(dialog["hwnd"])
        assert not item(s, dialog, 305)["enabled"]
        set_text(s, dialog, GROUP_NAME, "새 그룹")
        s.driver("key", str(VK_RETURN))
        assert wait_until(lambda: s.driver_json("info", dialog) is None)
        top = wait_until(lambda: (lambda names: names if "새 그룹" in names else None)(
            [e.get("name") for e in p.drive.xml_root().find("tabs/tab/files")]))
        assert top == ["one", "two", "새 그룹", "docs", "도구"], top

        # An exit request while the dialog and its macro list are open closes
        # them first (as a cancel) and then ends Kestro.
        dialog = p.open_properties(0, "one 파일의 설정")
        set_text(s, dialog, NAME, "not confirmed")
        s.driver("press", dialog, "환경변수 리스트")
        assert s.wait_window("#32770", " 환경변수 리스트", 10000) is not None, "no macro list"
        p.exit()
        names = [f.get("name") for f in p.drive.xml_root().iter("file")]
        assert "one" in names and "not confirmed" not in names, names
