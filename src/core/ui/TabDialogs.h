#pragma once
// Decisions of the tab dialogs and of the file choice of "add file", apart
// from their windows.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/config/Tabs.h"
#include "core/ui/TabStripLayout.h"  // Rect

namespace kestro {

// What OK of the tab property dialog does with the picture its button names
// (`chosen`) for a tab whose stored picture name is `current`.
enum class BackgroundAction { Keep, Load, Remove };
struct BackgroundChoice {
  BackgroundAction action = BackgroundAction::Keep;
  std::string backimage;  // the tab's picture name from now on
  std::optional<PictureFormat> format;  // for Load
  bool operator==(const BackgroundChoice&) const = default;
};
// Empty removes the picture; a ".bmp" or ".jpg" is loaded; anything else
// ("...", a picture of another type) keeps the tab's picture and its name,
// so that the document never loses a picture for one it cannot show.
BackgroundChoice BackgroundOnOk(std::string_view chosen, std::string_view current);

// Whether the font list offers an installed font: not the vertical ones ("@").
inline bool OffersFont(std::string_view face) { return !face.empty() && face.front() != '@'; }

// Half of `value` rounded to the nearest whole number, a half to the even one.
int HalfToEven(int value);

// Where the tab name dialog of `dialogHeight` stands beside the `panel`: at
// its left edge, vertically centred on it.
struct DialogPlace {
  int left = 0, top = 0;
  bool operator==(const DialogPlace&) const = default;
};
DialogPlace TabNameDialogPlace(const Rect& panel, int dialogHeight);

// The files chosen in a file dialog that allows several, from the parts its
// answer holds: one part is a full name; more are a folder and names in it.
std::vector<std::string> ChosenFiles(const std::vector<std::string>& parts);

}  // namespace kestro
