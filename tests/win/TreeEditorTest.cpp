// Editing an item tree frame in this process: the commands, the Delete key,
// the boxes they ask with, drops of files and of nodes with the key states
// that another program's drag cannot be trusted to carry under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "core/app/StartSequence.h"
#include "TestFrameHost.h"
#include "unit/TreeShape.h"
#include "win/panel/ItemPropertyCommands.h"
#include "win/panel/VstFrame.h"
#include "win/platform/OleDrag.h"
#include "win/platform/ShellHelpers.h"
#include "win/platform/WinText.h"

namespace kestro::win {
namespace {


// Answers the message boxes that open in this thread and records them.
struct Boxes {
  struct Seen {
    std::string caption, text;
    UINT icon;
  };
  static inline std::vector<Seen> seen;
  static inline int answer = IDNO;
  static inline HWND last = nullptr;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = VisibleBoxOfThisThread();
    if (!box || box == last) return;
    wchar_t caption[128] = {};
    std::wstring text = BoxMessageText(box);
    // The text may come a moment after the box.
    if (text.empty()) return;
    last = box;
    GetWindowTextW(box, caption, 128);
    seen.push_back({Narrow(caption), Narrow(text.c_str()), 0});
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), LPARAM(GetDlgItem(box, answer)));
  }
  explicit Boxes(int reply) {
    seen.clear();
    answer = reply;
    last = nullptr;
    timer = SetTimer(nullptr, 0, 50, &Tick);
  }
  ~Boxes() { KillTimer(nullptr, timer); }
  UINT_PTR timer;
};

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TMyRec Item(ItemKind kind, const std::string& name, const std::string& path = {}) {
  TMyRec r;
  r.kind = kind;
  r.name = name;
  r.path = path;
  return r;
}

// The names of a tree, groups with their children in brackets.
class TreeEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.pv.programDrive = "R:";
    state_.pv.programDriveRoot = "R:\\";
    state_.pv.programFolder = "R:\\";
    state_.messages.FillKoreanDefaults();
    platform_.images.LoadBaseImages([](const std::string&) {});
    for (const char* name : {"A", "B"}) state_.panel.AddPage(name, TabTag::Items);
    ItemTree& a = Tree(0);
    a.Add(nullptr, Item(ItemKind::File, "one", "R:\\one.exe"));
    ItemNode& group = a.Add(nullptr, Item(ItemKind::Group, "tools"));
    a.Add(&group, Item(ItemKind::File, "two", "R:\\two.exe"));
    ItemNode& sub = a.Add(&group, Item(ItemKind::Group, "sub"));
    a.Add(&sub, Item(ItemKind::File, "deep", "R:\\deep.exe"));
    a.Add(nullptr, Item(ItemKind::File, "three", "R:\\three.exe"));
    state_.panel.SetActivePageIndex(0);
    EnsureUiCom();
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 400, nullptr, nullptr, nullptr, nullptr);
    host_ = std::make_unique<TestFrameHost>(state_, platform_);
    for (size_t i = 0; i < 2; ++i) {
      frames_[i] = std::make_unique<TvstFrame>(*host_, state_.panel.Page(i));
      ASSERT_TRUE(frames_[i]->Create(parent_, RECT{0, 0, 300, 400}));
    }
  }
  void TearDown() override {
    for (auto& f : frames_) f.reset();
    DestroyWindow(parent_);
  }
  ItemTree& Tree(size_t page) { return *state_.panel.Page(page).Tree(); }
  ItemNode& Named(const std::string& name) {
    ItemNode* found = nullptr;
    Tree(0).ForEach([&](ItemNode& n) {
      if (n.Data().name == name) found = &n;
    });
    if (!found) Tree(1).ForEach([&](ItemNode& n) {
        if (n.Data().name == name) found = &n;
      });
    EXPECT_NE(found, nullptr) << name;
    return *found;
  }
  TvstFrame& Frame(size_t i = 0) { return *frames_[i]; }
  void Focus(const std::string& name) { Frame().Tree().SetFocusedNode(&Named(name)); }
  // A screen point in the row of `name` (a fraction down the row), or in empty space.
  POINT At(const std::string& name, double down, size_t frame = 0) {
    ItemTreeView& view = Frame(frame).Tree();
    RECT r = name.empty() ? RECT{0, 390, 300, 400} : view.NodeRect(&Named(name));
    POINT p{150, r.top + LONG((r.bottom - r.top) * down)};
    ClientToScreen(view.Handle(), &p);
    return p;
  }
  // A whole drag over a frame's tree: enter at `at`, move, drop.
  DWORD Drop(IDataObject* data, POINT at, DWORD keysOver, size_t frame = 0) {
    TreeEditor& e = Frame(frame).Editor();
    e.vstTreeViewDragEnter(data, keysOver, at);
    DWORD shown = e.vstTreeViewDragOver(keysOver, at);
    DWORD done = e.vstTreeViewDragDrop(data, 0, at);
    EXPECT_EQ(done == DROPEFFECT_NONE || done == shown, true) << shown << " " << done;
    return done;
  }

  Win32Platform platform_;
  AppState state_;
  HWND parent_ = nullptr;
  std::unique_ptr<TestFrameHost> host_;
  std::unique_ptr<TvstFrame> frames_[2];
};

