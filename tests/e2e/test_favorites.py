"""Favorites while Kestro runs: the redirect to the drive and back with its backups, the repair after a
kill, the copies both ways, the favorites tab with its shortcut files, and the tab kept in Kestro.xml."""
import time

from kestro import KestroDrive, wait_exit, wait_until
from wine import WineSession

WM_COMMAND = 0x0111
CMD_FAVORITE_TAB, CMD_USE_PC, CMD_USE_USB, CMD_PC_TO_USB, CMD_USB_TO_PC = 1007, 1014, 1015, 1016, 1017
POP_ADD_URL = 1015
SHELL = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"
USER = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders"
BUSY = "Program is on progress. Do not Terminate!"  # english.lng on this host
DRIVE_FOLDER = "R:\\kestro_favorites"

DOC = """<?xml version="1.0"?>
<Root><panel><showonstartup>True</showonstartup></panel>
  <window><main><position><X>600</X><Y>100</Y></position><size><X>260</X><Y>500</Y></size></main></window>
  <addetc>{addetc}</addetc><tabs><tab name="A" tag="0"><files/></tab></tabs></Root>"""


def value(s, key, name):
    """(type, data) of a value as `reg query` shows it; None when missing."""
    r = s.run("reg", "query", key, "/v", name)
    if r.returncode != 0:
        return None
    for line in r.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) >= 2 and parts[0].lower() == name.lower() and parts[1].startswith("REG_"):
            return parts[1], parts[2] if len(parts) == 3 else ""
    return None


def favorites(s):
    return {k: (value(s, k, "Favorites"), value(s, k, "Favorites.bak")) for k in (SHELL, USER)}


def unix_path(s, win):
    return s.prefix / "dosdevices" / win[:2].lower() / win[3:].replace("\\", "/")


def boxes_until(s, wanted, seconds=60):
    """Answers message boxes until one whose text holds `wanted` was seen; the texts seen."""
    seen = []
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline and not any(wanted in t for t in seen):
        box = s.message_box(2000)
        # The URL dialog is a dialog box too: it is left open for the test.
        if box is None or box["caption"] == "Url Property":
            time.sleep(0.1)
            continue
        seen.append(box["text"])
        s.driver("post", str(box["hwnd"]), str(WM_COMMAND), "2", "0")  # IDCANCEL closes an OK box
        s.window_gone("#32770", box["caption"] or "-", 5000)
    return seen


def url_dialog(s, frame):
    s.driver("post", str(frame["hwnd"]), str(WM_COMMAND), str(POP_ADD_URL), "0")
    dlg = s.wait_window("#32770", "Url Property", 10000)
    assert dlg is not None, ("no URL dialog", s.visible_windows())
    return dlg


def fill(s, dlg, title, address):
    for control, text in ((903, title), (905, address)):
        edit = s.driver_json("item", str(dlg["hwnd"]), str(control))
        s.driver("settext", str(edit["hwnd"]), text)


