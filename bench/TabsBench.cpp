// Loading and saving the item trees of a large document, beside a plain
// pugixml parse and serialize of the same text.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/config/ConfigDocument.h"
#include "core/config/EnvSet.h"
#include "core/config/PathMacros.h"
#include "core/config/Tabs.h"
#include "core/items/ItemShortcutTable.h"
#include "core/items/ItemTree.h"
#include "platform/HostSystem.h"
#include "platform/Icons.h"
#include "platform/Shell.h"

namespace kestro {
namespace {

constexpr int kTabs = 20;
constexpr int kItemsPerTab = 500;  // 10,000 in all

class NoShell : public IShell {
 public:
  int Open(const std::string&, const std::string&, const std::string&, int) override { return 42; }
};

class CountingIcons : public IIcons {
 public:
  int32_t AddFileIcon(const std::string&) override { return next++; }
  int32_t next = 4;
};

class Host : public IHostSystem {
 public:
  std::string WindowsFolder() override { return "C:\\windows"; }
  std::string SystemFolder() override { return "C:\\windows\\system32"; }
  std::string TempFolder() override { return "C:\\Temp\\"; }
  std::string UserProfileFolder() override { return "C:\\users\\kim"; }
  std::string DesktopFolder() override { return "C:\\users\\kim\\Desktop"; }
  uint32_t SystemDefaultLcid() override { return 1042; }
  std::vector<MonitorArea> MonitorWorkAreas() override { return {{0, 0, 1920, 1040}}; }
};

class Page : public ITabPage {
 public:
  Page(std::string caption, TabTag tag) : caption_(std::move(caption)), tag_(tag) {}
  std::string Caption() const override { return caption_; }
  TabTag Tag() const override { return tag_; }
  ItemTree* Tree() override { return &tree_; }
  TabStyle Style() const override { return style_; }
  void ApplyStyle(const TabStyle& style) override { style_ = style; }
  void LoadBackground(const std::string&, PictureFormat) override {}
  void ShowTreeLines(bool) override {}

 private:
  std::string caption_;
  TabTag tag_;
  ItemTree tree_;
  TabStyle style_;
};

class Pages : public IPanelPages {
 public:
  ITabPage& AddPage(const std::string& caption, TabTag tag) override {
    pages_.push_back(std::make_unique<Page>(caption, tag));
    return *pages_.back();
  }
  size_t PageCount() const override { return pages_.size(); }
  ITabPage& PageAt(size_t index) override { return *pages_[index]; }
  int ActivePageIndex() const override { return pages_.empty() ? -1 : 0; }
  void Clear() { pages_.clear(); }

 private:
  std::vector<std::unique_ptr<Page>> pages_;
};

// One tab: five groups, each with two groups, each with two more; items at
// every level, a few separators, folders, own icons and shortcuts.
class DocumentBuilder {
 public:
  std::string Build() {
    std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Root><panel><title>Kestro</title></panel><tabs>";
    for (int t = 0; t < kTabs; ++t) {
      x += "<tab name=\"탭 " + std::to_string(t) + "\" tag=\"0\"><backcolor>-16777211</backcolor>"
           "<fontname>굴림</fontname><textcolor>-16777208</textcolor><textcolor2>8421504</textcolor2>"
           "<backimage>pics\\back" + std::to_string(t) + ".bmp</backimage><bigicon>True</bigicon><files>";
      for (int i = 0; i < 10; ++i) Item(x);
      for (int g1 = 0; g1 < 5; ++g1) {
        Group(x, 1);
        for (int i = 0; i < 5; ++i) Item(x);
        for (int g2 = 0; g2 < 2; ++g2) {
          Group(x, 2);
          for (int i = 0; i < 3; ++i) Item(x);
          for (int g3 = 0; g3 < 2; ++g3) {
            Group(x, 3);
            for (int i = 0; i < 20; ++i) Item(x);
            x += "</files>";
          }
          x += "</files>";
        }
        x += "</files>";
      }
      x += "</files></tab>";
    }
    x += "</tabs></Root>";
    return x;
  }
  int nodes = 0;

