// The Win32 adapters against Wine's real files, registry, drives and shell.
// The runner maps these drive letters: R: removable, S: CD-ROM, N: network,
// M: RAM disk, H: fixed disk.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "core/app/StartSequence.h"
#include "win/platform/DesktopIcons.h"
#include "win/platform/Win32Platform.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {

// A fresh folder under the temporary folder, removed afterwards.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = Narrow(base) + "kestro-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(counter_++) + "\\";
    CreateDirectoryW(Widen(path_).c_str(), nullptr);
  }
  ~TempFolder() {
    std::wstring w = Widen(path_);
    w.push_back(L'\0');  // double-terminated list for the shell
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = w.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW(Widen(folder + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string n = Narrow(fd.cFileName);
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return names;
}

TEST(Win32FileSystemTest, AtomicWriteCreatesAndReplacesLeavingNoTemporaryFile) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "Kestro.xml";
  ASSERT_TRUE(fs.WriteFileAtomic(file, "first"));
  ASSERT_TRUE(fs.WriteFileAtomic(file, "second, longer"));
  std::string back;
  ASSERT_TRUE(fs.ReadFile(file, back));
  EXPECT_EQ(back, "second, longer");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Kestro.xml"});
}

TEST(Win32FileSystemTest, FailedAtomicWriteLeavesTheOldFile) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "Kestro.xml";
  ASSERT_TRUE(fs.WriteFileAtomic(file, "precious"));
  // A folder where the temporary file would go makes the write fail.
  ASSERT_TRUE(CreateDirectoryW(Widen(file + ".tmp").c_str(), nullptr));
  WriteResult failed = fs.WriteFileAtomic(file, "replacement");
  EXPECT_FALSE(failed);
  // It names the file it could not write, and the system's reason.
  EXPECT_EQ(failed.error.rfind(file + ".tmp: ", 0), 0u) << failed.error;
  EXPECT_GT(failed.error.size(), file.size() + 7) << failed.error;
  std::string back;
  ASSERT_TRUE(fs.ReadFile(file, back));
  EXPECT_EQ(back, "precious");
  // A missing folder fails too, and creates nothing.
  EXPECT_FALSE(fs.WriteFileAtomic(dir.path() + "missing\\Kestro.xml", "x"));
}

TEST(Win32FileSystemTest, ATemporaryFileLeftByAKilledRunIsReplaced) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "Kestro.xml";
  const std::wstring temp = Widen(file + ".tmp");
  ASSERT_TRUE(fs.WriteFile(file + ".tmp", "half a document from a run that was kill"));
  ASSERT_TRUE(SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(fs.WriteFileAtomic(file, "whole"));
  std::string back;
  ASSERT_TRUE(fs.ReadFile(file, back));
  EXPECT_EQ(back, "whole");
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Kestro.xml"});
}

TEST(Win32FileSystemTest, NonAsciiFileNamesAndExistence) {
  TempFolder dir;
  Win32FileSystem fs;
  const std::string file = dir.path() + "설정 파일.xml";
  EXPECT_FALSE(fs.FileExists(file));
  ASSERT_TRUE(fs.WriteFile(file, std::string("a\0b", 3)));
  EXPECT_TRUE(fs.FileExists(file));
  EXPECT_FALSE(fs.DirectoryExists(file));
  EXPECT_TRUE(fs.DirectoryExists(dir.path()));
  EXPECT_FALSE(fs.FileExists(dir.path()));
  std::string back;
  ASSERT_TRUE(fs.ReadFile(file, back));
  EXPECT_EQ(back, std::string("a\0b", 3));
  EXPECT_FALSE(fs.ReadFile(dir.path() + "none.xml", back));
}

TEST(Win32DrivesTest, ReportsTheTypeOfEachMappedLetter) {
  Win32Drives drives;
  EXPECT_EQ(drives.TypeOf("R:\\"), DriveType::Removable);
  EXPECT_EQ(drives.TypeOf("S:\\"), DriveType::CdRom);
  EXPECT_EQ(drives.TypeOf("N:\\"), DriveType::Remote);
  EXPECT_EQ(drives.TypeOf("M:\\"), DriveType::RamDisk);
  EXPECT_EQ(drives.TypeOf("H:\\"), DriveType::Fixed);
  EXPECT_EQ(drives.TypeOf("C:\\"), DriveType::Fixed);
}