def test_favorites_travel_with_the_drive_and_the_pc_gets_them_back():
    with WineSession("favorites") as s:
        drive = KestroDrive(s, "r")
        s.start()
        original = favorites(s)
        assert original[USER][0][0] == "REG_EXPAND_SZ" and "%USERPROFILE%" in original[USER][0][1], original
        pc = original[SHELL][0][1]
        pc_dir = unix_path(s, pc)
        (pc_dir / "Links").mkdir(parents=True, exist_ok=True)
        (pc_dir / "Links" / "a.url").write_bytes(b"[InternetShortcut]\r\nURL=http://a.example/\r\n")
        (pc_dir / "b.url").write_bytes(b"[InternetShortcut]\r\nURL=http://b.example/\r\n")
        # Enough files that the copy is still running when the exit is asked for.
        bulk = pc_dir / "Bulk"
        bulk.mkdir(exist_ok=True)
        for i in range(4000):
            (bulk / f"{i}.url").write_bytes(b"[InternetShortcut]\r\nURL=http://x/\r\n")

        # A start with the option: both values name the drive's folder, the backups hold the originals.
        drive.write_xml(DOC.format(addetc="<startuseupfavorite>True</startuseupfavorite>"))
        proc, _ = drive.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 20000)
        assert panel is not None
        now = favorites(s)
        assert now[SHELL] == (("REG_SZ", DRIVE_FOLDER), original[SHELL][0]), now
        assert now[USER] == (("REG_SZ", DRIVE_FOLDER), original[USER][0]), now
        assert (drive.root / "kestro_favorites").is_dir(), "redirected to a folder that is not there"

        # PC->USB: the exit is refused while it copies, then the tree is on the drive.
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_PC_TO_USB), "0")
        s.run(drive.exe_win, "-EXIT", timeout=60)
        seen = boxes_until(s, "PC->USB Success!", 120)
        assert BUSY in seen, seen
        assert seen[-1] == "PC->USB Success!", seen
        assert proc.poll() is None, "Kestro ended during the copy"
        copied = drive.root / "kestro_favorites"
        assert (copied / "Links" / "a.url").read_bytes() == (pc_dir / "Links" / "a.url").read_bytes()
        assert len(list((copied / "Bulk").iterdir())) == 4000

        # "URL추가" on the folder Links (the first row, folders come first): the file and its lines.
        tree = _visible(s, panel, "KestroItemTree")
        left, top = tree["rect"][0], tree["rect"][1]
        s.driver("click", str(left + 60), str(top + 18))
        time.sleep(0.3)
        dlg = url_dialog(s, _visible(s, panel, "KestroVstFrame"))
        # An empty title and a path-like one are refused, the dialog stays.
        fill(s, dlg, "", "http://news.example/")
        s.driver("press", str(dlg["hwnd"]), "Append")  # english.lng's button
        assert boxes_until(s, "제목를 넣어주세요", 15)[-1] == "제목를 넣어주세요"
        fill(s, dlg, "..\\up", "http://news.example/")
        s.driver("press", str(dlg["hwnd"]), "Append")  # english.lng's button
        assert "cannot name a file" in boxes_until(s, "cannot name a file", 15)[-1]
        assert not list(drive.root.glob("*.url")), "a path-like title wrote a file"
        fill(s, dlg, "News", "http://news.example/")
        s.driver("press", str(dlg["hwnd"]), "Append")  # english.lng's button
        assert s.window_gone("#32770", "Url Property", 10000)
        news = copied / "Links" / "News.url"
        assert wait_until(news.exists), ("no News.url", list(copied.rglob("News.url")))
        assert news.read_bytes().splitlines()[:2] == [b"[InternetShortcut]", b"URL=http://news.example/"]

        # USB->PC with a missing target: refused, nothing written.
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_USE_PC), "0")
        assert wait_until(lambda: value(s, SHELL, "Favorites") == original[SHELL][0])
        s.run("reg", "add", SHELL, "/v", "Favorites", "/d", "C:\\gone\\Favorites", "/f")
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_USB_TO_PC), "0")
        refusal = boxes_until(s, "were not copied", 15)
        assert "C:\\gone\\Favorites does not exist" in refusal[-1], refusal
        assert not unix_path(s, "C:\\gone").exists()
        s.run("reg", "add", SHELL, "/v", "Favorites", "/d", pc, "/f")
        s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_USE_USB), "0")
        assert wait_until(lambda: value(s, USER, "Favorites") == ("REG_SZ", DRIVE_FOLDER))

        # The exit puts the originals back with their types and removes the backups; the tab is kept.
        assert drive.request_exit() == 0
        assert wait_exit(proc, 30) is not None
        assert favorites(s) == original
        tabs = drive.xml_root().find("tabs")
        assert [t.get("tag") for t in tabs] == ["0", "2"]

        # Killed while redirected; the next start without the option repairs, and shows the folder.
        proc, _ = drive.start_and_wait_ready()
        assert wait_until(lambda: value(s, SHELL, "Favorites") == ("REG_SZ", DRIVE_FOLDER))
        proc.kill()
        assert wait_exit(proc, 30) is not None
        drive.write_xml(drive.xml_path.read_text(encoding="utf-8").replace(
            "<startuseupfavorite>True</startuseupfavorite>", ""))
        proc, _ = drive.start_and_wait_ready()
        assert s.wait_window("TviewFrm", "-", 20000) is not None
        assert wait_until(lambda: favorites(s)[SHELL][0] == original[SHELL][0])
        assert favorites(s)[USER][0] == original[USER][0]
        assert drive.request_exit() == 0
        assert wait_exit(proc, 30) is not None
        assert favorites(s) == original
        fav_tab = [t for t in drive.xml_root().find("tabs") if t.get("tag") == "2"]
        assert fav_tab, "the favorites tab was lost"
        names = [f.get("name") for f in fav_tab[0].iter("folder")]
        assert "Links" in names and "Bulk" in names, names


def _visible(s, panel, cls):
    """The shown child of that class (the favorites tab is the active one)."""
    for skip in range(4):
        w = s.driver_json("child", str(panel["hwnd"]), cls, str(skip))
        if w is None:
            break
        if w["visible"]:
            return w
    raise AssertionError(("no visible " + cls, s.visible_windows()))
