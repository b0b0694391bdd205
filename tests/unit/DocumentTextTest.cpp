#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <sstream>

#include "core/config/DocumentText.h"
#include "core/config/Settings.h"
#include "core/text/Unicode.h"
#include "unit/TabsFixture.h"

namespace kestro {
namespace {

using namespace std::string_literals;

std::string Utf16(std::u16string_view text, bool bigEndian, bool mark) {
  std::string out;
  if (mark) out += bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : text) {
    char hi = char(u >> 8), lo = char(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

std::string Title(const ConfigDocument& doc) { return doc.Element().child("panel").child_value("title"); }

// What the strictest XML reader asks of the text we write: UTF-8, no
// character XML 1.0 forbids, no reference to one, one document element.
void ExpectWellFormedUtf8(const std::string& text) {
  EXPECT_TRUE(IsValidUtf8(text));
  for (unsigned char c : text) EXPECT_TRUE(c >= 0x20 || c == '\t' || c == '\r' || c == '\n') << int(c);
  // pugixml wrote control characters as references ("&#01;").
  for (size_t at = text.find("&#"); at != std::string::npos; at = text.find("&#", at + 1)) {
    size_t end = text.find(';', at);
    std::string digits = text.substr(at + 2, end - at - 2);
    unsigned long cp = digits[0] == 'x' ? std::stoul(digits.substr(1), nullptr, 16) : std::stoul(digits);
    EXPECT_TRUE(cp == 9 || cp == 10 || cp == 13 || cp >= 0x20) << text.substr(at, 8);
  }
  EXPECT_EQ(text.find("\xEF\xBF\xBE"), std::string::npos);
  EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u) << text.substr(0, 60);
  pugi::xml_document strict;
  ASSERT_TRUE(strict.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_declaration));
  int elements = 0;
  for (pugi::xml_node n : strict.children()) elements += n.type() == pugi::node_element;
  EXPECT_EQ(elements, 1);
}

struct EncodingCase {
  const char* what;
  std::string bytes;
  const char* title;  // as read, UTF-8
};

TEST(DocumentEncodingTest, EachDeclaredEncodingIsReadAndWrittenBackAsUtf8) {
  testing::FakeTextCodec korean("CP949");
  const std::string body = "<Root><panel><title>";
  const std::vector<EncodingCase> cases = {
      {"euc-kr", "<?xml version=\"1.0\" encoding=\"euc-kr\"?>" + body + "\xC7\xD1\xB1\xDB \xB5\xB5\xB1\xB8</title></panel></Root>",
       "한글 도구"},
      {"ks_c_5601-1987, in capitals", "<?xml version='1.0' encoding='KS_C_5601-1987'?>" + body + "\xC7\xD1</title></panel></Root>",
       "한"},
      {"ISO-8859-1", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + body + "Caf\xE9</title></panel></Root>",
       "Café"},
      {"UTF-16LE without a mark", Utf16(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?><Root><panel><title>한글</title></panel></Root>", false, false),
       "한글"},
      {"UTF-16BE with its mark", Utf16(u"<Root><panel><title>Café 한</title></panel></Root>", true, true), "Café 한"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + body + "한글</title></panel></Root>", "한글"},
      // An earlier version wrote UTF-8 under the declaration it had read.
      {"UTF-8 under a stale declaration", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + body + "Café</title></panel></Root>",
       "Café"},
  };
  for (const EncodingCase& c : cases) {
    SCOPED_TRACE(c.what);
    ConfigDocument doc;
    DocumentLoadResult r = doc.Load(c.bytes, &korean);
    ASSERT_TRUE(r.wellFormed) << r.error;
    EXPECT_TRUE(r.dropped.empty());
    EXPECT_EQ(Title(doc), c.title);
    // Any number of start/exit cycles keep the text.
    std::string text = doc.Serialize();
    for (int cycle = 0; cycle < 3; ++cycle) {
      ExpectWellFormedUtf8(text);
      ConfigDocument again;
      ASSERT_TRUE(again.Load(text, &korean).wellFormed);
      EXPECT_EQ(Title(again), c.title) << cycle;
      text = again.Serialize();
    }
  }
}

TEST(DocumentEncodingTest, AStandaloneDeclarationIsKept) {
  ConfigDocument doc;
  ASSERT_TRUE(doc.Load("<?xml version=\"1.0\" encoding=\"latin1\" standalone=\"yes\"?><Root/>").wellFormed);
  EXPECT_EQ(doc.Serialize(), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<Root />\r\n");
}

TEST(DocumentCleaningTest, WhatXmlCannotHoldIsLeftOutAndReported) {
  const std::string bytes =
      "<Root><panel><title>bad \xFF\xC0 bytes</title><language>a\x01" "b&#1;c&#x1F;d&#65;</language>"
      "</panel><tabs><tab name=\"t\x02&#2;\"/></tabs></Root>\r\n<Second/>junk";
  ConfigDocument doc;
  DocumentLoadResult r = doc.Load(bytes);
  EXPECT_TRUE(r.wellFormed) << r.error;
  EXPECT_EQ(Title(doc), "bad \xEF\xBF\xBD\xEF\xBF\xBD bytes");
  EXPECT_STREQ(doc.Element().child("panel").child_value("language"), "abcdA");
  EXPECT_STREQ(doc.Element().child("tabs").child("tab").attribute("name").value(), "t");
  const std::vector<std::string> dropped = {
      "2 byte(s) that form no UTF-8 character, replaced by \xEF\xBF\xBD",
      "5 control character(s), left out",
      "a second document element <Second>, left out",
      "text outside the document element, left out",
  };
  EXPECT_EQ(r.dropped, dropped);
  std::string text = doc.Serialize();
  ExpectWellFormedUtf8(text);
  // What was written holds nothing more to report.
  ConfigDocument again;
  EXPECT_TRUE(again.Load(text).dropped.empty());
  EXPECT_EQ(again.Serialize(), text);
}

// What the cleaning should give, one byte at a time: the oracle for the
// vector search over the text.
DecodedDocument CleanedByteByByte(std::string_view s) {
  DecodedDocument d;
  size_t invalid = 0, control = 0;
  for (size_t i = 0; i < s.size();) {
    const uint8_t c = uint8_t(s[i]);
    const size_t n = c >= 0x80 ? Utf8SequenceAt(s, i) : 1;
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      ++control, ++i;
    } else if (s.substr(i, 4) == "&#1;") {
      ++control, i += 4;
    } else if (n == 0) {
      d.text += kReplacementCharacter;
      ++invalid, ++i;
    } else if (s.substr(i, 2) == "\xEF\xBF" && n == 3 && uint8_t(s[i + 2]) >= 0xBE) {
      ++control, i += 3;
    } else {
      d.text.append(s.substr(i, n));
      i += n;
    }
  }
  if (invalid) d.dropped.push_back(std::to_string(invalid) + " byte(s) that form no UTF-8 character, replaced by \xEF\xBF\xBD");
  if (control) d.dropped.push_back(std::to_string(control) + " control character(s), left out");
  return d;
}

TEST(DocumentCleaningTest, EachKindOfByteIsCleanedWhereverItStands) {
  // Each piece at every offset across the 16- and 32-byte steps of the
  // vector search, alone and in runs of other characters beyond ASCII.
  const std::vector<std::pair<const char*, std::string>> pieces = {
      {"a Korean name", "\xEA\xB7\xB8\xEB\xA3\xB9"},
      {"a byte that starts nothing", "\xFF"},
      {"a sequence cut short in a run", "\xEA\xB7\xB8\xEB\xA3x\xEB\xA3\xB9"},
      {"a surrogate between Korean", "\xEA\xB7\xB8\xED\xA0\x80\xEB\xA3\xB9"},
      {"U+FFFE and U+FFFF in a run", "\xC3\xA9\xEF\xBF\xBE\xEF\xBF\xBF\xC3\xA9"},
      {"a four-byte character and an overlong one", "\xF0\x9F\x98\x80\xC0\xAF"},
      {"a run ending the text", "\xEA\xB7\xB8\xEA\xB7"},
      {"control characters and a forbidden reference", "a\x01\x1F&#1;&amp;&#65;"},
      {"blanks that stay", "\t\r\n \t"},
  };
  for (const auto& [what, piece] : pieces) {
    for (size_t at = 0; at <= 130; ++at) {
      std::string text = "<Root>" + std::string(200, 'x') + "</Root>";
      text.insert(at + 6, piece);
      DecodedDocument want = CleanedByteByByte(text);
      DecodedDocument got = DecodeDocumentBytes(text, nullptr);
      ASSERT_EQ(got.text, want.text) << what << " at " << at;
      ASSERT_EQ(got.dropped, want.dropped) << what << " at " << at;
    }
  }
}

TEST(DocumentCleaningTest, TextSetInMemoryIsWrittenWellFormedToo) {
  ConfigDocument doc;
  doc.CreateNew();
  pugi::xml_node panel = doc.Element().child("panel");
  panel.append_child("title").text().set("a\x01\x1F" "b\xC3(\xEF\xBF\xBF");
  panel.append_attribute("x").set_value("q\"<&>'\t\n\r\x02");
  panel.append_child("addexplain").text().set("one\r\ntwo\rthree\nfour");
  panel.append_child(pugi::node_comment).set_value("a--b-");
  panel.append_child(pugi::node_pi).set_value("x?>y");
  panel.last_child().set_name("mine");
  panel.append_child(pugi::node_cdata).set_value("c]]>d\x03");
  panel.append_attribute("x").set_value("second");
  std::string text = doc.Serialize();
  ExpectWellFormedUtf8(text);
  EXPECT_NE(text.find("<title>ab\xEF\xBF\xBD(</title>"), std::string::npos) << text;
  EXPECT_NE(text.find("<panel x=\"q&quot;&lt;&amp;>'&#09;&#10;&#13;\">"), std::string::npos) << text;
  EXPECT_NE(text.find("<addexplain>one\r\ntwo\r\nthree\r\nfour</addexplain>"), std::string::npos) << text;
  EXPECT_NE(text.find("<!--a- -b- -->"), std::string::npos) << text;
  EXPECT_NE(text.find("<?mine x? >y?>"), std::string::npos) << text;
  EXPECT_NE(text.find("<![CDATA[c]]]]><![CDATA[>d]]>"), std::string::npos) << text;
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  size_t start = text.find(from);
  if (start == std::string::npos) return "(missing " + from + ")";
  start += from.size();
  return text.substr(start, text.find(to, start) - start);
}

TEST(DocumentWriterTest, SectionTextsAreEscapedAsTheDocumentWriterEscapesThem) {
  // Each byte that is not written as it is, at every offset of a text long
  // enough for the sixteen-byte steps of the section writer's search.
  const std::vector<std::string> pieces = {"&", "<", ">", "\"", "'", "\t", "\n", "\r", "\r\n", "\x01", "\x1F",
                                           "\x7F", "\xC3\xA9", "\xEF\xBF\xBE", "\xFF", "\xEA\xB7"};
  for (const std::string& piece : pieces) {
    for (size_t at = 0; at <= 40; ++at) {
      std::string value(48, 'x');
      value.insert(at, piece);
      SectionWriter section(1);
      section.Open("e");
      section.Attribute("a", value);
      section.Leaf("t", value);
      section.Close();
      const std::string written = section.Take();

      ConfigDocument doc;
      doc.CreateNew();
      pugi::xml_node e = doc.Element().append_child("e");
      e.append_attribute("a").set_value(value.c_str());
      e.append_child("t").text().set(value.c_str());
      const std::string want = doc.Serialize();
      SCOPED_TRACE(::testing::PrintToString(piece) + " at " + std::to_string(at));
      ASSERT_EQ(Between(written, "a=\"", "\""), Between(want, "a=\"", "\""));
      ASSERT_EQ(Between(written, "<t>", "</t>"), Between(want, "<t>", "</t>"));
    }
  }
}

TEST(DocumentCleaningTest, LineEndsOfADoctypeStayAsTheyAre) {
  const std::string bytes =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!DOCTYPE Root [\r\n<!ELEMENT Root ANY>\r\n]>\r\n"
      "<?style a\r\nb?>\r\n<Root />\r\n";
  std::string text = bytes;
  for (int save = 0; save < 3; ++save) {
    ConfigDocument doc;
    ASSERT_TRUE(doc.Load(text).wellFormed);
    text = doc.Serialize();
    EXPECT_EQ(text, bytes) << save;
  }
}

// The same text as pugixml writes (LF made CR LF) for what it writes well.
TEST(DocumentWriterTest, NormalDocumentsAreWrittenAsPugixmlWritesThem) {
  const std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?><!DOCTYPE Root><!-- head --><Root><files/>"
      "<panel><title>한글 &amp; &lt;x&gt; \"q\" 'a'</title><mixed>text<b>bold</b>tail<![CDATA[<raw>]]></mixed>"
      "</panel><?pi value?><tabs><tab name=\"a&amp;&quot;b'&lt;&gt;\" tag=\"0\"><files><file name=\"x\"><path>a\\b.exe"
      "</path></file><files name=\"g\" expanded=\"True\"><separator/><!-- inner --></files></files></tab></tabs>"
      "<exelink><txt buselink=\"True\">Apps\\e.exe</txt></exelink></Root><!-- tail -->";
  pugi::xml_document dom;
  ASSERT_TRUE(dom.load_string(xml.c_str(), pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                               pugi::parse_pi | pugi::parse_doctype));
  std::ostringstream pugi;
  dom.save(pugi, "\t", pugi::format_indent, pugi::encoding_utf8);
  std::string expected;
  for (char c : pugi.str()) expected += c == '\n' ? "\r\n"s : std::string(1, c);
  EXPECT_EQ(WriteDocumentText(dom), expected);
}

// Runs `work` on a thread with the stack Windows gives the main thread.
void OnOneMegabyteStack(std::function<void()> work) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 1 << 20);
  pthread_t thread;
  auto run = [](void* p) -> void* {
    (*static_cast<std::function<void()>*>(p))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attr, run, &work), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attr);
}

