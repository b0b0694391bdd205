#pragma once
// The non-tree sections of Kestro.xml and the settings record.
#include <string>
#include <string_view>
#include <vector>

#include "core/config/ConfigDocument.h"
#include "core/config/EnvSet.h"
#include "platform/FileSystem.h"

namespace kestro {

// Values that were present but could not be converted; each keeps the value
// it had before.
struct ReadProblems {
  std::vector<std::string> items;  // "panel/trans: 'abc' is not an integer"
  bool empty() const { return items.empty(); }
  // For the settings sections: where each unreadable value stands (an
  // element, or its attribute when `attribute` is set) and the text of the
  // value in use instead. Valid only while the document is unchanged.
  struct Repair {
    pugi::xml_node element;
    std::string attribute;
    std::string text;
  };
  std::vector<Repair> repairs;
};

// Writes the value in use in place of each unreadable one, so that the next
// save stores that value and the file is not reported again at every start.
void RepairUnreadableValues(ReadProblems& problems);

// Reads "panel", "window", "start", "end", "icon", "wallpaper", "addetc" and
// "exelink" (each as often as it occurs, in document order) into `env` and
// appends the associations to `links`.
void LoadSettings(const ConfigDocument& doc, EnvSet& env, ExeLinkList& links,
                  std::string_view programDriveRoot, ReadProblems* problems = nullptr);

// Replaces "panel", "start", "end", "icon", "wallpaper" and "addetc".
void WriteSettings(ConfigDocument& doc, const EnvSet& env, std::string_view programDriveRoot);

struct PanelWindowState {
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool topwindow = false;
  int32_t tabindex = 0;  // -1 when the panel has no tabs
};

// Replaces "window".
void WriteWindowSection(ConfigDocument& doc, const PanelWindowState& panel);

// Replaces "exelink". Each extension is an element of its name; one that
// cannot be an XML element name (7z) is an element "extension" with the
// attribute "name", and both forms are read.
void WriteExeLinks(ConfigDocument& doc, const ExeLinkList& links, std::string_view programDriveRoot);

// Writes the document to `fileName`, or to programFolder + "Kestro.xml" when
// the name is empty. The old file is replaced only by a complete new one.
WriteResult SaveDocument(const ConfigDocument& doc, IFileSystem& files, const std::string& fileName,
                         const std::string& programFolder);

// Removes the first child of that name and appends a new empty one.
pugi::xml_node ReplaceSection(ConfigDocument& doc, const char* name);

}  // namespace kestro
