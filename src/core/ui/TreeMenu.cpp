#include "core/ui/TreeMenu.h"

#include "core/items/Editing.h"
#include "core/items/ItemTree.h"

namespace kestro {

const std::vector<TreeMenuEntry>& TreeMenuEntries() {
  static const std::vector<TreeMenuEntry> entries{
      {TreeCommand::Execute, "popMenu_Execute.Caption", "실행"},
      {TreeCommand::FolderOpen, "popMenu_FolderOpen.Caption", "대상폴더 열기"},
      {TreeCommand::AddFile, "popMenu_AddFile.Caption", "파일추가"},
      {TreeCommand::AddFolder, "popMenu_AddFolder.Caption", "폴더추가"},
      {TreeCommand::AddGroup, "popMenu_AddGroup.Caption", "그룹추가"},
      {TreeCommand::AddLine, "popMenu_AddLine.Caption", "구분선추가"},
      {TreeCommand::Delete, "popMenu_Delete.Caption", "삭제"},
      {TreeCommand::MoveTab, "popMenu_MoveTab.Caption", "항목 이동"},
      {TreeCommand::Attribute, "popMenu_Attribute.Caption", "항목 편집"},
      {TreeCommand::Tab, "popMenu_Tab.Caption", "탭"},
      {TreeCommand::TabAttribute, "popMenu_TabAttribute.Caption", "탭 설정"},
      {TreeCommand::TabAdd, "popMenu_TabAdd.Caption", "탭 추가"},
      {TreeCommand::TabDelete, "popMenu_TabDelete.Caption", "탭 삭제"},
      {TreeCommand::FavExecute, "popMenu_favExecute.Caption", "열기"},
      {TreeCommand::FavAddUrl, "popMenu_favAddUrl.Caption", "URL추가"},
      {TreeCommand::FavDelete, "popMenu_favDelete.Caption", "삭제"},
      {TreeCommand::FavTab, "popMenu_favTab.Caption", "탭"},
      {TreeCommand::FavTabAttribute, "popMenu_favTabAttribute.Caption", "탭 설정"},
  };
  return entries;
}

std::string TreeMenuCaption(TreeCommand command, const LanguageTexts& texts) {
  for (const auto& e : TreeMenuEntries())
    if (e.command == command) return texts.Caption(lang::kViewPopup, e.key, e.korean);
  return {};
}

TreeMenuEnabled TreeMenuStates(bool nodeHit, std::optional<ItemKind> focusedKind) {
  TreeMenuEnabled e;
  if (!nodeHit) {
    // The add and tab entries stay: they act on the tree, not on a node.
    e.execute = e.folderOpen = e.deleteItem = e.attribute = e.moveTab = false;
    return e;
  }
  if (!focusedKind) return e;
  switch (*focusedKind) {
    case ItemKind::Folder:
      e.execute = false;
      break;
    case ItemKind::Group:
    case ItemKind::Separator:
      e.execute = false;
      e.folderOpen = false;
      break;
    default:
      break;
  }
  return e;
}

std::vector<MoveTarget> MoveTargets(const std::vector<MenuPage>& pages, int activeIndex) {
  std::vector<MoveTarget> targets;
  for (size_t i = 0; i < pages.size(); ++i) {
    if (static_cast<int>(i) == activeIndex || pages[i].tag != TabTag::Items) continue;
    targets.push_back({i, pages[i].caption});
  }
  return targets;
}

ItemNode* MoveSubtreeToTree(ItemTree& source, ItemNode& node, ItemTree& target) {
  return MoveTo(source, node, target, Attach{nullptr, AttachMode::AddChildLast});
}

}  // namespace kestro