std::string NestedGroups(int depth) {
  std::string x = "<Root><tabs><tab name=\"t\"><files>";
  for (int i = 0; i < depth; ++i) x += "<files name=\"g\" expanded=\"False\">";
  x += "<file name=\"f\"><path>a.exe</path></file>";
  for (int i = 0; i < depth; ++i) x += "</files>";
  return x + "</files></tab></tabs></Root>";
}

class DeepDocumentTest : public testing::TabsFixture {};

TEST_F(DeepDocumentTest, ReplacingADeepTabsSectionNeedsNoDeepStack) {
  const std::string xml = NestedGroups(100000);
  bool written = false;
  OnOneMegabyteStack([&] {
    Load(xml);
    WriteTabs(doc, pages, ctx);  // removes the section read
    ConfigDocument other;
    ASSERT_TRUE(other.Load(xml).wellFormed);
    RemoveNode(other.Element());
    written = !doc.Serialize().empty();
  });
  EXPECT_TRUE(written);
}

TEST_F(DeepDocumentTest, TheWrittenSizeFollowsTheContent) {
  for (int depth : {10, 10000}) {
    ConfigDocument deep;
    ASSERT_TRUE(deep.Load(NestedGroups(depth)).wellFormed);
    std::string text = deep.Serialize();
    // Two lines per group, indented at most kIndentLimit tabs.
    EXPECT_LT(text.size(), size_t(depth) * 2 * (kIndentLimit + 40)) << depth;
    ConfigDocument again;
    ASSERT_TRUE(again.Load(text).wellFormed);
    EXPECT_EQ(again.Serialize(), text);
  }
}

