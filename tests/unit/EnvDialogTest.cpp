// The settings dialog's decisions: filling, its rules, OK's write-back.
#include <gtest/gtest.h>

#include "core/ui/EnvDialog.h"
#include "unit/FakePlatform.h"
#include "unit/FakeShell.h"

namespace kestro {
namespace {
using testing::FakeFileSystem;
using testing::FakeIcons;

TEST(EnvDialogOpacity, PercentAndOpacityThroughIntegerDivisions) {
  struct Case {
    int32_t opacity;
    int percent;
    int32_t back;
  };
  // 200 shows 78 %, which would mean 198: the fill must not apply it.
  for (Case c : {Case{255, 100, 255}, Case{200, 78, 198}, Case{25, 10, 25}, Case{0, 10, 25}, Case{128, 50, 127}}) {
    EXPECT_EQ(TransPercentOf(c.opacity), c.percent) << c.opacity;
    EXPECT_EQ(OpacityOfPercent(c.percent), c.back) << c.opacity;
  }
}

TEST(EnvDialogLists, LanguagesAndDrives) {
  std::vector<std::string> files{"english.lng", ".", "..", "a.LNG", "readme.txt", "Japan.lng"};
  ChoiceList none = LanguageChoices(files, "");
  EXPECT_EQ(none.entries, (std::vector<std::string>{"Default(korea)", "english.lng", "Japan.lng"}));
  EXPECT_EQ(none.selected, 0);
  EXPECT_EQ(LanguageChoices(files, "JAPAN.lng").selected, 2);
  EXPECT_EQ(LanguageChoices(files, "gone.lng").selected, -1);
  EXPECT_EQ(LanguageChoices(files, "gone.lng").SelectedText(), "");

  auto freeLetters = [](char l) { return l == 'F' || l == 'K' || l == 'C' || l == 'Z'; };
  ChoiceList drives = FixDriveChoices("G:", freeLetters, "K:");
  EXPECT_EQ(drives.entries, (std::vector<std::string>{"F:", "G:", "K:", "Z:"}));  // never C:
  EXPECT_EQ(drives.SelectedText(), "K:");
  // A stored letter now used by another drive is not offered.
  EXPECT_EQ(FixDriveChoices("G:", freeLetters, "H:").selected, -1);
  EXPECT_EQ(FixDriveCaption("USB 드라이브를 고정 사용(현재 ", "E:"), "USB 드라이브를 고정 사용(현재 E:)");
}

TEST(EnvDialogFill, ShowsTheSettingsAndChangesNone) {
  EnvSet env;
  env.title = "My drive";
  env.iteminfomode = -1;
  env.xbuttonaction = -1;
  env.trans = 200;
  env.tryremovedrive = true;  // the program boxes stay as stored
  env.exituseprg = false;
  env.exittempprg = false;
  env.exitshellprg = true;
  env.foldericon = "U:\\icons\\f.ico";
  env.iconmode = 1;
  env.driveiconfolder = "U:\\drv";
  env.changewallpaper = true;
  env.wallpapername = "U:\\gone.jpg";
  env.shortcuts[0] = {1, 0, 0};
  env.shortcuts[2] = {1, 7, 16};
  env.shortcuts[3] = {0, -1, -1};
  env.language = "english.lng";
  env.fixdrivename = "U:";
  const EnvSet before = env;
  EnvDialogContext ctx{"U:", true, {"english.lng"}, [](char) { return false; },
                       [](const std::string&) { return false; }};
  EnvDialogValues v = FillEnvDialog(env, ctx);
  EXPECT_EQ(env, before);
  EXPECT_EQ(v.title, "My drive");
  EXPECT_EQ(v.itemInfo, 5);
  EXPECT_EQ(v.xbuttonAction, 0);
  EXPECT_EQ(v.transPercent, 78);
  EXPECT_TRUE(v.tryRemoveDrive);
  EXPECT_FALSE(v.exitUsbPrg);
  EXPECT_FALSE(v.exitTempPrg);
  EXPECT_TRUE(v.exitShellPrg);
  EXPECT_TRUE(v.folderIcon);
  EXPECT_FALSE(v.groupIcon);
  EXPECT_TRUE(v.changeDriveIcon);
  EXPECT_TRUE(v.changeWallpaper);
  EXPECT_EQ(v.wallpaperName, "");  // the file is gone
  EXPECT_EQ(v.shortcutTexts, (std::array<std::string, 4>{"Ctrl + Alt + A", "", "Win +  Alt + Q", ""}));
  EXPECT_EQ(v.languages.SelectedText(), "english.lng");
  EXPECT_EQ(v.drives.SelectedText(), "U:");  // the own drive is always offered
  EXPECT_FALSE(v.driveEntriesEnabled);

  ctx.pcEdition = false;
  ctx.fileExists = [](const std::string& p) { return p == "U:\\gone.jpg"; };
  v = FillEnvDialog(env, ctx);
  EXPECT_EQ(v.wallpaperName, "U:\\gone.jpg");
  EXPECT_TRUE(v.driveEntriesEnabled);
}

TEST(EnvDialogRules, DriveRemovalBoxAndShortcutChoices) {
  EnvDialogValues v;
  v.exitShellPrg = true;
  TryRemoveDriveClicked(v, true);
  EXPECT_TRUE(v.exitUsbPrg && v.exitTempPrg && v.exitShellPrg && v.tryRemoveDrive);
  TryRemoveDriveClicked(v, false);
  EXPECT_FALSE(v.exitUsbPrg || v.exitTempPrg || v.exitShellPrg || v.tryRemoveDrive);

  // A user's change reaches the settings at once, each control only its own
  // fields; the shell box waits for OK.
  {
    EnvSet env;
    env.iteminfomode = -1;
    env.exitshellprg = true;
    EnvDialogValues live;
    live.itemInfo = 3;
    live.driveIconFolder = "R:\\icons";
    TryRemoveDriveClicked(live, false);
    KeepLiveValue(env, live, LiveControl::TryRemoveDrive);
    EXPECT_EQ(env.iteminfomode, -1);
    EXPECT_FALSE(env.tryremovedrive || env.exituseprg || env.exittempprg);
    EXPECT_TRUE(env.exitshellprg);
    EXPECT_EQ(env.driveiconfolder, "");
    live.exitUsbPrg = true;
    KeepLiveValue(env, live, LiveControl::ExitUsbPrg);
    KeepLiveValue(env, live, LiveControl::ItemInfo);
    KeepLiveValue(env, live, LiveControl::DriveIconFolder);
    EXPECT_TRUE(env.exituseprg && !env.exittempprg);
    EXPECT_EQ(env.iteminfomode, 3);
    EXPECT_EQ(env.driveiconfolder, "R:\\icons");
  }

  struct Case {
    int mod, key;
    std::optional<ShortcutSlot> slot;
    std::string text;
  };
  for (const Case& c : {Case{7, 16, ShortcutSlot{1, 7, 16}, "Win + Alt + Q"}, Case{0, 26, ShortcutSlot{1, 0, 26}, "Ctrl + Alt + 0"},
                        Case{-1, 3, std::nullopt, ""}, Case{2, -1, std::nullopt, ""}, Case{12, 0, std::nullopt, ""}}) {
    EXPECT_EQ(ShortcutSlotFromChoice(c.mod, c.key), c.slot) << c.mod << "," << c.key;
    EXPECT_EQ(ShortcutChoiceText(c.mod, c.key), c.text) << c.mod << "," << c.key;
  }
  EXPECT_EQ(ShortcutRowText({1, 7, 16}), "Win +  Alt + Q");
  EXPECT_EQ(ShortcutRowText({0, 7, 16}), "");
}

TEST(EnvDialogOk, WritesBackAndSaysWhatToApply) {
  FakeFileSystem files;
  files.files["U:\\kestro\\kestro.ico"] = "i";
  files.files["U:\\drv\\U.ico"] = "i";
  EnvSet env;
  env.appicon = "U:\\old.ico";
  EnvDialogValues v;
  v.title = "";
  v.itemInfo = 3;
  v.xbuttonAction = 2;
  v.freeSpaceBar = true;
  v.languages = {{"Default(korea)", "english.lng"}, 1};
  v.drives = {{"F:", "U:"}, -1};
  v.useFixDrive = true;
  v.folderIcon = false;
  v.folderIconPath = "U:\\f.ico";  // the box is off: not stored
  v.groupIcon = true;
  v.groupIconPath = "U:\\g.ico";
  v.changeDriveIcon = true;
  v.driveIconFolder = "U:\\drv";
  v.changeWallpaper = true;
  v.wallpaperName = "U:\\sky.jpg";
  v.hideIcon = true;
  v.usbAllExit = true;
  EnvDialogApply a = ApplyEnvDialog(env, v, 198, true, "U:", "U:\\kestro\\", files);
  EXPECT_EQ(a.panelCaption, "Kestro");
  EXPECT_EQ(env.title, "");
  EXPECT_EQ(env.trans, 198);
  EXPECT_EQ(a.opacity, 198);
  EXPECT_EQ(env.iteminfomode, 3);
  EXPECT_EQ(env.xbuttonaction, 2);
  EXPECT_TRUE(env.freespacebar && a.freeSpaceBar);
  EXPECT_EQ(env.language, "english.lng");
  EXPECT_TRUE(env.usefixdrive);
  EXPECT_EQ(env.fixdrivename, "");
  EXPECT_EQ(env.iconmode, 1);
  EXPECT_EQ(env.appicon, "U:\\drv\\U.ico");
  EXPECT_EQ(a.appIcon, "U:\\drv\\U.ico");
  EXPECT_EQ(env.foldericon, "");
  EXPECT_EQ(env.groupicon, "U:\\g.ico");
  EXPECT_TRUE(a.changeWallpaper && a.hideIcons && a.refreshTrees);
  EXPECT_EQ(a.wallpaperName, "U:\\sky.jpg");
  EXPECT_TRUE(env.usballexit);

  // Without the drive's picture the mode turns off and the icon stays.
  files.files.erase("U:\\drv\\U.ico");
  ApplyEnvDialog(env, v, 255, false, "U:", "U:\\kestro\\", files);
  EXPECT_EQ(env.iconmode, 0);
  EXPECT_EQ(env.appicon, "U:\\drv\\U.ico");
  // The box off: the program's own icon file, else none.
  v.changeDriveIcon = false;
  ApplyEnvDialog(env, v, 255, false, "U:", "U:\\kestro\\", files);
  EXPECT_EQ(env.appicon, "U:\\kestro\\kestro.ico");
  files.files.clear();
  EXPECT_EQ(ApplyEnvDialog(env, v, 255, false, "U:", "U:\\kestro\\", files).appIcon, "");
}

TEST(EnvDialogOk, RefreshesTreeLinesAndPicturesOfItemTabsWithItems) {
  PanelModel panel;
  ItemTree& full = *panel.AddPage("full", TabTag::Items).Tree();
  ItemNode& folder = full.Add(nullptr);
  folder.Data().kind = ItemKind::Folder;
  folder.Data().path = "U:\\docs";
  ItemNode& group = full.Add(nullptr);
  group.Data().kind = ItemKind::Group;
  ItemNode& inner = full.Add(&group);
  inner.Data().kind = ItemKind::Folder;
  inner.Data().icon = "U:\\own.ico";
  ItemNode& file = full.Add(nullptr);
  file.Data().imageindex = 9;
  panel.AddPage("empty", TabTag::Items);
  panel.AddPage("found", TabTag::Find);

  EnvSet env;
  env.treeline = true;
  FakeIcons icons;
  RefreshTreePictures(panel, env, icons);
  EXPECT_TRUE(panel.Page(0).TreeLines());
  EXPECT_FALSE(panel.Page(1).TreeLines());  // empty: keeps its setting
  EXPECT_EQ(icons.asked, (std::vector<std::string>{"U:\\docs", "U:\\own.ico"}));
  EXPECT_EQ(group.Data().imageindex, kGroupPicture);
  EXPECT_EQ(file.Data().imageindex, 9);

  env.treeline = false;
  env.foldericon = "U:\\f.ico";
  env.groupicon = "U:\\g.ico";
  icons.asked.clear();
  RefreshTreePictures(panel, env, icons);
  EXPECT_FALSE(panel.Page(0).TreeLines());
  EXPECT_EQ(icons.asked, (std::vector<std::string>{"U:\\f.ico", "U:\\g.ico", "U:\\f.ico"}));
}

}  // namespace
}  // namespace kestro
