#include "core/items/ItemStream.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/items/ItemTree.h"

namespace kestro {

namespace {

void PutU32(std::string& out, uint32_t v) {
  char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
  out.append(b, 4);
}
void PutI32(std::string& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }
void PutText(std::string& out, std::string_view s) {
  PutU32(out, static_cast<uint32_t>(s.size() + 1));
  out.append(s);
  out.push_back('\0');
}

// Reads from a fixed window; every read checks the bytes left first.
class Reader {
 public:
  Reader(std::string_view bytes, size_t offset) : bytes_(bytes), pos_(offset) {}
  size_t Pos() const { return pos_; }
  size_t Left() const { return bytes_.size() - pos_; }

  bool U32(uint32_t& v) {
    if (Left() < 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + pos_);
    v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    pos_ += 4;
    return true;
  }
  bool I32(int32_t& v) {
    uint32_t u;
    if (!U32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool Flag(bool& v) {
    if (Left() < 1) return false;
    v = bytes_[pos_++] != 0;
    return true;
  }
  template <class String>  // std::string or ItemString
  bool Text(String& s) {
    uint32_t length;
    if (!U32(length) || length > Left()) return false;
    std::string_view raw = bytes_.substr(pos_, length);
    s.assign(raw.substr(0, raw.find('\0')));
    pos_ += length;
    return true;
  }

 private:
  std::string_view bytes_;
  size_t pos_;
};

bool ReadRecord(Reader& r, TMyRec& rec) {
  int32_t kind = 0;
  bool ok = r.Text(rec.name) && r.Text(rec.path) && r.Text(rec.icon) && r.Text(rec.parameters) &&
            r.Text(rec.addexplain) && r.Text(rec.reserved2) && r.Flag(rec.hotkey) && r.Flag(rec.hidefromtray) &&
            r.I32(kind) && r.I32(rec.imageindex) && r.I32(rec.reserved1) && r.I32(rec.hotkeymodifier) &&
            r.I32(rec.hotkeycode) && r.I32(rec.autorun) && r.I32(rec.windowstate);
  rec.kind = static_cast<ItemKind>(kind);
  return ok;
}

}  // namespace

void WriteItemStream(const TMyRec& rec, std::string& out) {
  PutText(out, rec.name);
  PutText(out, rec.path);
  PutText(out, rec.icon);
  PutText(out, rec.parameters);
  PutText(out, rec.addexplain);
  PutText(out, rec.reserved2);
  out.push_back(rec.hotkey ? 1 : 0);
  out.push_back(rec.hidefromtray ? 1 : 0);
  PutI32(out, static_cast<int32_t>(rec.kind));
  PutI32(out, rec.imageindex);
  PutI32(out, rec.reserved1);
  PutI32(out, rec.hotkeymodifier);
  PutI32(out, rec.hotkeycode);
  PutI32(out, rec.autorun);
  PutI32(out, rec.windowstate);
}

std::string ItemStreamBytes(const TMyRec& rec) {
  std::string out;
  WriteItemStream(rec, out);
  return out;
}

std::optional<TMyRec> ReadItemStream(std::string_view bytes, size_t& offset) {
  if (offset > bytes.size()) return std::nullopt;
  Reader r(bytes, offset);
  TMyRec rec;
  if (!ReadRecord(r, rec)) return std::nullopt;
  offset = r.Pos();
  return rec;
}

std::string SaveSubtree(const ItemNode& top) {
  std::string out;
  std::vector<const ItemNode*> pending{&top};
  while (!pending.empty()) {
    const ItemNode* n = pending.back();
    pending.pop_back();
    size_t lengthAt = out.size();
    PutU32(out, 0);
    WriteItemStream(n->Data(), out);
    uint32_t length = static_cast<uint32_t>(out.size() - lengthAt - 4);
    for (int i = 0; i < 4; ++i) out[lengthAt + i] = char((length >> (8 * i)) & 0xFF);
    out.push_back(n->Expanded() ? 1 : 0);
    PutU32(out, static_cast<uint32_t>(n->Children().size()));
    pending.insert(pending.end(), n->Children().rbegin(), n->Children().rend());
  }
  return out;
}

ItemNode* LoadSubtree(std::string_view bytes, ItemTree& tree, ItemNode* parent) {
  // Everything is read and checked before the first node enters the tree.
  struct Parsed {
    TMyRec rec;
    bool expanded;
    size_t parent;  // index into `parsed`; unused for the first
  };
  std::vector<Parsed> parsed;
  // For each open node: its index and the number of children still to come.
  std::vector<std::pair<size_t, uint32_t>> open;
  Reader r(bytes, 0);
  do {
    uint32_t length, children;
    if (!r.U32(length) || length > r.Left()) return nullptr;
    Reader record(bytes.substr(0, r.Pos() + length), r.Pos());
    Parsed p{};
    if (!ReadRecord(record, p.rec) || record.Left() != 0) return nullptr;
    Reader rest(bytes, record.Pos());
    if (!rest.Flag(p.expanded) || !rest.U32(children)) return nullptr;
    r = rest;
    p.parent = open.empty() ? 0 : open.back().first;
    if (!open.empty()) --open.back().second;
    parsed.push_back(std::move(p));
    if (children > 0) open.emplace_back(parsed.size() - 1, children);
    while (!open.empty() && open.back().second == 0) open.pop_back();
  } while (!open.empty());
  if (r.Left() != 0) return nullptr;

  std::vector<ItemNode*> added;
  added.reserve(parsed.size());
  for (size_t i = 0; i < parsed.size(); ++i) {
    ItemNode* under = i == 0 ? parent : added[parsed[i].parent];
    ItemNode& n = tree.Add(under, std::move(parsed[i].rec));
    n.SetExpanded(parsed[i].expanded);
    added.push_back(&n);
  }
  return added.front();
}

}  // namespace kestro
