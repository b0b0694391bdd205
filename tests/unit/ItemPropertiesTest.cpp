#include <gtest/gtest.h>

#include "core/config/PathMacros.h"
#include "core/items/ItemProperties.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

const std::string kRoot = "E:\\";

TMyRec FileItem() {
  TMyRec r;
  r.kind = ItemKind::File;
  r.name = "Editor";
  r.path = "E:\\Apps\\ed.exe";
  r.parameters = "%udrive%\\notes.txt";
  r.addexplain = "text";
  r.hotkey = true;
  r.hotkeymodifier = 3;
  r.hotkeycode = 26;
  r.autorun = 2;
  r.windowstate = 1;
  return r;
}

TEST(ItemProperties, EachKindOpensItsDialogWithItsCaption) {
  MessageTable m;
  m.Set("19", "Folder Property");
  m.Set("20", "File Property");
  m.Set("21", "Group#13Property");
  struct Case {
    ItemKind kind;
    PropertyDialog dialog;
    std::string caption;
  } cases[] = {
      {ItemKind::File, PropertyDialog::Item, "n File Property"},
      {ItemKind::Url, PropertyDialog::Item, "n File Property"},
      {ItemKind::Folder, PropertyDialog::Item, "n Folder Property"},
      {ItemKind::Group, PropertyDialog::Group, "n Group\r\nProperty"},
      {ItemKind::Separator, PropertyDialog::None, "n File Property"},
      {static_cast<ItemKind>(9), PropertyDialog::None, "n File Property"},
  };
  for (const Case& c : cases) {
    TMyRec r;
    r.kind = c.kind;
    r.name = "n";
    EXPECT_EQ(PropertyDialogFor(c.kind), c.dialog) << int(c.kind);
    EXPECT_EQ(PropertyCaption(r, m), c.caption) << int(c.kind);
  }
}

TEST(ItemProperties, TheDialogShowsTheRecordWithTheDriveRootRemoved) {
  ItemPropertyFields f = ItemFieldsOf(FileItem(), kRoot);
  ItemPropertyFields want{"Editor", "Apps\\ed.exe", "%udrive%\\notes.txt", "text", "", true, 3, 26, 2, 1};
  EXPECT_EQ(f, want);
  TMyRec off = FileItem();
  off.path = "D:\\x.exe";
  off.icon = "E:\\icons\\a.ico";
  EXPECT_EQ(ItemFieldsOf(off, kRoot).path, "D:\\x.exe");
  EXPECT_EQ(ItemFieldsOf(off, kRoot).iconFile, "E:\\icons\\a.ico");
}

TEST(ItemProperties, OkWritesEveryFieldAndTheTypedPathAsTheDocumentWillRead) {
  struct Case {
    std::string typed, stored;
  } cases[] = {
      {"Apps\\new.exe", "E:\\Apps\\new.exe"},             // drive-relative gets the root again
      {"%udrive%\\Apps\\x.exe", "%udrive%\\Apps\\x.exe"},  // a macro path kept as typed
      {"C:\\Windows\\notepad.exe", "C:\\Windows\\notepad.exe"},
      {"\\\\srv\\share\\x.exe", "\\\\srv\\share\\x.exe"},
  };
  for (const Case& c : cases) {
    TMyRec r = FileItem();
    ItemPropertyFields f{"New", c.typed, "-p", "about", "E:\\i.ico", false, 5, 7, 3, 2};
    ApplyItemFields(r, f, kRoot);
    EXPECT_EQ(r.path, c.stored);
    EXPECT_EQ(r.name, "New");
    EXPECT_EQ(r.icon, "E:\\i.ico");
    EXPECT_EQ(r.parameters, "-p");
    EXPECT_EQ(r.addexplain, "about");
    EXPECT_FALSE(r.hotkey);
    EXPECT_EQ(std::tie(r.hotkeymodifier, r.hotkeycode, r.autorun, r.windowstate), std::make_tuple(5, 7, 3, 2));
    EXPECT_EQ(r.kind, ItemKind::File);
  }
}

TEST(ItemProperties, ShowingAndConfirmingUnchangedFieldsKeepsTheRecord) {
  TMyRec r = FileItem();
  r.icon = "E:\\i.ico";
  TMyRec copy = r;
  ApplyItemFields(copy, ItemFieldsOf(r, kRoot), kRoot);
  EXPECT_EQ(copy, r);
}

TEST(ItemProperties, AnEmptyNameIsRefused) {
  ItemPropertyFields f;
  EXPECT_EQ(ItemPropertyRefusal(f), std::optional<std::string_view>("15"));
  f.name = " ";
  EXPECT_EQ(ItemPropertyRefusal(f), std::nullopt);
  GroupPropertyFields g;
  EXPECT_EQ(GroupPropertyRefusal(g), std::optional<std::string_view>("16"));
  g.name = "Tools";
  EXPECT_EQ(GroupPropertyRefusal(g), std::nullopt);
}

