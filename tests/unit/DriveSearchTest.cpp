#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "FakeShell.h"
#include "core/find/DriveSearch.h"

namespace kestro {
namespace {

using testing::FakeShell;
using testing::ShellOpen;

constexpr uint32_t kDir = kAttributeDirectory;
constexpr uint32_t kFile = 0x20;  // archive
constexpr uint32_t kHidden = 0x2;

// Folders in memory; a folder that is not in the map cannot be listed.
class FakeLister : public IFolderLister {
 public:
  std::map<std::string, std::vector<FolderEntry>> folders;
  std::vector<std::string> listed;
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
    listed.push_back(folder);
    auto it = folders.find(folder);
    if (it == folders.end()) return false;
    entries = it->second;
    return true;
  }
};

std::vector<std::string> Walk(FakeLister& lister, DriveWalk rule) {
  std::vector<std::string> files;
  WalkDrive("E:", rule, lister, [&](const std::string& folder, const FolderEntry& e) {
    files.push_back(folder + "\\" + e.name);
    return true;
  });
  return files;
}

FakeLister SampleDrive() {
  FakeLister l;
  l.folders["E:"] = {{".", kDir},           {"..", kDir},          {"Apps", kDir},    {"top.exe", kFile},
                     {"Hidden", kDir | kHidden}, {"Link", kDir | kAttributeReparsePoint}, {"Locked", kDir},
                     {"Zed.EXE", kFile}};
  l.folders["E:\\Apps"] = {{"a.exe", kFile}, {"Sub", kDir}, {"B.EXE", kFile}, {"probe.txt", kFile | kHidden}};
  l.folders["E:\\Apps\\Sub"] = {{"deep.exe", kFile}, {"setup.exe.bak", kFile}};
  l.folders["E:\\Hidden"] = {{"h.exe", kFile}};
  l.folders["E:\\Link"] = {{"loop.exe", kFile}};
  // "E:\Locked" cannot be listed.
  return l;
}

TEST(DriveSearchTest, TheFindWalkGoesDepthFirstInListingOrderAndSkipsLinksAndUnreadableFolders) {
  FakeLister l = SampleDrive();
  EXPECT_EQ(Walk(l, DriveWalk::Find),
            (std::vector<std::string>{"E:\\Apps\\a.exe", "E:\\Apps\\Sub\\deep.exe", "E:\\Apps\\Sub\\setup.exe.bak",
                                      "E:\\Apps\\B.EXE", "E:\\Apps\\probe.txt", "E:\\top.exe", "E:\\Hidden\\h.exe",
                                      "E:\\Zed.EXE"}));
  // The link is never listed; the locked folder is tried once.
  EXPECT_EQ(std::count(l.listed.begin(), l.listed.end(), "E:\\Link"), 0);
  EXPECT_EQ(std::count(l.listed.begin(), l.listed.end(), "E:\\Locked"), 1);
}

TEST(DriveSearchTest, TheExeWalkEntersOnlyPlainFolders) {
  FakeLister l = SampleDrive();
  EXPECT_EQ(Walk(l, DriveWalk::Exe),
            (std::vector<std::string>{"E:\\Apps\\a.exe", "E:\\Apps\\Sub\\deep.exe", "E:\\Apps\\Sub\\setup.exe.bak",
                                      "E:\\Apps\\B.EXE", "E:\\Apps\\probe.txt", "E:\\top.exe", "E:\\Zed.EXE"}));
}

TEST(DriveSearchTest, AFolderLoopWithoutLinkBitsEndsWhenTheListingFailsAndDepthCostsNoStack) {
  // Every folder holds one folder "d" and a file, down to 10,000 levels.
  class Deep : public IFolderLister {
   public:
    size_t calls = 0;
    bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
      if (++calls > 10000) return false;
      (void)folder;
      entries = {{"d", kDir}, {"f.txt", kFile}};
      return true;
    }
  } deep;
  size_t files = 0;
  EXPECT_TRUE(WalkDrive("E:", DriveWalk::Find, deep, [&](const std::string&, const FolderEntry&) {
    ++files;
    return true;
  }));
  EXPECT_EQ(files, 10000u);
}

TEST(DriveSearchTest, TheCallerCanEndTheWalk) {
  FakeLister l = SampleDrive();
  int seen = 0;
  EXPECT_FALSE(WalkDrive("E:", DriveWalk::Find, l, [&](const std::string&, const FolderEntry&) { return ++seen < 3; }));
  EXPECT_EQ(seen, 3);
  FakeLister none;
  EXPECT_TRUE(WalkDrive("E:", DriveWalk::Find, none, [](const std::string&, const FolderEntry&) { return true; }));
}

TEST(DriveSearchTest, SearchTextNeedsTwoCharactersAndLosesItsAsterisks) {
  struct Case {
    const char* typed;
    std::optional<std::string> text;
  };
  for (const Case& c : std::vector<Case>{{"", std::nullopt},
                                          {"a", std::nullopt},
                                          {"가", std::nullopt},  // one character of three bytes
                                          {"가나", "가나"},
                                          {"ab", "ab"},
                                          {"**", ""},
                                          {"*ro*be", "robe"},
                                          {"EXE", "exe"}})
    EXPECT_EQ(FindSearchText(c.typed), c.text) << c.typed;
}

