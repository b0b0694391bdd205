#include "core/host/HostJournal.h"

namespace kestro {

namespace {

constexpr std::string_view kHeader = "Kestro host changes 1";

void Escape(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
}

bool Unescape(std::string_view s, std::string& out) {
  out.clear();
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\': out += '\\'; break;
      case 't': out += '\t'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      default: return false;
    }
  }
  return true;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= line.size(); ++i)
    if (i == line.size() || line[i] == '\t') {
      parts.push_back(line.substr(start, i - start));
      start = i + 1;
    }
  return parts;
}

}  // namespace

bool JournalEntry::Has(std::string_view name) const {
  for (const auto& [n, v] : fields)
    if (n == name) return true;
  return false;
}

std::string JournalEntry::Get(std::string_view name) const {
  for (const auto& [n, v] : fields)
    if (n == name) return v;
  return {};
}

void JournalEntry::Set(std::string_view name, std::string value) {
  for (auto& [n, v] : fields)
    if (n == name) {
      v = std::move(value);
      return;
    }
  fields.emplace_back(std::string(name), std::move(value));
}

std::string SerializeJournal(const std::vector<JournalEntry>& entries) {
  std::string text(kHeader);
  text += "\r\n";
  for (const JournalEntry& e : entries) {
    Escape(text, e.kind);
    for (const auto& [name, value] : e.fields) {
      text += '\t';
      Escape(text, name);
      text += '=';
      Escape(text, value);
    }
    text += "\r\n";
  }
  return text;
}

std::vector<JournalEntry> ParseJournal(std::string_view text) {
  std::vector<JournalEntry> entries;
  bool header = true;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (header) {
      // A file of another format is not ours to interpret.
      if (line != kHeader) return {};
      header = false;
      continue;
    }
    if (line.empty()) continue;
    std::vector<std::string_view> parts = SplitTabs(line);
    JournalEntry e;
    bool ok = Unescape(parts[0], e.kind) && !e.kind.empty();
    for (size_t i = 1; ok && i < parts.size(); ++i) {
      size_t eq = parts[i].find('=');
      std::string name, value;
      ok = eq != std::string_view::npos && Unescape(parts[i].substr(0, eq), name) &&
           Unescape(parts[i].substr(eq + 1), value);
      if (ok) e.fields.emplace_back(std::move(name), std::move(value));
    }
    // A line torn by a failing disk is skipped; the others still count.
    if (ok) entries.push_back(std::move(e));
  }
  return entries;
}

void HostJournal::Load() {
  entries_.clear();
  std::string bytes;
  if (files_.FileExists(path_) && files_.ReadFile(path_, bytes)) entries_ = ParseJournal(bytes);
}

bool HostJournal::Store(const std::vector<JournalEntry>& entries) {
  lastError_.clear();
  if (entries.empty()) {
    if (files_.RemoveFile(path_)) return true;
    lastError_ = path_ + " could not be deleted.";
    return false;
  }
  WriteResult written = files_.WriteFileAtomic(path_, SerializeJournal(entries));
  if (!written) lastError_ = written.error.empty() ? path_ + " could not be written." : written.error;
  return bool(written);
}

bool HostJournal::Add(JournalEntry entry) {
  std::vector<JournalEntry> next = entries_;
  next.push_back(std::move(entry));
  if (!Store(next)) return false;
  entries_ = std::move(next);
  return true;
}

bool HostJournal::Replace(size_t index, JournalEntry entry) {
  if (index >= entries_.size()) return false;
  std::vector<JournalEntry> next = entries_;
  next[index] = std::move(entry);
  if (!Store(next)) return false;
  entries_ = std::move(next);
  return true;
}

bool HostJournal::Remove(size_t index) {
  if (index >= entries_.size()) return false;
  std::vector<JournalEntry> next = entries_;
  next.erase(next.begin() + long(index));
  // The change is undone already: forgotten even when the file keeps it, as
  // undoing it once more at the next start finds nothing of ours.
  bool stored = Store(next);
  entries_ = std::move(next);
  return stored;
}

}  // namespace kestro
