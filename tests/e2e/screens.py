"""Screenshots of the panel, for a person to look at: build/screens/*.png.

  python3 tests/e2e/screens.py

The system information tab with its external address from a local echo
server (sysinfo.png), the autorun.inf editor (autorun.png) and the about box
(about.png).

The favorites tab (favorites.png) and its URL dialog (url-property.png).

The property dialogs: a file item on both pages with the macro list open
(property-file.png, property-file-addition.png), a folder item
(property-folder.png) and a group (group.png).

The settings dialog's six pages (settings-1.png ... settings-6.png), filled
from a Kestro.xml that sets something on every page.

Besides the 96-DPI pictures it shows the panel on screens at 96, 144 and 192
DPI (panel-<dpi>dpi-big.png, -small.png, tab-name-<dpi>dpi.png): the same
panel, every row, text and the tab strip grown with the screen.
"""
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from kestro import KestroDrive  # noqa: E402
from wine import BUILD, WineSession  # noqa: E402

WM_COMMAND = 0x0111
WM_CLOSE = 0x0010
CMD_SMALLICON = 1006
CMD_TABADD = 1023
TAB_ATTRIBUTE = 1011  # the item tree popup's "탭 설정"
FAV_ADD_URL = 1015  # the favorites popup's "URL추가"
DPIS = (96, 144, 192)

DOCUMENT = """<?xml version="1.0"?>
<Root>
  <panel><title>Kestro</title><iteminfomode>0</iteminfomode><tooltip>True</tooltip><freespacebar>True</freespacebar>
  </panel>
  <window><main><position><X>300</X><Y>80</Y></position><size><X>300</X><Y>560</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs>
    <tab name="Tools" tag="0"><backcolor>-16777211</backcolor><fontname>Tahoma</fontname><backimage>back.jpg</backimage>
      <textcolor>-16777208</textcolor><textcolor2>8421504</textcolor2><bigicon>True</bigicon><files>
      <file name="Notepad"><path>C:\\windows\\notepad.exe</path><addexplain>Text editor</addexplain></file>
      <file name="Probe"><path>Apps\\probe.exe</path><parameters>--demo</parameters></file>
      <separator/>
      <files name="System" expanded="True">
        <file name="Registry editor"><path>C:\\windows\\regedit.exe</path></file>
        <file name="Command prompt"><path>C:\\windows\\system32\\cmd.exe</path></file>
      </files>
      <folder name="Documents"><path>Docs</path></folder>
    </files></tab>
    <tab name="Games" tag="0"><files><file name="Solitaire"><path>C:\\windows\\sol.exe</path></file></files></tab>
    <tab name="Office" tag="0"><files/></tab>
  </tabs>
</Root>
"""


def prepare(s):
    drive = KestroDrive(s, "r")
    drive.copy_tool("probe.exe", "Apps/probe.exe")
    (drive.root / "Docs").mkdir()
    # A pale photo behind the first tab's tree.
    subprocess.run(["convert", "-size", "300x300", "gradient:#fffbe8-#dfe9ff", str(drive.root / "back.jpg")],
                   check=True)
    return drive


def crop(shot, rect, path, margin=4):
    left, top, right, bottom = rect
    left, top = max(0, left - margin), max(0, top - margin)
    geometry = f"{right - left + margin}x{bottom - top + margin}+{left}+{top}"
    subprocess.run(["convert", str(shot), "-crop", geometry, "+repage", str(path)], check=True)
    shot.unlink()


def dpi_screens(out, dpi):
    """The panel on a screen at `dpi`, sized as a user there would have it."""
    scale = dpi / 96
    doc = DOCUMENT.replace("<X>300</X><Y>80</Y>", "<X>20</X><Y>20</Y>").replace(
        "<X>300</X><Y>560</Y>", f"<X>{round(260 * scale)}</X><Y>{round(330 * scale)}</Y>")
    with WineSession(f"screens-{dpi}", dpi=dpi) as s:
        drive = prepare(s)
        drive.write_xml(doc)
        s.start()
        proc = drive.start()
        s.wait_window("TviewFrm", "-", 20000)
        time.sleep(3)  # the pictures arrive in the background
        panel = s.wait_window("TviewFrm", "-", 5000)  # where the start placed it
        shot = s.dir / "shot.png"
        s.screenshot(shot)
        crop(shot, panel["rect"], out / f"panel-{dpi}dpi-big.png")
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_SMALLICON), "0")
        time.sleep(1)
        s.screenshot(shot)
        crop(shot, panel["rect"], out / f"panel-{dpi}dpi-small.png")
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_TABADD), "0")
        dialog = s.wait_window("#32770", "-", 10000)
        if dialog:
            time.sleep(0.5)
            s.screenshot(shot)
            crop(shot, dialog["rect"], out / f"tab-name-{dpi}dpi.png")
            s.driver("post", str(dialog["hwnd"]), str(WM_CLOSE), "0", "0")
            s.window_gone("#32770", "-", 10000)
        drive.request_exit()
        proc.wait(timeout=30)