 private:
  void Group(std::string& x, int level) {
    ++nodes;
    x += "<files name=\"그룹 " + std::to_string(nodes) + "\" expanded=\"" + (nodes % 2 ? "True" : "False") + "\">";
    if (level == 1) x += "<icon>icons\\group.ico</icon>";
    if (nodes % 5 == 0) x += "<hidefromtray>True</hidefromtray>";
  }
  void Item(std::string& x) {
    int n = ++nodes;
    std::string s = std::to_string(n);
    if (n % 25 == 0) {
      x += "<separator/>";
      return;
    }
    if (n % 7 == 0) {
      x += "<folder name=\"Folder " + s + "\"><path>Data\\Folder" + s + "</path></folder>";
      return;
    }
    x += "<file name=\"Program " + s + "\"><path>PortableApps\\Program" + s + "\\Program" + s + ".exe</path>";
    if (n % 10 == 0) x += "<icon>icons\\p" + s + ".ico</icon>";
    if (n % 3 == 0) x += "<parameters>-config %udrive%\\PortableApps\\Program" + s + "\\settings.ini</parameters>";
    if (n % 4 == 0) x += "<addexplain>설명 " + s + "</addexplain>";
    if (n % 100 == 0) x += "<hotkey>True</hotkey><hotkeymodifier>0</hotkeymodifier><hotkeycode>5</hotkeycode>";
    x += "</file>";
  }
};

struct Fixture {
  Fixture() {
    DocumentBuilder builder;
    ConfigDocument doc;
    doc.Load(builder.Build());
    nodes = builder.nodes;
    // The text as the program stores it.
    text = doc.Serialize();
  }
  std::string text;
  int nodes = 0;
  EnvSet env;
  std::string drive = "E:";
  std::string driveRoot = "E:\\";
  Host host;
  MacroValues macros{host, drive};
  NoShell shell;
  CountingIcons icons;
  ItemShortcutTable shortcuts;
  TabsContext ctx{env, driveRoot, macros, shell, icons, shortcuts, nullptr};
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

void BM_Load_RawPugixmlParse(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    pugi::xml_document d;
    benchmark::DoNotOptimize(d.load_buffer(f.text.data(), f.text.size()));
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.text.size()));
}

void BM_Load_ParseAndLoadTabs(benchmark::State& state) {
  Fixture& f = Shared();
  Pages pages;
  for (auto _ : state) {
    ConfigDocument doc;
    doc.Load(f.text);
    LoadTabs(doc, pages, f.ctx);
    state.PauseTiming();
    size_t nodes = 0;
    for (size_t i = 0; i < pages.PageCount(); ++i) nodes += pages.PageAt(i).Tree()->Count();
    if (pages.PageCount() != kTabs || nodes != size_t(kTabs * kItemsPerTab)) state.SkipWithError("items missing");
    pages.Clear();
    f.shortcuts = ItemShortcutTable();
    state.ResumeTiming();
  }
  state.counters["nodes"] = f.nodes;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.text.size()));
}

void BM_Save_RawPugixmlSerialize(benchmark::State& state) {
  Fixture& f = Shared();
  pugi::xml_document d;
  d.load_buffer(f.text.data(), f.text.size());
  for (auto _ : state) {
    StringWriter w;
    d.save(w, "\t", pugi::format_indent, pugi::encoding_utf8);
    benchmark::DoNotOptimize(w.out.data());
  }
}

void BM_Save_WriteTabsAndSerialize(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  LoadTabs(doc, pages, f.ctx);
  for (auto _ : state) {
    WriteTabs(doc, pages, f.ctx);
    std::string text = doc.Serialize();
    benchmark::DoNotOptimize(text.data());
  }
}

// Parts of the above, for finding where the time goes.
void BM_Part_LoadTabs(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  for (auto _ : state) {
    LoadTabs(doc, pages, f.ctx);
    state.PauseTiming();
    pages.Clear();
    f.shortcuts = ItemShortcutTable();
    state.ResumeTiming();
  }
}

void BM_Part_WriteTabs(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  LoadTabs(doc, pages, f.ctx);
  for (auto _ : state) WriteTabs(doc, pages, f.ctx);
}

// The document as WriteTabs leaves it.
void BM_Part_Serialize(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  LoadTabs(doc, pages, f.ctx);
  WriteTabs(doc, pages, f.ctx);
  for (auto _ : state) {
    std::string text = doc.Serialize();
    benchmark::DoNotOptimize(text.data());
  }
}

// The machine may be shared: the fastest repetition is the steadiest figure.
double Fastest(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

#define KESTRO_BENCH(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->ComputeStatistics("min", Fastest)
KESTRO_BENCH(BM_Load_RawPugixmlParse);
KESTRO_BENCH(BM_Load_ParseAndLoadTabs);
KESTRO_BENCH(BM_Save_RawPugixmlSerialize);
KESTRO_BENCH(BM_Save_WriteTabsAndSerialize);
KESTRO_BENCH(BM_Part_LoadTabs);
KESTRO_BENCH(BM_Part_WriteTabs);
KESTRO_BENCH(BM_Part_Serialize);

}  // namespace
}  // namespace kestro
