// The Favorites folder while Kestro runs (backups, redirect, undo, repair),
// the two copies and the favorites tab's tree and shortcut files.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/app/Exit.h"
#include "core/app/StartSequence.h"
#include "core/host/Favorites.h"
#include "core/host/FavoritesCopy.h"
#include "core/host/FavoritesTab.h"
#include "core/host/HostUndo.h"
#include "unit/FakePlatform.h"
#include "unit/TreeShape.h"

namespace kestro {
namespace {

using testing::FakePlatform;
constexpr auto HKCU = RegistryRoot::CurrentUser;
const std::string kJournal = "C:\\users\\kim\\AppData\\Local\\Kestro host changes.journal";
const std::string kPcShell = "C:\\users\\kim\\Favorites";
const std::string kPcUser = "%USERPROFILE%\\Favorites";
const std::string kDrive = "E:\\kestro_favorites";

struct FavoritesFixture : ::testing::Test {
  FakePlatform fake;
  AppState state;
  std::unique_ptr<HostChanges> host;

  FavoritesFixture() {
    fake.registry.WriteValue(HKCU, kShellFoldersKey, kFavoritesValue, {kPcShell, RegistryType::String});
    fake.registry.WriteValue(HKCU, kUserShellFoldersKey, kFavoritesValue, {kPcUser, RegistryType::ExpandString});
    state.pv.favoritesFolder = kDrive;
    fake.files.missingFolders = {kDrive};
    host = NewRun();
  }
  std::unique_ptr<HostChanges> NewRun() {
    return std::make_unique<HostChanges>(fake.files, fake.registry, fake.desktop, fake.messages, kJournal);
  }
  // A start as the start sequence runs the host steps: repair, then backups
  // and the redirect the settings ask for.
  void Start(bool redirect) {
    host = NewRun();
    host->Repair();
    RepairFavoritesFromBackups(fake.registry);
    state.pv.favoritesRedirected = false;
    state.env.startuseupfavorite = redirect;
    ApplyFavoritesAtStart(state, *host, fake.files);
  }
  void Exit() { UndoHostChanges(state, *host); }
  std::optional<RegistryValue> Value(const char* key, const char* name = kFavoritesValue) {
    return fake.registry.ReadValue(HKCU, key, name);
  }
  void ExpectOriginals() {
    EXPECT_EQ(Value(kShellFoldersKey), (RegistryValue{kPcShell, RegistryType::String}));
    EXPECT_EQ(Value(kUserShellFoldersKey), (RegistryValue{kPcUser, RegistryType::ExpandString}));
    EXPECT_FALSE(Value(kShellFoldersKey, kFavoritesBackupValue));
    EXPECT_FALSE(Value(kUserShellFoldersKey, kFavoritesBackupValue));
  }
};

TEST_F(FavoritesFixture, ARedirectedRunBacksUpPointsAtTheDriveAndPutsEverythingBack) {
  Start(true);
  EXPECT_EQ(fake.files.createdFolders, std::vector<std::string>{kDrive}) << "the folder before the redirect";
  EXPECT_EQ(Value(kShellFoldersKey), (RegistryValue{kDrive, RegistryType::String}));
  EXPECT_EQ(Value(kUserShellFoldersKey), (RegistryValue{kDrive, RegistryType::String}));
  EXPECT_EQ(Value(kShellFoldersKey, kFavoritesBackupValue), (RegistryValue{kPcShell, RegistryType::String}));
  EXPECT_EQ(Value(kUserShellFoldersKey, kFavoritesBackupValue), (RegistryValue{kPcUser, RegistryType::ExpandString}));
  EXPECT_TRUE(state.pv.favoritesRedirected);
  EXPECT_EQ(state.pv.savedFavorites, kPcShell);
  EXPECT_EQ(state.pv.savedUserFavorites, kPcUser);
  EXPECT_TRUE(fake.files.FileExists(kJournal)) << "recorded before the change";
  Exit();
  ExpectOriginals();
  EXPECT_FALSE(state.pv.favoritesRedirected);
  EXPECT_FALSE(fake.files.FileExists(kJournal));
  Exit();  // the exit after a log-off answer finds nothing to do
  ExpectOriginals();
}

TEST_F(FavoritesFixture, AStartAfterACrashWhileRedirectedPutsTheOriginalsBack) {
  struct Case {
    const char* name;
    bool journalLost;
  };
  for (const Case c : {Case{"with its journal", false}, Case{"journal lost", true}}) {
    SCOPED_TRACE(c.name);
    Start(true);
    if (c.journalLost) fake.files.files.erase(kJournal);
    // Killed here; the next start does not redirect.
    Start(false);
    EXPECT_EQ(Value(kShellFoldersKey)->data, kPcShell);
    EXPECT_EQ(Value(kUserShellFoldersKey), (RegistryValue{kPcUser, RegistryType::ExpandString}));
    EXPECT_EQ(state.pv.savedFavorites, kPcShell);
    Exit();
    ExpectOriginals();
  }
}

TEST_F(FavoritesFixture, WithoutTheOptionOnlyTheBackupsComeAndGoAndTheUsersChangeStays) {
  Start(false);
  EXPECT_EQ(fake.registry.writes, 4) << "the two values and their backups";
  EXPECT_FALSE(state.pv.favoritesRedirected);
  Exit();
  ExpectOriginals();
  // Redirected from the menu, then the user points Favorites elsewhere.
  Start(false);
  ASSERT_TRUE(RedirectFavoritesToDrive(*host, fake.files, state.pv));
  fake.registry.WriteValue(HKCU, kShellFoldersKey, kFavoritesValue, {"D:\\Mine", RegistryType::String});
  RedirectFavoritesBack(*host, state.pv);
  EXPECT_EQ(Value(kShellFoldersKey)->data, "D:\\Mine");
  EXPECT_EQ(Value(kUserShellFoldersKey)->data, kPcUser);
  EXPECT_FALSE(state.pv.favoritesRedirected);
}

TEST_F(FavoritesFixture, NoRedirectWithoutTheFolderOrWithoutTheJournal) {
  for (bool journal : {false, true}) {
    SCOPED_TRACE(journal ? "journal cannot be written" : "folder cannot be made");
    Start(false);
    fake.files.failWrites = true;
    if (journal) fake.files.missingFolders.clear();
    fake.messages.shown.clear();
    EXPECT_FALSE(RedirectFavoritesToDrive(*host, fake.files, state.pv));
    EXPECT_EQ(Value(kShellFoldersKey)->data, kPcShell);
    EXPECT_FALSE(state.pv.favoritesRedirected);
    EXPECT_EQ(fake.messages.shown.size(), 1u);
    fake.files.failWrites = false;
    fake.files.missingFolders = {kDrive};
    Exit();
  }
}

TEST_F(FavoritesFixture, TheStartRepairsFirstThenBacksUpAndRedirectsAsTheDocumentAsks) {
  // A redirected run whose journal is lost left its backups.
  fake.registry.WriteValue(HKCU, kShellFoldersKey, kFavoritesValue, {"F:\\kestro_favorites", RegistryType::String});
  fake.registry.WriteValue(HKCU, kUserShellFoldersKey, kFavoritesValue, {"F:\\kestro_favorites", RegistryType::String});
  fake.registry.WriteValue(HKCU, kShellFoldersKey, kFavoritesBackupValue, {kPcShell, RegistryType::String});
  fake.registry.WriteValue(HKCU, kUserShellFoldersKey, kFavoritesBackupValue, {kPcUser, RegistryType::ExpandString});
  fake.files.files["E:\\Kestro.xml"] = "<Root><addetc><startuseupfavorite>True</startuseupfavorite></addetc></Root>";
  fake.files.missingFolders.clear();
  StartSequence seq(state, fake.platform);
  seq.hostChanges = host.get();
  ASSERT_EQ(seq.Run("E:\\Kestro.exe"), StartOutcome::Running);
  EXPECT_EQ(state.pv.savedFavorites, kPcShell);
  EXPECT_EQ(state.pv.savedUserFavorites, kPcUser);
  EXPECT_TRUE(state.pv.favoritesRedirected);
  EXPECT_EQ(Value(kUserShellFoldersKey)->data, "E:\\kestro_favorites");
  Exit();
  ExpectOriginals();
}

TEST_F(FavoritesFixture, CopyFoldersAndRefusals) {
  state.pv.savedFavorites = kPcShell;
  auto folders = [&](FavoritesCopyDirection d) { return FavoritesCopyFoldersFor(d, state.pv, fake.registry); };
  EXPECT_EQ(folders(FavoritesCopyDirection::PcToUsb).source, kPcShell);
  EXPECT_EQ(folders(FavoritesCopyDirection::PcToUsb).target, kDrive);
  fake.registry.WriteValue(HKCU, kShellFoldersKey, kFavoritesValue, {kDrive, RegistryType::String});
  EXPECT_EQ(folders(FavoritesCopyDirection::UsbToPc).target, kDrive) << "the location in force";
  state.pv.favoritesRedirected = true;
  EXPECT_EQ(folders(FavoritesCopyDirection::UsbToPc).target, kPcShell) << "never onto itself";

  struct Case {
    const char* source;
    const char* target;
    FavoritesCopyDirection direction;
    const char* refusal;  // a part of the text; null: allowed
  };
  const auto up = FavoritesCopyDirection::PcToUsb, down = FavoritesCopyDirection::UsbToPc;
  const Case cases[] = {
      {"C:\\Fav", "E:\\kestro_favorites", up, nullptr},
      {"C:\\Fav", "E:\\missing", up, nullptr},  // the copy makes the drive's folder
      {"", "E:\\kestro_favorites", up, "no folder to copy from"},
      {"E:\\kestro_favorites", " ", down, "no folder to copy to"},
      {"C:\\gone", "E:\\kestro_favorites", up, "C:\\gone does not exist"},
      {"E:\\kestro_favorites", "E:\\missing", down, "E:\\missing does not exist"},
      {"E:\\Kestro_Favorites\\", "e:/kestro_favorites", down, "the same folder"},
      {"E:\\", "E:\\kestro_favorites", up, "inside the other"},
      {"E:\\kestro_favorites", "E:\\kestro_favorites\\sub", down, "inside the other"},
      {"E:\\kestro_fav", "E:\\kestro_favorites", down, nullptr},
  };
  fake.files.missingFolders = {"C:\\gone", "E:\\missing"};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.source) + " -> " + c.target);
    std::optional<std::string> r = FavoritesCopyRefusal(c.direction, {c.source, c.target}, fake.files);
    if (!c.refusal)
      EXPECT_FALSE(r) << *r;
    else
      EXPECT_NE(r.value_or("").find(c.refusal), std::string::npos) << r.value_or("(allowed)");
  }
}

