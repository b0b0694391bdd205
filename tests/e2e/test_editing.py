"""Building the panel's trees inside Kestro: adding, deleting and moving
items, files dragged in from another program, deleting and setting up tabs."""
import time
import xml.etree.ElementTree as ET

from kestro import KestroDrive, wait_exit, wait_until
from wine import WIN_BUILD, WineSession

WM_COMMAND = 0x0111
CB_GETCOUNT, CB_SETCURSEL, CBN_SELCHANGE = 0x0146, 0x014E, 1
IDC_TABENV_FONT = 115
# The item tree's popup entries.
ADD_FILE, ADD_LINE, DELETE, TAB_ATTRIBUTE, TAB_DELETE = 1003, 1006, 1007, 1011, 1013
ROW = 20  # small icons

TABS = """
  <tabs>
    <tab name="A" tag="0"><files>
      <file name="one"><path>one.exe</path></file>
      <files name="grp" expanded="True"><file name="inner"><path>inner.exe</path></file></files>
      <file name="two"><path>two.exe</path></file>
      <files name="old"><file name="gone"><path>gone.exe</path></file></files>
    </files></tab>
    <tab name="B" tag="0"><files/></tab>
    <tab name="C" tag="0"><files><file name="c1"><path>c1.exe</path></file></files></tab>
  </tabs>"""


def _document(tabs=TABS):
    return f"""<?xml version="1.0"?>
<Root><panel><iteminfomode>0</iteminfomode></panel>
  <window><main><position><X>300</X><Y>100</Y></position><size><X>260</X><Y>500</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>{tabs}
</Root>"""


class Panel:
    def __init__(self, s, drive):
        self.s, self.drive = s, drive
        self.proc = drive.start()
        self.panel = s.wait_window("TviewFrm", "-", 20000)
        assert self.panel is not None, "no panel"
        self.hwnd = str(self.panel["hwnd"])
        assert wait_until(lambda: s.driver_json("info", self.hwnd)["visible"])
        # The drop targets come with the pictures, after the panel shows; OLE
        # marks a registered target with this property.
        tree = str(self.visible("KestroItemTree")["hwnd"])
        assert wait_until(lambda: s.driver("prop", tree, "OleDropTargetInterface")[0] == 0, 20), "no drop target"

    def visible(self, cls):
        for n in range(8):
            w = self.s.driver_json("child", self.hwnd, cls, str(n))
            if w is None:
                return None
            if w["visible"]:
                return w
        return None

    def row(self, index, down=0.5):
        """A screen point `down` of the way into row `index` of the shown tree, rows of 20 above it."""
        left, top, _, _ = self.visible("KestroItemTree")["rect"]
        return left + 80, top + int(index * ROW + ROW * down)

    def click(self, x, y):
        self.s.driver("click", str(x), str(y))
        time.sleep(0.3)

    def command(self, entry):
        frame = self.visible("KestroVstFrame")
        self.s.driver("post", str(frame["hwnd"]), str(WM_COMMAND), str(entry), "0")

    def tab(self, index):
        left, top, right, _ = self.s.driver_json("child", self.hwnd, "KestroTabStrip")["rect"]
        return (left + right) // 2, top + 32 * index + 16  # one-letter captions: tabs 32 long

    def exit(self):
        self.drive.request_exit()
        assert wait_exit(self.proc, 15) is not None, "the program did not end"


def _choose_files(s, text):
    dialog = s.wait_window("#32770", "Open", 15000)
    assert dialog is not None, "no file dialog"
    edit = s.driver_json("child", str(dialog["hwnd"]), "Edit")
    s.driver("settext", str(edit["hwnd"]), text)
    s.driver("key", "13")
    assert s.window_gone("#32770", dialog["caption"], 10000), "the file dialog stayed"
    time.sleep(0.3)


def _answer(s, button, text):
    box = s.message_box(10000)
    assert box is not None, "no message box"
    assert box["text"] == text, box
    s.driver("press", str(box["hwnd"]), button)
    assert s.window_gone("#32770", box["caption"], 10000)
    time.sleep(0.3)
    return box


def _items(element):
    """Names of the items under a files element; groups as (name, [children])."""
    out = []
    for e in element:
        if e.tag == "separator":
            out.append("-")
        elif e.tag == "files":
            out.append((e.get("name"), _items(e)))
        else:
            out.append(e.get("name") if e.tag == "file" else "folder:" + e.get("name"))
    return out


