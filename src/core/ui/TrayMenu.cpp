#include "core/ui/TrayMenu.h"

#include "core/app/AppState.h"
#include "core/app/PanelModel.h"
#include "core/config/MessageTable.h"
#include "core/config/PathMacros.h"
#include "core/items/RunFile.h"
#include "core/text/Text.h"
#include "platform/Shell.h"

namespace kestro {

namespace {

void FillLevel(const std::vector<ItemNode*>& nodes, std::vector<TrayMenuEntry>& level, TrayMenuModel& model) {
  for (const ItemNode* node : nodes) {
    const TMyRec& rec = node->Data();
    if (rec.kind == ItemKind::Group && rec.hidefromtray) continue;
    TrayMenuEntry entry;
    switch (rec.kind) {
      case ItemKind::File:
      case ItemKind::Folder:
      case ItemKind::Group:
      case ItemKind::Url:
        entry.kind = TrayMenuEntry::Kind::Launch;
        entry.caption = MenuCaption(rec.name);
        entry.image = rec.imageindex;
        // The record keeps path and parameters apart, so that a "|" in
        // either comes through whole.
        entry.launch = int(model.launches.size());
        model.launches.push_back({rec.path, rec.parameters});
        break;
      case ItemKind::Separator:
        entry.kind = TrayMenuEntry::Kind::Separator;
        break;
      default:
        entry.kind = TrayMenuEntry::Kind::Blank;
        break;
    }
    // A separator line cannot open a submenu; whatever hangs below one is
    // unreachable in the tray as it is in the tree's own menus.
    if (entry.kind != TrayMenuEntry::Kind::Separator && !node->Children().empty())
      FillLevel(node->Children(), entry.children, model);
    level.push_back(std::move(entry));
  }
}

}  // namespace

std::string TrayHint(const std::string& programDrive, const MessageTable& messages) {
  return std::string("Kestro v") + kVersionText + "\r" + ToUpperAscii(programDrive) + messages.Text(msg::kInUse);
}

std::string MenuCaption(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&') out += '&';
    out += c;
  }
  return out;
}

TrayMenuCaptions TrayRightCaptions(const std::optional<TrayMenuCaptions>& fromLanguage) {
  TrayMenuCaptions c = fromLanguage.value_or(TrayMenuCaptions{"실행창 보기", "환경설정", "종료"});
  return {MenuCaption(c.view), MenuCaption(c.env), MenuCaption(c.exit)};
}

TrayMenuModel BuildTrayMenu(const PanelModel& panel, bool tabsAsSubmenus, std::string_view showPanelCaption) {
  TrayMenuModel model;
  TrayMenuEntry show;
  show.kind = TrayMenuEntry::Kind::ShowPanel;
  show.caption = MenuCaption(showPanelCaption);
  model.entries.push_back(std::move(show));
  for (size_t i = 0; i < panel.PageCount(); ++i) {
    const PanelPage& page = panel.Page(i);
    if (page.Tag() != TabTag::Items || !page.Tree()) continue;
    model.entries.push_back({TrayMenuEntry::Kind::Separator, {}, kNoPicture, -1, {}});
    if (tabsAsSubmenus) {
      TrayMenuEntry tab;
      tab.kind = TrayMenuEntry::Kind::TabMenu;
      tab.caption = MenuCaption(page.Caption());
      FillLevel(page.Tree()->TopLevel(), tab.children, model);
      model.entries.push_back(std::move(tab));
    } else {
      FillLevel(page.Tree()->TopLevel(), model.entries, model);
    }
  }
  return model;
}

void LaunchTrayEntry(const TrayLaunch& launch, IShell& shell, const MacroValues& macros) {
  if (launch.path.empty()) return;
  RunFile(shell, ExpandMacros(launch.path, macros), ExpandMacros(launch.parameters, macros), kSwShowNormal);
}

}  // namespace kestro
