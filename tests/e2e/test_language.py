"""The English language file that Kestro.exe carries."""
from kestro import KestroDrive, wait_exit
from wine import ROOT, WineSession


def _cycle(s, drive):
    proc, _ = drive.start_and_wait_ready()
    drive.request_exit()
    assert wait_exit(proc, 10) is not None


def test_english_lng_is_written_byte_for_byte_on_first_start():
    with WineSession("english-lng") as s:
        drive = KestroDrive(s, "r", subfolder="Apps/Kestro")
        s.start()
        _cycle(s, drive)
        written = (drive.folder / "english.lng").read_bytes()
        assert written == (ROOT / "resources" / "english.lng").read_bytes()


def test_english_lng_of_the_user_is_kept():
    mine = b"[Language]\r\nName=My English\r\n"
    with WineSession("english-kept") as s:
        drive = KestroDrive(s, "r")
        (drive.folder / "english.lng").write_bytes(mine)
        s.start()
        _cycle(s, drive)
        assert (drive.folder / "english.lng").read_bytes() == mine


def test_korean_host_starts_and_writes_english_lng():
    with WineSession("korean-host", korean=True) as s:
        drive = KestroDrive(s, "r")
        s.start()
        _cycle(s, drive)
        assert (drive.folder / "english.lng").exists()
        assert drive.xml_root().tag == "Root"
