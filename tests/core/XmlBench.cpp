// Loading and writing a generated 1 MB menu-like document, side by side with pugixml on the same
// bytes. Built natively only when Google Benchmark and pugixml are installed; meaningful numbers need
// an optimised build without sanitizers (see CMakeLists.txt).
#include <benchmark/benchmark.h>

#include <pugixml.hpp>
#include <sstream>
#include <string>

#include "core/Utf.h"
#include "core/Xml.h"

namespace {
const std::string& Menu() {
  static const std::string text = [] {
    std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Menu>";
    for (int i = 0; s.size() < 1000000; ++i) {
      const std::string n = std::to_string(i);
      // Cyrillic names ("Блюдо", "шт.") and an entity, as the host's menus carry them.
      s.append("\r\n\t<Dish Code=\"").append(n);
      s.append("\" Name=\"\xD0\x91\xD0\xBB\xD1\x8E\xD0\xB4\xD0\xBE ").append(n).append(" &amp; co\"");
      s.append(" LargeImagePath=\"pics\\dish_").append(n).append(".png;pics\\dish_").append(n);
      s.append("_b.png\" Price=\"").append(std::to_string(i * 100 + 50));
      s.append("\" Portion=\"\xD1\x88\xD1\x82.\">\r\n\t\t<Classifications>\r\n\t\t\t<Class Code=\"");
      s.append(std::to_string(i % 7)).append("\"/>\r\n\t\t\t<Class Code=\"").append(std::to_string(i % 11));
      s.append("\"/>\r\n\t\t</Classifications>\r\n\t</Dish>");
    }
    return s + "\r\n</Menu>";
  }();
  return text;
}

void OurLoad(benchmark::State& state) {
  for (auto _ : state) {
    XmlDocument doc;
    doc.LoadXml(Menu());
    benchmark::DoNotOptimize(doc.Root());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Menu().size()));
}

void PugiLoad(benchmark::State& state) {
  for (auto _ : state) {
    pugi::xml_document doc;
    doc.load_buffer(Menu().data(), Menu().size());
    benchmark::DoNotOptimize(doc.first_child());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Menu().size()));
}

void OurWrite(benchmark::State& state) {
  XmlDocument doc;
  doc.LoadXml(Menu());
  for (auto _ : state) benchmark::DoNotOptimize(doc.Xml());
}

void PugiWrite(benchmark::State& state) {
  pugi::xml_document doc;
  doc.load_buffer(Menu().data(), Menu().size());
  for (auto _ : state) {
    std::ostringstream out;
    doc.save(out, "\t", pugi::format_indent);
    benchmark::DoNotOptimize(out.str());
  }
}

BENCHMARK(OurLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(PugiLoad)->Unit(benchmark::kMillisecond);
BENCHMARK(OurWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(PugiWrite)->Unit(benchmark::kMillisecond);
}  // namespace

BENCHMARK_MAIN();
