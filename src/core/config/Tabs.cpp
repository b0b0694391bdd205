#include "core/config/Tabs.h"

#include <vector>

#include "core/config/DocumentText.h"
#include "core/config/EnvSet.h"
#include "core/config/PathMacros.h"
#include "core/config/Settings.h"  // ReadProblems
#include "core/items/ItemShortcutTable.h"
#include "core/items/ItemTree.h"
#include "core/items/RunFile.h"
#include "core/text/Text.h"
#include "platform/Icons.h"

namespace kestro {

TabTag TabTagFromStored(int32_t stored) {
  switch (stored) {
    case 1: return TabTag::Find;
    case 2: return TabTag::Favorites;
    case 3: return TabTag::SystemInfo;
    default: return TabTag::Items;
  }
}

std::optional<PictureFormat> BackgroundPictureFormat(std::string_view file) {
  std::string lower = ToLowerAscii(file);
  if (EndsWith(lower, ".bmp")) return PictureFormat::Bitmap;
  if (EndsWith(lower, ".jpg")) return PictureFormat::Jpeg;
  return std::nullopt;
}

std::string_view ExtensionOf(std::string_view path) {
  for (size_t i = path.size(); i-- > 0;) {
    char c = path[i];
    if (c == '.') return path.substr(i);
    if (c == '\\' || c == ':') break;
  }
  return {};
}

namespace {

// Exact element names. Inline: the names are short and compared many times
// for each item.
inline bool Is(const char* name, const char* wanted) {
  while (*wanted && *name == *wanted) {
    ++name;
    ++wanted;
  }
  return *name == *wanted;
}

// The element's character data without the blanks around it, as the settings
// read it. The common case of a single text is viewed in place; otherwise the
// text is put together in `scratch`.
std::string_view TextView(pugi::xml_node e, std::string& scratch) {
  pugi::xml_node first = e.first_child();
  if (!first) return {};
  if (first.type() == pugi::node_pcdata && !first.next_sibling()) return TrimView(first.value());
  scratch = ElementText(e);
  return scratch;
}

// MakeAbsolute into an existing field, without a string in between for each
// of the thousands of paths read at start.
void AssignAbsolute(ItemString& field, std::string_view path, const std::string& driveRoot) {
  // Only a path starting with "%", "\\" or a letter and ":" can be kept as
  // it is: most are drive-relative and cost one look at two bytes.
  const bool maybeKept = !path.empty() && (path[0] == '%' || path[0] == '\\' || (path.size() >= 2 && path[1] == ':'));
  if (maybeKept && (path[0] == '%' || HasDrivePart(path))) {
    field.assign(path);
    return;
  }
  field.assign(driveRoot).append(path);
}

// An element of pugixml's DOM, as the readers below walk it: its element
// children only, the first attribute of a name, its text.
class DomElement {
 public:
  DomElement() = default;
  explicit DomElement(pugi::xml_node n) : n_(n) {}
  explicit operator bool() const { return bool(n_); }
  DomElement FirstChild() const { return Skip(n_.first_child()); }
  DomElement Next() const { return Skip(n_.next_sibling()); }
  bool Named(const char* name) const { return Is(n_.name(), name); }
  std::string_view Name() const { return n_.name(); }
  // Items and groups are written with "name" first: looked at first, it is
  // found without a string compare call for each attribute.
  std::string_view Attribute(const char* wanted, bool* found = nullptr) const {
    pugi::xml_attribute a = n_.first_attribute();
    if (!a || !Is(a.name(), wanted)) a = n_.attribute(wanted);
    if (found) *found = bool(a);
    return a.value();
  }
  std::string_view Text(std::string& scratch) const { return TextView(n_, scratch); }
  uint32_t ChildCount() const { return 0; }  // not known in advance

