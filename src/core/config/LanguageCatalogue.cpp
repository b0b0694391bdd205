#include "core/config/LanguageCatalogue.h"

#include <initializer_list>

namespace kestro {

namespace {

// `prefix` + first ... last + `suffix`.
std::vector<std::string> Numbered(std::string_view prefix, int first, int last, std::string_view suffix = {}) {
  std::vector<std::string> keys;
  for (int n = first; n <= last; ++n) keys.push_back(std::string(prefix) + std::to_string(n) + std::string(suffix));
  return keys;
}

std::vector<std::string> Keys(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> keys;
  for (const auto& part : parts) keys.insert(keys.end(), part.begin(), part.end());
  return keys;
}

std::vector<LanguageCatalogueEntry> Build() {
  std::vector<std::string> msgbox;
  for (int n = 0; n < kMessageCount; ++n) msgbox.push_back("strMsgList" + MessageKey(n));
  return {
      {lang::kTrayMenu, "start", {"traymenu_view.caption", "traymenu_env.caption", "traymenu_exit.caption"}},
      {lang::kMsgbox, "start", msgbox},
      {lang::kViewPanel,
       "panel window",
       {"menu_file.caption",         "menu_view.caption",           "menu_env.caption",
        "menu_searchexe.caption",    "menu_hide.caption",           "menu_appexit.caption",
        "menu_topwin.caption",       "menu_bigicon.caption",        "menu_smallicon.caption",
        "menu_favoritetab.caption",  "menu_findtab.caption",        "menu_sysinfotab.caption",
        "menu_envsetting.caption",   "menu_uselink.caption",        "menu_usepclink.caption",
        "menu_useusblink.caption",   "menu_ExeLinkSetting.caption", "menu_favoriteuse.caption",
        "menu_favoritecopy.caption", "menu_autoruninf.caption",     "menu_backup.caption",
        "menu_gohome.caption",       "menu_dorvane.caption",        "menu_intro.caption",
        "popmenu_tabadd.caption",    "strSystemInfo.caption",       "strfavorite.caption",
        "strsearch.caption"}},
      {lang::kViewPopup,
       "item tree frame",
       {"popMenu_Execute.Caption", "popMenu_FolderOpen.Caption", "popMenu_AddFile.Caption", "popMenu_AddFolder.Caption",
        "popMenu_AddGroup.Caption", "popMenu_AddLine.Caption", "popMenu_Delete.Caption", "popMenu_MoveTab.Caption",
        "popMenu_Attribute.Caption", "popMenu_Tab.Caption", "popMenu_TabAttribute.Caption", "popMenu_TabAdd.Caption",
        "popMenu_TabDelete.Caption", "popMenu_favExecute.Caption", "popMenu_favAddUrl.Caption",
        "popMenu_favDelete.Caption", "popMenu_favTab.Caption", "popMenu_favTabAttribute.Caption"}},
      {lang::kEnvironment, "settings dialog",
       Keys({{"Self.Caption"},
             Numbered("TabSheet", 1, 6, ".Caption"),
             {"gbDefault.caption", "lb1.caption", "lb2.caption"},
             Numbered("cbItemInfo.Item", 0, 5),
             {"lb3.caption"},
             Numbered("cbXbutton_Action.Item", 0, 2),
             {"ckstartview.caption",
              "ckfixwindow.caption",
              "ckFreeSpaceBar.caption",
              "ckTooltip.caption",
              "ckTreeLine.caption",
              "ckDeleteExt.caption",
              "gbTrans.caption",
              "gbStart.caption",
              "ckUseFixDrive.caption",
              "lb2_1.caption",
              "gbEnd.caption",
              "ckTryRemoveDrive.caption",
              "ckExitUsbPrg.caption",
              "ckExitTempPrg.caption",
              "ckExitShellPrg.caption",
              "ckFolderIcon.Caption",
              "lb3_1.Caption",
              "ckGroupIcon.Caption",
              "lb3_2.Caption",
              "ckChangeDriveIcon.Caption",
              "btSelectIconFolder.Caption",
              "lb3_3.Caption",
              "ckChangeWallpaper.caption",
              "lb4_1.Caption",
              "ckHideIcon.caption",
              "lvShortKeyList.Column1.Caption",
              "lvShortKeyList.Column2.Caption"},
             Numbered("lvShortKeyList.subitems", 0, 3),
             {"ckTrayMenuTab.Caption", "ckUsbAllExit.Caption", "ckStartUseUpFavorite.Caption",
              "ckStartUseUpExeLink.Caption"}})},
      {lang::kEnvironmentButton, "settings dialog", {"btnAppend.Caption", "btnCancel.Caption", "btnOK.caption"}},
      {lang::kFileProperty, "item property dialog",
       Keys({{"Self.Caption", "TabSheet1.Caption", "TabSheet2.Caption", "gbDefult.Caption", "lbExefileName.Caption",
              "lbFilePath.Caption", "lbParameter.Caption", "lbFileDesc.Caption", "ckChangeIcon.Caption",
              "ckHotKey.Caption", "lbAutoRun.Caption", "lbWindowState.Caption"},
             Numbered("cbAutoRun.item", 0, 3),
             Numbered("cbWinState.item", 0, 3),
             {"btEnvVarList.Caption"}})},
      {lang::kFilePropertyButton, "item property dialog", {"btnAppend.Caption", "btnCancel.Caption"}},
      {lang::kGroupProperty,
       "group dialog",
       {"Self.Caption", "gbGroupName.Caption", "ckGroupIcon.Caption", "ckHideFromTray.Caption"}},
      {lang::kTabCreate, "tab name dialog", {"Self.Caption"}},
      {lang::kTabCreateButton, "tab name dialog", {"btnOk.Caption", "btnCancel.Caption"}},
      {lang::kTabProperty,
       "tab property dialog",
       {"self.caption", "gbTabName.caption", "gbTreeViewSet.caption", "lbSelectFont.caption", "btTitleColor.caption",
        "btTitleColor2.caption", "btBackColor.caption", "lbBackImageSet.caption"}},
      {lang::kTabPropertyButton, "tab property dialog", {"btnOK.caption", "btnCancel.caption"}},
      {lang::kUrlProperty,
       "URL property dialog",
       {"self.caption", "gbDefault.caption", "lbTitle.caption", "lbUrlAddress.caption"}},
      {lang::kExtLink,
       "association manager",
       {"Self.Caption", "gbExtAppend.Caption", "lvExeLink.Column1.Caption", "lvExeLink.Column2.Caption",
        "lbExt.Caption", "btSelectExe.Caption", "btAddList.Caption"}},
      {lang::kExtLinkButton, "association manager", {"btnOK.Caption"}},
      {lang::kFindTab,
       "find frame",
       {"btSearch.caption", "lbTotal.caption", "popMenu_Execute.caption", "popMenu_FolderOpen.caption",
        "popMenu_MoveTab.caption"}},
      {lang::kEditAutorun, "autorun.inf editor", {"lb1_1.caption", "btSave.caption", "btCancel.caption"}},
      {lang::kEnvVariantList, "path-macro list",
       Keys({{"self.caption", "lvEnvVarList.Column0.Caption", "lvEnvVarList.Column1.Caption",
              "lvEnvVarList.Column2.Caption"},
             Numbered("lvEnvVarList.subitems", 0, 5)})},
      {lang::kExitList,
       "exit list dialog",
       {"Self.Caption", "gbExitOption.Caption", "rbExitAll.Caption", "rbExitOnlyUp.Caption"}},
      {lang::kExitListButton, "exit list dialog", {"btnExit.Caption"}},
  };
}

}  // namespace

const std::vector<LanguageCatalogueEntry>& LanguageCatalogue() {
  static const std::vector<LanguageCatalogueEntry> catalogue = Build();
  return catalogue;
}

}  // namespace kestro