TEST(Win32DrivesTest, BusQueryOpensTheVolumeWithoutAccessRights) {
  Win32Drives drives;
  // Wine answers no adapter property, so the bus type stays 0 (accepted);
  // what matters is that the volume itself can be opened.
  BusTypeAnswer a = drives.BusTypeOf('R');
  EXPECT_TRUE(a.opened);
  EXPECT_NE(a.busType, kBusTypeAta);
}

// What moving a letter learns and undoes works on Wine; giving and taking
// mount points does not (the core's orders are tested against a fake).
TEST(Win32VolumesTest, ASessionNameReachesTheSameVolumeAndGoesAwayExactly) {
  Win32Volumes volumes;
  std::optional<std::string> device = volumes.DeviceOf("R:");
  ASSERT_TRUE(device);
  EXPECT_FALSE(volumes.DeviceOf("K:"));
  ASSERT_TRUE(volumes.DefineName("K:", *device));
  EXPECT_EQ(volumes.DeviceOf("K:"), device);
  EXPECT_EQ(volumes.VolumeAt("K:\\"), volumes.VolumeAt("R:\\"));
  // (Wine takes the name away whatever device is named with it.)
  EXPECT_TRUE(volumes.RemoveName("K:", *device));
  EXPECT_FALSE(volumes.DeviceOf("K:"));
  EXPECT_EQ(Win32Drives().TypeOf("K:\\"), DriveType::NoRootDir);
  EXPECT_TRUE(volumes.Label("R:\\"));
}

