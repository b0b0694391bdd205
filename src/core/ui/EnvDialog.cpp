#include "core/ui/EnvDialog.h"

#include <algorithm>

#include "core/app/ErrorLog.h"
#include "core/config/Language.h"
#include "core/config/PathMacros.h"
#include "core/config/ShortcutCodes.h"
#include "core/items/ItemRecord.h"
#include "core/text/Text.h"

namespace kestro {

int TransPercentOf(int32_t opacity) { return std::clamp(int(opacity) * 100 / 255, 10, 100); }

int32_t OpacityOfPercent(int percent) { return int32_t(std::clamp(percent, 10, 100) * 255 / 100); }

ChoiceList LanguageChoices(const std::vector<std::string>& fileNames, const std::string& language) {
  ChoiceList list;
  list.entries.emplace_back(kDefaultLanguage);
  SearchLngFile(fileNames, list.entries);
  if (language.empty()) {
    list.selected = 0;
    return list;
  }
  const std::string wanted = ToLowerAscii(language);
  for (size_t i = 0; i < list.entries.size(); ++i)
    if (ToLowerAscii(list.entries[i]) == wanted) {
      list.selected = int(i);
      break;
    }
  return list;
}

ChoiceList FixDriveChoices(const std::string& programDrive, const std::function<bool(char letter)>& letterFree,
                           const std::string& fixdrivename) {
  ChoiceList list;
  const std::string own = ToLowerAscii(programDrive);
  for (char letter = 'E'; letter <= 'Z'; ++letter) {
    std::string name{letter, ':'};
    if ((letterFree && letterFree(letter)) || ToLowerAscii(name) == own) list.entries.push_back(name);
  }
  for (size_t i = 0; i < list.entries.size(); ++i)
    if (list.entries[i] == fixdrivename) list.selected = int(i);
  return list;
}

std::string FixDriveCaption(const std::string& caption, const std::string& programDrive) {
  return caption + programDrive + ")";
}

EnvDialogValues FillEnvDialog(const EnvSet& env, const EnvDialogContext& ctx) {
  EnvDialogValues v;
  v.title = env.title;
  v.itemInfo = env.iteminfomode >= 0 && env.iteminfomode <= 5 ? env.iteminfomode : 5;
  v.xbuttonAction = env.xbuttonaction >= 0 && env.xbuttonaction <= 2 ? env.xbuttonaction : 0;
  v.showOnStart = env.showonstartup;
  v.tooltip = env.tooltip;
  v.transPercent = TransPercentOf(env.trans);
  v.treeLine = env.treeline;
  v.fixWindow = env.fixwindow;
  v.freeSpaceBar = env.freespacebar;
  v.deleteExt = env.deleteext;
  v.languages = LanguageChoices(ctx.folderEntries, env.language);

  v.useFixDrive = env.usefixdrive;
  v.drives = FixDriveChoices(ctx.programDrive, ctx.letterFree, env.fixdrivename);
  // The boxes as stored: the drive-removal box's rule runs on clicks only.
  v.exitUsbPrg = env.exituseprg;
  v.exitTempPrg = env.exittempprg;
  v.exitShellPrg = env.exitshellprg;
  v.tryRemoveDrive = env.tryremovedrive;

  v.folderIcon = !env.foldericon.empty();
  v.folderIconPath = env.foldericon;
  v.groupIcon = !env.groupicon.empty();
  v.groupIconPath = env.groupicon;
  v.changeDriveIcon = env.iconmode == 1;
  v.driveIconFolder = env.driveiconfolder;

  v.changeWallpaper = env.changewallpaper;
  if (env.changewallpaper && !env.wallpapername.empty() && ctx.fileExists && ctx.fileExists(env.wallpapername))
    v.wallpaperName = env.wallpapername;
  v.hideIcon = env.hideicon;

  for (int n = 0; n < kShortcutRows; ++n) v.shortcutTexts[n] = ShortcutRowText(env.shortcuts[n]);

  v.trayMenuTab = env.traymenutab;
  v.usbAllExit = env.usballexit;
  v.startUseUpFavorite = env.startuseupfavorite;
  v.startUseUpExeLink = env.startuseupexelink;
  v.driveEntriesEnabled = !ctx.pcEdition;
  return v;
}

void TryRemoveDriveClicked(EnvDialogValues& v, bool on) {
  v.tryRemoveDrive = on;
  v.exitUsbPrg = v.exitTempPrg = v.exitShellPrg = on;
}

void KeepLiveValue(EnvSet& env, const EnvDialogValues& v, LiveControl control) {
  switch (control) {
    case LiveControl::ItemInfo:
      env.iteminfomode = v.itemInfo;
      break;
    case LiveControl::TryRemoveDrive:
      // Its rule turns the program boxes with it; the shell box has no rule
      // of its own and waits for OK.
      env.tryremovedrive = v.tryRemoveDrive;
      env.exituseprg = v.exitUsbPrg;
      env.exittempprg = v.exitTempPrg;
      break;
    case LiveControl::ExitUsbPrg:
      env.exituseprg = v.exitUsbPrg;
      break;
    case LiveControl::ExitTempPrg:
      env.exittempprg = v.exitTempPrg;
      break;
    case LiveControl::DriveIconFolder:
      env.driveiconfolder = v.driveIconFolder;
      break;
  }
}

std::string ShortcutRowText(const ShortcutSlot& slot) {
  return slot.useshortkey == 1 ? ShortKeyString(slot.mainkey, slot.subkey) : std::string();
}

std::optional<ShortcutSlot> ShortcutSlotFromChoice(int modifierIndex, int keyIndex) {
  if (!IsModifierCode(modifierIndex) || !IsKeyCode(keyIndex)) return std::nullopt;
  return ShortcutSlot{1, modifierIndex, keyIndex};
}

std::string ShortcutChoiceText(int modifierIndex, int keyIndex) {
  return ShortcutSettingsText(modifierIndex, keyIndex);
}

EnvDialogApply ApplyEnvDialog(EnvSet& env, const EnvDialogValues& v, int32_t opacity, bool refreshTrees,
                              const std::string& programDrive, const std::string& programFolder,
                              IFileSystem& files) {
  EnvDialogApply apply;
  env.title = v.title;
  apply.panelCaption = env.title.empty() ? "Kestro" : env.title;
  env.iteminfomode = v.itemInfo;
  env.xbuttonaction = v.xbuttonAction;
  env.showonstartup = v.showOnStart;
  env.tooltip = v.tooltip;
  env.trans = opacity;
  env.treeline = v.treeLine;
  env.fixwindow = v.fixWindow;
  env.freespacebar = v.freeSpaceBar;
  env.deleteext = v.deleteExt;
  apply.opacity = opacity;
  apply.freeSpaceBar = v.freeSpaceBar;
  env.language = v.languages.SelectedText();

  env.usefixdrive = v.useFixDrive;
  env.fixdrivename = v.drives.SelectedText();
  env.tryremovedrive = v.tryRemoveDrive;
  env.exituseprg = v.exitUsbPrg;
  env.exittempprg = v.exitTempPrg;
  env.exitshellprg = v.exitShellPrg;

  env.driveiconfolder = v.driveIconFolder;
  if (v.changeDriveIcon && !programDrive.empty()) {
    // The picture named after the drive letter, such as E.ico for E:.
    std::string candidate = v.driveIconFolder + "\\" + programDrive.substr(0, 1) + ".ico";
    if (files.FileExists(candidate)) {
      env.iconmode = 1;
      env.appicon = candidate;
    } else {
      env.iconmode = 0;
    }
  } else {
    env.iconmode = 0;
    ChooseApplicationIcon(env, programFolder, files);
  }
  if (!env.appicon.empty()) env.appicon = MakeAbsolute(env.appicon, programDrive + "\\");
  apply.appIcon = env.appicon;

  env.foldericon = v.folderIcon ? v.folderIconPath : std::string();
  env.groupicon = v.groupIcon ? v.groupIconPath : std::string();

  apply.changeWallpaper = v.changeWallpaper;
  apply.wallpaperName = v.wallpaperName;
  apply.hideIcons = v.hideIcon;

  env.traymenutab = v.trayMenuTab;
  env.usballexit = v.usbAllExit;
  env.startuseupfavorite = v.startUseUpFavorite;
  env.startuseupexelink = v.startUseUpExeLink;
  apply.refreshTrees = refreshTrees;
  return apply;
}

void RefreshTreePictures(PanelModel& panel, const EnvSet& env, IIcons& icons) {
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    PanelPage& page = panel.Page(i);
    ItemTree* tree = page.Tree();
    if (page.Tag() != TabTag::Items || !tree || tree->TopLevel().empty()) continue;
    page.ShowTreeLines(env.treeline);
    tree->ForEach([&](ItemNode& node) {
      TMyRec& rec = node.Data();
      if (rec.kind == ItemKind::Folder) {
        rec.imageindex = icons.AddFileIcon(!env.foldericon.empty() ? env.foldericon
                                           : !rec.icon.empty()     ? rec.icon.str()
                                                                   : rec.path.str());
      } else if (rec.kind == ItemKind::Group) {
        if (!env.groupicon.empty())
          rec.imageindex = icons.AddFileIcon(env.groupicon);
        else if (!rec.icon.empty())
          rec.imageindex = icons.AddFileIcon(rec.icon);
        else
          rec.imageindex = kGroupPicture;
      }
    });
  }
}

}  // namespace kestro
