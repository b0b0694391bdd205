#include "core/items/ItemString.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace kestro {
namespace {

// Lengths around the change from the string's own bytes to the heap.
const size_t kLengths[] = {0, 1, ItemString::kInline - 1, ItemString::kInline, ItemString::kInline + 1, 300};

std::string Text(size_t n, char first = 'a') {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += char(first + i % 26);
  return s;
}

void ExpectHolds(const ItemString& s, const std::string& want) {
  ASSERT_EQ(s.size(), want.size());
  EXPECT_EQ(std::string(s.data(), s.size()), want);
  EXPECT_EQ(s.c_str()[want.size()], '\0') << "not terminated at " << want.size();
  EXPECT_EQ(s.empty(), want.empty());
  EXPECT_TRUE(s == want);
}

TEST(ItemStringTest, CopiesMovesAndAssignmentsKeepEveryLength) {
  for (size_t from : kLengths) {
    for (size_t to : kLengths) {
      SCOPED_TRACE("from " + std::to_string(from) + " to " + std::to_string(to));
      const std::string a = Text(from, 'a'), b = Text(to, 'A');
      ItemString s(a);
      ExpectHolds(s, a);
      ItemString copy(s);
      s = b;
      ExpectHolds(s, b);
      ExpectHolds(copy, a);
      ItemString moved(std::move(copy));
      ExpectHolds(moved, a);
      ExpectHolds(copy, "");  // NOLINT: left empty, and still usable
      copy = b;
      ExpectHolds(copy, b);
      moved = std::move(copy);
      ExpectHolds(moved, b);
      moved = s;
      ExpectHolds(moved, b);
      moved.clear();
      ExpectHolds(moved, "");
    }
  }
}

TEST(ItemStringTest, AppendsAcrossTheChangeToTheHeap) {
  for (size_t first : kLengths) {
    for (size_t second : kLengths) {
      SCOPED_TRACE(std::to_string(first) + " + " + std::to_string(second));
      ItemString s(Text(first));
      s.append(Text(second, 'A'));
      ExpectHolds(s, Text(first) + Text(second, 'A'));
    }
  }
  // A view without bytes (a null pointer) changes nothing and copies nothing.
  for (size_t n : kLengths) {
    ItemString s(Text(n));
    s.append(std::string_view());
    ExpectHolds(s, Text(n));
    s.assign(std::string_view());
    ExpectHolds(s, "");
    ExpectHolds(ItemString(std::string_view()), "");
  }
  ItemString grown;
  std::string want;
  for (int i = 0; i < 200; ++i) {
    grown += char('0' + i % 10);
    want += char('0' + i % 10);
  }
  ExpectHolds(grown, want);
}

TEST(ItemStringTest, TakesItsOwnBytes) {
  for (size_t n : kLengths) {
    SCOPED_TRACE(n);
    const std::string text = Text(n);
    ItemString s(text);
    const ItemString& same = s;
    s = same;
    ExpectHolds(s, text);
    if (n > 2) {
      s.assign(std::string_view(s).substr(1, n - 2));
      ExpectHolds(s, text.substr(1, n - 2));
    }
    ItemString doubled(text);
    doubled.append(doubled);
    ExpectHolds(doubled, text + text);
  }
}

TEST(ItemStringTest, ComparesAndJoinsLikeAStandardString) {
  const ItemString path("R:\\PortableApps\\Program\\Program.exe");
  const std::string same = "R:\\PortableApps\\Program\\Program.exe";
  EXPECT_TRUE(path == same);
  EXPECT_TRUE(same == path);
  EXPECT_TRUE(path == "R:\\PortableApps\\Program\\Program.exe");
  EXPECT_FALSE(path != ItemString(same));
  EXPECT_TRUE(path != "R:\\PortableApps\\Program\\Program.ex");
  EXPECT_TRUE(ItemString("a") < ItemString("b"));
  EXPECT_TRUE(ItemString(Text(100)) > ItemString(Text(99)));
  EXPECT_EQ("[" + path + "]", "[" + same + "]");
  EXPECT_EQ(path + '\\', same + '\\');
  EXPECT_EQ(path.substr(3, 12), "PortableApps");
  EXPECT_EQ(path.back(), 'e');
  const std::string converted = path;
  EXPECT_EQ(converted, same);
}

}  // namespace
}  // namespace kestro
