"""The exit: the list of programs still running from the drive or the
temporary folder, closing them without losing their users' work, shell
windows, the drive-removal tool and the log-off answer."""
import json
import shutil
import time

from kestro import KestroDrive, probe_runs, wait_exit, wait_for_runs, wait_until
from wine import WIN_BUILD, WineSession

# The list's caption and button: built in (Korean), and from english.lng,
# which a host with another language gets.
KOREAN = ("실행중인 포터블프로그램 리스트", "종 료")
ENGLISH = ("Running Portable Program. List", "Terminate!")
WS_THICKFRAME = 0x40000
WS_EX_TOPMOST = 0x8
WS_EX_TOOLWINDOW = 0x80
WM_QUERYENDSESSION = 0x11
WM_CLOSE = 0x10
WM_COMMAND = 0x111
BM_CLICK = 0xF5
CMD_APPEXIT = 1003
IDC_EXITLIST_ONLYUP = 504


def document(end, tabs=""):
    return (f'<?xml version="1.0"?><Root><panel><showonstartup>True</showonstartup></panel>'
            f'<end>{end}</end><tabs><tab name="A" tag="0"><files>{tabs}</files></tab></tabs></Root>')


END_ITEM = '<file name="end"><path>tools\\probe.exe</path><parameters>at-end</parameters><autorun>2</autorun></file>'


def flags(**on):
    return "".join(f"<{k}>True</{k}>" for k, v in on.items() if v)


def log_lines(path):
    return path.read_text("utf-8").splitlines() if path.exists() else []


def events(path, mode):
    return [line.split()[1] for line in log_lines(path) if line.split()[0] == mode]


def start_probe(s, exe_win, mode, log_win, log_path, *extra):
    before = len(log_lines(log_path))
    s.spawn(exe_win, mode, log_win, *extra)
    assert wait_until(lambda: len(log_lines(log_path)) > before, 20), f"{mode}: the close probe did not start"


def saved_window_section(drive):
    return drive.xml_root().find("window") is not None


def exit_list(s, ms=20000, texts=ENGLISH):
    return s.wait_window("#32770", texts[0], ms)


def tree_items(s, dialog):
    tree = s.driver_json("child", str(dialog["hwnd"]), "SysTreeView32")
    assert tree is not None, "the exit list has no tree"
    _, out = s.driver("tree", str(tree["hwnd"]))
    return [(d["text"], d["depth"]) for d in map(json.loads, out.splitlines())]