TEST_F(TreeEditorTest, ChosenFilesGoIntoAFocusedGroupOrAfterAFocusedFileInTheirOrder) {
  Focus("tools");
  Frame().Editor().AddFiles({"R:\\x\\b.exe", "R:\\x\\a.txt"});
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one tools(two sub(deep) b.exe a.txt) three");
  EXPECT_TRUE(Named("tools").Expanded());
  Focus("one");
  state_.env.deleteext = true;
  Frame().Editor().AddFiles({"R:\\c.exe", "R:\\d.exe"});
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one c d tools(two sub(deep) b.exe a.txt) three");
  EXPECT_EQ(Named("c").Data().path, "R:\\c.exe");
  // A separator after a focused group, which opens; without a focus at the end.
  Frame().Tree().Expand(Named("tools"), false);
  Focus("tools");
  Frame().Editor().popMenu_AddLineClick();
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one c d tools(two sub(deep) b.exe a.txt) - three");
  EXPECT_TRUE(Named("tools").Expanded());
  Frame().Tree().SetFocusedNode(nullptr);
  Frame().Editor().AddFolder("R:\\docs");
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one c d tools(two sub(deep) b.exe a.txt) - three docs/");
  EXPECT_EQ(Named("docs").Data().kind, ItemKind::Folder);
  EXPECT_EQ(Named("docs").Data().imageindex, kFolderPicture);
}

TEST_F(TreeEditorTest, NewItemsGetTheirPicturesOnlyOnceTheStartsPicturesAreIn) {
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::string notepad = Narrow(windows) + "\\notepad.exe";
  host_->picturesAvailable = false;
  int before = platform_.images.Count();
  Frame().Editor().AddFiles({notepad});
  EXPECT_EQ(platform_.images.Count(), before) << "appended before the start's pictures";
  EXPECT_EQ(Named("notepad.exe").Data().imageindex, 0);
  host_->picturesAvailable = true;
  AddWaitingPictures(state_, platform_.images);  // as the panel does once they are in
  EXPECT_EQ(Named("notepad.exe").Data().imageindex, before);
  Frame().Editor().AddFiles({notepad});
  EXPECT_EQ(platform_.images.Count(), before + 1) << "the same file's picture is shared";
  EXPECT_EQ(Tree(0).TopLevel().back()->Data().imageindex, before);
}

TEST_F(TreeEditorTest, DeleteAsksForAGroupFromTheKeyOnlyAndThePopupDeletesAtOnce) {
  HWND tree = Frame().Tree().Handle();
  Focus("tools");
  {
    Boxes boxes(IDNO);
    SendMessageW(tree, WM_KEYDOWN, VK_DELETE, 0);
    ASSERT_EQ(Boxes::seen.size(), 1u);
    EXPECT_EQ(Boxes::seen[0].caption, "Delete?");
    EXPECT_EQ(Boxes::seen[0].text, "그룹아이콘입니다. 하위항목을 모두 삭제하시겠습니까?");
  }
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one tools(two sub(deep)) three");
  {
    Boxes boxes(IDYES);
    SendMessageW(tree, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Boxes::seen.size(), 1u);
  }
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one three");
  EXPECT_EQ(Tree(0).Count(), 2u) << "the children went with it";
  {
    // A file goes from the key at once; the popup entry never asks.
    Boxes boxes(IDNO);
    Focus("one");
    SendMessageW(tree, WM_KEYDOWN, VK_DELETE, 0);
    Tree(0).Add(nullptr, Item(ItemKind::Group, "g"));
    Frame().Refresh();
    Focus("g");
    SendMessageW(Frame().Handle(), WM_COMMAND, unsigned(TreeCommand::Delete), 0);
    Pump();
    EXPECT_TRUE(Boxes::seen.empty());
  }
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "three");
}

