#include <gtest/gtest.h>

#include "TreeShape.h"
#include "core/items/Editing.h"

namespace kestro {
namespace {

using testing::BuildShape;
using testing::Named;
using testing::ShapeOf;

constexpr const char* kTree = "a g(g1 sub(s1) g2) b/ -";

TEST(EditingTest, NewNodesGoWhereTheFocusSays) {
  struct Case {
    ItemKind kind;
    const char* focused;
    const char* shape;
    const char* expand;
  } cases[] = {
      {ItemKind::File, "", "a g(g1 sub(s1) g2) b/ - new", ""},
      {ItemKind::Separator, "", "a g(g1 sub(s1) g2) b/ - -", ""},
      {ItemKind::File, "a", "a new g(g1 sub(s1) g2) b/ -", ""},
      {ItemKind::Folder, "a", "a new/ g(g1 sub(s1) g2) b/ -", ""},
      {ItemKind::File, "g", "a g(g1 sub(s1) g2 new) b/ -", "g"},
      {ItemKind::Group, "sub", "a g(g1 sub(s1 new()) g2) b/ -", "sub"},
      {ItemKind::File, "s1", "a g(g1 sub(s1 new) g2) b/ -", ""},
      {ItemKind::File, "b", "a g(g1 sub(s1) g2) b/ new -", ""},
      // A line never goes into a group, but the focused node still opens.
      {ItemKind::Separator, "g", "a g(g1 sub(s1) g2) - b/ -", "g"},
      {ItemKind::Separator, "g1", "a g(g1 - sub(s1) g2) b/ -", "g1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("focused ") + c.focused + ", kind " + std::to_string(int(c.kind)));
    ItemTree tree;
    BuildShape(tree, kTree);
    NewNodePlace place = NewNodePlaceFor(c.kind, Named(tree, c.focused));
    EXPECT_EQ(place.expand, Named(tree, c.expand));
    TMyRec rec;
    rec.kind = c.kind;
    rec.name = "new";
    ASSERT_NE(InsertNew(tree, place.at, rec), nullptr);
    EXPECT_EQ(ShapeOf(tree), c.shape);
  }
}

TEST(EditingTest, RecordsOfNewItems) {
  struct Case {
    TMyRec rec;
    ItemKind kind;
    const char* name;
    const char* path;
    int32_t imageindex;
  } cases[] = {
      {NewFileRecord("C:\\x\\tool.exe", false), ItemKind::File, "tool.exe", "C:\\x\\tool.exe", 0},
      {NewFileRecord("C:\\x\\tool.exe", true), ItemKind::File, "tool", "C:\\x\\tool.exe", 0},
      {NewFileRecord("E:\\v1.2\\setup", true), ItemKind::File, "setup", "E:\\v1.2\\setup", 0},
      {NewFolderRecord("E:\\Apps\\Tools"), ItemKind::Folder, "Tools", "E:\\Apps\\Tools", kFolderPicture},
      // A drive root has no last component: the whole path is the name.
      {NewFolderRecord("E:\\"), ItemKind::Folder, "E:\\", "E:\\", kFolderPicture},
      {NewGroupRecord("Games", "", false), ItemKind::Group, "Games", "", kGroupPicture},
      {NewLineRecord(), ItemKind::Separator, "", "", 0},
      {DroppedRecord("C:\\x\\a.txt", true), ItemKind::File, "a", "C:\\x\\a.txt", 0},
      {DroppedRecord("C:\\x\\a.txt", false), ItemKind::File, "a.txt", "C:\\x\\a.txt", 0},
      // Without an extension after the last "\" a dropped name is a folder.
      {DroppedRecord("C:\\x\\readme", true), ItemKind::Folder, "readme", "C:\\x\\readme", kFolderPicture},
      {DroppedRecord("C:\\v1.0\\bin", false), ItemKind::Folder, "bin", "C:\\v1.0\\bin", kFolderPicture},
      {DroppedRecord("D:\\", false), ItemKind::Folder, "D:\\", "D:\\", kFolderPicture},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + std::string(" ") + c.name);
    EXPECT_EQ(c.rec.kind, c.kind);
    EXPECT_EQ(c.rec.name, c.name);
    EXPECT_EQ(c.rec.path, c.path);
    EXPECT_EQ(c.rec.imageindex, c.imageindex);
    // Everything else starts empty.
    TMyRec rest = c.rec;
    rest.kind = ItemKind::File;
    rest.name.clear();
    rest.path.clear();
    rest.imageindex = 0;
    EXPECT_EQ(rest, TMyRec{});
  }
  TMyRec group = NewGroupRecord("G", "E:\\g.ico", true);
  EXPECT_EQ(group.icon, "E:\\g.ico");
  EXPECT_TRUE(group.hidefromtray);
}

TEST(EditingTest, WhichPictureANewItemShows) {
  struct Case {
    TMyRec rec;
    const char* folderIcon;
    const char* groupIcon;
    const char* file;
  } cases[] = {
      {NewFileRecord("C:\\x\\tool.exe", true), "E:\\f.ico", "E:\\g.ico", "C:\\x\\tool.exe"},
      {NewFolderRecord("C:\\x"), "", "E:\\g.ico", ""},
      {NewFolderRecord("C:\\x"), "E:\\f.ico", "", "E:\\f.ico"},
      {NewGroupRecord("G", "", false), "E:\\f.ico", "", ""},
      {NewGroupRecord("G", "", false), "", "E:\\g.ico", "E:\\g.ico"},
      {NewGroupRecord("G", "E:\\own.ico", false), "", "E:\\g.ico", "E:\\own.ico"},
      {NewLineRecord(), "E:\\f.ico", "E:\\g.ico", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(NewItemPictureFile(c.rec, c.folderIcon, c.groupIcon), c.file);
  }
}

std::vector<TMyRec> Files(std::initializer_list<const char*> names) {
  std::vector<TMyRec> recs;
  for (const char* n : names) recs.push_back(NewFileRecord(n, false));
  return recs;
}

TEST(EditingTest, SeveralChosenFilesKeepTheirOrderAndDroppedOnesShareOneTarget) {
  struct Case {
    const char* target;
    AttachMode mode;
    bool dropped;
    const char* shape;
  } cases[] = {
      {"g", AttachMode::AddChildLast, false, "a g(g1 sub(s1) g2 x.exe y.exe z.exe) b/ -"},
      {"a", AttachMode::InsertAfter, false, "a x.exe y.exe z.exe g(g1 sub(s1) g2) b/ -"},
      {"", AttachMode::AddChildLast, false, "a g(g1 sub(s1) g2) b/ - x.exe y.exe z.exe"},
      {"g", AttachMode::AddChildLast, true, "a g(g1 sub(s1) g2 x.exe y.exe z.exe) b/ -"},
      {"a", AttachMode::InsertAfter, true, "a z.exe y.exe x.exe g(g1 sub(s1) g2) b/ -"},
      {"g1", AttachMode::InsertBefore, true, "a g(x.exe y.exe z.exe g1 sub(s1) g2) b/ -"},
      {"a", AttachMode::Nowhere, true, kTree},
      {"a", AttachMode::Nowhere, false, kTree},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.target) + (c.dropped ? " dropped" : " chosen"));
    ItemTree tree;
    BuildShape(tree, kTree);
    Attach at{Named(tree, c.target), c.mode};
    std::vector<ItemNode*> added = c.dropped ? AddDroppedItems(tree, at, {"x.exe", "y.exe", "z.exe"}, false)
                                             : AddNewItems(tree, at, Files({"x.exe", "y.exe", "z.exe"}));
    EXPECT_EQ(ShapeOf(tree), c.shape);
    if (c.mode == AttachMode::Nowhere) {
      EXPECT_TRUE(added.empty());
      continue;
    }
    ASSERT_EQ(added.size(), 3u);
    EXPECT_EQ(added[0]->Data().name, "x.exe");
    EXPECT_EQ(added[2]->Data().name, "z.exe");
  }
}

TEST(EditingTest, NothingIsAddedAtANodeOfAnotherTree) {
  ItemTree tree, other;
  BuildShape(tree, "a");
  BuildShape(other, "o");
  EXPECT_EQ(InsertNew(tree, {Named(other, "o"), AttachMode::InsertAfter}, NewLineRecord()), nullptr);
  EXPECT_TRUE(AddDroppedItems(tree, {Named(other, "o"), AttachMode::AddChildLast}, {"x.exe"}, false).empty());
  EXPECT_EQ(ShapeOf(tree), "a");
  EXPECT_EQ(ShapeOf(other), "o");
}

TEST(EditingTest, MovesInsideOneTreeKeepIdsAndNeverEnterTheirOwnSubtree) {
  struct Case {
    const char* node;
    const char* target;
    AttachMode mode;
    const char* shape;  // nullptr: refused
  } cases[] = {
      {"a", "b", AttachMode::InsertBefore, "g(g1 sub(s1) g2) a b/ -"},
      {"b", "a", AttachMode::InsertBefore, "b/ a g(g1 sub(s1) g2) -"},
      {"a", "b", AttachMode::InsertAfter, "g(g1 sub(s1) g2) b/ a -"},
      {"a", "g", AttachMode::InsertAfter, "g(g1 sub(s1) g2) a b/ -"},
      {"-", "a", AttachMode::InsertBefore, "- a g(g1 sub(s1) g2) b/"},
      {"g2", "g1", AttachMode::InsertBefore, "a g(g2 g1 sub(s1)) b/ -"},
      {"a", "sub", AttachMode::AddChildLast, "g(g1 sub(s1 a) g2) b/ -"},
      {"s1", "a", AttachMode::InsertAfter, "a s1 g(g1 sub() g2) b/ -"},
      {"sub", "", AttachMode::AddChildLast, "a g(g1 g2) b/ - sub(s1)"},
      {"g", "s1", AttachMode::InsertAfter, nullptr},
      {"g", "sub", AttachMode::AddChildLast, nullptr},
      {"g", "g1", AttachMode::InsertBefore, nullptr},
      {"g", "g", AttachMode::AddChildLast, nullptr},
      {"a", "a", AttachMode::InsertAfter, nullptr},
      {"a", "b", AttachMode::Nowhere, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.node) + " to " + c.target);
    ItemTree tree;
    BuildShape(tree, kTree);
    ItemNode* node = Named(tree, c.node);
    NodeId id = node->Id();
    Attach at{Named(tree, c.target), c.mode};
    EXPECT_EQ(CanMoveTo(*node, at), c.shape != nullptr);
    ItemNode* moved = MoveTo(tree, *node, tree, at);
    EXPECT_EQ(ShapeOf(tree), c.shape ? c.shape : kTree);
    EXPECT_EQ(tree.Count(), 8u);
    if (c.shape) {
      ASSERT_EQ(moved, node);
      EXPECT_EQ(tree.Find(id), node);
    } else {
      EXPECT_EQ(moved, nullptr);
    }
  }
}