 private:
  static DomElement Skip(pugi::xml_node n) {
    while (n && n.type() != pugi::node_element) n = n.next_sibling();
    return DomElement(n);
  }
  pugi::xml_node n_;
};

// An element of the section as read from its text: the same questions,
// answered from what the scan kept.
class TextElement {
 public:
  TextElement() = default;
  explicit TextElement(ScannedSection::Element e) : e_(e) {}
  explicit operator bool() const { return bool(e_); }
  TextElement FirstChild() const { return TextElement(e_.FirstChild()); }
  TextElement Next() const { return TextElement(e_.Next()); }
  template <size_t N>
  bool Named(const char (&name)[N]) const {
    return e_.Named(name);
  }
  std::string_view Name() const { return e_.Name(); }
  std::string_view Attribute(std::string_view wanted, bool* found = nullptr) const {
    return e_.Attribute(wanted, found);
  }
  std::string_view Text(std::string&) const { return e_.Text(); }
  uint32_t ChildCount() const { return e_.ChildCount(); }

 private:
  ScannedSection::Element e_;
};

class Values {
 public:
  explicit Values(ReadProblems* problems) : problems_(problems) {}

  template <class E>
  void Int(E e, int32_t& field, const char* where) const {
    std::string scratch;
    std::string_view t = e.Text(scratch);
    if (auto v = ParseInt32(t))
      field = *v;
    else
      Problem(where, e.Name(), t, "an integer");
  }
  template <class E>
  void Flag(E e, bool& field, const char* where) const {
    std::string scratch;
    std::string_view t = e.Text(scratch);
    if (auto v = ParseBool(t))
      field = *v;
    else
      Problem(where, e.Name(), t, "True or False");
  }
  void Problem(const char* where, std::string_view name, std::string_view text, const char* wanted) const {
    if (problems_)
      problems_->items.push_back(std::string("tabs/") + where + "/" + std::string(name) + ": '" + std::string(text) +
                                 "' is not " + wanted);
  }

 private:
  ReadProblems* problems_;
};

// Reads the items of a "files" element into a tree; `E` is the kind of
// element, from the DOM or from the text, so that both give the same trees.
template <class E>
class ItemReader {
 public:
  ItemReader(ItemTree& tree, TabsContext& ctx) : tree_(tree), ctx_(ctx), values_(ctx.problems) {}

  void Read(E element, ItemNode* parent) {
    // Without recursion: a hand-edited document may nest groups very deeply.
    struct Level {
      E next;
      ItemNode* parent;
    };
    std::vector<Level> stack{{element.FirstChild(), parent}};
    tree_.Reserve(parent, element.ChildCount());
    while (!stack.empty()) {
      E e = stack.back().next;
      if (!e) {
        stack.pop_back();
        continue;
      }
      stack.back().next = e.Next();
      ItemNode* under = stack.back().parent;
      if (e.Named("file") || e.Named("folder")) {
        Item(e, under);
      } else if (e.Named("files")) {
        ItemNode& group = Group(e, under);
        tree_.Reserve(&group, e.ChildCount());
        stack.push_back({e.FirstChild(), &group});
      } else if (e.Named("separator")) {
        tree_.Add(under).Data().kind = ItemKind::Separator;
      } else if (e.Named("icon")) {
        if (under) GroupIcon(e, *under);
      } else if (e.Named("hidefromtray")) {
        if (under) values_.Flag(e, under->Data().hidefromtray, "files");
      }
    }
  }

 private:
  ItemNode& Group(E e, ItemNode* under) {
    ItemNode& group = tree_.Add(under);
    TMyRec& rec = group.Data();
    rec.kind = ItemKind::Group;
    rec.name = e.Attribute("name");
    rec.imageindex = ctx_.env.groupicon.empty() ? kGroupPicture : ctx_.icons.AddFileIcon(ctx_.env.groupicon);
    // Missing or unreadable: collapsed, so that no picture is looked up for
    // items the user cannot see yet.
    bool found = false;
    std::string_view expanded = e.Attribute("expanded", &found);
    if (found) group.SetExpanded(ParseBool(expanded).value_or(false));
    return group;
  }

  void GroupIcon(E e, ItemNode& group) {
    TMyRec& rec = group.Data();
    rec.icon = e.Text(scratch_);
    if (rec.icon.size() > 4) rec.imageindex = ctx_.icons.AddFileIcon(MakeAbsolute(rec.icon, ctx_.programDriveRoot));
  }