TEST_F(TreeEditorTest, ATabWithItemsAsksBeforeItGoesAndAnEmptyOneDoesNot) {
  {
    Boxes boxes(IDNO);
    Frame(0).RunCommand(unsigned(TreeCommand::TabDelete));
    ASSERT_EQ(Boxes::seen.size(), 1u);
    EXPECT_EQ(Boxes::seen[0].caption, "Warnning!!");
    // Two lines.
    EXPECT_EQ(Boxes::seen[0].text, "현재탭을 삭제하시면.. 포함된 항목들이 모두 삭제됩니다.\r\n삭제하시겠습니까?");
    EXPECT_TRUE(host_->deleted.empty());
  }
  {
    Boxes boxes(IDYES);
    Frame(0).RunCommand(unsigned(TreeCommand::TabDelete));
    EXPECT_EQ(host_->deleted, std::vector<PanelPage*>{&state_.panel.Page(0)});
    Frame(1).RunCommand(unsigned(TreeCommand::TabDelete));
    EXPECT_EQ(Boxes::seen.size(), 1u) << "the empty tab asked";
    EXPECT_EQ(host_->deleted.size(), 2u);
  }
}

TEST_F(TreeEditorTest, DroppedFilesLandAtTheSpotAndALinkDropOpensThemInsteadOfAdding) {
  auto files = [](std::vector<std::string> names) {
    return NewDataObject(CF_HDROP, FileListData(names));
  };
  IDataObject* three = files({"R:\\in\\a.exe", "R:\\in\\b.txt", "R:\\in\\folder"});
  // The lower half of a file: after it, so the names end up reversed.
  EXPECT_EQ(Drop(three, At("one", 0.8), MK_LBUTTON), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one folder/ b.txt a.exe tools(two sub(deep)) three");
  EXPECT_EQ(Named("folder").Data().kind, ItemKind::Folder);
  EXPECT_EQ(Named("folder").Data().imageindex, kFolderPicture);
  EXPECT_EQ(Named("b.txt").Data().kind, ItemKind::File);
  // On a group: at its end, in order; on empty space: after the deepest last node.
  IDataObject* two = files({"R:\\p.exe", "R:\\q.exe"});
  EXPECT_EQ(Drop(two, At("tools", 0.5), MK_LBUTTON), DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one folder/ b.txt a.exe tools(two sub(deep) p.exe q.exe) three");
  two->Release();
  three->Release();

  // Ctrl + left and a right drag make a link: nothing is added; each named
  // file with an extension opens with the drive's programs, asking first.
  for (DWORD keys : {DWORD(MK_LBUTTON | MK_CONTROL), DWORD(MK_RBUTTON)}) {
    SCOPED_TRACE(keys);
    size_t count = Tree(0).Count();
    IDataObject* link = files({"R:\\doc.zzq", "R:\\noext"});
    Boxes boxes(IDNO);
    EXPECT_EQ(Drop(link, At("one", 0.8), keys), DWORD(DROPEFFECT_LINK));
    Pump();
    EXPECT_EQ(Tree(0).Count(), count);
    ASSERT_EQ(Boxes::seen.size(), 1u);
    EXPECT_EQ(Boxes::seen[0].text, "포터블 연결프로그램이 등록되어있지 않습니다!\r\n기본 연결프로그램으로 실행합니다.");
    link->Release();
  }
  // The right drag ended with its drop: the next plain drag adds again.
  IDataObject* again = files({"R:\\r.exe"});
  EXPECT_EQ(Drop(again, At("", 0), MK_LBUTTON), DWORD(DROPEFFECT_COPY));
  again->Release();
  // Data without a file list adds nothing.
  IDataObject* text = NewDataObject(CF_UNICODETEXT, GlobalAlloc(GMEM_MOVEABLE, 16));
  size_t count = Tree(0).Count();
  EXPECT_EQ(Drop(text, At("one", 0.8), MK_LBUTTON), DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(Tree(0).Count(), count);
  text->Release();
}

TEST_F(TreeEditorTest, DraggedNodesMoveIntoGroupsAndOtherTreesButNeverIntoThemselves) {
  auto node = [](ItemNode& n) { return NewDataObject(NodeDragFormat(), NodeDragData(n.Id())); };
  Frame().Tree().Expand(Named("tools"), true);
  Frame().Tree().Expand(Named("sub"), true);
  // A group over its own descendants shows no effect and changes nothing.
  for (const char* inside : {"tools", "two", "sub", "deep"}) {
    SCOPED_TRACE(inside);
    IDataObject* group = node(Named("tools"));
    EXPECT_EQ(Drop(group, At(inside, 0.5), MK_LBUTTON), DWORD(DROPEFFECT_NONE));
    group->Release();
  }
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one tools(two sub(deep)) three");
  // Into a group, as its last child, keeping the node's id.
  NodeId id = Named("three").Id();
  IDataObject* file = node(Named("three"));
  EXPECT_EQ(Drop(file, At("sub", 0.5), MK_LBUTTON), DWORD(DROPEFFECT_MOVE));
  file->Release();
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one tools(two sub(deep three))");
  EXPECT_EQ(Named("three").Id(), id);
  // Onto another tab's tree, with its subtree.
  IDataObject* group = node(Named("tools"));
  EXPECT_EQ(Drop(group, At("", 0, 1), MK_LBUTTON, 1), DWORD(DROPEFFECT_MOVE));
  group->Release();
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one");
  EXPECT_EQ(testing::ShapeOf(Tree(1)), "tools(two sub(deep three))");
}

TEST_F(TreeEditorTest, OnTheFavoritesTabFilesMoveWithTheirNodesAndThePopupDeletesTheFile) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::string root = Narrow(temp) + "kestro-fav-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryW(Widen(root).c_str(), nullptr);
  CreateDirectoryW(Widen(root + "\\sub").c_str(), nullptr);
  for (const char* f : {"\\a.url", "\\b.url"}) {
    HANDLE h = CreateFileW(Widen(root + f).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
  }
  PanelPage& fav = static_cast<PanelPage&>(state_.panel.AddPage("fav", TabTag::Favorites));
  ItemTree& tree = *fav.Tree();
  TMyRec url = Item(ItemKind::Url, "a", root + "\\a.url");
  tree.Add(nullptr, Item(ItemKind::Folder, "sub", root + "\\sub"));
  tree.Add(nullptr, url);
  tree.Add(nullptr, Item(ItemKind::Url, "b", root + "\\b.url"));
  tree.Add(nullptr, Item(ItemKind::Url, "ghost", root + "\\ghost.url"));
  TvstFrame frame(*host_, fav);
  ASSERT_TRUE(frame.Create(parent_, RECT{0, 0, 300, 400}));
  auto rowOf = [&](const char* name) {
    ItemNode* n = nullptr;
    tree.ForEach([&](ItemNode& x) {
      if (x.Data().name == name) n = &x;
    });
    RECT r = frame.Tree().NodeRect(n);
    POINT p{150, (r.top + r.bottom) / 2};
    ClientToScreen(frame.Tree().Handle(), &p);
    return std::make_pair(n, p);
  };
  auto drag = [&](const char* what, const char* onto) {
    auto [node, unused] = rowOf(what);
    IDataObject* data = NewDataObject(NodeDragFormat(), NodeDragData(node->Id()));
    TreeEditor& e = frame.Editor();
    POINT at = rowOf(onto).second;
    e.vstTreeViewDragEnter(data, MK_LBUTTON, at);
    DWORD done = e.vstTreeViewDragDrop(data, 0, at);
    data->Release();
    return done;
  };
  // Onto a folder: into it, the file first.
  EXPECT_EQ(drag("a", "sub"), DWORD(DROPEFFECT_MOVE));
  EXPECT_EQ(testing::ShapeOf(tree), "sub/(a) b ghost");
  EXPECT_NE(GetFileAttributesW(Widen(root + "\\sub\\a.url").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(rowOf("a").first->Data().path, root + "\\sub\\a.url") << "the entry follows its file";
  // A file that cannot move keeps its node where it was.
  EXPECT_EQ(drag("ghost", "sub"), DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(testing::ShapeOf(tree), "sub/(a) b ghost");
  // The popup's delete asks, then takes the file with the node; "No" keeps both.
  {
    Boxes no(IDNO);
    frame.Tree().SetFocusedNode(rowOf("b").first);
    frame.RunCommand(unsigned(TreeCommand::FavDelete));
    ASSERT_EQ(Boxes::seen.size(), 1u);
    EXPECT_EQ(Boxes::seen[0].caption, "Delete?");
    EXPECT_NE(GetFileAttributesW(Widen(root + "\\b.url").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  {
    Boxes yes(IDYES);
    frame.Tree().SetFocusedNode(rowOf("b").first);
    frame.RunCommand(unsigned(TreeCommand::FavDelete));
    EXPECT_EQ(GetFileAttributesW(Widen(root + "\\b.url").c_str()), INVALID_FILE_ATTRIBUTES);
    // A missing file does not keep the node, and is not asked about.
    frame.Tree().SetFocusedNode(rowOf("ghost").first);
    frame.RunCommand(unsigned(TreeCommand::FavDelete));
    EXPECT_EQ(testing::ShapeOf(tree), "sub/(a)");
    EXPECT_EQ(Boxes::seen.size(), 1u);
  }
  // A shortcut whose file cannot be deleted keeps its entry, and the user hears of it.
  const std::wstring held = Widen(root + "\\sub\\a.url");
  HANDLE lock = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  {
    Boxes yes(IDYES);
    frame.Tree().SetFocusedNode(rowOf("a").first);
    frame.RunCommand(unsigned(TreeCommand::FavDelete));
    EXPECT_EQ(testing::ShapeOf(tree), "sub/(a)");
    ASSERT_EQ(Boxes::seen.size(), 2u);
    EXPECT_NE(Boxes::seen[1].text.find("could not be deleted"), std::string::npos) << Boxes::seen[1].text;
  }
  CloseHandle(lock);
  // "URL추가" on a folder writes its file there; one under a folder missing on disk adds nothing.
  state_.pv.favoritesFolder = root;
  frame.Tree().SetFocusedNode(rowOf("sub").first);
  EXPECT_TRUE(frame.Editor().AddUrl("News", "http://news.example/"));
  EXPECT_EQ(testing::ShapeOf(tree), "sub/(a News)");
  std::string bytes;
  ASSERT_TRUE(platform_.files.ReadFile(root + "\\sub\\News.url", bytes));
  EXPECT_EQ(bytes, "[InternetShortcut]\r\nURL=http://news.example/\r\n");
  tree.Add(nullptr, Item(ItemKind::Folder, "gone", root + "\\gone"));
  frame.Refresh();
  frame.Tree().SetFocusedNode(rowOf("gone").first);
  {
    Boxes ok(IDOK);
    EXPECT_FALSE(frame.Editor().AddUrl("Lost", "http://lost.example/"));
    EXPECT_EQ(Boxes::seen.size(), 1u);
  }
  EXPECT_EQ(testing::ShapeOf(tree), "sub/(a News) gone/");
  DeleteFileW(Widen(root + "\\sub\\News.url").c_str());
  DeleteFileW(Widen(root + "\\sub\\a.url").c_str());
  RemoveDirectoryW(Widen(root + "\\sub").c_str());
  RemoveDirectoryW(Widen(root).c_str());
}

TEST_F(TreeEditorTest, ANodeDroppedOnATabOfTheStripGoesToTheEndOfItsTree) {
  int shown = -1, changed = 0;
  DropHandlers strip = TabStripDrop(
      state_.panel, [](POINT p) { return p.x < 100 ? 0 : 1; }, [&](int tab) { shown = tab; }, [&] { ++changed; });
  IDataObject* data = NewDataObject(NodeDragFormat(), NodeDragData(Named("tools").Id()));
  EXPECT_EQ(strip.enter(data, MK_LBUTTON, POINT{50, 5}), DWORD(DROPEFFECT_NONE)) << "its own tab";
  EXPECT_EQ(strip.over(MK_LBUTTON, POINT{150, 5}), DWORD(DROPEFFECT_MOVE));
  EXPECT_EQ(shown, 1) << "the tab under a held node shows";
  EXPECT_EQ(strip.drop(data, 0, POINT{150, 5}), DWORD(DROPEFFECT_MOVE));
  data->Release();
  EXPECT_EQ(testing::ShapeOf(Tree(0)), "one three");
  EXPECT_EQ(testing::ShapeOf(Tree(1)), "tools(two sub(deep))");
  EXPECT_EQ(changed, 1);
}

}  // namespace
}  // namespace kestro::win

#include "win/panel/TabEnvFrm.h"

namespace kestro::win {
namespace {

// What the tab property dialog showed when it opened; it is then cancelled
// or confirmed from a timer inside its own loop.
struct TabDialogSpy {
  static inline std::vector<std::string> fonts;
  static inline std::string selected, name, background;
  static inline bool nameEnabled = false;
  static inline int answer = IDCANCEL;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = VisibleBoxOfThisThread();
    if (!dlg) return;
    KillTimer(nullptr, id);
    HWND combo = FindWindowExW(dlg, nullptr, L"ComboBox", nullptr);
    fonts.clear();
    int n = int(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
      wchar_t face[LF_FACESIZE] = {};
      SendMessageW(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(face));
      fonts.push_back(Narrow(face));
    }
    wchar_t text[MAX_PATH] = {};
    GetWindowTextW(combo, text, MAX_PATH);
    selected = Narrow(text);
    HWND edit = FindWindowExW(dlg, nullptr, L"Edit", nullptr);
    GetWindowTextW(edit, text, MAX_PATH);
    name = Narrow(text);
    nameEnabled = IsWindowEnabled(edit);
    GetDlgItemTextW(dlg, 121, text, MAX_PATH);  // the background button
    background = Narrow(text);
    PostMessageW(dlg, WM_COMMAND, answer, 0);
  }
};

TEST(TabPropertyTest, TheDialogOffersNoVerticalFontsSelectsTheTabsAndChangesNothingUntilOk) {
  AppState state;
  TabPropertyInput in;
  in.caption = "Favorites";
  in.captionEditable = false;
  in.style.fontname = "dejavu sans";  // a font of the test machine
  in.style.backimage = "R:\\";  // the bare root an empty name becomes: no picture
  TabDialogSpy::answer = IDCANCEL;
  UINT_PTR timer = SetTimer(nullptr, 0, 50, &TabDialogSpy::Tick);
  EXPECT_FALSE(RunTabProperty(in, state));
  KillTimer(nullptr, timer);
  ASSERT_FALSE(TabDialogSpy::fonts.empty());
  for (const std::string& f : TabDialogSpy::fonts) EXPECT_NE(f.front(), '@') << f;
  std::string all;
  for (const std::string& f : TabDialogSpy::fonts) all += f + "|";
  EXPECT_EQ(TabDialogSpy::selected, "DejaVu Sans") << "the tab's font, whatever its case: " << all;
  EXPECT_EQ(TabDialogSpy::name, "Favorites");
  EXPECT_FALSE(TabDialogSpy::nameEnabled);
  EXPECT_EQ(TabDialogSpy::background, "...");

  // OK without changes keeps the style, and "..." keeps the tab's picture name.
  TabDialogSpy::answer = IDOK;
  in.style.backimage = "R:\\back.jpg";
  in.style.fontname = "No Such Font";
  timer = SetTimer(nullptr, 0, 50, &TabDialogSpy::Tick);
  std::optional<TabPropertyResult> r = RunTabProperty(in, state);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(r);
  EXPECT_EQ(TabDialogSpy::background, "R:\\back.jpg");
  EXPECT_EQ(TabDialogSpy::selected, "") << "a font that is not installed selects none";
  EXPECT_EQ(r->caption, "Favorites");
  EXPECT_EQ(r->style, in.style);
  EXPECT_EQ(r->background.action, BackgroundAction::Load);
}

}  // namespace
}  // namespace kestro::win