// Folders and files in memory with their write times.
class FakeDisk : public IFolderLister, public IFileCopier {
 public:
  std::set<std::string> folders;
  std::map<std::string, uint64_t> files;  // path -> write time
  std::set<std::string> failing;          // targets that cannot be written
  bool List(const std::string& folder, std::vector<FolderEntry>& entries) override {
    if (!folders.count(folder)) return false;
    entries = {{".", kAttributeDirectory}, {"..", kAttributeDirectory}};
    auto child = [&](const std::string& p) -> std::optional<std::string> {
      if (p.size() <= folder.size() + 1 || p.compare(0, folder.size() + 1, folder + "\\") != 0) return std::nullopt;
      std::string rest = p.substr(folder.size() + 1);
      if (rest.find('\\') != std::string::npos) return std::nullopt;
      return rest;
    };
    for (const std::string& f : folders)
      if (auto n = child(f)) entries.push_back({*n, kAttributeDirectory});
    for (const auto& [f, t] : files)
      if (auto n = child(f)) entries.push_back({*n, 0x20});
    return true;
  }
  std::optional<uint64_t> LastWriteTime(const std::string& p) override {
    auto it = files.find(p);
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool CopyOver(const std::string& from, const std::string& to) override {
    if (failing.count(to) || !files.count(from)) return false;
    files[to] = files[from];
    return true;
  }
  bool CreateFolder(const std::string& p) override {
    if (failing.count(p)) return false;
    folders.insert(p);
    return true;
  }
};

TEST(FavoritesCopyTest, CopiesTheTreeLeavesNewerFilesAndCountsWhatDidNotGo) {
  FakeDisk disk;
  disk.folders = {"C:\\Fav", "C:\\Fav\\Links", "C:\\Fav\\Links\\Deep", "C:\\Fav\\Bad"};
  disk.files = {{"C:\\Fav\\a.url", 10}, {"C:\\Fav\\Links\\b.url", 10}, {"C:\\Fav\\Links\\Deep\\c.url", 10},
                {"C:\\Fav\\new.url", 10}, {"C:\\Fav\\x.url", 10}, {"E:\\F\\new.url", 20}};
  disk.failing = {"E:\\F\\x.url", "E:\\F\\Bad"};
  EXPECT_EQ(CountFavoriteEntries(disk, "C:\\Fav"), 8u);
  EXPECT_EQ(CountFavoriteEntries(disk, "C:\\None"), 0u);
  int steps = 0;
  FavoritesCopyOutcome out = CopyFavoritesTree(disk, disk, "C:\\Fav", "E:\\F", [&] { ++steps; }, nullptr);
  EXPECT_EQ(steps, 8);
  EXPECT_EQ(out.copied, 3u);
  EXPECT_EQ(out.newerAtTarget, 1u);
  EXPECT_EQ(out.failed, 2u);
  EXPECT_EQ(disk.files["E:\\F\\Links\\Deep\\c.url"], 10u);
  EXPECT_EQ(disk.files["E:\\F\\new.url"], 20u) << "the newer file stays";
  // Stopped at once: nothing copied.
  std::atomic<bool> stop{true};
  FavoritesCopyOutcome stopped = CopyFavoritesTree(disk, disk, "C:\\Fav", "E:\\G", {}, &stop);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_EQ(stopped.copied, 0u);

  MessageTable messages;
  messages.FillKoreanDefaults();
  const std::string done = messages.Message(msg::kFavoritesToUsbDone);
  EXPECT_EQ(FavoritesCopyDoneText(FavoritesCopyDirection::PcToUsb, {3, 0, 0, false}, messages), done);
  EXPECT_EQ(FavoritesCopyDoneText(FavoritesCopyDirection::UsbToPc, {3, 0, 0, false}, messages),
            messages.Message(msg::kFavoritesToPcDone));
  std::string partly = FavoritesCopyDoneText(FavoritesCopyDirection::PcToUsb, out, messages);
  EXPECT_EQ(partly.find(done), 0u);
  EXPECT_NE(partly.find("1 file(s) not copied: newer at the target"), std::string::npos) << partly;
  EXPECT_NE(partly.find("2 file(s) or folder(s) could not be written"), std::string::npos) << partly;
  EXPECT_NE(FavoritesCopyDoneText(FavoritesCopyDirection::PcToUsb, stopped, messages).find("stopped"),
            std::string::npos);
}

TEST(FavoritesTabTest, TheTreeShowsFoldersFirstThenLowerCaseShortcutsWithTheirAddresses) {
  FakeDisk disk;
  disk.folders = {"E:\\F", "E:\\F\\Links", "E:\\F\\Zeta", "E:\\F\\Links\\In"};
  disk.files = {{"E:\\F\\a.url", 1}, {"E:\\F\\b.URL", 1}, {"E:\\F\\notes.txt", 1}, {"E:\\F\\Links\\c.url", 1}};
  FakePlatform fake;
  fake.files.files["E:\\F\\a.url"] = "[internetshortcut]\r\nurl=http://a.example/\r\n";
  fake.files.files["E:\\F\\Links\\c.url"] = "\xEF\xBB\xBF[InternetShortcut]\r\nURL=http://\xED\x95\x9C.example/\r\n";
  ItemTree tree;
  int steps = 0;
  LoadFavoritesTree(disk, fake.files, fake.codec, "E:\\F", tree, nullptr, [&] { ++steps; });
  EXPECT_EQ(testing::ShapeOf(tree), "Zeta/ Links/(In/ c.url) a.url");
  EXPECT_EQ(steps, 7) << "every entry, skipped files too";
  const ItemNode& links = *tree.TopLevel()[1];
  EXPECT_EQ(links.Data().kind, ItemKind::Folder);
  EXPECT_EQ(links.Data().path, "E:\\F\\Links");
  EXPECT_EQ(links.Data().imageindex, kFolderPicture);
  const TMyRec& a = tree.TopLevel()[2]->Data();
  EXPECT_EQ(a.kind, ItemKind::Url);
  EXPECT_EQ(a.url, "http://a.example/");
  EXPECT_EQ(a.imageindex, kUrlPicture);
  EXPECT_EQ(links.Children()[1]->Data().url, "http://\xED\x95\x9C.example/");
}

TEST(FavoritesTabTest, ShortcutFileTexts) {
  struct Case {
    std::optional<std::string> existing;
    const char* expected;
  };
  const Case cases[] = {
      {std::nullopt, "[InternetShortcut]\r\nURL=http://n/\r\n"},
      {"", "[InternetShortcut]\r\nURL=http://n/\r\n"},
      {"[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=1\r\n",
       "[InternetShortcut]\r\nURL=http://n/\r\nIconIndex=1\r\n"},
      {"[other]\nx=1\n[internetshortcut]\nurl = old\n[more]\nURL=keep\n",
       "[other]\nx=1\n[internetshortcut]\nURL=http://n/\r\n[more]\nURL=keep\n"},
      {"[InternetShortcut]\r\nIconIndex=1\r\n[more]\r\n", "[InternetShortcut]\r\nURL=http://n/\r\nIconIndex=1\r\n[more]\r\n"},
      {"[DEFAULT]\r\nBASEURL=x", "[DEFAULT]\r\nBASEURL=x\r\n[InternetShortcut]\r\nURL=http://n/\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.existing.value_or("(none)"));
    EXPECT_EQ(UrlFileText(c.existing, "http://n/"), c.expected);
  }
  FakePlatform fake;
  ASSERT_TRUE(WriteUrlAddress("E:\\F\\k.url", "http://\xED\x95\x9C/", fake.files, fake.codec));
  EXPECT_EQ(fake.files.files["E:\\F\\k.url"], "[InternetShortcut]\r\nURL=http://\xC7\xD1/\r\n") << "ANSI";
  EXPECT_EQ(ReadUrlAddress("E:\\F\\k.url", fake.files, fake.codec), "http://\xED\x95\x9C/");
  fake.files.unreadable = {"E:\\F\\locked.url"};
  EXPECT_FALSE(WriteUrlAddress("E:\\F\\locked.url", "x", fake.files, fake.codec)) << "never written over";
}

TEST(FavoritesTabTest, TitlesThatCannotNameAFileAreRefused) {
  struct Case {
    const char* title;
    bool allowed;
  };
  const Case cases[] = {{"News", true},     {"뉴스 2", true},   {"", false},       {"  ", false},
                        {"a\\b", false},    {"a/b", false},     {"..", false},     {"..\\up", false},
                        {"C:x", false},     {"a*", false},      {"q?", false},     {"x.", false},
                        {"tab\there", false}, {"v1.2 notes", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    EXPECT_EQ(!UrlTitleRefusal(c.title), c.allowed);
  }
  EXPECT_EQ(*UrlTitleRefusal(""), "제목를 넣어주세요");
}

TEST(FavoritesTabTest, ANewUrlGoesBesideTheFocusedEntryOrIntoAFocusedFolder) {
  ItemTree tree;
  TMyRec daily;
  daily.kind = ItemKind::Folder;
  daily.name = "Daily";
  ItemNode& folder = tree.Add(nullptr, daily);
  TMyRec file;
  file.kind = ItemKind::Url;
  file.name = "a.url";
  ItemNode& inside = tree.Add(&folder, file);
  struct Case {
    ItemNode* focused;
    const char* path;
    bool expands;
  };
  const Case cases[] = {{nullptr, "E:\\F\\News.url", false},
                        {&inside, "E:\\F\\Daily\\News.url", false},
                        {&folder, "E:\\F\\Daily\\News.url", true}};
  for (const Case& c : cases) {
    NewNodePlace place = NewUrlPlaceFor(c.focused);
    EXPECT_EQ(place.expand != nullptr, c.expands);
    TMyRec rec = NewUrlRecord("E:\\F", place.at, "News", "http://n/");
    EXPECT_EQ(rec.path, c.path);
    EXPECT_EQ(rec.name, "News");
    EXPECT_EQ(rec.url, "http://n/");
    EXPECT_EQ(rec.kind, ItemKind::Url);
  }
  InsertNew(tree, NewUrlPlaceFor(&inside).at, NewUrlRecord("E:\\F", NewUrlPlaceFor(&inside).at, "News", "u"));
  EXPECT_EQ(testing::ShapeOf(tree), "Daily/(a.url News)");
}

TEST(FavoritesCopyTest, EveryEndTheUserAsksForIsRefusedWhileACopyRuns) {
  for (ExitTrigger t : {ExitTrigger::ExitArgument, ExitTrigger::TrayExit, ExitTrigger::QuitShortcut,
                        ExitTrigger::PanelExit, ExitTrigger::CloseBox, ExitTrigger::SettingsApply})
    EXPECT_TRUE(RefusedWhileCopying(t)) << int(t);
  EXPECT_FALSE(RefusedWhileCopying(ExitTrigger::LogOff));
  EXPECT_FALSE(RefusedWhileCopying(ExitTrigger::DriveRemoved));
}

}  // namespace
}  // namespace kestro