  void Item(E e, ItemNode* under) {
    ItemNode& node = tree_.Add(under);
    TMyRec& rec = node.Data();
    rec.name = e.Attribute("name");
    rec.kind = ItemKind::File;
    for (E c = e.FirstChild(); c; c = c.Next()) {
      if (c.Named("path")) {
        // A path decides the kind by its extension. An item whose path was
        // never set keeps it empty, and its element's name decides.
        std::string_view stored = c.Text(scratch_);
        if (stored.empty()) {
          rec.path.clear();
          if (e.Named("folder")) rec.kind = ItemKind::Folder;
        } else {
          AssignAbsolute(rec.path, stored, ctx_.programDriveRoot);
          if (ExtensionOf(rec.path).empty()) rec.kind = ItemKind::Folder;
        }
      } else if (c.Named("parameters")) {
        rec.parameters = c.Text(scratch_);
      } else if (c.Named("addexplain")) {
        rec.addexplain = c.Text(scratch_);
      } else if (c.Named("icon")) {
        AssignAbsolute(rec.icon, c.Text(scratch_), ctx_.programDriveRoot);
      } else if (c.Named("hotkey")) {
        values_.Flag(c, rec.hotkey, "file");
      } else if (c.Named("hotkeymodifier")) {
        values_.Int(c, rec.hotkeymodifier, "file");
      } else if (c.Named("hotkeycode")) {
        values_.Int(c, rec.hotkeycode, "file");
      } else if (c.Named("autorun")) {
        values_.Int(c, rec.autorun, "file");
      } else if (c.Named("windowstate")) {
        values_.Int(c, rec.windowstate, "file");
      }
    }

    // Pictures of file items are left to the background loader; under a
    // collapsed group they wait for the group to open.
    if (!under || under->Expanded()) {
      if (rec.icon.size() >= 4) {
        rec.imageindex = ctx_.icons.AddFileIcon(rec.icon);
      } else if (rec.kind == ItemKind::Folder) {
        const std::string& folderIcon = ctx_.env.foldericon;
        rec.imageindex = folderIcon.empty() ? kFolderPicture
                                            : ctx_.icons.AddFileIcon(MakeAbsolute(folderIcon, ctx_.programDriveRoot));
      }
    }

    if (rec.autorun == 1 || rec.autorun == 3)
      RunFile(ctx_.shell, ExpandMacros(rec.path, ctx_.macros), ExpandMacros(rec.parameters, ctx_.macros),
              ShowCommandOf(rec.windowstate));
    if (rec.hotkey) ctx_.shortcuts.Add(rec.path, rec.hotkeymodifier, rec.hotkeycode, rec.name);
  }

