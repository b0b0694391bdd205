#include <gtest/gtest.h>

#include "core/config/Settings.h"
#include "unit/FakePlatform.h"

namespace kestro {
namespace {

ConfigDocument Parse(const std::string& xml) {
  ConfigDocument doc;
  EXPECT_TRUE(doc.Load(xml).wellFormed) << xml;
  return doc;
}

EnvSet Read(const std::string& xml, ExeLinkList* links = nullptr, ReadProblems* problems = nullptr,
            const char* root = "E:\\") {
  ConfigDocument doc = Parse(xml);
  EnvSet env;
  ExeLinkList own;
  LoadSettings(doc, env, links ? *links : own, root, problems);
  return env;
}

// Names of the document element's children, in order.
std::vector<std::string> Sections(const ConfigDocument& doc) {
  std::vector<std::string> names;
  for (auto n : doc.Element().children()) names.push_back(n.name());
  return names;
}

std::vector<std::string> Children(pugi::xml_node n) {
  std::vector<std::string> names;
  for (auto c : n.children()) names.push_back(c.name());
  return names;
}

TEST(LoadSettingsTest, ShortcutSlotsFollowTheirUseFlag) {
  EnvSet env = Read("<Root><panel><useshortkey2>1</useshortkey2><mainkey2>4</mainkey2><subkey2>27</subkey2>"
                    "</panel></Root>");
  EXPECT_EQ(env.shortcuts[2], (ShortcutSlot{1, 4, 27}));
  for (int n : {0, 1, 3, 4}) EXPECT_EQ(env.shortcuts[n], (ShortcutSlot{0, -1, -1})) << n;

  env = Read("<Root><panel><useshortkey0>0</useshortkey0><mainkey0>3</mainkey0></panel></Root>");
  EXPECT_EQ(env.shortcuts[0], (ShortcutSlot{0, -1, -1}));
}

TEST(LoadSettingsTest, AnyDocumentElementNameAndUnknownSectionsAreSkipped) {
  EnvSet env = Read("<Kestro><files/><mystery><trans>1</trans></mystery><panel><trans>128</trans></panel>"
                    "<Panel><trans>5</trans></Panel></Kestro>");
  EXPECT_EQ(env.trans, 128);  // "Panel" is another section: names are case-sensitive
}

TEST(LoadSettingsTest, RepeatedSectionsAreAllReadLaterValuesWin) {
  EnvSet env = Read("<Root><panel><trans>100</trans><title>A</title></panel>"
                    "<panel><trans>200</trans></panel></Root>");
  EXPECT_EQ(env.trans, 200);
  EXPECT_EQ(env.title, "A");
}

TEST(LoadSettingsTest, FlagsReadAsTextToBoolean) {
  EnvSet env = Read("<Root><panel><tooltip>TRUE</tooltip><treeline>1</treeline><fixwindow>-1</fixwindow>"
                    "<showonstartup>0</showonstartup><freespacebar>true</freespacebar></panel></Root>");
  EXPECT_TRUE(env.tooltip);
  EXPECT_TRUE(env.treeline);
  EXPECT_TRUE(env.fixwindow);
  EXPECT_FALSE(env.showonstartup);
  EXPECT_TRUE(env.freespacebar);
}

TEST(LoadSettingsTest, AbsentElementsKeepTheirValues) {
  EnvSet env = Read("<Root><panel/><window/><icon/></Root>");
  EnvSet fresh;
  fresh.shortcuts.fill(ShortcutSlot{0, -1, -1});
  EXPECT_EQ(env, fresh);
}

TEST(LoadSettingsTest, WindowSectionNeedsMainAndTakesWhatIsThere) {
  EnvSet env = Read("<Root><window><position><X>1</X><Y>2</Y></position></window></Root>");
  EXPECT_EQ(env.left, 700);
  EXPECT_EQ(env.top, 300);
  env = Read("<Root><window><main><position><X>10</X><Y>20</Y></position><size><X>300</X><Y>400</Y></size>"
             "<topwindow>True</topwindow><tabindex>2</tabindex></main></window></Root>");
  EXPECT_EQ(std::tie(env.left, env.top, env.width, env.height, env.topwindow, env.tabindex),
            std::make_tuple(10, 20, 300, 400, true, 2));
  env = Read("<Root><window><main><size><X>300</X></size></main></window></Root>");
  EXPECT_EQ(std::tie(env.left, env.width, env.height), std::make_tuple(700, 300, 500));
}

TEST(LoadSettingsTest, IconPathsAreMadeAbsoluteOnTheCurrentDrive) {
  EnvSet env = Read("<Root><icon><foldericon>Icons\\folder.ico</foldericon><appicon>C:\\x.ico</appicon>"
                    "</icon><wallpaper><wallpapername>%windows%\\a.bmp</wallpapername></wallpaper></Root>",
                    nullptr, nullptr, "F:\\");
  EXPECT_EQ(env.foldericon, "F:\\Icons\\folder.ico");
  EXPECT_EQ(env.appicon, "C:\\x.ico");
  EXPECT_EQ(env.wallpapername, "%windows%\\a.bmp");
}

TEST(LoadSettingsTest, ExeLinksAreAppendedInOrder) {
  ExeLinkList links{{"old", {true, "X:\\old.exe"}}};
  Read("<Root><exelink><txt>Apps\\Editor\\editor.exe</txt><ini buselink=\"False\">C:\\n.exe -x</ini>"
       "<log buselink=\"0\"/></exelink></Root>",
       &links);
  ASSERT_EQ(links.size(), 4u);
  EXPECT_EQ(links[0].first, "old");
  EXPECT_EQ(links[1], (std::pair<std::string, TEXELINK>{"txt", {true, "E:\\Apps\\Editor\\editor.exe"}}));
  EXPECT_EQ(links[2], (std::pair<std::string, TEXELINK>{"ini", {false, "C:\\n.exe -x"}}));
  EXPECT_FALSE(links[3].second.buselink);
}

TEST(LoadSettingsTest, UnconvertibleValuesKeepTheirValueAndAreReported) {
  ReadProblems problems;
  EnvSet env = Read("<Root><panel><trans>abc</trans><tooltip>maybe</tooltip><iteminfomode></iteminfomode>"
                    "<title>ok</title></panel></Root>",
                    nullptr, &problems);
  EXPECT_EQ(env.trans, 255);
  EXPECT_FALSE(env.tooltip);
  EXPECT_EQ(env.iteminfomode, 0);
  EXPECT_EQ(env.title, "ok");
  ASSERT_EQ(problems.items.size(), 3u);
  EXPECT_NE(problems.items[0].find("panel/iteminfomode"), std::string::npos);
  EXPECT_NE(problems.items[1].find("panel/trans: 'abc'"), std::string::npos);
}

TEST(LoadSettingsTest, BlanksAroundValuesAreIgnored) {
  EnvSet env = Read("<Root><panel>\n  <trans>\n    200\n  </trans>\n  <title>  My tools </title></panel></Root>");
  EXPECT_EQ(env.trans, 200);
  EXPECT_EQ(env.title, "My tools");
}

TEST(WriteSettingsTest, WritesSectionsAndElementsInOrderUnderTheirConditions) {
  ConfigDocument doc;
  doc.CreateNew();
  EnvSet env;
  env.shortcuts[0] = {1, 0, 15};
  env.shortcuts[1] = {0, -1, -1};
  env.fixdrivename = "K:";
  env.foldericon = "E:\\Icons\\folder.ico";
  WriteSettings(doc, env, "E:\\");
  EXPECT_EQ(Sections(doc), (std::vector<std::string>{"files", "style", "panel", "start", "end", "icon",
                                                      "wallpaper", "addetc"}));
  auto root = doc.Element();
  EXPECT_EQ(Children(root.child("panel")),
            (std::vector<std::string>{"title", "iteminfomode", "showonstartup", "useshortkey0", "mainkey0",
                                      "subkey0", "useshortkey1", "useshortkey2", "useshortkey3", "useshortkey4",
                                      "trans", "xbuttonaction", "tooltip", "treeline", "fixwindow",
                                      "freespacebar", "deleteext", "language"}));
  EXPECT_STREQ(root.child("panel").child("showonstartup").text().get(), "True");
  EXPECT_STREQ(root.child("panel").child("tooltip").text().get(), "False");
  EXPECT_EQ(Children(root.child("start")), std::vector<std::string>{"fixdrivename"});
  EXPECT_TRUE(Children(root.child("end")).empty());
  EXPECT_EQ(Children(root.child("icon")), std::vector<std::string>{"foldericon"});
  EXPECT_STREQ(root.child("icon").child_value("foldericon"), "Icons\\folder.ico");
  EXPECT_TRUE(Children(root.child("wallpaper")).empty());
}

TEST(WriteSettingsTest, EmptyTitleAndZeroIconModeAreLeftOutLanguageNever) {
  ConfigDocument doc;
  doc.CreateNew();
  EnvSet env;
  env.title = "";
  WriteSettings(doc, env, "E:\\");
  EXPECT_FALSE(doc.Element().child("panel").child("title"));
  EXPECT_TRUE(doc.Element().child("panel").child("language"));
  EXPECT_FALSE(doc.Element().child("icon").child("iconmode"));
}

TEST(WriteSettingsTest, ReplacesOnlyTheFirstSectionOfItsName) {
  ConfigDocument doc = Parse("<Root><panel><trans>1</trans></panel><x/><panel><trans>2</trans></panel></Root>");
  EnvSet env;
  env.trans = 9;
  WriteSettings(doc, env, "E:\\");
  std::vector<std::string> names = Sections(doc);
  EXPECT_EQ(names[0], "x");
  EXPECT_EQ(names[1], "panel");
  EXPECT_STREQ(doc.Element().child("panel").child_value("trans"), "2");
  EXPECT_STREQ(doc.Element().last_child().previous_sibling("panel").child_value("trans"), "9");
}

// Every stored setting set away from its start value survives write + read,
// also when the drive letter changes in between.
TEST(WriteSettingsTest, EverySettingRoundTripsAcrossDriveLetters) {
  EnvSet env;
  env.title = "내 도구";
  env.iteminfomode = 4;
  env.shortcuts = {{{1, 3, 27}, {0, -1, -1}, {1, 11, 0}, {0, -1, -1}, {1, 0, 35}}};
  env.xbuttonaction = 2;
  env.showonstartup = false;
  env.tooltip = env.treeline = env.fixwindow = env.freespacebar = env.deleteext = true;
  env.trans = 180;
  env.language = "english.lng";
  env.usefixdrive = true;
  env.fixdrivename = "K:";
  env.exituseprg = env.exittempprg = env.exitshellprg = env.tryremovedrive = true;
  env.iconmode = 1;
  env.appicon = "E:\\Icons\\app.ico";
  env.foldericon = "E:\\Icons\\folder.ico";
  env.groupicon = "C:\\Icons\\group.ico";
  env.driveiconfolder = "E:\\Icons\\drives";
  env.hideicon = env.changewallpaper = true;
  env.wallpapername = "E:\\Pictures\\sky.jpg";
  env.traymenutab = env.usballexit = env.startuseupfavorite = env.startuseupexelink = true;

  ConfigDocument doc;
  doc.CreateNew();
  WriteSettings(doc, env, "E:\\");
  ConfigDocument reread = Parse(doc.Serialize());
  EnvSet back;
  ExeLinkList links;
  LoadSettings(reread, back, links, "F:\\");

  EnvSet expected = env;
  expected.appicon = "F:\\Icons\\app.ico";
  expected.foldericon = "F:\\Icons\\folder.ico";
  expected.driveiconfolder = "F:\\Icons\\drives";
  expected.wallpapername = "F:\\Pictures\\sky.jpg";
  EXPECT_EQ(back, expected);
}

TEST(WriteWindowSectionTest, WritesMainWithCapitalXAndY) {
  ConfigDocument doc = Parse("<Root><window><old/></window><panel/></Root>");
  WriteWindowSection(doc, PanelWindowState{-5, 20, 250, 500, true, -1});
  EXPECT_EQ(Sections(doc), (std::vector<std::string>{"panel", "window"}));
  pugi::xml_node main = doc.Element().child("window").child("main");
  EXPECT_EQ(Children(main), (std::vector<std::string>{"position", "size", "topwindow", "tabindex"}));
  EXPECT_STREQ(main.child("position").child_value("X"), "-5");
  EXPECT_STREQ(main.child("size").child_value("Y"), "500");
  EXPECT_STREQ(main.child_value("topwindow"), "True");
  EXPECT_STREQ(main.child_value("tabindex"), "-1");
}

TEST(WriteExeLinksTest, WritesEntriesDriveRelativeAndKeepsImpossibleNamesInNamedElements) {
  ConfigDocument doc;
  doc.CreateNew();
  ExeLinkList links{{"txt", {true, "E:\\Apps\\editor.exe"}},
                    {"7z", {true, "E:\\Apps\\7z.exe"}},
                    {"ini", {false, "D:\\n.exe"}},
                    {"extension", {true, "E:\\x.exe"}},
                    {"3gp", {false, "E:\\v.exe -f"}}};
  WriteExeLinks(doc, links, "E:\\");
  pugi::xml_node section = doc.Element().child("exelink");
  EXPECT_EQ(Children(section), (std::vector<std::string>{"txt", "extension", "ini", "extension", "extension"}));
  EXPECT_STREQ(section.child_value("txt"), "Apps\\editor.exe");
  EXPECT_STREQ(section.child("txt").attribute("buselink").value(), "True");
  EXPECT_STREQ(section.child("ini").attribute("buselink").value(), "False");
  EXPECT_STREQ(section.child("extension").attribute("name").value(), "7z");
  // What was written reads back as it was, in its order, both forms.
  ConfigDocument reread = Parse(doc.Serialize());
  EnvSet env;
  ExeLinkList back;
  LoadSettings(reread, env, back, "E:\\");
  EXPECT_EQ(back, links);
}

TEST(LoadSettingsTest, ReadsBothFormsOfExtensions) {
  ExeLinkList links;
  Read("<Root><exelink><txt>a.exe</txt><extension name=\"7z\" buselink=\"False\">b.exe</extension>"
       "<extension>c.exe</extension></exelink></Root>",
       &links);
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].first, "txt");
  EXPECT_EQ(links[1].first, "7z");
  EXPECT_FALSE(links[1].second.buselink);
  // Without a name the element is the extension itself, as ever.
  EXPECT_EQ(links[2].first, "extension");
}