TEST(ItemProperties, PictureOfTheDialogWhenItOpens) {
  TMyRec file = FileItem();
  TMyRec own = FileItem();
  own.icon = "E:\\i.ico";
  TMyRec folder;
  folder.kind = ItemKind::Folder;
  folder.path = "E:\\Docs";
  TMyRec folderOwn = folder;
  folderOwn.icon = "E:\\f.ico";
  struct Case {
    const TMyRec& rec;
    std::string folderIcon;
    PictureSource want;
    bool fallback;
  } cases[] = {
      {file, "", {"E:\\Apps\\ed.exe", kFilePicture}, false},
      {own, "", {"E:\\i.ico", kFilePicture}, false},
      {folder, "", {"", kFolderPicture}, true},
      {folderOwn, "", {"E:\\f.ico", kFilePicture}, true},
      // The setting wins over an own icon when the dialog opens.
      {folderOwn, "icons\\dir.ico", {"E:\\icons\\dir.ico", kFolderPicture}, false},
      {file, "icons\\dir.ico", {"E:\\Apps\\ed.exe", kFilePicture}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ItemDialogPicture(c.rec, c.folderIcon, kRoot), c.want) << c.rec.path << c.folderIcon;
    EXPECT_EQ(UsesFolderFallback(c.rec, c.folderIcon), c.fallback) << c.rec.path << c.folderIcon;
  }
}

TEST(ItemProperties, PictureWhenTheOwnIconIsGivenUp) {
  EXPECT_EQ(ItemPictureWithoutOwnIcon(ItemKind::File, "%udrive%\\a.exe", "", kRoot),
            (PictureSource{"%udrive%\\a.exe", kFilePicture}));
  EXPECT_EQ(ItemPictureWithoutOwnIcon(ItemKind::Folder, "Docs", "", kRoot), (PictureSource{"", kFolderPicture}));
  EXPECT_EQ(ItemPictureWithoutOwnIcon(ItemKind::Folder, "Docs", "d.ico", kRoot),
            (PictureSource{"E:\\d.ico", kFolderPicture}));
}

TEST(ItemProperties, PictureOfTheConfirmedItem) {
  testing::FakeHostSystem host;
  std::string drive = "E:";
  MacroValues macros(host, drive);
  auto fields = [](std::string path, std::string icon) {
    ItemPropertyFields f;
    f.name = "n";
    f.path = std::move(path);
    f.iconFile = std::move(icon);
    return f;
  };
  struct Case {
    ItemKind kind;
    ItemPropertyFields f;
    std::string folderIcon;
    PictureSource want;
  } cases[] = {
      {ItemKind::File, fields("Apps\\a.exe", ""), "", {"E:\\Apps\\a.exe", kFilePicture}},
      {ItemKind::File, fields("%windows%\\notepad.exe", ""), "", {"C:\\windows\\notepad.exe", kFilePicture}},
      {ItemKind::File, fields("%udrive%\\a.exe", ""), "", {"E:\\a.exe", kFilePicture}},
      {ItemKind::File, fields("a.exe", "E:\\i.ico"), "", {"E:\\i.ico", kFilePicture}},
      // An own icon shorter than 4 characters counts as none.
      {ItemKind::File, fields("a.exe", "x.i"), "", {"E:\\a.exe", kFilePicture}},
      {ItemKind::Folder, fields("Docs", ""), "icons\\d.ico", {"E:\\icons\\d.ico", kFolderPicture}},
      {ItemKind::Folder, fields("Docs", "E:\\f.ico"), "icons\\d.ico", {"E:\\f.ico", kFilePicture}},
      {ItemKind::Folder, fields("Docs", ""), "", {"E:\\Docs", kFilePicture}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ConfirmedItemPicture(c.kind, c.f, c.folderIcon, kRoot, macros), c.want) << c.f.path << c.f.iconFile;
}

TEST(ItemProperties, GroupDialogFieldsPicturesAndOk) {
  TMyRec g;
  g.kind = ItemKind::Group;
  g.name = "Tools";
  g.icon = "E:\\t.ico";
  g.hidefromtray = true;
  g.imageindex = 9;
  EXPECT_EQ(GroupFieldsOf(g), (GroupPropertyFields{"Tools", "E:\\t.ico", true}));

  EXPECT_EQ(GroupDialogPicture("E:\\t.ico", "g.ico", kRoot), (PictureSource{"E:\\t.ico", kGroupPicture}));
  EXPECT_EQ(GroupDialogPicture("", "g.ico", kRoot), (PictureSource{"E:\\g.ico", kGroupPicture}));
  EXPECT_EQ(GroupDialogPicture("", "", kRoot), (PictureSource{"", kGroupPicture}));

  ApplyGroupFields(g, {"Games", "", false});
  EXPECT_EQ(std::tie(g.name, g.icon, g.hidefromtray), std::make_tuple("Games", "", false));
  EXPECT_EQ(g.kind, ItemKind::Group);
  // Without an own icon of 6 characters or more: the default group picture,
  // even when the groupicon setting is set.
  EXPECT_EQ(ConfirmedGroupPicture({"G", "", false}), (PictureSource{"", kGroupPicture}));
  EXPECT_EQ(ConfirmedGroupPicture({"G", "a.ico", false}), (PictureSource{"", kGroupPicture}));
  EXPECT_EQ(ConfirmedGroupPicture({"G", "ab.ico", false}), (PictureSource{"ab.ico", kGroupPicture}));
}

}  // namespace
}  // namespace kestro
