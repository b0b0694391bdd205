#include "core/host/FavoritesTab.h"

#include <utility>
#include <vector>

#include "core/config/IniReader.h"
#include "core/text/Text.h"

namespace kestro {

void LoadFavoritesTree(IFolderLister& lister, IFileSystem& files, ITextCodec& codec, const std::string& folder,
                       ItemTree& tree, ItemNode* parent, const std::function<void()>& advance) {
  // Without recursion: folders still to fill, with their nodes.
  std::vector<std::pair<std::string, ItemNode*>> pending{{folder, parent}};
  std::vector<FolderEntry> entries;
  while (!pending.empty()) {
    auto [current, node] = std::move(pending.back());
    pending.pop_back();
    entries.clear();
    if (!lister.List(current, entries)) continue;
    for (const FolderEntry& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      const std::string path = current + "\\" + e.name;
      if (e.attributes & kAttributeDirectory) {
        TMyRec rec;
        rec.kind = ItemKind::Folder;
        rec.name = e.name;
        rec.path = path;
        rec.imageindex = kFolderPicture;
        ItemNode& added = tree.Insert(node, 0, std::move(rec));
        if (!(e.attributes & kAttributeReparsePoint)) pending.emplace_back(path, &added);
      } else if (EndsWith(e.name, ".url")) {
        TMyRec rec;
        rec.kind = ItemKind::Url;
        rec.name = e.name;
        rec.path = path;
        rec.url = ReadUrlAddress(path, files, codec);
        rec.imageindex = kUrlPicture;
        tree.Add(node, std::move(rec));
      }
      if (advance) advance();
    }
  }
}

std::string ReadUrlAddress(const std::string& path, IFileSystem& files, ITextCodec& codec) {
  std::optional<IniFile> ini = IniFile::Read(path, files, codec);
  return ini ? ini->Get(kUrlSection, kUrlKey, "") : std::string();
}

std::string UrlFileText(const std::optional<std::string>& existing, std::string_view address) {
  const std::string keyLine = std::string(kUrlKey) + "=" + std::string(address);
  const std::string header = std::string("[") + kUrlSection + "]";
  if (!existing || existing->empty()) return header + "\r\n" + keyLine + "\r\n";
  // Lines with their ends kept, so that untouched lines stay byte for byte.
  std::vector<std::string> lines;
  for (size_t at = 0; at < existing->size();) {
    size_t end = existing->find('\n', at);
    end = end == std::string::npos ? existing->size() : end + 1;
    lines.push_back(existing->substr(at, end - at));
    at = end;
  }
  auto body = [](const std::string& line) {
    std::string_view v = line;
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r')) v.remove_suffix(1);
    return TrimView(v);
  };
  auto sectionName = [&](const std::string& line) -> std::optional<std::string> {
    std::string_view b = body(line);
    size_t close = b.rfind(']');
    if (b.empty() || b.front() != '[' || close == std::string_view::npos) return std::nullopt;
    return Trim(b.substr(1, close - 1));
  };
  std::optional<size_t> section;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::optional<std::string> name = sectionName(lines[i]);
    if (!section) {
      if (name && EqualsNoCase(*name, kUrlSection)) section = i;
      continue;
    }
    if (name) break;  // the next section: the key goes before it
    std::string_view b = body(lines[i]);
    size_t eq = b.find('=');
    if (eq != std::string_view::npos && EqualsNoCase(TrimView(b.substr(0, eq)), kUrlKey)) {
      lines[i] = keyLine + "\r\n";
      std::string out;
      for (const std::string& l : lines) out += l;
      return out;
    }
  }
  std::string out;
  if (section) {
    for (size_t i = 0; i < lines.size(); ++i) {
      out += lines[i];
      if (i == *section) {
        if (out.back() != '\n') out += "\r\n";
        out += keyLine + "\r\n";
      }
    }
    return out;
  }
  for (const std::string& l : lines) out += l;
  if (out.back() != '\n') out += "\r\n";
  return out + header + "\r\n" + keyLine + "\r\n";
}

bool WriteUrlAddress(const std::string& path, std::string_view address, IFileSystem& files, ITextCodec& codec) {
  std::optional<std::string> existing;
  if (files.FileExists(path)) {
    std::string bytes;
    // A file that cannot be read is never written over.
    if (!files.ReadFile(path, bytes)) return false;
    existing = DecodeProfileText(bytes, codec);
  }
  std::string text = UrlFileText(existing, address);
  std::optional<std::string> ansi = codec.Utf8ToAnsi(text);
  return files.WriteFile(path, ansi ? *ansi : "\xEF\xBB\xBF" + text);
}

std::optional<std::string> UrlTitleRefusal(std::string_view title) {
  std::string t = Trim(title);
  if (t.empty()) return std::string("제목를 넣어주세요");
  const std::string refusal = "The title \"" + std::string(title) +
                              "\" cannot name a file: it may not hold \\ / : * ? \" < > | or \"..\".";
  if (t.find("..") != std::string::npos || t.back() == '.') return refusal;
  for (unsigned char c : t)
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(char(c)) != std::string_view::npos) return refusal;
  return std::nullopt;
}

NewNodePlace NewUrlPlaceFor(ItemNode* focused) {
  if (!focused) return {Attach{nullptr, AttachMode::AddChildLast}, nullptr};
  if (focused->Data().kind == ItemKind::Folder) return {Attach{focused, AttachMode::AddChildLast}, focused};
  return {Attach{focused, AttachMode::InsertAfter}, nullptr};
}

TMyRec NewUrlRecord(const std::string& favoritesFolder, const Attach& place, std::string_view title,
                    std::string_view address) {
  // The folders above the new entry, from the top level down.
  const ItemNode* folder = place.mode == AttachMode::AddChildLast ? place.target
                           : place.target                         ? place.target->Parent()
                                                                  : nullptr;
  std::vector<std::string_view> names;
  for (const ItemNode* n = folder; n; n = n->Parent()) names.push_back(n->Data().name);
  std::string path = favoritesFolder + "\\";
  for (auto it = names.rbegin(); it != names.rend(); ++it) path += std::string(*it) + "\\";
  TMyRec rec;
  rec.kind = ItemKind::Url;
  rec.name = std::string(title);
  rec.url = std::string(address);
  rec.imageindex = kUrlPicture;
  rec.path = path + std::string(title) + ".url";
  return rec;
}

}  // namespace kestro