def test_items_are_added_deleted_moved_and_dropped_in_from_another_program():
    with WineSession("editing") as s:
        drive = KestroDrive(s, "r")
        for name in ("a.txt", "b.txt", "c.txt", "d1.exe"):
            (drive.root / name).write_text("x")
        (drive.root / "dfolder").mkdir()
        drive.write_xml(_document())
        s.start()
        p = Panel(s, drive)
        # Rows: one, grp, inner, two, old.
        p.click(*p.row(1))
        p.command(ADD_FILE)
        _choose_files(s, '"a.txt" "b.txt"')  # into the focused group, in their order
        # one, grp, inner, a.txt, b.txt, two, old
        p.click(*p.row(0))
        p.command(ADD_FILE)
        _choose_files(s, "c.txt")  # right after the focused file
        # one, c.txt, grp, inner, a.txt, b.txt, two, old
        p.command(ADD_FILE)
        dialog = s.message_box(15000)
        s.driver("press", str(dialog["hwnd"]), "Cancel")
        assert s.window_gone("#32770", dialog["caption"], 10000)
        p.click(*p.row(6))
        p.command(ADD_LINE)  # after "two"
        # one, c.txt, grp, inner, a.txt, b.txt, two, -, old (the separator is 6 high)
        old = (p.row(7)[0], p.row(7)[1] + 6)
        p.click(*old)
        s.driver("key", "46")  # Delete on a group asks first
        group_text = "This is Group icon. Do you want to remove subitem with this group?"
        _answer(s, "No", group_text)
        p.click(*old)
        s.driver("key", "46")
        _answer(s, "Yes", group_text)
        p.click(*p.row(6))
        p.command(DELETE)  # the popup's entry does not ask
        assert s.message_box(1500) is None, "the popup's delete asked"
        # one, c.txt, grp, inner, a.txt, b.txt, -
        s.driver("drag", *map(str, p.row(1) + p.row(2)))  # c.txt into the group
        time.sleep(1)
        # one, grp, inner, a.txt, b.txt, c.txt, -
        s.driver("drag", *map(str, p.row(0) + p.tab(1)))  # "one" onto tab B
        time.sleep(1)
        p.click(*p.tab(0))
        # grp, inner, a.txt, b.txt, c.txt, -: the group dropped inside itself stays
        s.driver("drag", *map(str, p.row(0) + p.row(2)))
        time.sleep(1)
        # Another program drops a file and a folder on the lower half of b.txt.
        x, y = p.row(3, 0.85)
        rc, out = s.driver_tool("dragfiles", str(x), str(y), "R:\\d1.exe", "R:\\dfolder")
        assert rc == 0 and out.strip() == "1", (rc, out)  # copy
        time.sleep(0.5)

        # "탭 삭제" on C, which holds an item, asks on two lines.
        p.click(*p.tab(2))
        p.command(TAB_DELETE)
        box = _answer(s, "No", "Deleting current tab will Remove subitem.\r\nReally Delete?")
        assert box["caption"] == "Warnning!!"
        p.command(TAB_DELETE)
        _answer(s, "Yes", "Deleting current tab will Remove subitem.\r\nReally Delete?")
        p.exit()

        tabs = drive.xml_root().find("tabs")
        assert [t.get("name") for t in tabs] == ["A", "B"]
        assert _items(tabs[0].find("files")) == [
            ("grp", ["inner", "a.txt", "b.txt", "folder:dfolder", "d1.exe", "c.txt"]), "-"]
        assert _items(tabs[1].find("files")) == ["one"]
        paths = {e.get("name"): e.findtext("path") for e in tabs[0].iter() if e.get("name")}
        assert paths["a.txt"] == "a.txt" and paths["dfolder"] == "dfolder", paths


def test_tab_property_changes_font_colours_and_picture_and_refuses_other_pictures():
    tabs = """<tabs><tab name="A" tag="0"><files><file name="one"><path>one.exe</path></file></files></tab></tabs>"""
    with WineSession("tabprop") as s:
        drive = KestroDrive(s, "r")
        import subprocess
        subprocess.run(["convert", "-size", "40x40", "xc:#ffe0c0", "BMP3:" + str(drive.root / "back.bmp")],
                       check=True)
        (drive.root / "pic.png").write_bytes(b"\x89PNG")
        drive.write_xml(_document(tabs))
        s.start()
        p = Panel(s, drive)
        p.command(TAB_ATTRIBUTE)
        dialog = s.wait_window("#32770", "Tab Property", 10000)
        assert dialog is not None, "no tab property dialog"
        d = str(dialog["hwnd"])
        s.driver("settext", str(s.driver_json("child", d, "Edit")["hwnd"]), "Tools")
        combo = s.driver_json("child", d, "ComboBox")
        s.driver("send", str(combo["hwnd"]), str(CB_SETCURSEL), "0", "0")
        s.driver("send", d, str(WM_COMMAND), str((CBN_SELCHANGE << 16) | IDC_TABENV_FONT), str(combo["hwnd"]))
        assert s.driver("send", str(combo["hwnd"]), str(CB_GETCOUNT), "0", "0")[1].strip() != "0", "no fonts"

        def colour(button, rgb):
            s.driver("press", d, button)
            chooser = s.wait_window("#32770", "Color", 10000)
            assert chooser is not None, "no colour dialog"
            c = str(chooser["hwnd"])
            # Each channel typed in updates the hue, saturation and lightness
            # boxes, which round the others: a grey set twice holds.
            for _ in range(2):
                for item, value in zip((706, 707, 708), rgb):  # the red, green and blue boxes
                    s.driver("settext", str(s.driver_json("item", c, str(item))["hwnd"]), str(value))
            s.driver("press", c, "OK")
            assert s.window_gone("#32770", "Color", 10000)
        colour("TextColor", (200, 0, 0))
        colour("SubTextColor", (0, 128, 0))
        colour("BackColor", (0, 0, 255))

        s.driver("press", d, "...")
        _choose_files(s, "R:\\back.bmp")
        s.driver("press", d, "R:\\back.bmp")
        _choose_files(s, "R:\\pic.png")
        _answer(s, "OK", "Unsupported Format!")
        s.driver("press", d, "O K")
        assert s.window_gone("#32770", "Tab Property", 10000)
        time.sleep(0.3)
        p.exit()

        tab = drive.xml_root().find("tabs/tab")
        assert tab.get("name") == "Tools"
        # The first font of the list, never a vertical one.
        font = tab.findtext("fontname")
        assert font and not font.startswith("@"), font
        # Colours are stored as 0x00BBGGRR.
        assert int(tab.findtext("textcolor")) == 0x0000C8, ET.tostring(tab)
        assert int(tab.findtext("textcolor2")) == 0x008000
        assert int(tab.findtext("backcolor")) == 0xFF0000
        # The unsupported picture changed nothing: the bitmap chosen before stays.
        assert tab.findtext("backimage") == "back.bmp"
