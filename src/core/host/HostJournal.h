#pragma once
// The journal of host changes: what the host held before Kestro changed it,
// kept in a file on the host so that a run that ends without its undo (a
// crash, a kill, a pulled drive) is repaired by the next start there.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace kestro {

// One change: its kind names the code that undoes it; the fields are that
// kind's own (names without tabs, line breaks or "=").
struct JournalEntry {
  std::string kind;
  std::vector<std::pair<std::string, std::string>> fields;

  bool Has(std::string_view name) const;
  // Empty when the field is missing.
  std::string Get(std::string_view name) const;
  void Set(std::string_view name, std::string value);
  bool operator==(const JournalEntry&) const = default;
};

// The journal's text: a header line, then one entry a line (kind, then
// name=value fields, separated by tabs; "\" escapes tab, line breaks and
// itself). Lines that cannot be read are skipped.
std::string SerializeJournal(const std::vector<JournalEntry>& entries);
std::vector<JournalEntry> ParseJournal(std::string_view text);

class HostJournal {
 public:
  HostJournal(IFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  // Reads what an earlier run left (nothing when there is no file).
  void Load();
  const std::vector<JournalEntry>& Entries() const { return entries_; }

  // Each of these writes the whole journal before it returns: a temporary
  // file, flushed and moved into place, so that a crash at any moment leaves
  // the old or the new journal. An empty journal is no file at all. False
  // when the file could not be written; then the journal is as before.
  bool Add(JournalEntry entry);
  bool Replace(size_t index, JournalEntry entry);
  // The entry is dropped from memory even when the file could not be written.
  bool Remove(size_t index);
  // Why the last write failed.
  const std::string& LastError() const { return lastError_; }

 private:
  bool Store(const std::vector<JournalEntry>& entries);

  IFileSystem& files_;
  std::string path_;
  std::vector<JournalEntry> entries_;
  std::string lastError_;
};

}  // namespace kestro
