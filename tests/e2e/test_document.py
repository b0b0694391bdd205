"""Kestro.xml in a legacy encoding, what cannot be kept, and a save that fails."""
import shutil
import time
import xml.etree.ElementTree as ET

from kestro import KestroDrive, wait_exit
from wine import WineSession

# Written in the Korean host's code page, with a DOCTYPE over several lines,
# a control character in a name and a second document element.
EUC_KR = ('<?xml version="1.0" encoding="euc-kr"?>\r\n'
          '<!DOCTYPE Root [\r\n<!ELEMENT Root ANY>\r\n]>\r\n'
          '<Root><panel><title>한글 도구</title></panel>'
          '<tabs><tab name="프로그램" tag="0"><files>'
          '<file name="메모장&#1;"><path>Apps\\np.exe</path></file></files></tab></tabs>'
          '</Root>\r\n<Root/>')


def panel_title(s):
    panel = s.wait_window("TviewFrm", "-", 20000)
    return panel and panel["caption"]


def test_euc_kr_document_is_read_reported_once_and_written_back_as_utf8_and_a_failed_save_is_told():
    with WineSession("euc-kr", korean=True) as s:
        drive = KestroDrive(s, "r")
        original = EUC_KR.encode("euc-kr")
        drive.write_xml(original)
        s.start()
        proc = drive.start()
        box = s.message_box(20000)
        assert box is not None, "no notice about what cannot be kept"
        assert box["caption"] == "Notice", box
        assert "a second document element <Root>" in box["text"], box
        assert "1 control character(s)" in box["text"], box
        s.driver("press", str(box["hwnd"]), box["buttons"][0])
        assert panel_title(s) == "한글 도구", "the Korean title of the euc-kr document"
        drive.request_exit()
        assert wait_exit(proc, 10) is not None
        assert (drive.folder / "Kestro.xml.bad").read_bytes() == original

        written = drive.xml_path.read_bytes()
        assert written.startswith(b'<?xml version="1.0" encoding="UTF-8"?>\r\n'), written[:60]
        text = written.decode("utf-8")  # strict: every byte is UTF-8
        assert "<!DOCTYPE Root [\r\n<!ELEMENT Root ANY>\r\n]>\r\n" in text, text[:200]
        assert "\r\r" not in text
        root = ET.fromstring(written)  # expat refuses what is not well-formed
        assert root.find("panel/title").text == "한글 도구"
        assert root.find("tabs/tab").get("name") == "프로그램"
        assert root.find("tabs/tab/files/file").get("name") == "메모장"

        # The next start has nothing to report.
        proc = drive.start()
        assert panel_title(s) == "한글 도구"
        assert s.message_box(1500) is None, "the notice came again"
        assert not (drive.folder / "Kestro.xml.bad1").exists()

        # A folder where the temporary file goes: the exit says so and Kestro
        # runs on; with the folder gone the next exit saves.
        blocker = drive.folder / "Kestro.xml.tmp"
        blocker.mkdir()
        (blocker / "inside").write_text("x")
        drive.request_exit()
        box = s.message_box(20000)
        assert box is not None, "a failed save was not told"
        assert box["caption"] == "Notice", box
        assert "R:\\Kestro.xml could not be saved." in box["text"], box
        assert "R:\\Kestro.xml.tmp: " in box["text"], box
        s.driver("press", str(box["hwnd"]), box["buttons"][0])
        time.sleep(1.0)
        assert proc.poll() is None, "Kestro ended after a failed save"
        assert panel_title(s) == "한글 도구"
        shutil.rmtree(blocker)
        drive.request_exit()
        assert wait_exit(proc, 10) is not None, "the second exit did not end Kestro"
        assert ET.fromstring(drive.xml_path.read_bytes()).find("panel/title").text == "한글 도구"
        assert not blocker.exists()