  ItemTree& tree_;
  TabsContext& ctx_;
  Values values_;
  std::string scratch_;
};

// The children of a tab element the reading looks at: the first of each name.
template <class E>
struct TabChildren {
  explicit TabChildren(E tab) {
    for (E c = tab.FirstChild(); c; c = c.Next()) {
      if (!files && c.Named("files")) files = c;
      else if (!backcolor && c.Named("backcolor")) backcolor = c;
      else if (!fontname && c.Named("fontname")) fontname = c;
      else if (!textcolor && c.Named("textcolor")) textcolor = c;
      else if (!textcolor2 && c.Named("textcolor2")) textcolor2 = c;
      else if (!backimage && c.Named("backimage")) backimage = c;
      else if (!bigicon && c.Named("bigicon")) bigicon = c;
    }
  }
  E files, backcolor, fontname, textcolor, textcolor2, backimage, bigicon;
};

template <class E>
TabStyle ReadStyle(const TabChildren<E>& tab, std::string& lastFontName, const Values& values) {
  TabStyle style;
  std::string scratch;
  style.fontname = lastFontName;
  if (tab.backcolor) values.Int(tab.backcolor, style.backcolor, "tab");
  if (tab.fontname) style.fontname = tab.fontname.Text(scratch);
  if (tab.textcolor) values.Int(tab.textcolor, style.textcolor, "tab");
  if (tab.textcolor2) values.Int(tab.textcolor2, style.textcolor2, "tab");
  if (tab.backimage) style.backimage = tab.backimage.Text(scratch);
  if (tab.bigicon) values.Flag(tab.bigicon, style.bigicon, "tab");
  lastFontName = style.fontname;
  return style;
}

void ShowBackground(ITabPage& page, const std::string& file) {
  if (auto format = BackgroundPictureFormat(file)) page.LoadBackground(file, *format);
}

// MakeDriveRelative for writing, without building a new string.
std::string_view DriveRelative(std::string_view path, const std::string& driveRoot) {
  std::string_view p = path;
  if (!driveRoot.empty() && StartsWith(p, driveRoot)) p.remove_prefix(driveRoot.size());
  return p;
}

void WriteItem(SectionWriter& out, const TMyRec& rec, TabsContext& ctx) {
  out.Open(rec.kind == ItemKind::Folder ? "folder" : "file");
  out.Attribute("name", rec.name);
  out.Leaf("path", DriveRelative(rec.path, ctx.programDriveRoot));
  if (!rec.icon.empty()) out.Leaf("icon", DriveRelative(rec.icon, ctx.programDriveRoot));
  if (!rec.parameters.empty()) out.Leaf("parameters", rec.parameters);
  if (!rec.addexplain.empty()) out.Leaf("addexplain", rec.addexplain);
  if (rec.autorun > 0) out.Leaf("autorun", rec.autorun);
  if (rec.windowstate > 0) out.Leaf("windowstate", rec.windowstate);
  // Run as at start, macros expanded and with its parameters: an item set to
  // run at the end with arguments is of no use started without them.
  if (rec.autorun > 1 && ctx.runEndItems)
    RunFile(ctx.shell, ExpandMacros(rec.path, ctx.macros), ExpandMacros(rec.parameters, ctx.macros),
            ShowCommandOf(rec.windowstate));
  if (rec.hotkey) {
    out.Leaf("hotkey", "True");
    out.Leaf("hotkeymodifier", rec.hotkeymodifier);
    out.Leaf("hotkeycode", rec.hotkeycode);
  }
  out.Close();
}

// The size of the last section written, to reserve for the next.
size_t lastSectionSize = 0;

template <class E>
void ReadTabs(E tabs, IPanelPages& pages, TabsContext& ctx) {
  Values values(ctx.problems);
  std::string lastFontName;
  for (E tab = tabs.FirstChild(); tab; tab = tab.Next()) {
    std::string caption(tab.Attribute("name"));
    int32_t stored = 0;
    bool hasTag = false;
    std::string_view tag = tab.Attribute("tag", &hasTag);
    if (hasTag) {
      if (auto v = ParseInt32(tag))
        stored = *v;
      else
        values.Problem("tab", "tag", tag, "an integer");
    }
    switch (TabTagFromStored(stored)) {
      case TabTag::Find:
        pages.AddPage(caption, TabTag::Find);
        ctx.env.findTabPresent = true;
        break;
      case TabTag::SystemInfo:
        pages.AddPage(caption, TabTag::SystemInfo);
        ctx.env.sysInfoTabPresent = true;
        break;
      case TabTag::Favorites: {
        // Its items come from the favorites folder, never from the document.
        TabStyle style = ReadStyle(TabChildren<E>(tab), lastFontName, values);
        ITabPage& page = pages.AddPage(caption, TabTag::Favorites);
        page.ApplyStyle(style);
        ShowBackground(page, MakeAbsolute(style.backimage, ctx.programDriveRoot));
        page.ShowTreeLines(ctx.env.treeline);
        ctx.env.favoritesTabPresent = true;
        break;
      }
      case TabTag::Items: {
        TabChildren<E> children(tab);
        TabStyle style = ReadStyle(children, lastFontName, values);
        if (!children.files) break;
        bool hasPicture = !style.backimage.empty();
        style.backimage = MakeAbsolute(style.backimage, ctx.programDriveRoot);
        ITabPage& page = pages.AddPage(caption, TabTag::Items);
        page.ApplyStyle(style);
        if (hasPicture) ShowBackground(page, style.backimage);
        page.ShowTreeLines(ctx.env.treeline);
        if (ItemTree* tree = page.Tree()) ItemReader<E>(*tree, ctx).Read(children.files, nullptr);
        break;
      }
    }
  }
}

}  // namespace

void ReadItems(ItemTree& tree, pugi::xml_node files, ItemNode* parent, TabsContext& ctx) {
  ItemReader<DomElement>(tree, ctx).Read(DomElement(files), parent);
}

void LoadTabs(const ConfigDocument& doc, IPanelPages& pages, TabsContext& ctx) {
  if (const ScannedSection* text = doc.ScannedTabs()) return ReadTabs(TextElement(text->Root()), pages, ctx);
  if (pugi::xml_node tabs = doc.Element().child("tabs")) ReadTabs(DomElement(tabs), pages, ctx);
}

void WriteItems(const ItemTree& tree, SectionWriter& out, const ItemNode* parent, TabsContext& ctx) {
  // Without recursion, as the reading.
  struct Level {
    const std::vector<ItemNode*>* nodes;
    size_t next;
  };
  std::vector<Level> stack{{&tree.ChildrenOf(parent), 0}};
  while (!stack.empty()) {
    Level& top = stack.back();
    if (top.next == top.nodes->size()) {
      stack.pop_back();
      if (!stack.empty()) out.Close();  // the group's "files"
      continue;
    }
    const ItemNode& node = *(*top.nodes)[top.next++];
    const TMyRec& rec = node.Data();
    switch (rec.kind) {
      case ItemKind::File:
      case ItemKind::Folder:
        WriteItem(out, rec, ctx);
        break;
      case ItemKind::Group:
        out.Open("files");
        out.Attribute("name", rec.name);
        out.Attribute("expanded", BoolText(node.Expanded()));
        if (!rec.icon.empty()) out.Leaf("icon", DriveRelative(rec.icon, ctx.programDriveRoot));
        if (rec.hidefromtray) out.Leaf("hidefromtray", "True");
        stack.push_back({&node.Children(), 0});
        break;
      case ItemKind::Separator:
        out.Open("separator");
        out.Close();
        break;
      default:  // URL items come from the favorites folder and go back there
        break;
    }
  }
}

void WriteTabs(ConfigDocument& doc, IPanelPages& pages, TabsContext& ctx) {
  // The new section takes the place of the first one: appended behind a
  // second "tabs" of a hand-edited document, it would never be read again.
  // Its content is written as text straight from the trees.
  pugi::xml_node root = doc.Root();
  pugi::xml_node old = root.child("tabs");
  pugi::xml_node tabs = old ? root.insert_child_before("tabs", old) : root.append_child("tabs");
  doc.SetSectionText({}, {});
  if (old) RemoveNode(old);
  SectionWriter out(1, lastSectionSize);
  for (size_t i = 0; i < pages.PageCount(); ++i) {
    ITabPage& page = pages.PageAt(i);
    TabTag tag = page.Tag();
    out.Open("tab");
    out.Attribute("name", page.Caption());
    out.Attribute("tag", static_cast<int32_t>(tag));
    if (tag == TabTag::Items || tag == TabTag::Favorites) {
      TabStyle style = page.Style();
      out.Leaf("backcolor", style.backcolor);
      out.Leaf("fontname", style.fontname);
      out.Leaf("textcolor", style.textcolor);
      out.Leaf("textcolor2", style.textcolor2);
      // Three characters are the bare drive root an empty picture name becomes.
      if (style.backimage.size() > 3) out.Leaf("backimage", DriveRelative(style.backimage, ctx.programDriveRoot));
      if (style.bigicon) out.Leaf("bigicon", "True");
      out.Open("files");
      if (const ItemTree* tree = page.Tree()) WriteItems(*tree, out, nullptr, ctx);
      out.Close();
    }
    out.Close();
  }
  std::string text = out.Take();
  lastSectionSize = text.size();
  doc.SetSectionText(tabs, std::move(text));
}

}  // namespace kestro