def property_screens(out):
    """The property dialogs of a file, a folder and a group, as F2 opens them."""
    with WineSession("screens-properties") as s:
        drive = prepare(s)
        drive.write_xml(DOCUMENT.replace("<bigicon>True</bigicon>", ""))
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        time.sleep(3)  # the pictures arrive in the background
        tree = s.driver_json("child", str(panel["hwnd"]), "KestroItemTree")
        shot = s.dir / "shot.png"

        def open_row(y):
            s.driver("click", str(tree["rect"][0] + 60), str(tree["rect"][1] + y))
            time.sleep(0.3)
            s.driver("key", "113")  # F2
            return s.wait_window("#32770", "-", 10000)

        def close(dialog):
            s.driver("post", str(dialog["hwnd"]), str(WM_CLOSE), "0", "0")
            s.window_gone("#32770", "-", 10000)

        # Rows are 20 pixels high, the separator line's row less.
        dialog = open_row(30)  # Probe
        if dialog:
            s.driver("press", str(dialog["hwnd"]), "Env ValueList")
            macros = s.wait_window("#32770", " Env ValueList", 10000)
            time.sleep(0.5)
            s.screenshot(shot)
            bottom = macros["rect"][3] if macros else dialog["rect"][3]
            crop(shot, (*dialog["rect"][:3], bottom), out / "property-file.png")
            tabs = s.driver_json("child", str(dialog["hwnd"]), "SysTabControl32")
            s.driver("click", str(tabs["rect"][0] + 60), str(tabs["rect"][1] + 10))
            time.sleep(0.5)
            s.screenshot(shot)
            crop(shot, dialog["rect"], out / "property-file-addition.png")
            close(dialog)
        for y, name in ((115, "property-folder.png"), (55, "group.png")):  # Documents, System
            dialog = open_row(y)
            if dialog:
                time.sleep(0.5)
                s.screenshot(shot)
                crop(shot, dialog["rect"], out / name)
                close(dialog)
        drive.request_exit()
        proc.wait(timeout=30)


def tools_screens(out):
    """The system information tab, the autorun.inf editor and the about box."""
    from test_tools import CMD_AUTORUNINF, CMD_INTRO, SYSINFO_DOCUMENT, EchoServer
    echo = EchoServer()
    try:
        with WineSession("screens-tools") as s:
            drive = KestroDrive(s, "r")
            drive.write_xml(SYSINFO_DOCUMENT.replace("<tabindex>0</tabindex>", "<tabindex>1</tabindex>"))
            s.env["http_proxy"] = f"http://127.0.0.1:{echo.port}"
            s.start()
            proc = drive.start()
            panel = s.wait_window("TviewFrm", "-", 20000)
            time.sleep(3)
            panel = s.wait_window("TviewFrm", "-", 5000)
            shot = s.dir / "shot.png"
            s.screenshot(shot)
            crop(shot, panel["rect"], out / "sysinfo.png")
            for command, caption, name in ((CMD_AUTORUNINF, "Autorun.inf", "autorun.png"),
                                           (CMD_INTRO, "Kestro?", "about.png")):
                s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(command), "0")
                dialog = s.wait_window("#32770", caption, 10000)
                if dialog:
                    time.sleep(0.5)
                    s.screenshot(shot)
                    crop(shot, dialog["rect"], out / name)
                    s.driver("post", str(dialog["hwnd"]), str(WM_CLOSE), "0", "0")
                    s.window_gone("#32770", caption, 10000)
            drive.request_exit()
            proc.wait(timeout=30)
    finally:
        echo.close()


SETTINGS_DOCUMENT = """<?xml version="1.0"?>
<Root><panel><title>My drive</title><iteminfomode>4</iteminfomode><trans>230</trans><treeline>True</treeline>
  <freespacebar>True</freespacebar><language>Default(korea)</language>
  <useshortkey0>1</useshortkey0><mainkey0>0</mainkey0><subkey0>15</subkey0>
  <useshortkey2>1</useshortkey2><mainkey2>7</mainkey2><subkey2>16</subkey2></panel>
  <start><usefixdrive>True</usefixdrive><fixdrivename>R:</fixdrivename></start>
  <end><tryremovedrive>True</tryremovedrive><exituseprg>True</exituseprg><exittempprg>True</exittempprg></end>
  <icon><foldericon>Apps\\probe.exe</foldericon><iconmode>1</iconmode><driveiconfolder>icons</driveiconfolder></icon>
  <wallpaper><changewallpaper>True</changewallpaper><wallpapername>back.jpg</wallpapername><hideicon>True</hideicon>
  </wallpaper>
  <addetc><traymenutab>True</traymenutab><startuseupexelink>True</startuseupexelink></addetc>
  <window><main><position><X>40</X><Y>40</Y></position><size><X>250</X><Y>400</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs><tab name="Tools" tag="0"><files><file name="Probe"><path>Apps\\probe.exe</path></file></files></tab></tabs>
</Root>"""


