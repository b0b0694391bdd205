"""Kestro.exe is one self-contained 64-bit Windows GUI program."""
import re
import subprocess

from wine import WIN_BUILD

# DLLs every Windows installation has; nothing else may be imported.
SYSTEM_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
               "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "version.dll",
               "winhttp.dll", "psapi.dll", "cfgmgr32.dll", "uxtheme.dll", "msimg32.dll", "ws2_32.dll",
               "iphlpapi.dll", "bcrypt.dll", "imm32.dll", "winmm.dll", "dwmapi.dll"}


def _headers(exe):
    return subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(exe)], capture_output=True, text=True,
                          check=True).stdout


def test_kestro_exe_is_a_64_bit_gui_program_importing_only_system_dlls():
    text = _headers(WIN_BUILD / "Kestro.exe")
    assert re.search(r"^Magic\s+020b\s+\(PE32\+\)", text, re.M), "not a 64-bit executable"
    assert re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", text, re.M), "not a GUI program"
    imports = {m.lower() for m in re.findall(r"DLL Name: (\S+)", text)}
    assert imports, "no imports found"
    assert imports <= SYSTEM_DLLS, f"imports beyond the system DLLs: {sorted(imports - SYSTEM_DLLS)}"
    for needed in ("kernel32.dll", "user32.dll"):
        assert needed in imports
    # The shell, COM, the common controls and dialogs load on first use, after
    # the panel is on screen: imported at start they would delay it.
    raw = (WIN_BUILD / "Kestro.exe").read_bytes()
    for late in ("shell32.dll", "ole32.dll", "comdlg32.dll", "comctl32.dll"):
        assert late not in imports, f"{late} is loaded at start"
        assert late.encode() in raw, f"{late} is not loaded on first use either"


def test_kestro_exe_is_small_and_without_debug_information():
    exe = WIN_BUILD / "Kestro.exe"
    size = exe.stat().st_size
    assert size <= 2 * 1024 * 1024, f"Kestro.exe is {size} bytes, more than 2 MB"
    sections = subprocess.run(["x86_64-w64-mingw32-objdump", "-h", str(exe)], capture_output=True, text=True,
                              check=True).stdout
    assert ".debug_" not in sections, "the release executable carries debug information"
    # Page-aligned in the file: Wine then maps it instead of copying it into private memory.
    assert re.search(r"^FileAlignment\s+0*1000$", _headers(exe), re.M), "sections are not page-aligned in the file"


def test_kestro_exe_carries_its_version_icon_and_manifest():
    raw = (WIN_BUILD / "Kestro.exe").read_bytes()
    assert "1.3.5.1".encode("utf-16-le") in raw, "no version information 1.3.5.1"
    assert b"Microsoft.Windows.Common-Controls" in raw, "no common controls 6 manifest"
    assert b"PerMonitorV2" in raw, "not per-monitor DPI aware"
    assert "MAINICON".encode("utf-16-le") in raw, "no application icon"
