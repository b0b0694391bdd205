"""Runs one suite of the Windows adapter tests in a fresh Wine session."""
import sys

from wine import ROOT, WIN_BUILD, WineSession


def main():
    suite = sys.argv[1]
    # Suites named "KoreanHost..." run with a Korean system locale, those
    # named "HighDpi..." on a screen at 144 DPI.
    dpi = 144 if suite.startswith("HighDpi") else None
    with WineSession("win-" + suite, korean=suite.startswith("KoreanHost"), dpi=dpi) as s:
        s.env["KESTRO_TEST_DATA"] = "Z:" + str(ROOT / "tests" / "data" / "lng").replace("/", "\\")
        for letter in "rqsnmh":
            s.map_drive(letter, s.folder("drive-" + letter))
        s.start()
        exe = WIN_BUILD / "tests" / "kestro_win_tests.exe"
        r = s.run(exe, f"--gtest_filter={suite}.*", "--gtest_color=no", timeout=240)
        sys.stdout.write(r.stdout.decode("utf-8", "replace"))
        sys.stdout.write(r.stderr.decode("utf-8", "replace"))
        if b"[  PASSED  ]" not in r.stdout:
            return 1
        return r.returncode


if __name__ == "__main__":
    sys.exit(main())
