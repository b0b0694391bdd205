#include <gtest/gtest.h>

#include <random>

#include "core/items/ItemStream.h"
#include "core/items/ItemTree.h"

namespace kestro {
namespace {

TMyRec FullRecord() {
  TMyRec r;
  r.kind = ItemKind::Folder;
  r.name = "메모장";
  r.path = "E:\\Apps\\np.exe";
  r.icon = "E:\\icons\\np.ico";
  r.url = "http://not.carried/";
  r.parameters = "%udrive%\\doc.txt -x";
  r.addexplain = "note";
  r.reserved1 = 7;
  r.imageindex = -1;
  r.hotkey = true;
  r.hidefromtray = true;
  r.hotkeymodifier = 11;
  r.hotkeycode = 35;
  r.reserved2 = "r2";
  r.autorun = 3;
  r.windowstate = 2;
  return r;
}

std::string Le32(uint32_t v) {
  return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}
std::string Text(const std::string& s) { return Le32(uint32_t(s.size() + 1)) + s + std::string(1, '\0'); }

TEST(ItemStreamTest, LaysTheRecordOutByteForByte) {
  TMyRec r;
  r.name = "a";
  r.path = "E:\\b.exe";
  r.hotkey = true;
  r.kind = ItemKind::Group;
  r.imageindex = -1;
  r.hotkeymodifier = 0x01020304;
  r.hotkeycode = 26;
  r.autorun = 2;
  r.windowstate = 3;
  r.url = "dropped";
  std::string expected = Text("a") + Text("E:\\b.exe") + Text("") + Text("") + Text("") + Text("") +
                         std::string{'\1', '\0'} + Le32(2) + Le32(0xFFFFFFFF) + Le32(0) + Le32(0x01020304) +
                         Le32(26) + Le32(2) + Le32(3);
  EXPECT_EQ(ItemStreamBytes(r), expected);
  // An empty text is its length 1 and one zero byte.
  EXPECT_EQ(expected.substr(4 + 2 + 4 + 9, 5), (std::string{'\1', '\0', '\0', '\0', '\0'}));
}

TEST(ItemStreamTest, ReadsBackEverythingButTheUrl) {
  TMyRec r = FullRecord();
  std::string bytes = ItemStreamBytes(r) + ItemStreamBytes(TMyRec{});
  size_t offset = 0;
  auto first = ReadItemStream(bytes, offset);
  ASSERT_TRUE(first);
  TMyRec expected = r;
  expected.url.clear();
  EXPECT_EQ(*first, expected);
  EXPECT_EQ(offset, ItemStreamBytes(r).size());
  auto second = ReadItemStream(bytes, offset);
  ASSERT_TRUE(second);
  EXPECT_EQ(*second, TMyRec{});
  EXPECT_EQ(offset, bytes.size());
  EXPECT_FALSE(ReadItemStream(bytes, offset));
}

TEST(ItemStreamTest, ATextEndsAtItsFirstZeroByte) {
  std::string bytes = ItemStreamBytes(TMyRec{});
  // name: length 5, "ab", zero, "cd" (garbage after the end of the text)
  std::string name = Le32(5) + std::string("ab\0cd", 5);
  bytes.replace(0, 5, name);
  size_t offset = 0;
  auto r = ReadItemStream(bytes, offset);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->name, "ab");
  EXPECT_EQ(offset, bytes.size());
}

TEST(ItemStreamTest, ATruncatedRecordIsRejectedWhole) {
  std::string bytes = ItemStreamBytes(FullRecord());
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    size_t offset = 0;
    EXPECT_FALSE(ReadItemStream(std::string_view(bytes).substr(0, cut), offset)) << "cut at " << cut;
    EXPECT_EQ(offset, 0u);
  }
}

TEST(ItemStreamTest, ALengthBeyondTheBytesLeftIsRejected) {
  std::string good = ItemStreamBytes(FullRecord());
  for (uint32_t length : {0xFFFFFFFFu, 0x80000000u, uint32_t(good.size())}) {
    std::string bad = good;
    // the length of `path`, the second text
    size_t at = 4 + FullRecord().name.size() + 1;
    bad.replace(at, 4, Le32(length));
    size_t offset = 0;
    EXPECT_FALSE(ReadItemStream(bad, offset)) << length;
    EXPECT_EQ(offset, 0u);
  }
  size_t past = good.size() + 1;
  EXPECT_FALSE(ReadItemStream(good, past));
  EXPECT_EQ(past, good.size() + 1);
}

class SubtreeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TMyRec g = FullRecord();
    g.kind = ItemKind::Group;
    g.name = "group";
    group = &source.Add(nullptr, g);
    group->SetExpanded(true);
    TMyRec a;
    a.name = "a";
    source.Add(group, a);
    TMyRec sub;
    sub.name = "sub";
    sub.kind = ItemKind::Group;
    ItemNode& s = source.Add(group, sub);
    TMyRec b;
    b.name = "b";
    b.path = "E:\\b.exe";
    source.Add(&s, b);
    TMyRec c;
    c.name = "c";
    source.Add(group, c);
    bytes = SaveSubtree(*group);
  }
  ItemTree source;
  ItemNode* group = nullptr;
  std::string bytes;
};

std::string Shape(const ItemTree& tree) {
  std::string s;
  tree.ForEach([&](const ItemNode& n) {
    s += std::string(n.Level(), '.') + n.Data().name + (n.Expanded() ? "+" : "") + " ";
  });
  return s;
}

TEST_F(SubtreeTest, TravelsWithItsShapeRecordsAndExpandedStates) {
  ItemTree target;
  ItemNode& there = target.Add(nullptr);
  there.Data().name = "there";
  ItemNode* top = LoadSubtree(bytes, target, &there);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->Parent(), &there);
  EXPECT_EQ(Shape(target), "there .group+ ..a ..sub ...b ..c ");
  TMyRec expected = FullRecord();
  expected.kind = ItemKind::Group;
  expected.name = "group";
  expected.url.clear();
  EXPECT_EQ(top->Data(), expected);
  EXPECT_EQ(top->Children()[1]->Children()[0]->Data().path, "E:\\b.exe");
  EXPECT_NE(top->Id(), group->Id());
}

TEST_F(SubtreeTest, DamagedBytesAddNothing) {
  ItemTree target;
  target.Add(nullptr).Data().name = "kept";
  auto rejected = [&](std::string_view b) {
    return LoadSubtree(b, target, nullptr) == nullptr && target.Count() == 1;
  };
  for (size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_TRUE(rejected(std::string_view(bytes).substr(0, cut))) << "cut at " << cut;
  EXPECT_TRUE(rejected(bytes + "x"));

  // The group claims one child more than follow.
  std::string moreChildren = bytes;
  size_t recordLength = ItemStreamBytes(group->Data()).size();
  moreChildren.replace(4 + recordLength + 1, 4, Le32(4));
  EXPECT_TRUE(rejected(moreChildren));

  // A frame length that does not match its record.
  std::string shortFrame = bytes;
  shortFrame.replace(0, 4, Le32(uint32_t(recordLength - 1)));
  EXPECT_TRUE(rejected(shortFrame));
  std::string hugeFrame = bytes;
  hugeFrame.replace(0, 4, Le32(0xFFFFFFF0u));
  EXPECT_TRUE(rejected(hugeFrame));
}

TEST_F(SubtreeTest, RandomCorruptionNeverHalfBuildsATree) {
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    std::string bad = bytes;
    int flips = 1 + int(random() % 4);
    for (int i = 0; i < flips; ++i) bad[random() % bad.size()] = char(random());
    ItemTree target;
    ItemNode* top = LoadSubtree(bad, target, nullptr);
    if (top) {
      // Accepted bytes were one whole subtree: all of it is in the tree, and
      // it travels on as it arrived.
      size_t inSubtree = 0;
      target.ForEach([&](const ItemNode&) { ++inSubtree; });
      EXPECT_EQ(inSubtree, target.Count());
      ItemTree again;
      EXPECT_NE(LoadSubtree(SaveSubtree(*top), again, nullptr), nullptr);
      EXPECT_EQ(again.Count(), target.Count());
    } else {
      EXPECT_EQ(target.Count(), 0u);
    }
  }
}

}  // namespace
}  // namespace kestro
