"""Starts Kestro.exe from a demo drive U: (removable) under Wine.

  demo.py          copy demo/ and the program to build/demo/drive and start
  demo.py --exit   end the running demo copy ("Kestro.exe -exit")
"""
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

from wine import BASE_ENV, BUILD, ROOT, TEMPLATE, WIN_BUILD, _clone, ensure_template, link_wine_fonts

DEMO = BUILD / "demo"
PREFIX = DEMO / "prefix"
DRIVE = DEMO / "drive"


def environment():
    env = dict(os.environ, **BASE_ENV, WINEPREFIX=str(PREFIX))
    return env


def prepare():
    ensure_template()
    if not (PREFIX / "system.reg").exists():
        shutil.rmtree(PREFIX, ignore_errors=True)
        _clone(TEMPLATE, PREFIX)
    link_wine_fonts(PREFIX)
    DRIVE.mkdir(parents=True, exist_ok=True)
    # The demo's own files are copied once, so that what the user changes in
    # the demo (Kestro.xml above all) is kept from run to run.
    for src in (ROOT / "demo").rglob("*"):
        dst = DRIVE / src.relative_to(ROOT / "demo")
        if src.is_dir():
            dst.mkdir(parents=True, exist_ok=True)
        elif not dst.exists():
            shutil.copy2(src, dst)
    shutil.copy2(WIN_BUILD / "Kestro.exe", DRIVE / "Kestro.exe")
    (DRIVE / "Tools").mkdir(exist_ok=True)
    shutil.copy2(WIN_BUILD / "tools" / "probe.exe", DRIVE / "Tools" / "probe.exe")
    link = PREFIX / "dosdevices" / "u:"
    if link.is_symlink() or link.exists():
        link.unlink()
    link.symlink_to(DRIVE.resolve())


def main():
    env = environment()
    if sys.argv[1:] == ["--exit"]:
        subprocess.run(["wine", "U:\\Kestro.exe", "-exit"], env=env, check=False)
        return 0
    prepare()
    xvfb = None
    if not env.get("DISPLAY"):
        xvfb = subprocess.Popen(["Xvfb", ":77", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env["DISPLAY"] = ":77"
        time.sleep(1)
    print(f"Kestro runs from U: ({DRIVE}); end it with: python3 tests/e2e/demo.py --exit  (or Ctrl+C)")
    proc = subprocess.Popen(["wine", "U:\\Kestro.exe"], env=env, stdin=subprocess.DEVNULL)
    try:
        if xvfb:
            time.sleep(5)
            subprocess.run(["import", "-display", env["DISPLAY"], "-window", "root", str(DEMO / "screen.png")],
                           check=False)
            print(f"No X display: a virtual one is used; screenshot in {DEMO / 'screen.png'}")
        proc.wait()
    except KeyboardInterrupt:
        subprocess.run(["wine", "U:\\Kestro.exe", "-exit"], env=env, check=False)
        proc.wait(timeout=30)
    finally:
        subprocess.run(["wineserver", "-k"], env=env, check=False)
        if xvfb:
            xvfb.terminate()
    print(f"Kestro ended; the demo drive's Kestro.xml: {DRIVE / 'Kestro.xml'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
