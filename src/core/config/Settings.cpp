#include "core/config/Settings.h"

#include <cstring>

#include "core/config/PathMacros.h"
#include "core/text/Text.h"
#include "platform/FileSystem.h"

namespace kestro {

namespace {

class SectionReader {
 public:
  SectionReader(pugi::xml_node section, ReadProblems* problems) : section_(section), problems_(problems) {}

  void Int(const char* name, int32_t& field) const { Int(section_.child(name), name, field); }
  void Flag(const char* name, bool& field) const { Flag(section_.child(name), name, field); }
  void Text(const char* name, std::string& field) const {
    if (pugi::xml_node n = section_.child(name)) field = ElementText(n);
  }
  void Path(const char* name, std::string& field, std::string_view driveRoot) const {
    if (pugi::xml_node n = section_.child(name)) field = MakeAbsolute(ElementText(n), driveRoot);
  }

  void Int(pugi::xml_node n, const std::string& name, int32_t& field) const {
    if (!n) return;
    std::string t = ElementText(n);
    if (auto v = ParseInt32(t))
      field = *v;
    else
      Problem(n, name, t, "an integer", std::to_string(field));
  }
  void Flag(pugi::xml_node n, const std::string& name, bool& field) const {
    if (!n) return;
    std::string t = ElementText(n);
    if (auto v = ParseBool(t))
      field = *v;
    else
      Problem(n, name, t, "True or False", BoolText(field));
  }

  pugi::xml_node Node() const { return section_; }

