#include "core/config/SectionText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <fstream>
#include <random>
#include <sstream>

#include "core/config/DocumentText.h"
#include "unit/TabsSnapshot.h"

namespace kestro {
namespace {

namespace fs = std::filesystem;

constexpr unsigned kLoadOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                  pugi::parse_pi | pugi::parse_doctype | pugi::parse_fragment;

// The elements under `e` as the readers see them: names, attributes, texts
// without the blanks around them.
void Dump(ScannedSection::Element e, std::string& out) {
  out += "<" + std::string(e.Name());
  for (const char* a : {"name", "tag", "expanded", "x"}) {
    bool found = false;
    std::string_view v = e.Attribute(a, &found);
    if (found) out += " " + std::string(a) + "=" + std::string(v);
  }
  out += ">" + std::string(e.Text());
  for (auto c = e.FirstChild(); c; c = c.Next()) Dump(c, out);
  out += "/";
}

void Dump(pugi::xml_node e, std::string& out) {
  out += "<" + std::string(e.name());
  for (const char* a : {"name", "tag", "expanded", "x"})
    if (pugi::xml_attribute at = e.attribute(a)) out += " " + std::string(a) + "=" + at.value();
  out += ">" + ElementText(e);
  for (pugi::xml_node c : e.children())
    if (c.type() == pugi::node_element) Dump(c, out);
  out += "/";
}

struct ScanCase {
  const char* what;
  std::string section;
  bool taken;
};

TEST(SectionScanTest, TakesPlainMarkupAsPugixmlReadsItAndDeclinesTheRest) {
  std::vector<ScanCase> cases = {
      {"elements and texts", "<tabs>\r\n\t<tab name=\"a\" tag=\"0\">\r\n\t\t<x>1</x>\r\n\t</tab>\r\n</tabs>", true},
      {"empty elements", "<tabs><a/><b /><c></c></tabs>", true},
      {"the five entities", "<tabs><v name=\"&lt;&amp;&gt;&quot;&apos;\">&lt;a&gt; &amp; &quot;b&apos;</v></tabs>", true},
      {"character references", "<tabs><v x=\"&#65;&#x42;&#x10FFFF;\">&#xAC00;&#233;</v></tabs>", true},
      {"references that stand for blanks", "<tabs><v x=\"&#10;&#9;\">&#32;x&#10;</v><w>&#32;</w></tabs>", true},
      {"single quotes and blanks around =", "<tabs><v name = 'a\"b' x\r\n=\t\"c'd\"/></tabs>", true},
      {"blanks and line ends around a text", "<tabs><v>\r\n\t  some text \t\r\n\t</v></tabs>", true},
      {"a tab inside a text", "<tabs><v>a\tb</v></tabs>", true},
      {"a repeated attribute: the first counts", "<tabs><v name=\"1\" name=\"2\"/></tabs>", true},
      {"end tag with blanks", "<tabs><v>a</v \r\n></tabs >", true},
      {"names beyond ASCII", "<tabs><탭 이름=\"값\">텍스트</탭></tabs>", true},
      {"text only", "<tabs>text</tabs>", true},
      {"a comment", "<tabs><!-- c --><v/></tabs>", false},
      {"a processing instruction", "<tabs><?pi x?></tabs>", false},
      {"CDATA", "<tabs><v><![CDATA[x]]></v></tabs>", false},
      {"a line break inside a text", "<tabs><v>a\r\nb</v></tabs>", false},
      {"a LF inside a text", "<tabs><v>a\nb</v></tabs>", false},
      {"a tab in an attribute", "<tabs><v name=\"a\tb\"/></tabs>", false},
      {"a line break in an attribute", "<tabs><v name=\"a\nb\"/></tabs>", false},
      {"another entity", "<tabs><v>&nbsp;</v></tabs>", false},
      {"a reference without its end", "<tabs><v>&#65</v></tabs>", false},
      {"an empty reference", "<tabs><v>&#x;</v></tabs>", false},
      {"a bare ampersand", "<tabs><v>a & b</v></tabs>", false},
      {"text beside elements", "<tabs><v>a<w/></v></tabs>", false},
      {"text after an element", "<tabs><v><w/>a</v></tabs>", false},
      {"an end tag of another name", "<tabs><v></w></tabs>", false},
      {"end tags differing in their first or last byte",
       "<tabs><paramete>x</parametf><abcdefghijklmnop/></tabs>", false},
      {"a long end tag differing in its middle", "<tabs><abcdefghijklmnopq>x</abcdefghiXklmnopq></tabs>", false},
      {"names of every length up to twenty",
       "<tabs><a>1</a><ab>2</ab><abcdefg>7</abcdefg><abcdefgh>8</abcdefgh><abcdefghi>9</abcdefghi>"
       "<abcdefghijklmnop>16</abcdefghijklmnop><abcdefghijklmnopqrst>20</abcdefghijklmnopqrst></tabs>",
       true},
      {"< in an attribute", "<tabs><v name=\"<\"/></tabs>", false},
      {"no blank between attributes", "<tabs><v a=\"1\"b=\"2\"/></tabs>", false},
      {"an attribute without quotes", "<tabs><v a=1/></tabs>", false},
      {"a name starting with a digit", "<tabs><1v/></tabs>", false},
      {"unfinished", "<tabs><v>", false},
      {"a DOCTYPE inside", "<tabs><!DOCTYPE x></tabs>", false},
  };
  // More elements, attributes and levels than the scan makes room for from
  // the size of the text.
  std::string dense, attributes, deep;
  for (int k = 0; k < 3000; ++k) dense += "<a/>";
  for (int k = 0; k < 500; ++k) attributes += "<a x='1' y=\"2\" z='3'/>";
  for (int k = 0; k < 300; ++k) deep += "<d name=\"" + std::to_string(k) + "\">";
  deep += "end";
  for (int k = 0; k < 300; ++k) deep += "</d>";
  cases.push_back({"elements denser than expected", "<tabs>" + dense + "</tabs>", true});
  cases.push_back({"more attributes than expected", "<tabs>" + attributes + "</tabs>", true});
  cases.push_back({"deeper than expected", "<tabs>" + deep + "</tabs>", true});
  cases.push_back({"deep and unfinished", "<tabs>" + deep.substr(0, deep.size() - 4) + "</tabs>", false});
  for (const ScanCase& c : cases) {
    const std::string text = "<Root>" + c.section + "<after/></Root>";
    ScannedSection scan;
    EXPECT_EQ(scan.Scan(text, 6), c.taken) << c.what;
    if (!c.taken) {
      EXPECT_TRUE(scan.Empty()) << c.what;
      continue;
    }
    EXPECT_EQ(text.substr(scan.End()), "<after/></Root>") << c.what;
    pugi::xml_document dom;
    ASSERT_TRUE(dom.load_buffer(text.data(), text.size(), kLoadOptions)) << c.what;
    std::string fromText, fromDom;
    Dump(scan.Root(), fromText);
    Dump(dom.document_element().first_child(), fromDom);
    EXPECT_EQ(fromText, fromDom) << c.what;
  }
}

TEST(SectionScanTest, TheContentLiesBetweenTheTags) {
  const std::string text = "<R><tabs a=\"1\"><t/></tabs></R>";
  ScannedSection scan;
  ASSERT_TRUE(scan.Scan(text, 3));
  EXPECT_EQ(text.substr(scan.ContentBegin(), scan.ContentEnd() - scan.ContentBegin()), "<t/>");
  EXPECT_FALSE(scan.Scan(text, 19));  // an end tag
  EXPECT_FALSE(scan.Scan(text, 1));   // not at "<"
  ASSERT_TRUE(scan.Scan(text, 15));  // <t/> alone
  EXPECT_EQ(scan.ContentBegin(), scan.ContentEnd());
  EXPECT_EQ(scan.End(), 19u);
}

TEST(SectionScanTest, TheSectionIsFoundAmongTheChildrenOfTheDocumentElement) {
  struct Case {
    const char* what;
    std::string text;
    size_t at;  // npos: none
  };
  const size_t none = std::string::npos;
  const std::vector<Case> cases = {
      {"after other sections", "<?xml version=\"1.0\"?><R><panel><x a=\">\">1</x></panel><tabs/></R>", 53},
      {"after a DOCTYPE, comments and instructions",
       "<!DOCTYPE R SYSTEM \"a><R><tabs>\"><!-- <R><tabs> --><?p <tabs>?><R><tabs/></R>", 66},
      {"after CDATA", "<R><x><![CDATA[</x><tabs>]]></x><tabs/></R>", 32},
      {"only the first", "<R><tabs a=\"1\"/><tabs/></R>", 3},
      {"deeper ones are not sections", "<R><x><tabs/></x></R>", none},
      {"nor is the document element", "<tabs><tabs/></tabs>", 6},
      {"a second document element", "<R/><R><tabs/></R>", none},
      {"a DOCTYPE with an internal subset", "<!DOCTYPE R [<!ENTITY e \"x\">]><R><tabs/></R>", none},
      {"none", "<R><panel/></R>", none},
      {"an unfinished comment", "<R><!-- <tabs/></R>", none},
  };
  for (const Case& c : cases) EXPECT_EQ(FindSection(c.text, "tabs"), c.at) << c.what;
}

// --- the same start whichever way the tabs are read --------------------------

// Reads `bytes` both ways and expects the same: what the start leaves, the
// document saved as read, and the document saved after the exit's WriteTabs.
// `scanned`: whether the text way is expected to take the section (else it
// is left to the DOM); nothing when either may be.
void ExpectSameBothWays(const std::string& what, const std::string& bytes, std::optional<bool> scanned) {
  testing::TabsRead text(bytes, TabsReading::FromText), dom(bytes, TabsReading::IntoDom);
  if (scanned) EXPECT_EQ(text.scanned, *scanned) << what;
  EXPECT_FALSE(dom.scanned) << what;
  EXPECT_EQ(text.Snapshot(), dom.Snapshot()) << what;
  EXPECT_EQ(text.doc.Serialize(), dom.doc.Serialize()) << what;
  EXPECT_EQ(text.doc.ScannedTabs(), nullptr) << what;  // written as its DOM
  testing::TabsRead text2(bytes, TabsReading::FromText), dom2(bytes, TabsReading::IntoDom);
  EXPECT_EQ(text2.SavedAfterWriteTabs(), dom2.SavedAfterWriteTabs()) << what;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(TabsReadingTest, DemoAndTestDocumentsReadTheSameFromTheTextAsFromTheDom) {
  const fs::path root = fs::path(__FILE__).parent_path() / ".." / "..";
  std::vector<fs::path> files = {root / "demo" / "Kestro.xml"};
  for (const fs::path& folder : {root / "tests" / "data", root / "fuzz" / "seeds" / "KestroXml"})
    for (const auto& entry : fs::recursive_directory_iterator(folder))
      if (entry.is_regular_file() && entry.path().extension() == ".xml") files.push_back(entry.path());
  ASSERT_GE(files.size(), 2u);
  for (const fs::path& file : files) {
    const std::string bytes = ReadFile(file);
    ASSERT_FALSE(bytes.empty()) << file;
    // The demo is what the program writes: read from its text.
    ExpectSameBothWays(file.string(), bytes,
                       file.filename() == "Kestro.xml" ? std::optional<bool>(true) : std::nullopt);
  }
}

// Documents of every shape the readers meet: the program's own, hand-edited
// ones with entities, odd blanks, unknown elements and unreadable values, and
// ones the scan declines.
class DocumentGenerator {
 public:
  explicit DocumentGenerator(unsigned seed) : random_(seed) {}

  std::string Document(bool* plain) {
    plain_ = true;
    std::string x = Pick({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", "", "<!-- c -->"});
    x += "<Root>";
    if (Chance(2)) x += "<panel><title>T</title><treeline>True</treeline></panel>";
    if (Chance(4)) x += "<icon><groupicon>g.ico</groupicon><foldericon>f.ico</foldericon></icon>";
    x += Blank() + "<tabs" + (Chance(8) ? " v=\"1\"" : "") + ">";
    const size_t content = x.size();
    for (int t = int(Number(5)); t > 0; --t) Tab(x);
    x += Blank();
    if (x.size() == content) plain_ = false;  // <tabs></tabs>: nothing to read
    x += "</tabs>";
    if (Chance(4)) x += "<tabs><tab name=\"second\"><files><file name=\"s\"/></files></tab></tabs>";
    x += "<window/></Root>";
    if (plain) *plain = plain_;
    return x;
  }

 private:
  bool Chance(unsigned in) { return random_() % in == 0; }
  unsigned Number(unsigned below) { return unsigned(random_() % below); }
  std::string Pick(std::initializer_list<const char*> options) {
    return *(options.begin() + Number(unsigned(options.size())));
  }
  std::string Blank() { return Pick({"", "\r\n\t", " ", "\n  "}); }

  // A value the scan takes, or now and then one it declines.
  std::string Text() {
    if (Chance(40)) {
      plain_ = false;
      return Pick({"a\r\nb", "<!-- c -->x", "<![CDATA[c]]>", "&nbsp;", "x<?p?>"});
    }
    return Pick({"plain", " padded ", "&amp;&lt;&gt;", "&#65;&#xAC00;", "&#32;lead", "Apps\\a.exe", "없음",
                 "\r\n\t\tx\r\n\t", "", "a\tb", "-5", "True", "0x10", "soon"});
  }
  std::string Attribute(const char* name) {
    if (Chance(40)) {
      plain_ = false;
      return std::string(" ") + name + "=\"a\tb\"";
    }
    std::string v = Pick({"n", "a &amp; b", "&quot;q&quot;", "&#x41;", "True", "False", "x", "", "2", "1"});
    return std::string(" ") + name + (Chance(3) ? "='" + v + "'" : "=\"" + v + "\"");
  }
  void Leaf(std::string& x, const char* name) {
    std::string t = Text();
    x += Blank() + (t.empty() && Chance(2) ? "<" + std::string(name) + "/>" : "<" + std::string(name) + ">" + t +
                                                                                  "</" + name + ">");
  }
  void Tab(std::string& x) {
    x += Blank() + "<tab" + (Chance(6) ? "" : Attribute("name")) +
         (Chance(4) ? "" : " tag=\"" + Pick({"0", "1", "2", "3", "5", "x"}) + "\"") + ">";
    for (const char* s : {"backcolor", "fontname", "textcolor", "textcolor2", "backimage", "bigicon"})
      if (Chance(2)) Leaf(x, s);
    if (!Chance(6)) {
      x += Blank() + "<files>";
      Items(x, 0);
      x += Blank() + "</files>";
    }
    x += Blank() + "</tab>";
  }
  void Items(std::string& x, int depth) {
    for (int i = int(Number(8)); i > 0; --i) {
      switch (Number(depth < 4 ? 6 : 4)) {
        case 0: x += Blank() + Pick({"<separator/>", "<separator />", "<separator></separator>"}); break;
        case 1:
          if (Chance(3)) Leaf(x, Pick({"icon", "hidefromtray", "unknown"}).c_str());
          else x += Blank() + "<strange" + Attribute("name") + "/>";
          break;
        case 4:
        case 5:
          x += Blank() + "<files" + Attribute("name") + (Chance(5) ? "" : Attribute("expanded")) + ">";
          if (Chance(2)) Leaf(x, "icon");
          if (Chance(3)) Leaf(x, "hidefromtray");
          Items(x, depth + 1);
          x += Blank() + "</files>";
          break;
        default: {
          const char* kind = Chance(3) ? "folder" : "file";
          x += Blank() + "<" + kind + Attribute("name") + ">";
          for (const char* c : {"path", "icon", "parameters", "addexplain", "autorun", "windowstate", "hotkey",
                                "hotkeymodifier", "hotkeycode", "other"})
            if (Chance(2)) Leaf(x, c);
          x += Blank() + "</" + kind + ">";
        }
      }
    }
  }

  std::mt19937 random_;
  bool plain_ = true;
};

TEST(TabsReadingTest, GeneratedDocumentsReadTheSameFromTheTextAsFromTheDom) {
  int plain = 0, declined = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    DocumentGenerator generator(seed);
    bool isPlain = false;
    const std::string doc = generator.Document(&isPlain);
    ExpectSameBothWays("seed " + std::to_string(seed) + ":\n" + doc, doc, isPlain);
    (isPlain ? plain : declined)++;
  }
  // Both ways of the reading are met.
  EXPECT_GT(plain, 80);
  EXPECT_GT(declined, 20);
}

TEST(TabsReadingTest, DamagedAndUnusualDocumentsReadTheSame) {
  const std::vector<std::pair<std::string, bool>> docs = {
      // Damage after the section: the whole text is parsed again for the error.
      {"<Root><tabs><tab name=\"a\"><files><file name=\"f\"><path>a.exe</path></file></files></tab></tabs><x></Root>",
       false},
      {"<Root><panel></tabs><tabs><tab/></tabs></Root>", false},
      {"<Root><tabs><tab name=\"a\"><files/></tab></tabs></Root><Second/>junk", true},
      {"\xEF\xBB\xBF<Root><tabs><tab name=\"\xFF\"><files/></tab></tabs></Root>", true},
      {"<Root><tabs></tabs></Root>", false},
      {"<Root><tabs/></Root>", false},
      {"<Root><tabs>  </tabs></Root>", true},
      {"<Root/>", false},
  };
  for (const auto& [doc, scanned] : docs) ExpectSameBothWays(doc, doc, scanned);
}

TEST(TabsReadingTest, ASectionAsLoadedIsParsedWhenTheDocumentIsAskedForIt) {
  const std::string xml =
      "<Root><tabs>\r\n<tab name=\"a &amp; b\"><files><file name=\"f\"><path>a.exe</path></file></files></tab>"
      "</tabs><panel/></Root>";
  ConfigDocument doc;
  ASSERT_TRUE(doc.Load(xml).wellFormed);
  ASSERT_NE(doc.ScannedTabs(), nullptr);
  EXPECT_FALSE(doc.Root().child("tabs").first_child());  // left empty in the DOM
  EXPECT_STREQ(doc.Element().child("tabs").child("tab").attribute("name").value(), "a & b");
  EXPECT_EQ(doc.ScannedTabs(), nullptr);
  // The writer's section replaces the one as loaded.
  ConfigDocument again;
  ASSERT_TRUE(again.Load(xml).wellFormed);
  testing::MemoryPanelPages none;
  testing::TabsRead unused("<Root/>", TabsReading::FromText);
  WriteTabs(again, none, unused.ctx);
  EXPECT_EQ(again.ScannedTabs(), nullptr);
  EXPECT_NE(again.Serialize().find("<tabs />"), std::string::npos);
}

}  // namespace
}  // namespace kestro
