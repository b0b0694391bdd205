#pragma once
// The "tabs" section of Kestro.xml: the panel's tabs with their item trees.
#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/config/ConfigDocument.h"

namespace kestro {

struct EnvSet;
struct ReadProblems;
class IIcons;
class IShell;
class ItemNode;
class ItemShortcutTable;
class ItemTree;
class SectionWriter;
class MacroValues;

// Colours are 0x00BBGGRR, or 0xFF000000 plus the index of a system colour;
// they are stored as signed decimal numbers.
constexpr int32_t kColourWindow = static_cast<int32_t>(0xFF000005);      // window background
constexpr int32_t kColourWindowText = static_cast<int32_t>(0xFF000008);  // window text

// The appearance of an item tab or of the favorites tab.
struct TabStyle {
  int32_t backcolor = kColourWindow;
  std::string fontname;
  int32_t textcolor = kColourWindowText;
  int32_t textcolor2 = kColourWindowText;  // second text line of each item
  std::string backimage;                   // ".bmp" or ".jpg"
  bool bigicon = false;                    // 32 x 32 pictures instead of 16 x 16

  bool operator==(const TabStyle&) const = default;
};

// The tag of a tab page: what the page holds.
enum class TabTag : int32_t {
  Items = 0,
  Find = 1,
  Favorites = 2,
  SystemInfo = 3,
};

// A stored tag; values that name no kind of tab are item tabs.
TabTag TabTagFromStored(int32_t stored);

enum class PictureFormat { Bitmap, Jpeg };
// By the extension in any letter case; nothing for other pictures, which are
// not shown (their name is still kept and written back).
std::optional<PictureFormat> BackgroundPictureFormat(std::string_view file);

// One page of the panel.
class ITabPage {
 public:
  virtual ~ITabPage() = default;
  virtual std::string Caption() const = 0;
  virtual TabTag Tag() const = 0;
  // The item tree of an item tab or of the favorites tab; nullptr otherwise.
  virtual ItemTree* Tree() = 0;
  // The appearance as the page shows it now: its tree's background colour,
  // font and font colour, its frame's second-line colour and background
  // picture text, and bigicon when its tree's row height is the big one.
  virtual TabStyle Style() const = 0;
  // Takes over all of `style`, the background picture text included, and
  // sets the big or small row height and image list from `bigicon`.
  virtual void ApplyStyle(const TabStyle& style) = 0;
  // Shows `file` (absolute) behind the tree.
  virtual void LoadBackground(const std::string& file, PictureFormat format) = 0;
  virtual void ShowTreeLines(bool on) = 0;
};

// The panel's pages, in page order.
class IPanelPages {
 public:
  virtual ~IPanelPages() = default;
  // Appends a page of that kind: an item tree frame for item and favorites
  // tabs, the find frame, or the system information picture.
  virtual ITabPage& AddPage(const std::string& caption, TabTag tag) = 0;
  virtual size_t PageCount() const = 0;
  virtual ITabPage& PageAt(size_t index) = 0;
  // -1 when the panel has no pages.
  virtual int ActivePageIndex() const = 0;
};

// What reading and writing the trees work with besides the document.
struct TabsContext {
  EnvSet& env;  // icon settings and treeline; the special-tab flags are set
  const std::string& programDriveRoot;  // "E:\"; follows drive-letter changes
  const MacroValues& macros;
  IShell& shell;    // the runs at start and at the end
  IIcons& icons;    // pictures of folders, groups and items with an own icon
  ItemShortcutTable& shortcuts;  // item shortcuts, in load order over all tabs
  ReadProblems* problems = nullptr;  // values present but unreadable
  // Writing runs the items that run at the end; a save during the run does not.
  bool runEndItems = true;
};

// Builds the panel's tabs from the "tabs" section. Runs the items that run at
// start and lists the item shortcuts, in document order.
void LoadTabs(const ConfigDocument& doc, IPanelPages& pages, TabsContext& ctx);
// Adds the items of one "files" element under `parent` (nullptr: the top level).
void ReadItems(ItemTree& tree, pugi::xml_node files, ItemNode* parent, TabsContext& ctx);
// Replaces the "tabs" section from the panel's pages. Runs the items that run
// at the end, at every call unless `ctx.runEndItems` is off.
void WriteTabs(ConfigDocument& doc, IPanelPages& pages, TabsContext& ctx);
// Writes the children of `parent` (nullptr: the top level) into the open
// "files" element of `out`.
void WriteItems(const ItemTree& tree, SectionWriter& out, const ItemNode* parent, TabsContext& ctx);

// The part of `path` from the last "." after the last "\" or ":"; empty when
// there is none.
std::string_view ExtensionOf(std::string_view path);

}  // namespace kestro
