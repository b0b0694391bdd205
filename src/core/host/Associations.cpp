#include "core/host/Associations.h"

#include "core/text/Text.h"

namespace kestro {

namespace {

constexpr std::string_view kAssociationKind = "association";
constexpr RegistryRoot kRoots[] = {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser};

const char* RootText(RegistryRoot r) { return r == RegistryRoot::LocalMachine ? "machine" : "user"; }
std::string ClassesOf(RegistryRoot r) { return r == RegistryRoot::LocalMachine ? kMachineClasses : kUserClasses; }
std::string ExtensionKey(RegistryRoot r, const std::string& e) { return ClassesOf(r) + "." + e; }
std::string TypeKey(RegistryRoot r, const std::string& e) { return ClassesOf(r) + FileTypeOf(e); }

bool SameExtension(const std::string& a, const std::string& b) { return EqualsNoCase(a, b); }

// The newest entry of the extension in that place: undone first, as it
// recorded what the host held last.
std::optional<size_t> LastEntryOf(const HostChanges& host, RegistryRoot root, const std::string& ext) {
  const std::string rootText = RootText(root);
  std::optional<size_t> last;
  const auto& entries = host.Journal().Entries();
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].kind == kAssociationKind && entries[i].Get("root") == rootText &&
        SameExtension(entries[i].Get("ext"), ext))
      last = i;
  return last;
}

bool HoldsOurType(IRegistry& reg, RegistryRoot root, const std::string& e) {
  std::optional<RegistryValue> v = reg.ReadValue(root, ExtensionKey(root, e), "");
  return v && EqualsNoCase(v->data, FileTypeOf(e));
}

// Entry: "root", "ext", "key" (1 when the extension's key existed),
// "default"/"bak" (1 when that value existed) with their data and types.
class AssociationKind : public IHostChangeKind {
 public:
  std::string_view Name() const override { return kAssociationKind; }
  void Undo(const JournalEntry& e, HostAccess& host) override {
    IRegistry& reg = host.registry;
    const RegistryRoot root = e.Get("root") == "user" ? RegistryRoot::CurrentUser : RegistryRoot::LocalMachine;
    const std::string ext = e.Get("ext");
    if (ext.empty()) return;
    const std::string key = ExtensionKey(root, ext);
    if (reg.KeyContents(root, key)) {
      // A file type the user chose meanwhile stays.
      if (HoldsOurType(reg, root, ext)) {
        if (std::optional<RegistryValue> before = RecalledValue(e, "default"))
          reg.WriteValue(root, key, "", *before);
        else
          reg.DeleteValue(root, key, "");
      }
      if (std::optional<RegistryValue> bak = RecalledValue(e, "bak"))
        reg.WriteValue(root, key, kBackupValue, *bak);
      else
        reg.DeleteValue(root, key, kBackupValue);
      // A key made for the redirection goes when nothing else came into it.
      if (e.Get("key") != "1") {
        std::optional<RegistryKeyContents> left = reg.KeyContents(root, key);
        if (left && left->values.empty() && left->subkeys.empty()) reg.DeleteKeyTree(root, key);
      }
    }
    reg.DeleteKeyTree(root, TypeKey(root, ext));
  }
};

// The redirection of one extension in one place, recorded first. False when
// the journal or the registry refused; what was written then is undone.
bool Redirect(HostChanges& host, RegistryRoot root, const std::string& ext, const std::string& program) {
  IRegistry& reg = host.Registry();
  const std::string key = ExtensionKey(root, ext), type = TypeKey(root, ext);
  // An older entry here no longer holds (someone else set the file type
  // since): it is settled first, so that one entry describes the place.
  while (std::optional<size_t> old = LastEntryOf(host, root, ext)) host.UndoEntry(*old);
  JournalEntry entry{std::string(kAssociationKind), {}};
  entry.Set("root", RootText(root));
  entry.Set("ext", ext);
  entry.Set("key", reg.KeyContents(root, key) ? "1" : "0");
  std::optional<RegistryValue> before = reg.ReadValue(root, key, "");
  RememberValue(entry, "default", before);
  RememberValue(entry, "bak", reg.ReadValue(root, key, kBackupValue));
  if (!host.Record(std::move(entry))) return false;
  bool ok = reg.WriteValue(root, type + "\\Shell\\Open\\Command", "", RegistryValue{OpenCommandOf(program)}) &&
            reg.WriteValue(root, type + "\\DefaultIcon", "", RegistryValue{program + ",0"}) &&
            reg.WriteValue(root, key, kBackupValue, RegistryValue{before ? before->data : ""}) &&
            reg.WriteValue(root, key, "", RegistryValue{FileTypeOf(ext)});
  // The entry just recorded is the last one.
  if (!ok) host.UndoEntry(host.Journal().Entries().size() - 1);
  return ok;
}