TEST(ConfigDocumentTest, KeepsUnknownContentThroughASave) {
  const std::string xml =
      "<?xml version=\"1.0\"?><Root><!-- mine --><files/><tabs><tab a=\"1\"><x>y</x></tab></tabs>"
      "<custom attr=\"v\">text</custom><panel><trans>9</trans></panel></Root>";
  ConfigDocument doc = Parse(xml);
  WriteSettings(doc, EnvSet{}, "E:\\");
  ConfigDocument again = Parse(doc.Serialize());
  EXPECT_STREQ(again.Element().child("custom").attribute("attr").value(), "v");
  EXPECT_STREQ(again.Element().child("custom").child_value(), "text");
  EXPECT_STREQ(again.Element().child("tabs").child("tab").child_value("x"), "y");
  EXPECT_EQ(again.Element().first_child().type(), pugi::node_comment);
}

TEST(ConfigDocumentTest, NewDocumentAndSerializedForm) {
  ConfigDocument doc;
  doc.CreateNew();
  EXPECT_STREQ(doc.Element().name(), "Root");
  EXPECT_EQ(Sections(doc), (std::vector<std::string>{"files", "style", "panel"}));
  std::string text = doc.Serialize();
  EXPECT_EQ(text.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"), 0u);
  EXPECT_NE(text.find("\r\n\t<files />\r\n"), std::string::npos);
  EXPECT_EQ(text.find("\n\n"), std::string::npos);
}

TEST(ConfigDocumentTest, KoreanTextsSurviveInUtf8AndUtf16Files) {
  ConfigDocument doc = Parse("<Root><panel><title>한글 제목</title></panel></Root>");
  EnvSet env;
  ExeLinkList links;
  LoadSettings(Parse(doc.Serialize()), env, links, "E:\\");
  EXPECT_EQ(env.title, "한글 제목");
  // UTF-16 LE with its byte-order mark, as other editors may save it.
  std::u16string wide = u"\uFEFF<Root><panel><title>\uD55C\uAE00</title></panel></Root>";
  std::string bytes(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
  ConfigDocument utf16;
  ASSERT_TRUE(utf16.Load(bytes).wellFormed);
  LoadSettings(utf16, env, links, "E:\\");
  EXPECT_EQ(env.title, "한글");
}

TEST(ConfigDocumentTest, MalformedTextKeepsWhatWasReadBeforeTheError) {
  ConfigDocument doc;
  DocumentLoadResult r = doc.Load("<Root><panel><trans>77</trans></panel><window><main>");
  EXPECT_FALSE(r.wellFormed);
  EXPECT_FALSE(r.error.empty());
  EnvSet env;
  ExeLinkList links;
  LoadSettings(doc, env, links, "E:\\");
  EXPECT_EQ(env.trans, 77);

  r = doc.Load("this is not xml");
  EXPECT_FALSE(r.wellFormed);
  EXPECT_STREQ(doc.Element().name(), "Root");  // a new document to work on
  r = doc.Load("");
  EXPECT_FALSE(r.wellFormed);
  EXPECT_STREQ(doc.Element().name(), "Root");
}

TEST(SaveDocumentTest, WritesAtomicallyToTheDefaultOrGivenName) {
  testing::FakeFileSystem fs;
  ConfigDocument doc;
  doc.CreateNew();
  EXPECT_TRUE(SaveDocument(doc, fs, "", "E:\\Kestro\\"));
  EXPECT_TRUE(fs.files.count("E:\\Kestro\\Kestro.xml"));
  EXPECT_TRUE(SaveDocument(doc, fs, "D:\\backup.xml", "E:\\Kestro\\"));
  EXPECT_TRUE(fs.files.count("D:\\backup.xml"));
  EXPECT_EQ(fs.atomicWrites, 2);
  fs.failWrites = true;
  EXPECT_FALSE(SaveDocument(doc, fs, "", "E:\\Kestro\\"));
}

}  // namespace
}  // namespace kestro
