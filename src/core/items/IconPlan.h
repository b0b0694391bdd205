#pragma once
// Which pictures to look up, and in what order, when a group opens and after
// start. The lookups themselves are the platform's.
#include <cstddef>
#include <string>
#include <vector>

#include "core/items/ItemTree.h"

namespace kestro {

class MacroValues;
class PanelModel;

// One picture to look up for one node.
struct IconJob {
  NodeId node = kNoNode;
  std::string file;  // the icon file or the item's path, as held in memory
};

// The background loader's work: the file items still without a picture, the
// active tab at start first (when it is an item tab), then the other item
// tabs in page order; the whole tree of each, collapsed groups included.
std::vector<IconJob> PlanIconLoad(PanelModel& panel, int startTabIndex);

// Every picture lookup after the panel shows at start, in the order the
// pictures are appended: the four fixed ones, the application icon (when it
// is wanted), the ones asked for while the trees were read, then the
// background loader's. Between the last two a job without a lookup
// (DeferredDone) marks the moment the trees can take the pictures asked for
// while reading. The files of the items are looked up with their path macros
// expanded. The program folder's own picture is not looked up: its index is
// not kept, so nothing could show it, and under Wine the shell keeps the
// picture of a drive root (where Kestro usually lives) in lists costing a
// megabyte.
enum class PictureJobKind { Fixed, AppIcon, Deferred, DeferredDone, Node };
struct PictureJob {
  PictureJobKind kind = PictureJobKind::Node;
  int fixedIndex = -1;  // 0..3 for the fixed pictures
  std::string file;     // empty: nothing to look up
  NodeId node = kNoNode;
};
std::vector<PictureJob> StartPictureJobs(const std::vector<std::string>& deferredPaths, const std::string* appIcon,
                                         std::vector<IconJob>&& loader, const MacroValues& macros);

// The children of a group just expanded that get their picture now: in order,
// up to the first one that already has one. Files are made absolute here; a
// file beginning with a path macro is left to AddFileIcon to expand.
std::vector<IconJob> ExpansionJobs(const ItemNode& group, const std::string& programDriveRoot);

// Parts of `text` between separators; "a|" gives "a" and "".
void SplitText(const std::string& text, const std::string& separator, std::vector<std::string>& parts);
// Position of the first entry equal to `text` (exact), or -1.
int IndexOfText(const std::string& text, const std::vector<std::string>& list);

}  // namespace kestro
