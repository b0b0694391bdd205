#include "core/host/HostChanges.h"

#include "core/host/Associations.h"
#include "core/host/DesktopChanges.h"
#include "core/host/DriveLetter.h"
#include "core/host/Favorites.h"

namespace kestro {

HostChanges::HostChanges(IFileSystem& files, IRegistry& registry, IDesktop& desktop, IMessageBoxes& messages,
                         std::string journalPath)
    : access_{registry, desktop}, messages_(messages), journal_(files, std::move(journalPath)) {
  kinds_.push_back(MakeWallpaperChangeKind());
  kinds_.push_back(MakeDesktopIconsChangeKind());
  kinds_.push_back(MakeAssociationChangeKind());
  kinds_.push_back(MakeFavoritesChangeKind());
  kinds_.push_back(MakeDriveLetterChangeKind());
}

IHostChangeKind* HostChanges::KindOf(std::string_view name) {
  for (auto& k : kinds_)
    if (k->Name() == name) return k.get();
  return nullptr;
}

void HostChanges::Repair() {
  journal_.Load();
  UndoAll();
}

bool HostChanges::Record(JournalEntry entry) {
  if (journal_.Add(std::move(entry))) return true;
  ReportOnce("journal", "Kestro could not record its change of this PC, so it leaves the PC as it is.\r\n" +
                            journal_.LastError());
  return false;
}

bool HostChanges::Rerecord(size_t index, JournalEntry entry) {
  if (journal_.Replace(index, std::move(entry))) return true;
  ReportOnce("journal", "Kestro could not record its change of this PC, so it leaves the PC as it is.\r\n" +
                            journal_.LastError());
  return false;
}

std::optional<size_t> HostChanges::Find(std::string_view kind,
                                        const std::function<bool(const JournalEntry&)>& match) const {
  const auto& entries = journal_.Entries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].kind == kind && (!match || match(entries[i]))) return i;
  return std::nullopt;
}

void HostChanges::UndoEntry(size_t index) {
  if (index >= journal_.Entries().size()) return;
  const JournalEntry entry = journal_.Entries()[index];
  IHostChangeKind* kind = KindOf(entry.kind);
  if (!kind) return;
  kind->Undo(entry, access_);
  journal_.Remove(index);
}

void HostChanges::UndoKind(std::string_view kind) {
  for (size_t i = journal_.Entries().size(); i-- > 0;) {
    if (i >= journal_.Entries().size() || journal_.Entries()[i].kind != kind) continue;
    UndoEntry(i);
  }
}

void HostChanges::UndoAll() {
  for (auto& k : kinds_) UndoKind(k->Name());
}

void HostChanges::ReportOnce(const std::string& topic, const std::string& text) {
  if (!reported_.insert(topic).second) return;
  messages_.Show(text, "Notice", MessageIcon::Warning);
}

void RememberValue(JournalEntry& e, const std::string& name, const std::optional<RegistryValue>& v) {
  e.Set(name, v ? "1" : "0");
  e.Set(name + "data", v ? v->data : "");
  e.Set(name + "type", v && v->type == RegistryType::ExpandString ? "expand" : "string");
}

std::optional<RegistryValue> RecalledValue(const JournalEntry& e, const std::string& name) {
  if (e.Get(name) != "1") return std::nullopt;
  return RegistryValue{e.Get(name + "data"),
                       e.Get(name + "type") == "expand" ? RegistryType::ExpandString : RegistryType::String};
}

std::string JournalPathIn(const std::string& localAppDataFolder) {
  std::string folder = localAppDataFolder;
  if (!folder.empty() && folder.back() != '\\') folder += '\\';
  return folder + "Kestro host changes.journal";
}

}  // namespace kestro
