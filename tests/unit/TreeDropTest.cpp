#include <gtest/gtest.h>

#include "TreeShape.h"
#include "core/ui/TreeDrop.h"

namespace kestro {
namespace {

using testing::BuildShape;
using testing::Named;
using testing::ShapeOf;

constexpr DragKeys kLeft{.left = true};
constexpr DragKeys kCtrlLeft{.left = true, .ctrl = true};
constexpr DragKeys kCtrlShiftLeft{.left = true, .shift = true, .ctrl = true};
constexpr DragKeys kRight{.right = true};
constexpr DragKeys kCtrlRight{.right = true, .ctrl = true};

TEST(TreeDropTest, TheEffectOfADragFollowsItsSourceButtonsAndTheRightDragFlag) {
  struct Case {
    DragSource source;
    DragKeys keys;
    bool flag;
    bool moveAllowed;
    DragOverDecision want;
  } cases[] = {
      {DragSource::ThisTree, kLeft, false, true, {DropEffect::Move, false, true}},
      {DragSource::OtherTree, kCtrlLeft, false, true, {DropEffect::Move, false, true}},
      {DragSource::ThisTree, kLeft, true, true, {DropEffect::Link, true, false}},
      // A node held over itself or its own subtree may not land there.
      {DragSource::ThisTree, kLeft, false, false, {DropEffect::None, false, false}},
      {DragSource::ThisTree, kLeft, true, false, {DropEffect::None, true, false}},
      {DragSource::Shell, kLeft, false, true, {DropEffect::Copy, false, true}},
      {DragSource::Shell, kLeft, false, false, {DropEffect::Copy, false, true}},
      {DragSource::Shell, kCtrlLeft, false, true, {DropEffect::Link, false, false}},
      // Only exactly Ctrl and the left button make a link.
      {DragSource::Shell, kCtrlShiftLeft, false, true, {DropEffect::Copy, false, true}},
      {DragSource::Shell, kRight, false, true, {DropEffect::Link, true, false}},
      {DragSource::Shell, kCtrlRight, false, true, {DropEffect::Link, true, false}},
      {DragSource::Shell, kLeft, true, true, {DropEffect::Link, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(DecideDragOver(c.source, c.keys, c.flag, c.moveAllowed), c.want);
  }
}

constexpr const char* kTree = "a g(g1 sub(s1) g2) fav/ -";

TEST(TreeDropTest, WhereADropLands) {
  struct Case {
    const char* shape;
    const char* over;
    DropPosition pos;
    TabTag tag;
    const char* target;
    AttachMode mode;
  } cases[] = {
      {kTree, "a", DropPosition::Above, TabTag::Items, "a", AttachMode::InsertBefore},
      {kTree, "a", DropPosition::Below, TabTag::Items, "a", AttachMode::InsertAfter},
      {kTree, "a", DropPosition::On, TabTag::Items, "a", AttachMode::InsertAfter},
      {kTree, "g", DropPosition::On, TabTag::Items, "g", AttachMode::AddChildLast},
      {kTree, "sub", DropPosition::Above, TabTag::Items, "sub", AttachMode::InsertBefore},
      {kTree, "fav", DropPosition::On, TabTag::Items, "fav", AttachMode::InsertAfter},
      {kTree, "fav", DropPosition::On, TabTag::Favorites, "fav", AttachMode::AddChildLast},
      {kTree, "-", DropPosition::On, TabTag::Items, "-", AttachMode::InsertAfter},
      // Empty space: after the deepest last node, collapsed groups included.
      {kTree, "", DropPosition::Below, TabTag::Items, "-", AttachMode::InsertAfter},
      {"a g(g1 sub(s1))", "", DropPosition::Below, TabTag::Items, "s1", AttachMode::InsertAfter},
      {"a g(g1 sub())", "", DropPosition::Below, TabTag::Items, "sub", AttachMode::InsertAfter},
      {"", "", DropPosition::Below, TabTag::Items, "", AttachMode::AddChildLast},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shape) + " over " + c.over);
    ItemTree tree;
    BuildShape(tree, c.shape);
    Attach at = DropAttach(tree, Named(tree, c.over), c.pos, c.tag);
    EXPECT_EQ(at, (Attach{Named(tree, c.target), c.mode}));
  }
}

TEST(TreeDropTest, WhatADropDoes) {
  ItemTree tree;
  BuildShape(tree, kTree);
  ItemNode* g = Named(tree, "g");
  Attach intoSub{Named(tree, "sub"), AttachMode::AddChildLast};
  Attach afterA{Named(tree, "a"), AttachMode::InsertAfter};
  struct Case {
    DragSource source;
    DropEffect effect;
    TabTag tag;
    const ItemNode* moved;
    Attach at;
    bool files;
    DropAction want;
  } cases[] = {
      {DragSource::ThisTree, DropEffect::Move, TabTag::Items, g, afterA, false, DropAction::MoveNode},
      {DragSource::OtherTree, DropEffect::Move, TabTag::Items, g, afterA, false, DropAction::MoveNode},
      {DragSource::ThisTree, DropEffect::Move, TabTag::Items, g, intoSub, false, DropAction::Nothing},
      {DragSource::ThisTree, DropEffect::Move, TabTag::Items, g, {g, AttachMode::AddChildLast}, false,
       DropAction::Nothing},
      {DragSource::ThisTree, DropEffect::Move, TabTag::Items, nullptr, afterA, false, DropAction::Nothing},
      // A stale right-drag flag does not turn a move into anything else.
      {DragSource::ThisTree, DropEffect::Link, TabTag::Items, g, afterA, false, DropAction::MoveNode},
      {DragSource::ThisTree, DropEffect::Move, TabTag::Favorites, g, afterA, false, DropAction::MoveFavoriteFile},
      {DragSource::ThisTree, DropEffect::Move, TabTag::Favorites, g, intoSub, false, DropAction::Nothing},
      {DragSource::Shell, DropEffect::Copy, TabTag::Items, nullptr, afterA, true, DropAction::AddDropped},
      {DragSource::Shell, DropEffect::Copy, TabTag::Items, nullptr, intoSub, true, DropAction::AddDropped},
      {DragSource::Shell, DropEffect::Link, TabTag::Items, nullptr, afterA, true, DropAction::OpenDropped},
      {DragSource::Shell, DropEffect::Copy, TabTag::Items, nullptr, afterA, false, DropAction::Nothing},
      {DragSource::Shell, DropEffect::Link, TabTag::Items, nullptr, afterA, false, DropAction::Nothing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(&c - cases);
    EXPECT_EQ(DecideDrop(c.source, c.effect, c.tag, c.moved, c.at, c.files), c.want);
  }
}

TEST(TreeDropTest, ShellFilesDroppedOnAFileLandAfterItReversedAndOnAGroupAtItsEndInOrder) {
  const std::vector<std::string> names{"C:\\in\\x.exe", "C:\\in\\y.txt", "C:\\in\\dir"};
  struct Case {
    const char* over;
    DropPosition pos;
    const char* shape;
  } cases[] = {
      {"a", DropPosition::Below, "a dir/ y x g(g1 sub(s1) g2) fav/ -"},
      {"g", DropPosition::On, "a g(g1 sub(s1) g2 x y dir/) fav/ -"},
      {"sub", DropPosition::Above, "a g(g1 x y dir/ sub(s1) g2) fav/ -"},
      {"", DropPosition::Below, "a g(g1 sub(s1) g2) fav/ - dir/ y x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.over);
    ItemTree tree;
    BuildShape(tree, kTree);
    Attach at = DropAttach(tree, Named(tree, c.over), c.pos, TabTag::Items);
    ASSERT_EQ(DecideDrop(DragSource::Shell, DropEffect::Copy, TabTag::Items, nullptr, at, true),
              DropAction::AddDropped);
    AddDroppedItems(tree, at, names, true);
    EXPECT_EQ(ShapeOf(tree), c.shape);
  }
}

TEST(TreeDropTest, AGroupDroppedOnItsOwnDescendantChangesNothing) {
  for (const char* over : {"g", "g1", "sub", "s1", "g2"}) {
    for (DropPosition pos : {DropPosition::Above, DropPosition::On, DropPosition::Below}) {
      SCOPED_TRACE(std::string(over) + " " + std::to_string(int(pos)));
      ItemTree tree;
      BuildShape(tree, kTree);
      ItemNode* g = Named(tree, "g");
      Attach at = DropAttach(tree, Named(tree, over), pos, TabTag::Items);
      EXPECT_FALSE(CanMoveTo(*g, at));
      EXPECT_EQ(DecideDragOver(DragSource::ThisTree, kLeft, false, CanMoveTo(*g, at)).effect, DropEffect::None);
      EXPECT_EQ(DecideDrop(DragSource::ThisTree, DropEffect::Move, TabTag::Items, g, at, false), DropAction::Nothing);
      EXPECT_EQ(MoveTo(tree, *g, tree, at), nullptr);
      EXPECT_EQ(ShapeOf(tree), kTree);
    }
  }
}

TEST(TreeDropTest, FavoritesFilesMoveIntoTheTargetsFolder) {
  ItemTree tree;
  BuildShape(tree, "news/ link");
  Named(tree, "news")->Data().path = "C:\\Fav\\news";
  Named(tree, "link")->Data().path = "C:\\Fav\\sub\\link.url";
  const char* moved = "C:\\Fav\\old\\site.url";
  EXPECT_EQ(FavoriteMoveName(moved, Named(tree, "news"), "C:\\Fav\\"), "C:\\Fav\\news\\site.url");
  EXPECT_EQ(FavoriteMoveName(moved, Named(tree, "link"), "C:\\Fav\\"), "C:\\Fav\\sub\\site.url");
  EXPECT_EQ(FavoriteMoveName(moved, nullptr, "C:\\Fav"), "C:\\Fav\\site.url");
  EXPECT_EQ(FavoriteMoveName(moved, nullptr, "C:\\Fav\\"), "C:\\Fav\\site.url");
}

TEST(TreeDropTest, ALinkDropOpensOnlyNamesWithAnExtension) {
  EXPECT_EQ(NamesToOpen({"C:\\a.txt", "C:\\dir", "C:\\v1.0\\bin", "D:\\b.doc"}),
            (std::vector<std::string>{"C:\\a.txt", "D:\\b.doc"}));
}

}  // namespace
}  // namespace kestro
