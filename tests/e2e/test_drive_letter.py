"""The drive's fixed letter and the device notifications: a move Wine refuses, a letter that is taken, the
AutoPlay prompt of the pinned drive after an arrival, and the end after the drive was pulled out."""
import time

from kestro import KestroDrive, wait_exit, wait_until
from wine import WIN_BUILD, WineSession

DBT_DEVICEARRIVAL, DBT_DEVICEREMOVECOMPLETE = 0x8000, 0x8004
DESKTOP = "HKCU\\Control Panel\\Desktop"

DOC = """<?xml version="1.0"?>
<Root><panel><showonstartup>True</showonstartup><language>english.lng</language></panel>
  <start><usefixdrive>True</usefixdrive><fixdrivename>{letter}</fixdrivename></start>
  <wallpaper><changewallpaper>True</changewallpaper><wallpapername>pics\\w.bmp</wallpapername></wallpaper>
  <addetc><usballexit>True</usballexit></addetc>
  <tabs><tab name="A" tag="0"><files><file name="n"><path>tools\\probe.exe</path></file></files></tab></tabs>
</Root>"""


def wallpaper(s):
    r = s.run("reg", "query", DESKTOP, "/v", "Wallpaper")
    for line in r.stdout.decode("utf-8", "replace").splitlines():
        parts = line.strip().split(None, 2)
        if len(parts) == 3 and parts[0] == "Wallpaper":
            return parts[2]
    return None


def test_a_move_wine_refuses_leaves_kestro_on_its_letter_and_it_exits_and_saves_normally():
    with WineSession("letter-refused") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        drive.write_xml(DOC.format(letter="K:"))
        s.start()
        s.run("reg", "add", DESKTOP, "/v", "Wallpaper", "/d", "C:\\mine.bmp", "/f")
        proc = drive.start()
        # Wine cannot move a volume: the start says so and goes on.
        box = s.message_box(30000)
        assert box is not None, "no notice about the refused move"
        assert box["caption"] == "Notice", box
        assert box["text"].startswith("Kestro could not move its drive to K: and stays on R:.\r\n"), box
        s.driver("press", str(box["hwnd"]), box["buttons"][0].replace("&", ""))
        assert s.wait_window("-", "kestro-a", 20000) is not None
        # Every path still names R:, and no temporary K: is left behind.
        assert wait_until(lambda: wallpaper(s) == "R:\\pics\\w.bmp", 20), wallpaper(s)
        assert s.driver("dosdevice", "K:")[0] == 1, s.driver("dosdevice", "K:")
        assert s.driver("drivetype", "K:\\")[1].strip() == "1"
        assert s.driver("drivetype", "R:\\")[1].strip() == "2"
        before = drive.xml_path.read_bytes()
        drive.request_exit()
        assert wait_exit(proc, 15) is not None, "Kestro did not end"
        after = drive.xml_path.read_bytes()
        assert after != before, "Kestro.xml was not saved at the exit"
        root = drive.xml_root()
        assert root.findtext("start/fixdrivename") == "K:"
        assert root.findtext("wallpaper/wallpapername") == "pics\\w.bmp"
        assert wallpaper(s) == "C:\\mine.bmp", "the wallpaper was not put back"


def test_a_taken_letter_the_autoplay_prompt_and_the_pulled_drive():
    with WineSession("letter-devices") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        drive.write_xml(DOC.format(letter="Q:"))
        other = s.folder("drive-q")
        s.map_drive("q", other)
        (other / "autorun.inf").write_bytes(b"[AutoRun]\r\nopen=x.exe\r\nLabel=PINNED\r\n")
        s.start()
        s.run("reg", "add", DESKTOP, "/v", "Wallpaper", "/d", "C:\\mine.bmp", "/f")
        proc = drive.start()
        # The wanted letter is taken: message "03" names both letters on two lines.
        box = s.message_box(30000)
        assert box is not None, "no message about the taken letter"
        assert box["caption"] == "Notice", box
        assert box["text"] == "Selected Q: is using with other Apps!\r\nSo Current Drive R: will be selected!", box
        s.driver("press", str(box["hwnd"]), box["buttons"][0].replace("&", ""))
        main = s.wait_window("-", "kestro-a", 20000)
        assert main is not None
        assert wait_until(lambda: wallpaper(s) == "R:\\pics\\w.bmp", 20), wallpaper(s)
        hwnd = str(main["hwnd"])

        # A device arrives: the prompt titled with the pinned drive's label is closed.
        assert s.driver("device", hwnd, str(DBT_DEVICEARRIVAL), "Q")[0] == 0
        log = s.dir / "prompt.log"
        prompt = s.spawn(WIN_BUILD / "tools" / "kdriver.exe", "prompt", "PINNED (Q:)", "15000", log=log)
        assert wait_exit(prompt, 20) is not None
        assert "closed" in log.read_text(), "the AutoPlay prompt was not closed"
        assert prompt.returncode == 0

        # Another drive leaves: nothing happens.
        assert s.driver("unmount", "q")[0] == 0
        assert s.driver("device", hwnd, str(DBT_DEVICEREMOVECOMPLETE), "Q")[0] == 0
        assert wait_exit(proc, 5) is None, "Kestro ended when another drive left"

        # Kestro's own drive is pulled out: it ends about 3 s later, writes
        # nothing and puts the host back.
        before = drive.xml_path.read_bytes()
        assert s.driver("unmount", "r")[0] == 0
        assert s.driver("drivetype", "R:\\")[1].strip() == "1"
        assert s.driver("device", hwnd, str(DBT_DEVICEREMOVECOMPLETE), "R")[0] == 0
        posted = time.monotonic()
        assert wait_exit(proc, 15) is not None, "Kestro did not end after its drive was pulled out"
        took = time.monotonic() - posted
        assert 2.5 <= took <= 10, took
        assert drive.xml_path.read_bytes() == before, "Kestro.xml changed after the drive was pulled out"
        assert wallpaper(s) == "C:\\mine.bmp", "the wallpaper was not put back"
