"""Wine prefixes, drives and displays for the tests that run Windows programs.

A template prefix is made once per build (build/wine-template); every test
gets its own copy, its own wineserver and its own Xvfb display, and close()
ends all of them. Drive letters of each type are prepared in the template:
R:, Q: and U: removable, S: CD-ROM, N: network, M: RAM disk, H: fixed; a test
points a letter at a folder of its own with map_drive().
"""
import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build"
TEMPLATE = BUILD / "wine-template"
RUNS = BUILD / "wine-runs"
WIN_BUILD = BUILD / "win"
DRIVE_TYPES = {"r": "floppy", "q": "floppy", "u": "floppy", "s": "cdrom", "n": "network", "m": "ramdisk",
               "h": "hd"}
SCREEN = (1024, 768)

BASE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
}


def _run_quiet(args, env, timeout=120):
    subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=timeout, check=False)


def wine_version():
    return subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()


def ensure_template():
    """Builds the template prefix unless an up-to-date one exists."""
    BUILD.mkdir(parents=True, exist_ok=True)
    stamp = TEMPLATE / ".kestro-template"
    with open(BUILD / ".wine-template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        version = wine_version() + " " + repr(sorted(DRIVE_TYPES.items()))
        if stamp.exists() and stamp.read_text() == version:
            return
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        env = dict(os.environ, **BASE_ENV, WINEPREFIX=str(TEMPLATE))
        env.pop("DISPLAY", None)
        _run_quiet(["wineboot", "-i"], env, timeout=300)
        regs = [
            # Without a window manager every hide would otherwise wait 2 s.
            ["HKCU\\Software\\Wine\\X11 Driver", "Managed", "N"],
            ["HKCU\\Software\\Wine\\DllOverrides", "mscoree", ""],
            ["HKCU\\Software\\Wine\\DllOverrides", "mshtml", ""],
            ["HKCU\\Software\\Wine\\DllOverrides", "winemenubuilder.exe", ""],
        ] + [["HKLM\\Software\\Wine\\Drives", f"{l}:", t] for l, t in DRIVE_TYPES.items()]
        for key, name, value in regs:
            _run_quiet(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env)
        link_wine_fonts(TEMPLATE)
        _run_quiet(["wineserver", "-w"], env)
        stamp.write_text(version)


# Wine's own fonts (the fonts-wine package): Marlett draws the caption
# buttons, Tahoma is the dialogs' font.
WINE_FONTS = Path("/usr/share/wine/fonts")


def link_wine_fonts(prefix: Path):
    """Links Wine's own fonts into the prefix's Fonts folder, where this Wine
    looks for them (it does not read them from its data folder); prefixes made
    before the fonts were installed get them too."""
    fonts = Path(prefix) / "drive_c" / "windows" / "Fonts"
    if not WINE_FONTS.is_dir() or not fonts.is_dir():
        return
    for font in WINE_FONTS.iterdir():
        link = fonts / font.name
        if not link.exists() and not link.is_symlink():
            link.symlink_to(font)


def _clone(src: Path, dst: Path):
    # The Windows folder (most of the 700 MB) is never written by the tests:
    # hard links make a copy take milliseconds. Everything else is copied.
    dst.mkdir(parents=True)
    for entry in src.iterdir():
        if entry.name == "drive_c":
            (dst / "drive_c").mkdir()
            for sub in entry.iterdir():
                if sub.name == "windows":
                    subprocess.run(["cp", "-al", str(sub), str(dst / "drive_c")], check=True)
                else:
                    subprocess.run(["cp", "-a", str(sub), str(dst / "drive_c")], check=True)
        elif entry.is_socket() or entry.name == "wineserver":
            continue
        else:
            subprocess.run(["cp", "-a", str(entry), str(dst)], check=True)
    link_wine_fonts(dst)


class WineSession:
    """One prefix, one wineserver, one display."""

    def __init__(self, name, korean=False, dpi=None):
        ensure_template()
        RUNS.mkdir(parents=True, exist_ok=True)
        self.dir = Path(tempfile.mkdtemp(prefix=f"{name}-", dir=RUNS))
        self.prefix = self.dir / "prefix"
        _clone(TEMPLATE, self.prefix)
        self.env = dict(os.environ, **BASE_ENV, WINEPREFIX=str(self.prefix))
        if korean:
            self.env.update(LANG="ko_KR.UTF-8", LC_ALL="ko_KR.UTF-8")
        self.dpi = dpi
        self.xvfb = None
        self.children = []
        self.started = False

    # -- set-up -----------------------------------------------------------
    def map_drive(self, letter, folder):
        letter = letter.lower()
        assert letter in DRIVE_TYPES, letter
        folder = Path(folder)
        folder.mkdir(parents=True, exist_ok=True)
        link = self.prefix / "dosdevices" / f"{letter}:"
        if link.is_symlink() or link.exists():
            link.unlink()
        link.symlink_to(folder.resolve())
        assert not self.started, "drive types are read when the wineserver starts"

    def folder(self, name):
        p = self.dir / name
        p.mkdir(parents=True, exist_ok=True)
        return p

    def start(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"],
            pass_fds=(w,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        display = b""
        deadline = time.time() + 20
        while not display.endswith(b"\n") and time.time() < deadline:
            chunk = os.read(r, 16)
            if not chunk:
                break
            display += chunk
        os.close(r)
        if not display.strip():
            raise RuntimeError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display.decode().strip()
        _run_quiet(["wineserver", "-p"], self.env)
        if self.dpi:
            # The screen's DPI as Wine 8 reads it (Control Panel\Desktop;
            # Wine's own Fonts key is not looked at): every program started
            # afterwards sees it.
            _run_quiet(["wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                        "/d", str(self.dpi), "/f"], self.env)
        # Wine's services start with the first program; they must not hold
        # our output pipes, so the first program runs with none.
        _run_quiet(["wine", "cmd", "/c", "exit"], self.env, timeout=120)
        # The desktop process starts with the first program that needs it.
        _run_quiet(["wine", str(WIN_BUILD / "tools" / "kdriver.exe"), "windows"], self.env, timeout=120)
        self.started = True
        return self

    # -- running ------------------------------------------------------------
    def spawn(self, *args, log=None):
        out = open(log, "ab") if log else subprocess.DEVNULL
        p = subprocess.Popen(["wine", *map(str, args)], env=self.env, stdin=subprocess.DEVNULL,
                             stdout=out, stderr=subprocess.STDOUT)
        self.children.append(p)
        return p

    def run(self, *args, timeout=60):
        # Output goes through files, not pipes: a Wine service started on the
        # way could inherit a pipe and keep it open after the program ended.
        with tempfile.TemporaryFile(dir=self.dir) as out, tempfile.TemporaryFile(dir=self.dir) as err:
            p = subprocess.run(["wine", *map(str, args)], env=self.env, stdin=subprocess.DEVNULL,
                               stdout=out, stderr=err, timeout=timeout)
            out.seek(0)
            err.seek(0)
            return subprocess.CompletedProcess(p.args, p.returncode, out.read(), err.read())

    def driver(self, *args, timeout=60):
        """Runs kdriver; returns (exit code, stdout text)."""
        r = self.run(WIN_BUILD / "tools" / "kdriver.exe", *args, timeout=timeout)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def driver_tool(self, tool, *args, timeout=60):
        """Runs another test companion of build/win/tools; returns (exit code, stdout text)."""
        r = self.run(WIN_BUILD / "tools" / f"{tool}.exe", *args, timeout=timeout)
        return r.returncode, r.stdout.decode("utf-8", "replace")

    def driver_json(self, *args, timeout=60):
        rc, out = self.driver(*args, timeout=timeout)
        if rc != 0:
            return None
        return json.loads(out.strip().splitlines()[0])

    def wait_window(self, cls="-", caption="-", ms=10000):
        return self.driver_json("wait", cls, caption, str(ms), timeout=ms / 1000 + 30)

    def window_gone(self, cls="-", caption="-", ms=10000):
        rc, _ = self.driver("gone", cls, caption, str(ms), timeout=ms / 1000 + 30)
        return rc == 0

    def message_box(self, ms=10000):
        return self.driver_json("msgbox", str(ms), timeout=ms / 1000 + 30)

    def visible_windows(self):
        rc, out = self.driver("windows")
        return [json.loads(l) for l in out.splitlines() if l.strip()]

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", str(path)],
                       check=False, timeout=30)

    # -- ending ----------------------------------------------------------------
    def close(self):
        if self.started:
            _run_quiet(["wineserver", "-k"], self.env, timeout=30)
            _run_quiet(["wineserver", "-w"], self.env, timeout=30)
        for p in self.children:
            if p.poll() is None:
                p.kill()
            p.wait(timeout=10)
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()
        if os.environ.get("KESTRO_KEEP_RUNS") != "1":
            shutil.rmtree(self.dir, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


if __name__ == "__main__":
    if sys.argv[1:] == ["template"]:
        ensure_template()
    else:
        sys.exit("usage: wine.py template")