TEST(EditingTest, AMoveToAnotherTreeCarriesTheSubtreeToItsPlace) {
  ItemTree source, target;
  BuildShape(source, kTree);
  BuildShape(target, "x y(y1)");
  ItemNode* g = Named(source, "g");
  g->SetExpanded(true);
  Named(source, "s1")->Data().parameters = "-p";

  ItemNode* moved = MoveTo(source, *g, target, {Named(target, "y1"), AttachMode::InsertBefore});
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(ShapeOf(source), "a b/ -");
  EXPECT_EQ(ShapeOf(target), "x y(g(g1 sub(s1) g2) y1)");
  EXPECT_TRUE(moved->Expanded());
  EXPECT_EQ(Named(target, "s1")->Data().parameters, "-p");
  EXPECT_EQ(source.Count(), 3u);
  EXPECT_EQ(target.Count(), 8u);

  // A place that is not in the target tree moves nothing anywhere.
  ItemNode* a = Named(source, "a");
  EXPECT_EQ(MoveTo(source, *a, target, {Named(source, "b"), AttachMode::InsertAfter}), nullptr);
  EXPECT_EQ(MoveTo(source, *a, target, {Named(target, "x"), AttachMode::Nowhere}), nullptr);
  EXPECT_EQ(ShapeOf(source), "a b/ -");
  EXPECT_EQ(ShapeOf(target), "x y(g(g1 sub(s1) g2) y1)");
}