 private:
  void Problem(pugi::xml_node n, const std::string& name, const std::string& text, const char* wanted,
               std::string inUse) const {
    if (!problems_) return;
    problems_->items.push_back(std::string(section_.name()) + "/" + name + ": '" + text + "' is not " + wanted);
    problems_->repairs.push_back({n, {}, std::move(inUse)});
  }
  pugi::xml_node section_;
  ReadProblems* problems_;
};

void ReadPanel(const SectionReader& r, EnvSet& env) {
  r.Text("title", env.title);
  r.Int("iteminfomode", env.iteminfomode);
  r.Flag("showonstartup", env.showonstartup);
  for (int n = 0; n < kShortcutSlots; ++n) {
    ShortcutSlot& slot = env.shortcuts[n];
    std::string use = "useshortkey" + std::to_string(n);
    std::string main = "mainkey" + std::to_string(n);
    std::string sub = "subkey" + std::to_string(n);
    r.Int(r.Node().child(use.c_str()), use, slot.useshortkey);
    if (slot.useshortkey != 0) {
      r.Int(r.Node().child(main.c_str()), main, slot.mainkey);
      r.Int(r.Node().child(sub.c_str()), sub, slot.subkey);
    } else {
      slot.mainkey = -1;
      slot.subkey = -1;
    }
  }
  r.Int("trans", env.trans);
  r.Int("xbuttonaction", env.xbuttonaction);
  r.Flag("tooltip", env.tooltip);
  r.Flag("treeline", env.treeline);
  r.Flag("fixwindow", env.fixwindow);
  r.Flag("freespacebar", env.freespacebar);
  r.Flag("deleteext", env.deleteext);
  r.Text("language", env.language);
}

void ReadWindow(pugi::xml_node section, ReadProblems* problems, EnvSet& env) {
  pugi::xml_node main = section.child("main");
  if (!main) return;
  // The writer always writes all six values; of a hand-edited partial one we
  // take what is there.
  SectionReader r(main, problems);
  pugi::xml_node position = main.child("position");
  pugi::xml_node size = main.child("size");
  r.Int(position.child("X"), "position/X", env.left);
  r.Int(position.child("Y"), "position/Y", env.top);
  r.Int(size.child("X"), "size/X", env.width);
  r.Int(size.child("Y"), "size/Y", env.height);
  r.Flag("topwindow", env.topwindow);
  r.Int("tabindex", env.tabindex);
}

// The element of an extension that cannot be an element name itself.
constexpr const char* kNamedExtensionElement = "extension";
constexpr const char* kNamedExtensionAttribute = "name";

void ReadExeLinks(pugi::xml_node section, ExeLinkList& links, std::string_view driveRoot, ReadProblems* problems) {
  for (pugi::xml_node e : section.children()) {
    if (e.type() != pugi::node_element) continue;
    TEXELINK rec;
    if (pugi::xml_attribute a = e.attribute("buselink")) {
      if (auto v = ParseBool(a.value())) {
        rec.buselink = *v;
      } else if (problems) {
        problems->items.push_back(std::string("exelink/") + e.name() + ": buselink '" + a.value() +
                                  "' is not True or False");
        problems->repairs.push_back({e, "buselink", BoolText(rec.buselink)});
      }
    }
    rec.program = MakeAbsolute(ElementText(e), driveRoot);
    // An extension that is no element name (7z) is kept in an element of its own kind.
    pugi::xml_attribute named = e.attribute(kNamedExtensionAttribute);
    std::string key = !std::strcmp(e.name(), kNamedExtensionElement) && named ? named.value() : e.name();
    links.emplace_back(std::move(key), std::move(rec));
  }
}

void AddText(pugi::xml_node parent, const char* name, std::string_view text) {
  parent.append_child(name).text().set(std::string(text).c_str());
}
void AddInt(pugi::xml_node parent, const char* name, int32_t v) { AddText(parent, name, std::to_string(v)); }
void AddFlag(pugi::xml_node parent, const char* name, bool v) { AddText(parent, name, BoolText(v)); }

}  // namespace

void LoadSettings(const ConfigDocument& doc, EnvSet& env, ExeLinkList& links, std::string_view driveRoot,
                  ReadProblems* problems) {
  // Root(): the tabs, which are not read here, stay as loaded.
  for (pugi::xml_node section : doc.Root().children()) {
    if (section.type() != pugi::node_element) continue;
    const char* name = section.name();
    SectionReader r(section, problems);
    if (!std::strcmp(name, "panel")) {
      ReadPanel(r, env);
    } else if (!std::strcmp(name, "window")) {
      ReadWindow(section, problems, env);
    } else if (!std::strcmp(name, "start")) {
      r.Flag("usefixdrive", env.usefixdrive);
      r.Text("fixdrivename", env.fixdrivename);
    } else if (!std::strcmp(name, "end")) {
      r.Flag("exituseprg", env.exituseprg);
      r.Flag("exittempprg", env.exittempprg);
      r.Flag("exitshellprg", env.exitshellprg);
      r.Flag("tryremovedrive", env.tryremovedrive);
    } else if (!std::strcmp(name, "icon")) {
      r.Int("iconmode", env.iconmode);
      r.Path("appicon", env.appicon, driveRoot);
      r.Path("foldericon", env.foldericon, driveRoot);
      r.Path("groupicon", env.groupicon, driveRoot);
      r.Path("driveiconfolder", env.driveiconfolder, driveRoot);
    } else if (!std::strcmp(name, "wallpaper")) {
      r.Flag("changewallpaper", env.changewallpaper);
      r.Path("wallpapername", env.wallpapername, driveRoot);
      r.Flag("hideicon", env.hideicon);
    } else if (!std::strcmp(name, "addetc")) {
      r.Flag("traymenutab", env.traymenutab);
      r.Flag("usballexit", env.usballexit);
      r.Flag("startuseupfavorite", env.startuseupfavorite);
      r.Flag("startuseupexelink", env.startuseupexelink);
    } else if (!std::strcmp(name, "exelink")) {
      ReadExeLinks(section, links, driveRoot, problems);
    }
  }
}

void RepairUnreadableValues(ReadProblems& problems) {
  for (ReadProblems::Repair& r : problems.repairs) {
    pugi::xml_node e = r.element;
    if (!r.attribute.empty()) {
      e.attribute(r.attribute.c_str()).set_value(r.text.c_str());
      continue;
    }
    // The text may be split by comments or CDATA: it is replaced as a whole.
    for (pugi::xml_node c = e.first_child(); c;) {
      pugi::xml_node next = c.next_sibling();
      if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata) e.remove_child(c);
      c = next;
    }
    e.append_child(pugi::node_pcdata).set_value(r.text.c_str());
  }
  problems.repairs.clear();
}

pugi::xml_node ReplaceSection(ConfigDocument& doc, const char* name) {
  pugi::xml_node root = doc.Root();
  if (pugi::xml_node old = root.child(name)) RemoveNode(old);
  return root.append_child(name);
}