// The old way, for a redirection no journal entry describes (one made
// before the journal existed, or whose entry was lost): the backup value.
void RestoreFromBackup(IRegistry& reg, RegistryRoot root, const std::string& ext) {
  const std::string key = ExtensionKey(root, ext);
  std::string before = reg.ReadValue(root, key, kBackupValue).value_or(RegistryValue{}).data;
  reg.WriteValue(root, key, "", RegistryValue{before});
  reg.DeleteValue(root, key, kBackupValue);
  reg.DeleteKeyTree(root, TypeKey(root, ext));
}

}  // namespace

std::unique_ptr<IHostChangeKind> MakeAssociationChangeKind() { return std::make_unique<AssociationKind>(); }

std::string FileTypeOf(const std::string& extension) { return "kestro." + extension; }

std::string OpenCommandOf(const std::string& program) { return program + " \"%1\""; }

std::optional<std::string> NormalizeExtension(const std::string& text) {
  std::string e = text;
  if (!e.empty() && e.front() == '.') e.erase(0, 1);
  if (e.empty()) return std::nullopt;
  for (char c : e)
    if (c == '\\' || c == '/' || c == ' ' || c == '\t' || c == '\r' || c == '\n') return std::nullopt;
  return ToLowerAscii(e);
}

bool IsAssociationApplied(IRegistry& registry, const std::string& extension) {
  for (RegistryRoot root : kRoots)
    if (HoldsOurType(registry, root, extension)) return true;
  return false;
}

bool AnyAssociationApplied(IRegistry& registry, const ExeLinkList& links) {
  for (const auto& [ext, rec] : links)
    if (rec.buselink && IsAssociationApplied(registry, ext)) return true;
  return false;
}

void RestoreAssociation(HostChanges& host, const std::string& ext) {
  for (RegistryRoot root : kRoots) {
    bool recorded = false;
    while (std::optional<size_t> i = LastEntryOf(host, root, ext)) {
      host.UndoEntry(*i);
      recorded = true;
    }
    if (!recorded && host.Registry().KeyContents(root, ExtensionKey(root, ext)) &&
        HoldsOurType(host.Registry(), root, ext))
      RestoreFromBackup(host.Registry(), root, ext);
  }
}

bool ApplyAssociations(HostChanges& host, const ExeLinkList& links) {
  std::string refused;
  for (const auto& [ext, rec] : links) {
    const bool applied = IsAssociationApplied(host.Registry(), ext);
    if (rec.buselink && !applied) {
      if (!Redirect(host, RegistryRoot::LocalMachine, ext, rec.program) &&
          !Redirect(host, RegistryRoot::CurrentUser, ext, rec.program))
        refused += (refused.empty() ? "" : ", ") + ext;
    } else if (!rec.buselink && applied) {
      RestoreAssociation(host, ext);
    }
  }
  host.Desktop().AssociationsChanged();
  if (!refused.empty())
    host.ReportOnce("associations", "These extensions could not be set to open with the drive's programs on this PC: " +
                                        refused);
  return AnyAssociationApplied(host.Registry(), links);
}

void RestoreAssociations(HostChanges& host, const ExeLinkList& links) {
  for (const auto& [ext, rec] : links) RestoreAssociation(host, ext);
  host.Desktop().AssociationsChanged();
}

void RestoreLeavingAssociations(HostChanges& host, const ExeLinkList& links, const ExeLinkList& next) {
  bool changed = false;
  for (const auto& [ext, rec] : links) {
    const TEXELINK* kept = nullptr;
    for (const auto& [e, r] : next)
      if (SameExtension(e, ext)) kept = &r;
    if ((!kept || !kept->buselink) && IsAssociationApplied(host.Registry(), ext)) {
      RestoreAssociation(host, ext);
      changed = true;
    }
  }
  if (changed) host.Desktop().AssociationsChanged();
}

}  // namespace kestro