TEST(DriveSearchTest, NamesMatchByLoweredSubstring) {
  struct Case {
    const char* name;
    const char* text;
    bool match;
  };
  for (const Case& c : std::vector<Case>{{"Foo.EXE", "exe", true},
                                          {"setup.exe", "exe", true},
                                          {"Executor.dll", "exe", true},
                                          {"probe.exe", "probe", true},
                                          {"PROBE", "probe", true},
                                          {"prob.exe", "probe", false},
                                          {"a*b", "a*b", true},  // no wildcards: the text as it stands
                                          {"abc", "a?c", false},
                                          {"x", "xx", false},
                                          {"anything", "", false},
                                          {"프로그램.exe", "그램", true}})
    EXPECT_EQ(FindNameMatches(c.name, c.text), c.match) << c.name << " / " << c.text;
}

TEST(DriveSearchTest, ExeNamesAreThoseEndingInLowerCaseExe) {
  EXPECT_TRUE(IsExeFileName("a.exe"));
  EXPECT_TRUE(IsExeFileName("my.app.exe"));
  EXPECT_FALSE(IsExeFileName("B.EXE"));
  EXPECT_FALSE(IsExeFileName("setup.exe.bak"));
  EXPECT_FALSE(IsExeFileName("exe"));
}

TEST(DriveSearchTest, RecordsOfResultsAndOfTheExeGroup) {
  TMyRec found = FoundFileRecord("E:\\Apps\\Foo", "foo.exe", 7);
  EXPECT_EQ(found.kind, ItemKind::File);
  EXPECT_EQ(found.name, "foo.exe");
  EXPECT_EQ(found.path, "E:\\Apps\\Foo\\foo.exe");
  EXPECT_EQ(found.imageindex, 7);
  TMyRec empty = found;
  empty.name = empty.path = "";
  empty.imageindex = 0;
  EXPECT_EQ(empty, TMyRec{});
  EXPECT_EQ(FoundCountText(0), "0items");
  EXPECT_EQ(FoundCountText(12), "12items");

  TMyRec group = ExeGroupRecord("E:\\");
  EXPECT_EQ(group.kind, ItemKind::Group);
  EXPECT_EQ(group.name, "E:\\ ..");
  EXPECT_EQ(group.imageindex, kGroupPicture);

  TMyRec result = found;
  result.parameters = "-x";
  TMyRec copy = CopyOfFoundFile(result);
  EXPECT_EQ(copy.path, "E:\\Apps\\Foo\\foo.exe");
  EXPECT_EQ(copy.name, "foo.exe");
  EXPECT_EQ(copy.imageindex, 7);
  EXPECT_TRUE(copy.parameters.empty());
}

TEST(DriveSearchTest, LaunchingAResultOpensThePathAsItStandsAndFallsBackToTheDrivesProgram) {
  ExeLinkList links;
  links.push_back({"txt", TEXELINK{true, "E:\\Tools\\edit.exe"}});
  struct Case {
    int shellResult;
    const char* path;
    std::vector<ShellOpen> opened;
  };
  const ShellOpen first{"E:\\%udrive%\\a.txt", "", "", 1};
  for (const Case& c : std::vector<Case>{
           {42, "E:\\%udrive%\\a.txt", {first}},
           {31, "E:\\%udrive%\\a.txt", {first, {"E:\\Tools\\edit.exe", "E:\\%udrive%\\a.txt", "E:\\Tools\\", 1}}},
           {5, "E:\\%udrive%\\a.txt", {first, {"E:\\Tools\\edit.exe", "E:\\%udrive%\\a.txt", "E:\\Tools\\", 1}}},
           {2, "E:\\%udrive%\\a.txt", {first}},
           {31, "E:\\noext", {{"E:\\noext", "", "", 1}}},
       }) {
    FakeShell shell;
    shell.result = c.shellResult;
    EXPECT_EQ(LaunchFoundFile(c.path, shell, links), c.shellResult);
    EXPECT_EQ(shell.opened, c.opened) << c.shellResult << " " << c.path;
  }
}

TEST(DriveSearchTest, RowTextsSitRightOfThePictureInOneOrTwoLines) {
  const Rect small{0, 40, 200, 60}, big{0, 72, 200, 108};
  ItemTextPlacement one = PlaceFoundTexts(small, true, 20, 36, 96);
  ASSERT_TRUE(one.caption);
  EXPECT_EQ((std::pair{one.caption->x, one.caption->y}), (std::pair{25, 42}));
  EXPECT_FALSE(one.subText) << "no second line in small rows";
  ItemTextPlacement two = PlaceFoundTexts(big, true, 36, 36, 96);
  ASSERT_TRUE(two.caption && two.subText);
  EXPECT_EQ((std::pair{two.caption->x, two.caption->y}), (std::pair{46, 75}));
  EXPECT_EQ(two.caption->clip.bottom, 90);
  EXPECT_EQ((std::pair{two.subText->x, two.subText->y}), (std::pair{46, 91}));
  EXPECT_FALSE(PlaceFoundTexts(big, false, 36, 36, 96).subText);
  // At 144 DPI every length grows by half.
  ItemTextPlacement scaled = PlaceFoundTexts(Rect{0, 0, 300, 54}, true, 36, 36, 144);
  EXPECT_EQ((std::pair{scaled.caption->x, scaled.subText->y}), (std::pair{54 + 15, 27 + 2}));
}

TEST(DriveSearchTest, TheMoveEntryNamesTheFirstItemTabOfItsCaption) {
  std::vector<std::string> captions{"검색", "A", "B", "A"};
  std::vector<bool> items{false, true, true, true};
  EXPECT_EQ(PageForCaption(captions, items, "A"), 1u);
  EXPECT_EQ(PageForCaption(captions, items, "B"), 2u);
  EXPECT_EQ(PageForCaption(captions, items, "검색"), std::nullopt);
  EXPECT_EQ(PageForCaption(captions, items, "a"), std::nullopt);
}

}  // namespace
}  // namespace kestro