class ItemKindTest : public testing::TabsFixture {
 protected:
  ItemKindTest() { doc.CreateNew(); }
};

TEST_F(ItemKindTest, EveryItemKeepsItsKindAndPathThroughASaveAndALoad) {
  ItemTree& tree = *static_cast<testing::MemoryTabPage&>(pages.AddPage("t", TabTag::Items)).tree;
  struct Item {
    ItemKind kind;
    const char* path;
  };
  const std::vector<Item> items = {
      {ItemKind::File, ""},                  // a file item whose path was never set
      {ItemKind::Folder, ""},
      {ItemKind::Folder, "C:\\x.E:\\y"},     // the drive root inside the name
      {ItemKind::File, "C:\\x.E:\\y.exe"},
      {ItemKind::File, "E:\\Apps\\E:\\a.exe"},
      {ItemKind::Folder, "E:\\Data"},
      {ItemKind::File, "%windows%\\notepad.exe"},
  };
  for (const Item& i : items) {
    TMyRec rec;
    rec.kind = i.kind;
    rec.path = i.path;
    tree.Add(nullptr, rec);
  }
  WriteTabs(doc, pages, ctx);
  ConfigDocument saved;
  ASSERT_TRUE(saved.Load(doc.Serialize()).wellFormed);
  testing::MemoryPanelPages back;
  LoadTabs(saved, back, ctx);
  ASSERT_EQ(back.PageCount(), 1u);
  const auto& top = back[0].tree->TopLevel();
  ASSERT_EQ(top.size(), items.size());
  for (size_t k = 0; k < items.size(); ++k) {
    EXPECT_EQ(top[k]->Data().kind, items[k].kind) << k;
    EXPECT_EQ(top[k]->Data().path, items[k].path) << k;
  }
}

}  // namespace
}  // namespace kestro

