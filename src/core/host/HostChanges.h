#pragma once
// The one way Kestro changes the host PC: every change is first recorded in
// the journal (with what the host held before), then made; every undo puts
// the host back where it still holds what Kestro wrote, then forgets the
// entry. The start repairs what an earlier run left before it touches the
// host itself.
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/HostJournal.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/UserInterface.h"
#include "platform/Volumes.h"

namespace kestro {

// What the undo of an entry may touch.
struct HostAccess {
  IRegistry& registry;
  IDesktop& desktop;
  IVolumes* volumes = nullptr;  // none: drive letters are left as they are
};

// One kind of change. A new kind (another host setting) is one more class
// and one more line in HostChanges' list; nothing else learns about it.
class IHostChangeKind {
 public:
  virtual ~IHostChangeKind() = default;
  virtual std::string_view Name() const = 0;
  // Puts back what `entry` recorded, as far as the host still holds what
  // Kestro wrote there; a later change by the user is kept.
  virtual void Undo(const JournalEntry& entry, HostAccess& host) = 0;
};

class HostChanges {
 public:
  HostChanges(IFileSystem& files, IRegistry& registry, IDesktop& desktop, IMessageBoxes& messages,
              std::string journalPath);

  IRegistry& Registry() { return access_.registry; }
  IDesktop& Desktop() { return access_.desktop; }
  // The volumes, for the drive-letter entries (set before Repair).
  void SetVolumes(IVolumes* volumes) { access_.volumes = volumes; }
  HostJournal& Journal() { return journal_; }
  const HostJournal& Journal() const { return journal_; }

  // At start, before anything else touches the host: undoes every entry an
  // earlier run on this host left behind. Entries of kinds this program
  // does not know stay for a program that does.
  void Repair();

  // Records `entry` durably before the change it describes is made. False
  // when the journal cannot be written: then the change must not be made
  // (the user is told once per run).
  bool Record(JournalEntry entry);
  // Replaces the recorded entry at `index` (a change made again).
  bool Rerecord(size_t index, JournalEntry entry);
  // The index of the first entry of `kind` that `match` accepts.
  std::optional<size_t> Find(std::string_view kind,
                             const std::function<bool(const JournalEntry&)>& match = {}) const;
  // Undoes the entry at `index` and forgets it.
  void UndoEntry(size_t index);
  // Undoes every entry of `kind`, the newest first.
  void UndoKind(std::string_view kind);
  // Undoes everything, the kinds in their undo order (wallpaper, desktop
  // icons, associations, Favorites, then the kinds added after them).
  void UndoAll();

  // A notice shown once per run for each `topic`.
  void ReportOnce(const std::string& topic, const std::string& text);

 private:
  IHostChangeKind* KindOf(std::string_view name);

  HostAccess access_;
  IMessageBoxes& messages_;
  HostJournal journal_;
  std::vector<std::unique_ptr<IHostChangeKind>> kinds_;  // in undo order
  std::set<std::string> reported_;
};

// A registry value, or that there was none, in the fields `name` ("1" when
// there was one), `name` + "data" and `name` + "type".
void RememberValue(JournalEntry& entry, const std::string& name, const std::optional<RegistryValue>& value);
std::optional<RegistryValue> RecalledValue(const JournalEntry& entry, const std::string& name);

// The file the journal lives in, in the host's per-user local application
// data folder (not roaming, so never seen by another PC).
std::string JournalPathIn(const std::string& localAppDataFolder);

}  // namespace kestro