TEST(EditingTest, DeleteAsksOnlyForAGroupFromTheKeyAndDeletesFilesOnlyFromTheFavoritesPopup) {
  struct Case {
    DeleteTrigger trigger;
    ItemKind kind;
    TabTag tag;
    DeletePlan plan;
  } cases[] = {
      {DeleteTrigger::DeleteKey, ItemKind::Group, TabTag::Items, {true, false}},
      {DeleteTrigger::DeleteKey, ItemKind::File, TabTag::Items, {false, false}},
      {DeleteTrigger::DeleteKey, ItemKind::Separator, TabTag::Items, {false, false}},
      {DeleteTrigger::DeleteKey, ItemKind::Url, TabTag::Favorites, {false, false}},
      {DeleteTrigger::DeleteKey, ItemKind::Group, TabTag::Favorites, {true, false}},
      {DeleteTrigger::Popup, ItemKind::Group, TabTag::Items, {false, false}},
      {DeleteTrigger::Popup, ItemKind::File, TabTag::Items, {false, false}},
      {DeleteTrigger::Popup, ItemKind::Url, TabTag::Favorites, {false, true}},
      {DeleteTrigger::Popup, ItemKind::Folder, TabTag::Favorites, {false, true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.kind));
    EXPECT_EQ(DeletePlanFor(c.trigger, c.kind, c.tag), c.plan);
  }
  ItemTree tree;
  EXPECT_FALSE(AsksBeforeTabDelete(tree));
  BuildShape(tree, "-");
  EXPECT_TRUE(AsksBeforeTabDelete(tree));
}

}  // namespace
}  // namespace kestro
