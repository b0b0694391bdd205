// The item stream: records and whole subtrees handed over as bytes (drag and
// drop between trees, copies between tabs). Any bytes are read without harm;
// what was read writes back to bytes that read the same again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "core/items/ItemStream.h"
#include "core/items/ItemTree.h"

using namespace kestro;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Records one after another, as several dragged items come.
  size_t offset = 0;
  while (std::optional<TMyRec> rec = ReadItemStream(bytes, offset)) {
    FUZZ_CHECK(offset <= bytes.size());
    std::string again = ItemStreamBytes(*rec);
    size_t at = 0;
    std::optional<TMyRec> back = ReadItemStream(again, at);
    FUZZ_CHECK(back && *back == *rec && at == again.size());
  }

  // One whole subtree; a stream that is not exactly one adds nothing.
  ItemTree tree;
  ItemNode* top = LoadSubtree(bytes, tree, nullptr);
  FUZZ_CHECK(top ? tree.Count() > 0 : tree.Empty());
  if (!top) return 0;
  std::string saved = SaveSubtree(*top);
  ItemTree copy;
  ItemNode* copied = LoadSubtree(saved, copy, nullptr);
  FUZZ_CHECK(copied && copy.Count() == tree.Count() && SaveSubtree(*copied) == saved);
  // The same subtree dropped into a group of its own tree.
  size_t before = tree.Count();
  ItemNode* nested = LoadSubtree(saved, tree, top);
  FUZZ_CHECK(nested && nested->Parent() == top && tree.Count() == 2 * before);
  tree.Remove(*top);
  FUZZ_CHECK(tree.Empty());
  return 0;
}
