"""The system information tab, the autorun.inf editor and the about boxes."""
import http.server
import socket
import threading
import time

from kestro import KestroDrive, wait_exit, wait_until
from test_tray import Tray
from wine import WIN_BUILD, WineSession

WM_COMMAND, WM_NULL = 0x0111, 0x0000
CMD_SYSINFOTAB, CMD_AUTORUNINF, CMD_INTRO = 1009, 1018, 1022
IDOK, IDC_AUTOINF_MEMO = 1, 702
VK_RETURN, VK_ESCAPE, VK_UP = 0x0D, 0x1B, 0x26
ECHO_URL = "http://checkip.dyndns.org/"


class EchoServer:
    """Answers every request as the IP-echo page would, through it as a proxy
    (WinHTTP takes http_proxy from the environment); records each GET.
    With `stall` set it holds the answer back for that many seconds; `status`
    is the answer's HTTP status."""

    def __init__(self):
        self.gets = []
        self.stall = 0
        self.status = 200
        outer = self

        class Handler(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                # As a proxy gets it: the whole address, the port perhaps written out.
                outer.gets.append(self.path.replace(":80/", "/"))
                if outer.stall:
                    time.sleep(outer.stall)
                body = b"<html><head><title>Current IP Check</title></head><body>Current IP Address: 10.1.2.3</body></html>"
                try:
                    self.send_response(outer.status)
                    self.send_header("Content-Type", "text/html")
                    self.send_header("Content-Length", str(len(body)))
                    self.end_headers()
                    self.wfile.write(body)
                except OSError:
                    pass  # the client gave up

            def log_message(self, *args):
                pass

        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.server.daemon_threads = True
        self.port = self.server.server_address[1]
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


SYSINFO_DOCUMENT = """<?xml version="1.0"?>
<Root><panel><showonstartup>True</showonstartup></panel>
  <window><main><position><X>300</X><Y>20</Y></position><size><X>330</X><Y>700</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs>
    <tab name="A" tag="0"><files><file name="x"><path>x.exe</path></file></files></tab>
    <tab name="S" tag="3"/>
  </tabs>
</Root>"""


def _page(s, panel):
    return s.driver_json("child", str(panel), "KestroSysInfo")


def _page_text(s, panel):
    page = _page(s, panel)
    return page["caption"] if page else None


def _responsive(s, panel):
    """The panel answers a sent message at once (kdriver itself takes a moment)."""
    started = time.monotonic()
    s.driver("send", str(panel), str(WM_NULL), "0", "0", timeout=30)
    return time.monotonic() - started


def test_system_information_tab_is_gathered_off_the_ui_thread_with_one_request_per_creation():
    echo = EchoServer()
    try:
        with WineSession("sysinfo") as s:
            drive = KestroDrive(s, "r")
            s.map_drive("h", s.folder("fixed"))
            drive.write_xml(SYSINFO_DOCUMENT)
            s.env["http_proxy"] = f"http://127.0.0.1:{echo.port}"
            s.env.pop("no_proxy", None)
            s.start()
            proc, _ = drive.start_and_wait_ready()
            panel = s.wait_window("TviewFrm", "-", 10000)["hwnd"]
            assert wait_until(lambda: s.driver_json("info", str(panel))["visible"])
            # The stored tab gathers nothing until it is first shown.
            time.sleep(1)
            assert echo.gets == [] and _page(s, panel) is None

            # Its tab is the second of the strip (one-letter captions: 32 pixels each).
            strip = s.driver_json("child", str(panel), "KestroTabStrip")
            s.driver("click", str((strip["rect"][0] + strip["rect"][2]) // 2), str(strip["rect"][1] + 48))
            text = wait_until(lambda: (t := _page_text(s, panel)) and "External IP Address: 10.1.2.3" in t and t, 15)
            assert text, _page_text(s, panel)
            assert echo.gets == [ECHO_URL], echo.gets
            lines = text.split("\r\n")
            assert lines[0] == "USB Info: (R:)", lines
            assert lines[1].startswith("File System: ") and lines[2].startswith("Total Space: "), lines
            for fixed in ("PC Info", "CPU Info", "DisplayInfo", "Memory Info", "HDD Info", "Network Info",
                          "Resolution: 1024x768", "Color : 32bit"):
                assert fixed in lines, (fixed, lines)
            assert any(l.startswith("OS: ") and "-" in l for l in lines), lines
            assert any(l.startswith("Total Memory: ") and l.endswith("M") and len(l) > 15 for l in lines), lines
            # The fixed drives in letter order (Wine's Z: is the root folder);
            # never the program's removable drive.
            hdd = lines[lines.index("HDD Info") + 1:lines.index("Network Info")]
            assert [l[:2] for l in hdd] == ["C:", "H:", "Z:"], hdd
            assert all(" - " in l and "G( free: " in l and l.endswith("G )") for l in hdd), hdd
            assert lines[-2].startswith("Local IP Address: "), lines

            # Toggled away and back: a new picture with a new request.
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            assert wait_until(lambda: _page(s, panel) is None, 5), "the tab stayed"
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            assert wait_until(lambda: "10.1.2.3" in (_page_text(s, panel) or ""), 15)
            assert echo.gets == [ECHO_URL] * 2, echo.gets

            # An error status is no address.
            echo.status = 500
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            assert wait_until(lambda: "External IP Address: not Connection" in (_page_text(s, panel) or ""), 10), \
                _page_text(s, panel)
            assert len(echo.gets) == 3, echo.gets
            echo.status = 200

            # A server that holds its answer: the panel answers meanwhile, the
            # page shows what it has, and "not Connection" after the time-out.
            echo.stall = 12
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            assert wait_until(lambda: len(echo.gets) == 4, 10), echo.gets
            assert _responsive(s, panel) < 3
            assert "USB Info: (R:)" in wait_until(lambda: _page_text(s, panel), 5)
            assert "10.1.2.3" not in _page_text(s, panel)
            assert wait_until(lambda: "External IP Address: not Connection" in (_page_text(s, panel) or ""), 15), \
                _page_text(s, panel)

            # No server at all: "not Connection" at once.
            echo.close()
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_SYSINFOTAB), "0")
            assert wait_until(lambda: "External IP Address: not Connection" in (_page_text(s, panel) or ""), 5), \
                _page_text(s, panel)
            assert len(echo.gets) == 4, echo.gets

            drive.request_exit()
            assert wait_exit(proc, 30) is not None, "Kestro did not end"
            tabs = drive.xml_root().find("tabs")
            assert [(t.get("name"), t.get("tag")) for t in tabs] == [("A", "0"), ("SystemInfo", "3")]
    finally:
        try:
            echo.close()
        except Exception:
            pass


def test_the_page_never_waits_for_the_network_and_an_exit_does_not_wait_for_it_either():
    echo = EchoServer()
    echo.stall = 30
    try:
        with WineSession("sysinfo-stall") as s:
            drive = KestroDrive(s, "r")
            # The stored tab is the active one: shown (and gathered) at start.
            drive.write_xml(SYSINFO_DOCUMENT.replace("<tabindex>0</tabindex>", "<tabindex>1</tabindex>"))
            s.env["http_proxy"] = f"http://127.0.0.1:{echo.port}"
            s.start()
            proc, _ = drive.start_and_wait_ready()
            panel = s.wait_window("TviewFrm", "-", 10000)["hwnd"]
            assert wait_until(lambda: len(echo.gets) == 1, 15), echo.gets
            assert _responsive(s, panel) < 3
            assert "USB Info: (R:)" in (wait_until(lambda: _page_text(s, panel), 5) or "")
            assert _page_text(s, panel).endswith("\r\nExternal IP Address: "), _page_text(s, panel)
            drive.request_exit()
            assert wait_exit(proc, 20) is not None, "the exit waited for the request"
            assert [t.get("tag") for t in drive.xml_root().find("tabs")] == ["0", "3"]
    finally:
        echo.close()


TOOLS_DOCUMENT = """<?xml version="1.0"?>
<Root><panel><showonstartup>True</showonstartup></panel>
  <window><main><position><X>300</X><Y>20</Y></position><size><X>250</X><Y>400</Y></size>
    <topwindow>False</topwindow><tabindex>0</tabindex></main></window>
  <tabs><tab name="A" tag="0"><files/></tab></tabs>
</Root>"""
DEFAULT_LINES = ["[AutoRun]", "Open=Tools\\Kestro.exe", "Icon=Tools\\Kestro.exe", "Label = My USB",
                 "Action = Running Kestro.exe"]


def _open_editor(s, panel):
    s.driver("post", str(panel), str(WM_COMMAND), str(CMD_AUTORUNINF), "0")
    editor = s.wait_window("#32770", "Autorun.inf", 10000)
    assert editor is not None, "the editor did not open"
    assert editor["exstyle"] & 0x8, "the editor is not on top"
    return editor["hwnd"]


def _memo(s, editor):
    return s.driver_json("item", str(editor), str(IDC_AUTOINF_MEMO))["text"]


def _close(s, editor, button):
    assert s.driver("press", str(editor), button)[0] == 0, button
    assert s.window_gone("#32770", "Autorun.inf", 5000), f"{button} did not close the editor"


def test_autorun_editor_defaults_saves_with_crlf_keeps_the_encoding_and_never_overwrites_an_unreadable_file():
    with WineSession("autorun") as s:
        drive = KestroDrive(s, "r", subfolder="Tools")
        drive.write_xml(TOOLS_DOCUMENT)
        inf = drive.root / "autorun.inf"
        s.start()
        proc, _ = drive.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 10000)["hwnd"]

        # No autorun.inf: the default lines; Cancel writes nothing.
        editor = _open_editor(s, panel)
        assert _memo(s, editor) == "\r\n".join(DEFAULT_LINES)
        assert s.driver_json("item", str(editor), "701")["text"] == "*Edit ....................."
        _close(s, editor, "Cancel")
        assert not inf.exists(), "Cancel wrote the file"
        # Save writes them, each line ended by CR LF.
        editor = _open_editor(s, panel)
        _close(s, editor, "Save Autorun.inf")
        assert inf.read_bytes() == ("\r\n".join(DEFAULT_LINES) + "\r\n").encode("ascii")

        # An existing file in UTF-16 with lines the program does not know:
        # shown as it is, saved in its encoding with CR LF.
        inf.write_bytes("\ufeff[AutoRun]\nopen=a.exe\n[Mine]\nlabel=한글".encode("utf-16-le"))
        editor = _open_editor(s, panel)
        assert _memo(s, editor) == "[AutoRun]\r\nopen=a.exe\r\n[Mine]\r\nlabel=한글"
        s.driver("settext", str(s.driver_json("item", str(editor), str(IDC_AUTOINF_MEMO))["hwnd"]),
                 "[AutoRun]\r\nlabel=새 이름")
        _close(s, editor, "Save Autorun.inf")
        assert inf.read_bytes() == "\ufeff[AutoRun]\r\nlabel=새 이름\r\n".encode("utf-16-le")

        # A file another program holds cannot be read: the editor says so,
        # opens empty, and neither Save nor Enter overwrites it.
        before = inf.read_bytes()
        holder_log = s.dir / "hold.log"
        holder = s.spawn(WIN_BUILD / "tools" / "kdriver.exe", "hold", "R:\\autorun.inf", "20000", log=holder_log)
        assert wait_until(lambda: holder_log.exists() and b"held" in holder_log.read_bytes(), 15), "no lock"
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_AUTORUNINF), "0")
        box = s.message_box(10000)
        assert box is not None and "R:\\autorun.inf" in box["text"], box
        assert box["caption"] == "Notice", box
        s.driver("press", str(box["hwnd"]), "OK")
        editor = s.wait_window("#32770", "Autorun.inf", 5000)["hwnd"]
        assert s.window_gone("#32770", "Notice", 5000)
        assert _memo(s, editor) == ""
        assert not s.driver_json("item", str(editor), str(IDOK))["enabled"], "Save is usable"
        s.driver("press", str(editor), "Save Autorun.inf")
        s.driver("key", str(VK_RETURN))
        time.sleep(0.5)
        if s.driver("find", "#32770", "Autorun.inf")[0] == 0:
            _close(s, editor, "Cancel")
        holder.kill()
        assert inf.read_bytes() == before, "the unreadable file was overwritten"

        drive.request_exit()
        assert wait_exit(proc, 30) is not None