namespace kestro {
namespace {

class SectionTextTest : public testing::TabsFixture {};

// The tabs are written as text straight from the trees: byte for byte what
// the DOM of the same section gives.
TEST_F(SectionTextTest, TabsWrittenFromTheTreesEqualTheTabsWrittenFromTheDom) {
  Load("<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root><panel><title>T</title></panel><tabs>"
       "<tab name=\"A &amp; &lt;B&gt; &quot;q&quot; 'a'&#9;\" tag=\"0\"><backcolor>1</backcolor><fontname>굴림</fontname>"
       "<textcolor>2</textcolor><textcolor2>3</textcolor2><backimage>p.bmp</backimage><bigicon>True</bigicon><files>"
       "<file name=\"메모장 &amp; co\"><path>Apps\\np.exe</path><icon>i.ico</icon><parameters>-a &lt;b&gt; &amp;</parameters>"
       "<addexplain>설명</addexplain><autorun>1</autorun><windowstate>2</windowstate><hotkey>True</hotkey>"
       "<hotkeymodifier>3</hotkeymodifier><hotkeycode>27</hotkeycode></file><separator/>"
       "<files name=\"g\" expanded=\"True\"><icon>g.ico</icon><hidefromtray>True</hidefromtray>"
       "<files name=\"inner\" expanded=\"False\"><folder name=\"d\"><path>Data</path></folder></files><files name=\"empty\" expanded=\"True\"/>"
       "</files><file name=\"nothing\"><path/></file></files></tab><tab name=\"find\" tag=\"1\"/><tab name=\"fav\" tag=\"2\">"
       "<backcolor>0</backcolor><fontname/><textcolor>0</textcolor><textcolor2>0</textcolor2><files/></tab>"
       "<tab name=\"empty\" tag=\"0\"><files/></tab></tabs><window/></Root>");
  WriteTabs(doc, pages, ctx);
  const std::string fromTrees = doc.Serialize();
  doc.Element();  // the section parsed into the DOM
  const std::string fromDom = doc.Serialize();
  EXPECT_EQ(fromTrees, fromDom);
  EXPECT_NE(fromTrees.find("\r\n\t\t\t\t<file name=\"메모장 &amp; co\">\r\n"), std::string::npos) << fromTrees;
  // No pages: an empty section.
  testing::MemoryPanelPages none;
  WriteTabs(doc, none, ctx);
  EXPECT_NE(doc.Serialize().find("\r\n\t<tabs />\r\n"), std::string::npos);
}

}  // namespace
}  // namespace kestro