def test_the_exit_list_closes_the_drive_s_programs_without_losing_work_then_saves_and_hands_over_the_drive():
    with WineSession("exit-list") as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("closeprobe.exe", "tools/closeprobe.exe")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        # A stand-in for the tool: the batch starts it, and it records how.
        drive.copy_tool("probe.exe", "env/removedrive.exe")
        host_copy = s.prefix / "drive_c" / "hostprog.exe"
        shutil.copy2(WIN_BUILD / "tools" / "closeprobe.exe", host_copy)
        drive.write_xml(document(flags(exituseprg=True, tryremovedrive=True), END_ITEM))
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        log = drive.root / "close.log"
        for mode in ("normal", "ignore", "ask"):
            start_probe(s, "R:\\tools\\closeprobe.exe", mode, "R:\\close.log", log, "R:\\work.txt")
        # A host program that loaded a module from the drive.
        start_probe(s, "C:\\hostprog.exe", "module", "R:\\close.log", log, "R:\\tools\\probe.exe")
        assert "noload" not in events(log, "module")

        proc, _ = drive.start_and_wait_ready()
        assert s.wait_window("TviewFrm", "-", 20000) is not None
        drive.request_exit()
        dialog = exit_list(s)
        assert dialog is not None, "no list of the drive's programs"
        assert dialog["exstyle"] & WS_EX_TOPMOST, "the list is not on top"
        assert dialog["exstyle"] & WS_EX_TOOLWINDOW and dialog["style"] & WS_THICKFRAME, dialog
        items = tree_items(s, dialog)
        programs = [t for t, d in items if d == 0]
        assert programs.count("R:\\tools\\closeprobe.exe") == 3, items
        # The host program's module stands on its own, not under another program.
        assert ("R:\\tools\\probe.exe", 0) in items, items
        assert not any("kestro" in t.lower() for t, _ in items), f"Kestro listed itself: {items}"
        assert saved_window_section(drive) is False, "saved before the list was answered"
        # Sizeable: the tree takes the room, the button stays at the corner;
        # never so small that the options are hidden.
        hwnd = str(dialog["hwnd"])
        s.driver("size", hwnd, "600", "450")
        tree = s.driver_json("child", hwnd, "SysTreeView32")["rect"]
        button = s.driver_json("item", hwnd, "1")["rect"]
        frame = s.driver_json("info", hwnd)["rect"]
        assert tree[2] - tree[0] > 500 and frame[2] - button[2] < 20 and frame[3] - button[3] < 20, (tree, button)
        s.driver("size", hwnd, "100", "100")
        frame = s.driver_json("info", hwnd)["rect"]
        assert frame[2] - frame[0] > 200 and frame[3] - frame[1] > 150, frame

        s.driver("press", str(dialog["hwnd"]), ENGLISH[1])
        # The program asking its user gets the answer within the wait.
        box = wait_until(lambda: (lambda b: b if b and b["caption"] == "closeprobe" else None)(s.message_box(1000)),
                         15)
        assert box is not None, "the asking program showed no question"
        yes = next(b for b in box["buttons"] if "Yes" in b)
        assert s.driver("press", str(box["hwnd"]), yes.replace("&", ""))[0] == 0, box
        assert wait_exit(proc, 60) is not None, "Kestro did not end"

        assert (drive.root / "work.txt").exists(), f"the asking program lost its work: {log_lines(log)}"
        assert (drive.root / "work.txt").read_text() == "saved"
        assert events(log, "ask")[:4] == ["started", "asking", "saved", "closed"], log_lines(log)
        assert "closed" in events(log, "normal") and "closed" in events(log, "module"), log_lines(log)
        # Ignored WM_CLOSE: ended after the wait, without ending itself.
        assert "ignored" in events(log, "ignore") and "ended" not in events(log, "ignore"), log_lines(log)
        assert wait_until(lambda: s.driver("count", "KestroCloseProbe", "-")[1].strip() == "0", 10), \
            "a program of the drive still runs"

        assert saved_window_section(drive), "Kestro.xml was not saved"
        assert drive.xml_root().find("tabs/tab/files/file").get("name") == "end"
        runs = wait_for_runs(drive.root / "probe.log", 2, 30)
        assert [r["exe"].lower() for r in runs] == ["r:\\tools\\probe.exe", "r:\\env\\removedrive.exe"], runs
        assert runs[0]["cmdline"].endswith("at-end"), runs[0]
        assert runs[1]["cmdline"].rstrip().endswith("R: -b"), runs[1]
        assert not runs[1]["cwd"].upper().startswith("R:"), f"the batch keeps the drive busy: {runs[1]}"
        assert (drive.root / "env" / "removedrive.bat").read_bytes() == \
            b"@echo off\r\nc:\\\r\nR:\\env\\removedrive.exe R: -b\r\n"