void WriteSettings(ConfigDocument& doc, const EnvSet& env, std::string_view driveRoot) {
  pugi::xml_node panel = ReplaceSection(doc, "panel");
  if (!env.title.empty()) AddText(panel, "title", env.title);
  AddInt(panel, "iteminfomode", env.iteminfomode);
  AddFlag(panel, "showonstartup", env.showonstartup);
  for (int n = 0; n < kShortcutSlots; ++n) {
    const ShortcutSlot& slot = env.shortcuts[n];
    std::string sn = std::to_string(n);
    AddInt(panel, ("useshortkey" + sn).c_str(), slot.useshortkey);
    if (slot.useshortkey == 1) {
      AddInt(panel, ("mainkey" + sn).c_str(), slot.mainkey);
      AddInt(panel, ("subkey" + sn).c_str(), slot.subkey);
    }
  }
  AddInt(panel, "trans", env.trans);
  AddInt(panel, "xbuttonaction", env.xbuttonaction);
  AddFlag(panel, "tooltip", env.tooltip);
  AddFlag(panel, "treeline", env.treeline);
  AddFlag(panel, "fixwindow", env.fixwindow);
  AddFlag(panel, "freespacebar", env.freespacebar);
  AddFlag(panel, "deleteext", env.deleteext);
  AddText(panel, "language", env.language);

  pugi::xml_node start = ReplaceSection(doc, "start");
  if (env.usefixdrive) AddFlag(start, "usefixdrive", true);
  if (!env.fixdrivename.empty()) AddText(start, "fixdrivename", env.fixdrivename);

  pugi::xml_node end = ReplaceSection(doc, "end");
  if (env.exituseprg) AddFlag(end, "exituseprg", true);
  if (env.exittempprg) AddFlag(end, "exittempprg", true);
  if (env.exitshellprg) AddFlag(end, "exitshellprg", true);
  if (env.tryremovedrive) AddFlag(end, "tryremovedrive", true);

  pugi::xml_node icon = ReplaceSection(doc, "icon");
  if (env.iconmode > 0) AddInt(icon, "iconmode", env.iconmode);
  auto path = [&](pugi::xml_node parent, const char* name, const std::string& value) {
    if (!value.empty()) AddText(parent, name, MakeDriveRelative(value, driveRoot));
  };
  path(icon, "appicon", env.appicon);
  path(icon, "foldericon", env.foldericon);
  path(icon, "groupicon", env.groupicon);
  path(icon, "driveiconfolder", env.driveiconfolder);

  pugi::xml_node wallpaper = ReplaceSection(doc, "wallpaper");
  if (env.changewallpaper) AddFlag(wallpaper, "changewallpaper", true);
  path(wallpaper, "wallpapername", env.wallpapername);
  if (env.hideicon) AddFlag(wallpaper, "hideicon", true);

  pugi::xml_node addetc = ReplaceSection(doc, "addetc");
  if (env.traymenutab) AddFlag(addetc, "traymenutab", true);
  if (env.usballexit) AddFlag(addetc, "usballexit", true);
  if (env.startuseupfavorite) AddFlag(addetc, "startuseupfavorite", true);
  if (env.startuseupexelink) AddFlag(addetc, "startuseupexelink", true);
}

void WriteWindowSection(ConfigDocument& doc, const PanelWindowState& panel) {
  pugi::xml_node main = ReplaceSection(doc, "window").append_child("main");
  pugi::xml_node position = main.append_child("position");
  AddInt(position, "X", panel.left);
  AddInt(position, "Y", panel.top);
  pugi::xml_node size = main.append_child("size");
  AddInt(size, "X", panel.width);
  AddInt(size, "Y", panel.height);
  AddFlag(main, "topwindow", panel.topwindow);
  AddInt(main, "tabindex", panel.tabindex);
}

void WriteExeLinks(ConfigDocument& doc, const ExeLinkList& links, std::string_view driveRoot) {
  pugi::xml_node section = ReplaceSection(doc, "exelink");
  for (const auto& [key, rec] : links) {
    if (key.empty()) continue;
    pugi::xml_node e;
    if (IsValidXmlName(key) && key != kNamedExtensionElement) {
      e = section.append_child(key.c_str());
    } else {
      e = section.append_child(kNamedExtensionElement);
      e.append_attribute(kNamedExtensionAttribute).set_value(key.c_str());
    }
    e.append_attribute("buselink").set_value(BoolText(rec.buselink));
    e.text().set(MakeDriveRelative(rec.program, driveRoot).c_str());
  }
}

WriteResult SaveDocument(const ConfigDocument& doc, IFileSystem& files, const std::string& fileName,
                         const std::string& programFolder) {
  std::string target = fileName.empty() ? programFolder + "Kestro.xml" : fileName;
  return files.WriteFileAtomic(target, doc.Serialize());
}

}  // namespace kestro
