#include "core/ui/TabDialogs.h"

namespace kestro {

BackgroundChoice BackgroundOnOk(std::string_view chosen, std::string_view current) {
  if (chosen.empty()) return {BackgroundAction::Remove, {}, std::nullopt};
  if (auto format = BackgroundPictureFormat(chosen)) return {BackgroundAction::Load, std::string(chosen), format};
  return {BackgroundAction::Keep, std::string(current), std::nullopt};
}

int HalfToEven(int value) {
  if (value < 0) return -HalfToEven(-value);
  int half = value / 2;
  if (value % 2 == 0 || half % 2 == 0) return half;
  return half + 1;
}

DialogPlace TabNameDialogPlace(const Rect& panel, int dialogHeight) {
  return {panel.left, panel.top + HalfToEven(panel.bottom - panel.top) - HalfToEven(dialogHeight)};
}

std::vector<std::string> ChosenFiles(const std::vector<std::string>& parts) {
  std::vector<std::string> files;
  if (parts.empty() || parts.front().empty()) return files;
  if (parts.size() == 1) return {parts.front()};
  std::string folder = parts.front();
  if (folder.back() != '\\') folder += '\\';
  for (size_t i = 1; i < parts.size(); ++i)
    if (!parts[i].empty()) files.push_back(folder + parts[i]);
  return files;
}

}  // namespace kestro
