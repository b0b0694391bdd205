"""Kestro.exe on a simulated drive, for the end-to-end tests."""
import os
import shutil
import time
import xml.etree.ElementTree as ET
from pathlib import Path

from wine import WIN_BUILD

WS_EX_TOOLWINDOW = 0x80
WM_CLOSE = 0x0010


class KestroDrive:
    """A drive letter holding Kestro.exe (and what a test puts beside it)."""

    def __init__(self, session, letter="r", exe_name="Kestro.exe", subfolder=""):
        self.session = session
        self.letter = letter.upper()
        self.root = session.folder("drive-" + letter.lower())
        session.map_drive(letter, self.root)
        self.folder = self.root / subfolder if subfolder else self.root
        self.folder.mkdir(parents=True, exist_ok=True)
        self.exe = self.folder / exe_name
        shutil.copy2(WIN_BUILD / "Kestro.exe", self.exe)
        rel = (subfolder.replace("/", "\\") + "\\") if subfolder else ""
        self.exe_win = f"{self.letter}:\\{rel}{exe_name}"
        self.xml_path = self.folder / "Kestro.xml"

    def copy_as(self, exe_name):
        """Another copy of Kestro.exe beside this one, under another name."""
        other = KestroDrive.__new__(KestroDrive)
        other.__dict__.update(self.__dict__)
        other.exe = self.folder / exe_name
        shutil.copy2(WIN_BUILD / "Kestro.exe", other.exe)
        other.exe_win = self.exe_win.rsplit("\\", 1)[0] + "\\" + exe_name
        return other

    def copy_tool(self, name, dest_name=None):
        dest = self.folder / (dest_name or name)
        dest.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(WIN_BUILD / "tools" / name, dest)
        return dest

    def busy_tabs(self, per_tab, names="AB"):
        """Item tabs that keep the picture loader busy for a long while: every
        item a file of its own (a hard link of probe.exe in tools\), since a
        file is looked up only once. Returns the tabs section's XML."""
        probe = self.copy_tool("probe.exe", "tools/probe.exe")
        tabs = ""
        for n in names:
            for i in range(per_tab):
                os.link(probe, probe.parent / f"{n}{i}.exe")
            items = "".join(f'<file name="p{i}"><path>tools\\{n}{i}.exe</path></file>' for i in range(per_tab))
            tabs += f'<tab name="{n}" tag="0"><files>{items}</files></tab>'
        return f"<tabs>{tabs}</tabs>"

    def write_xml(self, text):
        self.xml_path.write_bytes(text.encode("utf-8") if isinstance(text, str) else text)

    def xml_root(self):
        return ET.fromstring(self.xml_path.read_bytes())

    def start(self, *args):
        return self.session.spawn(self.exe_win, *args)

    def start_and_wait_ready(self, *args, ms=20000):
        proc = self.start(*args)
        w = self.session.wait_window("-", "kestro-a", ms)
        assert w is not None, "the main window kestro-a did not appear"
        return proc, w

    def request_exit(self):
        """A second start with -EXIT; returns when that second process ended."""
        r = self.session.run(self.exe_win, "-EXIT", timeout=60)
        return r.returncode


def wait_until(condition, seconds=10):
    """The condition's first true value, polled every 0.1 s; its last value
    when the time is up."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return condition()


def wait_exit(proc, seconds):
    """Waits for a process; returns the seconds it took, or None on time-out."""
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        if proc.poll() is not None:
            return time.monotonic() - start
        time.sleep(0.02)
    return None


def flatten(element, path=""):
    """Every leaf of an XML tree as path -> text, attributes included; a child
    is named by its tag and its number among the siblings of that tag."""
    out = {}
    for k, v in element.attrib.items():
        out[f"{path}@{k}"] = v
    children = list(element)
    if not children:
        out[path] = (element.text or "").strip()
    seen = {}
    for child in children:
        n = seen.get(child.tag, 0)
        seen[child.tag] = n + 1
        out.update(flatten(child, f"{path}/{child.tag}[{n}]"))
    return out


def probe_runs(log_path):
    """The probe's records, in the order the programs were started."""
    if not Path(log_path).exists():
        return []
    import json
    runs = [json.loads(line) for line in Path(log_path).read_text("utf-8").splitlines() if line.strip()]
    return sorted(runs, key=lambda r: r["created"])


def wait_for_runs(log_path, count, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        runs = probe_runs(log_path)
        if len(runs) >= count:
            time.sleep(0.3)  # one more that should not come
            return probe_runs(log_path)
        time.sleep(0.05)
    return probe_runs(log_path)