def test_without_a_list_renamed_and_pc_copies_exit_and_save_and_the_tool_names_what_keeps_the_drive_busy():
    with WineSession("exit-plain") as s:
        drive = KestroDrive(s, "r", exe_name="Launcher.exe")
        drive.copy_tool("closeprobe.exe", "tools/closeprobe.exe")
        tool = WIN_BUILD / "tools" / "removedrive.exe"
        shutil.copy2(tool, s.prefix / "drive_c" / "removedrive.exe")
        s.start()
        log = drive.root / "close.log"
        start_probe(s, "R:\\tools\\closeprobe.exe", "normal", "R:\\close.log", log)

        # Both options off: no list, the program runs on.
        drive.write_xml(document(flags(tryremovedrive=True)))
        proc, _ = drive.start_and_wait_ready()
        drive.request_exit()
        assert wait_exit(proc, 30) is not None, "the renamed copy did not end"
        assert exit_list(s, 500) is None
        assert saved_window_section(drive)
        assert events(log, "normal") == ["started"], log_lines(log)
        # The tool is written out whole, with the batch that starts it.
        assert (drive.root / "env" / "removedrive.exe").read_bytes() == tool.read_bytes()
        assert not (drive.root / "env" / "removedrive.exe.tmp").exists()
        assert (drive.root / "env" / "removedrive.bat").read_bytes() == \
            b"@echo off\r\nc:\\\r\nR:\\env\\removedrive.exe R: -b\r\n"

        # The tool refuses while a program of the drive runs, and names it.
        r = s.run("C:\\removedrive.exe", "R:", timeout=60)
        out = r.stdout.decode("utf-8", "replace")
        assert r.returncode == 2, (r.returncode, out)
        assert "in use" in out and "R:\\tools\\closeprobe.exe" in out, out
        bad = s.run("C:\\removedrive.exe", "nonsense", timeout=60)
        assert bad.returncode == 1 and b"usage" in bad.stdout

        s.driver("post", str(s.driver_json("find", "KestroCloseProbe", "-")["hwnd"]), str(WM_CLOSE), "0", "0")
        assert wait_until(lambda: "ended" in events(log, "normal"), 10)

        # The drive test on and nothing else from the drive: a renamed copy
        # never lists itself.
        drive.write_xml(document(flags(exituseprg=True)))
        proc, _ = drive.start_and_wait_ready()
        drive.request_exit()
        assert wait_exit(proc, 30) is not None, "the renamed copy did not end"
        assert saved_window_section(drive)

        # The PC edition: no drive test (its drive is the host's), no tool.
        shutil.rmtree(drive.root / "env")
        pc = drive.copy_as("kestro-pc.exe")
        start_probe(s, "R:\\tools\\closeprobe.exe", "normal", "R:\\close.log", log)
        pc.write_xml(document(flags(exituseprg=True, tryremovedrive=True)))
        proc, _ = pc.start_and_wait_ready()
        pc.request_exit()
        assert wait_exit(proc, 30) is not None, "the PC edition did not end"
        assert saved_window_section(pc)
        assert not (drive.root / "env").exists(), "the PC edition ran the removal tool"
        assert events(log, "normal").count("ended") == 1, log_lines(log)

        # What Wine does when nothing runs from the drive any more.
        s.driver("post", str(s.driver_json("find", "KestroCloseProbe", "-")["hwnd"]), str(WM_CLOSE), "0", "0")
        assert wait_until(lambda: events(log, "normal").count("ended") == 2, 10)
        free = s.run("C:\\removedrive.exe", "R:", timeout=60)
        print("removedrive R: with the drive free:", free.returncode, free.stdout.decode("utf-8", "replace"))
        assert free.returncode != 2, free.stdout