TEST(Win32RegistryTest, ReadsStringValuesAndNothingForMissingOnes) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\KestroTest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  std::wstring value = Widen("C:\\바탕화면\\wall.bmp");
  RegSetValueExW(key, L"Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 DWORD((value.size() + 1) * sizeof(wchar_t)));
  DWORD number = 5;
  RegSetValueExW(key, L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  RegCloseKey(key);

  Win32Registry reg;
  EXPECT_EQ(reg.ReadString(RegistryRoot::CurrentUser, "Software\\KestroTest", "Wallpaper"),
            std::optional<std::string>("C:\\바탕화면\\wall.bmp"));
  EXPECT_FALSE(reg.ReadString(RegistryRoot::CurrentUser, "Software\\KestroTest", "Missing"));
  EXPECT_FALSE(reg.ReadString(RegistryRoot::CurrentUser, "Software\\KestroTest", "Number"));
  EXPECT_FALSE(reg.ReadString(RegistryRoot::CurrentUser, "Software\\NoSuchKey", "Wallpaper"));
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KestroTest");
}

TEST(Win32RegistryTest, WritesKeepTypesAndDeletesLeaveNothingBehind) {
  Win32Registry reg;
  const auto HKCU = RegistryRoot::CurrentUser;
  const std::string key = "Software\\KestroTest2\\.txt";
  ASSERT_FALSE(reg.KeyContents(HKCU, key));
  ASSERT_TRUE(reg.WriteValue(HKCU, key, "", RegistryValue{"kestro.txt"}));
  ASSERT_TRUE(reg.WriteValue(HKCU, key, "kestro_bak", RegistryValue{"%SystemRoot%\\a", RegistryType::ExpandString}));
  ASSERT_TRUE(reg.WriteValue(HKCU, key + "\\Shell\\Open\\Command", "", RegistryValue{"p.exe \"%1\""}));
  EXPECT_EQ(reg.ReadValue(HKCU, key, ""), (RegistryValue{"kestro.txt", RegistryType::String}));
  EXPECT_EQ(reg.ReadValue(HKCU, key, "kestro_bak"), (RegistryValue{"%SystemRoot%\\a", RegistryType::ExpandString}));
  auto contents = reg.KeyContents(HKCU, key);
  ASSERT_TRUE(contents);
  EXPECT_EQ(contents->values.size(), 2u);
  EXPECT_EQ(contents->subkeys, (std::vector<std::string>{"Shell"}));
  EXPECT_TRUE(reg.DeleteValue(HKCU, key, "kestro_bak"));
  EXPECT_TRUE(reg.DeleteValue(HKCU, key, "kestro_bak"));  // gone already
  EXPECT_FALSE(reg.ReadValue(HKCU, key, "kestro_bak"));
  EXPECT_TRUE(reg.DeleteKeyTree(HKCU, "Software\\KestroTest2"));
  EXPECT_FALSE(reg.KeyContents(HKCU, key));
  EXPECT_TRUE(reg.DeleteValue(HKCU, key, "x"));  // no key: nothing to delete, nothing created
  EXPECT_FALSE(reg.KeyContents(HKCU, "Software\\KestroTest2"));
}

TEST(Win32DesktopTest, AJpegBecomesABottomUpBitmapFileOfItsSize) {
  TempFolder dir;
  Win32Desktop desktop;
  const std::string target = dir.path() + "\\\\kestro.bmp";
  EXPECT_FALSE(desktop.ConvertJpegToBitmap(dir.path() + "\\missing.jpg", target));
  EXPECT_FALSE(Win32FileSystem().FileExists(target));
  Win32FileSystem files;
  ASSERT_TRUE(files.WriteFile(dir.path() + "\\bad.jpg", "\xFF\xD8 not a picture"));
  EXPECT_FALSE(desktop.ConvertJpegToBitmap(dir.path() + "\\bad.jpg", target));
  // A 3 x 2 picture: rows padded to 12 bytes, the bottom row first.
  unsigned char* bits = nullptr;
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, 3, -2, 1, 24, BI_RGB};
  HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  ASSERT_TRUE(dib);
  for (int i = 0; i < 24; ++i) bits[i] = static_cast<unsigned char>(i < 12 ? 1 : 2);
  std::string bytes = BitmapFileBytes(dib);
  DeleteObject(dib);
  ASSERT_EQ(bytes.size(), 14u + 40u + 24u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(*reinterpret_cast<const int32_t*>(bytes.data() + 18), 3);
  EXPECT_EQ(*reinterpret_cast<const int32_t*>(bytes.data() + 22), 2);
  EXPECT_EQ(bytes[54], 2);  // the top row (1s) comes last
  EXPECT_EQ(bytes[54 + 12], 1);
}

TEST(Win32HostSystemTest, FoldersHaveTheFormsTheMacrosExpect) {
  Win32HostSystem host;
  std::string windows = host.WindowsFolder();
  ASSERT_FALSE(windows.empty());
  EXPECT_NE(windows.back(), '\\');
  EXPECT_EQ(host.SystemFolder().rfind(windows, 0), 0u);
  std::string temp = host.TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_FALSE(host.UserProfileFolder().empty());
  EXPECT_EQ(host.UserProfileFolder().find('%'), std::string::npos);
  EXPECT_FALSE(host.DesktopFolder().empty());
  // Xvfb's one screen of the tests, 1024 x 768, without a task bar.
  std::vector<MonitorArea> monitors = host.MonitorWorkAreas();
  ASSERT_EQ(monitors.size(), 1u);
  EXPECT_EQ(monitors[0], (MonitorArea{0, 0, 1024, 768}));
}

TEST(Win32EntryHostTest, MutexIsSeenWhileHeld) {
  std::string name = "kestro-test-mutex-" + std::to_string(GetCurrentProcessId());
  {
    Win32EntryHost host;
    EXPECT_FALSE(host.MutexExists(name));
    host.HoldMutex(name);
    EXPECT_TRUE(host.MutexExists(name));
  }
  EXPECT_FALSE(Win32EntryHost().MutexExists(name));
}

TEST(Win32StartSequenceTest, KoreanSettingsSurviveAStartExitCycleOnRealFiles) {
  TempFolder dir;
  Win32Platform p;
  const std::string xml = dir.path() + "Kestro.xml";
  ASSERT_TRUE(p.files.WriteFile(xml, "<Root><panel><title>내 도구</title><trans>120</trans></panel></Root>"));
  AppState state;
  ASSERT_EQ(StartSequence(state, p.platform).Run(dir.path() + "Kestro.exe"), StartOutcome::Running);
  EXPECT_EQ(state.env.title, "내 도구");
  ASSERT_TRUE(SaveAtExit(state, p.platform, WindowStateFromSettings(state.env)));

  AppState again;
  StartSequence(again, p.platform).Run(dir.path() + "Kestro.exe");
  EXPECT_EQ(again.env.title, "내 도구");
  EXPECT_EQ(again.env.trans, 120);
  EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"Kestro.xml"});
}

}  // namespace
}  // namespace kestro::win
