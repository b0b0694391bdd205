// Loading and saving the item trees of a large document, beside a plain
// pugixml parse and serialize of the same text.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/config/ConfigDocument.h"
#include "core/config/DocumentText.h"
#include "core/config/EnvSet.h"
#include "core/config/PathMacros.h"
#include "core/config/SectionText.h"
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

// The options ConfigDocument::Load parses with: both sides do the same work.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_comments |
                                   pugi::parse_pi | pugi::parse_doctype | pugi::parse_fragment;

// Each body runs a few times before it is timed, so that the allocator has
// its pages and the caches hold the code whichever benchmark ran before.
template <class Body>
void WarmUp(Body body) {
  for (int i = 0; i < 5; ++i) body();
}

void BM_Load_RawPugixmlParse(benchmark::State& state) {
  Fixture& f = Shared();
  auto body = [&] {
    pugi::xml_document d;
    benchmark::DoNotOptimize(d.load_buffer(f.text.data(), f.text.size(), kParseOptions, pugi::encoding_utf8));
  };
  WarmUp(body);
  for (auto _ : state) body();
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.text.size()));
}

void BM_Load_ParseAndLoadTabs(benchmark::State& state) {
  Fixture& f = Shared();
  Pages pages;
  auto body = [&] {
    ConfigDocument doc;
    doc.Load(f.text);
    LoadTabs(doc, pages, f.ctx);
    // The document as the start leaves it: the exit replaces the tabs section.
    return doc.Root().first_child();
  };
  auto reset = [&] {
    size_t nodes = 0;
    for (size_t i = 0; i < pages.PageCount(); ++i) nodes += pages.PageAt(i).Tree()->Count();
    bool complete = pages.PageCount() == kTabs && nodes == size_t(kTabs * kItemsPerTab);
    pages.Clear();
    f.shortcuts = ItemShortcutTable();
    return complete;
  };
  for (int i = 0; i < 5; ++i) {
    body();
    reset();
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(body());
    state.PauseTiming();
    if (!reset()) state.SkipWithError("items missing");
    state.ResumeTiming();
  }
  state.counters["nodes"] = f.nodes;
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.text.size()));
}

void BM_Save_RawPugixmlSerialize(benchmark::State& state) {
  Fixture& f = Shared();
  pugi::xml_document d;
  d.load_buffer(f.text.data(), f.text.size(), kParseOptions, pugi::encoding_utf8);
  auto body = [&] {
    StringWriter w;
    d.save(w, "\t", pugi::format_indent, pugi::encoding_utf8);
    benchmark::DoNotOptimize(w.out.data());
  };
  WarmUp(body);
  for (auto _ : state) body();
}

void BM_Save_WriteTabsAndSerialize(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  LoadTabs(doc, pages, f.ctx);
  auto body = [&] {
    WriteTabs(doc, pages, f.ctx);
    std::string text = doc.Serialize();
    benchmark::DoNotOptimize(text.data());
  };
  WarmUp(body);
  for (auto _ : state) body();
}

// Parts of the above, for finding where the time goes.
void BM_Part_LoadTabs(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  auto reset = [&] {
    pages.Clear();
    f.shortcuts = ItemShortcutTable();
  };
  for (int i = 0; i < 5; ++i) {
    LoadTabs(doc, pages, f.ctx);
    reset();
  }
  for (auto _ : state) {
    LoadTabs(doc, pages, f.ctx);
    state.PauseTiming();
    reset();
    state.ResumeTiming();
  }
}

void BM_Part_WriteTabs(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  LoadTabs(doc, pages, f.ctx);
  auto body = [&] { WriteTabs(doc, pages, f.ctx); };
  WarmUp(body);
  for (auto _ : state) body();
}

// Reading the bytes into the text the parser takes.
void BM_Part_Decode(benchmark::State& state) {
  Fixture& f = Shared();
  auto body = [&] { benchmark::DoNotOptimize(DecodeDocumentBytes(f.text, nullptr).text.data()); };
  WarmUp(body);
  for (auto _ : state) body();
}

// Reading the tabs section from the decoded text, without building trees.
void BM_Part_ScanTabs(benchmark::State& state) {
  Fixture& f = Shared();
  const std::string text = DecodeDocumentBytes(f.text, nullptr).text;
  const size_t at = FindSection(text, "tabs");
  ScannedSection scanned;
  auto body = [&] {
    if (!scanned.Scan(text, at)) state.SkipWithError("scan declined");
  };
  WarmUp(body);
  for (auto _ : state) body();
}

// The document as WriteTabs leaves it.
void BM_Part_Serialize(benchmark::State& state) {
  Fixture& f = Shared();
  ConfigDocument doc;
  doc.Load(f.text);
  Pages pages;
  LoadTabs(doc, pages, f.ctx);
  WriteTabs(doc, pages, f.ctx);
  auto body = [&] {
    std::string text = doc.Serialize();
    benchmark::DoNotOptimize(text.data());
  };
  WarmUp(body);
  for (auto _ : state) body();
}

// Registered at run time, in this order or, with --reverse, backwards: a
// ratio that changes with the order measures the order, not the code.
void Register(bool reverse) {
  std::vector<std::pair<const char*, void (*)(benchmark::State&)>> all = {
      {"BM_Load_RawPugixmlParse", BM_Load_RawPugixmlParse},
      {"BM_Load_ParseAndLoadTabs", BM_Load_ParseAndLoadTabs},
      {"BM_Save_RawPugixmlSerialize", BM_Save_RawPugixmlSerialize},
      {"BM_Save_WriteTabsAndSerialize", BM_Save_WriteTabsAndSerialize},
      {"BM_Part_Decode", BM_Part_Decode},
      {"BM_Part_ScanTabs", BM_Part_ScanTabs},
      {"BM_Part_LoadTabs", BM_Part_LoadTabs},
      {"BM_Part_WriteTabs", BM_Part_WriteTabs},
      {"BM_Part_Serialize", BM_Part_Serialize},
  };
  if (reverse) std::reverse(all.begin(), all.end());
  for (auto& [name, fn] : all)
    benchmark::RegisterBenchmark(name, fn)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);
}

// Prints what the console reporter prints, then each ratio of the medians of
// CPU time against its raw pugixml baseline.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        medians_[r.run_name.function_name] = r.GetAdjustedCPUTime();
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    Ratio("load", "BM_Load_ParseAndLoadTabs", "BM_Load_RawPugixmlParse");
    Ratio("save", "BM_Save_WriteTabsAndSerialize", "BM_Save_RawPugixmlSerialize");
  }

 private:
  void Ratio(const char* what, const std::string& ours, const std::string& raw) {
    auto a = medians_.find(ours), b = medians_.find(raw);
    if (a == medians_.end() || b == medians_.end() || b->second <= 0) return;
    double ratio = a->second / b->second;
    std::printf("%s of 10,000 items / raw pugixml: %.2fx (median CPU time; goal at most 1.5x) %s\n", what, ratio,
                ratio <= 1.5 ? "ok" : "OVER");
  }
  std::map<std::string, double> medians_;
};

}  // namespace
}  // namespace kestro

int main(int argc, char** argv) {
  // glibc hands big blocks back to the system and maps them afresh, so the
  // first allocations of a run fault in new pages; how many depended on the
  // benchmarks that ran before. Kept mapped, every benchmark sees warm pages.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  bool reverse = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) != "--reverse") continue;
    reverse = true;
    for (int k = i; k + 1 < argc; ++k) argv[k] = argv[k + 1];
    --argc;
    break;
  }
  kestro::Register(reverse);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kestro::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
