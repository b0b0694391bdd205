#include "core/ui/ItemTexts.h"

#include "core/config/PathMacros.h"
#include "core/config/ShortcutCodes.h"
#include "core/ui/Dpi.h"

namespace kestro {

std::string ItemShortcutText(const TMyRec& rec) {
  if (!rec.hotkey) return {};
  return ShortcutDisplayText(rec.hotkeymodifier, rec.hotkeycode);
}

std::string SubText(const ItemNode& node, int32_t iteminfomode, std::string_view programDriveRoot) {
  const TMyRec& rec = node.Data();
  switch (rec.kind) {
    case ItemKind::Group:
      return std::to_string(node.Children().size()) + " items";
    case ItemKind::Url:
      return rec.url;
    case ItemKind::File:
    case ItemKind::Folder:
      break;
    default:
      return {};
  }
  switch (iteminfomode) {
    case 0:
      return MakeDriveRelative(rec.path, programDriveRoot);
    case 1:
      return rec.path;
    case 2:
      return rec.parameters;
    case 3:
      return ItemShortcutText(rec);
    case 4:
      return rec.addexplain;
    default:
      return {};
  }
}

std::optional<std::string> HintText(const TMyRec& rec, bool tooltip) {
  if (!tooltip || rec.kind == ItemKind::Separator) return std::nullopt;
  std::string label;
  switch (rec.kind) {
    case ItemKind::File:
      label = "[File]";
      break;
    case ItemKind::Folder:
      label = "[Folder]";
      break;
    case ItemKind::Group:
      label = "[Group]";
      break;
    default:
      break;
  }
  std::string hint = label;
  hint += "\r경 로: " + rec.path;
  hint += "\r파라메터: " + rec.parameters;
  hint += "\r파일설명: " + rec.addexplain;
  hint += "\r단축키: " + ItemShortcutText(rec);
  return hint;
}

ItemTextPlacement PlaceItemTexts(const Rect& item, size_t level, bool separator, bool hasSubText,
                                 const ItemTextMetrics& m) {
  ItemTextPlacement p;
  const int lv = static_cast<int>(level);
  // Each length scales on its own, as the tree's columns do, so that texts
  // stay beside the pictures at every level.
  auto px = [&](int v) { return ScaleToDpi(v, m.dpi); };
  if (separator) {
    p.separator = SeparatorLine{item.left + lv * px(18) + px(26), item.right - px(5), item.top + px(3)};
    return p;
  }
  const int h = px(m.nodeHeight);
  const int column = px(m.indent) * (lv + 1);
  if (!IsBigIconMode(m)) {
    int x = item.left + column + h + px(10);
    p.caption = TextLine{x, item.top + px(3), Rect{item.left, item.top + px(3), item.right, item.bottom}};
    return p;
  }
  int x = item.left + column + h + px(8);
  if (hasSubText) {
    int half = h / 2;
    p.caption = TextLine{x, item.top + px(3), Rect{item.left, item.top, item.right, item.top + half}};
    const int gap = px(1);
    p.subText = TextLine{x, item.top + half + gap,
                         Rect{item.left, item.top + half + gap, item.right, item.top + 2 * half + gap}};
  } else {
    p.caption = TextLine{x, item.top + px(10), item};
  }
  return p;
}

}  // namespace kestro