def test_only_kestro_the_temporary_folder_shell_windows_and_the_log_off_answer():
    with WineSession("exit-temp", korean=True) as s:
        drive = KestroDrive(s, "r")
        drive.copy_tool("probe.exe", "tools/probe.exe")
        temp = s.prefix / "drive_c" / "users" / "root" / "Temp"
        temp.mkdir(parents=True, exist_ok=True)
        shutil.copy2(WIN_BUILD / "tools" / "closeprobe.exe", temp / "setup.exe")
        shutil.copy2(WIN_BUILD / "tools" / "closeprobe.exe", s.prefix / "drive_c" / "shellprog.exe")
        drive.write_xml(document(flags(exittempprg=True, exitshellprg=True), END_ITEM))
        s.env["KESTRO_PROBE_LOG"] = "R:\\probe.log"
        s.start()
        log = drive.root / "close.log"
        start_probe(s, "C:\\users\\root\\Temp\\setup.exe", "normal", "R:\\close.log", log)
        start_probe(s, "C:\\shellprog.exe", "shell", "R:\\close.log", log)

        # The log-off answer: yes, saved, end items run, no list, Kestro runs on.
        proc, main = drive.start_and_wait_ready()
        assert s.wait_window("TviewFrm", "-", 20000) is not None
        _, answer = s.driver("send", str(main["hwnd"]), str(WM_QUERYENDSESSION), "0", "0")
        assert answer.strip() == "1", answer
        assert saved_window_section(drive), "the log-off answer did not save"
        assert len(wait_for_runs(drive.root / "probe.log", 1)) == 1
        assert exit_list(s, 1000, KOREAN) is None, "the log-off answer showed the list"
        assert proc.poll() is None, "Kestro ended at the log-off answer"

        # A later exit: the temporary folder's program is listed; "Kestro만
        # 종료" leaves it running; the shell windows are asked to close.
        drive.request_exit()
        dialog = exit_list(s, texts=KOREAN)
        assert dialog is not None, "no list of the temporary folder's programs"
        items = tree_items(s, dialog)
        assert [t.lower() for t, d in items if d == 0] == ["c:\\users\\root\\temp\\setup.exe"], items
        only = s.driver_json("item", str(dialog["hwnd"]), str(IDC_EXITLIST_ONLYUP))
        s.driver("send", str(only["hwnd"]), str(BM_CLICK), "0", "0")
        assert s.driver("press", str(dialog["hwnd"]), KOREAN[1])[0] == 0
        assert wait_exit(proc, 30) is not None, "Kestro did not end"
        assert events(log, "normal") == ["started"], log_lines(log)
        assert wait_until(lambda: events(log, "shell") == ["started", "WM_CLOSE", "WM_CLOSE"], 10), log_lines(log)
        assert sorted(l.split()[2] for l in log_lines(log) if "WM_CLOSE" in l) == ["ExploreWClass", "TTOTAL_CMD"]
        # The end items ran once, at the log-off answer.
        time.sleep(1.0)
        assert len(probe_runs(drive.root / "probe.log")) == 1, probe_runs(drive.root / "probe.log")

        # The list's close box: the programs stay and the exit goes on.
        proc, _ = drive.start_and_wait_ready()
        drive.request_exit()
        dialog = exit_list(s, texts=KOREAN)
        assert dialog is not None
        s.driver("post", str(dialog["hwnd"]), str(WM_CLOSE), "0", "0")
        assert wait_exit(proc, 30) is not None, "Kestro did not end after the list's close box"
        assert events(log, "normal") == ["started"], log_lines(log)
        assert len(wait_for_runs(drive.root / "probe.log", 2)) == 2, "the end item did not run at this exit"

        # The panel's exit entry: no list, no shell windows.
        proc, _ = drive.start_and_wait_ready()
        panel = s.wait_window("TviewFrm", "-", 20000)
        closes_before = events(log, "shell").count("WM_CLOSE")
        for _ in range(10):
            s.driver("post", str(panel["hwnd"]), str(WM_COMMAND), str(CMD_APPEXIT), "0")
            if wait_exit(proc, 2) is not None:
                break
            # Refused while the pictures load: the notice goes, then again.
            box = s.message_box(1000)
            if box:
                s.driver("press", str(box["hwnd"]), box["buttons"][0].replace("&", ""))
        assert wait_exit(proc, 30) is not None, "the panel's exit entry did not end Kestro"
        assert exit_list(s, 500, KOREAN) is None
        time.sleep(1.0)
        assert events(log, "shell").count("WM_CLOSE") == closes_before, log_lines(log)
        assert events(log, "normal") == ["started"], log_lines(log)