def settings_screens(out):
    """Each page of the settings dialog, as the panel's "환경설정" opens it."""
    from test_settings import CMD_ENVSETTING, PAGES, TCM_SETCURFOCUS
    with WineSession("screens-settings", korean=True) as s:
        drive = prepare(s)
        (drive.root / "icons").mkdir()
        for letter, colour in (("R", "#3070c0"), ("E", "#c03030"), ("Z", "#30a040")):
            subprocess.run(["convert", "-size", "16x16", f"xc:{colour}", str(drive.root / "icons" / f"{letter}.ico")],
                           check=True)
        drive.write_xml(SETTINGS_DOCUMENT)
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        time.sleep(3)  # the pictures arrive in the background
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_ENVSETTING), "0")
        dialog = s.wait_window("#32770", "환경설정", 10000)
        if dialog:
            time.sleep(0.5)
            dialog = s.wait_window("#32770", "환경설정", 1000)
            pages = s.driver_json("item", str(dialog["hwnd"]), str(PAGES))
            shot = s.dir / "shot.png"
            for page in range(6):
                s.driver("send", str(pages["hwnd"]), str(TCM_SETCURFOCUS), str(page), "0")
                time.sleep(0.5)
                s.screenshot(shot)
                crop(shot, dialog["rect"], out / f"settings-{page + 1}.png")
            s.driver("post", str(dialog["hwnd"]), str(WM_COMMAND), "2", "0")
            s.window_gone("#32770", "-", 10000)


def favorites_screens(out):
    """The favorites tab filled from the drive's folder, and its URL dialog."""
    with WineSession("screens-favorites") as s:
        drive = KestroDrive(s, "r")
        fav = drive.root / "kestro_favorites"
        for folder in ("Links", "Daily"):
            (fav / folder).mkdir(parents=True)
        for name in ("Links/Search.url", "Daily/News.url", "Mail.url", "Maps.url"):
            (fav / name).write_bytes(b"[InternetShortcut]\r\nURL=http://example.org/\r\n")
        drive.write_xml(DOCUMENT.replace('<tab name="Office" tag="0"><files/></tab>',
                                         '<tab name="Favorite" tag="2"><bigicon>True</bigicon><files/></tab>')
                        .replace("<tabindex>0</tabindex>", "<tabindex>2</tabindex>"))
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        time.sleep(3)
        shot = s.dir / "shot.png"
        s.screenshot(shot)
        crop(shot, panel["rect"], out / "favorites.png")
        frames = [s.driver_json("child", str(panel["hwnd"]), "KestroVstFrame", str(i)) for i in range(3)]
        shown = [f for f in frames if f and f["visible"]]
        if shown:
            s.driver("post", str(shown[0]["hwnd"]), str(WM_COMMAND), str(FAV_ADD_URL), "0")
            dialog = s.wait_window("#32770", "Url Property", 10000)
            if dialog:
                time.sleep(0.5)
                s.screenshot(shot)
                crop(shot, dialog["rect"], out / "url-property.png")
                s.driver("post", str(dialog["hwnd"]), str(WM_CLOSE), "0", "0")
                s.window_gone("#32770", "Url Property", 10000)
        drive.request_exit()
        proc.wait(timeout=30)


def main():
    out = BUILD / "screens"
    out.mkdir(parents=True, exist_ok=True)
    with WineSession("screens") as s:
        drive = prepare(s)
        drive.write_xml(DOCUMENT)
        s.start()
        proc = drive.start()
        panel = s.wait_window("TviewFrm", "-", 20000)
        time.sleep(3)  # the pictures arrive in the background
        s.screenshot(out / "big-icons.png")
        left, top, _, _ = panel["rect"]
        s.driver("move", str(left + 90), str(top + 60 + 18))
        time.sleep(2)
        s.screenshot(out / "hint.png")
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_SMALLICON), "0")
        time.sleep(1)
        s.screenshot(out / "small-icons.png")
        frame = s.driver_json("child", str(panel["hwnd"]), "KestroVstFrame")
        s.driver("post", str(frame["hwnd"]), str(WM_COMMAND), str(TAB_ATTRIBUTE), "0")
        dialog = s.wait_window("#32770", "-", 10000)
        if dialog:
            time.sleep(0.5)
            shot = s.dir / "shot.png"
            s.screenshot(shot)
            crop(shot, dialog["rect"], out / "tab-property.png")
            s.driver("post", str(dialog["hwnd"]), str(WM_CLOSE), "0", "0")
            s.window_gone("#32770", "-", 10000)
        drive.request_exit()
        proc.wait(timeout=30)
    property_screens(out)
    settings_screens(out)
    favorites_screens(out)
    tools_screens(out)
    for dpi in DPIS:
        dpi_screens(out, dpi)
    print("\n".join(str(p) for p in sorted(out.glob("*.png"))))


if __name__ == "__main__":
    main()
