// libFuzzer target for the order display's check data reading: any bytes either give a summary or
// raise Exception; a summary agrees with the document it came from, and the root's Sum, when it is a
// number, writes with each of the display's money masks.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/Exception.h"
#include "core/Texts.h"
#include "core/orderdisplay/CheckData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CheckTexts texts{u"0.00", u"шт.", &SimpleCaseMap()};
  CheckData read;
  try {
    read = ReadCheckDataUtf8(std::string_view(reinterpret_cast<const char*>(data), size), texts);
  } catch (const Exception&) {
    return 0;
  }
  const CheckSummary& s = read.Summary;
  if (!read.Document || !read.Document->Root()) __builtin_trap();  // a summary always has its document
  if (s.LineCount < 0 || s.NoLines != (s.LineCount == 0)) __builtin_trap();
  // The texts of the dish just ordered come together, from a line of CheckLines.
  if (s.QuantityText.empty() != s.DishPriceText.empty()) __builtin_trap();
  if (!s.QuantityText.empty() && s.NoLines) __builtin_trap();
  double sum = 0;
  try {
    sum = read.Document->Root()->AttrFloat(u"Sum", 0);
  } catch (const Exception&) {
    return 0;
  }
  for (const char16_t* mask : {u"0", u"0.0", u"0.00"}) (void)MoneyText(sum, mask);
  return 0;
}
