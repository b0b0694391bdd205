"""Starting and ending Kestro.exe from drives of each type."""
import time

from kestro import WM_CLOSE, WS_EX_TOOLWINDOW, KestroDrive, flatten, wait_exit
from wine import WineSession


def test_start_hidden_single_copy_and_exit():
    with WineSession("start") as s:
        drive = KestroDrive(s, "r")
        s.start()
        first, main = drive.start_and_wait_ready()
        assert main["class"] == "TmainFrm"
        assert not main["visible"], main
        assert main["exstyle"] & WS_EX_TOOLWINDOW, main
        # Without a Kestro.xml the panel opens; it is all that shows of the program.
        panel = s.wait_window("TviewFrm", "Kestro", 20000)
        assert panel is not None, "no panel"
        deadline = time.monotonic() + 10
        while not s.driver_json("info", str(panel["hwnd"]))["visible"] and time.monotonic() < deadline:
            time.sleep(0.1)
        assert [w["class"] for w in s.visible_windows() if w["pid"] == main["pid"]] == ["TviewFrm"]

        # A second start ends at once and adds no window.
        second = drive.start()
        assert wait_exit(second, 30) is not None, "the second copy kept running"
        assert second.returncode == 0
        assert s.driver("count", "-", "kestro-a")[1].strip() == "1"
        assert first.poll() is None, "the first copy ended"
        assert not drive.xml_path.exists(), "nothing is written before exit"

        # "-EXIT" in capital letters ends the running copy.
        assert drive.request_exit() == 0
        took = wait_exit(first, 10)
        assert took is not None, "the running copy did not end"
        assert took < 2.0, f"the running copy took {took:.2f} s to end"
        root = drive.xml_root()
        assert root.tag == "Root"
        names = [child.tag for child in root]
        for section in ("files", "style", "panel"):
            assert section in names, names


def test_exit_without_running_copy_does_nothing():
    with WineSession("exit-alone") as s:
        drive = KestroDrive(s, "r")
        s.start()
        assert drive.request_exit() == 0
        assert s.driver("count", "-", "kestro-a")[1].strip() == "0"
        assert not drive.xml_path.exists()


def test_close_message_saves_through_the_exit_path():
    with WineSession("wm-close") as s:
        drive = KestroDrive(s, "q", subfolder="Tools/Kestro")
        s.start()
        proc, main = drive.start_and_wait_ready()
        s.driver("post", str(main["hwnd"]), str(WM_CLOSE), "0", "0")
        assert wait_exit(proc, 10) is not None
        assert drive.xml_path.exists(), "Kestro.xml is written beside the program"
        assert drive.xml_root().find("window/main/position/X").text == "700"


def _refused(letter, message):
    with WineSession("refuse-" + letter) as s:
        drive = KestroDrive(s, letter)
        s.start()
        proc = drive.start()
        box = s.message_box(20000)
        assert box is not None, "no message box"
        assert box["text"] == message, box
        assert s.driver("count", "-", "kestro-a")[1].strip() == "0", "a main window exists"
        assert s.driver("press", str(box["hwnd"]), "OK")[0] == 0
        assert wait_exit(proc, 10) is not None, "the program did not end after the message"
        assert not drive.xml_path.exists()


def test_cdrom_drive_is_refused():
    _refused("s", "no support CD ROM")


def test_network_drive_is_refused():
    _refused("n", "no support network")


def test_ram_disk_is_refused():
    _refused("m", "no support Ram disk")