def _about_boxes(s):
    return [w for w in s.visible_windows() if w["class"] == "#32770" and w["caption"] == "Kestro?"]


def test_about_boxes_from_the_panel_and_the_tray_open_and_close_on_their_own_and_go_with_the_exit():
    with WineSession("about") as s:
        drive = KestroDrive(s, "r")
        drive.write_xml(TOOLS_DOCUMENT)
        s.start()
        t = Tray(s, drive)
        panel = s.wait_window("TviewFrm", "-", 10000)["hwnd"]
        s.driver("post", str(panel), str(WM_COMMAND), str(CMD_INTRO), "0")
        assert wait_until(lambda: len(_about_boxes(s)) == 1, 10)
        # The tray's right-click menu: "Kestro?" stands above the separator before "Exit".
        t.click("right")
        assert t.menu() is not None, "no right-click menu"
        t.keys(VK_UP, VK_UP, VK_RETURN)
        assert wait_until(lambda: len(_about_boxes(s)) == 2, 10), "the tray did not open a second box"
        boxes = _about_boxes(s)
        assert sorted(b["owner"] for b in boxes) == sorted([panel, t.main["hwnd"]]), boxes
        assert all(b["exstyle"] & 0x8 for b in boxes), boxes
        version = s.driver_json("item", str(boxes[0]["hwnd"]), "801")
        assert version["text"] == "Kestro v1.3.5.1", version

        # "O K" closes one; the other stays. Esc closes that one.
        first, second = boxes
        s.driver("press", str(first["hwnd"]), "O K")
        assert wait_until(lambda: [b["hwnd"] for b in _about_boxes(s)] == [second["hwnd"]], 5), _about_boxes(s)
        r = second["rect"]
        s.driver("click", str((r[0] + r[2]) // 2), str(r[1] + 8))
        time.sleep(0.3)
        s.driver("key", str(VK_ESCAPE))
        assert wait_until(lambda: _about_boxes(s) == [], 5), "Esc did not close the box"

        # Boxes still open when Kestro ends go with it.
        for _ in range(2):
            s.driver("post", str(panel), str(WM_COMMAND), str(CMD_INTRO), "0")
        assert wait_until(lambda: len(_about_boxes(s)) == 2, 10)
        drive.request_exit()
        assert wait_exit(t.proc, 30) is not None, "Kestro did not end with the boxes open"
        assert drive.xml_root().find("tabs") is not None
