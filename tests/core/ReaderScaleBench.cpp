// The readers of the host's texts at 10, 100 and 1,000 times a real restaurant's text (30 receipt
// lines, 300 menu dishes, 50 gallery codes): the receipt plan of a check, the gallery list of a
// scenario against the menu, the gallery scene's pass over the menu's classifications and its choice
// of the next dish, and the XML loader on one start tag with that many attributes. Each must take about ten times as long per
// step. Built natively beside core_xml_bench (see CMakeLists.txt), without sanitizers for figures.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/Utf.h"
#include "core/Xml.h"
#include "core/receiptdisplay/ReceiptBuilder.h"
#include "core/receiptdisplay/ScenarioReader.h"
#include "core/scenes/DishCodes.h"

namespace {

constexpr int kLines = 30, kDishes = 300, kCodes = 50;

// Dishes coded 1, 2, ... with two classifications each, as a cash desk's menu carries them.
std::string MenuText(int dishes) {
  std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Menu>";
  for (int i = 1; i <= dishes; ++i) {
    const std::string n = std::to_string(i);
    s += "<Dish Code=\"" + n + "\" Name=\"Dish " + n + "\" LargeImagePath=\"dish" + n + ".png;b.png\">";
    s += "<Classifications><Class Code=\"" + std::to_string(i % 97) + "\"/><Class Code=\"" +
         std::to_string(1000 + i) + "\"/></Classifications></Dish>";
  }
  return s + "</Menu>";
}

// Codes spread over the whole menu, so that each look-up may walk far into it.
std::vector<int32_t> SpreadCodes(int count, int dishes) {
  std::vector<int32_t> codes;
  for (int i = 0; i < count; ++i) codes.push_back(static_cast<int32_t>(dishes - (i * 7919L) % dishes));
  return codes;
}

std::string JoinCodes(const std::vector<int32_t>& codes) {
  std::string s;
  for (int32_t c : codes) s += std::to_string(c) + ",";
  return s;
}

void ScenarioAgainstMenu(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  XmlDocument menu;
  menu.LoadXml(MenuText(kDishes * scale));
  const std::u16string scenario =
      Utf8ToUtf16("<SceneList PicPath=\"C:\\pics\\\"><Scene><parameters DishCodes=\"" +
                  JoinCodes(SpreadCodes(kCodes * scale, kDishes * scale)) + "\"/></Scene></SceneList>");
  const std::vector<int32_t> onReceipt = SpreadCodes(kLines * scale, 3 * kDishes * scale);
  const ScenarioSettings settings{.Case = &SimpleCaseMap()};
  for (auto _ : state) benchmark::DoNotOptimize(ReadScenario(scenario, menu, onReceipt, settings));
}

void CheckPlan(benchmark::State& state) {
  const int lines = kLines * static_cast<int>(state.range(0));
  std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?><Check Currency=\"EUR\"><CheckLines Codes=\"" +
                  JoinCodes(SpreadCodes(lines, 1000)) + "\">";
  for (int i = 0; i < lines; ++i) {
    const std::string n = std::to_string(i);
    s += "<Line Name=\"Dish " + n + "\" Qnt=\"2\" Price=\"" + n + ".5\" ImagePath=\"pics\\" + n + ".png\">";
    s += "<ModiLine Name=\"Cheese\" Qnt=\"1\" Price=\"30\"/><ComboLine Name=\"Cola\" Qnt=\"1\" Price=\"0\"/></Line>";
  }
  s += "</CheckLines><Discounts><Discount Name=\"Happy hour\" Sum=\"-26.5\"/></Discounts></Check>";
  const ReceiptSettings settings{.MoneyFormat = u"0.00", .DefPcs = u"pcs", .Case = &SimpleCaseMap()};
  const PictureExists exists = [](std::u16string_view) { return true; };
  for (auto _ : state) {
    XmlDocument check;
    LoadCheckDataUtf8(check, s);
    benchmark::DoNotOptimize(PlanReceiptBuild(check, u"", settings, exists));
  }
}

void GallerySceneCodes(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  XmlDocument menu;
  menu.LoadXml(MenuText(kDishes * scale));
  std::vector<int32_t> classifications;  // none of the menu's but the last: every code is compared
  for (int i = 0; i < kCodes * scale; ++i) classifications.push_back(-1 - i);
  classifications.back() = 1000 + kDishes * scale;
  std::vector<int32_t> shown;
  for (auto _ : state) {
    CollectShownCodes(menu, classifications, shown);
    benchmark::DoNotOptimize(shown.data());
  }
}

// The gallery scene's next dish when its dishes carry no Code (each stands as 0, which names no dish)
// and only the last one has a Code.
void GallerySceneDishesWithoutCode(benchmark::State& state) {
  const int dishes = kDishes * static_cast<int>(state.range(0));
  std::string s = "<Menu>";
  for (int i = 0; i < dishes - 1; ++i) s += "<Dish Name=\"Dish\"><Classifications><C Code=\"3\"/></Classifications></Dish>";
  s += "<Dish Code=\"9\"><Classifications><C Code=\"3\"/></Classifications></Dish></Menu>";
  XmlDocument menu;
  menu.LoadXml(s);
  std::vector<int32_t> shown;
  CollectShownCodes(menu, {3}, shown);
  for (auto _ : state) {
    int32_t index = 0;
    benchmark::DoNotOptimize(FindShownDish(menu, shown, index));
  }
}

void ManyAttributes(benchmark::State& state) {
  const int count = kDishes * static_cast<int>(state.range(0));
  std::string s = "<Dish";
  for (int i = 0; i < count; ++i) s += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
  s += "/>";
  for (auto _ : state) {
    XmlDocument doc;
    doc.LoadXml(s);
    benchmark::DoNotOptimize(doc.Root());
  }
}

}  // namespace

BENCHMARK(ScenarioAgainstMenu)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckPlan)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(GallerySceneCodes)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(GallerySceneDishesWithoutCode)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(ManyAttributes)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