EVERY_SETTING = """<?xml version="1.0"?>
<Root>
  <files/>
  <style/>
  <panel>
    <title>내 USB 도구</title>
    <iteminfomode>4</iteminfomode>
    <showonstartup>False</showonstartup>
    <useshortkey0>1</useshortkey0><mainkey0>3</mainkey0><subkey0>27</subkey0>
    <useshortkey1>0</useshortkey1>
    <useshortkey2>1</useshortkey2><mainkey2>11</mainkey2><subkey2>0</subkey2>
    <useshortkey3>0</useshortkey3>
    <useshortkey4>1</useshortkey4><mainkey4>0</mainkey4><subkey4>35</subkey4>
    <trans>180</trans>
    <xbuttonaction>2</xbuttonaction>
    <tooltip>True</tooltip>
    <treeline>True</treeline>
    <fixwindow>True</fixwindow>
    <freespacebar>True</freespacebar>
    <deleteext>True</deleteext>
    <language>english.lng</language>
  </panel>
  <window><main><position><X>120</X><Y>40</Y></position><size><X>300</X><Y>600</Y></size>
    <topwindow>True</topwindow><tabindex>2</tabindex></main></window>
  <start><usefixdrive>True</usefixdrive><fixdrivename>R:</fixdrivename></start>
  <end><exituseprg>True</exituseprg><exittempprg>True</exittempprg><exitshellprg>True</exitshellprg>
    <tryremovedrive>True</tryremovedrive></end>
  <icon><iconmode>1</iconmode><appicon>Icons\\app.ico</appicon><foldericon>Icons\\folder.ico</foldericon>
    <groupicon>C:\\Icons\\group.ico</groupicon><driveiconfolder>Icons\\drives</driveiconfolder></icon>
  <wallpaper><changewallpaper>False</changewallpaper><wallpapername>Pictures\\sky.bmp</wallpapername>
    <hideicon>False</hideicon></wallpaper>
  <addetc><traymenutab>True</traymenutab><usballexit>True</usballexit>
    <startuseupfavorite>False</startuseupfavorite><startuseupexelink>False</startuseupexelink></addetc>
  <exelink><txt buselink="True">Apps\\Editor\\editor.exe</txt><ini buselink="False">C:\\n.exe -x</ini></exelink>
  <tabs>
    <tab name="Tools" tag="0"><backcolor>16777215</backcolor><fontname>Tahoma</fontname><textcolor>255</textcolor>
      <textcolor2>-16777208</textcolor2><backimage>Pictures\\back.bmp</backimage><bigicon>True</bigicon>
      <files>
        <file name="프로브"><path>tools\\probe.exe</path><icon>Icons\\probe.ico</icon><parameters>-x "%udrive%\\d"</parameters>
          <addexplain>Records its start</addexplain><windowstate>1</windowstate><hotkey>True</hotkey>
          <hotkeymodifier>3</hotkeymodifier><hotkeycode>5</hotkeycode></file>
        <separator/>
        <files name="Group" expanded="False"><icon>Icons\\g.ico</icon><hidefromtray>True</hidefromtray>
          <folder name="Docs"><path>Docs</path></folder>
          <file name="Other drive"><path>C:\\windows\\notepad.exe</path></file>
        </files>
      </files></tab>
    <tab name="Find" tag="1"/>
    <tab name="Small" tag="0"><backcolor>-16777211</backcolor><fontname>Tahoma</fontname>
      <textcolor>-16777208</textcolor><textcolor2>-16777208</textcolor2><files/></tab>
    <tab name="Info" tag="3"/>
  </tabs>
  <mine keep="yes">text of my own</mine>
</Root>
"""


def test_every_setting_survives_a_start_exit_cycle():
    # The host changes (fixed letter, wallpaper, favorites, associations)
    # stay off here: their own tests check them.
    with WineSession("roundtrip") as s:
        drive = KestroDrive(s, "r")
        drive.write_xml(EVERY_SETTING)
        before = flatten(drive.xml_root())
        s.start()
        proc, _ = drive.start_and_wait_ready()
        assert s.message_box(500) is None, "a valid document raised a message"
        drive.request_exit()
        assert wait_exit(proc, 10) is not None
        after = flatten(drive.xml_root())
        assert after == before, {k: (before.get(k), after.get(k)) for k in set(before) | set(after)
                                 if before.get(k) != after.get(k)}


def test_malformed_document_is_kept_and_reported():
    broken = "<Root><panel><title>Mine</title><trans>128</trans></panel><window><main><position><X>5"
    with WineSession("malformed") as s:
        drive = KestroDrive(s, "r")
        drive.write_xml(broken)
        s.start()
        proc = drive.start()
        box = s.message_box(20000)
        assert box is not None, "no notice about the damaged file"
        assert box["caption"] == "Notice", box
        assert "Kestro.xml.bad" in box["text"], box
        # The notice belongs to the hidden main window; "-exit" while it is
        # open ends it, the start completes and the exit saves.
        main = s.driver_json("find", "-", "kestro-a")
        assert main is not None and box["owner"] == main["hwnd"], (box, main)
        drive.request_exit()
        assert wait_exit(proc, 10) is not None
        assert proc.returncode == 0
        assert (drive.folder / "Kestro.xml.bad").read_text() == broken
        root = drive.xml_root()  # well-formed again, with what could be read
        assert root.find("panel/title").text == "Mine"
        assert root.find("panel/trans").text == "128"
